#pragma once
// The account number of the member holding an SSN, read through the SSN key's index by one
// statement prepared once: posting a payroll asks it for every line and needs nothing else.
#include "platform/storage/database.h"

#include <optional>

class AccountBySsn {
public:
    explicit AccountBySsn(storage::Database &db);
    // The account of the first member (in order of entry) whose SSN is `ssn`, compared as the SSN
    // key compares it; nothing when nobody holds it, or when the read failed (failed(), lastError()).
    // The statement is prepared once for the connection.
    std::optional<qint32> find(const QString &ssn);
    bool failed() const { return m_failed; }

private:
    storage::Database &m_db;
    bool m_failed = false;
    int m_width = 0;
};
