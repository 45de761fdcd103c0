#pragma once
// Entry fields that keep to their display picture. A pattern entry ("K###-##-####K") takes
// digits in the pattern's places while it has the focus and shows just its digits in the pattern
// without it; dates and amounts are shown in their picture as soon as the focus leaves them.
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;

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
void reformatOnLeave(QLineEdit *edit, std::function<std::optional<QString>(const QString &)> reformat);
// A date entry in a date picture ("03151985" -> "03/15/1985" with "@d2"); blank stays blank.
void setDate(QLineEdit *edit, const QString &picture);
// An amount entry in a number picture ("1000" -> "$1,000.00" with "@n$10.2").
void setAmount(QLineEdit *edit, const QString &picture);
} // namespace Entries
