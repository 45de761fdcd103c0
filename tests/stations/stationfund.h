#pragma once
// The fund the several-station tests share with their station processes: every file, one
// contractor, and ten members for each station, whose accounts no other station posts to.
#include "data/records.h"
#include "platform/picture.h"

namespace StationFund {
inline constexpr qint32 ContractorNumber = 1;
inline const QString ContractorName = QStringLiteral("ABC");
inline constexpr int Stations = 8;
inline constexpr int MembersPerStation = 10;

inline QString ssn(int i) {
    return Picture::applyPattern(QString("%1").arg(300000000 + i, 9, 10, QChar('0')), "@P###-##-####P");
}
inline int memberIndex(int station, int m) { return station * MembersPerStation + m; }
inline qint32 account(int index) { return 7001 + index; }
// The station whose member holds the account, or -1.
inline int stationOf(qint32 acct) {
    const int i = acct - account(0);
    return i >= 0 && i < Stations * MembersPerStation ? i / MembersPerStation : -1;
}

// Makes the files (all of them when `members`, the members' too).
inline bool make(storage::Database &db, bool members) {
    for (const storage::FileDef *def : allFiles())
        if (!db.exists(*def) && !db.create(*def)) return false;
    if (!members) return true;
    storage::Transaction t(db);
    storage::DataFile<Contractor> con(db);
    storage::DataFile<MemberCU> mem(db);
    if (!con.open() || !mem.open()) return false;
    con.rec.AUTONUM = ContractorNumber;
    con.rec.NAME = ContractorName;
    if (!con.add()) return false;
    for (int i = 0; i < Stations * MembersPerStation; ++i) {
        mem.clear();
        mem.rec.ACCTNUM = account(i);
        mem.rec.SSNUM = ssn(i);
        mem.rec.LASTNAME = "Member";
        mem.rec.MEMBERID = i + 1;
        if (!mem.add()) return false;
    }
    return t.commit();
}
} // namespace StationFund
