// Undoing a dividend posting: exactly that date's dividends (and code 2) go, nothing else.
#include "dividendtest.h"
#include "platform/storage/faults.h"
#include "ledger/undoposting.h"

namespace {
class Undo : public DividendTest {
protected:
    QList<QPair<qint32, qint32>> left() { // (type, date) of what remains, by account and date
        QList<QPair<qint32, qint32>> out;
        for (const Trans &t : transactions())
            out << qMakePair(t.TRANSTYPE, t.TRANSDATE);
        return out;
    }
};
} // namespace

TEST_F(Undo, RemovesThatDatesDividendsAndCodeTwoOnly) {
    const qint32 d = day(2008, 1, 15);
    addMember(1, "Adams");
    post(1, d - 30, "100.00");
    post(1, d, "5.00", TransType::Dividend);
    post(1, d, "1.00", TransType::Dividend);     // a second posting on the same date
    post(1, d - 1, "4.00", TransType::Dividend); // the day before stays
    post(1, d, "3.00", 2);
    post(1, d, "7.00", 3);
    post(2, d, "8.00", TransType::Dividend);
    post(2, d, "9.00", TransType::Payroll);
    post(2, d + 1, "2.00", 2);

    UndoPostingLogic l(*db, dialogs);
    l.open();
    EXPECT_EQ(l.LOC.DATE, Clock::today());
    l.LOC.DATE = d;
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(l.undo());
    EXPECT_EQ(l.removed, 4);
    ASSERT_EQ(dialogs.shown.size(), 2);
    const Message &q = dialogs.shown[0];
    EXPECT_EQ(q.caption, "Undo Dividend Posting ...");
    EXPECT_EQ(q.text, "Are You Sure You Want To Undo This Dividend Posting?");
    EXPECT_EQ(q.icon, Dlg::Warning);
    EXPECT_EQ(q.buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(q.defaultButton, Dlg::No);
    EXPECT_EQ(dialogs.shown[1].caption, "Finished ...");
    EXPECT_EQ(dialogs.shown[1].text, "Dividend Posting Removed.  Press <OK> To Continue.");
    EXPECT_EQ(dialogs.shown[1].buttons, Dlg::Ok);
    EXPECT_EQ(l.LOC.DATE, 0);
    EXPECT_TRUE(l.LOC.PERCENTAGE.isEmpty());

    using P = QPair<qint32, qint32>;
    EXPECT_EQ(left(), (QList<P>{{TransType::Payroll, d - 30},
                                {TransType::Dividend, d - 1},
                                {3, d},
                                {TransType::Payroll, d},
                                {2, d + 1}}));
}

TEST_F(Undo, NoCancelsAndAnEmptyDateStillFinishes) {
    const qint32 d = day(2008, 1, 15);
    addMember(1, "Adams");
    post(1, d, "5.00", TransType::Dividend);
    UndoPostingLogic l(*db, dialogs);
    l.open();
    l.LOC.DATE = d;
    dialogs.answers = {Dlg::No};
    EXPECT_FALSE(l.undo());
    EXPECT_EQ(dialogs.last().caption, "Undo Canceled ...");
    EXPECT_EQ(dialogs.last().text, "Undo Dividend Posting CANCELED !");
    EXPECT_EQ(l.LOC.DATE, d); // stays for another try
    EXPECT_EQ(transactions().size(), 1);

    // A date without a posting removes nothing and still says it is done.
    l.LOC.DATE = d + 1;
    dialogs.answers = {Dlg::Yes};
    EXPECT_TRUE(l.undo());
    EXPECT_EQ(l.removed, 0);
    EXPECT_EQ(dialogs.last().caption, "Finished ...");
    EXPECT_EQ(transactions().size(), 1);

    // The cleared date is refused rather than scanned for.
    const int shown = dialogs.shown.size();
    EXPECT_FALSE(l.undo());
    EXPECT_EQ(dialogs.shown.size(), shown + 1);
    EXPECT_EQ(dialogs.last().icon, Dlg::Warning);
}

TEST_F(Undo, PostingThenUndoLeavesTheHistoryAsItWas) {
    const qint32 begin = day(2007, 1, 1), end = day(2007, 12, 31);
    for (qint32 acct = 1; acct <= 40; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, day(2006, 12, 1), "1000.00");
        post(acct, day(2007, 5, 1), "250.00");
    }
    const auto before = left();
    EnterDividendsLogic calc(*db, dialogs, glo, list, report);
    calc.open();
    calc.LOC.BEGINDATE = begin;
    calc.LOC.ENDDATE = end;
    calc.LOC.DIVIDENDDATE = end;
    calc.LOC.DIVPERCENTAGE = Decimal::fromString("3");
    ASSERT_TRUE(calc.calculate());
    ASSERT_TRUE(calc.post());
    EXPECT_EQ(transactions().size(), 120);

    UndoPostingLogic undo(*db, dialogs);
    undo.open();
    undo.LOC.DATE = end;
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(undo.undo());
    EXPECT_EQ(undo.removed, 40);
    EXPECT_EQ(left(), before);
}

TEST_F(Undo, AFailedDeleteRemovesNothing) {
    if (!db->isSqlite()) GTEST_SKIP() << "the refusal is a SQLite trigger; faults::refuseWrites covers a server";
    const qint32 d = day(2008, 1, 15);
    for (qint32 acct = 1; acct <= 3; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, d, "5.00", TransType::Dividend);
    }
    ASSERT_TRUE(db->exec("CREATE TRIGGER keep BEFORE DELETE ON \"Trans\" WHEN OLD.\"ACCTNUM\" = 2 "
                         "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
    UndoPostingLogic l(*db, dialogs);
    l.LOC.DATE = d;
    dialogs.answers = {Dlg::Yes};
    EXPECT_FALSE(l.undo());
    EXPECT_EQ(transactions().size(), 3);
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_EQ(l.LOC.DATE, d);
    EXPECT_TRUE(l.LOC.PERCENTAGE.isEmpty());
}

// The date's records could not all be read, the batch could not begin, or SQLite abandoned it:
// the posting stays whole and the message names the cause.
TEST_F(Undo, AnUndoTheDatabaseRefusesRemovesNothingAndSaysWhy) {
    namespace faults = storage::faults;
    const qint32 d = day(2008, 1, 15);
    for (qint32 acct = 1; acct <= 40; ++acct) {
        addMember(acct, QString("M%1").arg(acct));
        post(acct, d, "5.00", TransType::Dividend);
    }
    UndoPostingLogic l(*db, dialogs);
    const QString failed = "The dividend posting could not be removed; nothing was removed.  Error: %1.";
    auto attempt = [&](const QString &cause) {
        l.LOC.DATE = d;
        dialogs.answers = {Dlg::Yes};
        EXPECT_FALSE(l.undo());
        faults::clear(*db);
        EXPECT_EQ(dialogs.last().text, failed.arg(cause));
        EXPECT_EQ(dialogs.last().icon, Dlg::Error);
        EXPECT_EQ(transactions().size(), 40);
        EXPECT_FALSE(db->inTransaction());
    };
    faults::refuseReads("Trans", 25, 1); // one damaged page part-way through the date
    attempt(faults::DamagedText);
    faults::refuseBegin();
    attempt(faults::LockedText);
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 10, true));
    attempt(faults::FullText);

    l.LOC.DATE = d;
    dialogs.answers = {Dlg::Yes};
    EXPECT_TRUE(l.undo());
    EXPECT_TRUE(transactions().isEmpty());
}
