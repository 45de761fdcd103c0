// Storage benchmarks on generated data: batch add rate, key walk of one account, GETBALANCE
// beside its floor (the same query prepared once by hand), reported in the same run.
// Data directories are generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused.
#include "data/lookups.h"
#include "data/records.h"
#include "datagen.h"
#include "platform/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

namespace {
constexpr qint32 kEnd = 0; // generated history ends last month

QString benchRoot() {
    QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QDir().mkpath(root);
    return root;
}

std::map<int, std::unique_ptr<storage::Database>> g_open;

// A database of `members` members with eight years of monthly deposits and yearly dividends.
storage::Database &dataset(int members) {
    auto &db = g_open[members];
    if (db) return *db;
    QString dir = QDir(benchRoot()).filePath(QString("m%1-y8").arg(members));
    bool fresh = !QFile::exists(QDir(dir).filePath(storage::Database::FileName));
    db = storage::Database::open(dir);
    if (fresh) {
        GenOptions o;
        o.members = members;
        o.years = 8;
        o.contractors = std::max(1, members / 50);
        o.endDate = Clock::dayNumber(2026, 11, 30);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!generateData(*db, o, &error)) qFatal("%s", qPrintable(error));
        storage::DataFile<Trans> tra(*db);
        tra.open();
        fprintf(stderr, "generated %d members, %lld transactions in %.1f s\n", members,
                tra.count(), t.elapsed() / 1000.0);
    }
    return *db;
}

void BM_BatchAddTransactions(benchmark::State &state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        QTemporaryDir dir(QDir(benchRoot()).filePath("add-XXXXXX"));
        auto db = storage::Database::open(dir.path());
        db->create(Trans::layout().def());
        storage::DataFile<Trans> tra(*db);
        tra.open();
        storage::Transaction t(*db);
        for (int i = 0; i < n; ++i) {
            tra.rec.ACCTNUM = 1001 + i % 50000;
            tra.rec.TRANSDATE = Clock::dayNumber(2020, 1, 15) + i / 50000 * 30;
            tra.rec.TRANSAMOUNT = Decimal::fromCents(12345 + i % 1000);
            tra.rec.TRANSTYPE = TransType::Payroll;
            tra.rec.DESC = "(ABC Builders For 01/01/2020)";
            tra.rec.USERID = "MGR";
            if (!tra.add()) state.SkipWithError("add failed");
        }
        t.commit();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BatchAddTransactions)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);

// One account's history through the account key, newest first, as the balance views read it.
void BM_KeyWalkOneAccount(benchmark::State &state) {
    storage::Database &db = dataset(int(state.range(0)));
    storage::DataFile<Trans> tra(db);
    tra.open();
    QRandomGenerator rng(7);
    qint64 records = 0;
    for (auto _ : state) {
        qint32 acct = 1001 + rng.bounded(int(state.range(0)));
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.set(Trans::Acct_Key, 1);
        while (tra.next() && tra.rec.ACCTNUM == acct) ++records;
    }
    state.counters["records/walk"] = double(records) / state.iterations();
    state.SetItemsProcessed(records); // items/s: records per second of the walk
}
BENCHMARK(BM_KeyWalkOneAccount)->Arg(5000)->Arg(50000)->Unit(benchmark::kMicrosecond);

void BM_GetBalance(benchmark::State &state) {
    storage::Database &db = dataset(int(state.range(0)));
    QRandomGenerator rng(11);
    qint32 asOf = Clock::dayNumber(2024, 6, 30);
    for (auto _ : state) {
        Decimal bal, pre, ytd;
        if (!GETBALANCE(db, QString::number(1001 + rng.bounded(int(state.range(0)))), bal, pre, ytd, asOf))
            state.SkipWithError("the balance could not be read");
        benchmark::DoNotOptimize(bal);
    }
}
BENCHMARK(BM_GetBalance)->Arg(5000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// The floor of GETBALANCE: its query prepared once by hand and run with the same values.
void BM_GetBalanceFloor(benchmark::State &state) {
    storage::Database &db = dataset(int(state.range(0)));
    QRandomGenerator rng(11);
    qint32 asOf = Clock::dayNumber(2024, 6, 30);
    qint32 yearEnd = Clock::dayNumber(2023, 12, 31);
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare("SELECT COALESCE(SUM(\"TRANSAMOUNT\"), 0), "
              "COALESCE(SUM(CASE WHEN \"TRANSDATE\" <= ? THEN \"TRANSAMOUNT\" ELSE 0 END), 0) "
              "FROM \"Trans\" WHERE \"ACCTNUM\" = ? AND \"TRANSDATE\" <= ?");
    for (auto _ : state) {
        q.bindValue(0, yearEnd);
        q.bindValue(1, 1001 + rng.bounded(int(state.range(0))));
        q.bindValue(2, asOf);
        if (!q.exec() || !q.next()) state.SkipWithError("the balance could not be read");
        benchmark::DoNotOptimize(q.value(0).toLongLong());
        q.finish();
    }
}
BENCHMARK(BM_GetBalanceFloor)->Arg(5000)->Arg(50000)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_open.clear(); // connections close before the application object goes
    return 0;
}
