// Participant statements for a quarter and the totals report for a year over 50,000 members with
// eight years of monthly deposits and yearly dividends (about 5,000,000 transactions). The data
// directory is generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused.
// Statements run into the live preview and report pages per second and the time until the
// first page is in the preview window; the totals report is set beside its floor, the database's
// own pass over the account key. Every time is given as wall and as CPU time (the process's),
// since the wall time of a shared machine says little by itself.
#include "datagen.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "reports/parttotals.h"
#include "reports/statements.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>

namespace {
class Quiet : public Dialogs {
public:
    int customAnswer = 2; // the preview question: No prints
    int show(const Message &m) override {
        if (!m.custom.isEmpty()) return customAnswer;
        return m.buttons & Dlg::Yes ? int(Dlg::Yes) : m.defaultButton;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

std::unique_ptr<storage::Database> g_db;

// CPU time of the whole process, user and system, in milliseconds.
double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// Wall and CPU time of a stretch.
struct Stopwatch {
    QElapsedTimer wall;
    double cpu0 = 0;
    void start() {
        wall.start();
        cpu0 = cpuMs();
    }
    double wallMs() const { return double(wall.elapsed()); }
    double cpuMsSince() const { return cpuMs() - cpu0; }
};

storage::Database &dataset() {
    if (!g_db) {
        GenOptions o;
        o.members = 50000;
        o.years = 8;
        o.contractors = 1000; // as the shared data set was made
        o.endDate = Clock::dayNumber(2026, 11, 30);
        g_db = benchDataset(QStringLiteral("reports-m50000-y8"), o);
    }
    return *g_db;
}

// Statements for all members into the live preview: the first page's arrival in the window, then
// the window closed as soon as the last page is in.
void BM_StatementsForAQuarter(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    dialogs.customAnswer = 1; // preview
    ParticipantStatements s(db, dialogs);
    s.selection.status = MemberSelection::Status::Both;
    s.selection.order = MemberSelection::Order::Account;
    s.FROMDATE = Clock::dayNumber(2026, 7, 1);
    s.TODATE = Clock::dayNumber(2026, 9, 30);
    Stopwatch watch;
    double firstWall = -1, firstCpu = -1;
    qsizetype pages = 0;
    QTimer closer;
    ReportLogic::testHook() = [&](ReportRun &run) {
        firstWall = firstCpu = -1;
        auto loop = run.loop;
        run.loop = [&, loop](ReportRun &r) {
            if (firstWall < 0 && r.livePreview() && r.livePreview()->pageCount() > 0) {
                firstWall = watch.wallMs();
                firstCpu = watch.cpuMsSince();
            }
            return loop(r);
        };
        QObject::disconnect(&closer, nullptr, nullptr, nullptr);
        QObject::connect(&closer, &QTimer::timeout, [&run, &pages, &closer] {
            PrintPreview *p = run.livePreview();
            if (!p || p->generating()) return;
            closer.stop();
            pages = p->pageCount();
            p->exit();
        });
        closer.start(50);
    };
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        watch.start();
        s.run();
        wall += watch.wallMs();
        cpu += watch.cpuMsSince();
    }
    ReportLogic::testHook() = nullptr;
    const double n = double(state.iterations());
    state.counters["statements"] = s.PRINTED;
    state.counters["pages"] = double(pages);
    state.counters["wall_s"] = wall / n / 1000;
    state.counters["cpu_s"] = cpu / n / 1000;
    state.counters["pages_per_wall_s"] = wall > 0 ? pages * 1000.0 * n / wall : 0;
    state.counters["pages_per_cpu_s"] = cpu > 0 ? pages * 1000.0 * n / cpu : 0;
    state.counters["first_page_wall_ms"] = firstWall;
    state.counters["first_page_cpu_ms"] = firstCpu;
}
BENCHMARK(BM_StatementsForAQuarter)->Iterations(1)->Unit(benchmark::kMillisecond);

// The floor of the totals report: the database's own pass over the account key for the year's
// edges, the least any report of every member's balances can cost.
void BM_TotalsFloor(benchmark::State &state) {
    storage::Database &db = dataset();
    Stopwatch watch;
    double wall = 0, cpu = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        watch.start();
        QSqlQuery q(db.sql());
        q.setForwardOnly(true);
        q.prepare("SELECT \"ACCTNUM\", SUM(CASE WHEN \"TRANSDATE\" <= ? THEN \"TRANSAMOUNT\" ELSE 0 END) "
                  "FROM \"Trans\" GROUP BY \"ACCTNUM\"");
        q.addBindValue(Clock::dayNumber(2025, 12, 31));
        if (!q.exec()) state.SkipWithError("the floor query failed");
        rows = 0;
        while (q.next()) ++rows;
        wall += watch.wallMs();
        cpu += watch.cpuMsSince();
    }
    const double n = double(state.iterations());
    state.counters["accounts"] = double(rows);
    state.counters["wall_s"] = wall / n / 1000;
    state.counters["cpu_s"] = cpu / n / 1000;
}
BENCHMARK(BM_TotalsFloor)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TotalsForAYear(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    qsizetype pages = 0;
    ReportLogic::testHook() = [&pages](ReportRun &run) {
        run.recordsPerCycle = 200;
        run.preview = [&pages](QStringList &files, const PreviewOptions &) {
            pages = files.size();
            return 2;
        };
        run.print = [&pages](const QStringList &files) {
            pages = files.size();
            return true;
        };
    };
    ParticipantTotals r(db, dialogs);
    r.selection.status = MemberSelection::Status::Both;
    r.selection.order = MemberSelection::Order::Account;
    r.FROMDATE = Clock::dayNumber(2025, 1, 1);
    r.TODATE = Clock::dayNumber(2025, 12, 31);
    Stopwatch watch;
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        watch.start();
        r.run();
        wall += watch.wallMs();
        cpu += watch.cpuMsSince();
    }
    ReportLogic::testHook() = nullptr;
    const double n = double(state.iterations());
    state.counters["members"] = r.COUNT;
    state.counters["pages"] = double(pages);
    state.counters["balances"] = r.balances() ? 1 : 0;
    state.counters["wall_s"] = wall / n / 1000;
    state.counters["cpu_s"] = cpu / n / 1000;
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
