// Account number and SSN changes: carried into every file that holds them and nowhere else,
// refused when the new value is taken, and all or nothing.
#include "../support/tempdata.h"
#include "ledger/changeacctnum.h"
#include "platform/storage/faults.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <functional>

namespace {
class AcctChange : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        App::setDialogs(&seat);
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
        addMember(1001, "111-22-3333", "Anderson");
        addMember(1002, "222-33-4444", "Baker");
        for (qint32 date : {100, 200, 300}) addTrans(1001, date);
        for (qint32 date : {150, 250}) addTrans(1002, date);
        addTrans(1003, 120); // an account without a member
        addLine<PayBackup>("111-22-3333", 100);
        addLine<PayBackup>("222-33-4444", 100);
        addLine<PayBackup>("111-22-3333", 200);
        addLine<PayBreak>("2", 0); // the saved payroll's header: a transaction code
        addLine<PayBreak>("111-22-3333", 300);
        addLine<PayBreak>("222-33-4444", 300);
    }
    void addMember(qint32 acct, const QString &ssn, const QString &last) {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.rec.ACCTNUM = acct, mem.rec.SSNUM = ssn, mem.rec.LASTNAME = last;
        ASSERT_TRUE(mem.add());
    }
    void addTrans(qint32 acct, qint32 date) {
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        tra.rec.ACCTNUM = acct, tra.rec.TRANSDATE = date, tra.rec.TRANSAMOUNT = Decimal::fromString("10.00");
        ASSERT_TRUE(tra.add());
    }
    template <class R> void addLine(const QString &ssn, qint32 date) {
        storage::DataFile<R> f(*db);
        ASSERT_TRUE(f.open());
        f.rec.PATNUM = ssn, f.rec.DATE = date;
        ASSERT_TRUE(f.add());
    }
    // Every file as "field=value" lines in record order, to compare before and after.
    template <class R> QStringList dump(std::function<QString(const R &)> show) {
        storage::DataFile<R> f(*db);
        f.open();
        QStringList out;
        if (f.first())
            do out << show(f.rec);
            while (f.next());
        return out;
    }
    QStringList members() {
        return dump<MemberCU>([](const MemberCU &m) { return QString("%1 %2 %3").arg(m.LASTNAME).arg(m.ACCTNUM).arg(m.SSNUM); });
    }
    QStringList trans() {
        return dump<Trans>([](const Trans &t) { return QString("%1@%2").arg(t.ACCTNUM).arg(t.TRANSDATE); });
    }
    QStringList backups() {
        return dump<PayBackup>([](const PayBackup &l) { return QString("%1@%2").arg(l.PATNUM).arg(l.DATE); });
    }
    QStringList breaks() {
        return dump<PayBreak>([](const PayBreak &l) { return QString("%1@%2").arg(l.PATNUM).arg(l.DATE); });
    }
    QStringList everything() { return members() + trans() + backups() + breaks(); }
    QStringList captions() const {
        QStringList out;
        for (const Message &m : seat.shown) out << m.caption;
        return out;
    }
    bool run(qint32 oldAcct, qint32 newAcct, const QString &oldSsn = {}, const QString &newSsn = {}) {
        AccountChange c(*db, seat);
        c.LOC.OLDACCT = oldAcct, c.LOC.NEWACCT = newAcct, c.LOC.OLDSSNUM = oldSsn, c.LOC.NEWSSNUM = newSsn;
        const bool attempted = c.change();
        counts = {c.membersChanged, c.transChanged, c.backupsChanged, c.breaksChanged};
        return attempted;
    }
    ScriptedDialogs seat;
    QList<qint64> counts;
};
} // namespace

TEST_F(AcctChange, AnAccountChangeMovesTheMemberAndAllItsTransactionsAndNothingElse) {
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001));
    ASSERT_EQ(seat.shown.size(), 2);
    const Message &ask = seat.shown[0];
    EXPECT_EQ(ask.caption, "Changing Account Number ...");
    EXPECT_EQ(ask.text, "Are you sure you wish to change the account number from #1001 to #2001 ?");
    EXPECT_EQ(ask.icon, Dlg::Warning);
    EXPECT_EQ(ask.buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(ask.defaultButton, Dlg::No);
    EXPECT_EQ(seat.last().caption, "Update Completed ....");
    EXPECT_EQ(seat.last().text, "Update of old acct # 1001 to new acct #2001 completed.");
    EXPECT_EQ(seat.last().icon, Dlg::Information);
    EXPECT_EQ(seat.last().buttons, Dlg::Ok);
    EXPECT_EQ(members(), QStringList({"Anderson 2001 111-22-3333", "Baker 1002 222-33-4444"}));
    EXPECT_EQ(trans(), QStringList({"2001@100", "2001@200", "2001@300", "1002@150", "1002@250", "1003@120"}));
    EXPECT_EQ(counts, QList<qint64>({1, 3, 0, 0}));
    // The SSN files are not touched by an account change; a negative old number is a number.
    EXPECT_EQ(backups().first(), "111-22-3333@100");
    addMember(-5, "555-55-5555", "Negative");
    addTrans(-5, 10);
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(-5, 5));
    EXPECT_TRUE(trans().contains("5@10"));
    EXPECT_TRUE(members().contains("Negative 5 555-55-5555"));
}

TEST_F(AcctChange, ChecksWrittenForTheAccountFollowIt) {
    auto addCheck = [&](qint32 number, qint32 acct) {
        storage::DataFile<Check> chk(*db);
        ASSERT_TRUE(chk.open());
        chk.rec.CHECKNUM = number, chk.rec.ACCTNUM = acct, chk.rec.TRANSDATE = 100;
        chk.rec.AMOUNT = Decimal::fromString("10.00");
        ASSERT_TRUE(chk.add());
    };
    addCheck(501, 1001);
    addCheck(502, 1002);
    addCheck(503, 1001);
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001));
    EXPECT_EQ(dump<Check>([](const Check &c) { return QString("%1:%2").arg(c.CHECKNUM).arg(c.ACCTNUM); }),
              QStringList({"501:2001", "502:1002", "503:2001"}));
}

TEST_F(AcctChange, AnSsnChangeRewritesMemberAndPayrollLinesWithoutAnAccountQuestion) {
    ASSERT_TRUE(run(0, 0, "111-22-3333", "999-99-9999")); // sorts after every SSN on file
    ASSERT_EQ(seat.shown.size(), 1);
    EXPECT_EQ(seat.last().caption, "Update Completed ....");
    EXPECT_EQ(seat.last().text, "Update of old social security #111-22-3333 to new social security #999-99-9999 completed.");
    EXPECT_EQ(members(), QStringList({"Anderson 1001 999-99-9999", "Baker 1002 222-33-4444"}));
    EXPECT_EQ(backups(), QStringList({"999-99-9999@100", "222-33-4444@100", "999-99-9999@200"}));
    EXPECT_EQ(breaks(), QStringList({"2@0", "999-99-9999@300", "222-33-4444@300"}));
    EXPECT_EQ(trans().first(), "1001@100");

    // Payroll lines of an SSN that no member has any more are still carried over.
    addLine<PayBackup>("333-00-0000", 400);
    seat.shown.clear();
    ASSERT_TRUE(run(0, 0, "333-00-0000", "333-11-1111"));
    EXPECT_EQ(captions(), QStringList({"Update Completed ...."}));
    EXPECT_EQ(backups().last(), "333-11-1111@400");
    EXPECT_EQ(counts, QList<qint64>({0, 0, 1, 0}));
}

TEST_F(AcctChange, BothAtOnceChangeOneMemberEverywhere) {
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001, "111-22-3333", "111-22-0000"));
    EXPECT_EQ(captions(), QStringList({"Changing Account Number ...", "Update Completed ....", "Update Completed ...."}));
    EXPECT_EQ(members(), QStringList({"Anderson 2001 111-22-0000", "Baker 1002 222-33-4444"}));
    EXPECT_EQ(trans().mid(0, 3), QStringList({"2001@100", "2001@200", "2001@300"}));
    EXPECT_EQ(backups(), QStringList({"111-22-0000@100", "222-33-4444@100", "111-22-0000@200"}));
    EXPECT_EQ(breaks()[1], "111-22-0000@300");
    EXPECT_EQ(counts, QList<qint64>({2, 3, 2, 1}));
}

TEST_F(AcctChange, RefusalsAndDeclinesLeaveEveryFileAsItWas) {
    const QStringList before = everything();
    // A number another member has is refused before any question.
    ASSERT_TRUE(run(1001, 1002));
    ASSERT_EQ(seat.shown.size(), 1);
    EXPECT_EQ(seat.last().caption, "Account Already Exists ...");
    EXPECT_EQ(seat.last().text, "Member Account number already exists.");
    // Declined.
    seat.shown.clear();
    seat.answers = {Dlg::No};
    ASSERT_TRUE(run(1001, 2001));
    EXPECT_EQ(captions(), QStringList({"Changing Account Number ...", "Update Canceled ..."}));
    EXPECT_EQ(seat.last().text, "Update of old account number to new account number canceled by user.");
    // An old number without a member is refused after the question; its transactions stay.
    seat.shown.clear();
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1003, 2003));
    EXPECT_EQ(captions(), QStringList({"Changing Account Number ...", "Old Account Not Found ..."}));
    EXPECT_EQ(seat.last().text, "The old account number could not be found and therefore count not be changed.");
    // An SSN another member has, named by that member's account.
    seat.shown.clear();
    ASSERT_TRUE(run(0, 0, "111-22-3333", "222-33-4444"));
    EXPECT_EQ(seat.last().caption, "SS# already exists ...");
    EXPECT_EQ(seat.last().text,
              "Social Security Number already Exists for Account # 1002.  Unable to Change Social Security Number.");
    // A new SSN typed only in part.
    seat.shown.clear();
    ASSERT_TRUE(run(0, 0, "111-22-3333", "123-45-6"));
    EXPECT_TRUE(seat.last().text.startsWith("The new Social Security Number is not complete"));
    // Half-filled parts are skipped; with nothing to do the entries are kept for completing.
    seat.shown.clear();
    EXPECT_FALSE(run(1001, 0, "", "333-33-3333"));
    EXPECT_FALSE(run(0, 2001, "111-22-3333", ""));
    EXPECT_EQ(seat.shown.size(), 2);
    EXPECT_EQ(everything(), before);
    // A refused part does not stop the other one.
    seat.shown.clear();
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 1002, "111-22-3333", "111-22-0000"));
    EXPECT_EQ(captions(), QStringList({"Account Already Exists ...", "Update Completed ...."}));
    EXPECT_EQ(members().first(), "Anderson 1001 111-22-0000");
}

TEST_F(AcctChange, AFailureHalfWayLeavesEveryFileAsItWas) {
    const QStringList before = everything();
    // The last file written refuses: member, transactions and backups are already rewritten.
    ASSERT_TRUE(db->exec("CREATE TRIGGER refuse BEFORE UPDATE ON \"PayBreak\" BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001, "111-22-3333", "111-22-0000"));
    EXPECT_EQ(captions(), QStringList({"Changing Account Number ...", "Change Account Number ...."}));
    EXPECT_EQ(seat.last().icon, Dlg::Error);
    EXPECT_TRUE(seat.last().text.contains("no member, transaction or payroll record was changed")) << seat.last().text.toStdString();
    EXPECT_TRUE(seat.last().text.contains("disk full"));
    EXPECT_EQ(counts, QList<qint64>({0, 0, 0, 0}));
    EXPECT_EQ(everything(), before);
    // Once the cause is gone the same change goes through.
    ASSERT_TRUE(db->exec("DROP TRIGGER refuse"));
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001, "111-22-3333", "111-22-0000"));
    EXPECT_EQ(members().first(), "Anderson 2001 111-22-0000");
}

// Every way the database can fail part-way: nothing changes, and the message names the cause.
TEST_F(AcctChange, ADatabaseFailureOfAnyKindLeavesEveryFileAsItWasAndSaysWhy) {
    namespace faults = storage::faults;
    const QStringList before = everything();
    const QString failed =
        "The change could not be saved; no member, transaction or payroll record was changed.  Error: %1.";
    auto attempt = [&](const QString &cause) {
        seat.shown.clear();
        seat.answers = {Dlg::Yes};
        ASSERT_TRUE(run(1001, 2001, "111-22-3333", "111-22-0000"));
        faults::clear(*db);
        EXPECT_EQ(seat.last().text, failed.arg(cause));
        EXPECT_EQ(seat.last().icon, Dlg::Error);
        EXPECT_EQ(counts, QList<qint64>({0, 0, 0, 0}));
        EXPECT_EQ(everything(), before);
        EXPECT_FALSE(db->inTransaction());
    };
    faults::refuseBegin();
    attempt(faults::LockedText);
    // The second transaction is refused and SQLite abandons the transaction.
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 1, true));
    attempt(faults::FullText);
    // The account's transactions cannot all be read: the member must not move without them.
    faults::refuseReads("Trans", 1, 1);
    attempt(faults::DamagedText);
    // Nor may the SSN change leave payroll lines it could not read behind.
    faults::refuseReads("PayBreak", 1, 1);
    attempt(faults::DamagedText);

    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001, "111-22-3333", "111-22-0000"));
    EXPECT_EQ(counts, QList<qint64>({2, 3, 2, 1}));
}

TEST_F(AcctChange, AProcessKilledHalfWayLeavesEveryFileAsItWas) {
    const QStringList before = everything();
    auto change = [&](const QStringList &extra) {
        QProcess p;
        p.start(PENSION_CHANGEACCT, QStringList{dataDir(), "1001", "2001", "111-22-3333", "111-22-0000"} + extra);
        EXPECT_TRUE(p.waitForFinished(60000));
        return p.exitCode();
    };
    // It dies with the member and its transactions rewritten and the payroll lines next.
    EXPECT_EQ(change({"die"}), 3);
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(change({}), 0);
    EXPECT_EQ(members().first(), "Anderson 2001 111-22-0000");
    EXPECT_EQ(backups().first(), "111-22-0000@100");
}

TEST_F(AcctChange, AnotherStationWorkingOnTheSameMembers) {
    std::unique_ptr<storage::Database> other = openSecond();
    ASSERT_TRUE(other);
    storage::DataFile<MemberCU> theirs(*other);
    ASSERT_TRUE(theirs.open());
    // Their form holds Anderson as read before the change...
    theirs.rec.ACCTNUM = 1001;
    ASSERT_TRUE(theirs.get(MemberCU::AcctNum_Key));
    MemberCU stale = theirs.rec;
    // ...and while our question is up they change Anderson's name: the change keeps it.
    seat.onShow = [&](const Message &m) {
        if (m.caption != "Changing Account Number ...") return;
        theirs.rec.LASTNAME = "Andersen";
        ASSERT_TRUE(theirs.put());
    };
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001));
    EXPECT_EQ(members().first(), "Andersen 2001 111-22-3333");
    // A save of what they read before cannot put the old number back.
    theirs.rec = stale;
    EXPECT_FALSE(theirs.put());
    EXPECT_EQ(storage::lastError().code, storage::RecordChanged);
    EXPECT_EQ(members().first(), "Andersen 2001 111-22-3333");

    // They give the new number to Baker while our question is up: refused, nothing written.
    const QStringList before = everything();
    seat.shown.clear();
    seat.onShow = [&](const Message &m) {
        if (m.caption != "Changing Account Number ...") return;
        theirs.clear();
        theirs.rec.ACCTNUM = 1002;
        ASSERT_TRUE(theirs.get(MemberCU::AcctNum_Key));
        theirs.rec.ACCTNUM = 3001;
        ASSERT_TRUE(theirs.put());
    };
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(2001, 3001));
    EXPECT_EQ(captions(), QStringList({"Changing Account Number ...", "Account Already Exists ..."}));
    EXPECT_EQ(trans().mid(0, 3), before.mid(2, 3));
    EXPECT_EQ(members(), QStringList({"Andersen 2001 111-22-3333", "Baker 3001 222-33-4444"}));
}

TEST_F(AcctChange, TheWindowWorksThenClearsItsEntries) {
    ChangeAcctNumWindow w(*db, seat);
    EXPECT_EQ(w.windowTitle(), "Change Account Number ....");
    EXPECT_EQ(w.changeButton()->text(), "Cha&nge");
    EXPECT_EQ(w.cancelButton()->text(), "&Cancel");
    EXPECT_FALSE(w.progress()->isVisibleTo(&w));
    QStringList prompts;
    for (QLabel *l : w.findChildren<QLabel *>())
        if (l->buddy()) prompts << l->text();
    EXPECT_EQ(prompts, QStringList({"Old Account Number:", "New Account Number:", "Old Social Security Number:",
                                    "New Social Security Number:"}));
    w.field("LOC:OLDACCT")->setText("1001");
    w.field("LOC:NEWACCT")->setText("2001");
    w.field("LOC:OLDSSNUM")->setText("111223333");
    w.field("LOC:NEWSSNUM")->setText("111220000");
    EXPECT_EQ(w.field("LOC:NEWSSNUM")->displayText(), "111-22-0000");
    // While it works the buttons are gone and the entries are off.
    seat.onShow = [&](const Message &) {
        EXPECT_FALSE(w.changeButton()->isVisibleTo(&w));
        EXPECT_FALSE(w.cancelButton()->isVisibleTo(&w));
        EXPECT_TRUE(w.progress()->isVisibleTo(&w));
        EXPECT_FALSE(w.field("LOC:OLDACCT")->isEnabled());
    };
    seat.answers = {Dlg::Yes};
    w.changeButton()->click();
    seat.onShow = nullptr;
    EXPECT_EQ(members().first(), "Anderson 2001 111-22-0000");
    for (const char *name : {"LOC:OLDACCT", "LOC:NEWACCT", "LOC:OLDSSNUM", "LOC:NEWSSNUM"}) {
        EXPECT_FALSE(w.field(name)->text().contains(QRegularExpression("\\d"))) << name; // an SSN keeps its dashes
        EXPECT_TRUE(w.field(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(w.changeButton()->isVisibleTo(&w));
    EXPECT_FALSE(w.progress()->isVisibleTo(&w));
    EXPECT_EQ(w.focusWidget(), w.cancelButton());
}

TEST_F(AcctChange, ANumberThatTransactionsWithoutAMemberUseIsRefused) {
    addTrans(1003, 130);
    const QStringList before = everything();
    // Refused before the question, naming the money and where to look after it.
    ASSERT_TRUE(run(1001, 1003));
    ASSERT_EQ(seat.shown.size(), 1);
    EXPECT_EQ(seat.last().caption, "Account Has Transactions ...");
    EXPECT_EQ(seat.last().text,
              "Account # 1003 already holds $20.00 in 2 transactions that belong to no member.  Unable to "
              "change the account number; use \"Find Missing Account Numbers\" on the Utilities menu to "
              "settle that money first.");
    EXPECT_EQ(everything(), before);

    // Money that another station posts to the new number while the question is up is found again.
    seat.shown.clear();
    seat.onShow = [&](const Message &m) {
        if (m.caption == "Changing Account Number ...") addTrans(2001, 400);
    };
    seat.answers = {Dlg::Yes};
    ASSERT_TRUE(run(1001, 2001));
    EXPECT_EQ(captions(), QStringList({"Changing Account Number ...", "Account Has Transactions ..."}));
    EXPECT_TRUE(seat.last().text.startsWith("Account # 2001 already holds $10.00 in 1 transaction that"))
        << seat.last().text.toStdString();
    EXPECT_EQ(members(), QStringList({"Anderson 1001 111-22-3333", "Baker 1002 222-33-4444"}));
    EXPECT_EQ(counts, QList<qint64>({0, 0, 0, 0}));
}
