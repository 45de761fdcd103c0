// The dividend calculation against a reference: the account-by-account calculation (two balance
// lookups and one walk of the period per member) kept here as it was written first, compared
// entry by entry and to the cent on a generated fund of a few thousand members.
#include "data/lookups.h"
#include "dividendtest.h"
#include "platform/storage/faults.h"
#include "platform/text.h"

#include <QRandomGenerator>
#include <optional>

namespace {
struct Outcome {
    bool ok = false;
    QString message; // the last message shown, when the run stopped
    PostingList list;
    Decimal total{0, 2};
    qint32 parts = 0;
};

// The reference: balance at the end for eligibility, the opening balance the day before the
// period, then the period's records in date order, dividends passed over.
std::optional<Decimal> referenceDividendOf(storage::Database &db, storage::DataFile<Trans> &tra,
                                           qint32 acctNum, qint32 begin, qint32 end,
                                           const Decimal &percent) {
    Decimal balance(0, 2), preYtd(0, 2), ytd(0, 2);
    if (begin > 1 && !GETBALANCE(db, QString::number(acctNum), balance, preYtd, ytd, begin - 1))
        return std::nullopt;
    Decimal balanceDays(0, 2);
    qint32 upTo = begin;
    tra.clear();
    tra.rec.ACCTNUM = acctNum;
    tra.rec.TRANSDATE = begin;
    tra.set(Trans::AcctDateRevKey);
    while (tra.next() && tra.rec.ACCTNUM == acctNum && tra.rec.TRANSDATE <= end) {
        if (tra.rec.TRANSTYPE == TransType::Dividend) continue;
        if (tra.rec.TRANSDATE != upTo) {
            balanceDays += balance * Decimal::fromInt(tra.rec.TRANSDATE - upTo);
            upTo = tra.rec.TRANSDATE;
        }
        balance += tra.rec.TRANSAMOUNT;
    }
    if (tra.failed()) return std::nullopt;
    balanceDays += balance * Decimal::fromInt(end - upTo + 1);
    return Dividends::dividend(balanceDays, end - begin + 1, percent);
}

Outcome reference(storage::Database &db, qint32 begin, qint32 end, qint32 paid,
                  const Decimal &rate) {
    Outcome out;
    const Decimal percent = rate.rounded(6);
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    if (!mem.open() || !tra.open()) return out;
    const QString desc = Dividends::description(begin, end, percent);
    Decimal preYtd(0, 2), ytd(0, 2);
    mem.setStart(MemberCU::AcctNum_Key);
    while (mem.next()) {
        const MemberCU &MEM = mem.rec;
        const QString acct = QString::number(MEM.ACCTNUM);
        Decimal balance(0, 2);
        if (!GETBALANCE(db, acct, balance, preYtd, ytd, end)) return out;
        const bool open = MEM.DATECLOSED == 0 || MEM.DATECLOSED > end;
        if (open && balance.sign() > 0) {
            Decimal amount;
            try {
                const std::optional<Decimal> earned =
                    referenceDividendOf(db, tra, MEM.ACCTNUM, begin, end, percent);
                if (!earned) return out;
                amount = *earned;
            } catch (const DecimalOverflow &) {
                out.message = acct;
                return out;
            }
            if (!amount.isZero()) {
                PostingEntry e;
                e.ACCTNUM = acct.left(10);
                e.NAME = (clip(MEM.LASTNAME) + clip(MEM.FIRSTNAME)).left(200);
                e.TRANSDATE = paid;
                e.TRANSAMOUNT = amount;
                e.TRANSTYPE = TransType::Dividend;
                e.DESC = desc.left(255);
                e.TRANSTIME = Clock::clock();
                e.USERID = GNT().USERID;
                out.list << e;
                out.total += amount;
            }
        }
        ++out.parts;
    }
    if (mem.failed()) return out;
    out.ok = true;
    return out;
}

class DividendReference : public DividendTest {
protected:
    void SetUp() override {
        DividendTest::SetUp();
        Clock::setClock(Clock::timeOf(9, 30));
    }
    void TearDown() override {
        Clock::setClock(std::nullopt);
        DividendTest::TearDown();
    }

    Outcome calculated(qint32 begin, qint32 end, qint32 paid, const Decimal &rate) {
        EnterDividendsLogic l(*db, dialogs, glo, list, report);
        l.open();
        l.LOC.BEGINDATE = begin;
        l.LOC.ENDDATE = end;
        l.LOC.DIVIDENDDATE = paid;
        l.LOC.DIVPERCENTAGE = rate;
        dialogs.shown.clear();
        Outcome out;
        out.ok = l.calculate();
        if (!dialogs.shown.isEmpty()) out.message = dialogs.last().text;
        out.list = list;
        out.total = l.LOC.TOTALDIVS;
        out.parts = l.LOC.TOTALPARTS;
        return out;
    }

    // Both calculations over one period: every entry, field by field, and the totals.
    void expectSame(qint32 begin, qint32 end, const char *rate) {
        const Decimal r = Decimal::fromString(rate);
        const qint32 paid = end + 1;
        const Outcome want = reference(*db, begin, end, paid, r);
        const Outcome got = calculated(begin, end, paid, r);
        const QString period = QString("%1 - %2 at %3").arg(begin).arg(end).arg(rate);
        ASSERT_EQ(got.ok, want.ok) << qPrintable(period) << " " << qPrintable(got.message);
        if (!want.ok) {
            // The reference stops on the account it cannot calculate; so must the run.
            EXPECT_TRUE(got.message.contains("account " + want.message + " "))
                << qPrintable(got.message);
            return;
        }
        EXPECT_EQ(got.parts, want.parts) << qPrintable(period);
        EXPECT_EQ(got.total, want.total) << qPrintable(period);
        ASSERT_EQ(got.list.size(), want.list.size()) << qPrintable(period);
        for (int i = 0; i < want.list.size(); ++i) {
            const PostingEntry &a = got.list[i], &b = want.list[i];
            const QString where = period + " entry " + QString::number(i) + " account " + b.ACCTNUM;
            EXPECT_EQ(a.ACCTNUM, b.ACCTNUM) << qPrintable(where);
            EXPECT_EQ(a.NAME, b.NAME) << qPrintable(where);
            EXPECT_EQ(a.TRANSDATE, b.TRANSDATE) << qPrintable(where);
            EXPECT_EQ(a.TRANSAMOUNT, b.TRANSAMOUNT) << qPrintable(where);
            EXPECT_EQ(a.TRANSAMOUNT.places(), b.TRANSAMOUNT.places()) << qPrintable(where);
            EXPECT_EQ(a.TRANSTYPE, b.TRANSTYPE) << qPrintable(where);
            EXPECT_EQ(a.DESC, b.DESC) << qPrintable(where);
            EXPECT_EQ(a.TRANSTIME, b.TRANSTIME) << qPrintable(where);
            EXPECT_EQ(a.USERID, b.USERID) << qPrintable(where);
        }
    }

    // Members of every kind with histories around the period [begin, end]: deposits,
    // withdrawals that leave some accounts negative, dividends of type -5 inside and outside,
    // records on the first, last and the day before the first and after the last day, closed
    // accounts, members with no records, account numbers held twice, and records of accounts
    // that have no member.
    void generate(int members, qint32 begin, qint32 end, quint32 seed) {
        QRandomGenerator rnd(seed);
        storage::DataFile<MemberCU> mem(*db);
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(mem.open() && tra.open());
        storage::Transaction batch(*db);
        ASSERT_TRUE(batch.active());
        auto add = [&](qint32 acct, qint32 date, qint64 cents, qint32 type) {
            tra.clear();
            tra.rec.ACCTNUM = acct;
            tra.rec.TRANSDATE = date;
            tra.rec.TRANSAMOUNT = Decimal::fromCents(cents);
            tra.rec.TRANSTYPE = type;
            ASSERT_TRUE(tra.add());
        };
        const qint32 span = end - begin + 1;
        for (int i = 0; i < members; ++i) {
            // Not in order of entry, so the key's order is what the runs follow.
            const qint32 acct = 1000 + qint32((i * 7919) % members);
            mem.clear();
            mem.rec.ACCTNUM = acct;
            mem.rec.LASTNAME = QString("Last%1").arg(rnd.bounded(500));
            mem.rec.FIRSTNAME = QString("First%1").arg(i);
            const int kind = rnd.bounded(20);
            if (kind == 0) mem.rec.DATECLOSED = end;                          // closed on the end
            else if (kind == 1) mem.rec.DATECLOSED = end + 1;                 // closed after it
            else if (kind == 2) mem.rec.DATECLOSED = begin + rnd.bounded(span); // inside
            ASSERT_TRUE(mem.add());
            if (i % 97 == 0) {
                // The same account number twice: each member record is calculated.
                mem.rec.FIRSTNAME += "Twin";
                ASSERT_TRUE(mem.add());
            }
            if (rnd.bounded(25) == 0) continue; // no records at all
            const int records = 1 + rnd.bounded(14);
            for (int r = 0; r < records; ++r) {
                const int where = rnd.bounded(12);
                qint32 date;
                if (where == 0) date = begin;
                else if (where == 1) date = end;
                else if (where == 2) date = begin - 1;
                else if (where == 3) date = end + 1;
                else if (where == 4) date = begin - 1 - rnd.bounded(800);
                else date = begin + rnd.bounded(span);
                const int what = rnd.bounded(10);
                qint32 type = TransType::Payroll;
                qint64 cents = 1 + rnd.bounded(250000);
                if (what < 2) {
                    type = what == 0 ? TransType::Withdrawal : TransType::Tax;
                    cents = -cents - rnd.bounded(100000); // may take the account below 0
                } else if (what == 2) {
                    type = TransType::Dividend;
                    cents = 1 + rnd.bounded(5000);
                } else if (what == 3) {
                    type = TransType::CarriedBalance;
                }
                add(acct, date, cents, type);
            }
        }
        // Records of accounts nobody holds, below, between and above the members' numbers.
        for (qint32 acct : {5, 1000 + members / 2, 1000 + members + 3})
            add(acct, begin + 3, 77700, TransType::Payroll);
        ASSERT_TRUE(batch.commit());
    }
};
} // namespace

TEST_F(DividendReference, EveryEntryAndTotalEqualsTheReferenceOnAGeneratedFund) {
    const qint32 begin = day(2024, 1, 1), end = day(2024, 12, 31);
    generate(2000, begin, end, 11);
    expectSame(begin, end, "4.75");
    // Periods that start and end on other records' days, a one-day period, a rate with all its
    // places, and the earliest period there is (nothing before it counts as opening balance).
    expectSame(day(2024, 3, 1), day(2024, 9, 30), "5.125");
    expectSame(end, end, "6");
    expectSame(begin, end, "-1.5");
    expectSame(1, end, "3.3333");
}

TEST_F(DividendReference, AccountsBeyondWhatTheDatabaseSumsExactlyStillMatch) {
    // Amounts so large that a record's days to the end of a long period leave the range the
    // database multiplies exactly, although the account's balance-days do not: such an account
    // (and every one after it) is calculated record by record, as the reference does.
    const qint32 begin = day(2000, 1, 1), end = day(2030, 12, 31);
    generate(200, begin, end, 5);
    post(1050, day(2001, 1, 1), "9000000000000.00");
    post(1050, day(2001, 1, 9), "-8999999999000.00", TransType::Withdrawal);
    expectSame(begin, end, "0.01");
    // The same with that account in the lower half of the accounts rather than the upper.
    post(90000, begin + 3, "1.00");
    expectSame(begin, end, "0.01");
    // One that overflows the reference as well stops both runs on the same account.
    post(1051, day(2001, 1, 1), "9999999999999.99");
    expectSame(begin, end, "5.25");
}

TEST_F(DividendReference, SumsBeyondWholeNumbersAreNeverGivenAsExact) {
    // A record's amount times its days to the end leaves 64 bits, the account's sums do not. An
    // engine may say it could not add them exactly, or give them exactly; never approximately.
    const qint32 begin = day(2000, 1, 1), end = day(2030, 12, 31);
    generate(20, begin, end, 3);
    post(1050, day(2001, 1, 1), "9000000000000.00");
    post(1050, day(2001, 1, 9), "-8999999999123.45", TransType::Withdrawal);
    const __int128 deposit = 900000000000000, withdrawal = -899999999912345;
    const qint64 balanceDays = qint64(deposit * (end + 1 - day(2001, 1, 1)) +
                                      withdrawal * (end + 1 - day(2001, 1, 9)));
    storage::DataFile<MemberCU> mem(*db);
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(mem.open() && tra.open());
    storage::ReadSnapshot snapshot(*db);
    PeriodSums::Reader sums(*db, begin, end);
    ASSERT_TRUE(sums.open());
    const std::optional<PeriodSums::Account> a = sums.account(1050);
    ASSERT_TRUE(a);
    if (sums.exact()) {
        EXPECT_EQ(a->closing, 87655);
        EXPECT_EQ(a->balanceDays, balanceDays);
    }
    // Whichever it was, the run equals the record-by-record calculation.
    expectSame(begin, end, "5.25");
}

TEST_F(DividendReference, TheAccountsAreSummedInTwoHalvesSideBySide) {
    // What keeps the run fast on the fund's own file: the upper half of the accounts summed on a
    // second connection while this one reads the lower. A server sums on its own cores.
    const qint32 begin = day(2024, 1, 1), end = day(2024, 12, 31);
    generate(50, begin, end, 7);
    storage::DataFile<MemberCU> mem(*db);
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(mem.open() && tra.open());
    {
        PeriodSums::Reader sums(*db, begin, end);
        ASSERT_TRUE(sums.open());
        EXPECT_EQ(sums.split(), db->isSqlite());
    }
    expectSame(begin, end, "4.75");
}
