// The custodian exchange on 50,000 members with eight years of monthly deposits (about five
// million transactions): the monthly contribution file, and the listing of every balance that the
// transfer prints and asks about (answered No, so the data set stays as generated). The data
// directory is generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused.
#include "common/app.h"
#include "datagen.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "toolbox/custodian/schwabdump.h"
#include "toolbox/custodian/withdrawtoschwab.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
class Quiet : public Dialogs {
public:
    int show(const Message &m) override {
        if (m.icon == Dlg::Error) fprintf(stderr, "%s\n", qPrintable(m.text));
        return m.custom.isEmpty() ? m.defaultButton : 2;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

std::unique_ptr<storage::Database> g_db;
const qint32 kEnd = Clock::dayNumber(2026, 11, 30);

storage::Database &dataset() {
    if (g_db) return *g_db;
    GenOptions o;
    o.members = 50000;
    o.years = 8;
    o.contractors = 1000;
    o.endDate = kEnd;
    g_db = benchDataset("custodian-m50000-y8", o);
    App::setDataDir(g_db->dataDir());
    IniFile::put(App::iniPath(Custodian::IniName), Custodian::PlanSection, Custodian::PlanIdKey, "ABC");
    return *g_db;
}

void BM_ContributionFile(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    QTemporaryDir out;
    SchwabDump dump(db, dialogs);
    for (auto _ : state) {
        dump.open();
        dump.LOC.DIRECTORYNAME = out.path();
        dump.LOC.FILENAME = "contrib.txt";
        dump.LOC.ENDINGDATE = kEnd;
        if (!dump.create()) state.SkipWithError("the file was not written");
    }
    storage::DataFile<Trans> tra(db);
    tra.open();
    state.counters["transactions"] = double(tra.count());
    state.counters["lines"] = double(dump.membersWritten + 1);
    state.counters["bytes"] = double(QFileInfo(out.filePath("contrib.txt")).size());
    state.SetItemsProcessed(state.iterations() * dump.membersWritten);
}
BENCHMARK(BM_ContributionFile)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_TransferListing(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs; // No to the posting question
    qint64 rows = 0;
    SchwabTransfer transfer(db, dialogs, [&](const TransferList &l) { rows = l.WITHDRAWQUEUE.size(); });
    for (auto _ : state) {
        transfer.open();
        transfer.MOD.WITHDRAWDATE = kEnd;
        transfer.MOD.EFFECTIVEDATE = kEnd + 1;
        if (transfer.run() != SchwabTransfer::NotPosted) state.SkipWithError("nothing was listed");
    }
    state.counters["rows"] = double(rows);
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_TransferListing)->Iterations(2)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_db.reset();
    return 0;
}
