#pragma once
// Fixed-point decimal for money and rates: an integer count of units of 10^-places.
// Every operation is exact or rounds once, half away from zero; overflow throws instead of wrapping.
#include <QString>
#include <QtGlobal>
#include <compare>
#include <stdexcept>

class Decimal {
public:
    static constexpr int MaxPlaces = 18;

    constexpr Decimal() = default;
    constexpr Decimal(qint64 units, int places) : m_units(units), m_places(places) {}
    static Decimal fromInt(qint64 v) { return Decimal(v, 0); }
    // Parses "1234.5", "-0.05", "1,234.56", "(12.00)", "$1.00", " 7 "; ok=false on anything else.
    static Decimal fromString(const QString &text, bool *ok = nullptr);
    static Decimal fromCents(qint64 cents) { return Decimal(cents, 2); }

    qint64 units() const { return m_units; }
    int places() const { return m_places; }
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }
    int sign() const { return m_units < 0 ? -1 : (m_units > 0 ? 1 : 0); }

    // Same value with exactly `places` places: extra places are rounded half away from zero.
    Decimal rounded(int places) const;
    // Units of a value at `places` places, rounding as above (cents for places = 2).
    qint64 unitsAt(int places) const { return rounded(places).m_units; }
    // Whether the value fits a field of `digits` total digits with `places` places.
    bool fits(int digits, int places) const;
    Decimal abs() const { return Decimal(m_units < 0 ? -m_units : m_units, m_places); }

    Decimal operator-() const;
    friend Decimal operator+(const Decimal &a, const Decimal &b);
    friend Decimal operator-(const Decimal &a, const Decimal &b);
    // Exact product (places add up); throws when it cannot be held exactly.
    friend Decimal operator*(const Decimal &a, const Decimal &b);
    // Quotient rounded to `places` places; throws on division by zero.
    static Decimal divide(const Decimal &a, const Decimal &b, int places);
    Decimal &operator+=(const Decimal &o) { return *this = *this + o; }
    Decimal &operator-=(const Decimal &o) { return *this = *this - o; }

    friend bool operator==(const Decimal &a, const Decimal &b) { return compare(a, b) == 0; }
    friend std::strong_ordering operator<=>(const Decimal &a, const Decimal &b) {
        return compare(a, b) <=> 0;
    }

    // Plain text: "-1234.50" (all places written, no grouping).
    QString toString() const;

private:
    static int compare(const Decimal &a, const Decimal &b);
    qint64 m_units = 0;
    int m_places = 0;
};

struct DecimalOverflow : std::overflow_error {
    using std::overflow_error::overflow_error;
};
