// Two programs on one data directory: another process writes while we read, waits for our
// batch, and a process killed in the middle of its batch leaves nothing half-written.
#include "../support/tempdata.h"
#include "data/records.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace {
class Stations : public DataTest {
protected:
    QProcess *generate(const QStringList &extra) {
        auto *p = new QProcess;
        p->setProgram(PENSION_GENDATA);
        p->setArguments(QStringList{dataDir()} + extra);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start();
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
};
} // namespace

TEST_F(Stations, AnotherProcessWaitsForOurBatchAndThenWrites) {
    if (!db->isSqlite()) GTEST_SKIP() << "a server lets another station add beside an open batch";
    ASSERT_TRUE(db->create(Trans::layout().def()));
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    {
        storage::Transaction t(*db);
        tra.rec.ACCTNUM = 1;
        tra.rec.TRANSAMOUNT = Decimal::fromCents(100);
        ASSERT_TRUE(tra.add());
        std::unique_ptr<QProcess> other(generate({"--members", "3", "--months", "2"}));
        // It cannot write while our batch is open...
        EXPECT_FALSE(other->waitForFinished(700));
        ASSERT_TRUE(t.commit());
        // ...and goes on as soon as it is committed.
        ASSERT_TRUE(other->waitForFinished(30000)) << other->readAll().toStdString();
        EXPECT_EQ(other->exitCode(), 0) << other->readAll().toStdString();
    }
    EXPECT_EQ(tra.count(), 1 + 3 * 2);
}

TEST_F(Stations, AKilledBatchLeavesAllOrNothing) {
    ASSERT_TRUE(db->create(Trans::layout().def()));
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    std::unique_ptr<QProcess> other(generate({"--members", "5000", "--months", "24", "--progress"}));
    // Kill it in the middle of its batch: the members are written, the deposits are being written.
    ASSERT_TRUE(other->waitForReadyRead(120000));
    EXPECT_EQ(other->readLine().trimmed(), "members");
    QThread::msleep(300);
    EXPECT_EQ(other->state(), QProcess::Running) << "the batch ended before it could be killed";
    other->kill();
    other->waitForFinished();
    EXPECT_EQ(tra.count(), 0);
    storage::DataFile<MemberCU> mem(*db);
    if (db->exists(MemberCU::layout().def())) {
        ASSERT_TRUE(mem.open());
        EXPECT_EQ(mem.count(), 0);
    }
    // The data directory stays usable.
    tra.rec.ACCTNUM = 5;
    EXPECT_TRUE(tra.add());
}
