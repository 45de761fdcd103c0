// A posting killed half-way leaves none of the payroll's lines; one left alone writes them all.
#include "../support/tempdata.h"
#include "data/records.h"

#include <QProcess>
#include <QThread>

namespace {
class PostingCrash : public DataTest {
protected:
    std::unique_ptr<QProcess> post(int lines) {
        auto p = std::make_unique<QProcess>();
        p->setProgram(PENSION_POSTPAYROLL);
        p->setArguments({dataDir(), QString::number(lines)});
        p->start();
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    qint64 count(const storage::FileDef &def) {
        if (!db->exists(def)) return 0;
        storage::Table t(*db, def);
        t.open();
        return t.count();
    }
};
} // namespace

TEST_F(PostingCrash, AllLinesOrNone) {
    constexpr int lines = 40000;
    std::unique_ptr<QProcess> killed = post(lines);
    ASSERT_TRUE(killed->waitForReadyRead(60000)) << killed->readAllStandardError().toStdString();
    EXPECT_EQ(killed->readLine().trimmed(), "posting");
    QThread::msleep(100);
    EXPECT_EQ(killed->state(), QProcess::Running) << "the posting ended before it could be killed";
    killed->kill();
    killed->waitForFinished();
    const qint64 written = count(Trans::layout().def());
    EXPECT_TRUE(written == 0 || written == lines) << written;
    EXPECT_EQ(count(PayBackup::layout().def()), written);

    // Left alone, the same posting writes every line.
    std::unique_ptr<QProcess> whole = post(500);
    ASSERT_TRUE(whole->waitForFinished(120000));
    EXPECT_EQ(whole->exitCode(), 0) << whole->readAllStandardError().toStdString();
    EXPECT_EQ(count(Trans::layout().def()), written + 500);
    EXPECT_EQ(count(PayBackup::layout().def()), written + 500);
    EXPECT_EQ(count(PayData::layout().def()), 1);
}
