#pragma once
// Comparing output with the checked-in expected files ("golden files") of a test program, whose
// folder the program's build names in PENSION_GOLDEN_DIR. After a deliberate change, run the
// test program with PENSION_UPDATE_GOLDEN=1 to rewrite them, and review the difference.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

inline QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Compares `actual` with the golden file `name`, or rewrites it when asked to.
inline void expectGolden(const QByteArray &actual, const QString &name) {
    const QString path = QDir(PENSION_GOLDEN_DIR).filePath(name);
    if (qEnvironmentVariableIntValue("PENSION_UPDATE_GOLDEN") == 1) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(actual);
        return;
    }
    const QByteArray expected = readAll(path);
    ASSERT_FALSE(expected.isEmpty()) << "missing golden file " << path.toStdString();
    EXPECT_EQ(actual.size(), expected.size()) << name.toStdString();
    qsizetype at = 0;
    while (at < std::min(actual.size(), expected.size()) && actual[at] == expected[at]) ++at;
    EXPECT_EQ(at, expected.size()) << name.toStdString() << " differs from byte " << at;
}
