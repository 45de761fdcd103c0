#include "insertstatement.h"

#include "database.h"
#include "sqliteerror.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QStringEncoder>
#include <QVarLengthArray>
#include <sqlite3.h>

namespace storage {
namespace {
void recordSqliteError(sqlite3 *handle) { Database::recordSqlError(sqliteError(handle)); }
} // namespace

InsertStatement::InsertStatement(Database &db, const FileDef &def) : m_db(db), m_def(def) {
    QStringList cols;
    for (const FieldDef &f : def.fields) cols << sqlName(f.name);
    m_sql = db.dialect().insertSql(sqlName(def.name), cols);
    if (db.isSqlite()) {
        const QVariant handle = db.sql().driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_handle = *static_cast<sqlite3 *const *>(handle.constData());
    }
}

InsertStatement::~InsertStatement() { sqlite3_finalize(m_stmt); }

bool InsertStatement::prepare() {
    if (m_stmt || m_query) return true;
    if (m_handle) {
        const QByteArray sql = m_sql.toUtf8();
        if (sqlite3_prepare_v2(m_handle, sql.constData(), int(sql.size()), &m_stmt, nullptr) == SQLITE_OK) return true;
        recordSqliteError(m_handle);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        return false;
    }
    m_query.emplace(m_db.sql());
    if (m_query->prepare(m_sql)) return true;
    m_db.recordError(m_query->lastError());
    m_query.reset();
    return false;
}

bool InsertStatement::exec(const Row &values) {
    m_declined = false;
    if (!prepare()) return false;
    return m_stmt ? execSqlite(values) : execQuery(values);
}

namespace {
qint64 integer(const QVariant &v) {
    if (v.metaType() == QMetaType::fromType<int>()) return *static_cast<const int *>(v.constData());
    if (v.metaType() == QMetaType::fromType<qint64>()) return *static_cast<const qint64 *>(v.constData());
    return v.toLongLong();
}
} // namespace

bool InsertStatement::execSqlite(const Row &values) {
    // The texts in UTF-8, the database's own encoding, all in one buffer that is filled before
    // anything is bound to it: SQLite would otherwise convert and allocate for each.
    const int n = m_def.fields.size();
    qsizetype room = 0;
    for (int i = 0; i < n; ++i) {
        const FieldType type = m_def.fields[i].type;
        if (type == FieldType::String || type == FieldType::Memo) room += values[i].toString().size() * 3;
    }
    if (m_text.size() < room) m_text.resize(room);
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    char *const start = m_text.data();
    char *end = start;
    QVarLengthArray<std::pair<qsizetype, qsizetype>, 8> texts;
    for (int i = 0; i < n; ++i) {
        const FieldType type = m_def.fields[i].type;
        if (type != FieldType::String && type != FieldType::Memo) continue;
        char *from = end;
        end = utf8.appendToBuffer(end, values[i].toString());
        texts.append({from - start, end - from});
    }
    for (int i = 0, t = 0; i < n; ++i) {
        switch (m_def.fields[i].type) {
        case FieldType::Long:
        case FieldType::Byte: sqlite3_bind_int(m_stmt, i + 1, int(integer(values[i]))); break;
        case FieldType::Decimal: sqlite3_bind_int64(m_stmt, i + 1, integer(values[i])); break;
        default: {
            // Never NULL: an empty field is ''.
            const auto [at, size] = texts[t++];
            sqlite3_bind_text(m_stmt, i + 1, start + at, int(size), SQLITE_STATIC);
        }
        }
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_DONE) recordSqliteError(m_handle);
    else m_position = sqlite3_last_insert_rowid(m_handle);
    sqlite3_reset(m_stmt);
    return rc == SQLITE_DONE;
}

bool InsertStatement::execQuery(const Row &values) {
    for (int i = 0; i < m_def.fields.size(); ++i) m_query->bindValue(i, values[i]);
    if (!m_query->exec()) {
        m_db.recordError(m_query->lastError());
        return false;
    }
    if (!m_db.dialect().insertReturnsPosition) {
        m_position = m_query->lastInsertId().toLongLong();
        return true;
    }
    // No row: a unique key already holds these values, and the transaction goes on.
    const bool added = m_query->next();
    m_position = added ? m_query->value(0).toLongLong() : 0;
    m_query->finish();
    if (!added) {
        m_declined = true;
        setError(DuplicateKey, m_def.name);
    }
    return added;
}
} // namespace storage
