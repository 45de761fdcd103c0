// Posting one payroll of 2,000 lines into a Trans file of about five million transactions
// (50,000 members, eight years of monthly deposits), report excluded. The data directory is
// generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused.
#include "datagen.h"
#include "payroll/processpayroll.h"
#include "platform/clock.h"
#include "platform/picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
class Quiet : public Dialogs {
public:
    int show(const Message &m) override { return m.custom.isEmpty() ? m.defaultButton : 2; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

std::unique_ptr<storage::Database> g_db;

storage::Database &dataset() {
    if (g_db) return *g_db;
    const QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QDir().mkpath(root);
    const QString dir = QDir(root).filePath("payroll-m50000-y8");
    bool fresh = false;
    g_db = openDataset(dir, fresh);
    if (fresh) {
        GenOptions o;
        o.members = 50000;
        o.years = 8;
        o.contractors = 1000;
        o.endDate = Clock::dayNumber(2026, 11, 30);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!generateData(*g_db, o, &error)) qFatal("%s", qPrintable(error));
        fprintf(stderr, "generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    return *g_db;
}

void BM_PostPayroll(benchmark::State &state) {
    storage::Database &db = dataset();
    const int lines = int(state.range(0));
    {
        storage::DataFile<Trans> tra(db);
        tra.open();
        state.counters["transactions"] = double(tra.count());
    }
    Quiet dialogs;
    PayrollGlobals glo;
    glo.CONTRACTORNAME = "ABC Builders";
    glo.CONTRACTORNUMBER = 1;
    glo.PAYROLLDATE = Clock::dayNumber(2026, 12, 1);
    glo.POSTINGDATE = Clock::dayNumber(2026, 12, 15);
    for (auto _ : state) {
        state.PauseTiming();
        PayQueue queue;
        for (int i = 0; i < lines; ++i)
            queue << PayQueueEntry{
                Picture::applyPattern(QString("%1").arg(100000001 + i * 7, 9, 10, QChar('0')),
                                      "@P###-##-####P"),
                QString(),
                glo.PAYROLLDATE,
                Decimal::fromCents(10000 + i),
                1,
                glo.POSTINGDATE};
        ProcessPayrollLogic logic(db, dialogs, glo, queue, {}, {});
        logic.open();
        state.ResumeTiming();
        if (!logic.post()) state.SkipWithError("posting failed");
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PostPayroll)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);
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
