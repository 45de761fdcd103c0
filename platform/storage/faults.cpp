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
std::function<void()> g_joining;

const char *const kOperations[] = {"INSERT", "UPDATE", "DELETE"};
QString g_serverTable; // the table that carries the refusing trigger on a server

// A server has no triggers of one connection's own: the trigger sits on the table and acts only
// for the connection that armed it (a setting of its session). Any failed statement costs the
// transaction there, so every refusal is one that abandons the batch.
bool refuseServerWrites(Database &db, const QString &file, int after) {
    if (!g_serverTable.isEmpty()) db.exec("DROP TRIGGER IF EXISTS pension_fault ON " + sqlName(g_serverTable));
    g_serverTable = file;
    return db.exec(QString("CREATE OR REPLACE FUNCTION pension_fault() RETURNS trigger LANGUAGE plpgsql AS $$ "
                           "DECLARE remaining bigint; BEGIN "
                           "IF current_setting('pension.fault_left', true) IS NULL OR "
                           "current_setting('pension.fault_left', true) = '' THEN "
                           "IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END IF; "
                           "remaining := current_setting('pension.fault_left')::bigint - 1; "
                           "PERFORM set_config('pension.fault_left', remaining::text, false); "
                           "IF remaining < 0 THEN RAISE EXCEPTION '%1' USING ERRCODE = '53100'; END IF; "
                           "IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$")
                       .arg(FullText)) &&
           db.exec(QString("CREATE TRIGGER pension_fault BEFORE INSERT OR UPDATE OR DELETE ON %1 "
                           "FOR EACH ROW EXECUTE FUNCTION pension_fault()")
                       .arg(sqlName(file))) &&
           db.exec(QString("SELECT set_config('pension.fault_left', '%1', false)").arg(after));
}
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
    if (!db.isSqlite()) return refuseServerWrites(db, file, after);
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

void whenJoining(std::function<void()> action) { g_joining = std::move(action); }

void joining() {
    if (g_joining) std::exchange(g_joining, nullptr)();
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
    g_joining = nullptr;
    if (!db.isSqlite()) {
        if (!g_serverTable.isEmpty()) db.exec("DROP TRIGGER IF EXISTS pension_fault ON " + sqlName(g_serverTable));
        g_serverTable.clear();
        db.exec("SELECT set_config('pension.fault_left', '', false)");
        return;
    }
    for (const char *op : kOperations)
        db.exec(QString("DROP TRIGGER IF EXISTS temp.pension_fault_%1").arg(QString(op).toLower()));
}
} // namespace storage::faults
