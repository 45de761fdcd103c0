#pragma once
// How an entry's text becomes a date or an amount, and what the operator is told when it cannot:
// one wording for every window.
#include "platform/decimal.h"
#include "platform/dialogs.h"

class QObject;
class QValidator;

namespace Entries {
// "Invalid Date": the typed text is no date.
void notADate(Dialogs &dialogs, const QString &typed);
// "Range Error": the value of `prompt` has more than `wholeDigits` digits before the point.
void tooManyDigits(Dialogs &dialogs, const QString &prompt, int wholeDigits);

// A date typed as mm/dd/yyyy; blank is no date (0). Anything else is refused with "Invalid Date".
bool readDate(Dialogs &dialogs, const QString &typed, qint32 &day);

// Whether `value` has at most `wholeDigits` digits before the point. Never throws.
bool fitsWhole(const Decimal &value, int wholeDigits);
// An amount as typed ("$1,234.56", "(5.00)"), with `places` places. Never throws: a text that is
// no number gives false; a number too wide to be rounded comes back unrounded, so that the
// caller's width check refuses it.
bool toAmount(const QString &typed, int places, Decimal &value);
// Takes only digits, commas, one point with at most `places` places, a leading "$" and, when
// `negative`, a sign or parentheses; at most `wholeDigits` digits before the point.
QValidator *amountValidator(int wholeDigits, int places, bool negative, QObject *parent);
} // namespace Entries
