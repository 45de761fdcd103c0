#include "platform/clock.h"
#include "platform/picture.h"

#include <gtest/gtest.h>

using Picture::format;

namespace {
Decimal money(const char *s) { return Decimal::fromString(s); }
} // namespace

TEST(Picture, NumbersWithCurrencySignsAndGrouping) {
    EXPECT_EQ(format(money("-1234.5"), "@n$(17.2)"), "      $(1,234.50)");
    EXPECT_EQ(format(money("1234.5"), "@n$(17.2)"), "       $1,234.50 ");
    EXPECT_EQ(format(money("-1234.5"), "@n$17.2"), "       -$1,234.50");
    EXPECT_EQ(format(money("1234567.891"), "@N$20.2"), "       $1,234,567.89");
    EXPECT_EQ(format(money("-5"), "N$-15.2"), "         $-5.00");
    EXPECT_EQ(format(money("-1234.5"), "N-20.2"), "           -1,234.50");
    EXPECT_EQ(format(money("1234.5"), "@n10.2-"), " 1,234.50 ");
    EXPECT_EQ(format(money("-1234.5"), "@n10.2-"), " 1,234.50-");
    EXPECT_EQ(format(565, "n14"), "           565");
    EXPECT_EQ(format(money("0"), "N$(17.2)B"), QString(17, ' '));
    EXPECT_EQ(format(money("0"), "@n$9.2"), "    $0.00");
    EXPECT_EQ(format(money("0.05"), "@n$9.2"), "    $0.05");
}

TEST(Picture, NumberFillsRoundingAndOverflow) {
    EXPECT_EQ(format(4550, "@n09"), "000004550");
    EXPECT_EQ(format(money("4550.75"), "@n_9.2"), "  4550.75");
    EXPECT_EQ(format(money("1.005"), "@n10.2"), "      1.01");
    EXPECT_EQ(format(money("-1.005"), "@n10.2"), "     -1.01");
    EXPECT_EQ(format(money("1234.56"), "@n5.2"), "#####");
    EXPECT_EQ(format(money("1234.5"), "@n9.2"), " 1,234.50");
    EXPECT_EQ(format(money("1234.5"), "@n8.2"), "1,234.50");
}

TEST(Picture, Dates) {
    qint32 day = Clock::dayNumber(2004, 2, 1);
    EXPECT_EQ(format(0, "@d2"), "");
    EXPECT_EQ(format(day, "@d2"), "02/01/2004");
    EXPECT_EQ(format(day, "@D2"), "02/01/2004");
    EXPECT_EQ(format(day, "d2"), "02/01/2004");
    EXPECT_EQ(format(day, "@d1"), "02/01/04");
    EXPECT_EQ(format(day, "@d11"), "040201");
    EXPECT_EQ(format(day, "@d12"), "20040201");
    EXPECT_EQ(format(day, "@d4"), "February 1, 2004");
    EXPECT_EQ(format(Clock::dayNumber(1999, 12, 31), "@d6"), "31/12/1999");
}

TEST(Picture, TimesTextAndPatterns) {
    EXPECT_EQ(format(Clock::timeOf(14, 5), "@t3"), "2:05PM");
    EXPECT_EQ(format(Clock::timeOf(0, 0), "@t3"), "12:00AM");
    EXPECT_EQ(format(Clock::timeOf(12, 30), "@t3"), "12:30PM");
    EXPECT_EQ(format(Clock::timeOf(9, 7, 3), "@t4"), "09:07:03");
    EXPECT_EQ(Picture::formatText("ABCDE  ", "@s3"), "ABC");
    EXPECT_EQ(Picture::formatText("AB  ", "@s11"), "AB");
    EXPECT_EQ(format(123456789, "@P###-##-####P"), "123-45-6789");
    EXPECT_EQ(format(12345678, "@P###-##-####P"), "012-34-5678");
    EXPECT_EQ(Picture::applyPattern("2175550100", "(###) ###-####"), "(217) 555-0100");
    EXPECT_EQ(Picture::applyPattern("627041234", "#####-####"), "62704-1234");
    EXPECT_EQ(Picture::formatText("123-45-6789", "K###-##-####K"), "123-45-6789");
    EXPECT_EQ(Picture::inputMask("K###-##-####K"), "999-99-9999");
    EXPECT_EQ(Picture::inputMask("@P(###) ###-####P"), "(999) 999-9999");
}

TEST(Picture, ReadingTypedDatesBack) {
    Clock::setToday(Clock::dayNumber(2026, 12, 8));
    bool ok = false;
    EXPECT_EQ(Picture::deformatDate("02/01/2004", "D2", &ok), Clock::dayNumber(2004, 2, 1));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Picture::deformatDate("2/1/04", "@d2"), Clock::dayNumber(2004, 2, 1));
    EXPECT_EQ(Picture::deformatDate("040201", "D11"), Clock::dayNumber(2004, 2, 1));
    // "<99": the 99 years up to the current year.
    EXPECT_EQ(Picture::deformatDate("300101", "D11<99"), Clock::dayNumber(1930, 1, 1));
    EXPECT_EQ(Picture::deformatDate("261208", "D11<99"), Clock::dayNumber(2026, 12, 8));
    EXPECT_EQ(Picture::deformatDate("300101", "D11"), Clock::dayNumber(2030, 1, 1));
    EXPECT_EQ(Picture::deformatDate("", "D2", &ok), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Picture::deformatDate("13/45/2004", "D2", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Picture::deformatDate("02/30/2004", "D2", &ok), 0);
    EXPECT_FALSE(ok);
    Clock::setToday(std::nullopt);
}
