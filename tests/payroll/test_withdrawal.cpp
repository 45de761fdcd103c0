// Withdrawals: tax, fee and net to the cent, the member rules, dates, the list and its posting.
#include "../support/tempdata.h"
#include "payroll/withdrawal.h"
#include "platform/clock.h"
#include "platform/storage/faults.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {
class Withdrawals : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
        today = Clock::dayNumber(2026, 12, 8);
        Clock::setToday(today);
        GNT().USERID = "MGR";
        storage::DataFile<CUInfo> cui(*db);
        ASSERT_TRUE(cui.open());
        cui.rec.ADMINFEE = Decimal::fromString("25.00");
        cui.rec.TAXPERC = 20;
        ASSERT_TRUE(cui.add());
        addMember(1001, "111-22-3333", "Anderson", "Mary", 0, "1500.00");
        addMember(1002, "222-33-4444", "Baker", "John", 1, "640.50");
    }
    void addMember(qint32 acct, const QString &ssn, const QString &last, const QString &first, quint8 full,
                   const char *balance) {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.rec.ACCTNUM = acct, mem.rec.SSNUM = ssn, mem.rec.LASTNAME = last, mem.rec.FIRSTNAME = first;
        mem.rec.WITHDRAWALFLAG = full;
        ASSERT_TRUE(mem.add());
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        tra.rec.ACCTNUM = acct, tra.rec.TRANSDATE = today - 30, tra.rec.TRANSAMOUNT = Decimal::fromString(balance);
        tra.rec.TRANSTYPE = TransType::Payroll;
        ASSERT_TRUE(tra.add());
    }
    QList<Trans> posted(qint32 acct) {
        QList<Trans> out;
        storage::DataFile<Trans> tra(*db);
        tra.open();
        tra.rec.ACCTNUM = acct;
        tra.set(Trans::AcctDateRevKey, 1);
        while (tra.next() && tra.rec.ACCTNUM == acct)
            if (tra.rec.TRANSTYPE != TransType::Payroll) out << tra.rec;
        return out;
    }
    WithdrawalLogic opened(bool admin = false) {
        WithdrawalLogic w(*db, dialogs, admin);
        w.open();
        return w;
    }
    qint32 today = 0;
};
} // namespace

TEST_F(Withdrawals, TheWorkedExamplePostsTaxFeeAndNetInThatOrder) {
    WithdrawalLogic w = opened();
    EXPECT_EQ(w.LOC.ADMINFEE.toString(), "25.00");
    EXPECT_EQ(w.LOC.TAXPERC.rounded(0).toString(), "20");
    EXPECT_EQ(w.LOC.WITHDATE, today);
    w.LOC.SSNUM = "111-22-3333";
    ASSERT_TRUE(w.ssnAccepted());
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "1500.00"); // the balance is proposed
    ASSERT_TRUE(w.feeFocused());
    EXPECT_EQ(w.LOC.NAME, "Anderson, Mary");
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("1000.00");
    w.LOC.DESCRIPTION = "Hardship";
    w.LOC.CODE = "7";
    ASSERT_TRUE(w.addLine());
    ASSERT_EQ(w.WITHDRAWALQUEUE.size(), 1);
    const WithdrawalLine &l = w.WITHDRAWALQUEUE.first();
    EXPECT_EQ(l.TAX.toString(), "195.00");
    EXPECT_EQ(l.ADMINFEE.toString(), "25.00");
    EXPECT_EQ(l.TOTALTOWITHDRAWAL.toString(), "780.00");
    EXPECT_EQ(l.ACCTNUM, "1001");
    EXPECT_EQ(w.LOC.GRANDTOTAL.toString(), "780.00");
    EXPECT_TRUE(w.LOC.SSNUM.isEmpty() && w.LOC.NAME.isEmpty() && w.LOC.CODE.isEmpty());
    EXPECT_EQ(w.LOC.ADMINFEE.toString(), "25.00"); // fee and rate carry over

    Clock::setClock(Clock::timeOf(10, 15));
    ASSERT_TRUE(w.post());
    EXPECT_EQ(dialogs.last().caption, "Withdrawal");
    EXPECT_EQ(dialogs.last().text, "Withdrawal Completed. Please Press <OK> Button To Continue.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Warning);
    QList<Trans> t = posted(1001);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[0].TRANSTYPE, -1);
    EXPECT_EQ(t[0].TRANSAMOUNT.toString(), "-195.00");
    EXPECT_EQ(t[0].DESC, "Withdrawal - Federal Tax");
    EXPECT_EQ(t[0].USERID, "");
    EXPECT_EQ(t[1].TRANSTYPE, -2);
    EXPECT_EQ(t[1].TRANSAMOUNT.toString(), "-25.00");
    EXPECT_EQ(t[1].DESC, "Withdrawal - Admin. Fee");
    EXPECT_EQ(t[1].USERID, "MGR");
    EXPECT_EQ(t[2].TRANSTYPE, -3);
    EXPECT_EQ(t[2].TRANSAMOUNT.toString(), "-780.00");
    EXPECT_EQ(t[2].DESC, "Hardship (Code -  7)");
    EXPECT_EQ(t[2].USERID, "");
    for (const Trans &x : t) {
        EXPECT_EQ(x.TRANSDATE, today);
        EXPECT_EQ(x.TRANSTIME, Clock::timeOf(10, 15));
        EXPECT_EQ(x.MEMBERID, 0);
    }
}

TEST_F(Withdrawals, ZeroRatesWriteOnlyTheWithdrawalAndANetOfZeroWritesNothing) {
    EXPECT_EQ(WithdrawalLogic::tax(Decimal::fromString("100.01"), Decimal::fromString("0"), Decimal::fromString("12.5")).toString(),
              "12.50"); // 12.50125 to the cent
    EXPECT_EQ(WithdrawalLogic::tax(Decimal::fromString("100.05"), Decimal::fromString("0"), Decimal::fromString("10")).toString(),
              "10.01"); // 10.005 rounds half away from zero
    WithdrawalLogic w = opened();
    w.LOC.ADMINFEE = Decimal(0, 2);
    w.LOC.TAXPERC = Decimal(0, 4);
    w.LOC.SSNUM = "111-22-3333";
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("300.00");
    ASSERT_TRUE(w.addLine());
    w.LOC.ADMINFEE = Decimal::fromString("25.00");
    w.LOC.TAXPERC = Decimal::fromString("20");
    w.LOC.SSNUM = "111-22-3333";
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("25.00"); // gross equal to the fee
    ASSERT_TRUE(w.addLine());
    EXPECT_EQ(w.WITHDRAWALQUEUE[1].TAX.toString(), "0.00");
    EXPECT_EQ(w.WITHDRAWALQUEUE[1].TOTALTOWITHDRAWAL.toString(), "0.00");
    EXPECT_EQ(w.LOC.GRANDTOTAL.toString(), "300.00");
    ASSERT_TRUE(w.post());
    QList<Trans> t = posted(1001);
    ASSERT_EQ(t.size(), 1);
    EXPECT_EQ(t[0].TRANSTYPE, -3);
    EXPECT_EQ(t[0].TRANSAMOUNT.toString(), "-300.00");
    EXPECT_EQ(t[0].DESC, " (Code -  )");
}

TEST_F(Withdrawals, AMemberFlaggedForFullWithdrawalTakesTheWholeBalance) {
    WithdrawalLogic w = opened();
    w.LOC.SSNUM = "222-33-4444";
    ASSERT_TRUE(w.ssnAccepted());
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "0.00"); // no proposal for a flagged member
    ASSERT_TRUE(w.feeFocused());
    EXPECT_EQ(w.LOC.WITHDRAWALFLAG, 1);
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "640.50");
    EXPECT_TRUE(w.fullWithdrawalForced());

    // Someone else: the box takes a fresh balance when checked and keeps the total when not.
    w.LOC.SSNUM = "111-22-3333";
    ASSERT_TRUE(w.feeFocused());
    EXPECT_FALSE(w.fullWithdrawalForced());
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("10.00");
    w.setWithdrawAll(true);
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "1500.00");
    w.setWithdrawAll(false);
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "1500.00");

    w.LOC.SSNUM = "999-99-9999";
    EXPECT_FALSE(w.ssnAccepted());
    EXPECT_FALSE(w.feeFocused());
    EXPECT_EQ(dialogs.last().caption, "Member Not Found ...");
    EXPECT_EQ(dialogs.last().text, "Member Social Security Number Not Found.  Please Re-Enter.");
}

TEST_F(Withdrawals, DatesLinesAndChecksBeforeAdding) {
    WithdrawalLogic w = opened();
    w.LOC.WITHDATE = today + 1;
    EXPECT_FALSE(w.dateAccepted());
    EXPECT_EQ(dialogs.last().caption, "Date out of range ...");
    EXPECT_EQ(dialogs.last().text, "Withdrawal date can not be greater than current date of 12/08/2026.");
    w.LOC.WITHDATE = Clock::dayNumber(2026, 11, 30);
    EXPECT_FALSE(w.dateAccepted());
    EXPECT_EQ(dialogs.last().text, "Withdrawal date must be in the same month as current date of 12/08/2026.");
    EXPECT_TRUE(opened(true).dateAccepted()); // "/admin"

    // Lines keep their own dates; tax and fee take the date in the field at posting.
    w.LOC.WITHDATE = Clock::dayNumber(2026, 12, 1);
    w.LOC.SSNUM = "111-22-3333";
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("100.00");
    ASSERT_TRUE(w.addLine());
    w.LOC.WITHDATE = Clock::dayNumber(2026, 12, 5);
    w.LOC.SSNUM = "111-22-3333";
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("200.00");
    ASSERT_TRUE(w.addLine());
    // Checks of our own: no member, nothing to withdraw, more than the balance.
    dialogs.shown.clear();
    EXPECT_FALSE(w.addLine());
    EXPECT_EQ(dialogs.last().text, "Member Social Security Number Not Found.  Please Re-Enter.");
    w.LOC.SSNUM = "111-22-3333";
    w.LOC.TOTALTOWITHDRAW = Decimal(0, 2);
    EXPECT_FALSE(w.addLine());
    EXPECT_EQ(dialogs.last().text, "The total to withdraw must be greater than zero.");
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("5000.00");
    dialogs.answers = {Dlg::No};
    EXPECT_FALSE(w.addLine());
    EXPECT_EQ(dialogs.last().text, "The total to withdraw is more than the member's balance of $1,500.00.|Add this withdrawal anyway?");
    EXPECT_EQ(w.WITHDRAWALQUEUE.size(), 2);

    w.LOC.WITHDATE = Clock::dayNumber(2026, 12, 7);
    ASSERT_TRUE(w.post());
    QList<Trans> t = posted(1001);
    ASSERT_EQ(t.size(), 6);
    QList<qint32> withdrawalDates, otherDates;
    for (const Trans &x : t) (x.TRANSTYPE == -3 ? withdrawalDates : otherDates) << x.TRANSDATE;
    EXPECT_EQ(withdrawalDates, QList<qint32>({Clock::dayNumber(2026, 12, 1), Clock::dayNumber(2026, 12, 5)}));
    EXPECT_EQ(otherDates, QList<qint32>(4, Clock::dayNumber(2026, 12, 7)));
}

TEST_F(Withdrawals, DeletingLinesAsksAndRecomputesTheGrandTotal) {
    WithdrawalLogic w = opened();
    EXPECT_FALSE(w.deleteLine(-1));
    EXPECT_EQ(dialogs.last().caption, "Error Deleting ...");
    EXPECT_EQ(dialogs.last().text, "Withdrawal List Empty.  Nothing To Delete.");
    for (const char *gross : {"100.00", "200.00"}) {
        w.LOC.SSNUM = "111-22-3333";
        w.LOC.TOTALTOWITHDRAW = Decimal::fromString(gross);
        ASSERT_TRUE(w.addLine());
    }
    EXPECT_EQ(w.LOC.GRANDTOTAL.toString(), "200.00"); // 60.00 + 140.00 net, not the gross
    EXPECT_FALSE(w.deleteLine(-1));
    EXPECT_EQ(dialogs.last().text, "Withdrawal Not Selected.  Please Select Withdrawal First.");
    dialogs.answers = {Dlg::No};
    EXPECT_FALSE(w.deleteLine(0));
    EXPECT_EQ(dialogs.shown[dialogs.shown.size() - 2].text, "Delete This Withdrawal?");
    EXPECT_EQ(dialogs.shown[dialogs.shown.size() - 2].defaultButton, Dlg::No);
    EXPECT_EQ(dialogs.last().text, "Delete Aborted.  Withdrawal Was NOT Deleted.");
    dialogs.answers = {Dlg::Yes};
    EXPECT_TRUE(w.deleteLine(0));
    EXPECT_EQ(dialogs.last().text, "Withdrawal Deleted.");
    EXPECT_EQ(w.LOC.GRANDTOTAL.toString(), "140.00");
}

TEST_F(Withdrawals, AFailedPostingWritesNothing) {
    WithdrawalLogic w = opened();
    for (const char *ssn : {"111-22-3333", "222-33-4444"}) {
        w.LOC.SSNUM = ssn;
        ASSERT_TRUE(w.feeFocused());
        if (!w.LOC.WITHDRAWALFLAG) w.LOC.TOTALTOWITHDRAW = Decimal::fromString("100.00");
        ASSERT_TRUE(w.addLine());
    }
    // The second member's withdrawal cannot be written: the first must not stay either.
    ASSERT_TRUE(db->exec("CREATE TRIGGER refuse BEFORE INSERT ON \"Trans\" WHEN NEW.\"ACCTNUM\" = 1002 "
                         "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    EXPECT_FALSE(w.post());
    EXPECT_TRUE(dialogs.last().text.startsWith("The withdrawals could not be posted; nothing was written."));
    EXPECT_TRUE(posted(1001).isEmpty());
    EXPECT_EQ(w.WITHDRAWALQUEUE.size(), 2); // the list stays for another try
}

TEST_F(Withdrawals, ABatchThatCannotBeginOrIsAbandonedWritesNothingAndSaysWhy) {
    namespace faults = storage::faults;
    WithdrawalLogic w = opened();
    for (const char *ssn : {"111-22-3333", "222-33-4444"}) {
        w.LOC.SSNUM = ssn;
        ASSERT_TRUE(w.feeFocused());
        if (!w.LOC.WITHDRAWALFLAG) w.LOC.TOTALTOWITHDRAW = Decimal::fromString("100.00");
        ASSERT_TRUE(w.addLine());
    }
    const QString failed = "The withdrawals could not be posted; nothing was written.  Error: %1.";
    // Another station held the write lock while the batch began and let go right after: the
    // tax, fee and net lines must not be written one by one, or a second try withdraws twice.
    faults::refuseBegin();
    EXPECT_FALSE(w.post());
    EXPECT_EQ(dialogs.last().text, failed.arg(faults::LockedText));
    EXPECT_TRUE(posted(1001).isEmpty());
    EXPECT_TRUE(posted(1002).isEmpty());
    EXPECT_EQ(w.WITHDRAWALQUEUE.size(), 2);

    // The fourth write fails and SQLite rolls the transaction back by itself.
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 3, true));
    EXPECT_FALSE(w.post());
    EXPECT_EQ(dialogs.last().text, failed.arg(faults::FullText));
    EXPECT_TRUE(posted(1001).isEmpty());
    EXPECT_TRUE(posted(1002).isEmpty());
    EXPECT_FALSE(db->inTransaction());
    faults::clear(*db);

    // A balance that cannot be read is not a balance of 0.00.
    faults::refuseReads("Trans");
    w.LOC.SSNUM = "111-22-3333";
    EXPECT_FALSE(w.ssnAccepted());
    EXPECT_EQ(dialogs.last().text, "The member's balance could not be read, so no amount was taken from it.  "
                                   "Error: " + faults::DamagedText + ".");
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("50.00");
    EXPECT_FALSE(w.addLine());
    EXPECT_EQ(w.WITHDRAWALQUEUE.size(), 2);
    w.LOC.SSNUM = "222-33-4444"; // flagged: the whole balance
    EXPECT_FALSE(w.feeFocused());
    faults::clear(*db);

    // Settings that cannot be read leave fee and rate blank, and the clerk is told.
    faults::refuseReads("CUInfo");
    dialogs.shown.clear();
    WithdrawalLogic unset = opened();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith("The fund settings could not be read")) << qPrintable(dialogs.last().text);
    EXPECT_TRUE(unset.LOC.ADMINFEE.isZero());
    faults::clear(*db);

    // The retry posts each line once.
    ASSERT_TRUE(w.post());
    EXPECT_EQ(posted(1001).size(), 3);
    EXPECT_EQ(posted(1002).size(), 3);
}

TEST_F(Withdrawals, TheWindowAddsTwoLinesDeletesOneAndPosts) {
    WithdrawalWindow window(*db, dialogs, false);
    window.show();
    EXPECT_TRUE(window.button("&Post")->isHidden());
    for (const char *ssn : {"111223333", "111223333"}) {
        window.field("LOC:SSNUM")->setText(ssn);
        window.acceptSsn();
        EXPECT_EQ(window.field("LOC:TOTALTOWITHDRAW")->text(), "1500.00");
        window.enterFee();
        EXPECT_EQ(window.field("LOC:NAME")->text(), "Anderson, Mary");
        window.field("LOC:TOTALTOWITHDRAW")->setText("1000.00");
        window.field("LOC:DESCRIPTION")->setText("Hardship");
        window.field("LOC:CODE")->setText("7");
        window.addLine();
    }
    EXPECT_FALSE(window.button("&Post")->isHidden());
    EXPECT_EQ(window.list()->rowCount(), 2);
    EXPECT_EQ(window.list()->item(0, 2)->text(), "$780.00");
    EXPECT_EQ(window.field("LOC:GRANDTOTAL")->text(), "$1,560.00");
    window.list()->selectRow(1);
    dialogs.answers = {Dlg::Yes};
    window.deleteLine();
    EXPECT_EQ(window.list()->rowCount(), 1);
    window.post();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(posted(1001).size(), 3);

    // A member flagged for full withdrawal: the total and the box cannot be changed.
    WithdrawalWindow second(*db, dialogs, false);
    second.show();
    second.field("LOC:SSNUM")->setText("222334444");
    second.enterFee();
    EXPECT_TRUE(second.withdrawAll()->isChecked());
    EXPECT_FALSE(second.withdrawAll()->isEnabled());
    EXPECT_FALSE(second.field("LOC:TOTALTOWITHDRAW")->isEnabled());
    EXPECT_EQ(second.field("LOC:TOTALTOWITHDRAW")->text(), "640.50");
}

TEST_F(Withdrawals, PostingChecksTheDatesAgain) {
    WithdrawalLogic w = opened();
    w.LOC.SSNUM = "111-22-3333";
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("100.00");
    ASSERT_TRUE(w.addLine());
    // A date changed without leaving the field is not taken past the posting.
    w.LOC.WITHDATE = Clock::dayNumber(2027, 1, 4);
    EXPECT_FALSE(w.post());
    EXPECT_EQ(dialogs.last().caption, "Date out of range ...");
    EXPECT_TRUE(posted(1001).isEmpty());
    EXPECT_EQ(w.WITHDRAWALQUEUE.size(), 1);
    // The month turned while the list was open: the line's own date is checked too.
    Clock::setToday(Clock::dayNumber(2027, 1, 4));
    w.LOC.WITHDATE = Clock::dayNumber(2027, 1, 4);
    EXPECT_FALSE(w.post());
    EXPECT_EQ(dialogs.last().text,
              "Withdrawal date must be in the same month as current date of 01/04/2027.");
    EXPECT_TRUE(posted(1001).isEmpty());
}

TEST_F(Withdrawals, UnderAdminEachLinesTaxAndFeeTakeItsOwnDate) {
    WithdrawalLogic w = opened(true);
    const qint32 lastYear = Clock::dayNumber(2025, 12, 30),
                 thisYear = Clock::dayNumber(2026, 12, 1);
    for (qint32 day : {lastYear, thisYear}) {
        w.LOC.WITHDATE = day;
        w.LOC.SSNUM = "111-22-3333";
        w.LOC.TOTALTOWITHDRAW = Decimal::fromString("100.00");
        ASSERT_TRUE(w.addLine());
    }
    w.LOC.WITHDATE = today;
    ASSERT_TRUE(w.post());
    QList<Trans> t = posted(1001);
    ASSERT_EQ(t.size(), 6);
    QMap<qint32, QList<qint32>> typesByDate;
    for (const Trans &x : t)
        typesByDate[x.TRANSDATE] << x.TRANSTYPE;
    EXPECT_EQ(typesByDate.keys(), QList<qint32>({lastYear, thisYear}));
    for (const QList<qint32> &types : typesByDate) {
        QList<qint32> sorted = types;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, QList<qint32>({-3, -2, -1}));
    }
}

TEST_F(Withdrawals, WithdrawalAllFollowsTheMemberInHand) {
    addMember(1003, "333-44-5555", "Carter", "Ann", 0, "200.00");
    WithdrawalLogic w = opened();
    w.LOC.SSNUM = "222-33-4444"; // must withdraw everything
    ASSERT_TRUE(w.ssnAccepted());
    ASSERT_TRUE(w.feeFocused());
    EXPECT_EQ(w.LOC.WITHDRAWALFLAG, 1);
    // On to another member: the box and the first member's balance stay behind.
    w.LOC.SSNUM = "111-22-3333";
    ASSERT_TRUE(w.ssnAccepted());
    ASSERT_TRUE(w.feeFocused());
    EXPECT_EQ(w.LOC.WITHDRAWALFLAG, 0);
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "1500.00");
    w.LOC.TOTALTOWITHDRAW = Decimal::fromString("5000.00");
    dialogs.answers = {Dlg::No};
    EXPECT_FALSE(w.addLine());
    EXPECT_EQ(dialogs.last().text, "The total to withdraw is more than the member's balance of "
                                   "$1,500.00.|Add this withdrawal anyway?");

    // A box checked by hand goes too, with the total it brought, when another member is picked.
    w.setWithdrawAll(true);
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "1500.00");
    w.memberPicked([this] {
        storage::DataFile<MemberCU> mem(*db);
        mem.open();
        mem.rec.SSNUM = "333-44-5555";
        mem.get(MemberCU::SSNum_Key);
        return mem.rec;
    }());
    ASSERT_TRUE(w.feeFocused());
    EXPECT_EQ(w.LOC.WITHDRAWALFLAG, 0);
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "0.00");
    // The same member in hand keeps the box.
    w.setWithdrawAll(true);
    ASSERT_TRUE(w.feeFocused());
    EXPECT_EQ(w.LOC.WITHDRAWALFLAG, 1);
    EXPECT_EQ(w.LOC.TOTALTOWITHDRAW.toString(), "200.00");
}

TEST_F(Withdrawals, TheTaxRateIsAWholePercentFrom0To100) {
    WithdrawalLogic w = opened();
    for (const char *rate : {"12.5", "101"}) {
        w.LOC.SSNUM = "111-22-3333";
        w.LOC.TOTALTOWITHDRAW = Decimal::fromString("100.00");
        w.LOC.TAXPERC = Decimal::fromString(rate);
        EXPECT_FALSE(w.addLine()) << rate;
        EXPECT_EQ(dialogs.last().caption, "Range Error");
        EXPECT_EQ(dialogs.last().text, "The value of Tax Percentage must be between 0 and 100.");
    }
    EXPECT_TRUE(w.WITHDRAWALQUEUE.isEmpty());
    w.LOC.TAXPERC = Decimal::fromString("100");
    ASSERT_TRUE(w.addLine());
    EXPECT_EQ(w.WITHDRAWALQUEUE[0].TAX.toString(), "75.00");

    // The entry takes only what a whole percent up to 100 can be.
    WithdrawalWindow window(*db, dialogs, false);
    QLineEdit *rate = window.field("LOC:TAXPERC");
    rate->clear();
    QTest::keyClicks(rate, "12.5");
    EXPECT_EQ(rate->text(), "12");
    rate->clear();
    QTest::keyClicks(rate, "101");
    EXPECT_EQ(rate->text(), "10");
    rate->clear();
    QTest::keyClicks(rate, "-100");
    EXPECT_EQ(rate->text(), "100");
}

TEST_F(Withdrawals, AmountsTakeNoMoreDigitsThanTheirFieldsAndNeverEndTheProgram) {
    WithdrawalWindow window(*db, dialogs, false);
    QLineEdit *total = window.field("LOC:TOTALTOWITHDRAW"), *fee = window.field("LOC:ADMINFEE");
    total->clear();
    QTest::keyClicks(total, "1000000000000.005");
    EXPECT_EQ(total->text(), "100000000.00");
    fee->clear();
    QTest::keyClicks(fee, "123456.789");
    EXPECT_EQ(fee->text(), "12345.78");

    // Text that got past the keys (pasted, set) is refused with a message, and nothing breaks.
    window.field("LOC:SSNUM")->setText("111223333");
    window.acceptSsn();
    window.enterFee();
    total->setText("1000000000000.00");
    window.addLine();
    EXPECT_EQ(dialogs.last().caption, "Range Error");
    EXPECT_EQ(
        dialogs.last().text,
        "The value of Total To Withdrawal must be a number of at most 9 digits before the point.");
    EXPECT_EQ(window.list()->rowCount(), 0);
    total->setText("100.00");
    fee->setText("99999999999999999");
    window.addLine();
    EXPECT_EQ(
        dialogs.last().text,
        "The value of Administration Fee must be a number of at most 5 digits before the point.");
    EXPECT_EQ(window.list()->rowCount(), 0);
    fee->setText("25.00");
    window.addLine();
    EXPECT_EQ(window.list()->rowCount(), 1);
}

TEST_F(Withdrawals, AnImpossibleDateIsRefusedWithAMessage) {
    WithdrawalWindow window(*db, dialogs, false);
    window.field("LOC:SSNUM")->setText("111223333");
    window.acceptSsn();
    window.enterFee();
    window.field("LOC:TOTALTOWITHDRAW")->setText("100.00");
    window.field("LOC:WITHDATE")->setText("13/01/2026");
    window.addLine();
    EXPECT_EQ(dialogs.last().caption, "Invalid Date");
    EXPECT_EQ(dialogs.last().text, "\"13/01/2026\" is not a date.  Please enter it as mm/dd/yyyy.");
    EXPECT_EQ(window.list()->rowCount(), 0);

    window.field("LOC:WITHDATE")->setText("12/08/2026");
    window.addLine();
    ASSERT_EQ(window.list()->rowCount(), 1);
    window.field("LOC:WITHDATE")->setText("12/32/2026");
    dialogs.shown.clear();
    window.post();
    ASSERT_FALSE(dialogs.shown.isEmpty());
    EXPECT_EQ(dialogs.last().caption, "Invalid Date");
    EXPECT_TRUE(posted(1001).isEmpty());
}

TEST_F(Withdrawals, TabAcceptsTheSocialSecurityNumberAsEnterDoes) {
    WithdrawalWindow window(*db, dialogs, false);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit *ssn = window.field("LOC:SSNUM");
    ssn->setFocus();
    ssn->setCursorPosition(0);
    QTest::keyClicks(ssn, "111223333");
    QTest::keyClick(ssn, Qt::Key_Tab);
    EXPECT_EQ(window.field("LOC:NAME")->text(), "Anderson, Mary");
    EXPECT_EQ(window.field("LOC:TOTALTOWITHDRAW")->text(), "1500.00");
    EXPECT_EQ(QApplication::focusWidget(), window.field("LOC:ADMINFEE"));
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // An unknown SSN is said at once, and the focus stays on it.
    ssn->setFocus();
    ssn->clear();
    ssn->setCursorPosition(0);
    QTest::keyClicks(ssn, "999999999");
    QTest::keyClick(ssn, Qt::Key_Tab);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Member Not Found ...");
    EXPECT_EQ(QApplication::focusWidget(), ssn);
}
