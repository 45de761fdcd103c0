#include "../support/tempdata.h"
#include "common/procedures.h"
#include "common/windows.h"
#include "data/lookups.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/launcher.h"
#include "shell/framelogic.h"
#include "shell/mainframe.h"
#include "shell/splash.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTest>

namespace {
struct Case {
    qint32 local;
    QString desc;
    bool savings, schwab, fees;
};

class FrameTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        Launcher::setStarter([this](const QString &cmd) {
            started << cmd;
            return true;
        });
    }
    void TearDown() override {
        Launcher::setStarter(nullptr);
        DataTest::TearDown();
    }
    void setLocal(qint32 local, const QString &desc, const QString &label = "Local X") {
        IniFile ini(QDir(dataDir()).filePath(LocalSettingsFile));
        ini.setValue("Local", "Number", QString::number(local));
        ini.setValue("Local", "Description", desc);
        ini.setValue("Local", "Label", label);
        ASSERT_TRUE(ini.save());
    }
    QStringList started;
};

const QList<Case> kCases{
    {968, "Local 968 Savings Fund", true, false, true},
    {565, "Local 565 Pension Fund", false, true, false},
    {565, SavingsFundMarker, true, false, true},
    {667, "Local 667 Savings Fund", true, false, false},
    {33, "Local 33 Savings Fund", true, false, false},
    {120, "Local 120 Pension Fund", false, false, false},
    {120, SavingsFundMarker, true, false, false},
};
} // namespace

TEST(FrameLogic, ModeTitlesAndMenusForEveryKindOfLocal) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.local).arg(c.desc).toStdString());
        EXPECT_EQ(Frame::isSavingsMode(c.local, c.desc), c.savings);
        Frame::MenuVisibility v = Frame::menuVisibility(c.local, c.desc);
        EXPECT_EQ(v.schwabTransfer, c.schwab);
        EXPECT_EQ(v.schwabExport, c.schwab);
        EXPECT_EQ(v.fees, c.fees);
        EXPECT_EQ(Frame::frameTitle(c.local, c.desc, "Local 9  "),
                  (c.savings ? "Savings Application -- " : "Pension Application -- ") + QString("Local 9"));
        EXPECT_EQ(Frame::splashTitle(c.local, c.desc), c.savings ? "Saving Vestrel" : "Pension Vestrel");
    }
    // The marker is compared clipped.
    EXPECT_TRUE(Frame::isSavingsMode(565, SavingsFundMarker + "   "));
}

TEST(FrameLogic, StatusBarTexts) {
    EXPECT_EQ(Frame::statusDate(Clock::dayNumber(2026, 12, 8)), "Tuesday, December 8, 2026");
    EXPECT_EQ(Frame::statusDate(Clock::dayNumber(2027, 1, 3)), "Sunday, January 3, 2027");
    EXPECT_EQ(Frame::statusDate(Clock::dayNumber(2026, 12, 12)), "Saturday, December 12, 2026");
    EXPECT_EQ(Frame::statusTime(Clock::timeOf(15, 4)), "3:04PM");
}

TEST_F(FrameTest, OpeningSetsUserLocalTitleMenusAndSplash) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.local).arg(c.desc).toStdString());
        setLocal(c.local, c.desc, "Local 565");
        Clock::setToday(Clock::dayNumber(2026, 12, 8));
        MainFrame frame;
        frame.show();
        EXPECT_EQ(GNT().USERID, "MGR");
        EXPECT_EQ(GNT().SECURITY, 10);
        EXPECT_EQ(frame.statusZone(2), "MGR");
        EXPECT_EQ(frame.statusZone(3), "Tuesday, December 8, 2026");
        EXPECT_EQ(GLO().LOCAL, c.local);
        EXPECT_EQ(frame.windowTitle(),
                  (c.savings ? "Savings Application -- " : "Pension Application -- ") + QString("Local 565"));
        EXPECT_EQ(frame.action("&Withdrawals/Schwab Transfer")->isVisible(), c.schwab);
        EXPECT_EQ(frame.action("&Utilities/&Schwab Data Export")->isVisible(), c.schwab);
        EXPECT_EQ(frame.action("Fees")->isVisible(), c.fees);
        // Entries defined hidden stay hidden; the rest show.
        EXPECT_FALSE(frame.action("&Utilities/&Reindex Member Database.")->isVisible());
        EXPECT_FALSE(frame.action("&Utilities/&Backup/Restore Data")->isVisible());
        EXPECT_FALSE(frame.action("&Utilities/Purge Data")->isVisible());
        EXPECT_FALSE(frame.action("&Utilities/&Import Data/Import 667 Data")->isVisible());
        EXPECT_TRUE(frame.action("&Utilities/&Import Data/Import 968 Data")->isVisible());
        EXPECT_TRUE(frame.action("&Help/&About Pension Vestrel")->isVisible());
        ASSERT_TRUE(frame.splash());
        EXPECT_EQ(frame.splash()->findChild<QLabel *>("title")->text(),
                  c.savings ? "Saving Vestrel" : "Pension Vestrel");
        EXPECT_EQ(frame.splash()->findChild<QLabel *>("local")->text(), "Local 565");
        frame.close();
    }
}

TEST_F(FrameTest, TheMenuTreeIsCompleteAndInOrder) {
    MainFrame frame;
    QStringList tops;
    for (QAction *a : frame.menuBar()->actions()) tops << a->text();
    EXPECT_EQ(tops, QStringList({"&Local", "&Contractor", "&Participant", "&Transactions", "&Withdrawals",
                                 "&Payroll", "&Dividends", "&Reports", "&Utilities", "Fees", "&Help"}));
    QStringList withdrawals;
    for (QAction *a : frame.action("&Withdrawals")->menu()->actions())
        withdrawals << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(withdrawals, QStringList({"Schwab Transfer", "&Withdrawal", "-", "Withdrawal &Code Information"}));
    QStringList participant;
    for (QAction *a : frame.action("&Reports/&Participant Information")->menu()->actions()) participant << a->text();
    EXPECT_EQ(participant.size(), 10);
    EXPECT_EQ(participant.first(), "Participant Checks");
    EXPECT_EQ(participant.last(), "Participant &Totals Report");
    QStringList utilities;
    for (QAction *a : frame.action("&Utilities")->menu()->actions())
        if (!a->isSeparator()) utilities << a->text();
    EXPECT_EQ(utilities, QStringList({"UARS Download Window", "Re-number MembersID", "Credit Union Information",
                                      "&Reindex Member Database.", "&Add/Edit/Delete &Users", "&Edit Misc Prompts",
                                      "&Change Account Number and/or Social Security Number", "&Calculator",
                                      "&Create 1099-R Diskette",
                                      "Create 1099-R Diskette Report For Selected Members", "&Import Data",
                                      "&Backup/Restore Data", "Purge Data", "&Schwab Data Export",
                                      "Find Missing Account Numbers"}));
    EXPECT_EQ(frame.action("&Payroll/&Enter Payroll Information")->objectName(), "PAYROLLSCREEN");
    EXPECT_EQ(frame.action("&Reports/&Contractor Information/By &Name")->objectName(), "CONTRACTORRPT");
}

TEST_F(FrameTest, AMenuChoiceClosesTheSplashAndAnUndefinedProcedureIsNamed) {
    setLocal(565, "Local 565 Pension Fund");
    MainFrame frame;
    frame.show();
    QPointer<SplashScreen> splash = frame.splash();
    ASSERT_TRUE(splash);
    ASSERT_FALSE(Procedures::has("UNDOPOSTING"));
    frame.action("&Dividends/&Undo Dividend Posting")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull() || !splash->isVisible());
    EXPECT_FALSE(frame.splash());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Procedure not defined");
    EXPECT_EQ(dialogs.last().text, "The Procedure UNDOPOSTING has not been defined.");

    // A registered procedure runs instead; a started window becomes a child of the frame.
    int runs = 0;
    Procedures::add("BROWSELOCALS", [&] {
        ++runs;
        Windows::start(new QWidget);
    });
    frame.action("&Local/&Add/Edit/Delete Local Information")->trigger();
    frame.action("&Local/&Add/Edit/Delete Local Information")->trigger();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(frame.mdiArea()->subWindowList().size(), 2); // several at once
    // A window closing itself takes its frame with it.
    frame.mdiArea()->subWindowList().first()->widget()->close();
    QTest::qWait(20);
    EXPECT_EQ(frame.mdiArea()->subWindowList().size(), 1);
    frame.close();
    EXPECT_TRUE(frame.mdiArea()->subWindowList().isEmpty());
}

TEST_F(FrameTest, TheSplashClosesOnAClick) {
    MainFrame frame;
    frame.show();
    QPointer<SplashScreen> splash = frame.splash();
    ASSERT_TRUE(splash);
    QTest::mouseClick(splash, Qt::RightButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull() || !splash->isVisible());
    EXPECT_EQ(SplashScreen::TimerHundredths, 6000);
}

TEST_F(FrameTest, CalculatorAndBackupStartTheirPrograms) {
    IniFile ini(QDir(dataDir()).filePath("PENSION.INI"));
    ini.setValue("Programs", "Calculator", "mycalc --small");
    ini.setValue("Programs", "Backup", "backer.exe ");
    ini.setValue("Programs", "BackupOnClose", "BACKER");
    ASSERT_TRUE(ini.save());
    MainFrame frame;
    frame.show();
    frame.action("&Utilities/&Calculator")->trigger();
    EXPECT_EQ(started, QStringList({"mycalc --small"}));

    // No: the frame stays open, the backup program has been started all the same.
    dialogs.answers = {Dlg::No};
    frame.action("&Utilities/&Backup/Restore Data")->trigger();
    EXPECT_EQ(dialogs.last().caption, "Backup Data");
    EXPECT_EQ(dialogs.last().text, "This will Backup/Restore Pension Data.|Do you wish to continue?");
    EXPECT_EQ(dialogs.last().icon, Dlg::Warning);
    EXPECT_EQ(dialogs.last().buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(dialogs.last().defaultButton, Dlg::No);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(started.last(), "backer.exe");

    // Yes: the frame closes, then the backup program runs again.
    dialogs.answers = {Dlg::Yes};
    frame.action("&Utilities/&Backup/Restore Data")->trigger();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(started.mid(1), QStringList({"backer.exe", "backer.exe", "BACKER"}));
}
