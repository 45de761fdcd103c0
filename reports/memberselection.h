#pragma once
// Which members a report takes and in what order: all members or one local, open or closed
// accounts or both, an account range, sorted by name, account number or ZIP code. A walk reads
// them by the key that fits the choice, so a local or an account range is never a full scan.
#include "data/records.h"

#include <QList>
#include <QString>

class IniFile;

struct MemberSelection {
    enum class Status { Open, Closed, Both };
    enum class Order { Name, Account, Zip };

    bool oneLocal = false; // only the members of local LOCALCODE; else all members
    qint32 LOCALCODE = 0;
    Status status = Status::Open;
    qint32 FROMACCT = 0;  // first account number taken; 0 = from the first
    qint32 TOACCT = 0;    // last account number taken; 0 = to the last
    Order order = Order::Name;

    // Whether a member is in the selection (the order aside).
    bool accepts(const MemberCU &mem) const;
    // The choices in one line for a report's heading: "Local 565 - Open Accounts - Accounts
    // 100 to 200 - By Name".
    QString describe() const;
    // What is wrong with the choices ("" when nothing): the window shows it and runs nothing.
    QString problem() const;

    // The choices as a report's section of PENSION.INI keeps them; missing keys keep the defaults.
    void load(const IniFile &ini, const QString &section);
    void store(IniFile &ini, const QString &section) const;
};

// Reads the selected members, in the selection's order, into the buffer of `mem` (opened by the
// caller). ZIP order has no key: the selected members are read first and sorted (ZIP, name,
// account), which the first next() does.
class MemberWalk {
public:
    MemberWalk(storage::DataFile<MemberCU> &mem, const MemberSelection &selection);

    // The next selected member into mem.rec; false at the end or when a read failed (failed()).
    bool next();
    // A read failed: the walk has not seen every member and must not pass for complete.
    bool failed() const { return m_failed; }
    // Members read so far (selected or not), for the progress window.
    qint64 examined() const { return m_examined; }

private:
    enum class State { Unset, Walking, Sorted, Done };
    void position();
    // The next record in key order that is still inside the key's range; false at its end.
    bool read();
    bool loadSorted();

    storage::DataFile<MemberCU> &m_mem;
    MemberSelection m_sel;
    storage::Key<MemberCU> m_key = MemberCU::Name_Key;
    State m_state = State::Unset;
    bool m_failed = false;
    qint64 m_examined = 0;
    QList<MemberCU> m_sorted;
    qsizetype m_nextSorted = 0;
};
