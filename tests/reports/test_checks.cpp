// Participant checks: the amount in words at its edges, a check as printed, numbering from the
// proposed number, no check written twice, a record that cannot be written, a failed read, the
// moved positions, and renumbering as one transaction.
#include "platform/inifile.h"
#include "paymenttest.h"
#include "reports/checks.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
class ChecksTest : public PaymentTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        // The pages go to the printer from the preview, as when the operator prints them.
        plainHook = ReportLogic::testHook();
        ReportLogic::testHook() = [base = plainHook](ReportRun &run) {
            base(run);
            auto preview = run.preview;
            run.preview = [preview](QStringList &files, const PreviewOptions &o) {
                preview(files, o);
                return 1;
            };
        };
        addFund();
        addMember(smith(1001));
        addMember(1002, "Jones", "Mary");
        // As a withdrawal posts them: tax and fee first, the net last, all on the day.
        withdraw(1001, day(2024, 6, 3), "1500.00", "150.00", "25.00", Clock::timeOf(10, 0));
        withdraw(1002, day(2024, 6, 4), "100.00", "0.00", "0.00", Clock::timeOf(11, 0));
        withdraw(1002, day(2024, 5, 1), "50.00", "0.00", "0.00", Clock::timeOf(11, 0)); // before
    }
    std::function<void(ReportRun &)> plainHook;
    void withdraw(qint32 acct, qint32 date, const char *gross, const char *tax, const char *fee,
                  qint32 time) {
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        auto add = [&](qint32 type, const Decimal &amount, qint32 at) {
            tra.clear();
            tra.rec.ACCTNUM = acct;
            tra.rec.TRANSDATE = date;
            tra.rec.TRANSTYPE = type;
            tra.rec.TRANSAMOUNT = -amount;
            tra.rec.TRANSTIME = at;
            ASSERT_TRUE(tra.add());
        };
        if (money(tax).sign() > 0) add(TransType::Tax, money(tax), time - 2);
        if (money(fee).sign() > 0) add(TransType::AdminFee, money(fee), time - 1);
        add(TransType::Withdrawal, money(gross) - money(tax) - money(fee), time);
    }
    void period(ParticipantChecks &c) {
        c.FROMDATE = day(2024, 6, 1);
        c.TODATE = day(2024, 6, 30);
        c.CHECKDATE = day(2024, 6, 15);
    }
    QList<qint32> numbersOnFile() {
        storage::DataFile<Check> chk(*db);
        EXPECT_TRUE(chk.open());
        QList<qint32> out;
        chk.setStart(Check::CheckNum_Key);
        while (chk.next()) out << chk.rec.CHECKNUM;
        EXPECT_FALSE(chk.failed());
        return out;
    }
    void addCheck(qint32 number, qint32 acct = 9) {
        storage::DataFile<Check> chk(*db);
        ASSERT_TRUE(chk.open());
        chk.rec.CHECKNUM = number;
        chk.rec.ACCTNUM = acct;
        chk.rec.TRANSTIME = number; // a different withdrawal each
        chk.rec.AMOUNT = money("1.00");
        chk.rec.PAYEE = QStringLiteral("Payee %1").arg(number);
        ASSERT_TRUE(chk.add());
    }
};
} // namespace

TEST(CheckWordsTest, AmountsAtTheEdges) {
    using Checks::amountInWords;
    auto m = [](const char *t) { return Decimal::fromString(t).rounded(2); };
    EXPECT_EQ(amountInWords(m("1234.56")), "One Thousand Two Hundred Thirty-Four and 56/100");
    EXPECT_EQ(amountInWords(m("0.05")), "Zero and 05/100");
    EXPECT_EQ(amountInWords(m("1000000.00")), "One Million and 00/100");
    EXPECT_EQ(amountInWords(m("19.99")), "Nineteen and 99/100");
    EXPECT_EQ(amountInWords(m("100.00")), "One Hundred and 00/100");
    EXPECT_EQ(amountInWords(m("0.00")), "Zero and 00/100");
    EXPECT_EQ(amountInWords(m("20.00")), "Twenty and 00/100");
    EXPECT_EQ(amountInWords(m("999999999.99")),
              "Nine Hundred Ninety-Nine Million Nine Hundred Ninety-Nine Thousand Nine Hundred "
              "Ninety-Nine and 99/100");
    EXPECT_EQ(amountInWords(m("2001010.10")), "Two Million One Thousand Ten and 10/100");
    // No words a check could carry.
    EXPECT_EQ(amountInWords(m("-1.00")), "");
    EXPECT_EQ(amountInWords(m("1000000000.00")), "");
}

TEST_F(ChecksTest, ACheckAsPrintedWithItsStub) {
    ParticipantChecks c(*db, dialogs);
    period(c);
    ASSERT_TRUE(c.printChecks());
    ASSERT_EQ(c.CHECKS.size(), 2);
    ASSERT_EQ(pages.size(), 2);
    const QString first = pages[0];
    QStringList lines;
    for (const QString &l : first.split('\n')) lines << l.simplified();
    EXPECT_TRUE(lines.contains("Union Pension Fund 1")) << first.toStdString();
    EXPECT_TRUE(lines.contains("06/15/2024"));
    EXPECT_TRUE(lines.contains("John Smith *******1,325.00"));
    EXPECT_TRUE(lines.contains("One Thousand Three Hundred Twenty-Five and 00/100"));
    EXPECT_TRUE(lines.contains("12 Oak Ave"));
    EXPECT_TRUE(lines.contains("Peoria, IL 61602"));
    EXPECT_TRUE(lines.contains("Account 1001"));
    EXPECT_TRUE(lines.contains("Check 1 06/15/2024 Account 1001 John Smith"));
    EXPECT_TRUE(lines.contains("Gross Withdrawal 1,500.00"));
    EXPECT_TRUE(lines.contains("Federal Tax Withheld 150.00"));
    EXPECT_TRUE(lines.contains("Administration Fee 25.00"));
    EXPECT_TRUE(lines.contains("Net Paid 1,325.00"));
    EXPECT_TRUE(pages[1].contains("One Hundred and 00/100"));
    // The May withdrawal is outside the period.
    EXPECT_FALSE(text().contains("Fifty"));
}

TEST_F(ChecksTest, NumberedFromTheProposedNumberAndNeverWrittenTwice) {
    addCheck(500);
    qint32 proposed = 0;
    ASSERT_TRUE(Checks::proposedNumber(*db, proposed));
    EXPECT_EQ(proposed, 501);
    ParticipantChecksWindow w(*db, dialogs);
    EXPECT_EQ(w.firstCheck()->text(), "501");
    w.fromDate()->setText("06/01/2024");
    w.toDate()->setText("06/30/2024");
    ASSERT_TRUE(w.print());
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{500, 501, 502}));
    EXPECT_EQ(dialogs.last().text, "Checks 501 to 502 were recorded as printed.");
    EXPECT_EQ(w.firstCheck()->text(), "503");
    {
        storage::DataFile<Check> chk(*db);
        ASSERT_TRUE(chk.open());
        chk.rec.CHECKNUM = 501;
        ASSERT_TRUE(chk.get(Check::CheckNum_Key));
        EXPECT_EQ(chk.rec.ACCTNUM, 1001);
        EXPECT_EQ(chk.rec.AMOUNT, money("1325.00"));
        EXPECT_EQ(chk.rec.PAYEE, "John Smith");
        EXPECT_EQ(chk.rec.PRINTED, Clock::today());
    }
    // Printed once: the same period again has nothing to write.
    const int before = outputs;
    ParticipantChecks again(*db, dialogs);
    period(again);
    EXPECT_FALSE(again.printChecks());
    EXPECT_TRUE(again.CHECKS.isEmpty());
    EXPECT_EQ(outputs, before);
    EXPECT_EQ(numbersOnFile().size(), 3);
}

TEST_F(ChecksTest, ANumberInUseIsRefused) {
    addCheck(11);
    ParticipantChecks c(*db, dialogs);
    period(c);
    c.FIRSTCHECK = 10; // 10 and 11 needed
    EXPECT_FALSE(c.printChecks());
    EXPECT_EQ(dialogs.last().text, "Check number 11 has been used already. The next free number is 12.");
    EXPECT_EQ(outputs, 0);
    EXPECT_EQ(numbersOnFile(), QList<qint32>{11});
}

TEST_F(ChecksTest, OnlyPreviewedRecordsNothing) {
    ReportLogic::testHook() = plainHook; // the preview is closed without printing
    ParticipantChecks c(*db, dialogs);
    period(c);
    EXPECT_FALSE(c.printChecks());
    EXPECT_EQ(outputs, 1);
    EXPECT_TRUE(numbersOnFile().isEmpty());
}

TEST_F(ChecksTest, ARefusedRecordLeavesNoneAndSaysSo) {
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "Checks", 1));
    ParticipantChecks c(*db, dialogs);
    period(c);
    EXPECT_FALSE(c.printChecks());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("The checks were printed but could not be recorded"));
    EXPECT_TRUE(dialogs.last().text.contains("void checks 1 to 2"));
    storage::faults::clear(*db);
    EXPECT_TRUE(numbersOnFile().isEmpty());
}

TEST_F(ChecksTest, ChecksAnotherStationRecordedWhileOursPrintedAreNotRecordedTwice) {
    // While our checks are at the printer, another station prints and records the same period.
    auto other = openSecond();
    ASSERT_TRUE(other);
    auto recordElsewhere = [&](qint32 number, qint32 acct, qint32 date, qint32 time) {
        storage::DataFile<Check> chk(*other);
        ASSERT_TRUE(chk.open());
        chk.rec.CHECKNUM = number;
        chk.rec.ACCTNUM = acct;
        chk.rec.TRANSDATE = date;
        chk.rec.TRANSTIME = time;
        chk.rec.AMOUNT = money("1325.00");
        ASSERT_TRUE(chk.add());
    };
    const auto printing = ReportLogic::testHook();
    ReportLogic::testHook() = [&, printing](ReportRun &run) {
        printing(run);
        auto preview = run.preview;
        run.preview = [&, preview](QStringList &files, const PreviewOptions &o) {
            recordElsewhere(900, 1001, day(2024, 6, 3), Clock::timeOf(10, 0));
            return preview(files, o);
        };
    };
    ParticipantChecks c(*db, dialogs);
    period(c);
    EXPECT_FALSE(c.printChecks());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_EQ(dialogs.last().text, "The checks were printed but could not be recorded (the withdrawal of "
                                   "account 1001 on 06/03/2024 has check 900 already). Nothing was "
                                   "recorded: void checks 1 to 2 before printing them again.");
    EXPECT_EQ(numbersOnFile(), QList<qint32>{900});

    // A number the other station took meanwhile is named as such.
    ReportLogic::testHook() = [&, printing](ReportRun &run) {
        printing(run);
        auto preview = run.preview;
        run.preview = [&, preview](QStringList &files, const PreviewOptions &o) {
            recordElsewhere(902, 7, day(2024, 6, 9), 1);
            return preview(files, o);
        };
    };
    ParticipantChecks again(*db, dialogs);
    period(again);
    again.FIRSTCHECK = 902; // free when the run began
    EXPECT_FALSE(again.printChecks());
    EXPECT_EQ(dialogs.last().text, "The checks were printed but could not be recorded (check number 902 "
                                   "was recorded by another station). Nothing was recorded: void checks "
                                   "902 to 902 before printing them again.");
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{900, 902}));
}

TEST_F(ChecksTest, AFailedReadStopsAndSaysSo) {
    storage::faults::refuseReads("Trans", 1);
    ParticipantChecks c(*db, dialogs);
    period(c);
    EXPECT_FALSE(c.printChecks());
    EXPECT_TRUE(c.stopped());
    EXPECT_EQ(outputs, 0);
    EXPECT_TRUE(dialogs.last().text.startsWith("The data files could not be read"));
    storage::faults::clear(*db);
    EXPECT_TRUE(numbersOnFile().isEmpty());
}

TEST_F(ChecksTest, PositionsMovedByTheIni) {
    const QString ini = App::iniPath("PENSION.INI");
    const Checks::Layout plain = Checks::layout(ini, nullptr);
    ASSERT_TRUE(IniFile::put(ini, "Checks", "Form", "10,-5"));
    ASSERT_TRUE(IniFile::put(ini, "Checks", "Words", "0,20"));
    ASSERT_TRUE(IniFile::put(ini, "Checks", "Memo", "left"));
    QStringList refused;
    const Checks::Layout moved = Checks::layout(ini, &refused);
    EXPECT_EQ(moved[Checks::Field::Date], plain[Checks::Field::Date] + QPoint(100, -50));
    EXPECT_EQ(moved[Checks::Field::Words], plain[Checks::Field::Words] + QPoint(100, 150));
    EXPECT_EQ(moved[Checks::Field::Memo], plain[Checks::Field::Memo] + QPoint(100, -50));
    EXPECT_EQ(refused, QStringList{"[Checks] Memo=left"});
}

TEST_F(ChecksTest, RenumberingMovesTheRunInOneTransaction) {
    for (qint32 n : {100, 101, 102, 200}) addCheck(n);
    CheckRenumber r(*db, dialogs);
    r.FROM = 100;
    r.TO = 102;
    r.NEWFIRST = 101; // overlapping its own old numbers
    ASSERT_TRUE(r.renumber());
    EXPECT_EQ(r.RENUMBERED, 3);
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{101, 102, 103, 200}));
    EXPECT_EQ(dialogs.last().text, "3 checks were renumbered 101 to 103.");
    {
        // The check that was 100 is now 101, the same payment.
        storage::DataFile<Check> chk(*db);
        ASSERT_TRUE(chk.open());
        chk.rec.CHECKNUM = 101;
        ASSERT_TRUE(chk.get(Check::CheckNum_Key));
        EXPECT_EQ(chk.rec.TRANSTIME, 100);
    }

    // Another check's number is never taken.
    r.FROM = 101;
    r.TO = 103;
    r.NEWFIRST = 198;
    EXPECT_FALSE(r.renumber());
    EXPECT_EQ(dialogs.last().text, "Check number 200 belongs to another check. Nothing was renumbered.");
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{101, 102, 103, 200}));
}

TEST_F(ChecksTest, ARefusedRenumberingLeavesTheOldNumbers) {
    for (qint32 n : {100, 101, 102}) addCheck(n);
    // The fourth write fails: half-way through, after the first pass.
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "Checks", 4));
    CheckRenumber r(*db, dialogs);
    r.FROM = 100;
    r.TO = 102;
    r.NEWFIRST = 300;
    EXPECT_FALSE(r.renumber());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(dialogs.last().text.endsWith("Every number is as it was."));
    storage::faults::clear(*db);
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{100, 101, 102}));

    r.FROM = 500;
    r.TO = 600;
    EXPECT_FALSE(r.renumber());
    EXPECT_EQ(dialogs.last().text, "There are no checks numbered 500 to 600.");
}

TEST_F(ChecksTest, RenumberWindowRefusesABadNumber) {
    addCheck(7);
    CheckRenumberWindow w(*db, dialogs);
    w.from()->setText("7");
    w.to()->setText("7");
    w.newFirst()->setText("0");
    EXPECT_FALSE(w.print());
    EXPECT_EQ(dialogs.last().text, "Enter a check number from 1 to 999999999.");
    w.newFirst()->setText("8");
    EXPECT_TRUE(w.print());
    EXPECT_EQ(numbersOnFile(), QList<qint32>{8});
}

// A voided check: its withdrawal is due a check again, it keeps its own number in a renumbering,
// and its number stays taken.
namespace {
class VoidTest : public ChecksTest {
protected:
    void setVoid(qint32 number) {
        storage::DataFile<Check> chk(*db);
        ASSERT_TRUE(chk.open());
        chk.rec.CHECKNUM = number;
        ASSERT_TRUE(chk.get(Check::CheckNum_Key));
        chk.rec.VOID = 1;
        ASSERT_TRUE(chk.put());
    }
    Check onFile(qint32 number) {
        storage::DataFile<Check> chk(*db);
        EXPECT_TRUE(chk.open());
        chk.rec.CHECKNUM = number;
        EXPECT_TRUE(chk.get(Check::CheckNum_Key)) << number;
        return chk.rec;
    }
};
} // namespace

TEST_F(VoidTest, AVoidedChecksWithdrawalGetsANewCheckOnce) {
    ParticipantChecks first(*db, dialogs);
    period(first);
    ASSERT_TRUE(first.printChecks());
    ASSERT_EQ(numbersOnFile(), (QList<qint32>{1, 2}));
    setVoid(1); // John Smith's check was spoiled

    ParticipantChecks again(*db, dialogs);
    period(again);
    ASSERT_TRUE(again.printChecks());
    ASSERT_EQ(again.CHECKS.size(), 1);
    EXPECT_EQ(again.CHECKS[0].CHECKNUM, 3) << "the void number stays used";
    EXPECT_EQ(again.CHECKS[0].ACCTNUM, 1001);
    EXPECT_EQ(again.CHECKS[0].NET, money("1325.00"));
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{1, 2, 3}));
    EXPECT_EQ(onFile(1).VOID, 1);
    EXPECT_EQ(onFile(3).VOID, 0);

    // Now it has a good check: nothing more to write.
    ParticipantChecks third(*db, dialogs);
    period(third);
    EXPECT_FALSE(third.printChecks());
    EXPECT_TRUE(third.CHECKS.isEmpty());
    EXPECT_EQ(numbersOnFile().size(), 3);
}

TEST_F(VoidTest, RenumberingLeavesVoidedChecksWithTheirNumbers) {
    for (qint32 n : {100, 101, 102, 103}) addCheck(n);
    setVoid(101);
    CheckRenumber r(*db, dialogs);
    r.FROM = 100;
    r.TO = 103;
    r.NEWFIRST = 300;
    ASSERT_TRUE(r.renumber());
    EXPECT_EQ(r.RENUMBERED, 3);
    EXPECT_EQ(dialogs.last().text, "3 checks were renumbered 300 to 302.");
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{101, 300, 301, 302}));
    EXPECT_EQ(onFile(101).VOID, 1);
    EXPECT_EQ(onFile(101).TRANSTIME, 101);
    EXPECT_EQ(onFile(301).TRANSTIME, 102) << "the good checks keep their order";

    // A void check's number is as taken as any other.
    r.FROM = 300;
    r.TO = 302;
    r.NEWFIRST = 99;
    EXPECT_FALSE(r.renumber());
    EXPECT_EQ(dialogs.last().text, "Check number 101 belongs to another check. Nothing was renumbered.");
    EXPECT_EQ(numbersOnFile(), (QList<qint32>{101, 300, 301, 302}));

    // A run of void checks only has nothing to renumber.
    r.FROM = 101;
    r.TO = 101;
    r.NEWFIRST = 500;
    EXPECT_FALSE(r.renumber());
    EXPECT_EQ(dialogs.last().text, "Checks 101 to 101 are all void; nothing was renumbered.");
}

TEST_F(VoidTest, VoidingAsksFirstAndKeepsTheCheckOnFile) {
    addCheck(7);
    CheckVoid v(*db, dialogs);
    v.CHECKNUM = 7;
    EXPECT_FALSE(v.voidCheck()) << "No is the default answer";
    const Message &q = dialogs.last();
    EXPECT_EQ(q.caption, "Void Check");
    EXPECT_TRUE(q.text.startsWith("Void check 7 to Payee 7 for 1.00?")) << q.text.toStdString();
    EXPECT_EQ(q.icon, Dlg::Question);
    EXPECT_EQ(q.defaultButton, Dlg::No);
    EXPECT_EQ(onFile(7).VOID, 0);

    dialogs.answers = {Dlg::Yes};
    EXPECT_TRUE(v.voidCheck());
    EXPECT_EQ(dialogs.last().text, "Check 7 is void.");
    const Check after = onFile(7);
    EXPECT_EQ(after.VOID, 1);
    EXPECT_EQ(after.AMOUNT, money("1.00")) << "everything else as it was";
    EXPECT_EQ(numbersOnFile(), QList<qint32>{7});

    const int asked = dialogs.shown.size();
    EXPECT_FALSE(v.voidCheck());
    EXPECT_EQ(dialogs.last().text, "Check 7 is void already.");
    EXPECT_EQ(dialogs.shown.size(), asked + 1) << "no question for a void check";
    v.CHECKNUM = 8;
    EXPECT_FALSE(v.voidCheck());
    EXPECT_EQ(dialogs.last().text, "There is no check numbered 8.");
}

TEST_F(VoidTest, ARefusedVoidingChangesNothingAndSaysSo) {
    addCheck(7);
    CheckVoid v(*db, dialogs);
    v.CHECKNUM = 7;
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "Checks", 0));
    dialogs.answers = {Dlg::Yes};
    EXPECT_FALSE(v.voidCheck());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("Check 7 could not be voided (")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith("It is as it was."));
    storage::faults::clear(*db);
    EXPECT_EQ(onFile(7).VOID, 0);

    // Another station holds the lock.
    storage::faults::refuseBegin();
    dialogs.answers = {Dlg::Yes};
    EXPECT_FALSE(v.voidCheck());
    EXPECT_TRUE(dialogs.last().text.contains(storage::faults::LockedText)) << dialogs.last().text.toStdString();
    EXPECT_EQ(onFile(7).VOID, 0);

    // A read that fails is not taken for a missing check.
    storage::faults::refuseReads("Checks");
    EXPECT_FALSE(v.voidCheck());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    storage::faults::clear(*db);
    EXPECT_EQ(onFile(7).VOID, 0);
}

TEST_F(VoidTest, TheRenumberWindowVoidsACheck) {
    addCheck(7);
    CheckRenumberWindow w(*db, dialogs);
    w.voidNumber()->setText("x");
    EXPECT_FALSE(w.voidCheck());
    EXPECT_EQ(dialogs.last().text, "Enter a check number from 1 to 999999999.");
    w.voidNumber()->setText("7");
    dialogs.answers = {Dlg::Yes};
    w.voidButton()->click();
    EXPECT_EQ(dialogs.last().text, "Check 7 is void.");
    EXPECT_EQ(onFile(7).VOID, 1);
    EXPECT_TRUE(w.voidNumber()->text().isEmpty());
}
