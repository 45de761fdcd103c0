// Maintenance runs on generated data: member-id renumbering, the balance of all transactions and
// the missing-member transactions report. One member in 25 is removed after generation, so the
// report has orphaned transactions to print and the renumbering moves almost every number.
// The data directory is generated once under PENSION_BENCH_DIR (default: ./bench-data); each
// renumbering works on a fresh copy of it.
#include "common/app.h"
#include "common/reportrun.h"
#include "data/records.h"
#include "datagen.h"
#include "platform/clock.h"
#include "shell/maintenance/memberids.h"
#include "shell/maintenance/missingtrans.h"
#include "shell/maintenance/transbalance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
class NoDialogs : public Dialogs {
public:
    int show(const Message &m) override { return m.defaultButton; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};
NoDialogs g_dialogs;

constexpr int kMembers = 5000;

QString benchRoot() {
    QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QDir().mkpath(root);
    return root;
}

// The generated directory, closed, so that its database file can be copied.
QString source() {
    static QString dir;
    if (!dir.isEmpty()) return dir;
    dir = QDir(benchRoot()).filePath(QString("maint-m%1-y8").arg(kMembers));
    if (QFile::exists(QDir(dir).filePath(storage::Database::FileName))) return dir;
    auto db = storage::Database::open(dir);
    GenOptions o;
    o.members = kMembers;
    o.years = 8;
    o.contractors = kMembers / 50;
    o.endDate = Clock::dayNumber(2026, 11, 30);
    QElapsedTimer t;
    t.start();
    QString error;
    if (!generateData(*db, o, &error)) qFatal("%s", qPrintable(error));
    storage::DataFile<MemberCU> mem(*db);
    mem.open();
    {
        storage::Transaction batch(*db);
        mem.setStart(MemberCU::AcctNum_Key);
        for (int i = 0; mem.next(); ++i)
            if (i % 25 == 0) mem.remove();
        batch.commit();
    }
    storage::DataFile<Trans> tra(*db);
    tra.open();
    fprintf(stderr, "generated %lld members, %lld transactions in %.1f s\n", mem.count(),
            tra.count(), t.elapsed() / 1000.0);
    return dir;
}

std::unique_ptr<storage::Database> g_shared;
storage::Database &shared() {
    if (!g_shared) g_shared = storage::Database::open(source());
    return *g_shared;
}

void BM_RenumberMemberIds(benchmark::State &state) {
    const QString from = QDir(source()).filePath(storage::Database::FileName);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(QDir(benchRoot()).filePath("renum-XXXXXX"));
        QFile::copy(from, QDir(dir.path()).filePath(storage::Database::FileName));
        auto db = storage::Database::open(dir.path());
        state.ResumeTiming();
        MemberIdRenumbering renumber(*db, g_dialogs);
        if (!renumber.run()) state.SkipWithError("renumbering failed");
        state.counters["transactions rewritten"] = double(renumber.transactionsUpdated);
    }
}
BENCHMARK(BM_RenumberMemberIds)->Iterations(1)->Unit(benchmark::kSecond);

void BM_BalanceOfAllTransactions(benchmark::State &state) {
    for (auto _ : state) {
        TransactionBalance balance(shared(), g_dialogs);
        balance.getBalance();
        benchmark::DoNotOptimize(balance.LOC.BALANCE.units());
    }
}
BENCHMARK(BM_BalanceOfAllTransactions)->Iterations(3)->Unit(benchmark::kSecond);

// The whole report through the report run with its progress window, up to the preview.
void BM_MissingMemberTransReport(benchmark::State &state) {
    App::setDatabase(&shared());
    for (auto _ : state) {
        MissingMemberTransReport report(shared(), g_dialogs);
        ReportRun run(g_dialogs);
        run.iniFile = QDir(benchRoot()).filePath("PRVWRPTS.INI");
        report.attach(run);
        qsizetype pages = 0;
        run.preview = [&](QStringList &list, const PreviewOptions &) {
            pages = list.size();
            return 2;
        };
        run.run();
        state.counters["pages"] = double(pages);
    }
}
BENCHMARK(BM_MissingMemberTransReport)->Iterations(3)->Unit(benchmark::kSecond);
} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    App::setDatabase(nullptr);
    g_shared.reset();
    return 0;
}
