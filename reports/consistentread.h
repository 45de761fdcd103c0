#pragma once
// A read that sees the database as of one moment: sums and walks made under it agree with each
// other even while another station posts. Nothing is written under it; it ends when it goes out
// of scope. Inside a batch that is already open the batch's own view serves, and nothing more
// is begun.
#include "platform/storage/database.h"

class ConsistentRead {
public:
    explicit ConsistentRead(storage::Database &db);
    ~ConsistentRead();
    ConsistentRead(const ConsistentRead &) = delete;
    ConsistentRead &operator=(const ConsistentRead &) = delete;
    // False when the database refused to begin it; lastError() says why.
    bool active() const { return m_active; }

private:
    storage::Database &m_db;
    bool m_own = false;
    bool m_active = true;
};
