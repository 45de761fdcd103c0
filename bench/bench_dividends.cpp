// A year's dividend run over 50,000 members with eight years of monthly deposits (about 5,200,000
// transactions): the calculation beside the one statement that sums the same figures (its floor),
// the posting, and the undo of that posting. The data directory m50000-y8 is generated once under
// PENSION_BENCH_DIR (default: ./bench-data) and reused.
#include "datagen.h"
#include "ledger/dividends.h"
#include "ledger/undoposting.h"
#include "platform/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
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
    GenOptions o;
    o.members = 50000;
    o.years = 8;
    o.contractors = 1000;
    o.endDate = Clock::dayNumber(2026, 11, 30);
    g_db = benchDataset(QStringLiteral("m50000-y8"), o);
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
// The run sums half the accounts in a second thread: its CPU time is the process's, both threads.
BENCHMARK(BM_CalculateDividends)
    ->Iterations(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The floor: every account's balance at the end and its balance-days for the period (the
// balance before it for every day, each record of it from its day on) in one statement, each row
// read, nothing else. The fastest statement known to give these figures, on one connection.
void BM_CalculateDividends_Floor(benchmark::State &state) {
    storage::Database &db = dataset();
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare("SELECT \"ACCTNUM\", SUM(\"TRANSAMOUNT\"), "
              "SUM(CASE WHEN \"TRANSDATE\" < ? THEN \"TRANSAMOUNT\" * ? WHEN \"TRANSTYPE\" <> -5 "
              "THEN \"TRANSAMOUNT\" * (? - \"TRANSDATE\") ELSE 0 END) "
              "FROM \"Trans\" WHERE \"TRANSDATE\" <= ? GROUP BY \"ACCTNUM\" ORDER BY \"ACCTNUM\"");
    qint64 accounts = 0, sum = 0;
    for (auto _ : state) {
        q.addBindValue(kBegin);
        q.addBindValue(kEnd - kBegin + 1);
        q.addBindValue(kEnd + 1);
        q.addBindValue(kEnd);
        if (!q.exec()) state.SkipWithError("floor statement failed");
        accounts = 0;
        while (q.next()) {
            ++accounts;
            sum += q.value(1).toLongLong() + q.value(2).toLongLong();
        }
    }
    benchmark::DoNotOptimize(sum);
    state.counters["accounts"] = double(accounts);
}
BENCHMARK(BM_CalculateDividends_Floor)->Iterations(2)->Unit(benchmark::kMillisecond);

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
