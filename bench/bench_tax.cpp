// The year's 1099-R and 1099-INT runs over the shared data set of 50,000 members with eight
// years of monthly deposits and yearly dividends (about 5,200,000 transactions); every tenth
// member gets two withdrawals in the tax year. Each run gathers the payees and builds both files
// in memory, and is printed beside the goal of 3 seconds with its wall and CPU time, and its CPU
// time as a multiple of the floor: the same reads in plain SQL, measured in the same run.
#include "data/records.h"
#include "datagen.h"
#include "platform/clock.h"
#include "toolbox/tax/taxrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {
std::unique_ptr<storage::Database> g_db;
constexpr int kMembers = 50000;
constexpr int kYear = 2025;
constexpr double kGoalSeconds = 3.0;

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The fund settings and two withdrawals (each with its tax) for every tenth member, as the
// withdrawal window posts them; added once, in one transaction, to a data set that has no
// settings yet.
bool addTaxYear(storage::Database &db) {
    storage::DataFile<CUInfo> cui(db);
    storage::DataFile<Trans> tra(db);
    if (!db.exists(cui.def()) && !db.create(cui.def())) return false;
    if (!cui.open() || !tra.open()) return false;
    if (cui.first()) return true;
    if (cui.failed()) return false;
    storage::Transaction t(db);
    cui.clear();
    CUInfo &c = cui.rec;
    c.NAME = "Local 565 Pension Fund", c.ADDRESS1 = "1200 Labor Lane", c.CITY = "Springfield";
    c.STATE = "IL", c.ZIP = "62701", c.PHONE = "(217)555-0100", c.EIN = "371234567";
    c.MANAGER = "Pat Fund-Manager", c.YEARFOR1099 = QString::number(kYear);
    c.TRANSCODE = "12345", c.EMAILADDRESS = "office@local565.example";
    if (!cui.add()) return false;
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
    if (!g_db) {
        GenOptions o;
        o.members = kMembers;
        o.years = 8;
        o.contractors = 1000;
        o.endDate = Clock::dayNumber(2026, 11, 30);
        g_db = benchDataset(QStringLiteral("tax-m50000-y8"), o);
        QElapsedTimer t;
        t.start();
        if (!addTaxYear(*g_db)) qFatal("cannot add the tax year's settings and withdrawals");
        if (t.elapsed() > 1000) fprintf(stderr, "tax year added in %.1f s\n", t.elapsed() / 1000.0);
    }
    return *g_db;
}

double g_floorCpu = 0; // CPU seconds of the floor, when it ran first

// The floor: the same reads with nothing around them, straight SQL prepared once in one read
// transaction: every member in name order, then each member's interest of the year through
// the account key.
void BM_Floor(benchmark::State &state) {
    storage::Database &db = dataset();
    double cpu = 0;
    qint64 sum = 0;
    for (auto _ : state) {
        const double cpu0 = cpuSeconds();
        const storage::ReadSnapshot snapshot(db);
        QSqlQuery members(db.sql()), year(db.sql());
        members.setForwardOnly(true);
        year.setForwardOnly(true);
        members.prepare("SELECT \"ACCTNUM\" FROM \"MemberCU\" ORDER BY upper(\"LASTNAME\"), "
                        "upper(\"FIRSTNAME\"), rec_pos");
        year.prepare("SELECT \"TRANSAMOUNT\" FROM \"Trans\" WHERE \"ACCTNUM\" = ? AND "
                     "\"TRANSDATE\" <= ? AND \"TRANSDATE\" >= ? AND \"TRANSTYPE\" IN (2, -5) "
                     "ORDER BY \"ACCTNUM\", \"TRANSDATE\" DESC, rec_pos");
        year.bindValue(1, Clock::dayNumber(kYear, 12, 31));
        year.bindValue(2, Clock::dayNumber(kYear, 1, 1));
        if (!members.exec()) state.SkipWithError("cannot read the members");
        while (members.next()) {
            year.bindValue(0, members.value(0));
            if (!year.exec()) state.SkipWithError("cannot read a member's year");
            while (year.next()) sum += year.value(0).toLongLong();
        }
        cpu += cpuSeconds() - cpu0;
    }
    benchmark::DoNotOptimize(sum);
    g_floorCpu = cpu / double(state.iterations());
    fprintf(stdout, "floor: CPU %.2f s per run\n", g_floorCpu);
    fflush(stdout);
}
BENCHMARK(BM_Floor)->Iterations(2)->Unit(benchmark::kMillisecond);

void run(benchmark::State &state, Tax::Form form, const char *name) {
    storage::Database &db = dataset();
    Tax::TaxRun taxRun(db);
    qint64 bytes = 0;
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const double cpu0 = cpuSeconds();
        if (!taxRun.gather(form, kYear)) state.SkipWithError(qPrintable(taxRun.error()));
        bytes = taxRun.fileBytes().size() + taxRun.irisBytes().size();
        wall += t.nsecsElapsed() / 1e9;
        cpu += cpuSeconds() - cpu0;
    }
    const double n = double(state.iterations());
    state.counters["payees"] = double(taxRun.result().reported());
    state.counters["bytes"] = double(bytes);
    state.counters["cpu_s"] = cpu / n;
    const QString floor =
        g_floorCpu > 0 ? QString(" (%1 x the floor)").arg(cpu / n / g_floorCpu, 0, 'f', 1) : QString();
    fprintf(stdout, "%s: wall %.2f s, CPU %.2f s%s per run; goal under %.0f s: %s\n", name,
            wall / n, cpu / n, qPrintable(floor), kGoalSeconds,
            wall / n < kGoalSeconds ? "met" : "NOT met");
    fflush(stdout);
}

void BM_Run1099R(benchmark::State &state) {
    run(state, Tax::Form::R, "1099-R");
}
BENCHMARK(BM_Run1099R)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_Run1099INT(benchmark::State &state) {
    run(state, Tax::Form::Int, "1099-INT");
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
