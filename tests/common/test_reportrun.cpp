// The report run: its texts, the preview question, cancelling with a partial preview, the
// "nothing" messages, page numbering, copies and the progress redraws.
#include "../support/fakeprinter.h"
#include "../support/printers.h"
#include "../support/scripteddialogs.h"
#include "common/app.h"
#include "common/reportrun.h"
#include "platform/inifile.h"
#include "preview/printerhelpers.h"
#include "preview/wmf2ascii.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ReportRunTest : public ::testing::Test {
protected:
    void SetUp() override { setPrinterDriver(&driver); }
    void TearDown() override { setPrinterDriver(nullptr); }

    // A report of `records` lines, ten to a page, that cancels after record `cancelAt`.
    std::unique_ptr<ReportRun> make(int records, int cancelAt = 0) {
        auto run = std::make_unique<ReportRun>(dialogs);
        run->iniFile = dir.filePath("PRVWRPTS.INI");
        run->recordsToProcess = records;
        run->pageOfPages = true;
        run->open = [this](ReportRun &) { return ++opened, true; };
        run->loop = [this, records, cancelAt, next = 1](ReportRun &r) mutable {
            if (next > records) return false;
            if (!r.report().pageOpen())
                r.report().text(500, 500, QStringLiteral("Page %1 of ?PP?").arg(r.report().pageNumber()));
            r.report().text(500, 1000 + 200 * ((next - 1) % 10), QStringLiteral("Record %1").arg(next));
            if (next % 10 == 0) r.report().endPage();
            r.recordDone();
            if (next == cancelAt) r.cancel();
            ++next;
            return true;
        };
        run->preview = [this](QStringList &pages, const PreviewOptions &) {
            previewed = pages;
            for (const QString &p : pages) previewText << pagetext::lines(p, 0);
            return previewAnswer;
        };
        if (fakePrint)
            run->print = [this](const QStringList &pages) {
                printed = pages;
                return true;
            };
        return run;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    FakePrinter driver;
    int opened = 0;
    int previewAnswer = 2;
    bool fakePrint = true; // false: pages go to the report printer
    QStringList previewed, printed;
    QList<QByteArray> previewText;
};

} // namespace

TEST(PreviewIniStrings, DefaultsAndOverrides) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("PRVWRPTS.INI");
    PreviewStrings s = FILLPREVIEWINISTRINGS(ini, "", "Preview", "Do you wish to PREVIEW this Report?");
    EXPECT_EQ(s.ProgWinTitlePrvw, "Generating Report");
    EXPECT_EQ(s.ProgWinTitlePrnt, "Printing Report");
    EXPECT_EQ(s.ProgWinPctText, "% Completed");
    EXPECT_EQ(s.ProgWinUsrText, "");
    EXPECT_EQ(s.AskPrvwDialogTitle, "Preview");
    EXPECT_EQ(s.AskPrvwDialogText, "Do you wish to PREVIEW this Report?");
    EXPECT_EQ(s.CancelPrvwPartialText, "Report Cancellation Requested!||Preview Report generated so far?");
    EXPECT_TRUE(s.NoDfltPrtrText.startsWith("Warning:  No DEFAULT Printer Driver Found!||Printing may"));
    EXPECT_TRUE(s.NoDfltPrtrText.endsWith("as your Default.||Continue with report anyway?"));
    EXPECT_EQ(s.AsciiOutMasks, "Text|*.TXT|All Files|*.*");
    EXPECT_EQ(s.DynLblErrText2, "||Does not support paper type:");
    EXPECT_EQ(s.ButtonYesNoIgnore, "&Yes|&No|&Ignore");
    EXPECT_EQ(s.ButtonOk, "&Ok");

    IniFile::put(ini, "Other", "ProgWinPctText", "ignored");
    EXPECT_EQ(FILLPREVIEWINISTRINGS(ini, "", "T", "Q").ProgWinPctText, "% Completed") << "another section";
    IniFile::put(ini, "DISPLAY STRINGS 2.0", "AskPrvwDialogText", "Vorschau?");
    IniFile::put(ini, "DISPLAY STRINGS 2.0", "ProgWinTitlePrnt", QString(80, 'x'));
    s = FILLPREVIEWINISTRINGS(ini, "Working", "T", "Q");
    EXPECT_EQ(s.AskPrvwDialogText, "Vorschau?");
    EXPECT_EQ(s.AskPrvwDialogTitle, "T");
    EXPECT_EQ(s.ProgWinUsrText, "Working");
    EXPECT_EQ(s.ProgWinTitlePrnt.size(), 64);
}

TEST_F(ReportRunTest, CancelAtTheQuestionGeneratesNothing) {
    auto run = make(30);
    dialogs.answers = {3};
    EXPECT_EQ(run->run(), ReportRun::Cancelled);
    ASSERT_EQ(dialogs.shown.size(), 1);
    const Message &q = dialogs.shown[0];
    EXPECT_EQ(q.caption, "Preview");
    EXPECT_EQ(q.text, "Do you wish to PREVIEW this Report?");
    EXPECT_EQ(q.custom, QStringList({"&Yes", "&No", "&Cancel"}));
    EXPECT_EQ(q.icon, Dlg::Question);
    EXPECT_EQ(q.defaultButton, 1);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(previewed.isEmpty());
    EXPECT_TRUE(printed.isEmpty());
}

TEST_F(ReportRunTest, PreviewGetsNumberedPagesAndPrintsWhenAsked) {
    auto run = make(25);
    dialogs.answers = {1};
    EXPECT_EQ(run->run(), ReportRun::Previewed);
    EXPECT_EQ(opened, 1);
    ASSERT_EQ(previewed.size(), 3) << "the last, half-filled page is ended too";
    EXPECT_EQ(previewText.first(), "     Page 1 of    3") << "x 500 is column 6";
    EXPECT_TRUE(printed.isEmpty());

    previewAnswer = 1;
    auto again = make(25);
    dialogs.answers = {1};
    EXPECT_EQ(again->run(), ReportRun::Printed);
    EXPECT_EQ(printed.size(), 3);
}

TEST_F(ReportRunTest, CancelledPreviewShowsThePagesSoFarOnlyWhenAsked) {
    auto partial = make(100, 25);
    dialogs.answers = {1, 1, 1}; // preview; yes, cancel; yes, show what there is
    EXPECT_EQ(partial->run(), ReportRun::Previewed);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[1].text, "Are you sure you want to CANCEL this Report?");
    EXPECT_EQ(dialogs.shown[1].custom, QStringList({"&Yes", "&No"}));
    EXPECT_EQ(dialogs.shown[2].text, "Report Cancellation Requested!||Preview Report generated so far?");
    EXPECT_EQ(dialogs.shown[2].custom, QStringList({"&Yes", "&No", "&Ignore"}));
    EXPECT_EQ(previewed.size(), 3);
    EXPECT_EQ(partial->recordsProcessed(), 25);
    EXPECT_EQ(previewText.last(), "     Record 25");

    previewed.clear();
    auto stop = make(100, 25);
    dialogs.shown.clear();
    dialogs.answers = {1, 1, 2}; // no partial preview
    EXPECT_EQ(stop->run(), ReportRun::Cancelled);
    EXPECT_TRUE(previewed.isEmpty());

    auto ignore = make(100, 25);
    dialogs.answers = {1, 1, 3}; // ignore: the report goes on
    EXPECT_EQ(ignore->run(), ReportRun::Previewed);
    EXPECT_EQ(previewed.size(), 10);

    auto no = make(100, 25);
    dialogs.shown.clear();
    dialogs.answers = {1, 2}; // not sure after all
    EXPECT_EQ(no->run(), ReportRun::Previewed);
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(no->recordsProcessed(), 100);

    auto printing = make(100, 25);
    dialogs.shown.clear();
    dialogs.answers = {2, 1}; // print directly, then cancel: no partial question
    EXPECT_EQ(printing->run(), ReportRun::Cancelled);
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(printed.isEmpty());
}

TEST_F(ReportRunTest, NothingToPreviewOrPrint) {
    auto empty = make(0);
    dialogs.answers = {1};
    EXPECT_EQ(empty->run(), ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().caption, "NOTE...");
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
    EXPECT_EQ(dialogs.last().custom, QStringList{"&Ok"});
    auto none = make(0);
    dialogs.answers = {2};
    EXPECT_EQ(none->run(), ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Print.");
    EXPECT_TRUE(previewed.isEmpty());
}

TEST_F(ReportRunTest, DirectPrintMakesTheCopiesThePrinterCannot) {
    auto run = make(20);
    run->copies = 2;
    dialogs.answers = {2};
    EXPECT_EQ(run->run(), ReportRun::Printed);
    ASSERT_EQ(printed.size(), 4);
    EXPECT_EQ(printed[0], printed[2]);
    EXPECT_EQ(printed[1], printed[3]);
    EXPECT_NE(printed[0], printed[1]);
}

TEST_F(ReportRunTest, ProgressRedrawsOnlyWhenTheWholePercentChanges) {
    auto run = make(1000);
    dialogs.answers = {2};
    run->run();
    EXPECT_EQ(run->redraws(), 100);
    EXPECT_EQ(run->percentText(), "100% Completed");

    auto over = make(50);
    over->recordsToProcess = 10; // an estimate that falls short
    dialogs.answers = {2};
    over->run();
    EXPECT_EQ(over->percent(), 100);
    EXPECT_EQ(over->redraws(), 10);

    auto few = make(3);
    few->recordsToProcess = 60;
    dialogs.answers = {2};
    few->run();
    EXPECT_EQ(few->percentText(), "  5% Completed");
}

TEST_F(ReportRunTest, EscapeInTheProgressWindowAsksToCancel) {
    auto run = make(20);
    QString title;
    auto inner = run->loop;
    run->loop = [&, inner](ReportRun &r) mutable {
        if (r.recordsProcessed() == 5 && title.isEmpty()) {
            QWidget *window = QApplication::activeModalWidget();
            if (!window) return false;
            title = window->windowTitle();
            QTest::keyClick(window, Qt::Key_Escape);
        }
        return inner(r);
    };
    dialogs.answers = {1, 2}; // preview; then "not sure after all"
    EXPECT_EQ(run->run(), ReportRun::Previewed);
    EXPECT_EQ(title, "Generating Report");
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1].caption, "Question");
    EXPECT_EQ(run->recordsProcessed(), 20);
}

TEST_F(ReportRunTest, TheDataDirectorysIniFileCountsNotTheCurrentDirectorys) {
    QTemporaryDir fund, elsewhere;
    const QString fundIni = QDir(fund.path()).filePath("PRVWRPTS.INI");
    IniFile::put(fundIni, "DISPLAY STRINGS 2.0", "AskPrvwDialogText", "The fund's question?");
    IniFile::put(QDir(elsewhere.path()).filePath("PRVWRPTS.INI"), "DISPLAY STRINGS 2.0", "AskPrvwDialogText",
                 "A stray question?");
    const QString cwd = QDir::currentPath();
    const QString dataDir = App::dataDir();
    QDir::setCurrent(elsewhere.path());
    App::setDataDir(fund.path());

    ReportRun run(dialogs); // every report leaves the file name at "PRVWRPTS.INI"
    dialogs.answers = {3};
    EXPECT_EQ(run.run(), ReportRun::Cancelled);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, "The fund's question?");
    // The preview reads and keeps its settings in the same file.
    EXPECT_EQ(run.iniPath(), fundIni);

    QDir::setCurrent(cwd);
    App::setDataDir(dataDir);
}

// Three copies of a two-page report come out as six sheets, whichever way the printer takes them:
// the printer is told the count when it makes the copies itself, else the pages are sent three
// times; never both.
TEST_F(ReportRunTest, CopiesComeOutOnceOnEveryKindOfPrinter) {
    for (auto kind :
         {FakePrinter::NoCopies, FakePrinter::MakesCopies, FakePrinter::CollatesCopies}) {
        driver.kind = kind;
        int sheets = 0;
        auto direct = make(20);
        direct->copies = 3;
        direct->print = [&](const QStringList &pages) {
            printed = pages;
            sheets = driver.sheets(pages.size());
            return true;
        };
        dialogs.answers = {2};
        EXPECT_EQ(direct->run(), ReportRun::Printed);
        EXPECT_EQ(sheets, 6) << "printed directly on " << kindName(kind);
        if (kind == FakePrinter::NoCopies) {
            ASSERT_EQ(printed.size(), 6);
            EXPECT_EQ(printed.mid(0, 2), printed.mid(2, 2)) << "whole sets, one after another";
            EXPECT_EQ(printed.mid(0, 2), printed.mid(4, 2));
        }

        // Through the preview: the copies entry says 3 and Print is pressed.
        sheets = 0;
        auto previewed = make(20);
        previewed->previewOptions.skipPrinterDialog = true;
        previewed->preview = [&](QStringList &pages, const PreviewOptions &options) {
            QTimer::singleShot(0, [] {
                auto *window = qobject_cast<PrintPreview *>(QApplication::activeModalWidget());
                ASSERT_NE(window, nullptr);
                window->copies()->setValue(3);
                window->print();
            });
            return PRINTPREVIEW(pages, 100, options, dir.filePath("PRVWRPTS.INI"), dialogs);
        };
        previewed->print = [&](const QStringList &pages) {
            sheets = driver.sheets(pages.size());
            return true;
        };
        dialogs.answers = {1};
        EXPECT_EQ(previewed->run(), ReportRun::Printed);
        EXPECT_EQ(sheets, 6) << "printed from the preview on " << kindName(kind);
    }
}

// A page file that cannot be written (here a folder stands where the file must go) stops the run:
// the user is told which page, and nothing incomplete is shown or printed.
TEST_F(ReportRunTest, APageThatCannotBeWrittenStopsTheRun) {
    for (int answer : {1, 2}) { // preview, print
        auto run = make(40);
        auto inner = run->loop;
        run->loop = [inner](ReportRun &r) {
            if (r.recordsProcessed() == 12) QDir(r.report().folder()).mkdir("page00002.wmf");
            return inner(r);
        };
        dialogs.shown.clear();
        previewed.clear();
        printed.clear();
        dialogs.answers = {answer};
        const ReportRun::Outcome outcome = run->run();
        EXPECT_NE(outcome, ReportRun::Previewed);
        EXPECT_NE(outcome, ReportRun::Printed);
        EXPECT_TRUE(previewed.isEmpty()) << "pages 1 and 3 are not a report";
        EXPECT_TRUE(printed.isEmpty());
        EXPECT_EQ(run->recordsProcessed(), 20) << "the run stops at the page that failed";
        ASSERT_EQ(dialogs.shown.size(), 2);
        EXPECT_EQ(dialogs.last().icon, Dlg::Error);
        EXPECT_TRUE(dialogs.last().text.startsWith("Page 2 of the report could not be written"))
            << dialogs.last().text.toStdString();
    }
}

// A printer that refuses the job (an output file in a folder that does not exist) is reported.
TEST_F(ReportRunTest, APrintThatFailsSaysSo) {
    fakePrint = false;
    auto run = make(20);
    reportPrinter().setOutputFileName(dir.filePath("missing/report.pdf"));
    dialogs.answers = {2};
    const ReportRun::Outcome outcome = run->run();
    reportPrinter().setOutputFileName({});
    EXPECT_NE(outcome, ReportRun::Printed);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("The report could not be printed on"))
        << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith("Nothing was printed."))
        << dialogs.last().text.toStdString();
}

// The live preview: the window opens with the first page while the rest is still being made.
namespace {
class LivePreviewTest : public ReportRunTest {
protected:
    // The run of make() without a preview hook, so that the live window shows the pages; the
    // printer dialog is left out. `during(run)` is called before every record from the 11th on.
    std::unique_ptr<ReportRun> live(int records, int cancelAt = 0,
                                    std::function<void(ReportRun &)> during = {}) {
        auto run = make(records, cancelAt);
        run->preview = nullptr;
        run->previewOptions.skipPrinterDialog = true;
        auto inner = run->loop;
        run->loop = [inner, during](ReportRun &r) {
            if (during && r.recordsProcessed() >= 10) during(r);
            return inner(r);
        };
        return run;
    }
    // Once the last page is in, notes what the window shows and closes it (printing when asked).
    void closeWhenComplete(ReportRun &run, bool printIt = false) {
        watch = std::make_unique<QTimer>();
        QObject::connect(watch.get(), &QTimer::timeout, [this, &run, printIt] {
            PrintPreview *p = run.livePreview();
            if (!p || p->generating()) return;
            watch->stop();
            finalCount = p->pageCount();
            finalOf = p->ofLabel()->text();
            for (const QString &page : run.report().pages()) finalText << pagetext::lines(page, 0);
            printIt ? p->print() : p->exit();
        });
        watch->start(5);
    }
    std::unique_ptr<QTimer> watch;
    int finalCount = -1;
    QString finalOf;
    QList<QByteArray> finalText;
};
} // namespace

TEST_F(LivePreviewTest, TheFirstPageIsInThePreviewBeforeTheRunEnds) {
    int seenPages = -1, seenPage = 0;
    bool seenGenerating = false;
    QString seenOf;
    auto run = live(25, 0, [&](ReportRun &r) {
        if (r.recordsProcessed() != 14) return;
        PrintPreview *p = r.livePreview();
        ASSERT_NE(p, nullptr) << "the preview is open once page 1 is finished";
        seenPages = p->pageCount();
        seenPage = p->page();
        seenGenerating = p->generating() && p->cancelButton()->isVisibleTo(p);
        seenOf = p->ofLabel()->text();
    });
    closeWhenComplete(*run);
    dialogs.answers = {1};
    EXPECT_EQ(run->run(), ReportRun::Previewed);
    EXPECT_EQ(seenPages, 1);
    EXPECT_EQ(seenPage, 1);
    EXPECT_TRUE(seenGenerating);
    EXPECT_EQ(seenOf, "of 1");
    EXPECT_EQ(run->recordsProcessed(), 25);
    EXPECT_EQ(finalCount, 3) << "the last, half-filled page is ended too";
    EXPECT_EQ(finalOf, "of 3");
    EXPECT_TRUE(finalText.contains("     Page 1 of    3")) << "the counts are written at the end";
    EXPECT_TRUE(finalText.contains("     Page 3 of    3"));
    EXPECT_TRUE(previewed.isEmpty()) << "no finished-pages hook was set";
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_EQ(dialogs.shown.size(), 1) << "only the preview question";
}

TEST_F(LivePreviewTest, CancelPartWayKeepsAConsistentPreview) {
    auto run = live(100, 25);
    closeWhenComplete(*run);
    dialogs.answers = {1, 1, 1}; // preview; yes, cancel; yes, keep what there is
    EXPECT_EQ(run->run(), ReportRun::Previewed);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[2].text, "Report Cancellation Requested!||Preview Report generated so far?");
    EXPECT_EQ(run->recordsProcessed(), 25) << "nothing more is made after the cancel";
    EXPECT_EQ(finalCount, 3);
    EXPECT_EQ(finalOf, "of 3");
    EXPECT_TRUE(finalText.contains("     Page 1 of    3"));
    EXPECT_EQ(finalText.last(), "     Record 25");

    // No look at the pages: the window closes and the run ends cancelled.
    auto closed = live(100, 25);
    finalCount = -1;
    dialogs.shown.clear();
    dialogs.answers = {1, 1, 2};
    EXPECT_EQ(closed->run(), ReportRun::Cancelled);
    EXPECT_EQ(closed->recordsProcessed(), 25);
    EXPECT_EQ(finalCount, -1);
    EXPECT_TRUE(printed.isEmpty());

    // Not sure after all: the report goes on to its end.
    auto goesOn = live(100, 25);
    closeWhenComplete(*goesOn);
    dialogs.shown.clear();
    dialogs.answers = {1, 2};
    EXPECT_EQ(goesOn->run(), ReportRun::Previewed);
    EXPECT_EQ(goesOn->recordsProcessed(), 100);
    EXPECT_EQ(finalCount, 10);
}

TEST_F(LivePreviewTest, ThePreviewsCancelButtonAsksLikeTheProgressWindow) {
    auto run = live(100, 0, [](ReportRun &r) {
        // Pressed between two turns of the report, as the user does.
        if (r.recordsProcessed() == 30)
            QTimer::singleShot(0, r.livePreview()->cancelButton(), &QPushButton::click);
    });
    closeWhenComplete(*run);
    dialogs.answers = {1, 1, 1};
    EXPECT_EQ(run->run(), ReportRun::Previewed);
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[1].text, "Are you sure you want to CANCEL this Report?");
    const qint64 made = run->recordsProcessed();
    EXPECT_GT(made, 30);
    EXPECT_LT(made, 35);
    EXPECT_EQ(finalCount, (made + 9) / 10);
    EXPECT_EQ(finalText.last(), QByteArray("     Record ") + QByteArray::number(made));
}

TEST_F(LivePreviewTest, PrintingAskedWhileTheReportIsMadeWaitsForTheLastPage) {
    qsizetype printedBeforeEnd = -1;
    auto run = live(25, 0, [&](ReportRun &r) {
        if (r.recordsProcessed() == 12) r.livePreview()->print();
        if (r.recordsProcessed() == 20) printedBeforeEnd = printed.size();
    });
    dialogs.answers = {1};
    EXPECT_EQ(run->run(), ReportRun::Printed);
    EXPECT_EQ(printedBeforeEnd, 0);
    ASSERT_EQ(printed.size(), 3) << "the whole report";
    EXPECT_EQ(run->recordsProcessed(), 25);
}

TEST_F(LivePreviewTest, ClosingThePreviewStopsTheReport) {
    bool finished = false;
    auto run = live(100, 0, [](ReportRun &r) {
        if (r.recordsProcessed() == 15) r.livePreview()->exit();
    });
    run->finish = [&](ReportRun &) { finished = true; };
    dialogs.answers = {1};
    EXPECT_EQ(run->run(), ReportRun::Previewed);
    EXPECT_EQ(run->recordsProcessed(), 16);
    EXPECT_FALSE(finished);
    EXPECT_TRUE(printed.isEmpty());
}

TEST_F(LivePreviewTest, APageThatCannotBeWrittenClosesThePreview) {
    auto run = live(40, 0, [](ReportRun &r) {
        if (r.recordsProcessed() == 12) QDir(r.report().folder()).mkdir("page00002.wmf");
    });
    dialogs.answers = {1};
    EXPECT_EQ(run->run(), ReportRun::Failed);
    EXPECT_EQ(run->recordsProcessed(), 20);
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("Page 2 of the report could not be written"));
    EXPECT_TRUE(dialogs.last().text.endsWith("The report was stopped and its preview closed; none of it was printed."));
    EXPECT_TRUE(printed.isEmpty());
}

TEST_F(LivePreviewTest, AReportWithNoPagesNeverOpensTheWindow) {
    auto run = live(0);
    dialogs.answers = {1};
    EXPECT_EQ(run->run(), ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
}
