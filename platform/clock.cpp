#include "clock.h"

#include <QDateTime>
#include <QTime>
#include <atomic>

namespace {
const qint64 kEpochJulian = QDate(1800, 12, 28).toJulianDay();
std::atomic<qint32> g_today{-1};
std::atomic<qint32> g_clock{-1};
} // namespace

namespace Clock {
qint32 fromQDate(const QDate &date) {
    if (!date.isValid()) return NoDate;
    qint64 d = date.toJulianDay() - kEpochJulian;
    return d > 0 && d < std::numeric_limits<qint32>::max() ? qint32(d) : NoDate;
}

qint32 dayNumber(int year, int month, int day) { return fromQDate(QDate(year, month, day)); }

QDate toQDate(qint32 day) {
    if (day <= 0) return {};
    return QDate::fromJulianDay(kEpochJulian + day);
}

int year(qint32 day) { return toQDate(day).year(); }
int month(qint32 day) { return toQDate(day).month(); }
int dayOfMonth(qint32 day) { return toQDate(day).day(); }
int weekday(qint32 day) { return ((day % 7) + 7) % 7; }

qint32 firstDayOfMonth(qint32 day) {
    QDate d = toQDate(day);
    return d.isValid() ? dayNumber(d.year(), d.month(), 1) : NoDate;
}

qint32 lastDayOfMonth(qint32 day) {
    QDate d = toQDate(day);
    return d.isValid() ? dayNumber(d.year(), d.month(), d.daysInMonth()) : NoDate;
}

QString monthName(int month) {
    static const char *names[] = {"January", "February", "March",     "April",
                                  "May",     "June",     "July",      "August",
                                  "September", "October", "November", "December"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

QString weekdayName(int weekday) {
    static const char *names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
    return weekday >= 0 && weekday <= 6 ? QString::fromLatin1(names[weekday]) : QString();
}

qint32 today() {
    qint32 pinned = g_today.load();
    return pinned >= 0 ? pinned : fromQDate(QDate::currentDate());
}

qint32 clock() {
    qint32 pinned = g_clock.load();
    if (pinned >= 0) return pinned;
    return QTime(0, 0).msecsTo(QTime::currentTime()) / 10;
}

qint32 timeOf(int hours, int minutes, int seconds, int hundredths) {
    return ((hours * 60 + minutes) * 60 + seconds) * 100 + hundredths;
}

void setToday(std::optional<qint32> day) { g_today = day.value_or(-1); }
void setClock(std::optional<qint32> time) { g_clock = time.value_or(-1); }
} // namespace Clock
