#include "dialect.h"

#include "error.h"

#include <QRegularExpression>
#include <QSqlError>

namespace storage {
namespace {
const Dialect kSqlite{
    Location::SQLite,
    "QSQLITE",
    "BEGIN IMMEDIATE",
    "BEGIN DEFERRED",
    "rec_pos INTEGER PRIMARY KEY AUTOINCREMENT",
    "TEXT NOT NULL DEFAULT ''",
    "INTEGER NOT NULL DEFAULT 0",
    "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)",
    "SELECT count(*) FROM sqlite_master WHERE type = 'table'",
    "SELECT name FROM sqlite_master WHERE type = 'index' AND lower(tbl_name) = lower(?)",
    "SELECT name FROM pragma_table_info(?)",
    false,
    nullptr,
    false,
    true,
};
const Dialect kPostgres{
    Location::PostgreSQL,
    "QPSQL",
    "BEGIN",
    // PostgreSQL keeps the first statement's snapshot for the whole transaction only at
    // REPEATABLE READ.
    "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY",
    "rec_pos BIGSERIAL PRIMARY KEY",
    "TEXT COLLATE \"C\" NOT NULL DEFAULT ''",
    "BIGINT NOT NULL DEFAULT 0",
    "SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() AND lower(tablename) = lower(?)",
    "SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema()",
    "SELECT indexname FROM pg_catalog.pg_indexes WHERE schemaname = current_schema() AND lower(tablename) = lower(?)",
    "SELECT column_name FROM information_schema.columns WHERE table_schema = current_schema() AND table_name = ?",
    true,
    "SELECT pg_advisory_xact_lock(?, ?)",
    true,
    false,
};
} // namespace

const Dialect &Dialect::of(Location::Engine engine) { return engine == Location::PostgreSQL ? kPostgres : kSqlite; }

QString Dialect::columnType(const FieldDef &f) const {
    switch (f.type) {
    case FieldType::Long:
    case FieldType::Byte: return "INTEGER NOT NULL DEFAULT 0";
    case FieldType::Decimal: return decimalType;
    default: return textType;
    }
}

QString Dialect::wholeSum(const QString &expression) const {
    if (engine == Location::PostgreSQL) return QString("CAST(SUM(%1) AS BIGINT)").arg(expression);
    return QString("SUM(%1)").arg(expression);
}

QString Dialect::insertSql(const QString &table, const QStringList &columns) const {
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i) marks << "?";
    QString sql = QString("INSERT INTO %1 (%2, rec_ver) VALUES (%3, 1)").arg(table, columns.join(", "), marks.join(", "));
    if (insertReturnsPosition) sql += " ON CONFLICT DO NOTHING RETURNING rec_pos";
    return sql;
}

QString Dialect::errorText(const QSqlError &error) {
    QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    static const QRegularExpression label("^(ERROR|FATAL|PANIC):\\s+");
    if (label.match(text).hasMatch()) text = text.remove(label).section('\n', 0, 0).trimmed();
    return text;
}

int Dialect::errorCode(const QSqlError &error, int fallback) {
    const QString native = error.nativeErrorCode();
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    // PostgreSQL: a unique key; another station holds what this one needs, or the server chose
    // this one to give way; the connection failed (08) or the server shut down (57P01..57P03).
    if (native == "23505") return DuplicateKey;
    if (native == "40P01" || native == "55P03" || native == "40001") return FileLocked;
    if (native.startsWith("08") || native == "57P01" || native == "57P02" || native == "57P03")
        return ConnectionLost;
    // SQLite: a unique key; the database is locked by another connection.
    if (native == "2067" || native == "1555" || text.contains("UNIQUE constraint", Qt::CaseInsensitive))
        return DuplicateKey;
    if (native == "5" || native == "6" || text.contains("locked", Qt::CaseInsensitive))
        return FileLocked;
    return fallback;
}
} // namespace storage
