#pragma once
// The kinds of money movement the statements and the totals report add up, and which
// transaction types fall in each: one place, so that both reports count alike.
#include "data/records.h"
#include "platform/decimal.h"

#include <QHash>

#include <QMap>
#include <QString>
#include <array>

enum class Movement { Deposit, Dividend, Withdrawal, Tax, Fee, Carried, Other, Count };

// Payroll deposits; dividends (the program's own and code 2, the older dividend code);
// withdrawals; tax withheld; fees; carried balances; every other code.
Movement movementOf(qint32 transType);
// "Deposits", "Dividends", ... as the reports label the kinds.
QString movementName(Movement m);

struct MovementSums {
    std::array<Decimal, int(Movement::Count)> sums{};
    QMap<qint32, Decimal> others; // the Other kind by transaction code

    MovementSums();
    void add(qint32 transType, const Decimal &amount);
    void add(const MovementSums &more);
    Decimal operator[](Movement m) const { return sums[size_t(m)]; }
    Decimal total() const;
};

// The descriptions of the transaction codes from `trd` (opened by the caller); false when the
// file could not be read.
bool readCodeNames(storage::DataFile<TransDesc> &trd, QHash<qint32, QString> &names);
