#include "accountbyssn.h"

#include "platform/storage/faults.h"
#include "platform/text.h"
#include "records.h"

#include <QSqlError>

AccountBySsn::AccountBySsn(storage::Database &db) : m_db(db), m_query(db.sql()) {
    const storage::FileDef &def = MemberCU::layout().def();
    m_width = def.fields[def.fieldIndex("SSNUM")].size;
}

std::optional<qint32> AccountBySsn::find(const QString &ssn) {
    using storage::sqlName;
    storage::clearError();
    m_failed = false;
    const QString file = MemberCU::layout().def().name;
    if (!m_prepared) {
        m_query.setForwardOnly(true);
        m_prepared = m_query.prepare(QString("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY rec_pos LIMIT 1")
                                         .arg(sqlName("ACCTNUM"), sqlName(file), sqlName("SSNUM")));
        if (!m_prepared) {
            storage::Database::recordSqlError(m_query.lastError());
            m_failed = true;
            return std::nullopt;
        }
    }
    if (storage::faults::readRefused(file)) {
        m_failed = true;
        return std::nullopt;
    }
    // Stored clipped and cut to the field, as every key value is.
    m_query.bindValue(0, clip(ssn.left(m_width)) + QLatin1String(""));
    if (!m_query.exec()) {
        storage::Database::recordSqlError(m_query.lastError());
        m_failed = true;
        return std::nullopt;
    }
    std::optional<qint32> found;
    if (m_query.next())
        found = m_query.value(0).toInt();
    else if (m_query.lastError().isValid()) {
        storage::Database::recordSqlError(m_query.lastError());
        m_failed = true;
    } else {
        storage::setError(storage::RecordNotFound, file);
    }
    m_query.finish();
    return found;
}
