#pragma once
// The records of the 750-byte information-return file (1099-R and 1099-INT), built from plain
// values. The IRS moved fields of the payee, payer and end-of-payer records from tax year 2021;
// the year chooses the layout. Each record is 748 characters plus CR LF.
#include "platform/decimal.h"

#include <QList>
#include <QString>
#include <stdexcept>

namespace Tax {

enum class Form { R, Int };

// A value that cannot be written into its field (a negative amount, too many digits).
struct FieldError : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

constexpr int RecordLength = 750;
constexpr int FirstCurrentLayoutYear = 2021;

// The fund as transmitter and payer.
struct Payer {
    QString ein, transmitterCode, name, address, city, state, zip, contact, phone, email;
    bool testFile = false;
    QString irisTcc, softwareId; // the XML intake's transmitter control code and software id
};

// The software vendor named in the transmitter record.
struct Vendor {
    QString name, address, city, state, zip, contact, phone;
};

struct Payee {
    QString tin, account, firstName, lastName, address, city, state, zip;
    Decimal gross;     // payment amount 1 (the interest on a 1099-INT)
    Decimal taxable;   // payment amount 2 (1099-R)
    Decimal withheld;  // payment amount 4 (1099-R)
    QString distributionCode;  // 1099-R only
};

struct Totals {
    qint64 count = 0;
    Decimal gross, taxable, withheld;
};

// The C-record totals of the payees as they are written (1099-INT: gross only).
Totals totalsOf(Form form, const QList<Payee> &payees);

QString transmitterRecord(int year, const Payer &payer, const Vendor &vendor, qint64 payeeCount);
QString payerRecord(int year, Form form, const Payer &payer);
QString payeeRecord(int year, Form form, const Payee &payee, qint64 sequence);
QString endOfPayerRecord(int year, const Totals &totals, qint64 sequence);
QString endOfTransmissionRecord(qint64 payeeCount, qint64 sequence);

// The whole file: T, A, the B records numbered from 3, C and F.
QList<QString> fileRecords(int year, Form form, const Payer &payer, const Vendor &vendor,
                           const QList<Payee> &payees);

// Digits of a telephone number without its "(###) ###-####" punctuation.
QString phoneDigits(const QString &phone);
// The digits of a text, in order (a TIN without its hyphens).
QString digitsOnly(const QString &text);

} // namespace Tax
