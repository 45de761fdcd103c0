#include "consistentread.h"

#include <QSqlError>
#include <QSqlQuery>

ConsistentRead::ConsistentRead(storage::Database &db) : m_db(db) {
    if (db.inTransaction()) return;
    if (!db.sql().transaction()) {
        storage::Database::recordSqlError(db.sql().lastError());
        m_active = false;
        return;
    }
    m_own = true;
    // SQLite's deferred transaction keeps the snapshot of its first read to the end; a server
    // gives each statement its own unless told otherwise.
    if (!db.isSqlite()) {
        QSqlQuery q(db.sql());
        if (!q.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"))) {
            storage::Database::recordSqlError(q.lastError());
            m_active = false;
        }
    }
}

ConsistentRead::~ConsistentRead() {
    if (!m_own) return;
    // Only reads were made: ending it either way keeps everything as it was.
    if (!m_db.sql().commit()) m_db.sql().rollback();
}
