#include "periodsums.h"

#include "platform/storage/faults.h"
#include "records.h"

#include <QSqlError>

namespace PeriodSums {
namespace {
using storage::sqlName;

QString membersSql() {
    return QString("SELECT %1, %2, %3, %4 FROM %5 ORDER BY %1, rec_pos")
        .arg(sqlName("ACCTNUM"), sqlName("DATECLOSED"), sqlName("LASTNAME"), sqlName("FIRSTNAME"),
             sqlName(MemberCU::layout().def().name));
}

// One row per account in ascending order, of the accounts that `range` leaves (empty: all of
// them; else a comparison with one more bound value). Binds: begin, days (0 for a period from
// day 1 on), dividend type, end + 1, end, then the range's. The balance-days are one sum: a
// record before the period counts for every day of it, one inside from its day on; two sums per
// record, as few as the figures allow. Each is exact or not given (Dialect::wholeSum, whole()).
QString accountsSql(const storage::Dialect &dialect, const QString &range = {}) {
    const QString acct = sqlName("ACCTNUM"), amt = sqlName("TRANSAMOUNT"),
                  date = sqlName("TRANSDATE"), type = sqlName("TRANSTYPE");
    const QString balanceDays =
        QString("CASE WHEN %1 < ? THEN %2 * ? WHEN %3 <> ? THEN %2 * (? - %1) ELSE 0 END")
            .arg(date, amt, type);
    const QString within = range.isEmpty() ? QString() : QString(" AND %1 %2 ?").arg(acct, range);
    return QString("SELECT %1, %2, %3 FROM %4 WHERE %5 <= ?%6 GROUP BY %1 ORDER BY %1")
        .arg(acct, dialect.wholeSum(amt), dialect.wholeSum(balanceDays),
             sqlName(Trans::layout().def().name), date, within);
}

// The account that begins the second half: the middle of the numbers in use, which are given
// one after the other. Nothing when there are too few to halve.
std::optional<qint64> middleAccount(storage::Database &db) {
    const QString acct = sqlName("ACCTNUM"), table = sqlName(Trans::layout().def().name);
    QSqlQuery q(db.sql());
    if (!q.exec(QString("SELECT (SELECT MIN(%1) FROM %2), (SELECT MAX(%1) FROM %2)")
                    .arg(acct, table)) ||
        !q.next() || q.value(0).isNull() || q.value(1).isNull())
        return std::nullopt;
    const qint64 low = q.value(0).toLongLong(), high = q.value(1).toLongLong();
    if (high <= low) return std::nullopt;
    return low + (high - low + 1) / 2;
}

// SQLite stops a sum beyond 64 bits with "integer overflow"; PostgreSQL with SQLSTATE 22003.
bool isOverflow(const QSqlError &e) {
    return e.nativeErrorCode() == QLatin1String("22003") ||
           e.databaseText().contains(QLatin1String("integer overflow"), Qt::CaseInsensitive);
}

// A whole number as the statement gave it; false when it is not one (an engine's approximate
// number where a product left the 64-bit range).
bool whole(const QVariant &v, qint64 &out) {
    const int type = v.metaType().id();
    if (type == QMetaType::Double || type == QMetaType::Float) return false;
    bool ok = false;
    out = v.toLongLong(&ok);
    return ok;
}
} // namespace

Reader::Reader(storage::Database &db, qint32 begin, qint32 end)
    : m_db(db), m_begin(begin), m_end(end), m_members(db.sql()), m_accounts(db.sql()) {}

bool Reader::fail(const QSqlError &error) {
    storage::Database::recordSqlError(error);
    m_failed = true;
    return false;
}

bool Reader::open() {
    storage::clearError();
    m_failed = false;
    m_side.emplace(m_db);
    // A period from the first day there is has nothing before it.
    const qint32 daysBefore = m_begin > 1 ? m_end - m_begin + 1 : 0;
    std::vector<qint64> binds{m_begin, daysBefore, TransType::Dividend, m_end + 1, m_end};
    const std::optional<qint64> middle = m_side->available() ? middleAccount(m_db) : std::nullopt;
    if (middle) {
        std::vector<qint64> upper = binds;
        upper.push_back(*middle);
        m_side->start(accountsSql(m_db.dialect(), ">="), std::move(upper), 3);
        binds.push_back(*middle);
    }
    // Both results are read side by side while other reads run: row by row where the engine
    // allows it, else each taken whole (one row per member and per account).
    const bool stream = m_db.dialect().streamsSideBySide;
    m_members.setForwardOnly(stream);
    m_accounts.setForwardOnly(stream);
    if (!m_members.prepare(membersSql()) || !m_members.exec()) return fail(m_members.lastError());
    if (!m_accounts.prepare(accountsSql(m_db.dialect(), middle ? "<" : "")))
        return fail(m_accounts.lastError());
    for (const qint64 v : binds)
        m_accounts.addBindValue(v);
    // A sum beyond 64 bits fails the statement; on a server that would cost the snapshot the
    // record-by-record reads of such accounts need.
    storage::Attempt attempt(m_db);
    if (!m_accounts.exec()) {
        if (!isOverflow(m_accounts.lastError())) return fail(m_accounts.lastError());
        attempt.failed();
        m_exact = false;
    }
    return true;
}

bool Reader::nextMember(Member &out) {
    if (m_failed) return false;
    if (storage::faults::readRefused(MemberCU::layout().def().name)) return m_failed = true, false;
    if (!m_members.next()) {
        if (m_members.lastError().isValid()) return fail(m_members.lastError());
        return false;
    }
    out.acct = m_members.value(0).toInt();
    out.closed = m_members.value(1).toInt();
    out.last = m_members.value(2).toString();
    out.first = m_members.value(3).toString();
    return true;
}

// Reads the next account's row, from the first half and then from the second; false at the
// end, on a failure or once the sums are not exact.
bool Reader::fetchAccount() {
    m_haveAccount = false;
    if (m_accountsDone || !m_exact) return false;
    if (storage::faults::readRefused(Trans::layout().def().name)) return m_failed = true, false;
    Account a;
    if (!m_upper) {
        if (m_accounts.next()) {
            m_acct = m_accounts.value(0).toInt();
            if (!whole(m_accounts.value(1), a.closing) ||
                !whole(m_accounts.value(2), a.balanceDays)) {
                m_exact = false;
                return false;
            }
            m_current = a;
            return m_haveAccount = true;
        }
        if (m_accounts.lastError().isValid() || !split()) {
            m_accountsDone = true;
            return ended(m_accounts.lastError());
        }
        m_upper = &m_side->wait();
    }
    if (m_upperRow < m_upper->count()) {
        m_acct = qint32(m_upper->at(m_upperRow, 0));
        a.closing = m_upper->at(m_upperRow, 1);
        a.balanceDays = m_upper->at(m_upperRow, 2);
        ++m_upperRow;
        m_current = a;
        return m_haveAccount = true;
    }
    m_accountsDone = true;
    if (!m_upper->whole) {
        m_exact = false;
        return false;
    }
    return ended(m_upper->error);
}

// The account statement ended: at the last account, beyond whole numbers (the sums not given
// from there on) or failed.
bool Reader::ended(const QSqlError &error) {
    if (!error.isValid()) return false;
    if (isOverflow(error)) {
        m_exact = false;
        return false;
    }
    return fail(error);
}

std::optional<Account> Reader::account(qint32 acct) {
    if (m_failed) return std::nullopt;
    if (!m_exact) return Account{};
    if (!m_started) {
        m_started = true;
        fetchAccount();
    }
    while (m_haveAccount && m_acct < acct)
        fetchAccount();
    if (m_failed) return std::nullopt;
    if (m_haveAccount && m_acct == acct) return m_current;
    return Account{};
}
} // namespace PeriodSums
