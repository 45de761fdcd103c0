#pragma once
// SQLite's failure, on a connection the storage code drives itself, as Qt SQL reports it: so
// that it is read the same either way (its words, its extended code as the native code).
#include <QSqlError>
#include <sqlite3.h>

namespace storage {
inline QSqlError sqliteError(sqlite3 *handle) {
    return QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(handle)),
                     QSqlError::StatementError, QString::number(sqlite3_extended_errcode(handle)));
}
} // namespace storage
