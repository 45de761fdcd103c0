#include "accountbyssn.h"

#include "platform/storage/faults.h"
#include "platform/text.h"
#include "records.h"

#include <QSqlError>

AccountBySsn::AccountBySsn(storage::Database &db) : m_db(db) {
    const storage::FileDef &def = MemberCU::layout().def();
    m_width = def.fields[def.fieldIndex("SSNUM")].size;
}

std::optional<qint32> AccountBySsn::find(const QString &ssn) {
    using storage::sqlName;
    storage::clearError();
    m_failed = false;
    const QString file = MemberCU::layout().def().name;
    static const QString sql = QString("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY rec_pos LIMIT 1")
                                   .arg(sqlName("ACCTNUM"), sqlName(file), sqlName("SSNUM"));
    QSqlQuery *q = m_db.prepared(QStringLiteral("account by SSN"), sql);
    if (!q || storage::faults::readRefused(file)) {
        m_failed = true;
        return std::nullopt;
    }
    // Stored clipped and cut to the field, as every key value is.
    q->bindValue(0, clip(ssn.left(m_width)) + QLatin1String(""));
    if (!q->exec()) {
        storage::Database::recordSqlError(q->lastError());
        m_failed = true;
        return std::nullopt;
    }
    std::optional<qint32> found;
    if (q->next())
        found = q->value(0).toInt();
    else if (q->lastError().isValid()) {
        storage::Database::recordSqlError(q->lastError());
        m_failed = true;
    } else {
        storage::setError(storage::RecordNotFound, file);
    }
    q->finish();
    return found;
}
