#include "movementkinds.h"

#include "platform/text.h"

namespace {
constexpr qint32 kOldDividendCode = 2;
const QString kNames[] = {QStringLiteral("Deposits"),         QStringLiteral("Dividends"),
                          QStringLiteral("Withdrawals"),      QStringLiteral("Tax Withheld"),
                          QStringLiteral("Fees"),             QStringLiteral("Carried Balances"),
                          QStringLiteral("Other")};
} // namespace

QString movementName(Movement m) { return kNames[int(m)]; }

Movement movementOf(qint32 transType) {
    switch (transType) {
    case TransType::Payroll: return Movement::Deposit;
    case TransType::Dividend:
    case kOldDividendCode: return Movement::Dividend;
    case TransType::Withdrawal: return Movement::Withdrawal;
    case TransType::Tax: return Movement::Tax;
    case TransType::AdminFee: return Movement::Fee;
    case TransType::CarriedBalance: return Movement::Carried;
    default: return Movement::Other;
    }
}

MovementSums::MovementSums() { sums.fill(Decimal(0, 2)); }

void MovementSums::add(qint32 transType, const Decimal &amount) {
    const Movement m = movementOf(transType);
    sums[size_t(m)] += amount;
    if (m == Movement::Other) {
        auto it = others.find(transType);
        if (it == others.end()) others.insert(transType, amount.rounded(2));
        else *it += amount;
    }
}

void MovementSums::add(const MovementSums &more) {
    for (size_t i = 0; i < sums.size(); ++i) sums[i] += more.sums[i];
    for (auto it = more.others.begin(); it != more.others.end(); ++it) {
        auto mine = others.find(it.key());
        if (mine == others.end()) others.insert(it.key(), it.value());
        else *mine += it.value();
    }
}

Decimal MovementSums::total() const {
    Decimal t(0, 2);
    for (const Decimal &d : sums) t += d;
    return t;
}

bool readCodeNames(storage::DataFile<TransDesc> &trd, QHash<qint32, QString> &names) {
    names.clear();
    trd.setStart(TransDesc::TransCode_Key);
    while (trd.next()) names.insert(trd.rec.TRANSCODE, clip(trd.rec.TRANSDESC).trimmed());
    return !trd.failed();
}
