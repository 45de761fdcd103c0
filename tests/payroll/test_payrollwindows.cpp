// One payroll through the windows: header, division among three members, posting, report.
#include "common/windows.h"
#include "payroll/payrollreport.h"
#include "payroll/payrollscreen.h"
#include "payroll/processpayroll.h"
#include "payrolltest.h"
#include "preview/wmf2ascii.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

namespace {
class PayrollWindows : public PayrollTest {
protected:
    void SetUp() override {
        PayrollTest::SetUp();
        PayrollGLO() = PayrollGlobals();
        PAYQUEUE().clear();
        PayrollReport::testHook() = [this](ReportRun &run) {
            run.iniFile = dataDir() + "/PRVWRPTS.INI";
            run.preview = [this](QStringList &files, const PreviewOptions &) {
                for (const QString &f : files) {
                    QStringList text;
                    for (const QByteArray &l : pagetext::lines(f, 0))
                        text << QString::fromLatin1(l).simplified();
                    pages << text.join('\n');
                }
                return 0;
            };
        };
    }
    void TearDown() override {
        PayrollReport::testHook() = nullptr;
        PAYQUEUE().clear();
        PayrollTest::TearDown();
    }
    static void type(QLineEdit *e, const QString &text) {
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    QStringList pages;
};
} // namespace

TEST_F(PayrollWindows, OnePayrollFromHeaderToReport) {
    Clock::setToday(day(2004, 2, 15));
    addContractor(7, "ABC");
    addMember(1001, "111-11-1111", "Smith");
    addMember(1002, "222-22-2222", "Jones");
    addMember(1003, "333-33-3333", "Brown");
    PayrollGlobals &g = PayrollGLO();

    PayrollScreen screen(*db, dialogs, false, g, PAYQUEUE(), lookups, PAYROLLRPT);
    screen.show();
    EXPECT_EQ(screen.windowTitle(), "Payroll Information");
    EXPECT_EQ(screen.tabs()->tabText(0), "General");
    EXPECT_FALSE(screen.tabs()->isTabVisible(1));
    EXPECT_FALSE(screen.button("&Load Saved Data")->isVisibleTo(&screen)) << "nothing saved";
    EXPECT_FALSE(screen.button("Print")->isVisibleTo(&screen));
    EXPECT_EQ(screen.field("GLO:POSTINGDATE")->text(), "02/15/2004");
    EXPECT_EQ(screen.field("GLO:PAYROLLAMOUNT")->toolTip(), "Amount of payroll Check");

    type(screen.field("GLO:CONTRACTORNAME"), "ABC");
    EXPECT_EQ(g.CONTRACTORNUMBER, 7);
    type(screen.field("GLO:PAYROLLDATE"), "02/01/2004");
    type(screen.field("GLO:PAYROLLAMOUNT"), "150.00");
    type(screen.field("GLO:POSTINGDATE"), "01/31/2004");
    EXPECT_EQ(dialogs.last().caption, "Date out of range ...");
    type(screen.field("GLO:POSTINGDATE"), "02/14/2004");

    bool divided = false;
    screen.runProcess = [&] {
        ProcessPayrollWindow w(*db, dialogs, g, PAYQUEUE(), lookups, PAYROLLRPT);
        w.show();
        EXPECT_EQ(w.windowTitle(), "Processing Payroll Information ...");
        EXPECT_EQ(w.field("GLO:CONTRACTORNAME")->text(), "ABC");
        EXPECT_EQ(w.field("LOC:PAYROLLAMOUNT")->text(), "$150.00");
        EXPECT_FALSE(w.button("&Post")->isEnabled());
        EXPECT_FALSE(w.waitText()->isVisibleTo(&w));
        const char *ssns[] = {"111111111", "222222222", "333333333"};
        const char *amounts[] = {"100.00", "30.00", "20.00"};
        for (int i = 0; i < 3; ++i) {
            type(w.field("LOC:SSNUM"), ssns[i]);
            w.enterAmount();
            w.field("LOC:DEPOSITAMOUNT")->setText(amounts[i]);
            QTest::mouseClick(w.button("&Add"), Qt::LeftButton);
        }
        EXPECT_EQ(w.list()->rowCount(), 3);
        EXPECT_EQ(w.list()->item(1, 0)->text(), "222-22-2222");
        EXPECT_EQ(w.list()->item(1, 1)->text(), "Jones, Pat");
        EXPECT_EQ(w.list()->item(1, 2)->text(), "02/01/2004");
        EXPECT_EQ(w.list()->item(1, 3)->text(), "$30.00");
        EXPECT_EQ(w.field("LOC:PAYROLLAMOUNT")->text(), "$0.00");
        ASSERT_TRUE(w.button("&Post")->isEnabled());
        QTest::mouseClick(w.button("&Post"), Qt::LeftButton);
        EXPECT_EQ(w.result(), QDialog::Accepted);
        divided = true;
    };
    QTest::mouseClick(screen.button("&Process"), Qt::LeftButton);
    ASSERT_TRUE(divided);
    EXPECT_FALSE(screen.isVisible());

    const QList<Trans> tra = all<Trans>();
    ASSERT_EQ(tra.size(), 3);
    EXPECT_EQ(tra[2].DESC, "(ABC For 02/01/2004)");
    EXPECT_EQ(tra[2].TRANSDATE, day(2004, 2, 14));
    EXPECT_TRUE(PAYQUEUE().isEmpty());
    ASSERT_EQ(all<PayData>().size(), 1);
    EXPECT_EQ(all<PayData>()[0].AMOUNT, money("150.00"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].startsWith("Payroll Deposit Report\nABC --- 02/01/2004\n"))
        << qPrintable(pages[0]);
    EXPECT_TRUE(pages[0].contains("Total Deposits = $150.00"));
}

TEST_F(PayrollWindows, ReviewFindsRenamesAndReturns) {
    addContractor(1, "ABC");
    addContractor(2, "Keystone Electric");
    addMember(1001, "111-11-1111", "Smith");
    addPosted(1001, day(2004, 2, 15), "100.00", "(ABC For 01/15/2004)");
    PayrollGlobals &g = PayrollGLO();
    g.LOOKUPDATE = day(2004, 2, 15);
    PayrollScreen screen(*db, dialogs, false, g, PAYQUEUE(), lookups, PAYROLLRPT);
    screen.show();
    EXPECT_EQ(screen.field("GLO:LOOKUPDATE")->text(), "02/15/2004");
    QTest::mouseClick(screen.button("Retrieve Payroll Listings"), Qt::LeftButton);
    ASSERT_EQ(screen.payrolls()->rowCount(), 1);
    EXPECT_EQ(screen.payrolls()->item(0, 0)->text(), "(ABC For 01/15/2004)");
    EXPECT_EQ(screen.payrolls()->item(0, 1)->text(), "$100.00");
    EXPECT_TRUE(screen.button("Print")->isVisible());
    EXPECT_TRUE(screen.button("Rename")->isVisible());

    QTest::mouseClick(screen.button("Rename"), Qt::LeftButton);
    EXPECT_FALSE(screen.tabs()->isTabVisible(0));
    EXPECT_TRUE(screen.tabs()->isTabVisible(1));
    EXPECT_EQ(screen.findChild<QLabel *>("LOC:CURRENTCONTRACTOR")->text(),
              "Current Contractor:  ABC");
    ASSERT_EQ(screen.contractors()->rowCount(), 2);
    screen.contractors()->selectRow(1);
    dialogs.answers = {Dlg::Yes};
    QTest::mouseClick(screen.findChild<QPushButton *>("RenameOnTab"), Qt::LeftButton);
    EXPECT_EQ(all<Trans>()[0].DESC, "(Keystone Electric For 01/15/2004)");
    EXPECT_TRUE(screen.tabs()->isTabVisible(0));
    EXPECT_FALSE(screen.tabs()->isTabVisible(1));
    EXPECT_EQ(screen.payrolls()->rowCount(), 0);
    EXPECT_FALSE(screen.button("Print")->isVisible());

    // Nothing on another day: the list stays empty and disabled.
    screen.field("GLO:LOOKUPDATE")->setText("02/16/2004");
    QTest::mouseClick(screen.button("Retrieve Payroll Listings"), Qt::LeftButton);
    EXPECT_EQ(dialogs.last().caption, "No Payrolls Found ....");
    EXPECT_FALSE(screen.payrolls()->isEnabled());
}

TEST_F(PayrollWindows, LoadedPayrollLocksTheHeader) {
    Clock::setToday(day(2004, 2, 20));
    addContractor(7, "ABC");
    addMember(1001, "111-11-1111", "Smith");
    storage::DataFile<PayBreak> pbk(*db);
    pbk.open();
    pbk.rec.PATNUM = "12";
    pbk.rec.AMOUNT = money("80.00");
    pbk.rec.CONTRACTOR = 7;
    pbk.rec.DATE = day(2004, 2, 1);
    pbk.rec.POSTINGDATE = day(2004, 2, 15);
    ASSERT_TRUE(pbk.add());
    pbk.rec.PATNUM = "111-11-1111";
    pbk.rec.AMOUNT = money("30.00");
    ASSERT_TRUE(pbk.add());

    PayrollScreen screen(*db, dialogs, false, PayrollGLO(), PAYQUEUE(), lookups, PAYROLLRPT);
    screen.show();
    QPushButton *load = screen.button("&Load Saved Data");
    ASSERT_TRUE(load->isVisible());
    QTest::mouseClick(load, Qt::LeftButton);
    EXPECT_FALSE(load->isVisible());
    EXPECT_EQ(screen.field("GLO:CONTRACTORNAME")->text(), "ABC");
    EXPECT_EQ(screen.field("GLO:PAYROLLAMOUNT")->text(), "$80.00");
    EXPECT_EQ(screen.field("GLO:POSTINGDATE")->text(), "02/15/2004");
    for (const char *name :
         {"GLO:CONTRACTORNAME", "GLO:PAYROLLDATE", "GLO:PAYROLLAMOUNT", "GLO:TRANSDESC"})
        EXPECT_FALSE(screen.field(name)->isEnabled()) << name;
    // The posting date stays open: a payroll saved last month is posted in this one.
    EXPECT_TRUE(screen.field("GLO:POSTINGDATE")->isEnabled());

    screen.runProcess = [&] {
        ProcessPayrollWindow w(*db, dialogs, PayrollGLO(), PAYQUEUE(), lookups, PAYROLLRPT);
        EXPECT_EQ(w.field("LOC:PAYROLLAMOUNT")->text(), "$50.00");
        ASSERT_EQ(w.list()->rowCount(), 1);
        EXPECT_EQ(w.list()->item(0, 1)->text(), "Smith, Pat");
        // "&Edit" takes the line back into the entry fields.
        w.list()->selectRow(0);
        QTest::mouseClick(w.button("&Edit"), Qt::LeftButton);
        EXPECT_EQ(w.list()->rowCount(), 0);
        EXPECT_EQ(w.field("LOC:SSNUM")->text(), "111-11-1111");
        EXPECT_EQ(w.field("LOC:DEPOSITAMOUNT")->text(), "$30.00");
        EXPECT_EQ(w.field("LOC:PAYROLLAMOUNT")->text(), "$80.00");
        // Leaving with the saved line taken out asks nothing: the list is empty.
        w.cancel();
        EXPECT_EQ(w.result(), QDialog::Rejected);
    };
    QTest::mouseClick(screen.button("&Process"), Qt::LeftButton);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// Gathered or loaded lines never outlive the window: every way out asks, then empties them.
TEST_F(PayrollWindows, EveryWayOutEmptiesTheQueue) {
    addContractor(7, "ABC");
    QMdiArea frame;
    frame.show();
    App::setMdiArea(&frame);
    struct Unset {
        ~Unset() { App::setMdiArea(nullptr); }
    } unset;
    auto open = [&] {
        PAYQUEUE() << PayQueueEntry{"111-11-1111", "Smith, Pat", 0, money("10.00"), 7, 0};
        return QPointer<QMdiSubWindow>(Windows::start(
            new PayrollScreen(*db, dialogs, false, PayrollGLO(), PAYQUEUE(), lookups, PAYROLLRPT)));
    };
    auto asked = [&] {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const bool was = !dialogs.shown.isEmpty() && dialogs.last().caption == "Unsaved Work ...";
        dialogs.shown.clear();
        return was;
    };

    // The title-bar button: No keeps window and lines, Yes drops both.
    QPointer<QMdiSubWindow> sub = open();
    dialogs.answers = {Dlg::No};
    sub->close();
    EXPECT_TRUE(asked());
    ASSERT_TRUE(sub && sub->isVisible());
    EXPECT_EQ(PAYQUEUE().size(), 1);
    dialogs.answers = {Dlg::Yes};
    sub->close();
    EXPECT_TRUE(asked());
    EXPECT_TRUE(PAYQUEUE().isEmpty());
    EXPECT_FALSE(sub);

    // Esc, from any field.
    sub = open();
    auto *screen = static_cast<PayrollScreen *>(sub->widget());
    screen->field("GLO:CONTRACTORNAME")->setFocus();
    dialogs.answers = {Dlg::Yes};
    QTest::keyClick(screen->field("GLO:CONTRACTORNAME"), Qt::Key_Escape);
    EXPECT_TRUE(asked());
    EXPECT_TRUE(PAYQUEUE().isEmpty());
    EXPECT_FALSE(sub);

    // The frame closing: a No keeps the frame's children open.
    sub = open();
    dialogs.answers = {Dlg::No};
    frame.closeAllSubWindows();
    EXPECT_TRUE(asked());
    EXPECT_FALSE(frame.subWindowList().isEmpty());
    dialogs.answers = {Dlg::Yes};
    frame.closeAllSubWindows();
    EXPECT_TRUE(asked());
    EXPECT_TRUE(PAYQUEUE().isEmpty());
    EXPECT_TRUE(frame.subWindowList().isEmpty());

    // "&Cancel" asks the same way.
    sub = open();
    screen = static_cast<PayrollScreen *>(sub->widget());
    dialogs.answers = {Dlg::Yes};
    QTest::mouseClick(screen->button("&Cancel"), Qt::LeftButton);
    EXPECT_TRUE(asked());
    EXPECT_TRUE(PAYQUEUE().isEmpty());
    EXPECT_FALSE(sub);

    // Nothing to lose: the window closes without a question.
    PayrollScreen empty(*db, dialogs, false, PayrollGLO(), PAYQUEUE(), lookups, PAYROLLRPT);
    empty.show();
    empty.close();
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(PayrollWindows, ImpossibleDatesAndWideAmountsAreRefused) {
    Clock::setToday(day(2026, 1, 20));
    addContractor(7, "ABC");
    PayrollScreen screen(*db, dialogs, false, PayrollGLO(), PAYQUEUE(), lookups, PAYROLLRPT);
    screen.show();
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    int processed = 0;
    screen.runProcess = [&] { ++processed; };
    type(screen.field("GLO:CONTRACTORNAME"), "ABC");
    type(screen.field("GLO:PAYROLLDATE"), "01/10/2026");
    type(screen.field("GLO:PAYROLLAMOUNT"), "150.00");
    ASSERT_TRUE(dialogs.shown.isEmpty());

    for (const char *name : {"GLO:PAYROLLDATE", "GLO:POSTINGDATE", "GLO:LOOKUPDATE"}) {
        SCOPED_TRACE(name);
        QLineEdit *e = screen.field(name);
        const QString before = e->text();
        type(e, "13/01/2026");
        ASSERT_FALSE(dialogs.shown.isEmpty());
        EXPECT_EQ(dialogs.last().caption, "Invalid Date");
        EXPECT_EQ(dialogs.last().text,
                  "\"13/01/2026\" is not a date.  Please enter it as mm/dd/yyyy.");
        EXPECT_TRUE(e->hasFocus());
        // Nothing goes on with the date before it.
        QTest::mouseClick(screen.button("&Process"), Qt::LeftButton);
        EXPECT_EQ(processed, 0);
        EXPECT_EQ(dialogs.last().caption, "Invalid Date");
        EXPECT_TRUE(all<PayData>().isEmpty());
        dialogs.shown.clear();
        e->setText(before);
    }
    EXPECT_EQ(PayrollGLO().PAYROLLDATE, day(2026, 1, 10));
    EXPECT_EQ(PayrollGLO().POSTINGDATE, day(2026, 1, 20));

    // The check amount takes 13 digits before the point; more cannot be typed.
    QLineEdit *amount = screen.field("GLO:PAYROLLAMOUNT");
    amount->clear();
    QTest::keyClicks(amount, "12345678901234.56");
    EXPECT_EQ(amount->text(), "1234567890123.56");

    screen.runProcess = [&] {
        ProcessPayrollWindow w(*db, dialogs, PayrollGLO(), PAYQUEUE(), lookups, PAYROLLRPT);
        QLineEdit *deposit = w.field("LOC:DEPOSITAMOUNT");
        QTest::keyClicks(deposit, "$123,456,789,012.34");
        EXPECT_EQ(deposit->text(), "$123,456,789,01.34");
        ++processed;
    };
    QTest::mouseClick(screen.button("&Process"), Qt::LeftButton);
    EXPECT_EQ(processed, 1);
}

// The account column shows SSNs for locals 667 and 33, whatever the folder's name holds.
TEST_F(PayrollWindows, ReportShowsSsnsByTheLocalsNumber) {
    addContractor(7, "ABC");
    addMember(1001, "111-11-1111", "Smith");
    QDir(dataDir()).mkpath("srv/funds/133");
    App::setDataDir(dataDir() + "/srv/funds/133");
    PAYQUEUE() << PayQueueEntry{"111-11-1111", "Smith, Pat", 0, money("10.00"), 7, 0};
    for (qint32 local : {133, 33, 667, 12}) {
        GLO().LOCAL = local;
        PAYROLLRPT(7, day(2004, 2, 1));
    }
    GLO() = GlobalVars();
    App::setDataDir(dataDir());
    ASSERT_EQ(pages.size(), 4);
    const bool ssn[] = {false, true, true, false};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pages[i].contains("111-11-1111"), ssn[i]) << qPrintable(pages[i]);
}
