#pragma once
// The prepared INSERT of one file. On SQLite it binds straight to the engine's own statement:
// Qt SQL's binding costs more per row than SQLite's insert itself, and conversions and batches
// add records by the million. Other engines go through Qt SQL.
#include "filedef.h"

#include <QSqlQuery>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace storage {
class Database;

class InsertStatement {
public:
    // `def` must outlive the statement (the table's own copy).
    InsertStatement(Database &db, const FileDef &def);
    ~InsertStatement();
    InsertStatement(const InsertStatement &) = delete;
    InsertStatement &operator=(const InsertStatement &) = delete;

    // Inserts one record from values as they are stored (a qint32 or int for Long and Byte,
    // qint64 units for Decimal, a QString for text); false with lastError() set.
    bool exec(const Row &values);
    // The record position of the last inserted record.
    qint64 position() const { return m_position; }
    // The last exec found a unique key holding the values and inserted nothing, without a
    // failed statement: the batch's transaction is still whole.
    bool declined() const { return m_declined; }

private:
    bool prepare();
    bool execSqlite(const Row &values);
    bool execQuery(const Row &values);

    Database &m_db;
    const FileDef &m_def;
    QString m_sql;
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    std::optional<QSqlQuery> m_query;
    qint64 m_position = 0;
    bool m_declined = false;
    QByteArray m_text; // the texts of the record being inserted, in UTF-8
};
} // namespace storage
