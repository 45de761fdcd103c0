#pragma once
// Dates are day numbers (day 0 = 28 December 1800, a Sunday; 0 also means "no date").
// Times are hundredths of a second since midnight.
#include <QDate>
#include <QString>
#include <optional>

namespace Clock {
inline constexpr qint32 NoDate = 0;

qint32 dayNumber(int year, int month, int day); // 0 when the date does not exist
qint32 fromQDate(const QDate &date);             // 0 for an invalid date
QDate toQDate(qint32 day);                       // invalid QDate for 0
int year(qint32 day);
int month(qint32 day);
int dayOfMonth(qint32 day);
int weekday(qint32 day); // 0 = Sunday
qint32 lastDayOfMonth(qint32 day);
qint32 firstDayOfMonth(qint32 day);

QString monthName(int month);     // "January"
QString weekdayName(int weekday); // "Sunday"

qint32 today();
qint32 clock(); // time of day now, in hundredths
qint32 timeOf(int hours, int minutes, int seconds = 0, int hundredths = 0);

// Tests pin the calendar and the clock; std::nullopt returns to the real ones.
void setToday(std::optional<qint32> day);
void setClock(std::optional<qint32> time);
} // namespace Clock
