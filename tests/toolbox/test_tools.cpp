// The maintenance tools: the name and address dump byte for byte, the purge (all or nothing,
// even when killed), the search for transactions without a member and the remittance viewer.
#include "../support/meanwhile.h"
#include "../support/tempdata.h"
#include "common/procedures.h"
#include "common/windowstate.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/launcher.h"
#include "platform/storage/faults.h"
#include "shell/registry.h"
#include "toolbox/toolboxglobals.h"
#include "toolbox/tools/missingaccounts.h"
#include "toolbox/tools/namedump.h"
#include "toolbox/tools/purge.h"
#include "toolbox/tools/uarsdownload.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>

namespace {
class Tools : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        ASSERT_TRUE(db->create(MemberCU::layout().def()));
        ASSERT_TRUE(db->create(Trans::layout().def()));
        Clock::setToday(today);
        Clock::setClock(Clock::timeOf(10, 30));
        GNT().USERID = "ABC";
    }
    void TearDown() override {
        Launcher::setRunner(nullptr);
        GNT() = XXGloNoTh();
        DataTest::TearDown();
    }
    MemberCU member(qint32 acct, const QString &last, const QString &first = "Ann", qint32 closed = 0) {
        storage::DataFile<MemberCU> mem(*db);
        EXPECT_TRUE(mem.open());
        mem.rec.ACCTNUM = acct;
        mem.rec.LASTNAME = last;
        mem.rec.FIRSTNAME = first;
        mem.rec.SSNUM = QString("123-45-%1").arg(acct % 10000, 4, 10, QChar('0'));
        mem.rec.DATECLOSED = closed;
        EXPECT_TRUE(mem.add());
        return mem.rec;
    }
    void trans(qint32 acct, qint32 date, const char *amount, qint32 type = TransType::Payroll) {
        storage::DataFile<Trans> tra(*db);
        EXPECT_TRUE(tra.open());
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        tra.rec.TRANSTYPE = type;
        tra.rec.DESC = "Deposit";
        EXPECT_TRUE(tra.add());
    }
    // "account date amount type desc" of every transaction in account and date order.
    QStringList history() {
        storage::DataFile<Trans> tra(*db);
        EXPECT_TRUE(tra.open());
        QStringList out;
        tra.setStart(Trans::AcctDateRevKey);
        while (tra.next())
            out << QString("%1 %2 %3 %4 %5")
                       .arg(tra.rec.ACCTNUM)
                       .arg(Clock::toQDate(tra.rec.TRANSDATE).toString("MM/dd/yyyy"))
                       .arg(tra.rec.TRANSAMOUNT.toString())
                       .arg(tra.rec.TRANSTYPE)
                       .arg(tra.rec.DESC);
        EXPECT_FALSE(tra.failed());
        return out;
    }
    QStringList members() {
        storage::DataFile<MemberCU> mem(*db);
        EXPECT_TRUE(mem.open());
        QStringList out;
        mem.setStart(MemberCU::AcctNum_Key);
        while (mem.next())
            out << QString("%1 %2 %3 %4").arg(mem.rec.ACCTNUM).arg(mem.rec.SSNUM, mem.rec.LASTNAME).arg(mem.rec.LOCALCODE);
        return out;
    }
    QString path(const QString &name) const { return QDir(dataDir()).filePath(name); }
    static QByteArray read(const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    const qint32 today = Clock::dayNumber(2026, 12, 8);
    const qint32 jun30 = Clock::dayNumber(2025, 6, 30), jul1 = Clock::dayNumber(2025, 7, 1);
    const qint32 mar1 = Clock::dayNumber(2024, 3, 1);
};

// ---- Name and address dump

class Dump : public Tools {
protected:
    // Every column filled, a closed member, two Smiths, a member without dates or transactions.
    void fill() {
        MemberCU m = member(501, "Smith", "Zoe");
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.rec.ACCTNUM = 501;
        ASSERT_TRUE(mem.get(MemberCU::AcctNum_Key));
        mem.rec.ADDR1 = "12 Long Street";
        mem.rec.ADDR2 = "Apt 3";
        mem.rec.CITY = "Springfield";
        mem.rec.STATE = "IL";
        mem.rec.ZIP = "62704-1234";
        mem.rec.BIRTHDATE = Clock::dayNumber(1960, 2, 29);
        mem.rec.DATEJOINED = Clock::dayNumber(1985, 10, 1);
        mem.rec.LOCALCODE = 565;
        ASSERT_TRUE(mem.put());
        member(77, "Smith", "Adam");
        member(9000001, "Closed", "Carl", Clock::dayNumber(2020, 1, 15));
        member(12, "Young", "Yves");
        trans(501, mar1, "1234567.89");
        trans(501, jun30, "-34567.80");
        trans(501, jul1, "999.00"); // after the balance date: not counted
        trans(77, mar1, "-25.50");
        trans(9000001, mar1, "100.00");
    }
};

TEST_F(Dump, EveryColumnWithBalancesAndClosedMembersMatchesTheGoldenFile) {
    fill();
    NameAddressDump dump(*db, dialogs);
    dump.LOC.columns.setAll(true);
    dump.LOC.CLOSEDACCOUNTS = dump.LOC.BALANCES = true;
    dump.LOC.BALANCEDATE = jun30;
    QList<int> percentages;
    dump.changed = [&] { percentages << dump.LOC.PERCENTAGE; };
    const QString file = path("members.dmp");
    ASSERT_TRUE(dump.createDumpFile(file));
    EXPECT_EQ(dialogs.last().caption, "Done ...");
    EXPECT_EQ(dialogs.last().text, "Dump Completed.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Exclamation);
    EXPECT_EQ(percentages, QList<int>({25, 50, 75, 100}));
    EXPECT_EQ(dump.LOC.NAME, "Yves Young");

    const QString golden = QString(PENSION_TOOLS_GOLDEN_DIR) + "/namedump.dmp";
    const QByteArray written = read(file);
    if (qEnvironmentVariableIntValue("PENSION_UPDATE_GOLDEN") == 1) {
        QFile g(golden);
        ASSERT_TRUE(g.open(QIODevice::WriteOnly));
        g.write(written);
    }
    EXPECT_EQ(written, read(golden));
    // Name order; every line 308 characters and CR LF; the balance right-aligned in 20 of 25.
    const QList<QByteArray> lines = written.split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines.last().isEmpty());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[i].size(), 309) << i;
        EXPECT_TRUE(lines[i].endsWith('\r'));
    }
    EXPECT_EQ(lines[1].mid(0, 10), "77        ");
    EXPECT_EQ(lines[2].mid(0, 10), "501       ");
    EXPECT_EQ(lines[2].mid(222, 11), "123-45-0501");
    EXPECT_EQ(lines[2].mid(233, 10), "02/29/1960");
    EXPECT_EQ(lines[2].mid(253, 10), "565       ");
    EXPECT_EQ(lines[2].mid(263, 10), "          "); // no date closed: blanks
    EXPECT_EQ(lines[2].mid(273, 10), "06/30/2025");
    EXPECT_EQ(lines[2].mid(283, 25), "        1,200,000.09     ");
    EXPECT_EQ(lines[1].mid(283, 20), "              -25.50");
    EXPECT_EQ(lines[3].mid(283, 20), "                0.00"); // no transactions
    EXPECT_EQ(lines[0].mid(263, 10), "01/15/2020");
}

TEST_F(Dump, NoSwitchOnGivesBlankLinesAndClosedMembersAreLeftOut) {
    fill();
    NameAddressDump dump(*db, dialogs);
    const QString file = path("blank.dmp");
    ASSERT_TRUE(dump.createDumpFile(file));
    EXPECT_EQ(dump.membersWritten, 3);
    EXPECT_EQ(read(file), (QByteArray(308, ' ') + "\r\n").repeated(3));
}

TEST_F(Dump, AFileThatCannotBeWrittenIsReportedNotCompleted) {
    fill();
    NameAddressDump dump(*db, dialogs);
    EXPECT_FALSE(dump.createDumpFile(path("no/such/folder/x.dmp")));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("The dump file ")) << dialogs.last().text.toStdString();
    EXPECT_FALSE(dump.createDumpFile(QString()));
    EXPECT_NE(dialogs.last().text, "Dump Completed.");
}

TEST_F(Dump, AFailedBalanceReadLeavesTheEarlierFileAsItWas) {
    fill();
    const QString file = path("members.dmp");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier dump\r\n");
    }
    NameAddressDump dump(*db, dialogs);
    dump.LOC.BALANCES = true;
    dump.LOC.BALANCEDATE = jun30;
    storage::faults::refuseReads("Trans", 1);
    EXPECT_FALSE(dump.createDumpFile(file));
    EXPECT_TRUE(dialogs.last().text.contains("could not be read")) << dialogs.last().text.toStdString();
    EXPECT_EQ(read(file), "earlier dump\r\n");
    // A failed member read as well.
    storage::faults::refuseReads("MemberCU", 2);
    EXPECT_FALSE(dump.createDumpFile(file));
    EXPECT_EQ(read(file), "earlier dump\r\n");
}

TEST_F(Dump, TheWindowSwitchesColumnsAndShowsTheBalanceDateOnlyWithBalances) {
    fill();
    ToolboxGLO().FILENAME = path("last.dmp");
    NameAddressDumpWindow w(*db, dialogs);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Name And Address Dump ....");
    EXPECT_EQ(w.fileName()->text(), path("last.dmp"));
    EXPECT_FALSE(w.balanceDate()->isVisible());
    w.findChild<QCheckBox *>("LOC:CLOSEDACCOUNTS")->setChecked(true);
    w.setAll(true);
    EXPECT_TRUE(w.check("LOC:SSNUM")->isChecked());
    EXPECT_TRUE(w.findChild<QCheckBox *>("LOC:CLOSEDACCOUNTS")->isChecked());
    w.setAll(false);
    EXPECT_FALSE(w.check("LOC:ACCTNUM")->isChecked());
    EXPECT_TRUE(w.findChild<QCheckBox *>("LOC:CLOSEDACCOUNTS")->isChecked());
    w.findChild<QCheckBox *>("LOC:BALANCES")->setChecked(true);
    EXPECT_TRUE(w.balanceDate()->isVisible());
    EXPECT_EQ(w.balanceDate()->text(), "12/08/2026");
    w.check("LOC:ACCTNUM")->setChecked(true);
    dialogs.fileNames = {path("chosen.dmp")};
    w.browse();
    EXPECT_EQ(ToolboxGLO().FILENAME, path("chosen.dmp"));
    w.create();
    const QList<QByteArray> lines = read(path("chosen.dmp")).split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[2].left(10), "501       ");
    EXPECT_EQ(lines[2].mid(273, 10), "12/08/2026");
    EXPECT_EQ(lines[2].mid(283, 20), "        1,200,999.09");
    ToolboxGLO() = ToolboxGlobals();
}

// ---- Purge

class Purging : public Tools {
protected:
    void fill() {
        member(10, "Adams");
        member(20, "Baker");
        member(30, "Clark"); // no transactions
        trans(10, mar1, "100.00");
        trans(10, jun30, "50.25");  // on the purge date: deleted and carried
        trans(10, jul1, "7.00");    // the day after: stays
        trans(20, mar1, "-40.00");
        trans(99, mar1, "5.00"); // an account without a member is not touched
    }
    QStringList before;
};

TEST_F(Purging, CarriesTheBalanceOfThePurgeDateAndKeepsWhatFollows) {
    fill();
    Purge purge(*db, dialogs);
    EXPECT_EQ(purge.LOC.ENDDATE, today);
    EXPECT_EQ(purge.LOC.BEGINSTRING, "Begining Balance");
    purge.LOC.ENDDATE = jun30;
    QStringList progress;
    purge.changed = [&] { progress << purge.LOC.PERCENTAGE; };
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(purge.purge());
    EXPECT_EQ(dialogs.shown[0].buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(dialogs.shown[0].defaultButton, Dlg::No);
    EXPECT_EQ(dialogs.last().caption, "Complete ...");
    EXPECT_EQ(dialogs.last().text, "Purge Completed.");
    EXPECT_EQ(progress, QStringList({"0%", "33%", "66%"}));
    EXPECT_EQ(purge.transactionsDeleted, 3);
    EXPECT_EQ(history(), QStringList({"10 07/01/2025 7.00 -4 Deposit", "10 07/01/2025 150.25 -6 Begining Balance",
                                      "20 07/01/2025 -40.00 -6 Begining Balance",
                                      "30 07/01/2025 0.00 -6 Begining Balance", "99 03/01/2024 5.00 -4 Deposit"}));
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    tra.rec.ACCTNUM = 30;
    tra.set(Trans::Acct_Key, 1);
    ASSERT_TRUE(tra.next());
    EXPECT_EQ(tra.rec.USERID, "ABC");
    EXPECT_EQ(tra.rec.MEMBERID, 0);
    EXPECT_EQ(tra.rec.TRANSTIME, Clock::timeOf(10, 30));

    // Again with the same date: nothing to delete, one more carry-forward of 0.00 each.
    Purge again(*db, dialogs);
    again.LOC.ENDDATE = jun30;
    again.LOC.BEGINSTRING = "Carried";
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(again.purge());
    EXPECT_EQ(again.transactionsDeleted, 0);
    EXPECT_EQ(history().filter("0.00 -6 Carried").size(), 3);
    EXPECT_EQ(history().size(), 8);
}

TEST_F(Purging, AFutureDateAndNoAnswerChangeNothing) {
    fill();
    before = history();
    Purge purge(*db, dialogs);
    purge.LOC.ENDDATE = today + 1;
    EXPECT_FALSE(purge.purge());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text,
              "The purge date 12/09/2026 lies after today.  Only transactions up to today can be purged.");
    // Today itself may be purged; without a backup it asks, and No is the default.
    purge.LOC.ENDDATE = today;
    EXPECT_FALSE(purge.purge());
    EXPECT_EQ(dialogs.last().text, "No backup was made in this window.|Purge the data all the same?");
    EXPECT_EQ(history(), before);
}

TEST_F(Purging, ABalanceThatCannotBeReadStopsThePurgeAndChangesNothing) {
    fill();
    before = history();
    Purge purge(*db, dialogs);
    purge.LOC.ENDDATE = jun30;
    storage::faults::refuseReads("Trans", 0, 1);
    dialogs.answers = {Dlg::Yes};
    EXPECT_FALSE(purge.purge());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_EQ(dialogs.last().text,
              "The purge was stopped; no transaction was deleted or added.|The balance of account 10 could "
              "not be read: database disk image is malformed.");
    EXPECT_EQ(history(), before);
    // A failure further on, in the middle of the walk, is no different.
    for (int after : {2, 4, 6}) {
        storage::faults::refuseReads("Trans", after);
        dialogs.answers = {Dlg::Yes};
        EXPECT_FALSE(purge.purge()) << after;
        EXPECT_TRUE(dialogs.last().text.startsWith("The purge was stopped;")) << after;
        storage::faults::clear(*db);
        EXPECT_EQ(history(), before) << after;
    }
    storage::faults::refuseReads("MemberCU", 1);
    dialogs.answers = {Dlg::Yes};
    EXPECT_FALSE(purge.purge());
    EXPECT_EQ(dialogs.last().text, "The purge was stopped; no transaction was deleted or added.|The members "
                                   "could not be read: database disk image is malformed.");
    storage::faults::clear(*db);
    EXPECT_EQ(history(), before);
    EXPECT_EQ(purge.membersDone, 0);
}

TEST_F(Purging, ARefusedWriteLeavesTheWholeHistory) {
    fill();
    before = history();
    for (int after : {0, 2, 4}) {
        ASSERT_TRUE(storage::faults::refuseWrites(*db, "Trans", after));
        Purge purge(*db, dialogs);
        purge.LOC.ENDDATE = jun30;
        dialogs.answers = {Dlg::Yes};
        EXPECT_FALSE(purge.purge()) << after;
        EXPECT_TRUE(dialogs.last().text.contains("database or disk is full")) << dialogs.last().text.toStdString();
        EXPECT_EQ(history(), before) << after;
    }
    // Another station holding the lock: refused before anything is written.
    storage::faults::clear(*db);
    storage::faults::refuseBegin();
    Purge purge(*db, dialogs);
    purge.LOC.ENDDATE = jun30;
    dialogs.answers = {Dlg::Yes};
    EXPECT_FALSE(purge.purge());
    EXPECT_EQ(dialogs.last().text,
              "The purge was stopped; no transaction was deleted or added.|The purge could not be saved: "
              "database is locked.");
    EXPECT_EQ(history(), before);
}

TEST_F(Purging, TheBackupRunsTheConfiguredCommandAndWaitsForIt) {
    fill();
    QStringList ran;
    int exitCode = 3;
    Launcher::setRunner([&](const QString &command) {
        ran << command;
        return exitCode;
    });
    ASSERT_TRUE(IniFile::put(pensionIniPath(), "Programs", "Backup", "BACKUP.BAT"));
    Purge purge(*db, dialogs);
    EXPECT_FALSE(purge.backup());
    EXPECT_EQ(ran, QStringList({"BACKUP.BAT"}));
    EXPECT_EQ(dialogs.last().text,
              "The backup did not complete (the command \"BACKUP.BAT\" ended with code 3).  No backup has been made.");
    EXPECT_FALSE(purge.backupMade());
    exitCode = 0;
    ASSERT_TRUE(purge.backup());
    // With a backup made in this window the purge asks nothing more.
    const qsizetype shown = dialogs.shown.size();
    purge.LOC.ENDDATE = jun30;
    ASSERT_TRUE(purge.purge());
    EXPECT_EQ(dialogs.shown.size(), shown + 1);
    EXPECT_EQ(dialogs.last().text, "Purge Completed.");
}

TEST_F(Purging, TheBackupProgramRunsToItsEndAndItsFailureIsReported) {
    fill();
    // Without a setting the purge runs our backup program over the data directory.
    QStringList ran;
    Launcher::setRunner([&](const QString &command) {
        ran << command;
        return 0;
    });
    Purge purge(*db, dialogs);
    ASSERT_TRUE(purge.backup());
    ASSERT_EQ(ran.size(), 1);
    EXPECT_TRUE(ran[0].contains("pension-backup\" \"" + QDir(dataDir()).absolutePath() + "\"")) << ran[0].toStdString();
    Launcher::setRunner(nullptr);

    // The real program, named in PENSION.INI: the copy exists once the backup returns.
    const QString target = path("copy.db");
    ASSERT_TRUE(IniFile::put(pensionIniPath(), "Programs", "Backup",
                             QString("\"%1\" \"%2\" \"%3\"").arg(PENSION_BACKUP, dataDir(), target)));
    ASSERT_TRUE(purge.backup()) << dialogs.last().text.toStdString();
    EXPECT_TRUE(QFile::exists(target));
    // Run again it refuses to overwrite its copy, and that is reported.
    EXPECT_FALSE(purge.backup());
    EXPECT_TRUE(dialogs.last().text.contains("ended with code 1")) << dialogs.last().text.toStdString();
    ASSERT_TRUE(IniFile::put(pensionIniPath(), "Programs", "Backup", "no-such-program-here"));
    EXPECT_FALSE(purge.backup());
    EXPECT_EQ(dialogs.last().text, "The backup did not complete (the command \"no-such-program-here\" could "
                                   "not be run).  No backup has been made.");
}

TEST_F(Purging, TheWindowShowsProgressOnlyWhilePurgingAndKeepsTheBackupButtonAfterARefusal) {
    fill();
    PurgeWindow w(*db, dialogs);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Purge Data .... ");
    EXPECT_EQ(w.endDate()->text(), "12/08/2026");
    EXPECT_FALSE(w.pleaseWait()->isVisible());
    EXPECT_FALSE(w.percentage()->isVisible());
    w.endDate()->setText("12/09/2026");
    w.purge();
    EXPECT_TRUE(w.backupButton()->isVisible());
    EXPECT_FALSE(w.pleaseWait()->isVisible());
    w.endDate()->setText("06/30/2025");
    w.description()->setText("Opening");
    dialogs.answers = {Dlg::Yes};
    w.purge();
    EXPECT_EQ(dialogs.last().text, "Purge Completed.");
    EXPECT_FALSE(w.backupButton()->isVisible());
    EXPECT_EQ(history().filter("-6 Opening").size(), 3);
}

// A purge killed half-way leaves the history as it was; left alone it purges every member.
class PurgeCrash : public Tools {
protected:
    std::unique_ptr<QProcess> purge(int members, const QString &dir = {}) {
        auto p = std::make_unique<QProcess>();
        p->setProgram(PENSION_PURGEDATA);
        p->setArguments({dir.isEmpty() ? dataDir() : dir, QString::number(members)});
        p->start();
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    QString fingerprint() {
        QSqlQuery q(db->sql());
        EXPECT_TRUE(q.exec("SELECT COUNT(*), SUM(\"TRANSAMOUNT\"), SUM(\"TRANSDATE\"), SUM(rec_pos) FROM \"Trans\""));
        EXPECT_TRUE(q.next());
        return QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                           q.value(3).toString()}
            .join(' ');
    }
};

TEST_F(PurgeCrash, AKilledPurgeLeavesTheHistoryUnchanged) {
    constexpr int members = 10000;
    // The first run fills the directory; it is killed once the purge is under way.
    std::unique_ptr<QProcess> killed = purge(members);
    ASSERT_TRUE(killed->waitForReadyRead(120000)) << killed->readAllStandardError().toStdString();
    EXPECT_EQ(killed->readLine().trimmed(), "purging");
    QThread::msleep(200);
    EXPECT_EQ(killed->state(), QProcess::Running) << "the purge ended before it could be killed";
    killed->kill();
    killed->waitForFinished();
    // Exactly the records the fill wrote: their count, amounts, dates and record positions.
    const qint64 cents = qint64(members) * 600 + 3 * (members / 100) * 4950;
    const qint64 dates = qint64(members) * (mar1 + jun30 + jul1);
    const qint64 positions = qint64(3 * members) * (3 * members + 1) / 2;
    EXPECT_EQ(fingerprint(), QString("%1 %2 %3 %4").arg(3 * members).arg(cents).arg(dates).arg(positions));

    // Left alone (here on a smaller directory), the same purge deletes two transactions of each
    // member and adds one.
    QTemporaryDir small;
    std::unique_ptr<QProcess> done = purge(200, small.path());
    ASSERT_TRUE(done->waitForFinished(120000));
    EXPECT_EQ(done->exitCode(), 0) << done->readAllStandardError().toStdString();
    auto other = storage::Database::open(small.path());
    ASSERT_TRUE(other);
    storage::DataFile<Trans> purged(*other);
    ASSERT_TRUE(purged.open());
    EXPECT_EQ(purged.count(), 2 * 200);
}

// ---- Missing account numbers

class Missing : public Tools {};

TEST_F(Missing, ZeroSumAccountsGoAndTheOthersAreListedWithTheirBalance) {
    member(1, "Kept");
    trans(1, mar1, "500.00");
    trans(50, mar1, "50.00");
    trans(50, jun30, "-50.00");
    trans(7, mar1, "4.00");
    trans(3, jun30, "5.00");
    trans(7, jun30, "6.00");
    MissingAccounts search(*db, dialogs);
    ASSERT_TRUE(search.search());
    EXPECT_EQ(dialogs.last().caption, "Done ...");
    EXPECT_EQ(dialogs.last().icon, Dlg::Exclamation);
    EXPECT_EQ(dialogs.last().text,
              "Search Completed.  There were 2 missing transactions found with combined balance of $15.00.");
    ASSERT_EQ(search.ACCOUNTNUMBERQUEUE.size(), 2u);
    EXPECT_EQ(search.ACCOUNTNUMBERQUEUE.begin()->first, 3);
    EXPECT_EQ(search.ACCOUNTNUMBERQUEUE.at(7).BALANCE, Decimal::fromCents(1000));
    EXPECT_EQ(search.LOC.TOTALMISSING, Decimal::fromCents(1500));
    EXPECT_EQ(search.LOC.TITLESTRING, "Search Completed.");
    EXPECT_EQ(history(), QStringList({"1 03/01/2024 500.00 -4 Deposit", "3 06/30/2025 5.00 -4 Deposit",
                                      "7 03/01/2024 4.00 -4 Deposit", "7 06/30/2025 6.00 -4 Deposit"}));

    // Two placeholders, the first free SSNs each; a search repeated finds nothing then.
    member(2, "Owner", "Ann"); // holds 123-45-0002, not a placeholder number
    ASSERT_TRUE(search.createAccounts());
    EXPECT_TRUE(search.ACCOUNTNUMBERQUEUE.empty());
    EXPECT_EQ(search.LOC.TITLESTRING, "Completed ...");
    EXPECT_EQ(members(), QStringList({"1 123-45-0001 Kept 0", "2 123-45-0002 Owner 0",
                                      "3 000-00-0000 _Recovered Missing Accounts 1111",
                                      "7 000-00-0001 _Recovered Missing Accounts 1111"}));
    ASSERT_TRUE(search.search());
    EXPECT_TRUE(search.ACCOUNTNUMBERQUEUE.empty());
    EXPECT_EQ(history().size(), 4);
}

TEST_F(Missing, TakenPlaceholderSsnsAreSkipped) {
    trans(8, mar1, "1.00");
    storage::DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    for (const char *ssn : {"000-00-0000", "000-00-0001"}) {
        mem.clear();
        mem.rec.ACCTNUM = 100;
        mem.rec.SSNUM = ssn;
        ASSERT_TRUE(mem.add());
    }
    MissingAccounts search(*db, dialogs);
    ASSERT_TRUE(search.search());
    ASSERT_TRUE(search.createAccounts());
    EXPECT_EQ(members().last(), "100 000-00-0001  0");
    EXPECT_TRUE(members().contains("8 000-00-0002 _Recovered Missing Accounts 1111"));
    EXPECT_EQ(MissingAccounts::placeholderSsn(123456789), "123-45-6789");
}

TEST_F(Missing, AFailedAddStopsAtOnceAndAddsNoMember) {
    trans(3, mar1, "1.00");
    trans(4, mar1, "2.00");
    MissingAccounts search(*db, dialogs);
    ASSERT_TRUE(search.search());
    // The second add is refused: the first is rolled back with it, and no further SSN is tried.
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "MemberCU", 1));
    EXPECT_FALSE(search.createAccounts());
    EXPECT_EQ(dialogs.last().text,
              "No account was created.|The member for account 4 could not be added: database or disk is full.");
    EXPECT_TRUE(members().isEmpty());
    EXPECT_EQ(search.ACCOUNTNUMBERQUEUE.size(), 2u);
    // Refused from the first add on: one try, not a run through every number.
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "MemberCU", 0));
    EXPECT_FALSE(search.createAccounts());
    EXPECT_TRUE(members().isEmpty());
}

TEST_F(Missing, AFailedDeletionOrReadDeletesNothing) {
    trans(50, mar1, "50.00");
    trans(50, jun30, "-50.00");
    trans(60, mar1, "1.00");
    trans(60, jun30, "-1.00");
    const QStringList before = history();
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "Trans", 3));
    MissingAccounts search(*db, dialogs);
    EXPECT_FALSE(search.search());
    EXPECT_TRUE(dialogs.last().text.startsWith("The search was stopped; no transaction was deleted."));
    EXPECT_EQ(history(), before);
    EXPECT_TRUE(search.ACCOUNTNUMBERQUEUE.empty());
    storage::faults::clear(*db);
    storage::faults::refuseReads("Trans", 2, 1);
    EXPECT_FALSE(search.search());
    EXPECT_TRUE(dialogs.last().text.contains("database disk image is malformed"));
    EXPECT_EQ(history(), before);
}

TEST_F(Missing, TheWindowEnablesCreateAccountsOnlyWithAList) {
    trans(3, mar1, "-12.50");
    MissingAccountsWindow w(*db, dialogs);
    w.show();
    EXPECT_FALSE(w.createButton()->isEnabled());
    w.search();
    EXPECT_TRUE(w.createButton()->isEnabled());
    ASSERT_EQ(w.list()->rowCount(), 1);
    EXPECT_EQ(w.list()->item(0, 0)->text(), "3");
    EXPECT_EQ(w.list()->item(0, 1)->text(), "$-12.50");
    EXPECT_EQ(w.totalMissing()->text(), "$-12.50");
    w.createAccounts();
    EXPECT_FALSE(w.createButton()->isEnabled());
    EXPECT_EQ(w.list()->rowCount(), 0);
}

// ---- UARS download

class Uars : public Tools {
protected:
    QString write(const QByteArray &content) {
        const QString file = path(QString("uars%1.txt").arg(++m_files));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return file;
    }
    int m_files = 0;
};

TEST_F(Uars, DetailLinesAreListedAndTheOthersClassified) {
    const QString file = write("header,Local 565,20251201\r\n"
                               "123-45-6789,DOE JOHN  ,c,d,e,f,Regular hours,h,i,j,1234.56,l\r\n"
                               "987-65-4321,A NAME LONGER THAN TWENTY CHARS,c\r\n"
                               "End-Of-Remit,2\r\n"
                               "END-OF-FILE\r\n");
    UarsDownload u;
    ASSERT_TRUE(u.process(file));
    ASSERT_EQ(u.DATAQUEUE.size(), 5);
    QStringList kinds;
    for (const auto &l : u.DATAQUEUE) kinds << l.RECORDTYPE;
    EXPECT_EQ(kinds, QStringList({"H", "D", "D", "R", "F"}));
    EXPECT_EQ(u.DATAQUEUE[0].FIELDS, QStringList({"Local 565", "20251201"}));
    EXPECT_TRUE(u.DATAQUEUE[4].FIELDS.isEmpty());
    ASSERT_EQ(u.MEMBERQUEUE.size(), 2);
    EXPECT_EQ(u.MEMBERQUEUE[0].SSN, "123-45-6789");
    EXPECT_EQ(u.MEMBERQUEUE[0].NAME, "DOE JOHN");
    EXPECT_EQ(u.MEMBERQUEUE[0].AMOUNT, "1234.56");
    EXPECT_EQ(u.MEMBERQUEUE[0].DESCRIPTION, "Regular hours");
    EXPECT_EQ(u.MEMBERQUEUE[1].NAME, "A NAME LONGER THAN T");
    EXPECT_EQ(u.MEMBERQUEUE[1].AMOUNT, "");
    EXPECT_TRUE(u.note().isEmpty());
}

TEST_F(Uars, ALineOfMoreThanFiftyValuesKeepsFiftyAndIsNoted) {
    QStringList values;
    for (int i = 1; i <= 53; ++i) values << QString("v%1").arg(i);
    const UarsDownload::Line line = UarsDownload::parse(values.join(','));
    ASSERT_EQ(line.FIELDS.size(), 50);
    EXPECT_EQ(line.FIELDS.last(), "v50");
    const QString file = write((values.join(',') + "\nx,y\n" + values.join(',') + "\n").toLatin1());
    UarsDownload u;
    ASSERT_TRUE(u.process(file));
    EXPECT_EQ(u.linesCut, 2);
    EXPECT_EQ(u.note(), "2 line(s) had more than 50 values; only the first 50 of each are shown.");
}

TEST_F(Uars, ASecondProcessingReplacesTheListAndAMissingFileKeepsIt) {
    UarsDownloadWindow w(dialogs);
    w.show();
    EXPECT_EQ(w.windowTitle(), "UARS Download ....");
    dialogs.fileNames = {write("111-11-1111,ONE\n222-22-2222,TWO\n")};
    w.choose();
    w.process();
    ASSERT_EQ(w.list()->rowCount(), 2);
    EXPECT_EQ(w.list()->item(1, 0)->text(), "TWO");
    EXPECT_FALSE(w.note()->isVisible());
    w.fileName()->setText(write("HEADER,x\n333-33-3333,THREE\n"));
    w.process();
    ASSERT_EQ(w.list()->rowCount(), 1);
    EXPECT_EQ(w.list()->item(0, 1)->text(), "333-33-3333");
    EXPECT_EQ(w.logic().DATAQUEUE.size(), 2);
    w.fileName()->setText(path("missing.txt"));
    w.process();
    w.fileName()->setText(write(""));
    w.process();
    EXPECT_EQ(w.list()->rowCount(), 1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ToolboxGLO() = ToolboxGlobals();
}

TEST_F(Tools, TheMenuEntriesHaveTheirProcedures) {
    registerProcedures();
    for (const char *name : {"NAMEADDRESSDUMP", "PURGEWINDOW", "FINDMISSINGACCOUNTNUMBERS", "UARSDOWNLOADWINDOW"})
        EXPECT_TRUE(Procedures::has(name)) << name;
}
} // namespace

TEST_F(Dump, AnotherStationsPostingDuringTheRunIsInNoneOfTheBalances) {
    fill();
    NameAddressDump dump(*db, dialogs);
    dump.LOC.columns.setAll(true);
    dump.LOC.CLOSEDACCOUNTS = dump.LOC.BALANCES = true;
    dump.LOC.BALANCEDATE = jun30;
    const QString file = path("members.dmp");
    ASSERT_TRUE(dump.createDumpFile(file));
    const QByteArray alone = read(file);

    auto other = openSecond();
    ASSERT_TRUE(other);
    bool posted = false;
    depositMeanwhile(*other, "MemberCU", 1, {{77, mar1, "1.00"}, {501, mar1, "1.00"}, {12, mar1, "1.00"}}, posted);
    ASSERT_TRUE(dump.createDumpFile(file));
    storage::faults::clear(*db);
    ASSERT_TRUE(posted);
    EXPECT_EQ(read(file), alone);
    ASSERT_TRUE(dump.createDumpFile(file));
    EXPECT_NE(read(file), alone);
}
