// A long read run reads the fund as it was when it began, whatever another station posts
// meanwhile; nothing can be written inside one. Statements and the list of files are kept per
// connection, and stay right when files are made or a batch is rolled back.
#include "../support/tempdata.h"
#include "data/lookups.h"
#include "data/records.h"
#include "platform/storage/faults.h"
#include "platform/storage/sideread.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QThread>
#include <atomic>
#include <thread>

namespace {
constexpr qint32 kAsOf = 0;

class Snapshot : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        ASSERT_TRUE(db->create(Trans::layout().def()));
        other = openSecond();
        ASSERT_TRUE(other);
        post(*db, 1001, 10000);
        post(*db, 1001, 2500);
        post(*db, 1002, 700);
    }
    // A deposit committed by the station of `on`.
    static bool post(storage::Database &on, qint32 acct, qint64 cents) {
        storage::DataFile<Trans> tra(on);
        if (!tra.open()) return false;
        storage::Transaction t(on);
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = 20000;
        tra.rec.TRANSTYPE = TransType::Payroll;
        tra.rec.TRANSAMOUNT = Decimal::fromCents(cents);
        return tra.add() && t.commit();
    }
    static qint64 balance(storage::Database &on, qint32 acct) {
        Decimal bal, pre, ytd;
        EXPECT_TRUE(GETBALANCE(on, QString::number(acct), bal, pre, ytd, kAsOf));
        return bal.unitsAt(2);
    }
    static int records(storage::DataFile<Trans> &tra) {
        int n = 0;
        tra.clear();
        tra.setStart(Trans::Acct_Key);
        while (tra.next()) ++n;
        EXPECT_FALSE(tra.failed());
        return n;
    }
    std::unique_ptr<storage::Database> other;
};
} // namespace

TEST_F(Snapshot, ARunSeesNoneOfWhatAnotherStationPostsMeanwhile) {
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    {
        storage::ReadSnapshot snapshot(*db);
        ASSERT_TRUE(snapshot.active());
        EXPECT_EQ(balance(*db, 1001), 12500);
        EXPECT_EQ(records(tra), 3);
        // The other station is not held up by the run, and its posting is committed...
        ASSERT_TRUE(post(*other, 1001, 99));
        ASSERT_TRUE(post(*other, 1003, 1));
        EXPECT_EQ(balance(*other, 1001), 12599);
        // ...yet the run goes on reading the fund as it began: sums, walks and gets alike.
        EXPECT_EQ(balance(*db, 1001), 12500);
        EXPECT_EQ(balance(*db, 1003), 0);
        EXPECT_EQ(records(tra), 3);
        tra.clear();
        tra.rec.ACCTNUM = 1003;
        EXPECT_FALSE(tra.get(Trans::Acct_Key));
        EXPECT_FALSE(tra.failed());
    }
    // Once it ends, the next read sees everything.
    EXPECT_EQ(balance(*db, 1001), 12599);
    EXPECT_EQ(records(tra), 5);
}

TEST_F(Snapshot, WithoutOneEachReadSeesTheLatestPosting) {
    // What the snapshot is for: statement by statement, a run sees some postings and not others.
    EXPECT_EQ(balance(*db, 1001), 12500);
    ASSERT_TRUE(post(*other, 1001, 99));
    EXPECT_EQ(balance(*db, 1001), 12599);
}

TEST_F(Snapshot, NothingIsWrittenInsideOneAndTheSnapshotStays) {
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    storage::ReadSnapshot snapshot(*db);
    {
        storage::Transaction t(*db);
        EXPECT_FALSE(t.active());
        EXPECT_EQ(t.error().code, storage::AccessDenied);
        EXPECT_TRUE(t.error().driverText.contains("snapshot")) << t.error().driverText.toStdString();
        tra.clear();
        tra.rec.ACCTNUM = 1005;
        EXPECT_FALSE(tra.add());
        EXPECT_EQ(storage::lastError().code, storage::AccessDenied);
        EXPECT_FALSE(t.commit());
    }
    {
        storage::Transaction abandoned(*db); // refused, then ended without a commit
        EXPECT_FALSE(abandoned.active());
    }
    // Outside any batch a write is refused the same way.
    tra.clear();
    tra.rec.ACCTNUM = 1006;
    EXPECT_FALSE(tra.add());
    EXPECT_EQ(storage::lastError().code, storage::AccessDenied);
    // The refused batch's end did not end the snapshot.
    ASSERT_TRUE(post(*other, 1001, 99));
    EXPECT_EQ(balance(*db, 1001), 12500);
    EXPECT_EQ(records(tra), 3);
}

TEST_F(Snapshot, WritesGoAheadOnceItEnds) {
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    { storage::ReadSnapshot snapshot(*db); }
    ASSERT_TRUE(post(*db, 1001, 1));
    EXPECT_EQ(balance(*db, 1001), 12501);
    EXPECT_EQ(balance(*other, 1001), 12501);
}

TEST_F(Snapshot, SnapshotsNestAndTheOutermostHoldsIt) {
    storage::ReadSnapshot outer(*db);
    {
        storage::ReadSnapshot inner(*db);
        EXPECT_TRUE(inner.active());
        EXPECT_EQ(balance(*db, 1001), 12500);
    }
    ASSERT_TRUE(post(*other, 1001, 99));
    EXPECT_EQ(balance(*db, 1001), 12500) << "the inner run's end let go of the outer snapshot";
    storage::Transaction t(*db);
    EXPECT_FALSE(t.active()) << "still read-only after an inner snapshot ended";
}

TEST_F(Snapshot, InsideABatchOneChangesNothing) {
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    storage::Transaction t(*db);
    ASSERT_TRUE(t.active());
    {
        storage::ReadSnapshot snapshot(*db);
        EXPECT_TRUE(snapshot.active());
        // The batch reads its own writes and goes on writing.
        tra.clear();
        tra.rec.ACCTNUM = 1001;
        tra.rec.TRANSAMOUNT = Decimal::fromCents(5);
        ASSERT_TRUE(tra.add());
        EXPECT_EQ(balance(*db, 1001), 12505);
    }
    ASSERT_TRUE(t.active());
    tra.clear();
    tra.rec.ACCTNUM = 1001;
    tra.rec.TRANSAMOUNT = Decimal::fromCents(5);
    ASSERT_TRUE(tra.add());
    ASSERT_TRUE(t.commit());
    EXPECT_EQ(balance(*other, 1001), 12510);
}

TEST_F(Snapshot, AFailedReadInsideOneIsStillAFailure) {
    storage::ReadSnapshot snapshot(*db);
    storage::faults::refuseReads("Trans");
    Decimal bal, pre, ytd;
    EXPECT_FALSE(GETBALANCE(*db, "1001", bal, pre, ytd, kAsOf));
    storage::faults::clear(*db);
    EXPECT_EQ(balance(*db, 1001), 12500);
}

// Statements and files kept per connection.

TEST_F(Snapshot, APreparedStatementIsMadeOnceAndABadOneIsAnError) {
    QSqlQuery *q = db->prepared("count", "SELECT COUNT(*) FROM \"Trans\"");
    ASSERT_TRUE(q);
    EXPECT_EQ(db->prepared("count", "ignored once prepared"), q);
    ASSERT_TRUE(q->exec() && q->next());
    EXPECT_EQ(q->value(0).toInt(), 3);
    q->finish();
    storage::clearError();
    EXPECT_EQ(db->prepared("bad", "SELECT FROM WHERE"), nullptr);
    EXPECT_NE(storage::lastError().code, storage::NoError);
    // A failure is not remembered: the id can be prepared once its statement is right.
    EXPECT_NE(db->prepared("bad", "SELECT 1"), nullptr);
}

TEST_F(Snapshot, AFileAnotherStationMadeOpensAfterThisOneLookedForIt) {
    storage::DataFile<PayData> pay(*db);
    EXPECT_FALSE(pay.open());
    EXPECT_EQ(storage::lastError().code, storage::FileNotFound);
    ASSERT_TRUE(other->create(PayData::layout().def()));
    EXPECT_TRUE(pay.open()) << storage::lastErrorText().toStdString();
}

TEST_F(Snapshot, AFileMadeInsideARolledBackBatchIsGoneAgain) {
    {
        storage::Transaction t(*db);
        ASSERT_TRUE(db->create(PayData::layout().def()));
        storage::DataFile<PayData> inside(*db);
        EXPECT_TRUE(inside.open());
    }
    storage::DataFile<PayData> pay(*db);
    EXPECT_FALSE(pay.open());
    EXPECT_EQ(storage::lastError().code, storage::FileNotFound);
    ASSERT_TRUE(db->create(PayData::layout().def()));
    EXPECT_TRUE(pay.open());
}

// A long read split between two connections: the second reads the same committed state as the
// first, whatever another station commits as it joins; where it cannot, the run reads on one.
namespace {
// Another station in a thread of its own, as another process would post: its own connection,
// made, used and closed in that thread.
class StationThread {
public:
    explicit StationThread(QString dir) : m_dir(std::move(dir)) {}
    ~StationThread() { join(); }
    void post(qint32 acct, qint64 cents, bool (*posting)(storage::Database &, qint32, qint64)) {
        m_thread = std::thread([this, acct, cents, posting] {
            auto station = storage::Database::open(m_dir, storage::Database::MustExist);
            m_posted = station && posting(*station, acct, cents);
            m_done = true;
        });
    }
    // Whether the posting was committed (or refused) within `ms`.
    bool doneWithin(int ms) const {
        QElapsedTimer t;
        t.start();
        while (!m_done && t.elapsed() < ms) QThread::msleep(5);
        return m_done;
    }
    bool join() {
        if (m_thread.joinable()) m_thread.join();
        return m_posted;
    }

private:
    QString m_dir;
    std::thread m_thread;
    std::atomic<bool> m_done{false};
    bool m_posted = false;
};

const QString kTotals = QStringLiteral("SELECT COUNT(*), SUM(\"TRANSAMOUNT\") FROM \"Trans\"");

// Both connections' counts and sums of Trans, in cents.
std::pair<qint64, qint64> totalsOn(storage::Database &db) {
    QSqlQuery q(db.sql());
    EXPECT_TRUE(q.exec(kTotals) && q.next());
    return {q.value(0).toLongLong(), q.value(1).toLongLong()};
}
std::pair<qint64, qint64> sideTotals(storage::SideRead &side) {
    side.start(kTotals, {}, 2);
    const storage::SideRead::Rows &rows = side.wait();
    EXPECT_FALSE(rows.error.isValid()) << qPrintable(rows.error.text());
    if (rows.count() != 1) return {-1, -1};
    return {rows.at(0, 0), rows.at(0, 1)};
}
} // namespace

TEST_F(Snapshot, BothHalvesOfASplitReadSeeTheStateItBeganOn) {
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    if (!db->isSqlite()) {
        storage::SideRead side(*db);
        EXPECT_FALSE(side.available()); // a server reads on its own cores
        EXPECT_TRUE(side.active());
        return;
    }
    // Another station commits at the very moment the second connection joins: it must wait
    // until both have begun, or one half would count its deposit and the other not.
    StationThread station(dataDir());
    bool waited = false;
    storage::faults::whenJoining([&] {
        station.post(1002, 99, &Snapshot::post);
        waited = !station.doneWithin(500);
    });
    {
        storage::SideRead side(*db);
        ASSERT_TRUE(side.available());
        ASSERT_TRUE(side.active());
        EXPECT_TRUE(waited);
        EXPECT_EQ(sideTotals(side), std::make_pair(qint64(3), qint64(13200)));
        EXPECT_EQ(totalsOn(*db), std::make_pair(qint64(3), qint64(13200)));
        // It was not kept waiting for the run, only for the moment of joining.
        EXPECT_TRUE(station.doneWithin(5000));
        EXPECT_EQ(totalsOn(*db), std::make_pair(qint64(3), qint64(13200)));
    }
    EXPECT_TRUE(station.join());
    EXPECT_EQ(totalsOn(*db), std::make_pair(qint64(4), qint64(13299)));
    // Nothing can be written while it lasts, as with any snapshot.
    {
        storage::SideRead side(*db);
        EXPECT_FALSE(post(*db, 1001, 1));
    }
    EXPECT_TRUE(post(*db, 1001, 1));
}

TEST_F(Snapshot, ASplitReadDoesNotWaitForAStationInTheMiddleOfAWrite) {
    if (!db->isSqlite()) GTEST_SKIP() << "a server has no second connection to split a read";
    storage::DataFile<Trans> tra(*other);
    ASSERT_TRUE(tra.open());
    storage::Transaction batch(*other);
    tra.clear();
    tra.rec.ACCTNUM = 1003;
    tra.rec.TRANSAMOUNT = Decimal::fromCents(5);
    ASSERT_TRUE(tra.add());
    {
        // The run reads on its own connection alone, in one snapshot all the same.
        storage::SideRead side(*db);
        EXPECT_FALSE(side.available());
        ASSERT_TRUE(side.active());
        EXPECT_EQ(totalsOn(*db), std::make_pair(qint64(3), qint64(13200)));
        ASSERT_TRUE(batch.commit());
        EXPECT_EQ(totalsOn(*db), std::make_pair(qint64(3), qint64(13200)));
    }
    EXPECT_EQ(totalsOn(*db), std::make_pair(qint64(4), qint64(13205)));
}

TEST_F(Snapshot, ASplitReadInsideAnotherReadOrABatchIsNotSplit) {
    // The second connection could not see the batch's own writes, nor join a snapshot begun
    // earlier on the state it began on.
    {
        storage::ReadSnapshot outer(*db);
        storage::SideRead side(*db);
        EXPECT_FALSE(side.available());
        EXPECT_TRUE(side.active());
    }
    storage::Transaction t(*db);
    ASSERT_TRUE(post(*db, 1003, 1));
    storage::SideRead side(*db);
    EXPECT_FALSE(side.available());
    EXPECT_EQ(totalsOn(*db), std::make_pair(qint64(4), qint64(13201)));
}

TEST_F(Snapshot, ASplitReadsFailureOrFiguresNotWholeAreReported) {
    if (!db->isSqlite()) GTEST_SKIP() << "a server has no second connection to split a read";
    {
        storage::SideRead side(*db);
        ASSERT_TRUE(side.available());
        side.start("SELECT nothing FROM \"Trans\"", {}, 1);
        EXPECT_TRUE(side.wait().error.isValid());
        EXPECT_EQ(side.wait().count(), 0);
    }
    {
        // Rows stop before the first that is not whole numbers throughout.
        storage::SideRead side(*db);
        side.start("SELECT ?, 1 UNION ALL SELECT 2, 2.5 UNION ALL SELECT 3, 3", {7}, 2);
        const storage::SideRead::Rows &rows = side.wait();
        ASSERT_EQ(rows.count(), 1);
        EXPECT_EQ(rows.at(0, 0), 7);
        EXPECT_FALSE(rows.whole);
        EXPECT_FALSE(rows.error.isValid());
    }
    {
        // A sum beyond 64 bits fails with SQLite's own words, as on the first connection.
        storage::SideRead side(*db);
        side.start("SELECT SUM(x) FROM (SELECT 9223372036854775807 AS x UNION ALL SELECT 1)", {}, 1);
        EXPECT_TRUE(side.wait().error.databaseText().contains("integer overflow"))
            << qPrintable(side.wait().error.text());
    }
    {
        // Going away stops a statement still running rather than wait for it.
        storage::SideRead side(*db);
        side.start("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                   "WHERE x < 4000000000) SELECT SUM(x) FROM c",
                   {}, 1);
    }
}
