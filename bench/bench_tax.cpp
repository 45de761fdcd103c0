// The year's 1099-R and 1099-INT runs over 50,000 members with eight years of monthly deposits
// and yearly dividends (about 5,200,000 transactions), every tenth member with two withdrawals
// in the tax year. Each run gathers the payees and builds both files in memory. The data
// directory is generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused.
#include "data/records.h"
#include "datagen.h"
#include "platform/clock.h"
#include "toolbox/tax/taxrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
std::unique_ptr<storage::Database> g_db;
constexpr int kMembers = 50000;
constexpr int kYear = 2025;

// Two withdrawals (each with its tax) for every tenth member, as the withdrawal window posts them.
bool addWithdrawals(storage::Database &db) {
    storage::DataFile<Trans> tra(db);
    if (!tra.open()) return false;
    storage::Transaction t(db);
    auto post = [&](qint32 acct, qint32 date, qint64 cents, qint32 type, const QString &desc) {
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = Decimal::fromCents(-cents);
        tra.rec.TRANSTYPE = type;
        tra.rec.DESC = desc;
        tra.rec.TRANSTIME = Clock::timeOf(11, 0);
        return tra.add();
    };
    for (int i = 0; i < kMembers; i += 10) {
        const qint32 acct = 1001 + i;
        const qint32 date = Clock::dayNumber(kYear, 1 + i % 12, 10);
        if (!post(acct, date, 20000, TransType::Tax, "Withdrawal - Federal Tax") ||
            !post(acct, date, 100000 + i, TransType::Withdrawal, "Hardship (Code -  1)") ||
            !post(acct, date + 7, 5000, TransType::Tax, "Withdrawal - Federal Tax") ||
            !post(acct, date + 7, 25000, TransType::Withdrawal,
                  i % 20 ? "Retirement (Code -  7)" : "Rollover (Code -  G)"))
            return false;
    }
    return t.commit();
}

storage::Database &dataset() {
    if (g_db) return *g_db;
    const QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QDir().mkpath(root);
    const QString dir = QDir(root).filePath("tax-m50000-y8");
    const bool fresh = !QFile::exists(QDir(dir).filePath(storage::Database::FileName));
    g_db = storage::Database::open(dir);
    if (fresh) {
        GenOptions o;
        o.members = kMembers;
        o.years = 8;
        o.contractors = 200;
        o.demo = true;
        o.endDate = Clock::dayNumber(kYear, 12, 31);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!generateData(*g_db, o, &error)) qFatal("%s", qPrintable(error));
        if (!addWithdrawals(*g_db)) qFatal("cannot add the withdrawals");
        fprintf(stderr, "generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    return *g_db;
}

void run(benchmark::State &state, Tax::Form form) {
    storage::Database &db = dataset();
    Tax::TaxRun taxRun(db);
    qint64 bytes = 0;
    for (auto _ : state) {
        if (!taxRun.gather(form, kYear)) state.SkipWithError(qPrintable(taxRun.error()));
        bytes = taxRun.fileBytes().size() + taxRun.irisBytes().size();
    }
    state.counters["payees"] = double(taxRun.result().reported());
    state.counters["bytes"] = double(bytes);
}

void BM_Run1099R(benchmark::State &state) {
    run(state, Tax::Form::R);
}
BENCHMARK(BM_Run1099R)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_Run1099INT(benchmark::State &state) {
    run(state, Tax::Form::Int);
}
BENCHMARK(BM_Run1099INT)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_Transactions(benchmark::State &state) {
    storage::DataFile<Trans> tra(dataset());
    tra.open();
    for (auto _ : state)
        state.counters["transactions"] = double(tra.count());
}
BENCHMARK(BM_Transactions)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    return 0;
}
