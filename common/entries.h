#pragma once
// How an entry's text becomes a date, an amount or a whole number, and what the operator is told
// when it cannot: one wording and one set of limits for every window. Entries also keep to their
// display picture: a pattern entry ("K###-##-####K") takes digits in the pattern's places while it
// has the focus and shows just its digits without it; dates and amounts are shown in their picture
// as soon as the focus leaves them.
#include "platform/decimal.h"
#include "platform/dialogs.h"

#include <QValidator>
#include <functional>
#include <optional>

namespace Entries {
// "Invalid Date": the typed text is no date (or blank where a date is needed).
void notADate(Dialogs &dialogs, const QString &typed);
// "Range Error": the value of `prompt` has more than `wholeDigits` digits before the point.
void tooManyDigits(Dialogs &dialogs, const QString &prompt, int wholeDigits);
// "Range Error": the value of `prompt` must lie between min and max.
void outOfRange(Dialogs &dialogs, const QString &prompt, qint64 min, qint64 max);

// A date typed as mm/dd/yyyy; blank is no date (0). Anything else is refused with "Invalid Date".
bool readDate(Dialogs &dialogs, const QString &typed, qint32 &day);

// Whether `value` has at most `wholeDigits` digits before the point. Never throws.
bool fitsWhole(const Decimal &value, int wholeDigits);
// An amount as typed ("$1,234.56", "(5.00)"), with `places` places. Never throws: a text that is
// no number gives false; a number too wide to be rounded comes back unrounded, so that the
// caller's width check refuses it.
bool toAmount(const QString &typed, int places, Decimal &value);
// An amount for a field of `digits` digits with `places` places; blank reads as 0. False when the
// text is no number or has more digits before the point than the field holds. Never throws.
bool readAmount(const QString &text, int digits, int places, Decimal *out);
// A typed whole number between min and max (blank reads as 0).
bool readWholeNumber(const QString &text, qint64 min, qint64 max, qint64 *out);

// Takes only digits, commas, one point with at most `places` places, a leading "$" and, when
// `negative`, a sign or parentheses; at most `wholeDigits` digits before the point.
QValidator *amountValidator(int wholeDigits, int places, bool negative, QObject *parent);
} // namespace Entries

// Refuses, as they are typed, the keys that would give a whole number outside min..max.
class WholeNumberValidator : public QValidator {
public:
    WholeNumberValidator(qint64 min, qint64 max, QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;

private:
    qint64 m_min, m_max;
};

class QLineEdit;
class QWidget;

namespace Entries {
// Makes `edit` an entry for the pattern picture `picture`. While it has the focus the pattern's
// literals show and the cursor stands at the first free digit place whenever the entry gets the
// focus or its text is set, so that typing goes in at once. Without the focus it shows its
// digits in the pattern up to the last one ("62704", not "62704-"), and nothing when it has none.
// Its text can be set with or without the literals ("123456789" or "123-45-6789").
void setPattern(QLineEdit *edit, const QString &picture);
bool isPattern(const QLineEdit *edit);
// The place where typing goes on in a pattern entry: its first digit place that is still blank
// (the end when every place is filled).
int firstFreePosition(const QLineEdit *edit);
// A pattern entry's text as shown without the focus: "" when it holds no digit.
QString patternText(const QLineEdit *edit);

// Shows the text of `edit` as `reformat` gives it whenever the focus leaves it; text that
// `reformat` cannot read (nullopt) stays as it was typed, for the window's own check.
// Called first in the destructor of a window whose entries' signals reach the window: the entry
// holding the focus reports editing finished while the window's children are torn down, when the
// window's own members are already gone.
void detachEntries(QWidget *window);

void reformatOnLeave(QLineEdit *edit, std::function<std::optional<QString>(const QString &)> reformat);
// A date entry in a date picture ("03151985" -> "03/15/1985" with "@d2"); blank stays blank.
void setDate(QLineEdit *edit, const QString &picture);
// An amount entry in a number picture ("1000" -> "$1,000.00" with "@n$10.2").
void setAmount(QLineEdit *edit, const QString &picture);
} // namespace Entries
