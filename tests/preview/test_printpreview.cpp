// The preview window: pages to print, search, placement, and what its buttons do to the queue.
#include "../support/fakeprinter.h"
#include "../support/printers.h"
#include "../support/scripteddialogs.h"
#include "platform/inifile.h"
#include "platform/report/report.h"
#include "preview/previewlogic.h"
#include "preview/printerhelpers.h"
#include "preview/printpreview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace previewlogic;

namespace {

QList<int> pagesOf(const QString &entry, int count, bool *ok = nullptr) {
    QList<PageRange> ranges;
    const bool valid = parsePages(entry, count, "All", &ranges);
    if (ok) *ok = valid;
    QList<int> out;
    const QList<bool> deleted = deletedPages(ranges, count);
    for (int i = 0; i < count; ++i)
        if (!deleted[i]) out << i + 1;
    return valid ? out : QList<int>{-1};
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = dir.filePath("PRVWRPTS.INI");
        report = std::make_unique<report::Report>();
        for (int p = 1; p <= 3; ++p) {
            report->text(1000, 1000, QStringLiteral("Page %1 of %2").arg(p).arg(report::PageOfPages));
            report->text(1000, 2000, p == 2 ? "Account balance" : "Withdrawal ACCOUNT");
            report->text(1000, 3000, QStringLiteral("Marker%1").arg(p));
            report->endPage();
        }
        queue = report->pages();
        files = queue;
        setPrinterDriver(&driver);
        reportPrinter().setCopyCount(1);
    }
    void TearDown() override { setPrinterDriver(nullptr); }

    std::unique_ptr<PrintPreview> open(PreviewOptions options = {}) {
        options.skipPrinterDialog = true;
        auto w = std::make_unique<PrintPreview>(queue, 100, options, ini, dialogs);
        w->show();
        return w;
    }

    static QString pdfText(const QString &pdf) {
        QProcess p;
        p.start(QStandardPaths::findExecutable("pdftotext"), {pdf, "-"});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static int pdfPages(const QString &pdf) {
        QProcess p;
        p.start(QStandardPaths::findExecutable("pdfinfo"), {pdf});
        p.waitForFinished(30000);
        for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
            if (line.startsWith("Pages:")) return line.mid(6).trimmed().toInt();
        return -1;
    }
    // How many pixels of the page view carry the search marker's colour.
    static int markedPixels(PrintPreview &w) {
        const QImage image =
            w.scrollArea()->widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == qRgb(255, 255, 0);
        return n;
    }
    static QString statusLine(PrintPreview &w) {
        auto *bar = w.findChild<QStatusBar *>();
        return bar ? bar->currentMessage() : QStringLiteral("(no status line)");
    }

    QTemporaryDir dir;
    QString ini;
    std::unique_ptr<report::Report> report;
    QStringList queue, files;
    ScriptedDialogs dialogs;
    FakePrinter driver;
};

} // namespace

TEST(PagesToPrint, AllWordsRangesAndErrors) {
    for (const char *all : {"all", "ALL", "All", " All "}) EXPECT_EQ(pagesOf(all, 3), QList<int>({1, 2, 3})) << all;
    EXPECT_EQ(pagesOf("1-2,5,7,12-15", 15), QList<int>({1, 2, 5, 7, 12, 13, 14, 15}));
    EXPECT_EQ(pagesOf("3-1", 15), QList<int>({3}));
    EXPECT_EQ(pagesOf("15", 15), QList<int>({15}));
    EXPECT_EQ(pagesOf("7,2-3,2", 15), QList<int>({2, 3, 7}));
    EXPECT_EQ(pagesOf("2-", 15), QList<int>({2})) << "a missing thru is below the from";
    for (const char *bad : {"0", "16", "1;2", "", "1--2", "-3", "1-16", "1,,2", "a", "1 2"})
        EXPECT_EQ(pagesOf(bad, 15), QList<int>{-1}) << bad;

    QList<PageRange> ranges;
    ASSERT_TRUE(parsePages("12-15,1-2", 15, "All", &ranges));
    EXPECT_EQ(ranges.first().FROM, 1) << "ranges are kept sorted by their first page";
    EXPECT_EQ(pagesError("1;2", Texts("/nonexistent/PRVWRPTS.INI")), "\"1;2\" is invalid!");
}

TEST(PreviewTexts, DefaultsUnlessTheIniFileSaysOtherwise) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("PRVWRPTS.INI");
    Texts missing(ini);
    EXPECT_EQ(missing["Window Title"], "Report Preview");
    EXPECT_EQ(missing["PagesToPrintTip"], "Pages to Print: ALL or Ranges (ie. 1-2,5,7,12-15)");
    EXPECT_EQ(missing["PmenuGoToPageStr"], "&GoTo Page");
    EXPECT_EQ(Texts()["SearchHitHdr"], "Search Completed...");
    EXPECT_EQ(Texts().iniFile(), "PRVWRPTS.INI");
    IniFile::put(ini, "display strings 2.0", "window title", "Vorschau");
    IniFile::put(ini, "Preview Icons", "PrintICO", "print.ico");
    EXPECT_EQ(Texts(ini)["Window Title"], "Vorschau");
    EXPECT_EQ(Texts(ini)["ExitTip"], "Exit without printing");
    EXPECT_EQ(iconFile(ini, "PrintICO"), "print.ico");
    EXPECT_EQ(iconFile(ini, "CloseICO"), "");
    EXPECT_EQ(searchHitText(2, missing),
              "Search string found on 2 pages.||Press F3 for NEXT page|Press F2 for PREVIOUS page||Press OK to begin|");
    EXPECT_EQ(zoomSteps(), QList<int>({25, 50, 75, 100, 125, 150, 175, 200, 225, 250}));
    EXPECT_EQ(fitFactor(500, 1000), 50);
    EXPECT_EQ(fitFactor(1, 100000), 1);
    EXPECT_EQ(fitFactor(100000, 10), 999);

    EXPECT_FALSE(readPlacement(ini).active);
    IniFile::put(ini, "PreviewPlacement", "Activate", "yes");
    IniFile::put(ini, "PreviewPlacement", "Xpos", "-20");
    IniFile::put(ini, "PreviewPlacement", "Width", "640");
    IniFile::put(ini, "PreviewPlacement", "Height", "480");
    const Placement p = readPlacement(ini);
    EXPECT_TRUE(p.active);
    EXPECT_EQ(p.rect, QRect(0, 0, 640, 480)) << "negative and missing positions become 0";
}

TEST_F(PreviewTest, SearchFindsPagesByRecordAndF3F2WalkTheHits) {
    EXPECT_EQ(searchPages(queue, "account", false), QList<int>({1, 2, 3}));
    EXPECT_EQ(searchPages(queue, "ACCOUNT", true), QList<int>({1, 3}));
    EXPECT_EQ(searchPages(queue, "Withdrawal ACCOUNT Marker", false), QList<int>()) << "text over two records";
    EXPECT_EQ(searchPages(queue, "marker2", false), QList<int>({2}));

    auto w = open();
    w->search("ACCOUNT", true);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Search Completed...");
    EXPECT_TRUE(dialogs.last().text.startsWith("Search string found on 2 pages.||Press F3"));
    EXPECT_EQ(w->page(), 1);
    QTest::keyClick(w.get(), Qt::Key_F3);
    EXPECT_EQ(w->page(), 3);
    QTest::keyClick(w.get(), Qt::Key_F3);
    EXPECT_EQ(w->page(), 3) << "the index stops at the last hit";
    QTest::keyClick(w.get(), Qt::Key_F2);
    EXPECT_EQ(w->page(), 1);
    w->search("nowhere", false);
    EXPECT_EQ(dialogs.last().caption, "No Match!");
    EXPECT_EQ(dialogs.last().text, "Search string not found in this report!");
    QTest::keyClick(w.get(), Qt::Key_F3);
    EXPECT_EQ(w->page(), 1);
}

TEST_F(PreviewTest, NavigationStopsAtTheEndsAndZoomStaysWithinItsLimit) {
    auto w = open();
    QWidget *view = w->scrollArea()->widget();
    EXPECT_LE(view->height(), w->scrollArea()->viewport()->height()) << "the whole page shows on opening";
    EXPECT_LE(view->width(), w->scrollArea()->viewport()->width());
    EXPECT_GT(view->height(), w->scrollArea()->viewport()->height() / 2);
    EXPECT_TRUE(w->windowTitle().startsWith("Report Preview   ["));
    EXPECT_EQ(w->ofLabel()->text(), "of 3");
    EXPECT_FALSE(w->button("first")->isEnabled());
    EXPECT_FALSE(w->button("previous")->isEnabled());
    EXPECT_TRUE(w->button("next")->isEnabled());
    w->previousPage();
    EXPECT_EQ(w->page(), 1);
    QTest::mouseClick(w->button("last"), Qt::LeftButton);
    EXPECT_EQ(w->page(), 3);
    EXPECT_FALSE(w->button("next")->isEnabled());
    EXPECT_FALSE(w->button("last")->isEnabled());
    w->nextPage();
    EXPECT_EQ(w->page(), 3);
    w->showPage(2);
    EXPECT_TRUE(w->button("first")->isEnabled());
    EXPECT_TRUE(w->button("last")->isEnabled());

    w->setZoom(300);
    EXPECT_EQ(w->zoomPercent(), 250);
    w->fullHeight();
    const int height = w->zoomPercent();
    w->fullWidth();
    EXPECT_GT(w->zoomPercent(), height) << "a wide window fits the width at a larger factor";
    w->setZoom(50);
    QTest::keyClick(w.get(), Qt::Key_Space);
    EXPECT_EQ(w->zoomPercent(), 100) << "a small page zooms in to its true size";
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_LT(w->zoomPercent(), 100) << "and a click zooms back out to the whole page";

    PreviewOptions zoomed;
    zoomed.useZoom = true;
    auto z = std::make_unique<PrintPreview>(queue, 175, zoomed, ini, dialogs);
    z->show();
    EXPECT_EQ(z->zoomPercent(), 175);

    const QStringList entries = [&] {
        QStringList t;
        QMenu *m = w->popupMenu(false);
        for (QAction *a : m->actions()) t << a->text() + (a->isEnabled() ? "" : " (off)");
        delete m;
        return t;
    }();
    EXPECT_EQ(entries, QStringList({"Full &Height", "Full &Width", "&Zoom Percent", "F&irst Page", "Pr&evious Page",
                                    "&Next Page", "&Last Page", "P&rint Page (off)", "&GoTo Page", "Pages &to Print",
                                    "C&opies", "&Print", "E&xit", "&Text Out", "Search for..."}));
}

TEST_F(PreviewTest, InvalidPagesToPrintKeepTheWindowOpenAndPrintNothing) {
    auto w = open();
    for (const char *bad : {"16", "0", "1;2"}) {
        w->pagesToPrint()->setText(bad);
        w->print();
        EXPECT_EQ(dialogs.last().caption, "Error");
        EXPECT_EQ(dialogs.last().text, QStringLiteral("\"%1\" is invalid!").arg(bad));
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_EQ(queue, files);
    for (const QString &f : files) EXPECT_TRUE(QFile::exists(f));
}

TEST_F(PreviewTest, PrintLeavesTheChosenPagesInCopiesAndRemovesTheRest) {
    auto w = open();
    w->pagesToPrint()->setText("3-1,2");
    w->copies()->setValue(2);
    w->print();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), 1);
    EXPECT_EQ(queue, QStringList({files[1], files[2], files[1], files[2]}));
    EXPECT_FALSE(QFile::exists(files[0]));
    EXPECT_TRUE(QFile::exists(files[2]));
}

TEST_F(PreviewTest, StayAfterPrintingPrintsAndKeepsTheWindowAndQueue) {
    const QString pdf = dir.filePath("printed.pdf");
    reportPrinter().setOutputFileName(pdf);
    auto w = open();
    w->setStayAfterPrinting(true);
    w->pagesToPrint()->setText("2");
    w->print();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->pagesToPrint()->text(), "All");
    EXPECT_EQ(queue, files);
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("Marker2"));
    EXPECT_FALSE(text.contains("Marker1"));

    QFile::remove(pdf);
    w->showPage(3);
    w->printThisPage();
    EXPECT_TRUE(pdfText(pdf).contains("Marker3"));
    EXPECT_FALSE(pdfText(pdf).contains("Marker2"));
    reportPrinter().setOutputFileName({});
}

TEST_F(PreviewTest, TextOutAndPdfTakeTheChosenPages) {
    PreviewOptions options;
    options.textFile = dir.filePath("report.txt");
    auto w = open(options);
    w->pagesToPrint()->setText("2-3");
    w->textOut();
    QFile text(options.textFile);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QByteArray bytes = text.readAll();
    EXPECT_TRUE(bytes.startsWith("           Page 2 of ?PP?\r\n")) << bytes.left(40).toStdString();
    EXPECT_TRUE(bytes.contains("Marker3"));
    EXPECT_FALSE(bytes.contains("Marker1"));

    const QString pdf = dir.filePath("chosen.pdf");
    dialogs.fileNames << pdf;
    w->pagesToPrint()->setText("1,3");
    w->saveAsPdf();
    const QString t = pdfText(pdf);
    EXPECT_TRUE(t.contains("Marker1"));
    EXPECT_TRUE(t.contains("Marker3"));
    EXPECT_FALSE(t.contains("Marker2"));
    EXPECT_EQ(queue, files);
}

TEST_F(PreviewTest, ExitReturnsTwoAndWritesThePlacementBack) {
    IniFile::put(ini, "PreviewPlacement", "Activate", "Yes");
    IniFile::put(ini, "PreviewPlacement", "Xpos", "30");
    IniFile::put(ini, "PreviewPlacement", "Ypos", "40");
    IniFile::put(ini, "PreviewPlacement", "Width", "960");
    IniFile::put(ini, "PreviewPlacement", "Height", "600");
    auto w = open();
    EXPECT_EQ(w->size(), QSize(960, 600));
    EXPECT_NE(GETPREVIEWTEXTBUTTONHANDLE(), 0);
    EXPECT_EQ(previewTextButton(GETPREVIEWTEXTBUTTONHANDLE()), w->button("textOut"));
    w->resize(980, 620);
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->result(), 2);
    EXPECT_EQ(GETPREVIEWTEXTBUTTONHANDLE(), 0);
    EXPECT_EQ(IniFile::get(ini, "PreviewPlacement", "Width"), "980");
    EXPECT_EQ(IniFile::get(ini, "PreviewPlacement", "Height"), "620");
    EXPECT_EQ(queue, files);

    PreviewOptions noEsc;
    noEsc.escCloses = false;
    int extraPressed = 0;
    noEsc.extra[1] = [&] { ++extraPressed; };
    auto v = open(noEsc);
    QTest::keyClick(v.get(), Qt::Key_Escape);
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(v->button("Extra1Tip")->isVisible());
    ASSERT_TRUE(v->button("Extra2Tip")->isVisible());
    EXPECT_EQ(v->button("Extra2Tip")->toolTip(), "Extra Function 2");
    QTest::mouseClick(v->button("Extra2Tip"), Qt::LeftButton);
    EXPECT_EQ(extraPressed, 1);
}

TEST_F(PreviewTest, ArrowKeysScrollAndCrossPageBoundaries) {
    auto w = open();
    w->setZoom(150);
    QApplication::processEvents();
    QScrollBar *v = w->scrollArea()->verticalScrollBar();
    ASSERT_GT(v->maximum(), 0);
    w->showPage(2);
    v->setValue(0);
    QTest::keyClick(w.get(), Qt::Key_Down);
    EXPECT_EQ(w->page(), 2);
    EXPECT_GT(v->value(), 0);
    EXPECT_LT(v->value(), v->maximum() / 10 + v->pageStep() / 10 + 2) << "one 25.5th of the range";
    v->setValue(0);
    QTest::keyClick(w.get(), Qt::Key_Up);
    EXPECT_EQ(w->page(), 1) << "Up at the top goes to the previous page";
    EXPECT_EQ(v->value(), v->maximum()) << "at its bottom";
    QTest::keyClick(w.get(), Qt::Key_Down);
    EXPECT_EQ(w->page(), 2) << "Down at the bottom goes to the next page";
    EXPECT_EQ(v->value(), 0);
    w->lastPage();
    v->setValue(v->maximum());
    QTest::keyClick(w.get(), Qt::Key_Down);
    EXPECT_EQ(w->page(), 3) << "nothing after the last page";
}

// Three copies of the three pages are nine sheets whichever way the printer takes them.
TEST_F(PreviewTest, CopiesComeOutOnceOnEveryKindOfPrinter) {
    const QString pdf = dir.filePath("copies.pdf");
    for (auto kind :
         {FakePrinter::NoCopies, FakePrinter::MakesCopies, FakePrinter::CollatesCopies}) {
        driver.kind = kind;
        queue = files;
        auto w = open();
        w->copies()->setValue(3);
        w->print();
        EXPECT_EQ(w->result(), 1);
        EXPECT_EQ(driver.sheets(queue.size()), 9)
            << "left for the caller to print, on " << kindName(kind);

        queue = files;
        reportPrinter().setOutputFileName(pdf);
        auto stay = open();
        stay->setStayAfterPrinting(true);
        stay->copies()->setValue(3);
        stay->print();
        reportPrinter().setOutputFileName({});
        EXPECT_TRUE(stay->isVisible());
        EXPECT_EQ(driver.sheets(pdfPages(pdf)), 9)
            << "printed while the preview stays, on " << kindName(kind);
        QFile::remove(pdf);

        reportPrinter().setOutputFileName(pdf);
        stay->printThisPage();
        reportPrinter().setOutputFileName({});
        EXPECT_EQ(driver.sheets(pdfPages(pdf)), 1) << "this page once, on " << kindName(kind);
        QFile::remove(pdf);
    }
}

TEST_F(PreviewTest, APrintThatFailsSaysSoAndTheWindowStays) {
    reportPrinter().setOutputFileName(dir.filePath("missing/out.pdf"));
    auto w = open();
    w->setStayAfterPrinting(true);
    w->print();
    w->printThisPage();
    reportPrinter().setOutputFileName({});
    ASSERT_EQ(dialogs.shown.size(), 2);
    for (const Message &m : dialogs.shown) {
        EXPECT_EQ(m.icon, Dlg::Error);
        EXPECT_TRUE(m.text.startsWith("The report could not be printed on"))
            << m.text.toStdString();
    }
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(queue, files);
}

TEST_F(PreviewTest, PrintAndPushPinButtonsShowWhatTheyDo) {
    auto w = open();
    QToolButton *print = w->button("print"), *pin = w->button("pushPin");
    EXPECT_EQ(print->toolTip(), "Printing Options...");
    EXPECT_EQ(pin->toolTip(), "Toggle Stay after Printing");
    EXPECT_EQ(w->button("printThisPage")->toolTip(), "Print THIS Page");
    auto image = [](const QIcon &icon, QIcon::State state = QIcon::Off) {
        return icon.pixmap(QSize(24, 24), QIcon::Normal, state)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32);
    };
    QStyle *style = w->style();
    ASSERT_FALSE(print->icon().isNull());
    ASSERT_FALSE(pin->icon().isNull());
    EXPECT_NE(image(print->icon()), image(style->standardIcon(QStyle::SP_DialogSaveButton)))
        << "not a disk";
    EXPECT_NE(image(pin->icon()), image(style->standardIcon(QStyle::SP_DialogApplyButton)))
        << "not a check mark";
    EXPECT_NE(image(pin->icon(), QIcon::Off), image(pin->icon(), QIcon::On))
        << "the pin shows whether it is in";
    EXPECT_NE(image(print->icon()), image(w->button("printThisPage")->icon()));
}

TEST_F(PreviewTest, SearchHitsAreMarkedOnThePage) {
    auto w = open();
    QApplication::processEvents();
    EXPECT_EQ(markedPixels(*w), 0);
    w->search("marker2", false);
    ASSERT_EQ(w->page(), 2);
    EXPECT_GT(markedPixels(*w), 20) << "the hit on the page shown";
    w->showPage(1);
    EXPECT_EQ(markedPixels(*w), 0) << "page 1 has no hit";
    w->search("ACCOUNT", true);
    EXPECT_EQ(w->page(), 1);
    EXPECT_GT(markedPixels(*w), 20);
    w->search("nowhere", false);
    EXPECT_EQ(markedPixels(*w), 0) << "a search without hits leaves no marks";
}

TEST_F(PreviewTest, TheZoomChosenIsKeptForTheNextPreview) {
    auto first = open();
    const int fit = first->zoomPercent();
    first->setZoom(150);
    first->exit();
    auto second = open();
    EXPECT_EQ(second->zoomPercent(), 150);
    second->fullWidth();
    const int width = second->zoomPercent();
    ASSERT_NE(width, 150);
    second->exit();
    auto third = open();
    EXPECT_EQ(third->zoomPercent(), width) << "full width, again";
    third->exit();
    auto fourth = open();
    EXPECT_EQ(fourth->zoomPercent(), width) << "a preview where nothing was chosen changes nothing";
    fourth->setZoom(100);
    fourth->toggleZoom(); // from its true size to the whole page
    fourth->exit();
    auto fifth = open();
    EXPECT_EQ(fifth->zoomPercent(), fit);
}

TEST_F(PreviewTest, FileDialogsOpenInTheFolderLastUsedAndSavedFilesAreConfirmed) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    const QString out = QDir(dir.filePath("out")).absolutePath();
    auto w = open();
    dialogs.fileNames << out + "/pages.txt";
    w->textOut();
    ASSERT_TRUE(QFile::exists(out + "/pages.txt"));
    EXPECT_TRUE(statusLine(*w).contains(QDir::toNativeSeparators(out + "/pages.txt")))
        << statusLine(*w).toStdString();
    dialogs.fileNames << out + "/pages.pdf";
    w->saveAsPdf();
    ASSERT_FALSE(dialogs.fileDirs.isEmpty());
    EXPECT_EQ(dialogs.fileDirs.last(), out + "/REPORT.PDF");
    EXPECT_TRUE(QFile::exists(out + "/pages.pdf"));
    EXPECT_TRUE(statusLine(*w).contains(QDir::toNativeSeparators(out + "/pages.pdf")))
        << statusLine(*w).toStdString();
    w->exit();

    auto next = open(); // another report, another day
    next->textOut();    // cancelled
    EXPECT_EQ(dialogs.fileDirs.last(), out + "/REPORT.TXT");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    dialogs.fileNames << dir.filePath("missing/pages.pdf");
    next->saveAsPdf();
    ASSERT_EQ(dialogs.shown.size(), 1) << "a file that cannot be written says so";
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(
        dialogs.last().text.contains(QDir::toNativeSeparators(dir.filePath("missing/pages.pdf"))));
    dialogs.fileNames << dir.filePath("missing/pages.txt");
    next->textOut();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(
        dialogs.last().text.contains(QDir::toNativeSeparators(dir.filePath("missing/pages.txt"))));
}

// A report still being made: the pages join as they come, and what needs all of them waits for
// the last one, or is let go when the report is cancelled part-way.
TEST_F(PreviewTest, WhileGeneratingPagesJoinAndWholeReportActionsWait) {
    const QStringList all = queue;
    queue = all.mid(0, 1);
    PreviewOptions options;
    options.textFile = dir.filePath("report.txt");
    auto w = open(options);
    w->beginGenerating("Cancel");
    EXPECT_TRUE(w->generating());
    EXPECT_EQ(w->pageCount(), 1);
    EXPECT_FALSE(w->button("next")->isEnabled());

    w->textOut();
    EXPECT_FALSE(QFile::exists(options.textFile)) << "text output waits for the last page";
    EXPECT_TRUE(statusLine(*w).startsWith("The report is still being made")) << statusLine(*w).toStdString();
    queue << all[1];
    w->pagesAdded();
    EXPECT_EQ(w->pageCount(), 2);
    EXPECT_EQ(w->ofLabel()->text(), "of 2");
    EXPECT_TRUE(w->button("next")->isEnabled());
    w->nextPage();
    EXPECT_EQ(w->page(), 2);
    EXPECT_FALSE(QFile::exists(options.textFile));

    queue << all[2];
    w->endGenerating(true);
    EXPECT_FALSE(w->generating());
    EXPECT_FALSE(w->cancelButton()->isVisibleTo(w.get()));
    EXPECT_EQ(w->pageCount(), 3);
    EXPECT_EQ(w->page(), 2) << "the page shown stays";
    QFile text(options.textFile);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << "done once the report is complete";
    EXPECT_TRUE(text.readAll().contains("Marker3"));
}

TEST_F(PreviewTest, AReportCancelledPartWayLetsGoOfWhatWaited) {
    const QStringList all = queue;
    queue = all.mid(0, 2);
    PreviewOptions options;
    options.textFile = dir.filePath("report.txt");
    auto w = open(options);
    w->beginGenerating("Cancel");
    int cancels = 0;
    QObject::connect(w.get(), &PrintPreview::cancelRequested, [&cancels] { ++cancels; });
    w->cancelButton()->click();
    EXPECT_EQ(cancels, 1);
    w->textOut();
    w->print();
    w->endGenerating(false);
    EXPECT_FALSE(QFile::exists(options.textFile));
    EXPECT_EQ(statusLine(*w), "The report was cancelled: nothing was done with it.");
    EXPECT_TRUE(w->isVisible()) << "not printed, so the window stays";
    EXPECT_EQ(w->pageCount(), 2);
    EXPECT_EQ(queue, all.mid(0, 2));
}
