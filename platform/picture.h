#pragma once
// Display pictures, shared by windows, reports and files:
//   @s<w>            text of width w
//   @n...            numbers: [$][-|(][0|_|*]size[grouping][.places][-|)][$][B]
//   @d<style>        dates (1 mm/dd/yy, 2 mm/dd/yyyy, 3 mmm dd,yyyy, 4 month dd, yyyy,
//                    5 dd/mm/yy, 6 dd/mm/yyyy, 9 yy/mm/dd, 10 yyyy/mm/dd, 11 yymmdd, 12 yyyymmdd)
//   @t<style>        times (1 hh:mm, 3 h:mmAM, 4 hh:mm:ss, 6 h:mm:ssAM)
//   @P...P, K...K    patterns: '#' a digit, '<' a digit or blank before the first digit, else literal
// The leading '@' may be left out and the letter may be either case ("N$-15.2", "d2").
#include "decimal.h"

#include <QString>

namespace Picture {
QString format(const Decimal &value, const QString &picture);
QString format(qint64 value, const QString &picture); // numbers, dates, times, patterns
QString formatText(const QString &text, const QString &picture);

// Reading typed text back. ok=false when the text does not fit the picture.
Decimal deformatNumber(const QString &text, bool *ok = nullptr);
// Dates in the styles above; "<99" after the style puts two-digit years within the 99 years
// up to the current year, else the window is 80 years back to 19 ahead. Blank text gives 0.
qint32 deformatDate(const QString &text, const QString &picture, bool *ok = nullptr);
// Digits of a pattern picture's text, placed into the pattern ("123456789" -> "123-45-6789").
QString applyPattern(const QString &digits, const QString &picture);
// A QLineEdit input mask for a pattern picture ("K###-##-####K" -> "999-99-9999").
QString inputMask(const QString &picture);
} // namespace Picture
