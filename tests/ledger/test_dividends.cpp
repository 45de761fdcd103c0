// Dividends by average daily balance: the arithmetic against sums worked by hand, who takes
// part, rounding, the trial that writes nothing and the posting that writes one dividend each.
#include "../support/meanwhile.h"
#include "dividendtest.h"
#include "platform/storage/faults.h"

#include <utility>

namespace {
class Dividends : public DividendTest {
protected:
    // A calculation over [begin, end] at `rate`, dated `divDate` (the end when 0).
    EnterDividendsLogic &calculate(qint32 begin, qint32 end, const char *rate, qint32 divDate = 0) {
        logic = std::make_unique<EnterDividendsLogic>(*db, dialogs, glo, list, report);
        logic->open();
        logic->LOC.BEGINDATE = begin;
        logic->LOC.ENDDATE = end;
        logic->LOC.DIVIDENDDATE = divDate ? divDate : end;
        logic->LOC.DIVPERCENTAGE = Decimal::fromString(rate);
        EXPECT_TRUE(logic->calculate());
        return *logic;
    }
    Decimal amountOf(qint32 acct) const {
        for (const PostingEntry &e : list)
            if (e.ACCTNUM == QString::number(acct)) return e.TRANSAMOUNT;
        return Decimal(-1, 0); // no entry
    }
    std::unique_ptr<EnterDividendsLogic> logic;
};
} // namespace

TEST_F(Dividends, AverageDailyBalanceWorkedByHand) {
    const qint32 jan1 = day(2007, 1, 1), jan31 = day(2007, 1, 31);
    // 1000.00 for days 1-10, 1500.00 for 11-20, 1300.00 for 21-31; the dividend of the 15th
    // earns nothing: 10 x 1000 + 10 x 1500 + 11 x 1300 = 39,300.00 balance-days.
    addMember(1, "Adams");
    post(1, day(2006, 12, 15), "1000.00");
    post(1, day(2007, 1, 11), "500.00");
    post(1, day(2007, 1, 15), "99.99", TransType::Dividend);
    post(1, day(2007, 1, 21), "-200.00", TransType::Withdrawal);
    post(1, day(2007, 2, 1), "5000.00"); // after the period
    // A deposit on the first day counts 31 days, one on the last day one day:
    // 3100 x 31 + 310 x 1 = 96,410.00, an average of exactly 3,110.00.
    addMember(2, "Baker");
    post(2, jan1, "3100.00");
    post(2, jan31, "310.00");

    EnterDividendsLogic &l = calculate(jan1, jan31, "6");
    // 39,300.00 / 31 = 1,267.741... -> 1,267.74; x 31 = 39,299.94; x 6 / 100 / 31 = 76.0644.
    EXPECT_EQ(amountOf(1), money("76.06"));
    EXPECT_EQ(amountOf(2), money("186.60"));
    EXPECT_EQ(l.LOC.TOTALDIVS, money("262.66"));
    EXPECT_EQ(l.LOC.TOTALPARTS, 2);

    // The same sums from the bare arithmetic.
    EXPECT_EQ(::Dividends::dividend(money("39300.00"), 31, Decimal::fromString("6")),
              money("76.06"));
    // A constant 1,000.00 over 365 days at 5 percent: 50.00, whatever the period's length.
    EXPECT_EQ(::Dividends::dividend(money("365000.00"), 365, Decimal::fromString("5")),
              money("50.00"));
    // A billion for a year at a rate typed with all its places stays exact.
    EXPECT_EQ(::Dividends::dividend(money("1000000000.00") * Decimal::fromInt(365), 365,
                                    Decimal::fromString("5.2500").rounded(6)),
              money("52500000.00"));
}

TEST_F(Dividends, OneDayPeriodAndConstantBalance) {
    const qint32 d = day(2007, 6, 30);
    addMember(1, "Adams");
    post(1, day(2007, 1, 2), "1000.00");
    post(1, d, "234.56");   // counts for the one day
    post(1, d + 1, "9.99"); // the day after does not
    EnterDividendsLogic &l = calculate(d, d, "6");
    EXPECT_EQ(amountOf(1), money("74.07")); // 1,234.56 x 6 / 100 = 74.0736
    EXPECT_EQ(l.LOC.TOTALDIVS, money("74.07"));

    // A whole year at a constant balance.
    addMember(2, "Baker");
    post(2, day(2006, 12, 31), "1000.00");
    calculate(day(2007, 1, 1), day(2007, 12, 31), "5");
    EXPECT_EQ(amountOf(2), money("50.00"));
}

TEST_F(Dividends, WhoTakesPart) {
    const qint32 begin = day(2007, 1, 1), end = day(2007, 12, 31);
    addMember(1, "ClosedOnEnd", "A", end);
    addMember(2, "ClosedAfter", "B", end + 1);
    addMember(3, "Emptied", "C");
    addMember(4, "Overdrawn", "D");
    addMember(5, "NoHistory", "E");
    addMember(6, "ClosedBefore", "F", begin + 10);
    for (qint32 acct : {1, 2, 3, 4, 6})
        post(acct, day(2006, 6, 1), "1000.00");
    post(3, day(2007, 7, 1), "-1000.00", TransType::Withdrawal); // money earlier, none at the end
    post(4, day(2007, 7, 1), "-1000.01", TransType::Withdrawal);
    // A dividend inside the period counts in the balance at the end, though not in the average.
    addMember(7, "OnlyDividend", "G");
    post(7, day(2007, 6, 1), "10.00", TransType::Dividend);

    EnterDividendsLogic &l = calculate(begin, end, "5");
    QStringList accounts;
    for (const PostingEntry &e : list)
        accounts << e.ACCTNUM;
    EXPECT_EQ(accounts, QStringList{"2"});
    EXPECT_EQ(amountOf(2), money("50.00"));
    EXPECT_EQ(l.LOC.TOTALPARTS, 7); // every member record read counts
}

TEST_F(Dividends, RoundingToTheCentAndTheEntries) {
    const qint32 begin = day(2007, 1, 1), end = day(2007, 12, 31);
    addMember(1, "Tiny");
    post(1, day(2006, 1, 1), "0.09"); // 0.09 x 5% = 0.0045: rounds to 0.00, no entry
    addMember(2, "Half");
    post(2, day(2006, 1, 1), "100.10"); // 5.005 rounds half away from zero
    addMember(3, "Third");
    post(3, day(2006, 1, 1), "33.33"); // 1.6665 -> 1.67
    EnterDividendsLogic &l = calculate(begin, end, "5.00");
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(amountOf(1), Decimal(-1, 0));
    EXPECT_EQ(amountOf(2), money("5.01"));
    EXPECT_EQ(amountOf(3), money("1.67"));
    EXPECT_EQ(l.LOC.TOTALDIVS, money("6.68")); // the sum of the rounded dividends
    EXPECT_EQ(l.LOC.TOTALPARTS, 3);

    // The entry's fields.
    const PostingEntry &e = list.first();
    EXPECT_EQ(e.ACCTNUM, "2");
    EXPECT_EQ(e.NAME, "HalfPat");
    EXPECT_EQ(e.TRANSDATE, end);
    EXPECT_EQ(e.TRANSTYPE, -5);
    EXPECT_EQ(e.USERID, "MGR");
    EXPECT_EQ(e.DESC, "Dividend For (01/01/2007 - 12/31/2007) AT 5%");

    // A rate of 0 gives no entries and a zero total.
    calculate(begin, end, "0");
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(logic->LOC.TOTALDIVS.isZero());
    EXPECT_EQ(logic->LOC.TOTALPARTS, 3);
}

TEST_F(Dividends, DescriptionWritesTheRatePlainly) {
    const qint32 begin = day(2007, 1, 1), end = day(2007, 12, 31);
    EXPECT_EQ(::Dividends::description(begin, end, Decimal::fromString("5.25").rounded(6)),
              "Dividend For (01/01/2007 - 12/31/2007) AT 5.25%");
    EXPECT_EQ(::Dividends::plain(Decimal::fromString("5.2500")), "5.25");
    EXPECT_EQ(::Dividends::plain(Decimal::fromString("10.000000")), "10");
    EXPECT_EQ(::Dividends::plain(Decimal::fromString("-0.1250")), "-0.125");
    EXPECT_EQ(::Dividends::plain(Decimal(0, 6)), "0");
}

TEST_F(Dividends, PeriodsWithoutDaysAreRefused) {
    addMember(1, "Adams");
    post(1, day(2006, 1, 1), "100.00");
    EnterDividendsLogic l(*db, dialogs, glo, list, report);
    l.open();
    EXPECT_EQ(l.LOC.BEGINDATE, Clock::today());
    l.LOC.DIVPERCENTAGE = Decimal::fromString("5");
    l.LOC.BEGINDATE = day(2007, 2, 1);
    l.LOC.ENDDATE = day(2007, 1, 31);
    EXPECT_FALSE(l.calculate());
    EXPECT_FALSE(l.calculated());
    EXPECT_EQ(dialogs.last().caption, "Dividend Information");
    EXPECT_TRUE(dialogs.last().text.startsWith("The Ending Date is before the Beginning Date."));
    l.LOC.ENDDATE = 0;
    EXPECT_FALSE(l.calculate());
    EXPECT_TRUE(list.isEmpty());
    l.trialReport(); // nothing calculated: no report
    EXPECT_FALSE(l.post());
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(Dividends, TrialWritesNothingAndSortsTheReport) {
    const qint32 begin = day(2007, 1, 1), end = day(2007, 12, 31);
    addMember(9, "Able", "Zoe");
    addMember(10, "Young", "Al");
    addMember(100, "Young", "Ab");
    for (qint32 acct : {9, 10, 100})
        post(acct, day(2006, 1, 1), "1000.00");
    calculate(begin, end, "5.25");
    const int before = transactions().size();

    dialogs.answers = {2}; // "&Account Number": as text, 10 and 100 before 9
    logic->trialReport();
    ASSERT_EQ(reports.size(), 1);
    const Message &q = dialogs.last();
    EXPECT_EQ(q.caption, "Sort Report ...");
    EXPECT_EQ(q.text, "Sort Report By:");
    EXPECT_EQ(q.icon, Dlg::Warning);
    EXPECT_EQ(q.custom, (QStringList{"&Name", "&Account Number"}));
    EXPECT_EQ(q.defaultButton, 2);
    const Printed &p = reports.last();
    EXPECT_EQ(p.glo.REPORTHEADING, "Trial Dividend Report");
    EXPECT_EQ(p.glo.BEGINDATE, begin);
    EXPECT_EQ(p.glo.ENDDATE, end);
    EXPECT_EQ(p.glo.DIVIDENDRATE, Decimal::fromString("5.25"));
    QStringList order;
    for (const PostingEntry &e : p.lines)
        order << e.ACCTNUM;
    EXPECT_EQ(order, (QStringList{"10", "100", "9"}));

    dialogs.answers = {1}; // "&Name": AbleZoe, YoungAb, YoungAl
    logic->trialReport();
    order.clear();
    for (const PostingEntry &e : reports.last().lines)
        order << e.ACCTNUM;
    EXPECT_EQ(order, (QStringList{"9", "100", "10"}));

    dialogs.answers = {0}; // closed: the list stays as it is
    logic->trialReport();
    EXPECT_EQ(reports.last().lines.size(), 3);
    EXPECT_EQ(transactions().size(), before);
}

TEST_F(Dividends, PostingWritesOneDividendPerEntryAndTheReport) {
    const qint32 begin = day(2007, 1, 1), end = day(2007, 12, 31), paid = day(2008, 1, 15);
    addMember(1, "Adams");
    addMember(2, "Baker");
    addMember(3, "Closed", "X", day(2007, 6, 1));
    for (qint32 acct : {1, 2, 3})
        post(acct, day(2006, 1, 1), "2000.00");
    Clock::setClock(Clock::timeOf(10, 30));
    calculate(begin, end, "4.5", paid);
    // Fields changed after the calculation do not enter the posting.
    logic->LOC.DIVPERCENTAGE = Decimal::fromString("9");
    logic->LOC.DIVIDENDDATE = day(2009, 1, 1);
    const int before = transactions().size();
    dialogs.answers = {2};
    ASSERT_TRUE(logic->post());

    QList<Trans> dividends;
    for (const Trans &t : transactions())
        if (t.TRANSTYPE == TransType::Dividend) dividends << t;
    EXPECT_EQ(transactions().size(), before + 2);
    ASSERT_EQ(dividends.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const Trans &t = dividends[i];
        EXPECT_EQ(t.ACCTNUM, i + 1);
        EXPECT_EQ(t.MEMBERID, 0);
        EXPECT_EQ(t.TRANSDATE, paid);
        EXPECT_EQ(t.TRANSAMOUNT, money("90.00"));
        EXPECT_EQ(t.DESC, "Dividend For (01/01/2007 - 12/31/2007) AT 4.5%");
        EXPECT_EQ(t.TRANSTIME, Clock::timeOf(10, 30));
        EXPECT_EQ(t.USERID, "MGR");
    }
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports.last().glo.REPORTHEADING, "Dividend Posting Report");
    EXPECT_EQ(reports.last().glo.DIVIDENDRATE, Decimal::fromString("4.5"));
}

TEST_F(Dividends, AFailedAddPostsNothing) {
    if (!db->isSqlite()) GTEST_SKIP() << "the refusal is a SQLite trigger; faults::refuseWrites covers a server";
    for (qint32 acct = 1; acct <= 5; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, day(2006, 1, 1), "100.00");
    }
    calculate(day(2007, 1, 1), day(2007, 12, 31), "5");
    ASSERT_EQ(list.size(), 5);
    // The fourth add is refused by the database.
    ASSERT_TRUE(
        db->exec("CREATE TRIGGER refuse BEFORE INSERT ON \"Trans\" WHEN NEW.\"ACCTNUM\" = 4 "
                 "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const int before = transactions().size();
    EXPECT_FALSE(logic->post());
    EXPECT_EQ(transactions().size(), before);
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(
        dialogs.last().text.startsWith("The dividends could not be posted; nothing was written."))
        << qPrintable(dialogs.last().text);
    EXPECT_TRUE(reports.isEmpty());

    // The list is still there to post once the cause is gone.
    ASSERT_TRUE(db->exec("DROP TRIGGER refuse"));
    EXPECT_TRUE(logic->post());
    EXPECT_EQ(transactions().size(), before + 5);
}

// A run that cannot read every member and balance credits nobody: four members without a
// dividend, or a run cut short, would be taken for a finished calculation.
TEST_F(Dividends, AFailedReadStopsTheCalculationWithNothingToPost) {
    namespace faults = storage::faults;
    for (qint32 acct = 1; acct <= 5; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, day(2006, 1, 1), "100.00");
    }
    const QString failed =
        "The members' accounts could not be read; nothing was calculated.  Error: " + faults::DamagedText + ".";
    EnterDividendsLogic l(*db, dialogs, glo, list, report);
    l.open();
    l.LOC.BEGINDATE = day(2007, 1, 1);
    l.LOC.ENDDATE = day(2007, 12, 31);
    l.LOC.DIVPERCENTAGE = Decimal::fromString("5");
    for (const QString file : {"MemberCU", "Trans"}) {
        // The members' file fails after two members; the balances fail at once.
        faults::refuseReads(file, file == "MemberCU" ? 2 : 0);
        EXPECT_FALSE(l.calculate()) << qPrintable(file);
        EXPECT_FALSE(l.calculated());
        EXPECT_TRUE(list.isEmpty());
        ASSERT_FALSE(dialogs.shown.isEmpty());
        EXPECT_EQ(dialogs.last().icon, Dlg::Error);
        EXPECT_EQ(dialogs.last().text, failed);
        EXPECT_FALSE(l.post());
        faults::clear(*db);
    }
    EXPECT_EQ(transactions().size(), 5);
    EXPECT_TRUE(l.calculate());
    EXPECT_EQ(list.size(), 5);
}

TEST_F(Dividends, APostingTheDatabaseRefusesWritesNothingAndSaysWhy) {
    namespace faults = storage::faults;
    for (qint32 acct = 1; acct <= 5; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, day(2006, 1, 1), "100.00");
    }
    calculate(day(2007, 1, 1), day(2007, 12, 31), "5");
    ASSERT_EQ(list.size(), 5);
    const QString failed = "The dividends could not be posted; nothing was written.  Error: %1.";
    faults::refuseBegin();
    EXPECT_FALSE(logic->post());
    EXPECT_EQ(dialogs.last().text, failed.arg(faults::LockedText));
    EXPECT_EQ(transactions().size(), 5);
    // The third dividend fails and SQLite abandons the transaction.
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 2, true));
    EXPECT_FALSE(logic->post());
    EXPECT_EQ(dialogs.last().text, failed.arg(faults::FullText));
    EXPECT_EQ(transactions().size(), 5);
    EXPECT_TRUE(reports.isEmpty());
    faults::clear(*db);
    EXPECT_TRUE(logic->post());
    EXPECT_EQ(transactions().size(), 10);
}

TEST_F(Dividends, AnAmountTooLargeStopsTheRun) {
    addMember(1, "Adams");
    post(1, day(2006, 1, 1), "1000.00");
    addMember(2, "Rich");
    post(2, day(2006, 1, 1), "9999999999999.99");
    EnterDividendsLogic l(*db, dialogs, glo, list, report);
    l.open();
    l.LOC.BEGINDATE = day(2007, 1, 1);
    l.LOC.ENDDATE = day(2007, 12, 31);
    l.LOC.DIVPERCENTAGE = Decimal::fromString("5.25");
    EXPECT_FALSE(l.calculate());
    EXPECT_FALSE(l.calculated());
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_EQ(dialogs.last().text,
              "The dividend of account 2 is too large to calculate.  Nothing was calculated.");
}

TEST_F(Dividends, PostingOnADateThatHoldsDividendsAsksFirst) {
    const qint32 begin = day(2007, 1, 1), end = day(2007, 12, 31), paid = day(2008, 1, 15);
    for (qint32 acct = 1; acct <= 3; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, day(2006, 1, 1), "1000.00");
    }
    // Two accounts already hold dividends of that date (one of them twice); other types on the
    // date and dividends of another date do not count.
    post(1, paid, "5.00", TransType::Dividend);
    post(1, paid, "1.00", TransType::Dividend);
    post(2, paid, "5.00", TransType::Dividend);
    post(3, paid, "7.00", TransType::Payroll);
    post(3, paid - 1, "5.00", TransType::Dividend);
    calculate(begin, end, "5", paid);
    const int before = transactions().size();

    dialogs.answers = {Dlg::No};
    EXPECT_FALSE(logic->post());
    ASSERT_EQ(dialogs.shown.size(), 1);
    const Message &q = dialogs.last();
    EXPECT_EQ(q.caption, "Dividend Information");
    EXPECT_EQ(q.text, "Dividends were already posted on 01/15/2008 (2 accounts). Post again?");
    EXPECT_EQ(q.buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(q.defaultButton, Dlg::No);
    EXPECT_EQ(transactions().size(), before);
    EXPECT_TRUE(reports.isEmpty());
    EXPECT_TRUE(logic->calculated()); // the list stays for another date or another try

    dialogs.answers = {Dlg::Yes, 2};
    EXPECT_TRUE(logic->post());
    EXPECT_EQ(transactions().size(), before + 3);
    EXPECT_EQ(reports.size(), 1);

    // A date without dividends posts without a question.
    dialogs.shown.clear();
    calculate(begin, end, "5", paid + 1);
    dialogs.answers = {2};
    EXPECT_TRUE(logic->post());
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Sort Report ...");
}

TEST_F(Dividends, DividendsPostedElsewhereWhileTheQuestionIsUpAreAskedAboutAgain) {
    const qint32 paid = day(2008, 1, 15);
    for (qint32 acct = 1; acct <= 2; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, day(2006, 1, 1), "1000.00");
    }
    post(1, paid, "5.00", TransType::Dividend);
    ScriptedDialogs seat;
    EnterDividendsLogic l(*db, seat, glo, list, report);
    l.open();
    l.LOC.BEGINDATE = day(2007, 1, 1);
    l.LOC.ENDDATE = day(2007, 12, 31);
    l.LOC.DIVIDENDDATE = paid;
    l.LOC.DIVPERCENTAGE = Decimal::fromString("5");
    ASSERT_TRUE(l.calculate());
    std::unique_ptr<storage::Database> other = openSecond();
    ASSERT_TRUE(other);
    bool done = false;
    seat.onShow = [&](const Message &) {
        if (std::exchange(done, true)) return;
        storage::DataFile<Trans> theirs(*other);
        ASSERT_TRUE(theirs.open());
        theirs.rec.ACCTNUM = 2, theirs.rec.TRANSDATE = paid, theirs.rec.TRANSTYPE = TransType::Dividend;
        theirs.rec.TRANSAMOUNT = money("50.00");
        ASSERT_TRUE(theirs.add());
    };
    const int before = transactions().size();
    seat.answers = {Dlg::Yes, Dlg::No};
    EXPECT_FALSE(l.post());
    ASSERT_EQ(seat.shown.size(), 2);
    EXPECT_EQ(seat.shown[0].text, "Dividends were already posted on 01/15/2008 (1 accounts). Post again?");
    EXPECT_EQ(seat.shown[1].text, "Dividends were already posted on 01/15/2008 (2 accounts). Post again?");
    EXPECT_EQ(transactions().size(), before + 1); // only the other station's
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(Dividends, APostingMadeByAnotherStationDuringTheRunIsInNoneOfItsAccounts) {
    const qint32 jan1 = day(2007, 1, 1), jan31 = day(2007, 1, 31);
    for (qint32 acct = 1; acct <= 40; ++acct) {
        addMember(acct, "Member");
        post(acct, day(2006, 12, 1), "1000.00");
    }
    calculate(jan1, jan31, "6");
    const PostingList alone = list;
    ASSERT_EQ(alone.size(), 40);

    // Another station deposits into the first and the last account once the run is under way.
    auto other = openSecond();
    ASSERT_TRUE(other);
    bool posted = false;
    depositMeanwhile(*other, "MemberCU", 1, {{1, jan1, "5000.00"}, {40, jan1, "5000.00"}}, posted);
    calculate(jan1, jan31, "6");
    storage::faults::clear(*db);
    ASSERT_TRUE(posted);
    ASSERT_EQ(list.size(), alone.size());
    for (int i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].TRANSAMOUNT, alone[i].TRANSAMOUNT) << i;

    // The next run sees the deposits; the posting of the list goes ahead as usual.
    calculate(jan1, jan31, "6");
    EXPECT_GT(amountOf(1), alone.first().TRANSAMOUNT);
    EXPECT_GT(amountOf(40), alone.last().TRANSAMOUNT);
    EXPECT_TRUE(logic->post());
}
