#include "faults.h"

#include "database.h"

#include <utility>

namespace storage::faults {
namespace {
int g_begins = 0;
bool g_reads = false;
int g_readsLeft = 0;
int g_readFailures = -1;
QString g_readFile;
std::function<void()> g_meanwhile;
int g_meanwhileAfter = 0;
QString g_meanwhileFile;

const char *const kOperations[] = {"INSERT", "UPDATE", "DELETE"};
} // namespace

void refuseBegin(int times) { g_begins = times; }

bool beginRefused() {
    if (g_begins <= 0) return false;
    --g_begins;
    setError(FileLocked, LockedText, 5);
    return true;
}

// A temporary trigger lives on this connection only and never reaches the data file. RAISE(ABORT)
// undoes its own countdown, so once refusing, every later write is refused too.
bool refuseWrites(Database &db, const QString &file, int after, bool abandon) {
    if (!db.exec("CREATE TEMP TABLE IF NOT EXISTS pension_faults (remaining INTEGER NOT NULL)") ||
        !db.exec("DELETE FROM temp.pension_faults") ||
        !db.exec(QString("INSERT INTO temp.pension_faults VALUES (%1)").arg(after)))
        return false;
    for (const char *op : kOperations) {
        const QString trigger = QString("pension_fault_%1").arg(QString(op).toLower());
        if (!db.exec("DROP TRIGGER IF EXISTS temp." + trigger) ||
            !db.exec(QString("CREATE TEMP TRIGGER %1 BEFORE %2 ON main.%3 BEGIN "
                             "UPDATE pension_faults SET remaining = remaining - 1; "
                             "SELECT RAISE(%4, '%5') WHERE (SELECT remaining FROM pension_faults) < 0; END")
                         .arg(trigger, op, sqlName(file), abandon ? "ROLLBACK" : "ABORT", FullText)))
            return false;
    }
    return true;
}

void refuseReads(const QString &file, int after, int times) {
    g_reads = true;
    g_readsLeft = after;
    g_readFailures = times;
    g_readFile = file;
}

void meanwhile(const QString &file, int after, std::function<void()> action) {
    g_meanwhile = std::move(action);
    g_meanwhileAfter = after;
    g_meanwhileFile = file;
}

bool readRefused(const QString &file) {
    if (g_meanwhile && g_meanwhileFile.compare(file, Qt::CaseInsensitive) == 0 && g_meanwhileAfter-- <= 0)
        std::exchange(g_meanwhile, nullptr)();
    if (!g_reads || (!g_readFile.isEmpty() && g_readFile.compare(file, Qt::CaseInsensitive) != 0))
        return false;
    if (g_readsLeft > 0) {
        --g_readsLeft;
        return false;
    }
    if (g_readFailures == 0) return false;
    if (g_readFailures > 0) --g_readFailures;
    setError(FileSystemError, DamagedText, 11);
    return true;
}

void clear(Database &db) {
    g_begins = 0;
    g_reads = false;
    g_readFile.clear();
    g_meanwhile = nullptr;
    for (const char *op : kOperations)
        db.exec(QString("DROP TRIGGER IF EXISTS temp.pension_fault_%1").arg(QString(op).toLower()));
}
} // namespace storage::faults
