// Copying a whole fund: every record as it was (position, version, every field, key order), one
// transaction on the target whatever fails, the refusal of a target that holds a fund, the check
// of counts and account totals, and the program pension-copy with its exit codes. With the
// tests' database server running, the funds these tests copy live on it, and a fund goes from
// the SQLite file to the server and back.
#include "../support/testserver.h"
#include "fundcopytest.h"
#include "platform/inifile.h"
#include "platform/storage/faults.h"

#include <QFile>
#include <QProcess>

using namespace fundcopytest;
namespace faults = storage::faults;

namespace {
class FundCopying : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        // On the server when there is one; "plain" and "back" are always SQLite files.
        if (!TestServer::active()) return;
        for (const char *name : {"from", "to", "empty", "fresh", "restored"}) {
            QString why;
            ASSERT_TRUE(QDir().mkpath(dir(name)));
            ASSERT_TRUE(TestServer::prepare(dir(name), &why)) << why.toStdString();
        }
    }
    void TearDown() override {
        faults::refuseBegin(0);
        faults::refuseReads({}, 0, 0);
        for (const char *name : {"from", "to", "empty", "fresh", "restored"}) TestServer::release(dir(name));
    }
    static bool holdsFund(const QString &dataDir) { return bool(Database::open(dataDir, Database::MustExist)); }
    QString dir(const QString &name) const { return QDir(m_root.path()).filePath(name); }
    std::unique_ptr<Database> fund(const QString &name) {
        auto db = Database::open(dir(name));
        EXPECT_TRUE(db) << storage::lastErrorText().toStdString();
        return db;
    }
    // The source most tests copy: 68 records left in each file (a whole number of MemberCU
    // statements), and transactions of a few accounts beyond them, with duplicate dates.
    void makeSource(const QString &name = "from") {
        auto src = fund(name);
        ASSERT_TRUE(src);
        storage::Transaction batch(*src); // one commit, not one per record
        fill(*src, 85, 1);
        for (int i = 0; i < 250; ++i) addTrans(*src, 1001 + i % 7, 20000 + i % 4, 100 + i, QString("line %1").arg(i));
        ASSERT_TRUE(batch.commit());
    }
    FundCopy::Outcome copy(const QString &from, const QString &to, bool replace = false) {
        FundCopy c(dir(from), dir(to));
        c.setReplace(replace);
        c.setReporter([this](const QString &line) { said << line; });
        const FundCopy::Outcome outcome = c.run();
        error = c.error();
        held = c.targetRecords();
        return outcome;
    }
    // Every record of every file, to see that a target was left exactly as it was.
    static QList<QList<Stored>> everything(Database &db) {
        QList<QList<Stored>> all;
        for (const FileDef *def : allFiles()) all << (db.exists(*def) ? records(db, *def) : QList<Stored>{});
        return all;
    }
    qint64 count(Database &db, const FileDef &def) { return storage::recordCount(db, def).value_or(-1); }

    QTemporaryDir m_root;
    QStringList said;
    QString error;
    qint64 held = 0;
};
} // namespace

TEST_F(FundCopying, EveryRecordArrivesWithItsPositionVersionFieldsAndOrder) {
    makeSource();
    ASSERT_EQ(copy("from", "to"), FundCopy::Copied) << error.toStdString();
    EXPECT_TRUE(said.contains("MemberCU: 68 records")) << said.join("\n").toStdString();
    EXPECT_TRUE(said.contains("Trans: 318 records")) << said.join("\n").toStdString();
    EXPECT_TRUE(said.join("\n").contains("checked: the record count of every file and the transaction total of "
                                         "each of the"));
    auto src = fund("from");
    auto dst = fund("to");
    ASSERT_TRUE(src && dst);
    expectSameFund(*src, *dst);
    expectAddedAfterCopied(*src, *dst);
}

TEST_F(FundCopying, ATargetThatHoldsAFundIsRefusedUnlessItIsToBeReplaced) {
    makeSource();
    {
        auto dst = fund("to");
        fill(*dst, 10, 2);
    }
    auto before = [&] {
        auto dst = fund("to");
        return everything(*dst);
    }();
    ASSERT_EQ(copy("from", "to"), FundCopy::TargetHoldsFund);
    EXPECT_EQ(held, 8 * allFiles().size());
    EXPECT_TRUE(error.contains("already holds a fund (112 records); nothing was copied")) << error.toStdString();
    {
        auto dst = fund("to");
        EXPECT_EQ(everything(*dst), before);
    }

    // A fund whose files were made but hold nothing yet takes the copy without being told.
    {
        auto empty = fund("empty");
        for (const FileDef *def : allFiles()) ASSERT_TRUE(empty->create(*def));
    }
    EXPECT_EQ(copy("from", "empty"), FundCopy::Copied) << error.toStdString();

    ASSERT_EQ(copy("from", "to", true), FundCopy::Copied) << error.toStdString();
    auto src = fund("from");
    auto dst = fund("to");
    expectSameFund(*src, *dst);
}

TEST_F(FundCopying, AWriteRefusedPartWayLeavesTheTargetAsItWas) {
    makeSource();
    auto src = fund("from");
    auto dst = fund("to");
    fill(*dst, 10, 2);
    const auto before = everything(*dst);
    for (bool abandon : {false, true}) {
        SCOPED_TRACE(abandon ? "the database abandons the transaction" : "the statement is refused");
        // MemberCU is copied whole before Trans fails in its second statement.
        ASSERT_TRUE(faults::refuseWrites(*dst, "Trans", 150, abandon));
        storage::CopyOptions options;
        options.replace = true;
        const storage::CopyResult result = storage::copyFiles(*src, *dst, allFiles(), options);
        faults::clear(*dst);
        EXPECT_EQ(result.status, storage::CopyResult::Failed);
        EXPECT_TRUE(result.error.startsWith("Trans could not be copied")) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(faults::FullText)) << result.error.toStdString();
        EXPECT_FALSE(dst->inTransaction());
        auto other = Database::open(dir("to"));
        EXPECT_EQ(everything(*other), before);
        for (const FileDef *def : allFiles()) EXPECT_TRUE(other->keysValid(*def)) << def->name.toStdString();
    }
}

TEST_F(FundCopying, AReadOrLockFailureLeavesTheTargetAsItWasAndSaysWhy) {
    makeSource();
    {
        auto dst = fund("to");
        fill(*dst, 10, 2);
    }
    auto before = [&] {
        auto dst = fund("to");
        return everything(*dst);
    }();

    // A damaged page of the source's transactions, met after MemberCU was written whole.
    faults::refuseReads("Trans", 100);
    EXPECT_EQ(copy("from", "to", true), FundCopy::Failed);
    faults::refuseReads("Trans", 0, 0);
    EXPECT_TRUE(error.startsWith(QString("nothing was copied, %1 is as it was: Trans could not be copied: ").arg(dir("to"))))
        << error.toStdString();
    EXPECT_TRUE(error.endsWith(faults::DamagedText)) << error.toStdString();
    {
        auto dst = fund("to");
        EXPECT_EQ(everything(*dst), before);
    }

    // Into a new directory: the fund file made for the copy goes again.
    faults::refuseReads("Trans", 100);
    EXPECT_EQ(copy("from", "fresh"), FundCopy::Failed);
    faults::refuseReads("Trans", 0, 0);
    EXPECT_FALSE(QFile::exists(QDir(dir("fresh")).filePath(Database::FileName)));
    if (!TestServer::active()) {
        EXPECT_FALSE(holdsFund(dir("fresh")));
    }

    // Another station holds the target's write lock.
    faults::refuseBegin();
    EXPECT_EQ(copy("from", "to", true), FundCopy::Failed);
    EXPECT_TRUE(error.endsWith("the target could not be written: " + faults::LockedText)) << error.toStdString();
    {
        auto dst = fund("to");
        EXPECT_EQ(everything(*dst), before);
    }

    // No fund to copy from, and a directory copied onto itself.
    EXPECT_EQ(copy("nowhere", "to"), FundCopy::Failed);
    EXPECT_TRUE(error.startsWith(dir("nowhere") + " holds no fund that can be read: there is no pension.db"))
        << error.toStdString();
    EXPECT_EQ(copy("from", "from/", true), FundCopy::Failed);
    EXPECT_TRUE(error.endsWith("are the same fund")) << error.toStdString();
}

TEST_F(FundCopying, TheSourceIsReadInOneSnapshotWhileStationsGoOnWorking) {
    makeSource();
    auto station = fund("from");
    const qint64 trans = count(*station, Trans::layout().def());
    FundCopy c(dir("from"), dir("to"));
    bool added = false;
    c.setReporter([&](const QString &line) {
        // Between two files another station posts to the source, and is not held up.
        if (line.startsWith("MemberCU:")) {
            addTrans(*station, 1001, 20100, 500);
            added = true;
        }
    });
    ASSERT_EQ(c.run(), FundCopy::Copied) << c.error().toStdString();
    ASSERT_TRUE(added);
    auto dst = fund("to");
    EXPECT_EQ(count(*dst, Trans::layout().def()), trans);
    EXPECT_EQ(count(*station, Trans::layout().def()), trans + 1);
}

TEST_F(FundCopying, TheCheckNamesEveryFileAndAccountThatDiffers) {
    makeSource();
    ASSERT_EQ(copy("from", "to"), FundCopy::Copied) << error.toStdString();
    auto src = fund("from");
    auto dst = fund("to");
    auto same = compareFunds(*src, *dst);
    ASSERT_TRUE(same);
    EXPECT_TRUE(same->same());
    EXPECT_EQ(same->records, 68 * allFiles().size() + 250);

    // One cent more on 1001, 1002's history gone, a new account, a contractor less.
    ASSERT_TRUE(dst->exec("UPDATE \"Trans\" SET \"TRANSAMOUNT\" = \"TRANSAMOUNT\" + 1 WHERE rec_pos = "
                          "(SELECT MIN(rec_pos) FROM \"Trans\" WHERE \"ACCTNUM\" = 1001)"));
    ASSERT_TRUE(dst->exec("DELETE FROM \"Trans\" WHERE \"ACCTNUM\" = 1002"));
    addTrans(*dst, 999999, 20000, 5);
    ASSERT_TRUE(dst->exec("DELETE FROM \"Contractor\" WHERE rec_pos = (SELECT MIN(rec_pos) FROM \"Contractor\")"));
    const auto sums = storage::sumsBy(*src, Trans::layout().def(), 1, 3);
    ASSERT_TRUE(sums);
    const auto total = [&](qint64 acct) {
        for (const auto &s : *sums)
            if (s.first == acct) return Decimal::fromCents(s.second).toString();
        return QString();
    };
    auto differs = compareFunds(*src, *dst);
    ASSERT_TRUE(differs);
    const QStringList expected{
        "Trans: 318 records in the source, 283 in the copy",
        "Contractor: 68 records in the source, 67 in the copy",
        QString("account 1001: transactions total %1 in the source, %2 in the copy")
            .arg(total(1001), (Decimal::fromString(total(1001)) + Decimal::fromCents(1)).toString()),
        QString("account 1002: transactions total %1 in the source, none in the copy").arg(total(1002)),
        "account 999999: transactions total none in the source, 0.05 in the copy"};
    EXPECT_EQ(differs->differences, expected);

    // Beyond ten accounts the rest are counted.
    ASSERT_TRUE(dst->exec("UPDATE \"Trans\" SET \"TRANSAMOUNT\" = \"TRANSAMOUNT\" + 1"));
    differs = compareFunds(*src, *dst);
    ASSERT_TRUE(differs);
    EXPECT_EQ(differs->differences.size(), 2 + 10 + 1);
    EXPECT_TRUE(differs->differences.last().startsWith("and ")) << differs->differences.last().toStdString();
    EXPECT_TRUE(differs->differences.last().endsWith(" more accounts differ"));

    // A check that cannot read says so rather than finding the funds alike.
    faults::refuseReads("Trans", 3);
    EXPECT_FALSE(compareFunds(*src, *src));
    faults::refuseReads("Trans", 0, 0);
    EXPECT_EQ(storage::lastErrorText(), faults::DamagedText);
}

TEST_F(FundCopying, ACopyThatDoesNotMatchItsSourceIsNotKept) {
    makeSource();
    auto src = fund("from");
    auto dst = fund("plain");
    for (const FileDef *def : allFiles()) ASSERT_TRUE(dst->create(*def));
    // The target's engine changes one amount on its way in, as a faulty driver or server would.
    ASSERT_TRUE(dst->exec("CREATE TEMP TRIGGER pension_skew AFTER INSERT ON main.\"Trans\" WHEN NEW.\"ACCTNUM\" = 1003 "
                          "BEGIN UPDATE \"Trans\" SET \"TRANSAMOUNT\" = 0 WHERE rec_pos = NEW.rec_pos; END"));
    storage::CopyOptions options;
    options.verify = [&](QString &why) {
        const auto c = compareFunds(*src, *dst);
        why = c ? c->differences.join("; ") : "unreadable";
        return c && c->same();
    };
    const storage::CopyResult result = storage::copyFiles(*src, *dst, allFiles(), options);
    EXPECT_EQ(result.status, storage::CopyResult::Failed);
    EXPECT_TRUE(result.error.startsWith("account 1003: transactions total ")) << result.error.toStdString();
    EXPECT_TRUE(result.error.endsWith(" in the source, 0.00 in the copy")) << result.error.toStdString();
    EXPECT_EQ(count(*dst, Trans::layout().def()), 0);
    EXPECT_EQ(count(*dst, MemberCU::layout().def()), 0);
}

// The program itself: its command line, its exit codes and what it says.
namespace {
struct Ran {
    int code;
    QString out, err;
};
Ran run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(120000));
    return Ran{p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
               QString::fromLocal8Bit(p.readAllStandardError())};
}
} // namespace

TEST_F(FundCopying, PensionCopyExitsWithWhatHappened) {
    makeSource();
    Ran r = run(PENSION_COPY, {"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("usage: pension-copy FROM TO [--replace]")) << r.out.toStdString();
    for (const QStringList &bad : {QStringList{"--force", dir("from"), dir("to")}, QStringList{dir("from")},
                                   QStringList{dir("from"), dir("to"), dir("x")}}) {
        r = run(PENSION_COPY, bad);
        EXPECT_EQ(r.code, 2) << bad.join(" ").toStdString();
    }
    EXPECT_FALSE(holdsFund(dir("to")));

    r = run(PENSION_COPY, {dir("from"), dir("to")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\nTrans: 318 records\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QString("copied %1 records in %2 files from %3 to %4")
                                   .arg(68 * allFiles().size() + 250)
                                   .arg(allFiles().size())
                                   .arg(dir("from"), dir("to"))))
        << r.out.toStdString();

    r = run(PENSION_COPY, {dir("from"), dir("to")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("already holds a fund")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("give --replace to replace it")) << r.err.toStdString();
    r = run(PENSION_COPY, {dir("from"), dir("to"), "--replace"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();

    r = run(PENSION_COPY, {dir("nowhere"), dir("to"), "--replace"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("holds no fund that can be read")) << r.err.toStdString();
}

TEST_F(FundCopying, ABackupFileRestoresWithPensionCopyAndIsLeftAsItWas) {
    makeSource();
    const QString backup = dir("backup.db");
    Ran r = run(PENSION_BACKUP, {dir("from"), backup});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QByteArray written = [&] {
        QFile f(backup);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }();
    r = run(PENSION_COPY, {backup, dir("restored")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto src = fund("from");
    auto dst = fund("restored");
    expectSameFund(*src, *dst);
    QFile f(backup);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), written);
}

TEST_F(FundCopying, AFundGoesToTheServerAndBackUnchanged) {
    if (!TestServer::active()) GTEST_SKIP() << "no test database server (PENSION_TEST_PG)";
    makeSource("plain");
    ASSERT_EQ(copy("plain", "to"), FundCopy::Copied) << error.toStdString();
    ASSERT_EQ(copy("to", "back"), FundCopy::Copied) << error.toStdString();
    auto plain = fund("plain");
    auto server = fund("to");
    auto back = fund("back");
    ASSERT_TRUE(plain && server && back);
    EXPECT_FALSE(server->isSqlite());
    expectSameFund(*plain, *server);
    expectSameFund(*plain, *back);
    expectAddedAfterCopied(*plain, *server);
}

TEST_F(FundCopying, ABackupThatCannotReadTheServerWritesNothing) {
    // A DATABASE.INI naming a server that is not there (no socket in its folder).
    const QString data = dir("unreachable");
    ASSERT_TRUE(QDir().mkpath(data));
    IniFile ini(QDir(data).filePath(storage::Location::IniName));
    ini.setValue("Database", "Driver", "QPSQL");
    ini.setValue("Database", "Host", dir("no-server"));
    ini.setValue("Database", "Name", "pension");
    ASSERT_TRUE(ini.save());
    const QString target = dir("backup.db");
    Ran r = run(PENSION_BACKUP, {data, target});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("cannot connect to the database server")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(QDir(m_root.path()).entryList({".pension-backup-*"}, QDir::AllEntries | QDir::Hidden).isEmpty());

    ini.setValue("Database", "Driver", "QODBC");
    ASSERT_TRUE(ini.save());
    r = run(PENSION_BACKUP, {data, target});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("names the database driver QODBC")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(target));
}
