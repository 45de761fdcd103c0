// Browse benchmarks: the member list on 100,000 members opens, jumps to the last page, locates
// a name and scrolls, each reading only a page.
#include "common/app.h"
#include "common/browsewindow.h"
#include "data/records.h"
#include "datagen.h"
#include "member/members.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
std::unique_ptr<storage::Database> g_db;

storage::Database &members() {
    if (g_db) return *g_db;
    QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QString dir = QDir(root).filePath("members-100000");
    bool fresh = false;
    g_db = openDataset(dir, fresh);
    if (fresh) {
        GenOptions o;
        o.members = 100000;
        o.months = 1;
        o.contractors = 100;
        QString error;
        if (!generateData(*g_db, o, &error)) qFatal("%s", qPrintable(error));
    }
    App::setDatabase(g_db.get());
    App::setDataDir(dir);
    return *g_db;
}

void BM_OpenMemberBrowse(benchmark::State &state) {
    storage::Database &db = members();
    for (auto _ : state) {
        BrowseWindow browse(db, MemberCU::layout().def(), MemberRules::browse(), false);
        browse.resize(900, 600);
        benchmark::DoNotOptimize(browse.list().rowCount());
    }
}
BENCHMARK(BM_OpenMemberBrowse)->Unit(benchmark::kMillisecond);

void BM_MemberBrowseLastPage(benchmark::State &state) {
    BrowseWindow browse(members(), MemberCU::layout().def(), MemberRules::browse(), false);
    browse.setTab(int(state.range(0)));
    for (auto _ : state) {
        browse.list().first();
        browse.list().last();
    }
    state.SetLabel(state.range(0) == 0 ? "account order (first + last)" : "name order (first + last)");
}
BENCHMARK(BM_MemberBrowseLastPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MemberBrowseLocateAndJump(benchmark::State &state) {
    BrowseWindow browse(members(), MemberCU::layout().def(), MemberRules::browse(), false);
    browse.setTab(1);
    for (auto _ : state) {
        browse.locate("Murphy");
        browse.list().pageDown();
        browse.list().jumpToRank(50000);
        benchmark::DoNotOptimize(browse.list().rankOfTop());
    }
}
BENCHMARK(BM_MemberBrowseLocateAndJump)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    App::setDatabase(nullptr);
    g_db.reset();
    return 0;
}
