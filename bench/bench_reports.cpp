// Participant statements for a quarter and the totals report for a year over 50,000 members with
// eight years of monthly deposits and yearly dividends (about 5,000,000 transactions). The data
// directory is generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused.
// Statements report pages per second and the time until the first page is written.
#include "datagen.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "reports/parttotals.h"
#include "reports/statements.h"

#include <QApplication>
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

storage::Database &dataset() {
    if (!g_db) {
        GenOptions o;
        o.members = 50000;
        o.years = 8;
        o.contractors = 500;
        o.endDate = Clock::dayNumber(2026, 11, 30);
        g_db = benchDataset(QStringLiteral("reports-m50000-y8"), o);
    }
    return *g_db;
}

// Takes the pages instead of previewing them and notes when the first one was written.
struct PageCount {
    QElapsedTimer clock;
    qint64 firstPageMs = -1;
    qsizetype pages = 0;
    void hook() {
        ReportLogic::testHook() = [this](ReportRun &run) {
            clock.start();
            firstPageMs = -1;
            run.recordsPerCycle = 200;
            auto loop = run.loop;
            run.loop = [this, loop](ReportRun &r) {
                const bool more = loop(r);
                if (firstPageMs < 0 && !r.report().pages().isEmpty()) firstPageMs = clock.elapsed();
                return more;
            };
            run.preview = [this](QStringList &files, const PreviewOptions &) {
                pages = files.size();
                return 2;
            };
            run.print = [this](const QStringList &files) {
                pages = files.size();
                return true;
            };
        };
    }
};

void BM_StatementsForAQuarter(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    PageCount count;
    count.hook();
    ParticipantStatements s(db, dialogs);
    s.selection.status = MemberSelection::Status::Both;
    s.selection.order = MemberSelection::Order::Account;
    s.FROMDATE = Clock::dayNumber(2026, 7, 1);
    s.TODATE = Clock::dayNumber(2026, 9, 30);
    QElapsedTimer t;
    qint64 ms = 0;
    for (auto _ : state) {
        t.start();
        s.run();
        ms += t.elapsed();
    }
    state.counters["statements"] = s.PRINTED;
    state.counters["pages"] = double(count.pages);
    state.counters["pages_per_s"] = ms > 0 ? count.pages * 1000.0 * state.iterations() / ms : 0;
    state.counters["first_page_ms"] = double(count.firstPageMs);
}
BENCHMARK(BM_StatementsForAQuarter)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TotalsForAYear(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    PageCount count;
    count.hook();
    ParticipantTotals r(db, dialogs);
    r.selection.status = MemberSelection::Status::Both;
    r.selection.order = MemberSelection::Order::Account;
    r.FROMDATE = Clock::dayNumber(2025, 1, 1);
    r.TODATE = Clock::dayNumber(2025, 12, 31);
    for (auto _ : state) r.run();
    state.counters["members"] = r.COUNT;
    state.counters["pages"] = double(count.pages);
    state.counters["balances"] = r.balances() ? 1 : 0;
}
BENCHMARK(BM_TotalsForAYear)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // the report engine measures text
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The database goes before the application that its driver lives in.
    ReportLogic::testHook() = nullptr;
    g_db.reset();
    return 0;
}
