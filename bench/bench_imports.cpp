// The conversion imports at the size of a large fund: 50,000 members and 5,000,000 history
// lines with their opening balances, beside the floor measured in the same run: SQLite alone
// inserting the same rows through one plain prepared INSERT in one transaction, into a fresh
// table of the history's own layout whose keys are built once after the rows.
// The input files are generated once under PENSION_BENCH_DIR (default: ./bench-data) and reused;
// PENSION_BENCH_HISTORY sets a smaller number of history lines (one member per 100 lines), for
// profiling.
#include "data/records.h"
#include "platform/clock.h"
#include "tests/support/unattended.h"
#include "toolbox/tools/memberimports.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDriver>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <ctime>

namespace {
const qint64 kHistory = qEnvironmentVariableIntValue("PENSION_BENCH_HISTORY") > 0
                            ? qEnvironmentVariableIntValue("PENSION_BENCH_HISTORY")
                            : 5000000;
const int kMembers = int(std::max<qint64>(1, kHistory / 100));

QString inputDir() {
    const QString dir = QDir(qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data"))
                            .filePath(kHistory == 5000000 ? QString("imports") : QString("imports-%1").arg(kHistory));
    QDir().mkpath(dir);
    return dir;
}

QByteArray memberLine(int i) {
    QByteArray l(380, ' ');
    auto put = [&](int col, const QByteArray &text) { l.replace(col - 1, text.size(), text); };
    put(2, "1");
    put(3, QByteArray::number(100001 + i).rightJustified(9, '0'));
    put(12, "MEMBER" + QByteArray::number(i));
    put(32, "FIRST");
    put(124, QByteArray::number(200000000 + i));
    put(135, "600101");
    put(181, "LOCAL #565");
    put(260, "N");
    return l;
}

// One history line, and the row it becomes.
struct HistoryRow {
    int acct, year, month, cents;
    char letter;
};
HistoryRow historyRow(qint64 i) {
    const int member = int(i % kMembers);
    const int n = int(i / kMembers); // 100 months per member, oldest first
    return {100001 + member, (n / 12 + 10) % 100, n % 12 + 1, 1000 + int(i % 9000), n % 10 == 9 ? 'N' : 'A'};
}

QByteArray historyLine(qint64 i) {
    const HistoryRow r = historyRow(i);
    char buf[64];
    std::snprintf(buf, sizeof buf, " 1%09d  %02d%02d15%010d%c      PAYROLL", r.acct, r.year, r.month, r.cents, r.letter);
    return QByteArray(buf);
}

qint64 balanceCents(qint64 i) { return 50000 + i; }

void writeOnce(const QString &name, qint64 lines, QByteArray (*line)(qint64)) {
    const QString path = QDir(inputDir()).filePath(name);
    if (QFile::exists(path)) return;
    QFile f(path + ".part");
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    for (qint64 i = 0; i < lines; ++i) f.write(line(i) + "\r\n");
    f.close();
    QFile::rename(path + ".part", path);
}

void inputs() {
    writeOnce("BASIC.TXT", kMembers, [](qint64 i) { return memberLine(int(i)); });
    writeOnce("SHARENT.TXT", kHistory, historyLine);
    writeOnce("SHARE.TXT", kMembers, [](qint64 i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, " 1%09lld            %010lld", 100001 + (long long)i, (long long)balanceCents(i));
        return QByteArray(buf);
    });
}

// A fund in a fresh directory with the input files beside it.
struct Fund {
    Fund() : dir(QDir(inputDir()).filePath("run-XXXXXX")) {
        for (const char *name : {"BASIC.TXT", "SHARENT.TXT", "SHARE.TXT"})
            QFile::link(QFileInfo(QDir(inputDir()).filePath(name)).absoluteFilePath(), dir.filePath(name));
        db = storage::Database::open(dir.path());
    }
    QTemporaryDir dir;
    std::unique_ptr<storage::Database> db;
    Unattended dialogs{false, 3}; // no report of bad lines
};

// Wall and CPU seconds of one timed stretch, for the summary that sets them side by side.
struct Stretch {
    double wall = 0, cpu = 0;
};
Stretch g_import, g_floor;

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

class Timed {
public:
    explicit Timed(Stretch &into) : m_into(into), m_cpu(cpuSeconds()) { m_wall.start(); }
    ~Timed() {
        m_into.wall = m_wall.nsecsElapsed() / 1e9;
        m_into.cpu = cpuSeconds() - m_cpu;
    }

private:
    Stretch &m_into;
    QElapsedTimer m_wall;
    double m_cpu;
};

void BM_ImportMembers(benchmark::State &state) {
    inputs();
    for (auto _ : state) {
        state.PauseTiming();
        Fund fund;
        MemberImport run(*fund.db, fund.dialogs);
        state.ResumeTiming();
        if (!run.run() || run.stored != kMembers) state.SkipWithError("the member import failed");
    }
    state.SetItemsProcessed(state.iterations() * kMembers);
}
BENCHMARK(BM_ImportMembers)->Iterations(1)->Unit(benchmark::kSecond);

void BM_ImportHistory(benchmark::State &state) {
    inputs();
    for (auto _ : state) {
        state.PauseTiming();
        Fund fund;
        MemberImport(*fund.db, fund.dialogs).run();
        TransImport run(*fund.db, fund.dialogs);
        state.ResumeTiming();
        {
            Timed timed(g_import);
            if (!run.run() || run.stored != kHistory) state.SkipWithError("the history import failed");
        }
        state.counters["balances"] = double(run.balancesAdded);
        state.counters["cpu_s"] = g_import.cpu;
    }
    state.SetItemsProcessed(state.iterations() * kHistory);
}
BENCHMARK(BM_ImportHistory)->Iterations(1)->Unit(benchmark::kSecond);

// The floor: the rows the history import stores (the history, then an opening balance per
// member), from memory through one prepared INSERT in one transaction into a fresh Trans of a
// fresh fund (the fund's own settings, layout and keys), the keys dropped before the rows and
// built after them.
void BM_SqliteInsertFloor(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(QDir(inputDir()).filePath("run-XXXXXX"));
        auto db = storage::Database::open(dir.path());
        const storage::FileDef &def = Trans::layout().def();
        if (!db || !db->create(def)) {
            state.SkipWithError("no fund");
            break;
        }
        sqlite3 *handle = *static_cast<sqlite3 *const *>(db->sql().driver()->handle().constData());
        QByteArray insert = "INSERT INTO \"Trans\" (\"MEMBERID\", \"ACCTNUM\", \"TRANSDATE\", \"TRANSAMOUNT\", "
                            "\"TRANSTYPE\", \"DESC\", \"TRANSTIME\", \"USERID\", rec_ver) VALUES (0, ?, ?, ?, ?, ?, 0, '', 1)";
        state.ResumeTiming();
        {
            Timed timed(g_floor);
            storage::Transaction batch(*db);
            db->dropKeys(def);
            sqlite3_stmt *stmt = nullptr;
            sqlite3_prepare_v2(handle, insert.constData(), -1, &stmt, nullptr);
            auto row = [&](int acct, int date, qint64 cents, int type, const char *desc, int descLength) {
                sqlite3_bind_int(stmt, 1, acct);
                sqlite3_bind_int(stmt, 2, date);
                sqlite3_bind_int64(stmt, 3, cents);
                sqlite3_bind_int(stmt, 4, type);
                sqlite3_bind_text(stmt, 5, desc, descLength, SQLITE_STATIC);
                if (sqlite3_step(stmt) != SQLITE_DONE) state.SkipWithError("an insert failed");
                sqlite3_reset(stmt);
            };
            for (qint64 i = 0; i < kHistory; ++i) {
                const HistoryRow r = historyRow(i);
                const int type = r.letter - 64;
                row(r.acct, Clock::dayNumber(2000 + r.year, r.month, 15), type > 13 ? -r.cents : r.cents, type, "PAYROLL", 7);
            }
            for (int i = 0; i < kMembers; ++i) row(100001 + i, Clock::dayNumber(2010, 1, 15), balanceCents(i), -6, "Previous Balance", 16);
            sqlite3_finalize(stmt);
            if (!db->rebuildKeys(def) || !batch.commit()) state.SkipWithError("the floor did not commit");
        }
        state.counters["cpu_s"] = g_floor.cpu;
    }
    state.SetItemsProcessed(state.iterations() * kHistory);
}
BENCHMARK(BM_SqliteInsertFloor)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_import.wall > 0 && g_floor.wall > 0)
        std::printf("history import %.1f s wall / %.1f s CPU; floor %.1f s wall / %.1f s CPU; "
                    "import / floor: %.2f wall, %.2f CPU\n",
                    g_import.wall, g_import.cpu, g_floor.wall, g_floor.cpu, g_import.wall / g_floor.wall,
                    g_import.cpu / g_floor.cpu);
    return 0;
}
