// The custodian exchange: the contribution file byte for byte (golden files in
// tests/toolbox/golden), the transfer of every balance with its failures, and its report.
// After a deliberate change of the file layout, regenerate the golden files with
//   PENSION_UPDATE_GOLDEN=1 build/test/bin/test_custodian --gtest_filter='Dump.*'
// and review the difference before committing it.
#include "../support/meanwhile.h"
#include "../support/golden.h"
#include "../support/tempdata.h"
#include "data/lookups.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/storage/faults.h"
#include "platform/text.h"
#include "preview/wmf2ascii.h"
#include "shell/registry.h"
#include "common/procedures.h"
#include "toolbox/custodian/schwabdump.h"
#include "toolbox/custodian/withdrawreport.h"
#include "toolbox/custodian/withdrawtoschwab.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {
qint32 day(int y, int m, int d) { return Clock::dayNumber(y, m, d); }
Decimal money(const char *text) { return Decimal::fromString(text).rounded(2); }

class Custodian : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
        Clock::setToday(day(2026, 1, 12));
        Clock::setClock(Clock::timeOf(9, 30));
    }

    MemberCU member(qint32 acct, const QString &last, const QString &first) {
        MemberCU m;
        m.ACCTNUM = acct;
        m.LASTNAME = last;
        m.FIRSTNAME = first;
        m.SSNUM = QString("%1-00-%2").arg(100 + acct % 900).arg(acct % 10000, 4, 10, QChar('0'));
        return m;
    }
    void add(const MemberCU &m) {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.rec = m;
        ASSERT_TRUE(mem.add());
    }
    void post(qint32 acct, qint32 date, const char *amount, qint32 type = TransType::Payroll) {
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        tra.rec.TRANSTYPE = type;
        ASSERT_TRUE(tra.add());
    }
    QList<Trans> transfers() {
        storage::DataFile<Trans> tra(*db);
        tra.open();
        QList<Trans> out;
        tra.setStart(Trans::AcctDateRevKey);
        while (tra.next())
            if (tra.rec.USERID == "trn") out << tra.rec;
        return out;
    }
    QStringList captions() const {
        QStringList out;
        for (const Message &m : dialogs.shown) out << m.caption;
        return out;
    }
};

// The contribution file.

class Dump : public Custodian {
protected:
    void SetUp() override {
        Custodian::SetUp();
        out = dataDir() + "/out";
        ASSERT_TRUE(QDir().mkpath(out));
        ASSERT_TRUE(IniFile::put(App::iniPath("SCHWAB.INI"), "Plan", "PlanID", "ABC"));
    }
    bool create(qint32 ending, const QString &dir = {}, const QString &name = "contrib.txt") {
        SchwabDump dump(*db, dialogs);
        dump.open();
        dump.LOC.DIRECTORYNAME = dir.isEmpty() ? out : dir;
        dump.LOC.FILENAME = name;
        dump.LOC.ENDINGDATE = ending;
        const bool done = dump.create();
        written = dump.membersWritten;
        total = dump.GRANDTOTAL;
        return done;
    }
    // Members that between them use every column and both name rules, with deposits in the
    // month, earlier and later in the year, in the year before, and other types in the month.
    void addFund() {
        MemberCU a = member(1001, "Smith, Jr", "Mary Ann");
        a.SSNUM = "123-45-6789";
        a.ADDR1 = "12 Main St, Apt 4";
        a.ADDR2 = "c/o Ruth, Smith";
        a.CITY = "Springfield";
        a.STATE = "IL";
        a.ZIP = "62704-1234";
        a.BIRTHDATE = day(1961, 3, 9);
        a.DATEJOINED = day(1990, 11, 30);
        add(a);
        post(1001, day(2025, 12, 1), "100.25");
        post(1001, day(2025, 12, 31), "50.00");
        post(1001, day(2025, 12, 15), "999.99", TransType::Dividend); // not a contribution
        post(1001, day(2025, 12, 20), "-40.00", TransType::Withdrawal);
        post(1001, day(2025, 1, 1), "10.00");   // the year's first day: year only
        post(1001, day(2025, 11, 30), "20.00"); // the month before: year only
        post(1001, day(2024, 12, 31), "1000.00"); // last year: neither
        post(1001, day(2026, 1, 1), "3000.00");   // after the ending date: neither

        add(member(1002, "O'Brien", "Pat")); // one word, no deposits, no dates

        MemberCU c = member(1003, "Lee", "Kim J");
        c.DATECLOSED = day(2025, 6, 30); // closed in the ending date's year: written
        add(c);
        post(1003, day(2025, 6, 1), "75.00");

        MemberCU d = member(1004, "Adams", "Old");
        d.DATECLOSED = day(2024, 12, 31); // closed the year before: left out
        add(d);
        post(1004, day(2025, 12, 5), "5.00");

        MemberCU e = member(1005, "Young", "Late");
        e.DATECLOSED = day(2026, 1, 5); // closed after the ending date's year: still written
        add(e);
        post(1005, day(2025, 12, 10), "1234567.89");
    }

    QString out;
    qint64 written = 0;
    Decimal total;
};
} // namespace

TEST_F(Dump, TheFileIsByteExactWithEveryColumnAndTheTrailerOnTheLastDayOfTheYear) {
    addFund();
    ASSERT_TRUE(create(day(2025, 12, 31)));
    EXPECT_EQ(dialogs.last().caption, "Done");
    EXPECT_EQ(dialogs.last().text, "Dump Completed.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Information);
    const QByteArray file = readAll(out + "/contrib.txt");
    expectGolden(file, "contribution-2025-12.txt");

    const QList<QByteArray> lines = file.split('\n');
    ASSERT_EQ(lines.size(), 6) << file.constData(); // 4 members, trailer, nothing after the last CR LF
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(lines[i].size(), 235) << i; // 234 and the CR
        EXPECT_TRUE(lines[i].endsWith('\r')) << i;
    }
    // By name: Lee, O'Brien, Smith, Young.
    const QByteArray smith = lines[2];
    EXPECT_EQ(smith.mid(0, 3), "100");
    EXPECT_EQ(smith.mid(3, 6), "ABC   ");
    EXPECT_EQ(smith.mid(9, 11), "123-45-6789");
    EXPECT_EQ(smith.mid(20, 20), QByteArray("SMITH  JR").leftJustified(20));
    EXPECT_EQ(smith.mid(40, 15), QByteArray("MARY").leftJustified(15));
    EXPECT_EQ(smith.mid(55, 1), "A");
    EXPECT_EQ(smith.mid(56, 11), "00000015025");                  // the month
    EXPECT_EQ(smith.mid(67, 11), "00000018025");                  // January to the ending date
    EXPECT_EQ(smith.mid(78, 30), QByteArray("12 Main St  Apt 4").leftJustified(30));
    EXPECT_EQ(smith.mid(108, 30), QByteArray("c/o Ruth  Smith").leftJustified(30));
    EXPECT_EQ(smith.mid(138, 30), QByteArray("Springfield").leftJustified(30));
    EXPECT_EQ(smith.mid(168, 2), "IL");
    EXPECT_EQ(smith.mid(170, 10), "62704-1234");
    EXPECT_EQ(smith.mid(180, 30), QByteArray("United States of America").leftJustified(30));
    EXPECT_EQ(smith.mid(210, 8), "03091961");
    EXPECT_EQ(smith.mid(218, 8), "11301990");
    EXPECT_EQ(smith.mid(226, 8), "        ");

    const QByteArray obrien = lines[1];
    EXPECT_EQ(obrien.mid(20, 20), QByteArray("O'BRIEN").leftJustified(20));
    EXPECT_EQ(obrien.mid(40, 16), QByteArray("PAT").leftJustified(16)); // and a blank middle initial
    EXPECT_EQ(obrien.mid(56, 22), "0000000000000000000000");
    EXPECT_EQ(obrien.mid(210, 24), QByteArray(24, ' '));

    EXPECT_EQ(lines[0].mid(20, 3), "LEE");
    EXPECT_EQ(lines[0].mid(40, 16), QByteArray("KIM").leftJustified(15) + "J");
    EXPECT_EQ(lines[0].mid(56, 22), "0000000000000000007500");
    EXPECT_EQ(lines[0].mid(226, 8), "06302025");
    EXPECT_EQ(lines[3].mid(20, 5), "YOUNG");
    EXPECT_EQ(lines[3].mid(56, 11), "00123456789");
    EXPECT_EQ(lines[3].mid(226, 8), "01052026");

    const QByteArray trailer = lines[4];
    EXPECT_EQ(trailer.left(28), "101ABC   1231202500123471814");
    EXPECT_EQ(trailer.mid(28, 206), QByteArray(206, ' '));
    EXPECT_EQ(written, 4);
    EXPECT_EQ(total, money("1234718.14"));

    // The place of the file is kept for the next time.
    IniFile ini(App::iniPath("SCHWAB.INI"));
    EXPECT_EQ(ini.value("directory", "path"), out);
    EXPECT_EQ(ini.value("Directory", "FileName"), "contrib.txt");
}

TEST_F(Dump, AMonthInsideTheYearCountsTheYearOnlyUpToItsEndingDate) {
    addFund();
    ASSERT_TRUE(create(day(2025, 6, 15), {}, "june.txt"));
    const QByteArray file = readAll(out + "/june.txt");
    expectGolden(file, "contribution-2025-06.txt");
    const QList<QByteArray> lines = file.split('\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0].mid(56, 22), "0000000750000000007500");  // Lee: June
    EXPECT_EQ(lines[2].mid(56, 22), "0000000000000000001000");  // Smith: January only
    EXPECT_EQ(lines[3].mid(56, 22), "0000000000000000000000");  // Young: December is later
    EXPECT_EQ(lines[4].left(28), "101ABC   0615202500000007500");
}

TEST_F(Dump, APathThatCannotBeWrittenIsReportedAndLeavesNoFile) {
    addFund();
    // A file where the directory should be: refused even to a privileged user.
    const QString blocker = dataDir() + "/blocker";
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_FALSE(create(day(2025, 12, 31), blocker));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Schwab Data Dump ...");
    EXPECT_TRUE(dialogs.last().text.startsWith("The dump file " + QDir::toNativeSeparators(blocker + "/contrib.txt") +
                                               " could not be written"))
        << qPrintable(dialogs.last().text);
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_FALSE(captions().contains("Done"));

    EXPECT_FALSE(create(day(2025, 12, 31), dataDir() + "/no/such/folder"));
    EXPECT_FALSE(captions().contains("Done"));
    EXPECT_FALSE(QFile::exists(dataDir() + "/no/such/folder/contrib.txt"));
}

TEST_F(Dump, AReadFailureLeavesTheFileThatWasThereAndSaysSo) {
    addFund();
    ASSERT_TRUE(create(day(2025, 12, 31)));
    const QByteArray before = readAll(out + "/contrib.txt");
    dialogs.shown.clear();
    post(1002, day(2025, 12, 3), "44.00");
    storage::faults::refuseReads("Trans", 3, 1); // part-way through the year's deposits
    EXPECT_FALSE(create(day(2025, 12, 31)));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith("The members or their transactions could not be read.  No file was written."))
        << qPrintable(dialogs.last().text);
    EXPECT_TRUE(dialogs.last().text.contains(storage::faults::DamagedText)) << qPrintable(dialogs.last().text);
    EXPECT_EQ(readAll(out + "/contrib.txt"), before);
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"contrib.txt"}); // no temporary left

    storage::faults::refuseReads("MemberCU", 2, 1);
    EXPECT_FALSE(create(day(2025, 12, 31)));
    EXPECT_FALSE(captions().contains("Done"));
    EXPECT_EQ(readAll(out + "/contrib.txt"), before);
}

TEST_F(Dump, ThePlanIdentifierComesFromTheSettingsAndMustFitItsField) {
    addFund();
    const QString ini = App::iniPath("SCHWAB.INI");
    ASSERT_TRUE(IniFile::put(ini, "Plan", "PlanID", ""));
    EXPECT_FALSE(create(day(2025, 12, 31)));
    EXPECT_TRUE(dialogs.last().text.contains("PlanID in section [Plan] of " + ini)) << qPrintable(dialogs.last().text);
    ASSERT_TRUE(IniFile::put(ini, "Plan", "PlanID", "ABCDEFG"));
    EXPECT_FALSE(create(day(2025, 12, 31)));
    EXPECT_TRUE(dialogs.last().text.contains("longer than 6 characters")) << qPrintable(dialogs.last().text);
    EXPECT_FALSE(QFile::exists(out + "/contrib.txt"));
    EXPECT_FALSE(captions().contains("Done"));

    ASSERT_TRUE(IniFile::put(ini, "plan", "planid", "XYZ123"));
    ASSERT_TRUE(create(day(2025, 12, 31)));
    EXPECT_EQ(readAll(out + "/contrib.txt").mid(3, 6), "XYZ123");

    // Without a directory or a name nothing is attempted.
    EXPECT_FALSE(create(day(2025, 12, 31), {}, ""));
    EXPECT_EQ(dialogs.last().text, "Please enter the name of the dump file.");
}

TEST_F(Dump, TheWindowOpensWithTheLastPlaceAndShowsProgressOnlyWhileWriting) {
    addFund();
    const QString ini = App::iniPath("SCHWAB.INI");
    ASSERT_TRUE(IniFile::put(ini, "DIRECTORY", "PATH", out));
    ASSERT_TRUE(IniFile::put(ini, "Directory", "filename", "last.txt"));
    auto *w = new SchwabDumpWindow(*db, dialogs);
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<SchwabDumpWindow> alive(w);
    w->show();
    EXPECT_EQ(w->windowTitle(), "Schwab Data Dump ...");
    EXPECT_EQ(w->field("GLO:DIRECTORYNAME")->text(), out);
    EXPECT_EQ(w->field("GLO:FILENAME")->text(), "last.txt");
    EXPECT_EQ(w->field("LOC:ENDINGDATE")->text(), "01/31/2026");
    EXPECT_FALSE(w->memberText()->isVisible());

    bool shownWhileWriting = false;
    const auto started = w->logic().started;
    w->logic().started = [&, started] {
        started();
        shownWhileWriting = w->memberText()->isVisible() && !w->createButton()->isEnabled();
    };
    w->field("LOC:ENDINGDATE")->setText("13/01/2025");
    w->create();
    EXPECT_EQ(dialogs.last().caption, "Invalid Date");
    EXPECT_FALSE(QFile::exists(out + "/last.txt"));

    dialogs.fileNames = {dataDir()};
    w->browse();
    EXPECT_EQ(w->field("GLO:DIRECTORYNAME")->text(), QDir::toNativeSeparators(dataDir()));
    w->field("GLO:DIRECTORYNAME")->setText(out);
    w->field("LOC:ENDINGDATE")->setText("12/31/2025");
    w->create();
    EXPECT_EQ(dialogs.last().text, "Dump Completed.");
    EXPECT_TRUE(QFile::exists(out + "/last.txt"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shownWhileWriting);
    EXPECT_TRUE(alive.isNull()); // closed after the file was made
}

// The transfer.

namespace {
class Transfer : public Custodian {
protected:
    void SetUp() override {
        Custodian::SetUp();
        report = [this](const TransferList &l) { printed << l; };
    }
    SchwabTransfer::Outcome run(qint32 withdraw, qint32 effective) {
        SchwabTransfer t(*db, dialogs, report);
        t.open();
        EXPECT_EQ(t.MOD.WITHDRAWDATE, Clock::today());
        EXPECT_EQ(t.MOD.EFFECTIVEDATE, Clock::today());
        t.MOD.WITHDRAWDATE = withdraw;
        t.MOD.EFFECTIVEDATE = effective;
        return t.run();
    }
    // Zero, negative and over-100,000 balances; money dated between the two dates; a closed
    // account.
    void addFund() {
        add(member(1, "Zero", "Al"));
        post(1, day(2025, 3, 1), "100.00");
        post(1, day(2025, 4, 1), "-100.00", TransType::Withdrawal);
        add(member(2, "Owes", "Bea"));
        post(2, day(2025, 3, 1), "-25.50", TransType::AdminFee);
        add(member(3, "Rich", "Cy"));
        post(3, day(2020, 1, 1), "100000.00", TransType::CarriedBalance);
        post(3, day(2025, 6, 1), "23456.78");
        add(member(4, "Late", "Di"));
        post(4, day(2025, 12, 31), "500.00");
        post(4, day(2026, 1, 5), "200.00"); // after the withdraw date, before the effective date
        MemberCU closed = member(5, "Gone", "Ed");
        closed.DATECLOSED = day(2024, 1, 1);
        add(closed);
        post(5, day(2023, 1, 1), "7.00", TransType::Dividend);
        add(member(6, "Empty", "Flo"));
    }
    const qint32 kWithdraw = day(2025, 12, 31), kEffective = day(2026, 1, 10);
    WithdrawReportCall report;
    QList<TransferList> printed;
};
} // namespace

TEST_F(Transfer, EveryBalanceAsOfTheWithdrawDateMovesOutOnTheEffectiveDate) {
    addFund();
    dialogs.answers = {Dlg::Yes};
    EXPECT_EQ(run(kWithdraw, kEffective), SchwabTransfer::Posted);

    ASSERT_EQ(printed.size(), 1);
    const TransferList &l = printed.first();
    EXPECT_EQ(l.WITHDRAWDATE, kWithdraw);
    EXPECT_EQ(l.EFFECTIVEDATE, kEffective);
    const QList<TransferRow> rows{{"2", money("-25.50"), "Bea Owes"},
                                  {"3", money("123456.78"), "Cy Rich"},
                                  {"4", money("500.00"), "Di Late"},
                                  {"5", money("7.00"), "Ed Gone"}};
    EXPECT_EQ(l.WITHDRAWQUEUE, rows);

    const QList<Trans> posted = transfers();
    ASSERT_EQ(posted.size(), 4);
    const char *amounts[] = {"25.50", "-123456.78", "-500.00", "-7.00"};
    for (int i = 0; i < 4; ++i) {
        const Trans &t = posted[i];
        EXPECT_EQ(t.ACCTNUM, rows[i].MEMBERNUMBER.toInt());
        EXPECT_EQ(t.TRANSAMOUNT, money(amounts[i])) << i;
        EXPECT_EQ(t.TRANSTYPE, TransType::Withdrawal);
        EXPECT_EQ(t.TRANSDATE, kEffective);
        EXPECT_EQ(t.TRANSTIME, Clock::timeOf(9, 30));
        EXPECT_EQ(t.MEMBERID, 0);
        EXPECT_EQ(t.DESC, i == 0 ? "TRANSFER TO SCHWAB (Code - S) Negative Amount" : "TRANSFER TO SCHWAB (Code - S)");
    }
    // Only the money dated after the withdraw date is left.
    Decimal balance, pre, ytd;
    ASSERT_TRUE(GETBALANCE(*db, "4", balance, pre, ytd));
    EXPECT_EQ(balance, money("200.00"));
    ASSERT_TRUE(GETBALANCE(*db, "3", balance, pre, ytd));
    EXPECT_TRUE(balance.isZero());

    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].caption, "Post Withdraws...");
    EXPECT_EQ(dialogs.shown[0].text, "Do you wish to post the withdraws?");
    EXPECT_EQ(dialogs.shown[0].icon, Dlg::Exclamation);
    EXPECT_EQ(dialogs.shown[0].buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(dialogs.shown[1].caption, "Completed ....");
    EXPECT_EQ(dialogs.shown[1].text, "The withdraws were posted to the accounts successfully.");
}

TEST_F(Transfer, NoAfterTheReportPostsNothingAndNothingListedPrintsNothing) {
    addFund();
    dialogs.answers = {Dlg::No};
    EXPECT_EQ(run(kWithdraw, kEffective), SchwabTransfer::NotPosted);
    EXPECT_EQ(printed.size(), 1);
    EXPECT_TRUE(transfers().isEmpty());
    EXPECT_EQ(dialogs.shown.size(), 1);
    // The question's default is No.
    EXPECT_EQ(dialogs.last().defaultButton, Dlg::No);

    // Before any money came in nobody has a balance.
    dialogs.shown.clear();
    EXPECT_EQ(run(day(2019, 12, 31), kEffective), SchwabTransfer::NothingToTransfer);
    EXPECT_EQ(printed.size(), 1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Print Error...");
    EXPECT_EQ(dialogs.last().text, "Nothing To Print");
    EXPECT_TRUE(transfers().isEmpty());
}

TEST_F(Transfer, AFailedPostingLeavesEveryAccountAsItWasAndSaysSo) {
    addFund();
    auto failsWithNothingPosted = [&](const char *what) {
        dialogs.shown.clear();
        dialogs.answers = {Dlg::Yes};
        EXPECT_EQ(run(kWithdraw, kEffective), SchwabTransfer::PostFailed) << what;
        EXPECT_TRUE(transfers().isEmpty()) << what;
        ASSERT_FALSE(dialogs.shown.isEmpty());
        EXPECT_EQ(dialogs.last().caption, "Error Adding Trans ....") << what;
        EXPECT_TRUE(dialogs.last().text.startsWith("Unable to make withdraws.  Please contact Technical Support."));
        EXPECT_TRUE(dialogs.last().text.contains("No withdraw was posted")) << qPrintable(dialogs.last().text);
        EXPECT_FALSE(captions().contains("Completed ....")) << what;
        storage::faults::clear(*db);
    };
    // The third add is refused; the two before it go back with it.
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "Trans", 2));
    failsWithNothingPosted("refused write");
    EXPECT_TRUE(dialogs.last().text.contains(storage::faults::FullText)) << qPrintable(dialogs.last().text);
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "Trans", 1, true));
    failsWithNothingPosted("abandoned transaction");
    storage::faults::refuseBegin();
    failsWithNothingPosted("begin refused");
    EXPECT_TRUE(dialogs.last().text.contains(storage::faults::LockedText)) << qPrintable(dialogs.last().text);

    // Nothing was left behind: the next run posts everything.
    dialogs.answers = {Dlg::Yes};
    EXPECT_EQ(run(kWithdraw, kEffective), SchwabTransfer::Posted);
    EXPECT_EQ(transfers().size(), 4);
}

TEST_F(Transfer, ABalanceThatCannotBeReadStopsBeforeAnythingIsPrinted) {
    addFund();
    storage::faults::refuseReads("Trans", 2, 1);
    EXPECT_EQ(run(kWithdraw, kEffective), SchwabTransfer::ReadFailed);
    EXPECT_TRUE(printed.isEmpty());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Withdraw To Schwab ...");
    EXPECT_TRUE(dialogs.last().text.startsWith("The members' balances could not be read; nothing was listed or posted."));
    EXPECT_TRUE(transfers().isEmpty());

    storage::faults::refuseReads("MemberCU", 3, 1);
    dialogs.shown.clear();
    EXPECT_EQ(run(kWithdraw, kEffective), SchwabTransfer::ReadFailed);
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(Transfer, MoneyPostedAfterThePrintoutIsNotTransferredBlindly) {
    addFund();
    auto second = openSecond();
    ASSERT_TRUE(second);
    dialogs.onShow = [&](const Message &m) {
        if (m.caption != "Post Withdraws...") return;
        storage::DataFile<Trans> tra(*second);
        ASSERT_TRUE(tra.open());
        tra.rec.ACCTNUM = 6;
        tra.rec.TRANSDATE = day(2025, 12, 30);
        tra.rec.TRANSAMOUNT = money("10.00");
        tra.rec.TRANSTYPE = TransType::Payroll;
        ASSERT_TRUE(tra.add());
    };
    dialogs.answers = {Dlg::Yes};
    EXPECT_EQ(run(kWithdraw, kEffective), SchwabTransfer::PostFailed);
    EXPECT_TRUE(transfers().isEmpty());
    EXPECT_EQ(dialogs.last().caption, "Error Adding Trans ....");
    EXPECT_TRUE(dialogs.last().text.contains("The balances changed after the list was printed"));
}

TEST_F(Transfer, TheReportListsTheRowsTheDatesAndTheSumInFull) {
    TransferList l;
    l.WITHDRAWDATE = kWithdraw;
    l.EFFECTIVEDATE = kEffective;
    l.WITHDRAWQUEUE = {{"2", money("-25.50"), "Bea Owes"},
                       {"3", money("123456.78"), "Cy Rich"},
                       {"7", money("987654321.09"), "Gus Whale"}};
    WithdrawReport rpt(dialogs, l);
    ReportRun run(dialogs);
    rpt.prepare(run);
    QStringList text;
    run.preview = [&](QStringList &files, const PreviewOptions &) {
        for (const QString &f : files)
            for (const QByteArray &line : pagetext::lines(f, 0)) text << QString::fromLatin1(line).simplified();
        return 0;
    };
    run.print = [](const QStringList &) { return true; };
    dialogs.answers = {1}; // preview
    EXPECT_EQ(run.run(), ReportRun::Previewed);
    EXPECT_EQ(run.name, "WithdrawReport");
    const QString all = text.join('\n');
    EXPECT_EQ(text.value(0), "Schwab Withdraw Report Page: 1") << qPrintable(all);
    EXPECT_EQ(text.value(1), "Withdraw Date: 12/31/2025 Effective Date: 01/10/2026") << qPrintable(all);
    EXPECT_EQ(text.value(2), "Account Number Member Name Withdraw Amount") << qPrintable(all);
    EXPECT_EQ(text.value(3), "2 Bea Owes -$25.50");
    EXPECT_EQ(text.value(4), "3 Cy Rich $123,456.78");
    EXPECT_EQ(text.value(5), "7 Gus Whale $987,654,321.09");
    EXPECT_EQ(text.value(6), "$987,777,752.37");
    EXPECT_TRUE(text.value(7).startsWith("01/12/2026")) << qPrintable(all);
    EXPECT_EQ(rpt.TOTAL, money("987777752.37"));
    // Wider than the column's 17 places: still in full.
    EXPECT_EQ(SchwabTransfer::amountText(money("-9876543210.99")), "-$9,876,543,210.99");
    EXPECT_EQ(SchwabTransfer::amountText(money("-1.00")).size(), 17);
}

TEST_F(Transfer, TheWindowChecksItsDatesAndClosesAfterTheRun) {
    addFund();
    WithdrawToSchwabWindow w(*db, dialogs, report);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Withdraw To Schwab ...");
    EXPECT_EQ(w.withdrawDate()->text(), "01/12/2026");
    EXPECT_EQ(w.effectiveDate()->text(), "01/12/2026");
    EXPECT_FALSE(w.processingText()->isVisible());
    w.withdrawDate()->setText("02/30/2025");
    w.ok();
    EXPECT_EQ(dialogs.last().caption, "Invalid Date");
    EXPECT_TRUE(printed.isEmpty());
    EXPECT_EQ(w.result(), QDialog::Rejected);

    w.withdrawDate()->setText("12/31/2025");
    w.effectiveDate()->setText("01/10/2026");
    dialogs.answers = {Dlg::No};
    w.ok();
    ASSERT_EQ(printed.size(), 1);
    EXPECT_EQ(printed.first().WITHDRAWDATE, kWithdraw);
    EXPECT_EQ(printed.first().EFFECTIVEDATE, kEffective);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(w.okButton()->isEnabled());
    EXPECT_FALSE(w.processingText()->isVisible());
}

TEST(CustodianMenu, TheFrameStartsTheCustodianProcedures) {
    registerProcedures();
    EXPECT_TRUE(Procedures::has("SCHWABDUMP"));
    EXPECT_TRUE(Procedures::has("WITHDRAWTOSCHWAB"));
}

TEST_F(Dump, AnotherStationsPostingDuringTheRunIsInNoneOfTheFile) {
    addFund();
    ASSERT_TRUE(create(day(2025, 12, 31)));
    const QByteArray alone = readAll(out + "/contrib.txt");
    const Decimal aloneTotal = total;

    auto other = openSecond();
    ASSERT_TRUE(other);
    bool posted = false;
    depositMeanwhile(*other, "MemberCU", 1, {{1001, day(2025, 12, 2), "1.00"}, {1005, day(2025, 12, 2), "1.00"}},
                     posted);
    ASSERT_TRUE(create(day(2025, 12, 31)));
    storage::faults::clear(*db);
    ASSERT_TRUE(posted);
    EXPECT_EQ(total, aloneTotal);
    EXPECT_EQ(readAll(out + "/contrib.txt"), alone);

    ASSERT_TRUE(create(day(2025, 12, 31)));
    EXPECT_EQ(total, aloneTotal + Decimal::fromString("2.00"));
}
