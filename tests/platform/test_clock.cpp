#include "platform/clock.h"

#include <gtest/gtest.h>

TEST(Clock, DayNumbersCountFromTheTwentyEighthOfDecember1800) {
    EXPECT_EQ(Clock::dayNumber(1800, 12, 29), 1);
    EXPECT_EQ(Clock::dayNumber(1801, 1, 1), 4);
    EXPECT_EQ(Clock::dayNumber(2004, 2, 30), 0);
    qint32 day = Clock::dayNumber(2026, 12, 8);
    EXPECT_EQ(Clock::toQDate(day), QDate(2026, 12, 8));
    EXPECT_EQ(Clock::weekday(day), 2); // a Tuesday
    EXPECT_EQ(Clock::weekday(Clock::dayNumber(1801, 1, 4)), 0); // day 7: a Sunday, as day 0
    EXPECT_EQ(Clock::lastDayOfMonth(Clock::dayNumber(2024, 2, 10)), Clock::dayNumber(2024, 2, 29));
    EXPECT_EQ(Clock::firstDayOfMonth(day), Clock::dayNumber(2026, 12, 1));
    EXPECT_FALSE(Clock::toQDate(0).isValid());
}

TEST(Clock, TimesAreHundredthsSinceMidnightAndCanBePinned) {
    EXPECT_EQ(Clock::timeOf(1, 0), 360000);
    EXPECT_EQ(Clock::timeOf(0, 0, 1, 5), 105);
    Clock::setToday(Clock::dayNumber(2004, 2, 1));
    Clock::setClock(Clock::timeOf(8, 0));
    EXPECT_EQ(Clock::today(), Clock::dayNumber(2004, 2, 1));
    EXPECT_EQ(Clock::clock(), 2880000);
    Clock::setToday(std::nullopt);
    Clock::setClock(std::nullopt);
    EXPECT_EQ(Clock::toQDate(Clock::today()), QDate::currentDate());
}
