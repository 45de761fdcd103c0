#pragma once
// What a dividend run needs of the whole fund for one period, read in two ordered statements:
// the members (account, closing date, name) and, per account, the sums of its records up to the
// period's end, which the database adds up over the account key's index. Where a second
// connection can share the run's snapshot, the upper half of the accounts is summed on it in a
// thread of its own while this one reads the lower half.
#include "platform/storage/database.h"
#include "platform/storage/sideread.h"

#include <QSqlQuery>
#include <QString>
#include <optional>

namespace PeriodSums {
// One member record, in the account key's order (account number, then order of entry).
struct Member {
    qint32 acct = 0;
    qint32 closed = 0;
    QString last, first;
};

// One account's records dated on or before the period's end, in cents. An account without such
// records has all of them 0.
struct Account {
    qint64 closing = 0; // balance at the close of the end date
    // The period's balance-days: the balance before the begin date for every day of the period,
    // and every record of the period except dividends from its day to the end (the end counting
    // one). With a period from day 1 on, records dated before it count nowhere.
    qint64 balanceDays = 0;
};

class Reader {
public:
    Reader(storage::Database &db, qint32 begin, qint32 end);
    // Begins the run's snapshot (every read of the database until the reader goes sees one
    // committed state) and runs the statements; false (lastError() set) when the database
    // cannot be read.
    bool open();
    // Whether the accounts are summed in two halves side by side.
    bool split() const { return m_side && m_side->started(); }
    // The next member; false at the end, or on a failure (failed()).
    bool nextMember(Member &out);
    // The sums of an account, asked in ascending order; nothing when the read failed (failed()).
    // Ask exact() after it: when false the sums are unknown and the caller reads the records.
    std::optional<Account> account(qint32 acct);
    // False once the database could not add an account's amounts in whole numbers (more than
    // they hold): from that account on, the sums are not given.
    bool exact() const { return m_exact; }
    bool failed() const { return m_failed; }

private:
    bool fetchAccount();
    bool ended(const class QSqlError &error);
    bool fail(const class QSqlError &error);
    storage::Database &m_db;
    qint32 m_begin, m_end;
    std::optional<storage::SideRead> m_side; // before the statements: it outlives them
    QSqlQuery m_members, m_accounts;
    const storage::SideRead::Rows *m_upper = nullptr; // the second half, once it is reached
    qsizetype m_upperRow = 0;
    bool m_exact = true, m_failed = false, m_started = false, m_accountsDone = false;
    bool m_haveAccount = false;
    qint32 m_acct = 0;
    Account m_current;
};
} // namespace PeriodSums
