#include "decimal.h"

namespace {
using i128 = __int128;

i128 pow10(int n) {
    i128 r = 1;
    for (int i = 0; i < n; ++i) r *= 10;
    return r;
}

qint64 narrow(i128 v) {
    if (v > std::numeric_limits<qint64>::max() || v < std::numeric_limits<qint64>::min())
        throw DecimalOverflow("decimal overflow");
    return static_cast<qint64>(v);
}

// Divides rounding half away from zero.
i128 divRound(i128 num, i128 den) {
    if (den < 0) num = -num, den = -den;
    i128 q = num / den, r = num % den;
    if (r < 0) r = -r;
    if (2 * r >= den) q += (num < 0 ? -1 : 1);
    return q;
}

i128 scaled(const Decimal &d, int places) { return i128(d.units()) * pow10(places - d.places()); }
} // namespace

Decimal Decimal::rounded(int places) const {
    if (places == m_places) return *this;
    if (places > m_places) return Decimal(narrow(scaled(*this, places)), places);
    return Decimal(narrow(divRound(m_units, pow10(m_places - places))), places);
}

// Computed without rounding into a Decimal, so that asking never overflows.
bool Decimal::fits(int digits, int places) const {
    i128 u = m_units < 0 ? -i128(m_units) : i128(m_units);
    if (places < m_places) return divRound(u, pow10(m_places - places)) < pow10(digits);
    const int shift = places - m_places;
    if (shift > digits) return u == 0;
    return u < pow10(digits - shift);
}

Decimal Decimal::operator-() const { return Decimal(narrow(-i128(m_units)), m_places); }

Decimal operator+(const Decimal &a, const Decimal &b) {
    int p = std::max(a.m_places, b.m_places);
    return Decimal(narrow(scaled(a, p) + scaled(b, p)), p);
}

Decimal operator-(const Decimal &a, const Decimal &b) { return a + (-b); }

Decimal operator*(const Decimal &a, const Decimal &b) {
    i128 u = i128(a.m_units) * i128(b.m_units);
    int p = a.m_places + b.m_places;
    if (p > Decimal::MaxPlaces) {
        u = divRound(u, pow10(p - Decimal::MaxPlaces));
        p = Decimal::MaxPlaces;
    }
    // Trailing zero places carry no value: drop them when the units would not fit otherwise.
    const i128 max = std::numeric_limits<qint64>::max();
    while ((u > max || u < -max) && p > 0 && u % 10 == 0) {
        u /= 10;
        --p;
    }
    return Decimal(narrow(u), p);
}

Decimal Decimal::divide(const Decimal &a, const Decimal &b, int places) {
    if (b.m_units == 0) throw std::domain_error("division by zero");
    // a/b = (ua / 10^pa) / (ub / 10^pb); scaled to `places`: ua * 10^(places + pb - pa) / ub.
    int shift = places + b.m_places - a.m_places;
    i128 num = a.m_units, den = b.m_units;
    if (shift >= 0) num *= pow10(shift);
    else den *= pow10(-shift);
    return Decimal(narrow(divRound(num, den)), places);
}

int Decimal::compare(const Decimal &a, const Decimal &b) {
    int p = std::max(a.m_places, b.m_places);
    i128 x = scaled(a, p), y = scaled(b, p);
    return x < y ? -1 : (x > y ? 1 : 0);
}

QString Decimal::toString() const {
    i128 u = m_units;
    bool neg = u < 0;
    if (neg) u = -u;
    QString digits = QString::number(static_cast<quint64>(u));
    if (m_places > 0) {
        if (digits.size() <= m_places) digits = QString(m_places + 1 - digits.size(), '0') + digits;
        digits.insert(digits.size() - m_places, '.');
    }
    return neg ? "-" + digits : digits;
}

Decimal Decimal::fromString(const QString &text, bool *ok) {
    if (ok) *ok = false;
    QString t = text.trimmed();
    bool neg = false;
    if (t.startsWith('(') && t.endsWith(')')) {
        neg = true;
        t = t.mid(1, t.size() - 2).trimmed();
    }
    if (t.startsWith('-')) neg = !neg, t = t.mid(1).trimmed();
    else if (t.endsWith('-')) neg = !neg, t.chop(1);
    else if (t.startsWith('+')) t = t.mid(1);
    if (t.startsWith('$')) t = t.mid(1);
    if (t.startsWith('-')) neg = !neg, t = t.mid(1);
    t.remove(',');
    if (t.isEmpty()) return {};
    i128 u = 0;
    int places = -1;
    int digits = 0;
    for (QChar c : t) {
        if (c == '.') {
            if (places >= 0) return {};
            places = 0;
            continue;
        }
        if (!c.isDigit()) return {};
        u = u * 10 + (c.unicode() - '0');
        if (++digits > 36) return {};
        if (places >= 0) ++places;
    }
    if (places < 0) places = 0;
    if (places > MaxPlaces) return {};
    if (neg) u = -u;
    if (u > std::numeric_limits<qint64>::max() || u < std::numeric_limits<qint64>::min()) return {};
    if (ok) *ok = true;
    return Decimal(static_cast<qint64>(u), places);
}
