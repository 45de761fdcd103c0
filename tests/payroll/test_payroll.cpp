// The payroll's header, its division among members and its posting.
#include "payroll/payrollscreen.h"
#include "payroll/processpayroll.h"
#include "payrolltest.h"
#include "platform/storage/faults.h"

namespace {
class Division : public PayrollTest {
protected:
    void SetUp() override {
        PayrollTest::SetUp();
        addContractor(7, "ABC");
        addMember(1001, "111-11-1111", "Smith", "Pat");
        addMember(1002, "222-22-2222", "Jones", "Lee");
        addMember(1003, "333-33-3333", "Brown", "Kim", day(2003, 6, 30));
        glo.CONTRACTORNAME = "ABC";
        glo.CONTRACTORNUMBER = 7;
        glo.PAYROLLDATE = day(2004, 2, 1);
        glo.POSTINGDATE = day(2004, 2, 15);
        glo.PAYROLLAMOUNT = money("150.00");
    }
    std::unique_ptr<ProcessPayrollLogic> division() {
        auto d = std::make_unique<ProcessPayrollLogic>(*db, dialogs, glo, queue, lookups, report);
        d->open();
        return d;
    }
    // Types an SSN, moves to the amount and adds the line.
    ProcessPayrollLogic::Focus line(ProcessPayrollLogic &d, const QString &ssn,
                                    const char *amount) {
        d.LOC.SSNUM = ssn;
        d.ssnAccepted();
        d.amountFocused();
        d.LOC.DEPOSITAMOUNT = money(amount);
        return d.add();
    }
};
} // namespace

TEST_F(Division, RemainderEnablesPostingOnlyAtZero) {
    auto d = division();
    EXPECT_EQ(d->LOC.PAYROLLAMOUNT, money("150.00"));
    EXPECT_FALSE(d->postEnabled());
    EXPECT_EQ(line(*d, "111-11-1111", "100.00"), ProcessPayrollLogic::Focus::Ssn);
    EXPECT_EQ(d->LOC.PAYROLLAMOUNT, money("50.00"));
    EXPECT_FALSE(d->postEnabled());
    line(*d, "222-22-2222", "50.00");
    EXPECT_EQ(d->LOC.PAYROLLAMOUNT, money("0.00"));
    EXPECT_TRUE(d->postEnabled());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    // The entry fields are blank again.
    EXPECT_TRUE(d->LOC.SSNUM.isEmpty());
    EXPECT_TRUE(d->LOC.NAME.isEmpty());
    EXPECT_TRUE(d->LOC.DEPOSITAMOUNT.isZero());
    // Nothing is left to divide.
    EXPECT_EQ(line(*d, "111-11-1111", "1.00"), ProcessPayrollLogic::Focus::Amount);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Deposit Amount Error");
    EXPECT_EQ(dialogs.last().text, "Payroll Amount is Now $0.00.  No More Money To Divide Out.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Warning);
    ASSERT_EQ(queue.size(), 2);
    const PayQueueEntry &q = queue[0];
    EXPECT_EQ(q.PATNUM, "111-11-1111");
    EXPECT_EQ(q.NAME, "Smith, Pat");
    EXPECT_EQ(q.DATE, day(2004, 2, 1));
    EXPECT_EQ(q.POSTINGDATE, day(2004, 2, 15));
    EXPECT_EQ(q.AMOUNT, money("100.00"));
    EXPECT_EQ(q.CONTRACTOR, 7);
}

TEST_F(Division, NegativeRemainderIsAddedAndEditRestoresIt) {
    auto d = division();
    line(*d, "111-11-1111", "0.00");
    EXPECT_EQ(dialogs.last().text, "Deposit Amount Must Be Greater Than $0.00.");
    EXPECT_EQ(dialogs.last().caption, "Deposit Amount Error");
    EXPECT_TRUE(queue.isEmpty());

    line(*d, "111-11-1111", "200.00");
    EXPECT_EQ(dialogs.last().caption, "Payroll Negative ...");
    EXPECT_EQ(dialogs.last().text, "Deposit Amount Will Make Total Payroll Negative.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Warning);
    ASSERT_EQ(queue.size(), 1);
    EXPECT_EQ(d->LOC.PAYROLLAMOUNT, money("-50.00"));
    EXPECT_FALSE(d->postEnabled());

    EXPECT_EQ(d->edit(0), ProcessPayrollLogic::Focus::Ssn);
    EXPECT_EQ(d->LOC.PAYROLLAMOUNT, money("150.00"));
    EXPECT_EQ(d->LOC.SSNUM, "111-11-1111");
    EXPECT_EQ(d->LOC.NAME, "Smith, Pat");
    EXPECT_EQ(d->LOC.DEPOSITAMOUNT, money("200.00"));
    EXPECT_TRUE(queue.isEmpty());

    dialogs.shown.clear();
    d->edit(0);
    d->edit(-1);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.last().caption, "Error");
    EXPECT_EQ(dialogs.last().text, "Nothing To Edit.");
}

TEST_F(Division, MembersAreLookedUpAndClosedAccountsReopenedOnRequest) {
    auto d = division();
    // An open account: first name first, then "Last, First" once the amount has the focus.
    d->LOC.SSNUM = "111-11-1111";
    EXPECT_EQ(d->ssnAccepted(), ProcessPayrollLogic::Focus::Amount);
    EXPECT_EQ(d->LOC.NAME, "Pat Smith");
    d->amountFocused();
    EXPECT_EQ(d->LOC.NAME, "Smith, Pat");

    // Unknown SSN: the member list is offered; cancelling it sends the focus back.
    d->LOC.SSNUM = "999-99-9999";
    EXPECT_EQ(d->ssnAccepted(), ProcessPayrollLogic::Focus::Ssn);
    pickMember = all<MemberCU>()[1];
    EXPECT_EQ(d->ssnAccepted(), ProcessPayrollLogic::Focus::Amount);
    EXPECT_EQ(d->LOC.SSNUM, "222-22-2222");
    EXPECT_EQ(memberLookups, 2);

    // A closed account: No keeps it closed, Yes re-opens it in the file.
    d->LOC.SSNUM = "333-33-3333";
    dialogs.answers = {Dlg::No};
    EXPECT_EQ(d->ssnAccepted(), ProcessPayrollLogic::Focus::Ssn);
    EXPECT_EQ(dialogs.last().caption, "Account Closed ...");
    EXPECT_EQ(dialogs.last().text, "Account Is Closed.  Re-Open?");
    EXPECT_EQ(dialogs.last().icon, Dlg::Question);
    EXPECT_EQ(dialogs.last().buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(dialogs.last().defaultButton, Dlg::Yes);
    EXPECT_NE(all<MemberCU>()[2].DATECLOSED, 0);
    // "&Add" asks again; No adds nothing and clears the amount.
    d->LOC.DEPOSITAMOUNT = money("10.00");
    dialogs.answers = {Dlg::No};
    d->add();
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_TRUE(d->LOC.DEPOSITAMOUNT.isZero());
    dialogs.answers = {Dlg::Yes};
    EXPECT_EQ(d->ssnAccepted(), ProcessPayrollLogic::Focus::Amount);
    EXPECT_EQ(d->LOC.NAME, "Kim Brown");
    EXPECT_EQ(all<MemberCU>()[2].DATECLOSED, 0);
}

TEST_F(Division, CancelAsksOnlyWhenLinesWereEntered) {
    auto d = division();
    EXPECT_TRUE(d->cancel());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    line(*d, "111-11-1111", "10.00");
    dialogs.answers = {Dlg::No, Dlg::Yes};
    EXPECT_FALSE(d->cancel());
    EXPECT_EQ(dialogs.last().caption, "Unsaved Work ...");
    EXPECT_EQ(dialogs.last().text,
              "You Have Already Started A Payroll Posting.|If you cancel now you will lose "
              "data already entered.| Are you sure you want to cancel?");
    EXPECT_EQ(dialogs.last().defaultButton, Dlg::No);
    EXPECT_EQ(queue.size(), 1);
    EXPECT_TRUE(d->cancel());
    EXPECT_TRUE(queue.isEmpty());
}

TEST_F(Division, TrialReportPrintsTheLinesWithoutWriting) {
    auto d = division();
    line(*d, "111-11-1111", "100.00");
    d->trialReport();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].title, "Trial Report");
    EXPECT_EQ(reports[0].contractor, 7);
    EXPECT_EQ(reports[0].date, day(2004, 2, 1));
    EXPECT_EQ(reports[0].lines.size(), 1);
    EXPECT_TRUE(all<Trans>().isEmpty());
}

TEST_F(Division, PostingWritesEveryRecord) {
    Clock::setClock(Clock::timeOf(10, 15));
    auto d = division();
    line(*d, "111-11-1111", "100.00");
    line(*d, "222-22-2222", "30.00");
    line(*d, "111-11-1111", "20.00");
    ASSERT_TRUE(d->postEnabled());
    ASSERT_TRUE(d->post());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Posting ...");
    EXPECT_EQ(dialogs.last().text, "Posting Completed.");

    const QList<Trans> tra = all<Trans>();
    ASSERT_EQ(tra.size(), 3);
    const qint32 accts[] = {1001, 1002, 1001};
    const char *amounts[] = {"100.00", "30.00", "20.00"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tra[i].ACCTNUM, accts[i]);
        EXPECT_EQ(tra[i].TRANSAMOUNT, money(amounts[i]));
        EXPECT_EQ(tra[i].TRANSDATE, day(2004, 2, 15));
        EXPECT_EQ(tra[i].TRANSTYPE, -4);
        EXPECT_EQ(tra[i].DESC, "(ABC For 02/01/2004)");
        EXPECT_EQ(tra[i].TRANSTIME, Clock::timeOf(10, 15));
        EXPECT_EQ(tra[i].USERID, "MGR");
        EXPECT_EQ(tra[i].MEMBERID, 0);
    }
    const QList<PayBackup> pbp = all<PayBackup>();
    ASSERT_EQ(pbp.size(), 3);
    EXPECT_EQ(pbp[1].PATNUM, "222-22-2222");
    EXPECT_EQ(pbp[1].DATE, day(2004, 2, 1));
    EXPECT_EQ(pbp[1].AMOUNT, money("30.00"));
    EXPECT_EQ(pbp[1].CONTRACTOR, 7);
    EXPECT_EQ(pbp[1].POSTINGDATE, day(2004, 2, 15));
    EXPECT_EQ(pbp[1].POSTED, 0);
    const QList<PayData> pay = all<PayData>();
    ASSERT_EQ(pay.size(), 1);
    EXPECT_EQ(pay[0].ACCTNUM, 7);
    EXPECT_EQ(pay[0].DATE, day(2004, 2, 15));
    EXPECT_EQ(pay[0].AMOUNT, money("150.00"));

    // The posting report, then an empty queue.
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].title, "");
    EXPECT_EQ(reports[0].contractor, 7);
    EXPECT_EQ(reports[0].date, day(2004, 2, 1));
    EXPECT_EQ(reports[0].lines.size(), 3);
    EXPECT_TRUE(queue.isEmpty());

    // A second check of the same contractor on the same day: still one PayData, with both.
    glo.PAYROLLAMOUNT = money("25.00");
    auto again = division();
    line(*again, "222-22-2222", "25.00");
    ASSERT_TRUE(again->post());
    ASSERT_EQ(all<PayData>().size(), 1);
    EXPECT_EQ(all<PayData>()[0].AMOUNT, money("175.00"));
}

TEST_F(Division, PostingNothingAndPostingLinesWithoutMember) {
    glo.PAYROLLAMOUNT = money("0.00");
    auto d = division();
    EXPECT_TRUE(d->postEnabled());
    ASSERT_TRUE(d->post());
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].caption, "Error ...");
    EXPECT_EQ(dialogs.shown[0].text, "Error Getting Memory Queue.  Please Contract Tech Support.");
    EXPECT_EQ(dialogs.shown[1].text, "Posting Completed.");
    EXPECT_EQ(all<PayData>().size(), 1);
    EXPECT_EQ(reports.size(), 1);

    // A line whose SSN matches nobody stops the posting before anything is written.
    glo.PAYROLLAMOUNT = money("10.00");
    glo.POSTINGDATE = day(2004, 2, 14);
    d = division();
    d->LOC.SSNUM = "555-55-5555";
    d->LOC.NAME = "Somebody";
    d->LOC.DEPOSITAMOUNT = money("10.00");
    d->add();
    dialogs.shown.clear();
    EXPECT_FALSE(d->post());
    EXPECT_EQ(dialogs.last().caption, "Error ...");
    EXPECT_TRUE(dialogs.last().text.contains("555-55-5555"));
    EXPECT_TRUE(all<Trans>().isEmpty());
    EXPECT_EQ(all<PayData>().size(), 1);
    EXPECT_EQ(queue.size(), 1);
}

// The database refuses part-way, or the batch's transaction cannot begin, or a read fails: not
// one deposit, backup line or PayData change is kept, and the clerk is told the real cause.
TEST_F(Division, APostingTheDatabaseRefusesWritesNothingAndSaysWhy) {
    namespace faults = storage::faults;
    auto d = division();
    line(*d, "111-11-1111", "100.00");
    line(*d, "222-22-2222", "30.00");
    line(*d, "111-11-1111", "20.00");
    const QString failed = "The payroll could not be posted; nothing was written.  Error: %1.";
    auto nothingWritten = [&] {
        EXPECT_TRUE(all<Trans>().isEmpty());
        EXPECT_TRUE(all<PayBackup>().isEmpty());
        EXPECT_TRUE(all<PayData>().isEmpty());
        EXPECT_EQ(queue.size(), 3); // kept for another try
        EXPECT_TRUE(reports.isEmpty());
        EXPECT_FALSE(db->inTransaction());
    };

    // The second deposit fails and SQLite abandons the transaction: the rest must not be
    // written one by one.
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 1, true));
    EXPECT_FALSE(d->post());
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].text,
              "Error adding payroll data to transactions. Error Message = " + faults::FullText + ".");
    EXPECT_EQ(dialogs.shown[1].text, failed.arg(faults::FullText));
    EXPECT_EQ(dialogs.shown[1].icon, Dlg::Error);
    nothingWritten();

    // A backup line refused without losing the transaction: the posting stops there.
    faults::clear(*db);
    ASSERT_TRUE(faults::refuseWrites(*db, "PayBackup", 2));
    dialogs.shown.clear();
    EXPECT_FALSE(d->post());
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].text, "Error adding payroll data to backup file.");
    EXPECT_EQ(dialogs.shown[1].text, failed.arg(faults::FullText));
    nothingWritten();

    // The transaction cannot begin (another station held the lock until just after).
    faults::clear(*db);
    faults::refuseBegin();
    dialogs.shown.clear();
    EXPECT_FALSE(d->post());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, failed.arg(faults::LockedText));
    nothingWritten();

    // The day's earlier backup lines cannot be read for the PayData total.
    faults::refuseReads("PayBackup");
    dialogs.shown.clear();
    EXPECT_FALSE(d->post());
    faults::clear(*db);
    EXPECT_EQ(dialogs.last().text, failed.arg(faults::DamagedText));
    nothingWritten();

    // Once the cause is gone the same lines post once.
    dialogs.shown.clear();
    ASSERT_TRUE(d->post());
    EXPECT_EQ(all<Trans>().size(), 3);
    EXPECT_EQ(all<PayBackup>().size(), 3);
    ASSERT_EQ(all<PayData>().size(), 1);
    EXPECT_EQ(all<PayData>()[0].AMOUNT, money("150.00"));
}

namespace {
class Header : public Division {
protected:
    std::unique_ptr<PayrollScreenLogic> screen(bool admin = false) {
        auto s =
            std::make_unique<PayrollScreenLogic>(*db, dialogs, admin, glo, queue, lookups, report);
        s->open();
        return s;
    }
};
} // namespace

TEST_F(Header, PostingDateMustBeInThisMonthAndNotAfterToday) {
    Clock::setToday(day(2004, 2, 15));
    auto s = screen();
    EXPECT_EQ(glo.POSTINGDATE, day(2004, 2, 15));
    EXPECT_TRUE(glo.PAYROLLAMOUNT.isZero());
    EXPECT_EQ(glo.CONTRACTORNUMBER, 0);
    glo.POSTINGDATE = day(2004, 2, 14);
    EXPECT_TRUE(s->postingDateAccepted());
    glo.POSTINGDATE = day(2004, 2, 1);
    EXPECT_TRUE(s->postingDateAccepted());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    glo.POSTINGDATE = day(2004, 1, 31);
    EXPECT_FALSE(s->postingDateAccepted());
    EXPECT_EQ(dialogs.last().caption, "Date out of range ...");
    EXPECT_EQ(dialogs.last().text,
              "Payroll posting date must be in the same month as current date of 02/15/2004.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Warning);
    glo.POSTINGDATE = day(2004, 2, 16);
    EXPECT_FALSE(s->postingDateAccepted());
    EXPECT_EQ(dialogs.last().text,
              "Payroll posting date can not be greater than current date of 02/15/2004.");
    glo.POSTINGDATE = day(2003, 2, 10);
    EXPECT_FALSE(s->postingDateAccepted());
    EXPECT_EQ(dialogs.shown.size(), 3);

    auto admin = screen(true);
    for (qint32 d : {day(2004, 2, 14), day(2004, 1, 31), day(2004, 3, 1)}) {
        glo.POSTINGDATE = d;
        EXPECT_TRUE(admin->postingDateAccepted());
    }
    EXPECT_EQ(dialogs.shown.size(), 3);
}

TEST_F(Header, ContractorIsTakenByNameOrPickedAndProcessRecordsThePayroll) {
    Clock::setToday(day(2004, 2, 15));
    addContractor(9, "Keystone Electric");
    auto s = screen();
    glo.CONTRACTORNAME = "abc";
    EXPECT_EQ(s->contractorAccepted(), PayrollScreenLogic::Focus::Next);
    EXPECT_EQ(glo.CONTRACTORNAME, "ABC");
    EXPECT_EQ(glo.CONTRACTORNUMBER, 7);
    EXPECT_EQ(contractorLookups, 0);
    glo.CONTRACTORNAME = "Keystone";
    EXPECT_EQ(s->contractorAccepted(), PayrollScreenLogic::Focus::Back);
    pickContractor = all<Contractor>()[1];
    EXPECT_EQ(s->contractorAccepted(), PayrollScreenLogic::Focus::Next);
    EXPECT_EQ(glo.CONTRACTORNAME, "Keystone Electric");
    EXPECT_EQ(glo.CONTRACTORNUMBER, 9);
    EXPECT_EQ(contractorLookups, 2);

    pickCode = TransDesc{12, "Monthly Dues", 1};
    EXPECT_TRUE(s->lookUpTransDesc());
    EXPECT_EQ(glo.TRANSDESC, "Monthly Dues");
    EXPECT_EQ(glo.TRANSCODE, "12");

    // "&Process" wants a payroll date, then stores one PayData record per contractor and date.
    glo.PAYROLLAMOUNT = money("150.00");
    EXPECT_FALSE(s->process());
    EXPECT_EQ(dialogs.last().text, "Please enter the payroll date.");
    glo.PAYROLLDATE = day(2004, 2, 1);
    EXPECT_TRUE(s->process());
    EXPECT_TRUE(s->process());
    const QList<PayData> pay = all<PayData>();
    ASSERT_EQ(pay.size(), 1);
    EXPECT_EQ(pay[0].ACCTNUM, 9);
    EXPECT_EQ(pay[0].DATE, day(2004, 2, 15));
    EXPECT_EQ(pay[0].AMOUNT, money("150.00"));

    // A name longer than the field's 30 characters is known by the contractor picked.
    pickContractor = addContractor(11, "Northside Mechanical Contractors of the Valley");
    EXPECT_TRUE(s->lookUpContractor());
    EXPECT_EQ(glo.CONTRACTORNAME, "Northside Mechanical Contracto");
    EXPECT_TRUE(s->process());
    EXPECT_EQ(contractorLookups, 3);
    EXPECT_EQ(glo.CONTRACTORNUMBER, 11);
}

TEST_F(Header, SavedPayrollLoadsAndIsMarkedOncePosted) {
    Clock::setToday(day(2004, 2, 20));
    storage::DataFile<TransDesc> trd(*db);
    trd.open();
    trd.rec = {12, "Monthly Dues", 1};
    ASSERT_TRUE(trd.add());
    storage::DataFile<PayBreak> pbk(*db);
    pbk.open();
    auto put = [&](const QString &patnum, const char *amount) {
        pbk.clear();
        pbk.rec.PATNUM = patnum;
        pbk.rec.AMOUNT = money(amount);
        pbk.rec.CONTRACTOR = 7;
        pbk.rec.DATE = day(2004, 2, 1);
        pbk.rec.POSTINGDATE = day(2004, 2, 15);
        ASSERT_TRUE(pbk.add());
    };
    put("12", "300.00");
    put("222-22-2222", "40.00");
    put("111-11-1111", "60.00");

    auto s = screen();
    ASSERT_TRUE(s->savedDataAvailable());
    queue << PayQueueEntry{"old", "old line", 0, money("1.00"), 0, 0};
    ASSERT_TRUE(s->loadSavedData());
    EXPECT_EQ(glo.PAYROLLAMOUNT, money("300.00"));
    EXPECT_EQ(glo.CONTRACTORNUMBER, 7);
    EXPECT_EQ(glo.CONTRACTORNAME, "ABC");
    EXPECT_EQ(glo.TRANSDESC, "Monthly Dues");
    EXPECT_EQ(glo.PAYROLLDATE, day(2004, 2, 1));
    EXPECT_EQ(glo.POSTINGDATE, day(2004, 2, 15));
    EXPECT_EQ(glo.LOADDATA, 1);
    ASSERT_EQ(queue.size(), 2);
    EXPECT_EQ(queue[0].PATNUM, "222-22-2222");
    EXPECT_EQ(queue[0].NAME, "Jones, Lee");
    EXPECT_EQ(queue[1].AMOUNT, money("60.00"));
    EXPECT_EQ(queue[1].CONTRACTOR, 7);

    // The division starts with what the saved lines leave.
    auto d = division();
    EXPECT_EQ(d->LOC.PAYROLLAMOUNT, money("200.00"));
    line(*d, "111-11-1111", "200.00");
    ASSERT_TRUE(d->post());
    EXPECT_EQ(all<Trans>().size(), 3);
    for (const PayBreak &b : all<PayBreak>())
        EXPECT_EQ(b.POSTED, 1);

    // Loading it again asks first.
    dialogs.answers = {Dlg::No};
    EXPECT_FALSE(s->loadSavedData());
    EXPECT_EQ(dialogs.last().caption, "Load Saved Data ...");
    EXPECT_EQ(dialogs.last().defaultButton, Dlg::No);
}

// Lines gathered or loaded before the header was complete post under the header as it is at
// posting: its contractor, payroll date and posting date.
TEST_F(Division, LinesTakeTheHeaderAtPosting) {
    addContractor(9, "Keystone Electric");
    queue << PayQueueEntry{"111-11-1111",   "Smith, Pat", day(2004, 1, 15), money("100.00"), 0,
                           day(2004, 1, 20)};
    queue << PayQueueEntry{"222-22-2222",   "Jones, Lee", day(2004, 1, 15), money("30.00"), 9,
                           day(2004, 1, 20)};
    auto d = division();
    EXPECT_EQ(d->LOC.PAYROLLAMOUNT, money("20.00")) << "the check less the lines it already has";
    EXPECT_EQ(d->queue()[0].DATE, day(2004, 2, 1)) << "the list shows the header's date";
    line(*d, "111-11-1111", "20.00");
    // A header without a contractor on file posts nothing.
    glo.CONTRACTORNUMBER = 5;
    EXPECT_FALSE(d->post());
    EXPECT_EQ(dialogs.last().text, "No contractor has the number 5.|Pick the contractor again and "
                                   "post again.  Nothing was posted.");
    EXPECT_TRUE(all<Trans>().isEmpty());
    glo.CONTRACTORNUMBER = 7;
    ASSERT_TRUE(d->post());

    for (const Trans &t : all<Trans>()) {
        EXPECT_EQ(t.DESC, "(ABC For 02/01/2004)");
        EXPECT_EQ(t.TRANSDATE, day(2004, 2, 15));
    }
    for (const PayBackup &b : all<PayBackup>()) {
        EXPECT_EQ(b.CONTRACTOR, 7);
        EXPECT_EQ(b.DATE, day(2004, 2, 1));
        EXPECT_EQ(b.POSTINGDATE, day(2004, 2, 15));
    }
    const QList<PayData> pay = all<PayData>();
    ASSERT_EQ(pay.size(), 1);
    EXPECT_EQ(pay[0].ACCTNUM, 7);
    EXPECT_EQ(pay[0].AMOUNT, money("150.00"));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].lines[1].CONTRACTOR, 7);
}

namespace {
// Notes, for every message, whether the database's write lock was held while it was shown.
class WatchedDialogs : public ScriptedDialogs {
public:
    explicit WatchedDialogs(storage::Database &db) : m_db(db) {}
    int show(const Message &m) override {
        underLock << m_db.inTransaction();
        return ScriptedDialogs::show(m);
    }
    QList<bool> underLock;

private:
    storage::Database &m_db;
};
} // namespace

TEST_F(Division, AFailedPostingSaysWhyAfterItsRollback) {
    if (!db->isSqlite()) GTEST_SKIP() << "the refusal is a SQLite trigger; faults::refuseWrites covers a server";
    for (const char *file : {"Trans", "PayBackup"}) {
        SCOPED_TRACE(file);
        WatchedDialogs watched(*db);
        ProcessPayrollLogic d(*db, watched, glo, queue, lookups, report);
        d.open();
        line(d, "111-11-1111", "100.00");
        line(d, "222-22-2222", "30.00");
        line(d, "111-11-1111", "20.00");
        const QString column = QString(file) == "Trans" ? "TRANSAMOUNT" : "AMOUNT";
        ASSERT_TRUE(
            db->exec(QString("CREATE TRIGGER refuse BEFORE INSERT ON \"%1\" WHEN "
                             "NEW.\"%2\" = 3000 BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                         .arg(file, column)));
        EXPECT_FALSE(d.post());
        ASSERT_EQ(watched.shown.size(), 2);
        EXPECT_EQ(watched.underLock, QList<bool>({false, false})) << "no box under the write lock";
        EXPECT_EQ(watched.shown[0].caption, "Error ...");
        EXPECT_EQ(watched.shown[0].text,
                  QString(file) == "Trans"
                      ? "Error adding payroll data to transactions. Error Message = disk full."
                      : "Error adding payroll data to backup file.");
        EXPECT_TRUE(watched.shown[1].text.startsWith(
            "The payroll could not be posted; nothing was written."));
        EXPECT_TRUE(all<Trans>().isEmpty());
        EXPECT_TRUE(all<PayBackup>().isEmpty());
        EXPECT_TRUE(all<PayData>().isEmpty());
        EXPECT_EQ(queue.size(), 3) << "the lines stay for another try";
        EXPECT_TRUE(reports.isEmpty());
        ASSERT_TRUE(db->exec("DROP TRIGGER refuse"));
        queue.clear();
    }
}

TEST_F(Division, AmountsWiderThanTheirFieldsAreRefused) {
    glo.PAYROLLAMOUNT = money("9999999999999.99");
    auto d = division();
    d->LOC.SSNUM = "111-11-1111";
    d->LOC.DEPOSITAMOUNT = money("100000000000.00");
    EXPECT_EQ(d->add(), ProcessPayrollLogic::Focus::Amount);
    EXPECT_EQ(dialogs.last().caption, "Range Error");
    EXPECT_EQ(dialogs.last().text, "The value of Amount Being Deposited must be a number of at "
                                   "most 11 digits before the point.");
    EXPECT_TRUE(queue.isEmpty());
    // Far beyond any field: refused the same way, nothing overflows.
    d->LOC.DEPOSITAMOUNT = Decimal(999999999999999999, 0);
    EXPECT_EQ(d->add(), ProcessPayrollLogic::Focus::Amount);
    EXPECT_EQ(dialogs.last().caption, "Range Error");
    EXPECT_TRUE(queue.isEmpty());
    line(*d, "111-11-1111", "99999999999.99");
    ASSERT_EQ(queue.size(), 1);

    // A line that came in wider (a saved payroll) stops the posting before anything is written.
    queue << PayQueueEntry{"222-22-2222", "Jones, Lee", 0, money("100000000000.00"), 7, 0};
    dialogs.shown.clear();
    EXPECT_FALSE(d->post());
    EXPECT_EQ(dialogs.last().caption, "Range Error");
    EXPECT_TRUE(dialogs.last().text.contains("222-22-2222")) << qPrintable(dialogs.last().text);
    EXPECT_TRUE(all<Trans>().isEmpty());
    EXPECT_TRUE(all<PayData>().isEmpty());
}

TEST_F(Header, TheCheckTakesAtMostItsFieldsDigits) {
    Clock::setToday(day(2004, 2, 15));
    auto s = screen();
    glo.CONTRACTORNAME = "ABC";
    glo.PAYROLLDATE = day(2004, 2, 1);
    glo.PAYROLLAMOUNT = money("10000000000000.00");
    EXPECT_FALSE(s->process());
    EXPECT_EQ(dialogs.last().caption, "Range Error");
    EXPECT_EQ(
        dialogs.last().text,
        "The value of Payroll Amount must be a number of at most 13 digits before the point.");
    glo.PAYROLLAMOUNT = Decimal(999999999999999999, 0);
    EXPECT_FALSE(s->process());
    EXPECT_TRUE(all<PayData>().isEmpty());
    glo.PAYROLLAMOUNT = money("9999999999999.99");
    EXPECT_TRUE(s->process());
    EXPECT_EQ(all<PayData>()[0].AMOUNT, money("9999999999999.99"));
}

TEST_F(Header, ASavedPayrollFollowsThePostingDateRule) {
    Clock::setToday(day(2004, 3, 2));
    storage::DataFile<PayBreak> pbk(*db);
    pbk.open();
    for (const char *patnum : {"12", "111-11-1111"}) {
        pbk.clear();
        pbk.rec.PATNUM = patnum;
        pbk.rec.AMOUNT = money("60.00");
        pbk.rec.CONTRACTOR = 7;
        pbk.rec.DATE = day(2004, 2, 1);
        pbk.rec.POSTINGDATE = day(2004, 2, 15); // saved last month
        ASSERT_TRUE(pbk.add());
    }
    auto s = screen();
    ASSERT_TRUE(s->loadSavedData());
    EXPECT_FALSE(s->process());
    EXPECT_EQ(dialogs.last().text,
              "Payroll posting date must be in the same month as current date of 03/02/2004.");
    EXPECT_TRUE(all<PayData>().isEmpty());
    // The clerk moves it into this month; the saved lines follow at posting.
    glo.POSTINGDATE = day(2004, 3, 1);
    ASSERT_TRUE(s->process());
    auto d = division();
    EXPECT_TRUE(d->postEnabled());
    ASSERT_TRUE(d->post());
    EXPECT_EQ(all<Trans>()[0].TRANSDATE, day(2004, 3, 1));

    // "/admin" lifts the rule for saved payrolls too.
    auto admin = screen(true);
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(admin->loadSavedData());
    EXPECT_TRUE(admin->process());
}
