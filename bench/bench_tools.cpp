// The maintenance tools on 50,000 members / ~5,000,000 transactions: the name and address dump
// with balances, and the purge beside the time SQLite itself needs to delete the same rows.
// The data directory (m50000-y8, as bench-storage makes it) is generated once under
// PENSION_BENCH_DIR (default: ./bench-data) and reused; each purge works on a fresh copy.
#include "data/records.h"
#include "datagen.h"
#include "platform/clock.h"
#include "toolbox/tools/namedump.h"
#include "toolbox/tools/purge.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
class Quiet : public Dialogs {
public:
    int show(const Message &m) override { return m.buttons & Dlg::Yes ? int(Dlg::Yes) : m.defaultButton; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};
Quiet g_dialogs;

constexpr int kMembers = 50000;
// Half of the eight generated years go.
const qint32 kPurgeDate = Clock::dayNumber(2022, 11, 30);

QString benchRoot() {
    QString root = qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data");
    QDir().mkpath(root);
    return root;
}

QString source() {
    static QString dir;
    if (!dir.isEmpty()) return dir;
    dir = QDir(benchRoot()).filePath(QString("m%1-y8").arg(kMembers));
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
    fprintf(stderr, "generated in %.1f s\n", t.elapsed() / 1000.0);
    return dir;
}

std::unique_ptr<storage::Database> g_shared;
storage::Database &shared() {
    if (!g_shared) g_shared = storage::Database::open(source());
    return *g_shared;
}

// A fresh copy of the generated database, for a run that deletes.
std::unique_ptr<storage::Database> copy(QTemporaryDir &dir) {
    QFile::copy(QDir(source()).filePath(storage::Database::FileName),
                QDir(dir.path()).filePath(storage::Database::FileName));
    return storage::Database::open(dir.path());
}

qint64 transCount(storage::Database &db) {
    storage::DataFile<Trans> tra(db);
    tra.open();
    return tra.count();
}

void BM_NameAddressDumpWithBalances(benchmark::State &state) {
    storage::Database &db = shared(); // generated before the clock runs
    QTemporaryDir dir(QDir(benchRoot()).filePath("dump-XXXXXX"));
    for (auto _ : state) {
        NameAddressDump dump(db, g_dialogs);
        dump.LOC.columns.setAll(true);
        dump.LOC.BALANCES = dump.LOC.CLOSEDACCOUNTS = true;
        dump.LOC.BALANCEDATE = Clock::dayNumber(2025, 12, 31);
        if (!dump.createDumpFile(QDir(dir.path()).filePath("members.dmp")))
            state.SkipWithError("dump failed");
        state.counters["members"] = double(dump.membersWritten);
    }
}
BENCHMARK(BM_NameAddressDumpWithBalances)->Iterations(2)->Unit(benchmark::kSecond);

void BM_Purge(benchmark::State &state) {
    source();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(QDir(benchRoot()).filePath("purge-XXXXXX"));
        auto db = copy(dir);
        const qint64 before = transCount(*db);
        state.ResumeTiming();
        Purge purge(*db, g_dialogs);
        purge.LOC.ENDDATE = kPurgeDate;
        if (!purge.purge()) state.SkipWithError("purge failed");
        state.PauseTiming();
        state.counters["deleted"] = double(purge.transactionsDeleted);
        state.counters["before"] = double(before);
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Purge)->Iterations(1)->Unit(benchmark::kSecond);

// The floor: one DELETE statement for the same rows, in one transaction.
void BM_SqliteDeleteSameRows(benchmark::State &state) {
    source();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(QDir(benchRoot()).filePath("delete-XXXXXX"));
        auto db = copy(dir);
        state.ResumeTiming();
        storage::Transaction batch(*db);
        QSqlQuery q(db->sql());
        q.prepare("DELETE FROM \"Trans\" WHERE \"TRANSDATE\" <= ?");
        q.addBindValue(kPurgeDate);
        if (!q.exec() || !batch.commit()) state.SkipWithError("delete failed");
        state.PauseTiming();
        state.counters["deleted"] = double(q.numRowsAffected());
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SqliteDeleteSameRows)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_shared.reset();
    return 0;
}
