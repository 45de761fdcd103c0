#include "lookups.h"

#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/storage/faults.h"
#include "records.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>

namespace {
// Cents of an account up to `asOf` (all records when 0) and up to `yearEnd`, in one pass over
// the account key's index, which carries the amounts; nothing when the database cannot be read.
std::optional<std::pair<qint64, qint64>> sums(storage::Database &db, qint32 acct, qint32 asOf,
                                              qint32 yearEnd) {
    if (storage::faults::readRefused("Trans")) return std::nullopt;
    // Prepared once per connection: the dividend run asks twice for every member.
    static const QString all = QStringLiteral(
        "SELECT COALESCE(SUM(\"TRANSAMOUNT\"), 0), "
        "COALESCE(SUM(CASE WHEN \"TRANSDATE\" <= ? THEN \"TRANSAMOUNT\" ELSE 0 END), 0) "
        "FROM \"Trans\" WHERE \"ACCTNUM\" = ?");
    static const QString upTo = all + " AND \"TRANSDATE\" <= ?";
    QSqlQuery *q = asOf > 0 ? db.prepared("GETBALANCE up to", upTo) : db.prepared("GETBALANCE", all);
    if (!q) return std::nullopt;
    q->bindValue(0, yearEnd);
    q->bindValue(1, acct);
    if (asOf > 0) q->bindValue(2, asOf);
    if (!q->exec() || !q->next()) {
        storage::Database::recordSqlError(q->lastError());
        q->finish();
        return std::nullopt;
    }
    const std::pair found{q->value(0).toLongLong(), q->value(1).toLongLong()};
    q->finish();
    return found;
}
} // namespace

bool GETBALANCE(storage::Database &db, const QString &acctNum, Decimal &balance, Decimal &preYtd,
                Decimal &ytd, qint32 asOfDate) {
    bool ok = false;
    qint32 acct = acctNum.trimmed().toInt(&ok);
    balance = preYtd = ytd = Decimal(0, 2);
    storage::clearError();
    if (!ok) return true;
    qint32 ref = asOfDate > 0 ? asOfDate : Clock::today();
    qint32 yearEnd = Clock::dayNumber(Clock::year(ref) - 1, 12, 31);
    const auto found = sums(db, acct, asOfDate, yearEnd);
    if (!found) return false;
    const auto [all, beforeYear] = *found;
    balance = Decimal::fromCents(all);
    preYtd = Decimal::fromCents(beforeYear);
    ytd = balance - preYtd;
    return true;
}

void GETLOCALFROMPATH(const QString &dataDir, qint32 &local, QString &path, QString &localDesc,
                      QString &label) {
    QDir dir(dataDir);
    path = dir.absolutePath().left(255);
    QString name = dir.dirName();
    QRegularExpressionMatch m = QRegularExpression("\\d+").match(name);
    local = m.hasMatch() ? m.captured().left(9).toInt() : 0;
    bool savings = local == 667 || local == 33 || local == 968 ||
                   (local == 565 && name.contains("SAV", Qt::CaseInsensitive));
    if (local > 0) {
        localDesc = QString("Local %1 %2 Fund").arg(local).arg(savings ? "Savings" : "Pension");
        label = QString("Local %1").arg(local);
    } else {
        localDesc = name;
        label = name;
    }
    IniFile ini(dir.filePath(LocalSettingsFile));
    if (ini.contains("Local", "Number")) local = ini.value("Local", "Number").toInt();
    if (ini.contains("Local", "Description")) localDesc = ini.value("Local", "Description");
    if (ini.contains("Local", "Label")) label = ini.value("Local", "Label");
    localDesc = localDesc.left(200);
    label = label.left(20);
}
