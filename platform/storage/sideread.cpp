#include "sideread.h"

#include "faults.h"
#include "sqliteerror.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace storage {
namespace {
// How long the moment of joining waits for another station's write to end; past it the run
// reads on one connection rather than keep the clerk waiting.
constexpr int kLockWaitMs = 200;

sqlite3 *connect(const QString &file, int busyMs) {
    sqlite3 *c = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &c, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(c);
        return nullptr;
    }
    sqlite3_busy_timeout(c, busyMs);
    return c;
}

bool execute(sqlite3 *c, const QByteArray &sql) {
    return c && sqlite3_exec(c, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

SideRead::SideRead(Database &db) : m_db(db) {
    // A SQLite built without its mutexes cannot have connections in two threads at once.
    if (db.isSqlite() && sqlite3_threadsafe() && !db.onNetworkShare() && !db.inTransaction() &&
        !db.inReadSnapshot())
        join();
    if (!m_snapshot) m_snapshot.emplace(db);
}

void SideRead::join() {
    const QString file = QDir(m_db.dataDir()).filePath(Database::FileName);
    sqlite3 *lock = connect(file, kLockWaitMs);
    m_side = connect(file, Database::BusyTimeoutMs);
    bool joined =
        m_side && execute(m_side, "PRAGMA mmap_size=" + QByteArray::number(Database::MappedBytes));
    // No station can commit while `lock` holds the write lock, so both snapshots begin on the
    // same committed state; the lock is let go as soon as they have.
    if (joined && execute(lock, "BEGIN IMMEDIATE")) {
        m_snapshot.emplace(m_db);
        faults::joining();
        // A read transaction's snapshot is taken by its first read.
        joined = m_snapshot->active() && execute(m_side, "BEGIN") &&
                 execute(m_side, "SELECT value FROM pension_meta WHERE name = 'schema_version'");
        execute(lock, "ROLLBACK");
    } else {
        joined = false;
    }
    sqlite3_close(lock);
    if (!joined) {
        sqlite3_close(m_side);
        m_side = nullptr;
    }
}

SideRead::~SideRead() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    sqlite3_close(m_side); // its read transaction ends with it
    m_snapshot.reset();
}

void SideRead::start(const QString &sql, std::vector<qint64> binds, int columns) {
    if (!m_side || started()) return;
    m_rows = Rows{};
    m_rows.columns = columns;
    // Asked every few thousand steps of the statement: a reader going away stops it. (An
    // interrupt would be lost if it came before the statement had begun.)
    sqlite3_progress_handler(
        m_side, 4096,
        [](void *stop) { return int(static_cast<std::atomic<bool> *>(stop)->load()); }, &m_stop);
    m_thread =
        std::thread([this, text = sql.toUtf8(), binds = std::move(binds)] { run(text, binds); });
}

void SideRead::run(const QByteArray &sql, const std::vector<qint64> &binds) {
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_side, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
        m_rows.error = sqliteError(m_side);
        sqlite3_finalize(st);
        return;
    }
    for (size_t i = 0; i < binds.size(); ++i)
        sqlite3_bind_int64(st, int(i) + 1, binds[i]);
    const int columns = m_rows.columns;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            if (sqlite3_column_type(st, c) != SQLITE_INTEGER) {
                m_rows.whole = false;
                sqlite3_finalize(st);
                return;
            }
        for (int c = 0; c < columns; ++c)
            m_rows.values.push_back(sqlite3_column_int64(st, c));
    }
    if (rc != SQLITE_DONE) m_rows.error = sqliteError(m_side);
    sqlite3_finalize(st);
}

const SideRead::Rows &SideRead::wait() {
    if (m_thread.joinable()) {
        m_thread.join();
        m_done = true;
    }
    return m_rows;
}
} // namespace storage
