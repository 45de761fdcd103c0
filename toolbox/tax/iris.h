#pragma once
// The XML transmission of the IRS's information-return intake (IRIS), written from the same
// payer and payees as the 750-byte file.
#include "taxrecords.h"

#include <QByteArray>
#include <QStringList>

namespace Tax {

// The whole transmission document (UTF-8). `uniqueId` is the UUID part of the transmission id;
// the caller makes a new one per run so that tests can fix it. Every payee is written, in the
// order given, with names and addresses cleaned to the characters the intake takes; what stays
// unfileable after cleaning is what irisFindings() lists. A negative amount throws FieldError,
// as in the 750-byte file.
QByteArray irisTransmission(int year, Form form, const Payer &payer, const QList<Payee> &payees,
                            const QString &uniqueId);

// What the transmission cannot carry even after cleaning (a foreign address, a name with no
// letters left, a malformed TCC, a missing software id): one readable finding each, naming the
// payee. Blank fields and TINs are left to the pre-filing checks, which name what is missing.
// Empty when all is fileable. With the tax year (not 0) the software id is also checked against it: its first two
// digits are the year's last two.
QStringList irisFindings(Form form, const Payer &payer, const QList<Payee> &payees, int year = 0);

// The cleaning rules of the intake, one per kind of text: periods, commas and apostrophes
// (where not allowed) are dropped, any other character outside the allowed set becomes a blank,
// runs of blanks become one, and the text is cut to the field's length.
namespace Iris {
constexpr int PersonNameLength = 20;   // first and last name, each
constexpr int ContactNameLength = 35;
constexpr int BusinessNameLength = 75;
constexpr int AddressLength = 35;
constexpr int CityLength = 22;
constexpr int AccountLength = 30;

QString personName(const QString &text, int length = PersonNameLength); // letters, hyphen
QString businessName(const QString &text); // letters, digits, # - ( ) & '
QString addressLine(const QString &text);  // letters, digits, hyphen, slash
QString city(const QString &text);         // letters
QString account(const QString &text);      // letters, digits
// The digits of a TIN, a telephone number or a ZIP code ("62701-1234" is "627011234").
QString digits(const QString &text);
bool validZip(const QString &digits); // 5 or 9 of them
// The postal abbreviations of the states, territories and military post offices.
bool usState(const QString &code);
// "1234.50": two decimals, never negative (throws FieldError).
QString amount(const Decimal &value);
} // namespace Iris

} // namespace Tax
