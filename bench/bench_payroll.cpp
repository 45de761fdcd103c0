// Posting one payroll of 2,000 lines into a Trans file of about five million transactions
// (50,000 members, eight years of monthly deposits), report excluded, and a withdrawal line's
// member and balance; each beside its floor, the same rows through statements prepared once. The
// data directory m50000-y8 is generated once under PENSION_BENCH_DIR (default: ./bench-data).
#include "datagen.h"
#include "payroll/processpayroll.h"
#include "payroll/withdrawal.h"
#include "platform/clock.h"
#include "platform/picture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
class Quiet : public Dialogs {
public:
    int show(const Message &m) override { return m.custom.isEmpty() ? m.defaultButton : 2; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folderName(const QString &, const QString &) override { return {}; }
};

std::unique_ptr<storage::Database> g_db;

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

// The SSN of generated member i.
QString ssnOf(int i) {
    return Picture::applyPattern(QString("%1").arg(100000001 + i * 7, 9, 10, QChar('0')),
                                 "@P###-##-####P");
}

void BM_PostPayroll(benchmark::State &state) {
    storage::Database &db = dataset();
    const int lines = int(state.range(0));
    {
        storage::DataFile<Trans> tra(db);
        tra.open();
        state.counters["transactions"] = double(tra.count());
    }
    Quiet dialogs;
    PayrollGlobals glo;
    glo.CONTRACTORNAME = "ABC Builders";
    glo.CONTRACTORNUMBER = 1;
    glo.PAYROLLDATE = Clock::dayNumber(2026, 12, 1);
    glo.POSTINGDATE = Clock::dayNumber(2026, 12, 15);
    for (auto _ : state) {
        state.PauseTiming();
        PayQueue queue;
        for (int i = 0; i < lines; ++i)
            queue << PayQueueEntry{
                ssnOf(i),
                QString(),
                glo.PAYROLLDATE,
                Decimal::fromCents(10000 + i),
                1,
                glo.POSTINGDATE};
        ProcessPayrollLogic logic(db, dialogs, glo, queue, {}, {});
        logic.open();
        state.ResumeTiming();
        if (!logic.post()) state.SkipWithError("posting failed");
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PostPayroll)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);

// The floor of a posting: the same deposit and backup rows through two statements prepared once,
// in one transaction, with nothing looked up.
void BM_PostPayroll_Floor(benchmark::State &state) {
    storage::Database &db = dataset();
    const int lines = int(state.range(0));
    const qint32 date = Clock::dayNumber(2026, 12, 1), posting = Clock::dayNumber(2026, 12, 15);
    QSqlQuery tra(db.sql()), pbp(db.sql());
    tra.prepare("INSERT INTO \"Trans\" (\"MEMBERID\", \"ACCTNUM\", \"TRANSDATE\", "
                "\"TRANSAMOUNT\", \"TRANSTYPE\", \"DESC\", \"TRANSTIME\", \"USERID\", rec_ver) "
                "VALUES (0, ?, ?, ?, -4, ?, ?, '', 1)");
    pbp.prepare("INSERT INTO \"PayBackup\" (\"PATNUM\", \"POSTED\", \"DATE\", \"AMOUNT\", "
                "\"CONTRACTOR\", \"POSTINGDATE\", rec_ver) VALUES (?, 0, ?, ?, 1, ?, 1)");
    for (auto _ : state) {
        state.PauseTiming();
        QStringList ssns;
        for (int i = 0; i < lines; ++i) ssns << ssnOf(i);
        state.ResumeTiming();
        storage::Transaction batch(db);
        for (int i = 0; i < lines; ++i) {
            pbp.addBindValue(ssns[i]);
            pbp.addBindValue(date);
            pbp.addBindValue(qint64(10000 + i));
            pbp.addBindValue(posting);
            tra.addBindValue(1001 + i);
            tra.addBindValue(posting);
            tra.addBindValue(qint64(10000 + i));
            tra.addBindValue(QStringLiteral("(ABC Builders For 12/01/2026)"));
            tra.addBindValue(Clock::clock());
            if (!pbp.exec() || !tra.exec()) state.SkipWithError("insert failed");
        }
        if (!batch.commit()) state.SkipWithError("commit failed");
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_PostPayroll_Floor)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);

// A withdrawal line: the member by the SSN typed, and the balance proposed as the total.
void BM_WithdrawalLine(benchmark::State &state) {
    storage::Database &db = dataset();
    Quiet dialogs;
    WithdrawalLogic logic(db, dialogs, false);
    logic.open();
    int i = 0;
    for (auto _ : state) {
        logic.LOC.SSNUM = ssnOf((i++ * 7919) % 50000);
        if (!logic.ssnAccepted()) state.SkipWithError("member not found");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WithdrawalLine)->Iterations(20000)->Unit(benchmark::kMicrosecond);

// Its floor: the member's record by SSN and the account's balance, each one statement prepared
// once.
void BM_WithdrawalLine_Floor(benchmark::State &state) {
    storage::Database &db = dataset();
    QSqlQuery mem(db.sql()), bal(db.sql());
    mem.setForwardOnly(true);
    bal.setForwardOnly(true);
    mem.prepare("SELECT * FROM \"MemberCU\" WHERE \"SSNUM\" = ? ORDER BY rec_pos LIMIT 1");
    bal.prepare("SELECT COALESCE(SUM(\"TRANSAMOUNT\"), 0) FROM \"Trans\" WHERE \"ACCTNUM\" = ?");
    int i = 0;
    qint64 sum = 0;
    for (auto _ : state) {
        mem.addBindValue(ssnOf((i++ * 7919) % 50000));
        if (!mem.exec() || !mem.next()) state.SkipWithError("member not found");
        bal.addBindValue(mem.value("ACCTNUM"));
        mem.finish();
        if (!bal.exec() || !bal.next()) state.SkipWithError("balance failed");
        sum += bal.value(0).toLongLong();
        bal.finish();
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WithdrawalLine_Floor)->Iterations(20000)->Unit(benchmark::kMicrosecond);
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
