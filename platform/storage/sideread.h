#pragma once
// A long read split between the two cores: a second connection to the fund's SQLite file that
// reads the same committed state as the first connection's snapshot, running one statement in a
// thread of its own while the first connection reads the rest.
#include "database.h"

#include <QByteArray>
#include <QSqlError>
#include <atomic>
#include <optional>
#include <thread>
#include <vector>

struct sqlite3;

namespace storage {
class SideRead {
public:
    // Begins db's read snapshot, as ReadSnapshot does, and where it can a second connection's on
    // the same committed state: the file is SQLite in WAL, db holds no transaction or snapshot
    // yet, and no other station is in the middle of a write. Otherwise there is no second
    // connection (available() false) and the snapshot is db's alone.
    explicit SideRead(Database &db);
    ~SideRead(); // stops and waits for the statement, then ends both snapshots
    SideRead(const SideRead &) = delete;
    SideRead &operator=(const SideRead &) = delete;

    bool available() const { return m_side != nullptr; }
    // Whether db's snapshot is held (see ReadSnapshot::active).
    bool active() const { return m_snapshot->active(); }

    // What the statement gave: `columns` whole numbers per row, row after row.
    struct Rows {
        int columns = 0;
        std::vector<qint64> values;
        // False when the row after the last one given held something else (an approximate
        // number, a null): the rows stop there.
        bool whole = true;
        QSqlError error; // the failure that ended the rows early, in Qt SQL's terms
        qsizetype count() const { return columns > 0 ? qsizetype(values.size()) / columns : 0; }
        qint64 at(qsizetype row, int column) const {
            return values[size_t(row * columns + column)];
        }
    };
    // Runs `sql`, with whole numbers bound in order, on the second connection in a thread of its
    // own. Once per SideRead, and only when available().
    void start(const QString &sql, std::vector<qint64> binds, int columns);
    bool started() const { return m_thread.joinable() || m_done; }
    // Waits for the statement to end.
    const Rows &wait();

private:
    void join(); // the second connection takes up db's snapshot, or is not there
    void run(const QByteArray &sql, const std::vector<qint64> &binds);
    Database &m_db;
    std::optional<ReadSnapshot> m_snapshot;
    sqlite3 *m_side = nullptr;
    std::thread m_thread;
    bool m_done = false;
    std::atomic<bool> m_stop{false};
    Rows m_rows;
};
} // namespace storage
