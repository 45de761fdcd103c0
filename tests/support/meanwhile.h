#pragma once
// Another station's posting committed in the middle of a run: a long read run must see none of
// it. Armed on the fault hook's record reads, so it lands at a known point of the run.
#include "data/records.h"
#include "platform/storage/faults.h"

#include <QList>

struct Deposit {
    qint32 acct;
    qint32 date;
    const char *amount;
    qint32 type = TransType::Payroll;
};

// After `after` records of `file` have been read on this station, `other` (another station's
// connection) posts the deposits in one batch; `posted` says whether they were committed.
inline void depositMeanwhile(storage::Database &other, const QString &file, int after,
                             QList<Deposit> deposits, bool &posted) {
    posted = false;
    storage::faults::meanwhile(file, after, [&other, deposits, &posted] {
        storage::DataFile<Trans> tra(other);
        if (!tra.open()) return;
        storage::Transaction t(other);
        bool ok = t.active();
        for (const Deposit &d : deposits) {
            tra.clear();
            tra.rec.ACCTNUM = d.acct;
            tra.rec.TRANSDATE = d.date;
            tra.rec.TRANSAMOUNT = Decimal::fromString(d.amount);
            tra.rec.TRANSTYPE = d.type;
            ok = ok && tra.add();
        }
        posted = ok && t.commit();
    });
}
