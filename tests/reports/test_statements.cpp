// Participant statements: the layout of a statement over two pages, running balance and totals,
// the start balance, leaving out idle members, PDFs per member, the default period, and the run
// stopping on a failed read or an unwritable PDF.
#include "reporttest.h"
#include "reports/periodwindow.h"
#include "reports/statements.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
class StatementTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        storage::DataFile<CUInfo> cui(*db);
        ASSERT_TRUE(cui.open());
        cui.rec.NAME = "Local 99 Pension Fund";
        cui.rec.ADDRESS1 = "100 Union Hall Road";
        cui.rec.CITY = "Dayton";
        cui.rec.STATE = "OH";
        cui.rec.ZIP = "45402";
        ASSERT_TRUE(cui.add());
        storage::DataFile<TransDesc> trd(*db);
        ASSERT_TRUE(trd.open());
        trd.rec.TRANSCODE = 7;
        trd.rec.TRANSDESC = "Rollover In";
        trd.rec.POSITIVE = 1;
        ASSERT_TRUE(trd.add());
        MemberCU a = member(1001, "Smith", "John");
        a.ADDR1 = "12 Elm St";
        a.CITY = "Dayton";
        a.STATE = "OH";
        a.ZIP = "45403";
        addMember(a);
    }
    void quarter(ParticipantStatements &s) {
        s.selection.status = MemberSelection::Status::Both;
        s.selection.order = MemberSelection::Order::Account;
        s.FROMDATE = day(2024, 4, 1);
        s.TODATE = day(2024, 6, 30);
    }
    // The page's line that starts with `start` (blanks made single).
    QString lineStarting(const QString &start) const {
        for (const QString &l : simpleLines())
            if (l.startsWith(start)) return l;
        return {};
    }
};
} // namespace

TEST(PeriodTest, LastFullQuarter) {
    using P = std::pair<qint32, qint32>;
    auto d = [](int y, int m, int dd) { return Clock::dayNumber(y, m, dd); };
    EXPECT_EQ(PeriodWindow::lastQuarter(d(2024, 6, 15)), (P{d(2024, 1, 1), d(2024, 3, 31)}));
    EXPECT_EQ(PeriodWindow::lastQuarter(d(2024, 4, 1)), (P{d(2024, 1, 1), d(2024, 3, 31)}));
    EXPECT_EQ(PeriodWindow::lastQuarter(d(2024, 3, 31)), (P{d(2023, 10, 1), d(2023, 12, 31)}));
    EXPECT_EQ(PeriodWindow::lastQuarter(d(2024, 12, 31)), (P{d(2024, 7, 1), d(2024, 9, 30)}));
}

TEST(MovementTest, KindsOfTransactionTypes) {
    EXPECT_EQ(movementOf(TransType::Payroll), Movement::Deposit);
    EXPECT_EQ(movementOf(TransType::Dividend), Movement::Dividend);
    EXPECT_EQ(movementOf(2), Movement::Dividend);
    EXPECT_EQ(movementOf(TransType::Withdrawal), Movement::Withdrawal);
    EXPECT_EQ(movementOf(TransType::Tax), Movement::Tax);
    EXPECT_EQ(movementOf(TransType::AdminFee), Movement::Fee);
    EXPECT_EQ(movementOf(TransType::CarriedBalance), Movement::Carried);
    EXPECT_EQ(movementOf(7), Movement::Other);
    EXPECT_EQ(movementOf(1), Movement::Other);
}

TEST_F(StatementTest, RunningBalanceAndThePeriodsAndYearsTotals) {
    post(1001, day(2023, 12, 31), "1000.00", TransType::CarriedBalance);
    post(1001, day(2024, 2, 1), "200.00");                              // in the year, before the period
    post(1001, day(2024, 3, 31), "10.00", TransType::Dividend);         // the day before the period
    post(1001, day(2024, 4, 1), "300.00");                              // its first day
    post(1001, day(2024, 4, 15), "25.50", 2);
    post(1001, day(2024, 5, 1), "-500.00", TransType::Withdrawal);
    post(1001, day(2024, 5, 1), "-50.00", TransType::Tax);
    post(1001, day(2024, 5, 1), "-15.00", TransType::AdminFee);
    post(1001, day(2024, 6, 1), "40.00", 7);
    post(1001, day(2024, 6, 30), "1.25", TransType::Dividend, "Quarter dividend");
    post(1001, day(2024, 7, 1), "999.00"); // after the period

    ParticipantStatements s(*db, dialogs);
    quarter(s);
    ASSERT_EQ(s.run(), ReportRun::Previewed);
    EXPECT_EQ(s.PRINTED, 1);
    EXPECT_EQ(lineStarting("04/01/2024 Beginning"), "04/01/2024 Beginning Balance 1,210.00") << text().toStdString();
    EXPECT_EQ(lineStarting("04/01/2024 Deposits"), "04/01/2024 Deposits 300.00 1,510.00");
    EXPECT_EQ(lineStarting("04/15/2024"), "04/15/2024 Dividends 25.50 1,535.50");
    const QStringList l = simpleLines();
    EXPECT_TRUE(l.contains("05/01/2024 Withdrawals -500.00 1,035.50"));
    EXPECT_TRUE(l.contains("05/01/2024 Tax Withheld -50.00 985.50"));
    EXPECT_TRUE(l.contains("05/01/2024 Fees -15.00 970.50"));
    EXPECT_TRUE(l.contains("06/01/2024 Rollover In 40.00 1,010.50"));
    EXPECT_TRUE(l.contains("06/30/2024 Quarter dividend 1.25 1,011.75"));
    EXPECT_EQ(lineStarting("06/30/2024 Ending"), "06/30/2024 Ending Balance 1,011.75");
    EXPECT_FALSE(text().contains("999.00"));
    // Period and year (from January 1st of the period's year).
    EXPECT_TRUE(l.contains("Summary This Period Year to Date"));
    EXPECT_TRUE(l.contains("Deposits 300.00 500.00"));
    EXPECT_TRUE(l.contains("Dividends 26.75 36.75"));
    EXPECT_TRUE(l.contains("Withdrawals -500.00 -500.00"));
    EXPECT_TRUE(l.contains("Tax Withheld -50.00 -50.00"));
    EXPECT_TRUE(l.contains("Fees -15.00 -15.00"));
}

TEST_F(StatementTest, EachMemberOnItsOwnPagesWithFundAndAddress) {
    addMember(1002, "Jones", "Mary");
    post(1001, day(2024, 5, 1), "10.00");
    ParticipantStatements s(*db, dialogs);
    quarter(s);
    s.MESSAGE = "Our office is closed on July 4th.";
    ASSERT_EQ(s.run(), ReportRun::Previewed);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Local 99 Pension Fund"));
    EXPECT_TRUE(pages[0].contains("John Smith"));
    EXPECT_TRUE(pages[0].contains("12 Elm St"));
    EXPECT_TRUE(pages[0].contains("Account: 1001"));
    EXPECT_FALSE(pages[0].contains("Mary Jones"));
    EXPECT_TRUE(pages[1].contains("Account: 1002"));
    EXPECT_TRUE(pages[1].contains("Local 99 Pension Fund"));
    EXPECT_TRUE(pages[1].contains("No transactions in this period."));
    for (const QString &p : pages) {
        EXPECT_TRUE(p.contains("Our office is closed on July 4th."));
        EXPECT_TRUE(p.contains("Period: 04/01/2024 to 06/30/2024"));
    }
}

TEST_F(StatementTest, LeavesOutOnlyIdleMembersWithNothingOnAccount) {
    addMember(1002, "Idle", "Zero");     // nothing at all
    addMember(1003, "Idle", "Funded");   // no activity, a balance
    addMember(1004, "Emptied", "Active"); // activity that ends at zero
    post(1001, day(2024, 5, 1), "10.00");
    post(1003, day(2023, 5, 1), "10.00");
    post(1004, day(2024, 1, 5), "10.00");
    post(1004, day(2024, 5, 1), "-10.00", TransType::Withdrawal);

    ParticipantStatements s(*db, dialogs);
    quarter(s);
    s.SKIPIDLE = true;
    ASSERT_EQ(s.run(), ReportRun::Previewed);
    EXPECT_EQ(s.PRINTED, 3);
    EXPECT_EQ(s.SKIPPED, 1);
    EXPECT_FALSE(text().contains("Account: 1002"));
    EXPECT_TRUE(text().contains("Account: 1003"));
    EXPECT_TRUE(text().contains("Account: 1004"));

    s.SKIPIDLE = false;
    s.run();
    EXPECT_EQ(s.PRINTED, 4);
    EXPECT_TRUE(text().contains("Account: 1002"));
}

TEST_F(StatementTest, NothingLeftSaysSo) {
    ParticipantStatements s(*db, dialogs);
    quarter(s);
    s.SKIPIDLE = true;
    EXPECT_EQ(s.run(), ReportRun::Nothing);
    EXPECT_EQ(outputs, 0);
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
}

TEST_F(StatementTest, AFailedReadStopsTheRunAndSaysSo) {
    addMember(1002, "Jones", "Mary");
    for (int i = 0; i < 5; ++i) post(1001, day(2024, 5, 1 + i), "10.00");
    for (const char *file : {"Trans", "MemberCU"}) {
        SCOPED_TRACE(file);
        storage::faults::clear(*db);
        storage::faults::refuseReads(file, 1);
        ParticipantStatements s(*db, dialogs);
    quarter(s);
        EXPECT_EQ(s.run(), ReportRun::Cancelled);
        EXPECT_TRUE(s.stopped());
        EXPECT_EQ(outputs, 0);
        EXPECT_EQ(dialogs.last().caption, "Participant Statements");
        EXPECT_TRUE(dialogs.last().text.startsWith("The data files could not be read; the report was stopped."));
        EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    }
}

TEST_F(StatementTest, OnePdfPerMemberNamedByAccount) {
    addMember(1002, "Jones", "Mary");
    for (int i = 0; i < 45; ++i) post(1001, day(2024, 4, 1) + i, "1.00"); // two pages
    post(1002, day(2024, 5, 1), "5.00");
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    ParticipantStatements s(*db, dialogs);
    quarter(s);
    s.PDFFOLDER = out.path();
    ASSERT_EQ(s.run(), ReportRun::Previewed);
    EXPECT_EQ(pages.size(), 3);
    EXPECT_EQ(s.SAVED, 2);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), (QStringList{"1001.PDF", "1002.PDF"}));
    auto pdfPages = [&](const QString &name) {
        QFile f(QDir(out.path()).filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        EXPECT_TRUE(b.startsWith("%PDF"));
        return b.count("/Type /Page\n") + b.count("/Type /Page ") + b.count("/Type /Page>");
    };
    EXPECT_EQ(pdfPages("1001.PDF"), 2);
    EXPECT_EQ(pdfPages("1002.PDF"), 1);
}

TEST_F(StatementTest, APdfThatCannotBeWrittenStopsTheRun) {
    addMember(1002, "Jones", "Mary");
    ParticipantStatements s(*db, dialogs);
    quarter(s);
    s.PDFFOLDER = dataDir() + "/no/such/folder";
    EXPECT_NE(s.run(), ReportRun::Previewed);
    EXPECT_EQ(outputs, 0);
    EXPECT_EQ(s.SAVED, 0);
    EXPECT_EQ(s.PRINTED, 1); // the first statement was drawn, then its PDF failed
    EXPECT_TRUE(dialogs.last().text.startsWith("The statement of account 1001 could not be saved as "))
        << dialogs.last().text.toStdString();
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
}

TEST_F(StatementTest, WindowDefaultsToTheLastQuarterAndRemembers) {
    post(1001, day(2024, 2, 1), "10.00");
    {
        ParticipantStatementsWindow w(*db, dialogs);
        EXPECT_EQ(w.fromDate()->text(), "01/01/2024");
        EXPECT_EQ(w.toDate()->text(), "03/31/2024");
        w.message()->setText("Happy holidays");
        w.skipIdle()->setChecked(true);
        EXPECT_TRUE(w.print());
        EXPECT_EQ(w.logic().PRINTED, 1);
        EXPECT_TRUE(text().contains("Happy holidays"));
    }
    ParticipantStatementsWindow again(*db, dialogs);
    EXPECT_EQ(again.message()->text(), "Happy holidays");
    EXPECT_TRUE(again.skipIdle()->isChecked());

    again.fromDate()->setText("04/01/2024");
    const int before = outputs;
    EXPECT_FALSE(again.print());
    EXPECT_EQ(dialogs.last().text, "The period's first day is after its last day.");
    again.fromDate()->setText("01/01/2024");
    dialogs.fileNames << dataDir();
    again.findChild<QPushButton *>("browseFolder")->click();
    EXPECT_EQ(again.pdfFolder()->text(), dataDir());
    again.pdfFolder()->setText(dataDir() + "/missing");
    EXPECT_FALSE(again.print());
    EXPECT_TRUE(dialogs.last().text.startsWith("The folder "));
    EXPECT_EQ(outputs, before);
}

// What the page-to-text of a statement over two pages reads; pages apart by a form feed.
static const char GOLDEN[] = R"golden(     Local 99 Pension Fund                                                Participant Statement
     100 Union Hall Road
     Dayton, OH  45402                                                                 Account: 1001
                                                                         Period: 04/01/2024 to 06/30/2024
                                                                                             Page: 1
         John Smith
         12 Elm St
         Dayton, OH  45403
     Please tell the fund office when you move.
     Date       Description                                            Amount          Balance
     04/01/2024 Beginning Balance                                                         0.00
     04/01/2024 Deposits                                                 1.00             1.00
     04/02/2024 Deposits                                                 1.00             2.00
     04/03/2024 Deposits                                                 1.00             3.00
     04/04/2024 Deposits                                                 1.00             4.00
     04/05/2024 Deposits                                                 1.00             5.00
     04/06/2024 Deposits                                                 1.00             6.00
     04/07/2024 Deposits                                                 1.00             7.00
     04/08/2024 Deposits                                                 1.00             8.00
     04/09/2024 Deposits                                                 1.00             9.00
     04/10/2024 Deposits                                                 1.00            10.00
     04/11/2024 Deposits                                                 1.00            11.00
     04/12/2024 Deposits                                                 1.00            12.00
     04/13/2024 Deposits                                                 1.00            13.00
     04/14/2024 Deposits                                                 1.00            14.00
     04/15/2024 Deposits                                                 1.00            15.00
     04/16/2024 Deposits                                                 1.00            16.00
     04/17/2024 Deposits                                                 1.00            17.00
     04/18/2024 Deposits                                                 1.00            18.00
     04/19/2024 Deposits                                                 1.00            19.00
     04/20/2024 Deposits                                                 1.00            20.00
     04/21/2024 Deposits                                                 1.00            21.00
     04/22/2024 Deposits                                                 1.00            22.00
     04/23/2024 Deposits                                                 1.00            23.00
     04/24/2024 Deposits                                                 1.00            24.00
     04/25/2024 Deposits                                                 1.00            25.00
     04/26/2024 Deposits                                                 1.00            26.00
     04/27/2024 Deposits                                                 1.00            27.00
     04/28/2024 Deposits                                                 1.00            28.00
     04/29/2024 Deposits                                                 1.00            29.00
     04/30/2024 Deposits                                                 1.00            30.00
     05/01/2024 Deposits                                                 1.00            31.00
     05/02/2024 Deposits                                                 1.00            32.00
     05/03/2024 Deposits                                                 1.00            33.00
     05/04/2024 Deposits                                                 1.00            34.00
     05/05/2024 Deposits                                                 1.00            35.00
     05/06/2024 Deposits                                                 1.00            36.00
     05/07/2024 Deposits                                                 1.00            37.00

     Local 99 Pension Fund                                               Participant Statement (continued)
     John Smith   Account: 1001                                                              Page: 2
     Period: 04/01/2024 to 06/30/2024
     Date       Description                                            Amount          Balance
     05/08/2024 Deposits                                                 1.00            38.00
     05/09/2024 Deposits                                                 1.00            39.00
     05/10/2024 Deposits                                                 1.00            40.00
     06/01/2024 Withdrawals                                             -7.50            32.50
     06/01/2024 Tax Withheld                                            -1.25            31.25
     06/01/2024 Fees                                                    -0.75            30.50
     06/30/2024 Dividend 2nd quarter                                     2.00            32.50
     06/30/2024 Ending Balance                                                           32.50
     Summary                                           This Period     Year to Date
     Deposits                                                40.00            40.00
     Dividends                                                2.00             2.00
     Withdrawals                                             -7.50            -7.50
     Tax Withheld                                            -1.25            -1.25
     Fees                                                    -0.75            -0.75)golden";

TEST_F(StatementTest, GoldenTextOfAStatementOverTwoPages) {
    for (int i = 0; i < 40; ++i) post(1001, day(2024, 4, 1) + i, "1.00");
    post(1001, day(2024, 6, 1), "-7.50", TransType::Withdrawal);
    post(1001, day(2024, 6, 1), "-1.25", TransType::Tax);
    post(1001, day(2024, 6, 1), "-0.75", TransType::AdminFee);
    post(1001, day(2024, 6, 30), "2.00", TransType::Dividend, "Dividend 2nd quarter");
    ParticipantStatements s(*db, dialogs);
    quarter(s);
    s.MESSAGE = "Please tell the fund office when you move.";
    ASSERT_EQ(s.run(), ReportRun::Previewed);
    QStringList got;
    for (const QString &p : pages) got << p;
    const QString golden = QString::fromUtf8(GOLDEN);
    EXPECT_EQ(got.join("\n\f\n").toStdString(), golden.toStdString());
}
