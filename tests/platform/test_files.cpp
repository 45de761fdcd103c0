#include "platform/inifile.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(IniFile, KeysAndSectionsIgnoreCaseAndTheRestOfTheFileIsKept) {
    QTemporaryDir dir;
    QString path = dir.filePath("PENSION.INI");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; settings\r\n[EditCUinfo]\r\nMaximize=No\r\nXPos=10\r\n\r\n[Other]\r\nKey = Value \r\n");
    f.close();
    IniFile ini(path);
    EXPECT_EQ(ini.value("editcuinfo", "MAXIMIZE"), "No");
    EXPECT_EQ(ini.value("OTHER", "key"), "Value");
    EXPECT_EQ(ini.value("Other", "missing", "dflt"), "dflt");
    ini.setValue("EDITCUINFO", "xpos", "20");
    ini.setValue("EditCUinfo", "YPos", "30");
    ini.setValue("New", "A", "");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readAll(path), QByteArray("; settings\r\n[EditCUinfo]\r\nMaximize=No\r\nXPos=20\r\nYPos=30\r\n"
                                        "\r\n[Other]\r\nKey = Value \r\n\r\n[New]\r\nA=\r\n"));
    EXPECT_TRUE(IniFile(path).contains("new", "a"));
}

TEST(FixedWidth, FieldsPadCutAndZeroFill) {
    EXPECT_EQ(FixedWidth::left("ABC", 5), "ABC  ");
    EXPECT_EQ(FixedWidth::left("ABCDEF", 4), "ABCD");
    EXPECT_EQ(FixedWidth::right("42", 5), "   42");
    EXPECT_EQ(FixedWidth::zeros(42, 6), "000042");
    EXPECT_EQ(FixedWidth::zeros(-42, 6), "-00042");
    EXPECT_EQ(FixedWidth::cents(Decimal::fromString("1234.5"), 12), "000000123450");
    EXPECT_EQ(FixedWidth::cents(Decimal::fromString("0.005"), 4), "0001");
    EXPECT_EQ(FixedWidth::encode(QString::fromUtf8("Jos\u00e9 \u20ac")), QByteArray("Jos\xe9 \x80"));
    EXPECT_EQ(FixedWidth::encode(QString::fromUtf8("\u4e2d")), QByteArray("?"));
}

TEST(FixedWidth, LinesAreByteExactAndAFailedWriteLeavesNothing) {
    QTemporaryDir dir;
    QString path = dir.filePath("out.txt");
    FixedWidthFile out(path);
    ASSERT_TRUE(out.open());
    out.writeLine("AB", 5);
    out.writeLine("trailing  ");
    out.writeLine("");
    ASSERT_TRUE(out.commit());
    EXPECT_EQ(readAll(path), QByteArray("AB   \r\ntrailing  \r\n\r\n"));

    FixedWidthFile bad(dir.filePath("missing/dir/out.txt"));
    EXPECT_FALSE(bad.open());
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/dir/out.txt")));
}
