// The review of posted payrolls: listing a date's payrolls, re-print, rename and gather.
#include "payroll/payrollreport.h"
#include "payroll/payrollscreen.h"
#include "payroll/processpayroll.h"
#include "payrolltest.h"
#include "platform/storage/faults.h"

namespace {
class Review : public PayrollTest {
protected:
    void SetUp() override {
        PayrollTest::SetUp();
        addContractor(1, "ABC Builders");
        addContractor(2, "ABC");
        addContractor(3, "Keystone Electric");
        addMember(1001, "111-11-1111", "Smith");
        addMember(1002, "222-22-2222", "Jones");
        addMember(1003, "333-33-3333", "Brown");
        posted = day(2004, 2, 15);
        addPosted(1001, posted, "100.00", "(ABC For 01/15/2004)");
        addPosted(1002, posted, "60.00", "(ABC For 01/15/2004)");
        addPosted(1003, posted, "30.00", "(ABC For 01/15/2004)");
        addPosted(1001, posted, "70.00", "(Keystone Electric For 01/31/2004)");
        addPosted(1002, posted - 1, "5.00", "(ABC For 01/01/2004)"); // another day
        glo.LOOKUPDATE = posted;
    }
    std::unique_ptr<PayrollScreenLogic> screen() {
        auto s =
            std::make_unique<PayrollScreenLogic>(*db, dialogs, false, glo, queue, lookups, report);
        s->open();
        return s;
    }
    qint32 posted = 0;
};
} // namespace

TEST_F(Review, ListsTheDatesPayrollsByDescription) {
    auto s = screen();
    int windows = 0;
    s->gatherWindow = [&](bool show) { windows += show ? 1 : 10; };
    ASSERT_TRUE(s->retrieve());
    EXPECT_EQ(windows, 11);
    ASSERT_EQ(s->PAYROLLRETRIEVEDQUEUE.size(), 2);
    EXPECT_EQ(s->PAYROLLRETRIEVEDQUEUE[0].PAYROLLDESCRIPTION, "(ABC For 01/15/2004)");
    EXPECT_EQ(s->PAYROLLRETRIEVEDQUEUE[0].AMOUNT, money("190.00"));
    EXPECT_EQ(s->PAYROLLRETRIEVEDQUEUE[1].PAYROLLDESCRIPTION, "(Keystone Electric For 01/31/2004)");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    glo.LOOKUPDATE = day(2004, 3, 1);
    EXPECT_FALSE(s->retrieve());
    EXPECT_TRUE(s->PAYROLLRETRIEVEDQUEUE.isEmpty());
    EXPECT_EQ(dialogs.last().caption, "No Payrolls Found ....");
    EXPECT_EQ(dialogs.last().text, "No payroll information was found for 03/01/2004.");
}

TEST_F(Review, ContractorIsTheOneTheDescriptionNames) {
    auto s = screen();
    Contractor c;
    ASSERT_TRUE(s->contractorOf("(ABC Builders For 01/15/2004)", c));
    EXPECT_EQ(c.AUTONUM, 1) << "ABC comes first in name order but is not the one named";
    ASSERT_TRUE(s->contractorOf("(ABC For 01/15/2004)", c));
    EXPECT_EQ(c.AUTONUM, 2);
    ASSERT_TRUE(s->contractorOf("(Keystone Electric For 01/31/2004)", c));
    EXPECT_EQ(c.AUTONUM, 3);
    // A contractor renamed since the posting: the longest name that still occurs.
    ASSERT_TRUE(s->contractorOf("(ABC Builders Inc For 01/15/2004)", c));
    EXPECT_EQ(c.AUTONUM, 1);
    EXPECT_FALSE(s->contractorOf("(Nobody For 01/31/2004)", c));
    EXPECT_EQ(PayrollScreenLogic::payrollDateText("(ABC For 01/15/2004)"), " 01/15/2004");
    EXPECT_EQ(PayrollScreenLogic::payrollDateText("(Fortune Roofing For 01/15/2004)"),
              " 01/15/2004");
    EXPECT_EQ(PayrollScreenLogic::payrollDateText("Deposit"), "");
}

// "ABC" and "ABC Builders" post on one date, and ABC a second payroll of another period: each
// entry prints and gathers its own lines only.
TEST_F(Review, PrintAndGatherTakeOnlyThePayrollChosen) {
    addMember(1004, "444-44-4444", "White");
    addPosted(1004, posted, "40.00", "(ABC Builders For 01/15/2004)");
    addPosted(1001, posted, "25.00", "(ABC Builders For 01/15/2004)");
    addPosted(1003, posted, "8.00", "(ABC For 01/31/2004)");
    auto s = screen();
    ASSERT_TRUE(s->retrieve());
    QStringList listed;
    for (const RetrievedPayroll &p : s->PAYROLLRETRIEVEDQUEUE)
        listed << p.PAYROLLDESCRIPTION;
    ASSERT_EQ(listed, QStringList({"(ABC Builders For 01/15/2004)", "(ABC For 01/15/2004)",
                                   "(ABC For 01/31/2004)", "(Keystone Electric For 01/31/2004)"}));

    struct Expected {
        qint32 contractor;
        QStringList ssns;
        const char *total;
    };
    const Expected expected[] = {{1, {"444-44-4444", "111-11-1111"}, "65.00"},
                                 {2, {"111-11-1111", "222-22-2222", "333-33-3333"}, "190.00"},
                                 {2, {"333-33-3333"}, "8.00"}};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(s->retrieve());
        ASSERT_TRUE(s->reprint(i)) << i;
        const Printed &p = reports.last();
        EXPECT_EQ(p.contractor, expected[i].contractor) << i;
        QStringList ssns;
        Decimal total(0, 2);
        for (const PayQueueEntry &q : p.lines) {
            ssns << q.PATNUM;
            total += q.AMOUNT;
        }
        EXPECT_EQ(ssns, expected[i].ssns) << i;
        EXPECT_EQ(total, money(expected[i].total)) << i;

        ASSERT_TRUE(s->retrieve());
        glo.PAYROLLAMOUNT = money("1000.00");
        ASSERT_TRUE(s->gather(i));
        ssns.clear();
        for (const PayQueueEntry &q : queue)
            ssns << q.PATNUM;
        EXPECT_EQ(ssns, expected[i].ssns) << i;
        queue.clear();
    }
}

TEST_F(Review, ReprintRebuildsTheLinesAndTheSubtitle) {
    auto s = screen();
    ASSERT_TRUE(s->retrieve());
    ASSERT_TRUE(s->reprint(0));
    ASSERT_EQ(reports.size(), 1);
    const Printed &p = reports[0];
    EXPECT_EQ(p.title, "Payroll Report Re-Print.  Payroll was posted on 02/15/2004");
    EXPECT_EQ(p.contractor, 2);
    EXPECT_EQ(p.date, 0);
    EXPECT_EQ(p.dateString, " 01/15/2004");
    ASSERT_EQ(p.lines.size(), 3);
    EXPECT_EQ(p.lines[1].PATNUM, "222-22-2222");
    EXPECT_EQ(p.lines[1].AMOUNT, money("60.00"));
    EXPECT_EQ(p.lines[1].DATE, posted);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_TRUE(s->PAYROLLRETRIEVEDQUEUE.isEmpty());

    PayrollReport rpt(*db, dialogs, glo, queue, 12);
    EXPECT_EQ(rpt.subtitle(2, 0), "ABC ---  01/15/2004");
    EXPECT_EQ(rpt.subtitle(2, day(2004, 1, 15)), "ABC --- 01/15/2004");
}

TEST_F(Review, GatherTakesTheLinesThatStillFit) {
    auto s = screen();
    ASSERT_TRUE(s->retrieve());
    glo.CONTRACTORNUMBER = 3;
    glo.PAYROLLDATE = day(2004, 2, 1);
    glo.POSTINGDATE = posted + 2;
    glo.PAYROLLAMOUNT = money("140.00");
    ASSERT_TRUE(s->gather(0));
    EXPECT_EQ(dialogs.last().caption, "Data Gathered ...");
    EXPECT_EQ(dialogs.last().text,
              "Payroll Data has been gathered.  Please click on \"Process\" to continue.");
    ASSERT_EQ(queue.size(), 2) << "60.00 no longer fits after 100.00; 30.00 still does";
    EXPECT_EQ(queue[0].PATNUM, "111-11-1111");
    EXPECT_EQ(queue[0].NAME, "Smith, Pat");
    EXPECT_EQ(queue[1].PATNUM, "333-33-3333");
    EXPECT_EQ(queue[1].AMOUNT, money("30.00"));
    EXPECT_EQ(queue[1].DATE, day(2004, 2, 1));
    EXPECT_EQ(queue[1].POSTINGDATE, posted + 2);
    EXPECT_EQ(queue[1].CONTRACTOR, 3);
    EXPECT_EQ(glo.PAYROLLAMOUNT, money("140.00")) << "the check stays as entered";

    // A second gather starts from the check again, not from what the first one left.
    ASSERT_TRUE(s->gather(0));
    ASSERT_EQ(queue.size(), 2);
    EXPECT_EQ(queue[1].AMOUNT, money("30.00"));
    EXPECT_EQ(glo.PAYROLLAMOUNT, money("140.00"));

    // The division goes on from the gathered lines; PayData holds the whole check.
    Clock::setToday(posted + 2);
    glo.CONTRACTORNAME = "Keystone Electric";
    ASSERT_TRUE(s->process());
    EXPECT_EQ(all<PayData>()[0].AMOUNT, money("140.00"));
    ProcessPayrollLogic d(*db, dialogs, glo, queue, lookups, report);
    d.open();
    EXPECT_EQ(d.LOC.PAYROLLAMOUNT, money("10.00"));
    d.LOC.SSNUM = "222-22-2222";
    d.LOC.DEPOSITAMOUNT = money("10.00");
    d.add();
    ASSERT_TRUE(d.post());
    ASSERT_EQ(all<PayData>().size(), 1);
    EXPECT_EQ(all<PayData>()[0].ACCTNUM, 3);
    EXPECT_EQ(all<PayData>()[0].AMOUNT, money("140.00"));
    EXPECT_EQ(all<Trans>().size(), 5 + 3);
}

TEST_F(Review, RenameChangesOnlyTheDescription) {
    auto s = screen();
    ASSERT_TRUE(s->retrieve());
    ASSERT_TRUE(s->startRename(0));
    EXPECT_EQ(s->CURRENTCONTRACTOR, "Current Contractor:  ABC");
    ASSERT_EQ(s->CONTRACTORQUEUE.size(), 3);
    EXPECT_EQ(s->CONTRACTORQUEUE[2].CONTRACTORNAME, "Keystone Electric");
    const QList<Trans> before = all<Trans>();

    dialogs.answers = {Dlg::No};
    s->rename(2);
    EXPECT_EQ(dialogs.last().caption, "Rename Posted Payroll ...");
    EXPECT_EQ(
        dialogs.last().text,
        "Are you sure you want to rename this posted payroll to new contractor Keystone Electric?");
    EXPECT_EQ(dialogs.last().defaultButton, Dlg::No);
    EXPECT_TRUE(s->CONTRACTORQUEUE.isEmpty());
    EXPECT_TRUE(s->PAYROLLRETRIEVEDQUEUE.isEmpty());
    EXPECT_EQ(all<Trans>()[0].DESC, "(ABC For 01/15/2004)");

    ASSERT_TRUE(s->retrieve());
    ASSERT_TRUE(s->startRename(0));
    dialogs.answers = {Dlg::Yes};
    s->rename(2);
    EXPECT_EQ(dialogs.last().caption, "Updated ...");
    EXPECT_EQ(dialogs.last().text, "Payroll Posting Updated.");
    const QList<Trans> after = all<Trans>();
    ASSERT_EQ(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        const bool renamed = i < 3;
        EXPECT_EQ(after[i].DESC, renamed ? "(Keystone Electric For 01/15/2004)" : before[i].DESC)
            << i;
        EXPECT_EQ(after[i].ACCTNUM, before[i].ACCTNUM);
        EXPECT_EQ(after[i].TRANSAMOUNT, before[i].TRANSAMOUNT);
        EXPECT_EQ(after[i].TRANSDATE, before[i].TRANSDATE);
        EXPECT_EQ(after[i].TRANSTYPE, before[i].TRANSTYPE);
    }
}

TEST_F(Review, DescriptionWithoutForIsLeftAsItIs) {
    addPosted(1003, posted, "15.00", "(ABC Bonus)");
    auto s = screen();
    ASSERT_TRUE(s->retrieve());
    ASSERT_EQ(s->PAYROLLRETRIEVEDQUEUE[0].PAYROLLDESCRIPTION, "(ABC Bonus)");
    ASSERT_TRUE(s->startRename(0));
    dialogs.answers = {Dlg::Yes};
    s->rename(2);
    EXPECT_EQ(all<Trans>().last().DESC, "(ABC Bonus)");
    ASSERT_TRUE(s->retrieve());
    ASSERT_TRUE(s->reprint(0));
    EXPECT_EQ(reports.last().dateString, "");
}

TEST_F(Review, RenameThatCannotBeWrittenChangesNothingAndSaysSo) {
    if (!db->isSqlite()) GTEST_SKIP() << "the refusal is a SQLite trigger; faults::refuseWrites covers a server";
    const QList<Trans> before = all<Trans>();
    auto rename = [&] {
        auto s = screen();
        ASSERT_TRUE(s->retrieve());
        ASSERT_TRUE(s->startRename(0));
        dialogs.answers = {Dlg::Yes};
        s->rename(2);
        EXPECT_EQ(dialogs.last().caption, "Error ...");
        EXPECT_TRUE(dialogs.last().text.startsWith(
            "The payroll could not be renamed; nothing was changed.  Error: "))
            << qPrintable(dialogs.last().text);
        EXPECT_EQ(dialogs.last().icon, Dlg::Error);
        EXPECT_TRUE(s->PAYROLLRETRIEVEDQUEUE.isEmpty());
        const QList<Trans> after = all<Trans>();
        ASSERT_EQ(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i)
            EXPECT_EQ(after[i].DESC, before[i].DESC) << i;
    };
    // The second of the payroll's three records cannot be rewritten.
    ASSERT_TRUE(db->exec("CREATE TRIGGER refuse BEFORE UPDATE ON \"Trans\" WHEN OLD.\"ACCTNUM\" = "
                         "1002 BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    rename();
    EXPECT_TRUE(dialogs.last().text.contains("disk full")) << qPrintable(dialogs.last().text);
    ASSERT_TRUE(db->exec("DROP TRIGGER refuse"));

    // Every write goes through, but the commit is refused.
    ASSERT_TRUE(db->exec("PRAGMA foreign_keys = ON"));
    ASSERT_TRUE(db->exec("CREATE TABLE parent (id INTEGER PRIMARY KEY)"));
    ASSERT_TRUE(db->exec("CREATE TABLE child (pid INTEGER REFERENCES parent(id) DEFERRABLE "
                         "INITIALLY DEFERRED)"));
    ASSERT_TRUE(db->exec("CREATE TRIGGER spoil AFTER UPDATE ON \"Trans\" BEGIN INSERT INTO child "
                         "VALUES (99); END"));
    rename();
}

// The date's posted records cannot all be read: no list, no re-print, no gather and no rename
// is made from part of them, and the clerk is told why.
TEST_F(Review, AFailedReadIsNeverTakenForTheWholePayroll) {
    namespace faults = storage::faults;
    const QString unreadable =
        "The payroll data could not be read; nothing was changed.  Error: " + faults::DamagedText + ".";
    auto s = screen();
    faults::refuseReads("Trans", 2);
    EXPECT_FALSE(s->retrieve());
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.last().text, unreadable);
    EXPECT_TRUE(s->PAYROLLRETRIEVEDQUEUE.isEmpty());
    faults::clear(*db);

    ASSERT_TRUE(s->retrieve());
    faults::refuseReads("Trans", 1);
    EXPECT_FALSE(s->reprint(0));
    EXPECT_EQ(dialogs.last().text, unreadable);
    EXPECT_TRUE(reports.isEmpty());
    faults::clear(*db);

    ASSERT_TRUE(s->retrieve());
    glo.PAYROLLAMOUNT = money("140.00");
    faults::refuseReads("Trans", 1);
    EXPECT_FALSE(s->gather(0));
    EXPECT_EQ(dialogs.last().text, unreadable);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(glo.PAYROLLAMOUNT, money("140.00"));
    faults::clear(*db);

    const QList<Trans> before = all<Trans>();
    ASSERT_TRUE(s->retrieve());
    ASSERT_TRUE(s->startRename(0));
    faults::refuseReads("Trans", 1);
    dialogs.answers = {Dlg::Yes};
    s->rename(2);
    faults::clear(*db);
    EXPECT_EQ(dialogs.last().text, unreadable);
    EXPECT_EQ(all<Trans>().size(), before.size());
    for (int i = 0; i < before.size(); ++i) EXPECT_EQ(all<Trans>()[i].DESC, before[i].DESC);

    // The contractor list of a rename cannot be read.
    ASSERT_TRUE(s->retrieve());
    faults::refuseReads("Contractor", 1);
    EXPECT_FALSE(s->startRename(0));
    EXPECT_TRUE(s->CONTRACTORQUEUE.isEmpty());
}
