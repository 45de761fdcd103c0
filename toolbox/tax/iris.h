#pragma once
// The XML transmission of the IRS's information-return intake (IRIS), written from the same
// payer and payees as the 750-byte file.
#include "taxrecords.h"

#include <QByteArray>
#include <QStringList>

namespace Tax {

// The whole transmission document (UTF-8). `uniqueId` is the UUID part of the transmission id;
// the caller makes a new one per run so that tests can fix it.
QByteArray irisTransmission(int year, Form form, const Payer &payer, const QList<Payee> &payees,
                            const QString &uniqueId);

// What the transmission cannot carry even after cleaning (a foreign address, a name with no
// letters left): one readable finding each, naming the payee. Empty when all is fileable.
QStringList irisFindings(Form form, const Payer &payer, const QList<Payee> &payees);

} // namespace Tax
