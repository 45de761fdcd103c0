// Printer helpers: page-count patching, copies, printer capabilities, status window, clipboard.
#include "../support/printers.h"
#include "../support/scripteddialogs.h"
#include "platform/launcher.h"
#include "platform/report/report.h"
#include "preview/printerhelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FakeDriver : public PrinterDriver {
public:
    QList<Paper> paperList;
    QList<QPoint> resolutionList;
    DevMode mode;
    int writes = 0;
    QList<Paper> papers() const override { return paperList; }
    QList<QPoint> resolutions() const override { return resolutionList; }
    DevMode devMode() const override { return mode; }
    void setDevMode(const DevMode &m) override {
        mode = m;
        ++writes;
    }
};

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override { setPrinterDriver(&driver); }
    void TearDown() override { setPrinterDriver(nullptr); }

    QString file(const QByteArray &bytes) {
        const QString name = dir.filePath(QStringLiteral("page%1.wmf").arg(++count));
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return name;
    }
    static QByteArray read(const QString &name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    FakeDriver driver;
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    int count = 0;
};

QByteArray withAt(int size, qsizetype at, const QByteArray &text) {
    QByteArray b(size, 'x');
    b.replace(at, text.size(), text);
    return b;
}

void put32(QByteArray &b, quint32 v) {
    for (int i = 0; i < 4; ++i) b += char((v >> (8 * i)) & 0xFF);
}
void put16(QByteArray &b, quint16 v) {
    b += char(v & 0xFF);
    b += char(v >> 8);
}

// A device-independent bitmap: header of `headerSize` bytes, then colours and bits.
QByteArray dib(int headerSize, int width, int height, int bitCount, quint32 clrUsed = 0) {
    QByteArray b;
    put32(b, quint32(headerSize));
    put32(b, quint32(width));
    put32(b, quint32(height));
    put16(b, 1);
    put16(b, quint16(bitCount));
    put32(b, 0); // no compression
    put32(b, 0);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, clrUsed);
    put32(b, 0);
    b.resize(headerSize);
    const int colors = clrUsed ? int(clrUsed) : bitCount <= 8 ? 1 << bitCount : 0;
    const int row = ((width * bitCount + 31) / 32) * 4;
    for (int i = 0; i < colors * 4 + row * height; ++i) b += char(i * 7);
    return b;
}

void putClipboard(const QString &format, const QByteArray &bytes) {
    auto *m = new QMimeData;
    m->setData(format, bytes);
    QApplication::clipboard()->setMimeData(m);
}

const QString DibFormat = QStringLiteral("application/x-qt-windows-mime;value=\"DeviceIndependentBitmap\"");

} // namespace

TEST_F(PrinterTest, PlaceholderSplitAcrossBlocksIsFoundAndOnlyTheFirstIsPatched) {
    // Blocks start at 0, 4093 and 8186: every split position around their ends must be found.
    for (qsizetype at : {0, 4091, 4092, 4093, 4094, 4095, 4096, 8185, 8186, 8187, 8188, 8995}) {
        const QByteArray before = withAt(9000, at, "?PP?");
        const QString name = file(before);
        ASSERT_TRUE(patchFile(name, "?PP?", "  12"));
        EXPECT_EQ(read(name), withAt(9000, at, "  12")) << "placeholder at " << at;
    }
    QByteArray twice = withAt(9000, 4094, "?PP?");
    twice.replace(100, 4, "?PP?");
    const QString name = file(twice);
    patchFile(name, "?PP?", "   7");
    EXPECT_EQ(read(name).indexOf("?PP?"), 4094);
    EXPECT_EQ(read(name).indexOf("   7"), 100);
    EXPECT_EQ(read(name).size(), 9000);
    EXPECT_FALSE(patchFile(dir.filePath("missing.wmf"), "?PP?", "   1"));
}

TEST_F(PrinterTest, PageCountGoesOnEveryPageOrOneChosenPage) {
    QStringList pages;
    for (int i = 0; i < 3; ++i) pages << file("Page " + QByteArray::number(i + 1) + " of ?PP? end");
    const QStringList before = pages;
    ASSGNPGOFPG("ignored", "ignored", pages, true, 7, true, true, true, 0, dialogs);
    EXPECT_EQ(read(pages[0]), "Page 1 of    3 end");
    EXPECT_EQ(read(pages[2]), "Page 3 of    3 end");
    EXPECT_EQ(pages, before);

    QStringList one{file("Total ~~ and ~~"), file("Total ~~")};
    ASSGNPGOFPG("~~X", "42", one, false, 2, false, false, false, 2, dialogs);
    EXPECT_EQ(read(one[0]), "Total ~~ and ~~");
    EXPECT_EQ(read(one[1]), "Total 42");
    ASSGNPGOFPG("~~", "99", one, false, 2, false, true, false, 1, dialogs);
    EXPECT_EQ(read(one[0]), "Total ~~ and ~~") << "an option flag leaves the pages alone";
    ASSGNPGOFPG("~~", "7", one, false, 2, false, false, false, 1, dialogs);
    EXPECT_EQ(read(one[0]), "Total 7  and ~~") << "the replacement keeps the text's length";
    EXPECT_TRUE(dialogs.shown.isEmpty());

    QStringList broken{dir.filePath("gone.wmf"), file("?PP?")};
    ASSGNPGOFPG({}, {}, broken, true, 4, false, false, false, 0, dialogs);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, "open error");
    EXPECT_EQ(read(broken[1]), "   2") << "the next file is still patched";
}

TEST_F(PrinterTest, CopiesAreAppendedAsWholeSetsUnlessThePrinterMakesThem) {
    QStringList pages{"1", "2"};
    HANDLECOPIES(pages, 3);
    EXPECT_EQ(pages, QStringList({"1", "2", "1", "2", "1", "2"}));

    QStringList one{"1", "2"};
    HANDLECOPIES(one, 1);
    EXPECT_EQ(one, QStringList({"1", "2"}));

    driver.mode.DMFIELDS = DM::Copies;
    QStringList printerCopies{"1", "2"};
    HANDLECOPIES(printerCopies, 3);
    EXPECT_EQ(printerCopies, QStringList({"1", "2"})) << "the printer makes the copies";

    driver.mode.DMCOLLATE = 1;
    QStringList collated{"1", "2"};
    HANDLECOPIES(collated, 2);
    EXPECT_EQ(collated, QStringList({"1", "2", "1", "2"})) << "collated sets are sent as sets";
}

// A page that cannot be read is found before the printer starts, so no part of the job goes out.
TEST_F(PrinterTest, APrintWithAPageThatCannotBeReadPrintsNothingAndSaysSo) {
    report::Report r;
    r.text(1000, 1000, "Page 1");
    r.endPage();
    const QString pdf = dir.filePath("out.pdf");
    reportPrinter().setOutputFileName(pdf);
    const bool printed =
        printOnReportPrinter({r.pages()[0], file("not a page")}, "Listing", dialogs);
    reportPrinter().setOutputFileName({});
    EXPECT_FALSE(printed);
    EXPECT_FALSE(QFile::exists(pdf));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Print Error ...");
    EXPECT_EQ(dialogs.last().text,
              "The report could not be printed on " + QDir::toNativeSeparators(pdf) +
                  ": page 2 of the printout could not be read.||Nothing was printed.");
}

TEST_F(PrinterTest, SupportedAnswersFromTheSettingsBitsAndCustomPaper) {
    driver.mode.DMFIELDS = DM::Orientation | DM::Copies | DM::Duplex;
    EXPECT_EQ(SUPPORTED(31519), 1);
    EXPECT_EQ(SUPPORTED(31493), 1);
    EXPECT_EQ(SUPPORTED(31497), 1);
    EXPECT_EQ(SUPPORTED(31489), 0);
    EXPECT_EQ(SUPPORTED(31492), 0);
    EXPECT_EQ(SUPPORTED(31496), 0);
    EXPECT_EQ(SUPPORTED(31520), -1);
    EXPECT_EQ(SUPPORTED(31488), -1);
    EXPECT_EQ(SUPPORTED(31500), -1);
    EXPECT_EQ(SUPPORTED(31526), -1);
    driver.mode.DMFIELDS = 0xFFFF & ~DM::Orientation;
    EXPECT_EQ(SUPPORTED(31519), 0);
    for (int id = 31489; id <= 31499; ++id)
        if (id != 31490 && id != 31491) {
            EXPECT_EQ(SUPPORTED(id), 1) << id;
        }

    EXPECT_EQ(SUPPORTED(31490), 0) << "no user-defined paper";
    driver.paperList = {{1, "Letter"}, {256, "Custom"}};
    EXPECT_EQ(SUPPORTED(31490), 1);
    EXPECT_EQ(SUPPORTED(31491), 1);
}

TEST_F(PrinterTest, PaperNamesAndTheirList) {
    driver.paperList = {{1, "Letter"}, {5, "Legal"}, {9, "A4"},
                        {120, "A very long paper name that runs past thirty-two characters"}};
    EXPECT_EQ(PAPERSUPPORT(5), "Legal");
    EXPECT_EQ(PAPERSUPPORT(7), "");
    EXPECT_EQ(PAPERSUPPORT(120), "A very long paper name that runs");
    QStringList list{"kept"};
    EXPECT_EQ(PAPERSUPPORT(0, &list), "A very long paper name that runs");
    EXPECT_EQ(list, QStringList({"kept", "  1 - Letter", "  5 - Legal", "  9 - A4",
                                 "120 - A very long paper name that runs past thirty-two characters"}));
    EXPECT_EQ(PAPERSUPPORT(0), "");
}

TEST_F(PrinterTest, DraftModeTakesTheLastResolutionListed) {
    driver.resolutionList = {{600, 600}};
    EXPECT_EQ(SetPrinterDraftMode(), 1);
    EXPECT_EQ(driver.writes, 0) << "one resolution leaves the printer alone";
    driver.resolutionList = {{600, 600}, {300, 300}, {150, 75}};
    driver.mode.DMCOPIES = 4;
    EXPECT_EQ(SetPrinterDraftMode(), 3);
    EXPECT_EQ(driver.writes, 1);
    EXPECT_EQ(driver.mode.DMPRINTQUALITY, 150);
    EXPECT_EQ(driver.mode.DMYRESOLUTION, 75);
    EXPECT_EQ(driver.mode.DMCOPIES, 4) << "the rest of the settings is written back unchanged";
}

TEST_F(PrinterTest, QtPrintingAnswersForTheReportPrinter) {
    setPrinterDriver(nullptr);
    EXPECT_TRUE(PAPERSUPPORT(1).startsWith("Letter"));
    EXPECT_EQ(SUPPORTED(31519), 1);
    EXPECT_EQ(SUPPORTED(31499), 1);
    EXPECT_EQ(SUPPORTED(31492), 0) << "Qt prints without a scale setting";
    QStringList papers;
    PAPERSUPPORT(0, &papers);
    EXPECT_TRUE(papers.first().startsWith("  1 - Letter")) << papers.join(", ").toStdString();
    EXPECT_TRUE(papers.contains("256 - Custom Size"));
    DevMode m = printerDriver().devMode();
    m.DMORIENTATION = 2;
    m.DMPAPERSIZE = 5;
    printerDriver().setDevMode(m);
    EXPECT_EQ(printerDriver().devMode().DMORIENTATION, 2);
    EXPECT_EQ(printerDriver().devMode().DMPAPERSIZE, 5);
    EXPECT_EQ(printerDriver().devMode().DMFORMNAME, "Legal");
    EXPECT_GE(SetPrinterDraftMode(), 0);
}

TEST_F(PrinterTest, StatusStartsAProgramOrClosesOurWindow) {
    QStringList started;
    Launcher::setStarter([&](const QString &command) {
        started << command;
        return true;
    });
    SHOWPRINTERSTATUS("notepad.exe status.txt", "ignored", 1, true);
    EXPECT_EQ(started, QStringList{"notepad.exe status.txt"});
    Launcher::setStarter(nullptr);

    QWidget printing, other;
    printing.setWindowTitle("* Printing Report...");
    other.setWindowTitle("Payroll Report");
    printing.show();
    other.show();
    SHOWPRINTERSTATUS({}, "Payroll Report", 0, true);
    EXPECT_FALSE(printing.isVisible());
    EXPECT_TRUE(other.isVisible());
    SHOWPRINTERSTATUS({}, "Payroll Report", 2, false);
    EXPECT_FALSE(other.isVisible());
    SHOWPRINTERSTATUS({}, "Nobody", 0, false); // nothing to close, gives up
}

TEST_F(PrinterTest, ClipboardBitmapBecomesABmpFile) {
    const QString target = dir.filePath("clip.bmp");
    QApplication::clipboard()->clear();
    EXPECT_EQ(SaveClipToFile(target, false, dialogs), "");
    EXPECT_FALSE(QFile::exists(target));

    putClipboard(DibFormat, dib(12, 3, 2, 1));
    EXPECT_EQ(SaveClipToFile(target, false, dialogs), "") << "the old 12-byte header is refused";
    EXPECT_FALSE(QFile::exists(target));

    const QByteArray mono = dib(40, 3, 2, 1); // 2 colours, rows of 4 bytes
    putClipboard(DibFormat, mono);
    ASSERT_EQ(SaveClipToFile(target, false, dialogs), target);
    const QByteArray bmp = read(target);
    ASSERT_EQ(bmp.size(), 14 + 40 + 8 + 8);
    EXPECT_EQ(bmp.left(2), "BM");
    auto u32 = [&](int at) { return quint32(uchar(bmp[at]) | uchar(bmp[at + 1]) << 8 | uchar(bmp[at + 2]) << 16 | uchar(bmp[at + 3]) << 24); };
    EXPECT_EQ(u32(2), 70u);
    EXPECT_EQ(u32(6), 0u);
    EXPECT_EQ(u32(10), 62u);
    EXPECT_EQ(bmp.mid(14), mono);

    // biClrUsed wins over the bit count; 24 bits have no colour table.
    EXPECT_EQ(bitmapFile(dib(40, 2, 2, 8, 3)).size(), 14 + 40 + 12 + 8);
    EXPECT_EQ(bitmapFile(dib(40, 5, 3, 24)).size(), 14 + 40 + 16 * 3);
    EXPECT_EQ(bitmapFile(dib(40, 5, 3, 24).left(60)), QByteArray()) << "bits missing";

    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QApplication::clipboard()->setImage(image);
    const QString chosen = dir.filePath("asked.bmp");
    dialogs.fileNames << chosen;
    EXPECT_EQ(SaveClipToFile("proposal.bmp", true, dialogs), chosen);
    EXPECT_EQ(QImage(chosen).pixel(1, 1), QColor(Qt::red).rgb());
    EXPECT_EQ(SaveClipToFile("proposal.bmp", true, dialogs), "") << "dialog cancelled";
    QApplication::clipboard()->clear();
}

TEST_F(PrinterTest, PreviewTextButtonHandleWhileTheButtonLives) {
    EXPECT_EQ(GETPREVIEWTEXTBUTTONHANDLE(), 0);
    auto *button = new QPushButton("Text");
    setPreviewTextButton(button);
    const qint64 handle = GETPREVIEWTEXTBUTTONHANDLE();
    EXPECT_NE(handle, 0);
    EXPECT_EQ(previewTextButton(handle), button);
    EXPECT_EQ(previewTextButton(handle + 1), nullptr);
    delete button;
    EXPECT_EQ(GETPREVIEWTEXTBUTTONHANDLE(), 0);
}
