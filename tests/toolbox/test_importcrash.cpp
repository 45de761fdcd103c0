// An import of a large history killed half-way leaves the previous history as it was; left
// alone, the same import replaces it whole.
#include "../support/tempdata.h"
#include "data/records.h"

#include <QProcess>
#include <QThread>

namespace {
class ImportCrash : public DataTest {
protected:
    std::unique_ptr<QProcess> import(int lines) {
        auto p = std::make_unique<QProcess>();
        p->setProgram(PENSION_IMPORTTRANS);
        p->setArguments({dataDir(), QString::number(lines)});
        p->start();
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    QList<Trans> history() {
        storage::DataFile<Trans> tra(*db);
        EXPECT_TRUE(tra.open());
        QList<Trans> out;
        tra.setStart(Trans::AcctDateRevKey);
        while (tra.next()) out << tra.rec;
        EXPECT_FALSE(tra.failed());
        return out;
    }
};
} // namespace

TEST_F(ImportCrash, KilledHalfWayLeavesThePreviousHistory) {
    for (const storage::FileDef *def : {&MemberCU::layout().def(), &Trans::layout().def()})
        ASSERT_TRUE(db->create(*def));
    {
        storage::DataFile<MemberCU> mem(*db);
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(mem.open() && tra.open());
        for (int i = 0; i < 100; ++i) {
            mem.clear();
            mem.rec.ACCTNUM = 5001 + i;
            ASSERT_TRUE(mem.add());
        }
        for (int i = 0; i < 3; ++i) {
            tra.clear();
            tra.rec.ACCTNUM = 5001;
            tra.rec.TRANSDATE = 1000 + i;
            tra.rec.TRANSAMOUNT = Decimal::fromCents(111 * (i + 1));
            tra.rec.DESC = "BEFORE";
            ASSERT_TRUE(tra.add());
        }
    }
    constexpr int lines = 100000;
    std::unique_ptr<QProcess> killed = import(lines);
    ASSERT_TRUE(killed->waitForReadyRead(120000)) << killed->readAllStandardError().toStdString();
    EXPECT_EQ(killed->readLine().trimmed(), "importing");
    QThread::msleep(300);
    EXPECT_EQ(killed->state(), QProcess::Running) << "the import ended before it could be killed";
    killed->kill();
    killed->waitForFinished();
    const QList<Trans> kept = history();
    ASSERT_EQ(kept.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kept[i].DESC, "BEFORE");
        EXPECT_EQ(kept[i].TRANSAMOUNT, Decimal::fromCents(111 * (i + 1)));
    }

    // Left alone, the same import replaces the history whole.
    std::unique_ptr<QProcess> whole = import(500);
    ASSERT_TRUE(whole->waitForFinished(120000));
    EXPECT_EQ(whole->exitCode(), 0) << whole->readAllStandardError().toStdString();
    const QList<Trans> after = history();
    EXPECT_EQ(after.size(), 500);
    for (const Trans &t : after) EXPECT_EQ(t.DESC, "IMPORTED");
}
