// Eight stations posting payrolls and withdrawals into one fund at once, each a process of its
// own: every posting is wholly on file or was reported failed to its station, the accounts hold
// exactly what the stations say they posted, the contractor's day total holds every payroll line,
// and no station is left hanging (a watchdog kills them and fails the test).
// PENSION_LOAD_SECONDS sets how long they post (6 by default).
#include "stationtest.h"
#include "platform/clock.h"
#include "stationfund.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

namespace {
struct Said {
    qint64 posted = 0, failed = 0, cents = 0, rows = 0;
};

int seconds() {
    bool ok = false;
    const int s = qEnvironmentVariableIntValue("PENSION_LOAD_SECONDS", &ok);
    return ok && s > 0 ? s : 6;
}
} // namespace

class Load : public StationTest {};

TEST_F(Load, EightStationsPostingAtOnceLeaveEveryPostingWholeOrReportedFailed) {
    ASSERT_TRUE(StationFund::make(*db, true));
    const int run = seconds();
    std::vector<std::unique_ptr<QProcess>> stations;
    for (int s = 0; s < StationFund::Stations; ++s) {
        auto p = std::make_unique<QProcess>();
        p->setProgram(PENSION_STATION);
        p->setArguments({dataDir(), "load", QString::number(s), QString::number(run)});
        p->start();
        ASSERT_TRUE(p->waitForStarted());
        stations.push_back(std::move(p));
    }
    // The watchdog: a station still running well after its time is up is stuck.
    QDeadlineTimer deadline(std::chrono::seconds(run + 120));
    bool hung = false;
    for (auto &p : stations)
        if (!p->waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 0)))) hung = true;
    if (hung)
        for (auto &p : stations) {
            p->kill();
            p->waitForFinished();
        }
    ASSERT_FALSE(hung) << "a station did not finish: a lock was left hanging";

    static const QRegularExpression line("^posted (\\d+) failed (\\d+) cents (-?\\d+) rows (\\d+)$",
                                         QRegularExpression::MultilineOption);
    std::vector<Said> said(StationFund::Stations);
    Said all;
    for (int s = 0; s < StationFund::Stations; ++s) {
        QProcess &p = *stations[s];
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        ASSERT_EQ(p.exitCode(), 0) << "station " << s << ": " << p.readAllStandardError().toStdString();
        const QRegularExpressionMatch m = line.match(out);
        ASSERT_TRUE(m.hasMatch()) << out.toStdString();
        said[s] = {m.captured(1).toLongLong(), m.captured(2).toLongLong(), m.captured(3).toLongLong(),
                   m.captured(4).toLongLong()};
        EXPECT_GT(said[s].posted, 0) << "station " << s << " posted nothing";
        all.posted += said[s].posted, all.failed += said[s].failed;
        all.cents += said[s].cents, all.rows += said[s].rows;
    }

    // What is on file, station by station (each posts to its own members only).
    std::vector<Said> found(StationFund::Stations);
    qint64 payrollCents = 0;
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    tra.setStart(Trans::Acct_Key);
    while (tra.next()) {
        const int s = StationFund::stationOf(tra.rec.ACCTNUM);
        ASSERT_GE(s, 0) << "a posting to account " << tra.rec.ACCTNUM;
        found[s].cents += tra.rec.TRANSAMOUNT.unitsAt(2);
        ++found[s].rows;
        if (tra.rec.TRANSTYPE == TransType::Payroll) payrollCents += tra.rec.TRANSAMOUNT.unitsAt(2);
    }
    ASSERT_FALSE(tra.failed()) << storage::lastErrorText().toStdString();
    Said onFile;
    for (int s = 0; s < StationFund::Stations; ++s) {
        EXPECT_EQ(found[s].cents, said[s].cents) << "station " << s;
        EXPECT_EQ(found[s].rows, said[s].rows) << "station " << s;
        onFile.cents += found[s].cents;
    }
    EXPECT_EQ(onFile.cents, all.cents);

    // One day record for the contractor, holding every payroll line of every station.
    storage::DataFile<PayData> pay(*db);
    ASSERT_TRUE(pay.open());
    pay.setStart(PayData::AcctNumDate);
    int days = 0;
    while (pay.next()) {
        ++days;
        EXPECT_EQ(pay.rec.ACCTNUM, StationFund::ContractorNumber);
        EXPECT_EQ(pay.rec.AMOUNT.unitsAt(2), payrollCents);
    }
    ASSERT_FALSE(pay.failed());
    EXPECT_EQ(days, 1);

    std::printf("[ load     ] %d stations, %d s, %s: %lld postings (%.1f a second), %lld failed\n",
                StationFund::Stations, run, qPrintable(engine()), all.posted,
                double(all.posted) / run, all.failed);
}
