// The conversion imports at the size of a large fund: 50,000 members and 5,000,000 history
// lines with their opening balances, beside what SQLite alone needs to insert as many rows in
// one transaction. The input files are generated once under PENSION_BENCH_DIR (default:
// ./bench-data) and reused.
#include "data/records.h"
#include "tests/support/unattended.h"
#include "toolbox/tools/memberimports.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {
constexpr int kMembers = 50000;
constexpr int kHistory = 5000000;

QString inputDir() {
    const QString dir = QDir(qEnvironmentVariable("PENSION_BENCH_DIR", "bench-data")).filePath("imports");
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

QByteArray historyLine(qint64 i) {
    const int member = int(i % kMembers);
    const int n = int(i / kMembers); // 100 months per member, oldest first
    char buf[64];
    std::snprintf(buf, sizeof buf, " 1%09d  %02d%02d15%010lld%c      PAYROLL", 100001 + member,
                  int(n / 12 + 10) % 100, n % 12 + 1, 1000 + (long long)(i % 9000), n % 10 == 9 ? 'N' : 'A');
    return QByteArray(buf);
}

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
        std::snprintf(buf, sizeof buf, " 1%09lld            %010lld", 100001 + (long long)i, 50000 + (long long)i);
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
        if (!run.run() || run.stored != kHistory) state.SkipWithError("the history import failed");
        state.counters["balances"] = double(run.balancesAdded);
    }
    state.SetItemsProcessed(state.iterations() * kHistory);
}
BENCHMARK(BM_ImportHistory)->Iterations(1)->Unit(benchmark::kSecond);

// SQLite alone: the same 5,000,000 rows from memory through one prepared insert in one
// transaction, the three keys of the history built after them, with the fund's settings.
void BM_SqliteInsertBaseline(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(QDir(inputDir()).filePath("run-XXXXXX"));
        sqlite3 *db = nullptr;
        sqlite3_open(dir.filePath("baseline.db").toUtf8().constData(), &db);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-65536;"
                         "CREATE TABLE t (rec_pos INTEGER PRIMARY KEY AUTOINCREMENT, rec_ver INTEGER, "
                         "MEMBERID INTEGER, ACCTNUM INTEGER, TRANSDATE INTEGER, TRANSAMOUNT INTEGER, "
                         "TRANSTYPE INTEGER, \"DESC\" TEXT, TRANSTIME INTEGER, USERID TEXT)",
                     nullptr, nullptr, nullptr);
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO t (MEMBERID, ACCTNUM, TRANSDATE, TRANSAMOUNT, TRANSTYPE, \"DESC\", "
                               "TRANSTIME, USERID, rec_ver) VALUES (0, ?, ?, ?, ?, ?, 0, '', 1)", -1, &insert, nullptr);
        for (qint64 i = 0; i < kHistory; ++i) {
            sqlite3_bind_int(insert, 1, 100001 + int(i % kMembers));
            sqlite3_bind_int(insert, 2, 80000 + int(i / kMembers) * 30);
            sqlite3_bind_int64(insert, 3, 1000 + i % 9000);
            sqlite3_bind_int(insert, 4, 1);
            sqlite3_bind_text(insert, 5, "PAYROLL", 7, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        const double rows = timer.elapsed() / 1000.0;
        sqlite3_exec(db, "CREATE INDEX a ON t (ACCTNUM, TRANSDATE DESC, rec_pos);"
                         "CREATE INDEX b ON t (ACCTNUM, TRANSDATE, rec_pos, TRANSAMOUNT);"
                         "CREATE INDEX c ON t (TRANSDATE, TRANSTYPE, rec_pos); COMMIT",
                     nullptr, nullptr, nullptr);
        state.counters["rows_s"] = rows;
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kHistory);
}
BENCHMARK(BM_SqliteInsertBaseline)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv); // answers --help
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
