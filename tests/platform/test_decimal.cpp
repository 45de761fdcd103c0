#include "platform/decimal.h"

#include <gtest/gtest.h>

namespace {
Decimal d(const char *text) {
    bool ok = false;
    Decimal v = Decimal::fromString(text, &ok);
    EXPECT_TRUE(ok) << text;
    return v;
}
} // namespace

TEST(Decimal, RoundsHalfAwayFromZeroWhenPlacesAreDropped) {
    EXPECT_EQ(d("1.005").rounded(2).toString(), "1.01");
    EXPECT_EQ(d("-1.005").rounded(2).toString(), "-1.01");
    EXPECT_EQ(d("1.0049").rounded(2).toString(), "1.00");
    EXPECT_EQ(d("2.5").rounded(0).toString(), "3");
    EXPECT_EQ(d("-2.5").rounded(0).toString(), "-3");
    EXPECT_EQ(d("0.125").rounded(2).toString(), "0.13");
    EXPECT_EQ(d("7").rounded(2).toString(), "7.00");
    EXPECT_EQ(d("-0.004").rounded(2).toString(), "0.00");
}

TEST(Decimal, ProductsAreExactAndQuotientsRoundOnce) {
    // Tax on a withdrawal: (gross - fee) x percent / 100, to the cent.
    Decimal gross = d("1000.00"), fee = d("25.00");
    Decimal tax = Decimal::divide((gross - fee) * Decimal::fromInt(20), Decimal::fromInt(100), 2);
    EXPECT_EQ(tax.toString(), "195.00");
    EXPECT_EQ((d("1234.56") * d("0.20")).toString(), "246.9120");
    EXPECT_EQ((d("0.07") * d("0.07")).toString(), "0.0049");
    EXPECT_EQ(Decimal::divide(d("10"), d("3"), 2).toString(), "3.33");
    EXPECT_EQ(Decimal::divide(d("2"), d("3"), 2).toString(), "0.67");
    EXPECT_EQ(Decimal::divide(d("-2"), d("3"), 2).toString(), "-0.67");
    EXPECT_EQ(Decimal::divide(d("1.00"), d("8"), 2).toString(), "0.13");
    // A daily rate with many places multiplied back must not lose the cent.
    Decimal rate = Decimal::divide(d("5.25"), d("36500"), 12);
    EXPECT_EQ((rate * d("36500.00")).rounded(2).toString(), "5.25");
    EXPECT_THROW(Decimal::divide(d("1"), d("0"), 2), std::domain_error);
}

TEST(Decimal, SumsKeepEveryCentAndOverflowIsRefused) {
    Decimal sum(0, 2);
    for (int i = 0; i < 1000; ++i) sum += d("0.01");
    EXPECT_EQ(sum.toString(), "10.00");
    EXPECT_EQ((d("0.1") + d("0.2")).toString(), "0.3");
    EXPECT_EQ(d("1.5"), d("1.50"));
    EXPECT_LT(d("-0.01"), d("0"));
    EXPECT_THROW(Decimal(std::numeric_limits<qint64>::max(), 0) + Decimal(1, 0), DecimalOverflow);
    EXPECT_TRUE(d("9999999999999.99").fits(15, 2));
    EXPECT_FALSE(d("10000000000000.00").fits(15, 2));
    EXPECT_FALSE(d("-10000000000000.00").fits(15, 2));
    // Asking whether a value fits never overflows itself, whatever its size.
    EXPECT_FALSE(d("99999999999999999").fits(15, 2));
    EXPECT_FALSE(Decimal(std::numeric_limits<qint64>::min(), 0).fits(18, 18));
    EXPECT_TRUE(Decimal(std::numeric_limits<qint64>::max(), 0).fits(19, 0));
    EXPECT_TRUE(d("0.005").fits(1, 2));
    EXPECT_FALSE(d("9.995").fits(1, 2)); // rounds to 10.00
}

TEST(Decimal, TextConversion) {
    EXPECT_EQ(d("1,234.56").toString(), "1234.56");
    EXPECT_EQ(d("(12.00)").toString(), "-12.00");
    EXPECT_EQ(d("$1.50").toString(), "1.50");
    EXPECT_EQ(d("-$1.50").toString(), "-1.50");
    EXPECT_EQ(d("12.50-").toString(), "-12.50");
    EXPECT_EQ(d(" .5 ").toString(), "0.5");
    EXPECT_EQ(Decimal::fromCents(-5).toString(), "-0.05");
    bool ok = true;
    Decimal::fromString("1.2.3", &ok);
    EXPECT_FALSE(ok);
    Decimal::fromString("12a", &ok);
    EXPECT_FALSE(ok);
    Decimal::fromString("", &ok);
    EXPECT_FALSE(ok);
}
