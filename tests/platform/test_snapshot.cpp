// A long read run reads the fund as it was when it began, whatever another station posts
// meanwhile; nothing can be written inside one. Statements and the list of files are kept per
// connection, and stay right when files are made or a batch is rolled back.
#include "../support/tempdata.h"
#include "data/lookups.h"
#include "data/records.h"
#include "platform/storage/faults.h"

#include <QSqlQuery>

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
