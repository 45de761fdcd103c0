// What the engine answers when the database fails: a batch whose transaction could not begin or
// was abandoned writes nothing, and a read that fails is never taken for the end of the file.
#include "../support/tempdata.h"
#include "data/lookups.h"
#include "data/records.h"
#include "platform/storage/faults.h"

using storage::DataFile;
namespace faults = storage::faults;

namespace {
class Failures : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
    }
    void TearDown() override {
        faults::clear(*db);
        DataTest::TearDown();
    }
    bool addTrans(DataFile<Trans> &f, qint32 acct, qint32 date, const char *amount = "1.00") {
        f.clear();
        f.rec.ACCTNUM = acct;
        f.rec.TRANSDATE = date;
        f.rec.TRANSAMOUNT = Decimal::fromString(amount);
        return f.add();
    }
    qint64 stored() {
        auto other = openSecond();
        DataFile<Trans> tra(*other);
        tra.open();
        return tra.count();
    }
};
} // namespace

TEST_F(Failures, ABatchThatCouldNotBeginWritesNothingEvenWhenTheLockIsFreedMeanwhile) {
    if (!db->isSqlite()) GTEST_SKIP() << "a server takes no lock when a batch begins";
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    ASSERT_TRUE(addTrans(tra, 1, 10));
    // Another station holds the write lock while our batch begins, and lets go right after.
    auto station = openSecond();
    ASSERT_TRUE(station->begin());
    ASSERT_TRUE(db->exec("PRAGMA busy_timeout = 0"));
    {
        storage::Transaction batch(*db);
        EXPECT_FALSE(batch.active());
        EXPECT_EQ(batch.error().code, storage::FileLocked);
        EXPECT_TRUE(storage::lastErrorText().contains("locked"));
        station->rollback();
        EXPECT_TRUE(db->inTransaction()); // still framed: the writes below belong to the batch
        EXPECT_FALSE(addTrans(tra, 1, 11));
        EXPECT_EQ(storage::lastError().code, storage::FileLocked);
        EXPECT_TRUE(storage::lastErrorText().contains("locked")) << storage::lastErrorText().toStdString();
        tra.rec.ACCTNUM = 1;
        tra.rec.TRANSDATE = 10;
        ASSERT_TRUE(tra.get(Trans::Acct_Key)); // reads still work
        tra.rec.TRANSAMOUNT = Decimal::fromString("9.99");
        EXPECT_FALSE(tra.put());
        EXPECT_FALSE(tra.remove());
        EXPECT_FALSE(tra.empty());
        {
            storage::Transaction inner(*db);
            EXPECT_FALSE(inner.active());
            EXPECT_FALSE(addTrans(tra, 1, 12));
        }
        EXPECT_FALSE(batch.commit());
        EXPECT_TRUE(batch.error().driverText.contains("locked"));
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(stored(), 1);
    tra.rec.ACCTNUM = 1;
    tra.rec.TRANSDATE = 10;
    ASSERT_TRUE(tra.get(Trans::Acct_Key));
    EXPECT_EQ(tra.rec.TRANSAMOUNT.toString(), "1.00");

    // Outside any batch, and in the next one, writing works again.
    EXPECT_TRUE(addTrans(tra, 1, 13));
    {
        storage::Transaction batch(*db);
        EXPECT_TRUE(batch.active());
        EXPECT_TRUE(addTrans(tra, 1, 14));
        EXPECT_TRUE(batch.commit());
    }
    EXPECT_EQ(stored(), 3);

    // The test-only refusal behaves the same.
    faults::refuseBegin();
    {
        storage::Transaction batch(*db);
        EXPECT_FALSE(batch.active());
        EXPECT_FALSE(addTrans(tra, 1, 15));
        EXPECT_EQ(storage::lastErrorText(), faults::LockedText);
    }
    EXPECT_EQ(stored(), 3);
}

TEST_F(Failures, ATransactionTheDatabaseAbandonedRefusesEveryLaterWrite) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    // The third write fails and SQLite rolls the whole transaction back by itself.
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 2, true));
    {
        storage::Transaction batch(*db);
        ASSERT_TRUE(batch.active());
        EXPECT_TRUE(addTrans(tra, 1, 1));
        EXPECT_TRUE(addTrans(tra, 1, 2));
        EXPECT_FALSE(addTrans(tra, 1, 3));
        EXPECT_EQ(storage::lastErrorText(), faults::FullText);
        EXPECT_FALSE(batch.active());
        // Had the batch gone on, each write would have been saved on its own.
        EXPECT_FALSE(addTrans(tra, 1, 4));
        EXPECT_EQ(storage::lastErrorText(), faults::FullText);
        EXPECT_FALSE(batch.commit());
        EXPECT_EQ(batch.error().driverText, faults::FullText);
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(stored(), 0);

    // A refusal that does not cost the transaction leaves the batch to decide: it stops. (A
    // server fails the whole transaction on any refusal: the case above.)
    if (!db->isSqlite()) return;
    ASSERT_TRUE(faults::refuseWrites(*db, "Trans", 1));
    {
        storage::Transaction batch(*db);
        EXPECT_TRUE(addTrans(tra, 1, 1));
        EXPECT_FALSE(addTrans(tra, 1, 2));
        EXPECT_EQ(storage::lastErrorText(), faults::FullText);
        EXPECT_TRUE(batch.active());
        EXPECT_FALSE(addTrans(tra, 1, 3)); // the database goes on refusing
    }
    EXPECT_EQ(stored(), 0);
    faults::clear(*db);
    EXPECT_TRUE(addTrans(tra, 1, 1));
    EXPECT_EQ(stored(), 1);
}

TEST_F(Failures, AFailedReadIsAnErrorAndNotTheEndOfTheFile) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    {
        storage::Transaction batch(*db);
        for (int i = 1; i <= 100; ++i) ASSERT_TRUE(addTrans(tra, 7, i));
        ASSERT_TRUE(batch.commit());
    }
    auto walk = [&](int max = 1000) {
        int n = 0;
        while (n < max && tra.next()) ++n;
        return n;
    };
    tra.setStart(Trans::AcctDateRevKey);
    EXPECT_EQ(walk(), 100);
    EXPECT_FALSE(tra.failed());
    EXPECT_EQ(storage::lastError().code, storage::RecordNotFound);

    // A damaged page part-way: the walk stops with the database's reason.
    faults::refuseReads("Trans", 40);
    tra.setStart(Trans::AcctDateRevKey);
    EXPECT_EQ(walk(), 40);
    EXPECT_TRUE(tra.failed());
    EXPECT_EQ(storage::lastError().code, storage::FileSystemError);
    EXPECT_EQ(storage::lastErrorText(), faults::DamagedText);
    EXPECT_FALSE(tra.next()); // still failing, never "no more records"
    EXPECT_TRUE(tra.failed());
    // Reading on once the fault is gone continues with the record that could not be read.
    faults::clear(*db);
    ASSERT_TRUE(tra.next());
    EXPECT_EQ(tra.rec.TRANSDATE, 41);
    EXPECT_FALSE(tra.failed());

    // Reads by key and by position tell a failure from a record that is not there.
    tra.rec.ACCTNUM = 8;
    EXPECT_FALSE(tra.get(Trans::Acct_Key));
    EXPECT_FALSE(tra.failed());
    faults::refuseReads("Trans");
    tra.rec.ACCTNUM = 7;
    tra.rec.TRANSDATE = 5;
    EXPECT_FALSE(tra.get(Trans::Acct_Key));
    EXPECT_TRUE(tra.failed());
    EXPECT_FALSE(tra.getPosition(1));
    EXPECT_TRUE(tra.failed());
    faults::clear(*db);

    // A real failure of the database between two read chunks.
    tra.setStart(Trans::AcctDateRevKey);
    EXPECT_EQ(walk(10), 10);
    ASSERT_TRUE(db->exec("ALTER TABLE \"Trans\" RENAME TO \"TransGone\""));
    EXPECT_EQ(walk(), 6); // the rest of the first chunk, already read
    EXPECT_TRUE(tra.failed());
    EXPECT_EQ(storage::lastError().code, storage::FileSystemError);
    EXPECT_TRUE(storage::lastErrorText().contains(db->isSqlite() ? "no such table" : "does not exist"))
        << storage::lastErrorText().toStdString();
}

TEST_F(Failures, ABalanceThatCannotBeReadIsAFailureNotZero) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    ASSERT_TRUE(addTrans(tra, 100, 10, "250.00"));
    Decimal bal, pre, ytd;
    ASSERT_TRUE(GETBALANCE(*db, "100", bal, pre, ytd));
    EXPECT_EQ(bal.toString(), "250.00");
    EXPECT_TRUE(GETBALANCE(*db, "555", bal, pre, ytd)); // no records: a balance of 0, no failure
    EXPECT_TRUE(bal.isZero());

    faults::refuseReads("Trans");
    EXPECT_FALSE(GETBALANCE(*db, "100", bal, pre, ytd));
    EXPECT_EQ(storage::lastErrorText(), faults::DamagedText);
    faults::clear(*db);
    ASSERT_TRUE(db->exec("ALTER TABLE \"Trans\" RENAME TO \"TransGone\""));
    EXPECT_FALSE(GETBALANCE(*db, "100", bal, pre, ytd, 20));
    EXPECT_EQ(storage::lastError().code, storage::FileSystemError);
    EXPECT_TRUE(bal.isZero());
}
