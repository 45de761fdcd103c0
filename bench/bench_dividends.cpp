// A year's dividend run over 10,000 members with five years of monthly deposits (about 600,000
// transactions): the calculation, the posting, and the undo of that posting. The data directory
// is generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused.
#include "datagen.h"
#include "ledger/dividends.h"
#include "ledger/undoposting.h"
#include "platform/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
class Quiet : public Dialogs {
public:
    int show(const Message &m) override {
        if (!m.custom.isEmpty()) return 2;
        return m.buttons & Dlg::Yes ? int(Dlg::Yes) : m.defaultButton;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

std::unique_ptr<storage::Database> g_db;
const qint32 kBegin = Clock::dayNumber(2025, 1, 1), kEnd = Clock::dayNumber(2025, 12, 31);
// Far from any generated date, so that the undo removes only what the benchmark posted.
const qint32 kPaid = Clock::dayNumber(2030, 1, 2);

storage::Database &dataset() {
    if (g_db) return *g_db;
    const QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QDir().mkpath(root);
    const QString dir = QDir(root).filePath("dividends-m10000-y5");
    bool fresh = false;
    g_db = openDataset(dir, fresh);
    if (fresh) {
        GenOptions o;
        o.members = 10000;
        o.years = 5;
        o.contractors = 200;
        o.endDate = Clock::dayNumber(2026, 11, 30);
        QElapsedTimer t;
        t.start();
        QString error;
        if (!generateData(*g_db, o, &error)) qFatal("%s", qPrintable(error));
        fprintf(stderr, "generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    return *g_db;
}

void calculate(EnterDividendsLogic &logic) {
    logic.open();
    logic.LOC.BEGINDATE = kBegin;
    logic.LOC.ENDDATE = kEnd;
    logic.LOC.DIVIDENDDATE = kPaid;
    logic.LOC.DIVPERCENTAGE = Decimal::fromString("4.75");
    logic.calculate();
}

void BM_CalculateDividends(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    DividendGlobals glo;
    PostingList list;
    EnterDividendsLogic logic(db, dialogs, glo, list, {});
    for (auto _ : state)
        calculate(logic);
    storage::DataFile<Trans> tra(db);
    tra.open();
    state.counters["transactions"] = double(tra.count());
    state.counters["entries"] = double(list.size());
    state.SetItemsProcessed(state.iterations() * logic.LOC.TOTALPARTS);
}
BENCHMARK(BM_CalculateDividends)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_PostAndUndoDividends(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    DividendGlobals glo;
    PostingList list;
    EnterDividendsLogic logic(db, dialogs, glo, list, {});
    calculate(logic);
    qint64 postMs = 0, undoMs = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        if (!logic.post()) state.SkipWithError("posting failed");
        postMs += t.restart();
        UndoPostingLogic undo(db, dialogs);
        undo.LOC.DATE = kPaid;
        if (!undo.undo() || undo.removed != list.size()) state.SkipWithError("undo failed");
        undoMs += t.elapsed();
    }
    state.counters["entries"] = double(list.size());
    state.counters["post_ms"] = double(postMs) / double(state.iterations());
    state.counters["undo_ms"] = double(undoMs) / double(state.iterations());
}
BENCHMARK(BM_PostAndUndoDividends)->Iterations(2)->Unit(benchmark::kMillisecond);
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
