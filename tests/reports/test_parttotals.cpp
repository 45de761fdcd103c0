// The participant totals report: sums by kind per member and in total, every other code on its
// own line, opening + movements = closing on generated data, and a failed read.
#include "../../bench/datagen.h"
#include "data/lookups.h"
#include "reporttest.h"
#include "reports/parttotals.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
class TotalsTest : public ReportTest {
protected:
    void period(ParticipantTotals &t, qint32 from, qint32 to) {
        t.selection.status = MemberSelection::Status::Both;
        t.selection.order = MemberSelection::Order::Account;
        t.FROMDATE = from;
        t.TODATE = to;
    }
};
} // namespace

TEST_F(TotalsTest, SumsByKindPerMemberAndInTotal) {
    storage::DataFile<TransDesc> trd(*db);
    ASSERT_TRUE(trd.open());
    trd.rec.TRANSCODE = 7;
    trd.rec.TRANSDESC = "Rollover In";
    ASSERT_TRUE(trd.add());
    addMember(1001, "Smith", "John");
    addMember(1002, "Jones", "Mary");
    post(1001, day(2023, 12, 31), "100.00", TransType::CarriedBalance); // before: the opening
    post(1001, day(2024, 1, 1), "50.00", TransType::CarriedBalance);
    post(1001, day(2024, 2, 1), "300.00");
    post(1001, day(2024, 3, 1), "4.00", 2);
    post(1001, day(2024, 3, 2), "6.00", TransType::Dividend);
    post(1001, day(2024, 4, 1), "-200.00", TransType::Withdrawal);
    post(1001, day(2024, 4, 1), "-20.00", TransType::Tax);
    post(1001, day(2024, 4, 1), "-5.00", TransType::AdminFee);
    post(1002, day(2024, 5, 1), "70.00", 7);
    post(1002, day(2024, 5, 2), "3.00", 9);
    post(1002, day(2025, 1, 1), "1000.00"); // after

    ParticipantTotals t(*db, dialogs);
    period(t, day(2024, 1, 1), day(2024, 12, 31));
    ASSERT_EQ(t.run(), ReportRun::Previewed);
    EXPECT_EQ(t.COUNT, 2);
    EXPECT_EQ(t.OPENING, money("100.00"));
    EXPECT_EQ(t.CLOSING, money("308.00"));
    EXPECT_TRUE(t.balances());
    EXPECT_EQ(t.MOVEMENTS[Movement::Deposit], money("300.00"));
    EXPECT_EQ(t.MOVEMENTS[Movement::Dividend], money("10.00"));
    EXPECT_EQ(t.MOVEMENTS[Movement::Other], money("73.00"));
    const QStringList l = simpleLines();
    EXPECT_TRUE(l.contains("Smith, John")) << text().toStdString();
    EXPECT_TRUE(l.contains("1001 100.00 300.00 10.00 -200.00 -20.00 -5.00 50.00 0.00 235.00"));
    EXPECT_TRUE(l.contains("1002 0.00 0.00 0.00 0.00 0.00 0.00 0.00 73.00 73.00"));
    EXPECT_TRUE(l.contains("Opening Balance 100.00"));
    EXPECT_TRUE(l.contains("Carried Balances 50.00"));
    EXPECT_TRUE(l.contains("Code 7 Rollover In 70.00"));
    EXPECT_TRUE(l.contains("Code 9 3.00"));
    EXPECT_TRUE(l.contains("Total Movements 208.00"));
    EXPECT_TRUE(l.contains("Opening + Movements 308.00"));
    EXPECT_TRUE(l.contains("Closing Balance 308.00"));
    EXPECT_FALSE(text().contains("OUT OF BALANCE"));
}

TEST_F(TotalsTest, GeneratedBooksBalanceToTheCentAgainstTheBalances) {
    GenOptions o;
    o.members = 60;
    o.years = 3;
    o.endDate = day(2024, 6, 30);
    QString error;
    ASSERT_TRUE(generateData(*db, o, &error)) << error.toStdString();

    ParticipantTotals t(*db, dialogs);
    period(t, day(2023, 1, 1), day(2023, 12, 31));
    ASSERT_EQ(t.run(), ReportRun::Previewed);
    ASSERT_GT(t.COUNT, 0);
    // The balances on the period's edges, member by member, apart from the report.
    Decimal opening(0, 2), closing(0, 2);
    storage::DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    mem.setStart(MemberCU::AcctNum_Key);
    int members = 0;
    while (mem.next()) {
        Decimal b, p, y;
        ASSERT_TRUE(GETBALANCE(*db, QString::number(mem.rec.ACCTNUM), b, p, y, day(2022, 12, 31)));
        opening += b;
        ASSERT_TRUE(GETBALANCE(*db, QString::number(mem.rec.ACCTNUM), b, p, y, day(2023, 12, 31)));
        closing += b;
        ++members;
    }
    EXPECT_EQ(t.COUNT, members);
    EXPECT_EQ(t.OPENING, opening);
    EXPECT_EQ(t.CLOSING, closing);
    EXPECT_EQ(t.OPENING + t.MOVEMENTS.total(), t.CLOSING);
    EXPECT_FALSE(t.MOVEMENTS[Movement::Deposit].isZero());
    EXPECT_FALSE(text().contains("OUT OF BALANCE"));
}

// Each member's line against the member-by-member way of getting it: the balances on the
// period's edges and one walk over the account's transactions of the period. The postings on
// and just outside the edges and the odd codes are where a grouped sum could go wrong.
TEST_F(TotalsTest, EveryMemberAgreesWithAWalkOverItsOwnTransactions) {
    GenOptions o;
    o.members = 40;
    o.years = 3;
    o.endDate = day(2024, 6, 30);
    QString error;
    ASSERT_TRUE(generateData(*db, o, &error)) << error.toStdString();
    const qint32 from = day(2023, 1, 1), to = day(2023, 12, 31);
    QList<qint32> accounts;
    {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.setStart(MemberCU::AcctNum_Key);
        while (mem.next()) accounts << mem.rec.ACCTNUM;
        ASSERT_FALSE(mem.failed());
    }
    ASSERT_GE(accounts.size(), 10);
    for (int i = 0; i < 10; ++i) {
        const qint32 a = accounts[i];
        post(a, from - 1, "1.01", TransType::CarriedBalance);
        post(a, from, "2.02", 7);
        post(a, to, "-3.03", TransType::AdminFee);
        post(a, to + 1, "4.04", 2);
        post(a, from + 40, "-0.01", 9);
    }

    auto expectedLine = [&](qint32 acct) {
        Decimal opening, closing, p, y;
        EXPECT_TRUE(GETBALANCE(*db, QString::number(acct), opening, p, y, from - 1));
        EXPECT_TRUE(GETBALANCE(*db, QString::number(acct), closing, p, y, to));
        MovementSums sums;
        storage::DataFile<Trans> tra(*db);
        EXPECT_TRUE(tra.open());
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = from;
        tra.set(Trans::AcctDateRevKey, 2);
        while (tra.next() && tra.rec.ACCTNUM == acct && tra.rec.TRANSDATE <= to)
            sums.add(tra.rec.TRANSTYPE, tra.rec.TRANSAMOUNT);
        EXPECT_FALSE(tra.failed());
        QStringList cells{QString::number(acct), opening.rounded(2).toString()};
        for (Movement k : {Movement::Deposit, Movement::Dividend, Movement::Withdrawal, Movement::Tax,
                           Movement::Fee, Movement::Carried, Movement::Other})
            cells << sums[k].rounded(2).toString();
        cells << closing.rounded(2).toString();
        return cells.join(' ');
    };

    ParticipantTotals t(*db, dialogs);
    period(t, from, to);
    ASSERT_EQ(t.run(), ReportRun::Previewed);
    EXPECT_EQ(t.COUNT, accounts.size());
    EXPECT_TRUE(t.balances());
    QStringList lines = simpleLines();
    for (qint32 acct : accounts) EXPECT_TRUE(lines.contains(expectedLine(acct))) << acct;

    // An account range takes only its members, with the same lines.
    t.selection.FROMACCT = accounts[3];
    t.selection.TOACCT = accounts[6];
    ASSERT_EQ(t.run(), ReportRun::Previewed);
    EXPECT_EQ(t.COUNT, 4);
    lines = simpleLines();
    for (int i = 3; i <= 6; ++i) EXPECT_TRUE(lines.contains(expectedLine(accounts[i]))) << accounts[i];
    EXPECT_FALSE(lines.contains(expectedLine(accounts[2])));
    EXPECT_FALSE(lines.contains(expectedLine(accounts[7])));
}

TEST_F(TotalsTest, AFailedReadStopsTheRunAndSaysSo) {
    addMember(1001, "Smith", "John");
    post(1001, day(2024, 2, 1), "300.00");
    storage::faults::refuseReads("Trans", 1);
    ParticipantTotals t(*db, dialogs);
    period(t, day(2024, 1, 1), day(2024, 12, 31));
    EXPECT_EQ(t.run(), ReportRun::Cancelled);
    EXPECT_TRUE(t.stopped());
    EXPECT_EQ(outputs, 0);
    EXPECT_EQ(dialogs.last().caption, "Participant Totals Report");
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
}

TEST_F(TotalsTest, WindowReadsAndRemembersThePeriod) {
    addMember(1001, "Smith", "John");
    post(1001, day(2024, 2, 1), "300.00");
    {
        ParticipantTotalsWindow w(*db, dialogs);
        w.fromDate()->setText("01/01/2024");
        w.toDate()->setText("12/31/2024");
        EXPECT_TRUE(w.print());
        EXPECT_EQ(w.logic().CLOSING, money("300.00"));
    }
    ParticipantTotalsWindow again(*db, dialogs);
    EXPECT_EQ(again.fromDate()->text(), "01/01/2024");
    EXPECT_EQ(again.toDate()->text(), "12/31/2024");
}

// What the totals stand on: under a consistent read, a posting that another station commits
// meanwhile is not seen, so sums read one after the other agree; after it, it is.
TEST_F(TotalsTest, AConsistentReadDoesNotSeeAnotherStationsPosting) {
    addMember(1001, "Smith", "John");
    post(1001, day(2024, 2, 1), "300.00");
    auto balance = [this] {
        Decimal b, p, y;
        EXPECT_TRUE(GETBALANCE(*db, "1001", b, p, y));
        return b;
    };
    std::unique_ptr<storage::Database> other = openSecond();
    ASSERT_TRUE(other);
    auto postElsewhere = [&](const char *amount) {
        storage::DataFile<Trans> tra(*other);
        ASSERT_TRUE(tra.open());
        tra.rec.ACCTNUM = 1001;
        tra.rec.TRANSDATE = day(2024, 3, 1);
        tra.rec.TRANSAMOUNT = money(amount);
        tra.rec.TRANSTYPE = TransType::Payroll;
        ASSERT_TRUE(tra.add());
    };
    {
        storage::ReadSnapshot read(*db);
        ASSERT_TRUE(read.active());
        EXPECT_EQ(balance(), money("300.00"));
        postElsewhere("25.00");
        EXPECT_EQ(balance(), money("300.00")) << "the posting came after the read began";
    }
    EXPECT_EQ(balance(), money("325.00"));
    postElsewhere("5.00");
    EXPECT_EQ(balance(), money("330.00")) << "without one, every read sees the latest";
}
