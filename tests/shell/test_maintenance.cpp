// Member reindex and renumbering, the balance of all transactions and the missing-member
// transactions report: numbers without gaps that transactions follow, all or nothing, totals to
// the cent, and the report's rows and separators as they land on the page.
#include "../support/meanwhile.h"
#include "../support/tempdata.h"
#include "common/fatalstop.h"
#include "common/procedures.h"
#include "common/reportrun.h"
#include "common/windowstate.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/report/wmf.h"
#include "platform/storage/faults.h"
#include "preview/wmf2ascii.h"
#include "shell/maintenance/memberids.h"
#include "shell/maintenance/missingtrans.h"
#include "shell/maintenance/transbalance.h"
#include "shell/registry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

class Maintenance : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        ASSERT_TRUE(db->create(MemberCU::layout().def()));
        ASSERT_TRUE(db->create(Trans::layout().def()));
        memFile = std::make_unique<storage::DataFile<MemberCU>>(*db);
        traFile = std::make_unique<storage::DataFile<Trans>>(*db);
        ASSERT_TRUE(memFile->open());
        ASSERT_TRUE(traFile->open());
    }
    void TearDown() override {
        memFile.reset();
        traFile.reset();
        DataTest::TearDown();
    }
    void member(qint32 acct, qint32 id, const QString &name = "MEMBER") {
        auto &mem = *memFile;
        mem.clear();
        mem.rec.ACCTNUM = acct;
        mem.rec.MEMBERID = id;
        mem.rec.LASTNAME = name;
        mem.rec.SSNUM = QString("000-00-%1").arg(acct, 4, 10, QChar('0'));
        ASSERT_TRUE(mem.add());
    }
    void trans(qint32 acct, qint32 id, qint32 date, const char *amount,
               qint32 type = TransType::Payroll) {
        auto &tra = *traFile;
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.MEMBERID = id;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        tra.rec.TRANSTYPE = type;
        ASSERT_TRUE(tra.add());
    }
    // "account:id" of every member in account order, read through `database`.
    QStringList memberIds(storage::Database &database) {
        storage::DataFile<MemberCU> m(database);
        EXPECT_TRUE(m.open());
        QStringList out;
        m.setStart(MemberCU::AcctNum_Key);
        while (m.next())
            out << QString("%1:%2").arg(m.rec.ACCTNUM).arg(m.rec.MEMBERID);
        return out;
    }
    QStringList memberIds() { return memberIds(*db); }
    // "account:id" of every transaction in order of entry.
    QStringList transIds() {
        storage::DataFile<Trans> t(*db);
        EXPECT_TRUE(t.open());
        QStringList out;
        for (bool ok = t.first(); ok; ok = t.next())
            out << QString("%1:%2").arg(t.rec.ACCTNUM).arg(t.rec.MEMBERID);
        return out;
    }

    std::unique_ptr<storage::DataFile<MemberCU>> memFile;
    std::unique_ptr<storage::DataFile<Trans>> traFile;
    const qint32 jan2 = Clock::dayNumber(2025, 1, 2), mar4 = Clock::dayNumber(2025, 3, 4);
    const qint32 jun30 = Clock::dayNumber(2025, 6, 30);
};

// The rows of a report page from top to bottom: the texts of one height joined left to right
// with " | ", and "----" for a drawn line.
QStringList rowsOf(const QString &pageFile) {
    const wmf::Page page = wmf::readFile(pageFile);
    EXPECT_TRUE(page.ok);
    QMap<int, QMap<int, QString>> texts;
    QMap<int, int> lines;
    for (const wmf::Record &r : page.records) {
        if (r.function == wmf::ExtTextOut) {
            const int n = r.word(2);
            const int at = 8 + ((r.word(3) & (wmf::Opaque | wmf::Clipped)) ? 8 : 0);
            texts[r.word(0)][r.word(1)] = QString::fromLatin1(r.params.mid(at, n)).trimmed();
        } else if (r.function == wmf::LineTo) {
            lines[r.word(0)] = 1;
        }
    }
    QMap<int, QString> rows;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        rows[it.key()] = it.value().values().join(" | ");
    for (int y : lines.keys())
        rows[y] = "----";
    return rows.values();
}

const QStringList kPageTop{"Missing Member with Transactions",
                           "Account Number | Transaction Amount | Transaction Date", "----"};

} // namespace

TEST_F(Maintenance, RenumberingNumbersMembersInAccountOrderAndTransactionsFollow) {
    // Entered out of account order, with numbers that collide, are missing or are too high.
    member(30, 7);
    member(10, 7);
    member(20, 0);
    member(40, 99);
    trans(10, 0, jan2, "100.00"); // a payroll posting writes no member number
    trans(20, 55, jan2, "50.00"); // a stale number
    trans(20, 55, mar4, "-25.00");
    trans(40, 4, jan2, "1.00");  // already right: 40 is the fourth account
    trans(5, 3, jan2, "9.00");   // no member, below every account
    trans(55, 42, jan2, "9.00"); // no member, above every account
    trans(0, 8, jan2, "9.00");   // no member, account 0

    MemberIdRenumbering renumber(*db, dialogs);
    QStringList statuses;
    QStringList stationSaw;
    renumber.changed = [&] {
        if (statuses.isEmpty() || statuses.last() != renumber.LOC.STATUSSTRING) {
            statuses << renumber.LOC.STATUSSTRING;
            // Another station sees nothing of a renumbering under way.
            if (renumber.LOC.STATUSSTRING.startsWith("Updating Trans"))
                stationSaw = memberIds(*openSecond());
        }
    };
    ASSERT_TRUE(renumber.run());
    EXPECT_EQ(statuses,
              QStringList({"Updating MemberCU ...", "Updating Trans with New MemberID's ...",
                           "All Updates Are Completed ...."}));
    EXPECT_EQ(stationSaw, QStringList({"10:7", "20:0", "30:7", "40:99"}));
    EXPECT_EQ(renumber.LOC.PERCENTAGE, Decimal(10000, 2));
    EXPECT_TRUE(dialogs.shown.isEmpty());

    EXPECT_EQ(memberIds(), QStringList({"10:1", "20:2", "30:3", "40:4"}));
    EXPECT_EQ(memberIds(*openSecond()), QStringList({"10:1", "20:2", "30:3", "40:4"}))
        << "committed";
    EXPECT_EQ(transIds(), QStringList({"10:1", "20:2", "20:2", "40:4", "5:3", "55:42", "0:8"}));
    EXPECT_EQ(renumber.transactionsUpdated, 3) << "a transaction already right is not rewritten";

    // A member added later with a duplicate account: the numbers still run 1..n, and the
    // account's transactions follow the first member of the account.
    member(20, 0, "SECOND");
    member(1, 0);
    ASSERT_TRUE(renumber.run());
    EXPECT_EQ(memberIds(), QStringList({"1:1", "10:2", "20:3", "20:4", "30:5", "40:6"}));
    EXPECT_EQ(transIds(), QStringList({"10:2", "20:3", "20:3", "40:6", "5:3", "55:42", "0:8"}));
}

TEST_F(Maintenance, RenumberingWithoutMembersLeavesEveryTransaction) {
    trans(10, 5, jan2, "100.00");
    trans(20, 0, jan2, "100.00");
    trans(30, 0, jan2, "100.00");
    MemberIdRenumbering renumber(*db, dialogs);
    QStringList percents;
    renumber.changed = [&] { percents << renumber.LOC.PERCENTAGE.toString(); };
    ASSERT_TRUE(renumber.run());
    EXPECT_EQ(percents, QStringList({"0.00", "0.00", "33.33", "66.67", "100.00", "100.00"}));
    EXPECT_EQ(renumber.membersNumbered, 0);
    EXPECT_EQ(transIds(), QStringList({"10:5", "20:0", "30:0"}));
    EXPECT_EQ(renumber.LOC.STATUSSTRING, "All Updates Are Completed ....");
}

TEST_F(Maintenance, AFailedWriteStopsAndChangesNothing) {
    member(10, 5);
    member(20, 6);
    member(30, 9);
    trans(10, 5, jan2, "1.00");
    // The third member's write fails, after two members are renumbered.
    ASSERT_TRUE(db->exec("CREATE TRIGGER fail_put BEFORE UPDATE ON MemberCU WHEN NEW.ACCTNUM = 30 "
                         "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));

    MemberIdRenumbering renumber(*db, dialogs);
    dialogs.answers = {Dlg::Ignore};
    EXPECT_FALSE(renumber.run());
    ASSERT_EQ(dialogs.shown.size(), 1);
    const Message &stop = dialogs.last();
    EXPECT_EQ(stop.caption, FatalStopCaption);
    EXPECT_TRUE(stop.text.startsWith("Error on PUT = 90 Error= disk full"))
        << stop.text.toStdString();
    EXPECT_EQ(stop.icon, Dlg::Error);
    EXPECT_EQ(stop.buttons, Dlg::Abort | Dlg::Ignore);
    EXPECT_EQ(memberIds(), QStringList({"10:5", "20:6", "30:9"}));
    EXPECT_EQ(transIds(), QStringList({"10:5"}));
    EXPECT_FALSE(db->inTransaction());

    dialogs.answers = {Dlg::Abort};
    EXPECT_THROW(renumber.run(), Halted);
    EXPECT_EQ(memberIds(), QStringList({"10:5", "20:6", "30:9"}));
    EXPECT_FALSE(db->inTransaction());

    // A transaction the database refuses to write: the members' new numbers go too.
    ASSERT_TRUE(db->exec("DROP TRIGGER fail_put"));
    ASSERT_TRUE(db->exec("CREATE TRIGGER fail_trans BEFORE UPDATE ON Trans "
                         "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    dialogs.answers = {Dlg::Ignore};
    EXPECT_FALSE(renumber.run());
    EXPECT_TRUE(dialogs.last().text.startsWith("Error on PUT = 90 Error= disk full"));
    EXPECT_EQ(memberIds(), QStringList({"10:5", "20:6", "30:9"}));
    EXPECT_EQ(renumber.LOC.STATUSSTRING, "Stopped.  No member or transaction was changed.");
}

// A walk cut short by a failed read, a batch that could not begin, one SQLite abandoned: no
// member or transaction keeps a new number, and the stop message names the cause.
TEST_F(Maintenance, ADatabaseFailureOfAnyKindStopsTheRenumberingAndChangesNothing) {
    namespace faults = storage::faults;
    for (qint32 acct = 10; acct <= 60; acct += 10) {
        member(acct, 100 + acct);
        trans(acct, 100 + acct, jan2, "1.00");
        trans(acct, 100 + acct, mar4, "2.00");
    }
    const QStringList members = memberIds(), transactions = transIds();
    MemberIdRenumbering renumber(*db, dialogs);
    auto attempt = [&](const QString &stop) {
        dialogs.shown.clear();
        dialogs.answers = {Dlg::Ignore};
        EXPECT_FALSE(renumber.run());
        faults::clear(*db);
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.last().text, stop);
        EXPECT_EQ(memberIds(), members);
        EXPECT_EQ(transIds(), transactions);
        EXPECT_EQ(renumber.LOC.STATUSSTRING, "Stopped.  No member or transaction was changed.");
        EXPECT_FALSE(db->inTransaction());
    };
    faults::refuseReads("MemberCU", 3);
    attempt("Error on NEXT = 90 Error= " + faults::DamagedText);
    faults::refuseReads("Trans", 5);
    attempt("Error on NEXT = 90 Error= " + faults::DamagedText);
    faults::refuseBegin();
    attempt("Error on PUT = 32 Error= File Is Already Locked");
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 4, true));
    attempt("Error on PUT = 90 Error= " + faults::FullText);

    dialogs.shown.clear();
    EXPECT_TRUE(renumber.run());
    EXPECT_EQ(memberIds(), QStringList({"10:1", "20:2", "30:3", "40:4", "50:5", "60:6"}));
}

TEST_F(Maintenance, RenumberWindowRunsOnOkAndCancelChangesNothing) {
    member(20, 0);
    member(10, 0);
    {
        RenumMemberIdWindow window(*db, dialogs);
        window.show();
        EXPECT_EQ(window.windowTitle(), "MemberID Updates ....");
        EXPECT_EQ(window.okButton()->text(), "&OK");
        EXPECT_EQ(window.cancelButton()->text(), "&Cancel");
        window.cancelButton()->click();
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(memberIds(), QStringList({"10:0", "20:0"}));
        EXPECT_EQ(IniFile(pensionIniPath()).value("RenumMemberID", "Maximize"), "No");
    }
    RenumMemberIdWindow window(*db, dialogs);
    window.show();
    bool disabledWhileRunning = true;
    auto redraw = window.logic().changed;
    window.logic().changed = [&] {
        redraw();
        disabledWhileRunning = disabledWhileRunning && !window.okButton()->isEnabled() &&
                               !window.cancelButton()->isEnabled();
        window.close(); // ignored while it runs
    };
    window.okButton()->click();
    EXPECT_TRUE(disabledWhileRunning);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.status()->text(), "All Updates Are Completed ....");
    EXPECT_EQ(window.progress()->value(), 100);
    EXPECT_EQ(memberIds(), QStringList({"10:1", "20:2"}));
}

TEST_F(Maintenance, ReindexRebuildsEveryMemberKeyAndKeepsTheData) {
    member(20, 2, "ZED");
    member(10, 1, "ABLE");
    QSqlQuery q(db->sql());
    ASSERT_TRUE(
        q.exec("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'MemberCU'"));
    QStringList indexes;
    while (q.next())
        indexes << q.value(0).toString();
    ASSERT_GE(indexes.size(), 6);
    for (const QString &index : indexes.mid(0, 2))
        ASSERT_TRUE(db->exec("DROP INDEX \"" + index + "\""));
    ASSERT_FALSE(db->keysValid(MemberCU::layout().def()));

    ASSERT_TRUE(MemberMaintenance::reindex(*db, dialogs));
    EXPECT_TRUE(db->keysValid(MemberCU::layout().def()));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, "Member Database Rebuilt.");
    EXPECT_EQ(dialogs.last().buttons, Dlg::Ok);
    EXPECT_EQ(memberIds(), QStringList({"10:1", "20:2"}));
    memFile->clear();
    memFile->rec.SSNUM = "000-00-0020";
    ASSERT_TRUE(memFile->get(MemberCU::SSNum_Key));
    EXPECT_EQ(memFile->rec.LASTNAME, "ZED");
}

TEST_F(Maintenance, BalanceAddsEveryTransactionAndTheFeesOfExactly25) {
    trans(10, 1, jan2, "1000.00");
    trans(10, 1, mar4, "-25.00", TransType::AdminFee);   // the usual fee
    trans(10, 1, mar4, "-20.00", TransType::AdminFee);   // another fee: balance only
    trans(20, 2, mar4, "-25.00", TransType::Withdrawal); // any -25.00 counts, whatever its type
    trans(20, 2, mar4, "25.00");                         // +25.00 does not
    trans(20, 2, mar4, "-25.01", TransType::AdminFee);
    trans(99, 0, jun30, "-300.10", TransType::Withdrawal);
    {
        storage::Transaction batch(*db);
        for (int i = 0; i < 1000; ++i)
            trans(30, 3, jun30, "0.01"); // adds up to 10.00 exactly
        ASSERT_TRUE(batch.commit());
    }
    trans(40, 4, jun30, "9999999999999.99");
    trans(40, 4, jun30, "-9999999999999.98");

    TransactionBalance balance(*db, dialogs);
    ASSERT_TRUE(balance.getBalance());
    EXPECT_EQ(balance.LOC.BALANCE.toString(), "639.90");
    EXPECT_EQ(balance.LOC.ADMINFEES.toString(), "50.00");
    ASSERT_TRUE(balance.getBalance()) << "from scratch on every press";
    EXPECT_EQ(balance.LOC.BALANCE.toString(), "639.90");
    EXPECT_EQ(balance.LOC.ADMINFEES.toString(), "50.00");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    BalanceTransactionsWindow window(*db, dialogs);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Balance Of All Transactions ... ");
    EXPECT_EQ(window.balance()->text(), "") << "blank when zero";
    EXPECT_EQ(window.adminFees()->text(), "");
    trans(50, 5, jun30, "-1000.00");
    window.getBalanceButton()->click();
    EXPECT_EQ(window.balance()->text(), "-$360.10");
    EXPECT_EQ(window.adminFees()->text(), "$50.00");
    EXPECT_TRUE(window.getBalanceButton()->isEnabled());
}

TEST_F(Maintenance, BalanceOfAnEmptyFileStopsAndShowsNothing) {
    TransactionBalance balance(*db, dialogs);
    dialogs.answers = {Dlg::Ignore};
    EXPECT_FALSE(balance.getBalance());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, "Error = Record Not Found, Code = 35");
    EXPECT_EQ(dialogs.last().buttons, Dlg::Abort | Dlg::Ignore);
    EXPECT_TRUE(balance.LOC.BALANCE.isZero());
    EXPECT_TRUE(balance.LOC.ADMINFEES.isZero());
    dialogs.answers = {Dlg::Abort};
    EXPECT_THROW(balance.getBalance(), Halted);
}

TEST_F(Maintenance, BalanceWindowClosedWhileReadingClosesAfterTheReading) {
    for (int i = 0; i < 50; ++i)
        trans(10, 1, jan2, "1.00");
    auto *window = new BalanceTransactionsWindow(*db, dialogs);
    QPointer<BalanceTransactionsWindow> alive(window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    int redraws = 0;
    window->logic().changed = [&] {
        ++redraws;
        window->close();
        EXPECT_TRUE(window->isVisible()) << "closes only after the reading";
    };
    window->getBalanceButton()->click();
    EXPECT_GE(redraws, 1);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

namespace {
// Runs the report and keeps the previewed pages' rows.
struct ReportCapture {
    QList<QStringList> pages;
    QList<QList<QByteArray>> text;
    ReportRun::Outcome outcome = ReportRun::Cancelled;
    qint64 processed = 0, toProcess = 0;
    QString name;
};

ReportCapture runReport(storage::Database &db, ScriptedDialogs &dialogs, int answer,
                        const QString &ini) {
    ReportCapture c;
    MissingMemberTransReport report(db, dialogs);
    ReportRun run(dialogs);
    run.iniFile = ini;
    report.attach(run);
    run.preview = [&](QStringList &pages, const PreviewOptions &) {
        for (const QString &p : pages) {
            c.pages << rowsOf(p);
            c.text << pagetext::lines(p, 0);
        }
        return 2;
    };
    run.print = [&](const QStringList &pages) {
        for (const QString &p : pages)
            c.pages << rowsOf(p);
        return true;
    };
    dialogs.answers = {answer};
    c.outcome = run.run();
    c.processed = run.recordsProcessed();
    c.toProcess = run.recordsToProcess;
    c.name = run.name;
    return c;
}
} // namespace

TEST_F(Maintenance, MissingTransactionsPrintOnlyOrphansWithSeparatorsBetweenAccounts) {
    QTemporaryDir iniDir;
    member(10, 1);
    member(20, 2);
    trans(10, 1, jan2, "100.00");
    trans(15, 0, jan2, "-25.00", TransType::AdminFee);
    trans(15, 0, mar4, "1,234.56");
    trans(20, 2, mar4, "5.00");
    trans(30, 0, jun30, "0.07");
    trans(31, 0, jun30, "-0.07");
    trans(20, 2, jun30, "6.00"); // a member's account between two orphans

    const ReportCapture c = runReport(*db, dialogs, 1, iniDir.filePath("PRVWRPTS.INI"));
    ASSERT_EQ(c.outcome, ReportRun::Previewed);
    EXPECT_EQ(c.name, "MissingMemberTrans");
    EXPECT_EQ(c.toProcess, 7) << "progress over every transaction";
    EXPECT_EQ(c.processed, 7);
    ASSERT_EQ(c.pages.size(), 1);
    // By account, newest first within one; the same account runs on, a new one after a line.
    EXPECT_EQ(c.pages[0],
              kPageTop +
                  QStringList({"15 | $1,234.56 | 03/04/2025", "15 | -$25.00 | 01/02/2025", "----",
                               "30 | $0.07 | 06/30/2025", "----", "31 | -$0.07 | 06/30/2025"}));
    // The text output: columns fixed by the pictures.
    ASSERT_EQ(c.text[0].size(), 6);
    EXPECT_EQ(c.text[0][1],
              "             Account Number          Transaction Amount      Transaction Date");
    EXPECT_EQ(c.text[0][2],
              "                        15                  $1,234.56         03/04/2025");
    EXPECT_EQ(c.text[0][5],
              "                        31                     -$0.07         06/30/2025");
}

TEST_F(Maintenance, MissingTransactionsOfAccountZeroComeFirstWithoutASeparator) {
    QTemporaryDir iniDir;
    member(10, 1);
    trans(7, 0, jan2, "7.00");
    trans(0, 0, jan2, "1.00");
    trans(0, 0, mar4, "2.00");
    trans(-3, 0, mar4, "3.00");
    trans(9, 0, mar4, "9.00");
    const ReportCapture c = runReport(*db, dialogs, 1, iniDir.filePath("PRVWRPTS.INI"));
    ASSERT_EQ(c.pages.size(), 1);
    // Only an account above 0 printed last asks for a separator before the next one.
    EXPECT_EQ(c.pages[0],
              kPageTop + QStringList({"-3 | $3.00 | 03/04/2025", "0 | $2.00 | 03/04/2025",
                                      "0 | $1.00 | 01/02/2025", "7 | $7.00 | 01/02/2025", "----",
                                      "9 | $9.00 | 03/04/2025"}));
}

// A damaged page part-way: neither a balance over part of the file nor a report of part of the
// orphans is shown as if it were the whole.
TEST_F(Maintenance, AFailedReadStopsTheBalanceAndTheMissingTransactionsReport) {
    QTemporaryDir iniDir;
    member(10, 1);
    for (int i = 0; i < 40; ++i) trans(i % 2 ? 10 : 15, 0, jan2, "1.00");
    storage::faults::refuseReads("Trans", 30);
    TransactionBalance balance(*db, dialogs);
    dialogs.answers = {Dlg::Ignore};
    EXPECT_FALSE(balance.getBalance());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, "Error = " + storage::faults::DamagedText + ", Code = 90");
    EXPECT_TRUE(balance.LOC.BALANCE.isZero());

    for (const QString file : {"Trans", "MemberCU"}) {
        storage::faults::refuseReads(file, file == "Trans" ? 30 : 0);
        dialogs.shown.clear();
        const ReportCapture c = runReport(*db, dialogs, 1, iniDir.filePath("PRVWRPTS.INI"));
        EXPECT_EQ(c.outcome, ReportRun::Cancelled) << qPrintable(file);
        EXPECT_TRUE(c.pages.isEmpty());
        EXPECT_EQ(dialogs.last().caption, "Missing Member with Transactions");
        EXPECT_EQ(dialogs.last().text, "The transactions or members could not be read; the report was "
                                       "stopped.  Error: " + storage::faults::DamagedText + ".");
        EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    }
}

TEST_F(Maintenance, MissingTransactionsBreakPagesUnderTheHeading) {
    QTemporaryDir iniDir;
    // Pairs of transactions of consecutive orphan accounts: a separator every other line.
    storage::Transaction batch(*db);
    for (qint32 acct = 1; acct <= 60; ++acct) {
        trans(acct, 0, jan2, "1.00");
        trans(acct, 0, mar4, "2.00");
    }
    ASSERT_TRUE(batch.commit());
    const ReportCapture c = runReport(*db, dialogs, 2, iniDir.filePath("PRVWRPTS.INI"));
    ASSERT_EQ(c.outcome, ReportRun::Printed);
    ASSERT_GE(c.pages.size(), 2);
    int details = 0;
    for (const QStringList &page : c.pages) {
        EXPECT_EQ(page.mid(0, 3), kPageTop);
        EXPECT_NE(page.last(), "----") << "a separator stays with the next account";
        for (const QString &row : page.mid(3))
            details += row != "----";
    }
    EXPECT_EQ(details, 120);
}

TEST_F(Maintenance, NoMissingTransactionsIsNothingToPreviewOrPrint) {
    QTemporaryDir iniDir;
    member(10, 1);
    trans(10, 1, jan2, "1.00");
    ReportCapture c = runReport(*db, dialogs, 1, iniDir.filePath("PRVWRPTS.INI"));
    EXPECT_EQ(c.outcome, ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
    c = runReport(*db, dialogs, 2, iniDir.filePath("PRVWRPTS.INI"));
    EXPECT_EQ(c.outcome, ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Print.");
}

TEST_F(Maintenance, TheFrameStartsTheFourProceduresByName) {
    registerProcedures();
    member(10, 0);
    ASSERT_TRUE(Procedures::run("REINDEXMEMBER"));
    EXPECT_EQ(dialogs.last().text, "Member Database Rebuilt.");

    auto started = [](const char *name) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) return w;
        return static_cast<QWidget *>(nullptr);
    };
    ASSERT_TRUE(Procedures::run("RENUMMEMBERID"));
    QWidget *renumber = started("RENUMMEMBERID");
    ASSERT_TRUE(renumber);
    EXPECT_EQ(memberIds(), QStringList{"10:0"}) << "nothing before OK";
    renumber->close();
    ASSERT_TRUE(Procedures::run("BALANCETRANSACTIONS"));
    QWidget *balance = started("BALANCETRANSACTIONS");
    ASSERT_TRUE(balance);
    balance->close();

    const int before = int(dialogs.shown.size());
    dialogs.answers = {3}; // Cancel at the preview question
    ASSERT_TRUE(Procedures::run("MISSINGMEMBERTRANS"));
    ASSERT_EQ(dialogs.shown.size(), before + 1);
    EXPECT_EQ(dialogs.last().text, "Do you wish to PREVIEW this Report?");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(Maintenance, BalanceIsOfOneStateOfTheFileWhateverIsPostedMeanwhile) {
    for (int i = 0; i < 40; ++i) trans(10, 1, jan2, "1.00");
    auto other = openSecond();
    ASSERT_TRUE(other);
    bool posted = false;
    depositMeanwhile(*other, "Trans", 1, {{10, jan2, "100.00"}, {10, mar4, "-25.00"}}, posted);
    TransactionBalance balance(*db, dialogs);
    ASSERT_TRUE(balance.getBalance());
    storage::faults::clear(*db);
    ASSERT_TRUE(posted);
    EXPECT_EQ(balance.LOC.BALANCE.toString(), "40.00");
    EXPECT_EQ(balance.LOC.ADMINFEES.toString(), "0.00");
    ASSERT_TRUE(balance.getBalance());
    EXPECT_EQ(balance.LOC.BALANCE.toString(), "115.00");
    EXPECT_EQ(balance.LOC.ADMINFEES.toString(), "25.00");
}
