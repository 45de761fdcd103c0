#pragma once
// Typed entries every window shares: amounts that take no more digits than their field holds,
// whole numbers kept within a range, and the messages for an entry that cannot be taken.
#include "platform/decimal.h"
#include "platform/dialogs.h"

#include <QValidator>

namespace Entries {
// Reads a typed amount ("$1,234.50", "-25") for a field of `digits` digits with `places` places.
// False when the text is no number or has more digits before the point than the field holds;
// never throws, however long the text.
bool readAmount(const QString &text, int digits, int places, Decimal *out);
// Reads a typed whole number between min and max (blank reads as 0).
bool readWholeNumber(const QString &text, qint64 min, qint64 max, qint64 *out);

// "Range Error": the amount of `prompt` has too many digits before the point.
void tooManyDigits(Dialogs &dialogs, const QString &prompt, int digitsBefore);
// "Range Error": the value of `prompt` must lie between min and max.
void outOfRange(Dialogs &dialogs, const QString &prompt, qint64 min, qint64 max);
// "Invalid Date": `typed` is no date (or blank where a date is needed).
void notADate(Dialogs &dialogs, const QString &typed);
} // namespace Entries

// Refuses, as they are typed, the keys that would give an amount with more digits before the
// point or more places than its field holds.
class AmountValidator : public QValidator {
public:
    AmountValidator(int digits, int places, bool negative, QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;

private:
    int m_before, m_places;
    bool m_negative;
};

// Refuses, as they are typed, the keys that would leave a whole number outside [min, max];
// min <= 0 <= max, so that every number on the way to an allowed one is allowed too.
class WholeNumberValidator : public QValidator {
public:
    WholeNumberValidator(qint64 min, qint64 max, QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;

private:
    qint64 m_min, m_max;
};
