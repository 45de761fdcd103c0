#include "picture.h"

#include "clock.h"

#include <QRegularExpression>

namespace {
struct Parsed {
    QChar kind;    // 's', 'n', 'd', 't', 'p'
    QString body;  // what follows the kind letter
};

Parsed parse(const QString &picture) {
    QString p = picture.trimmed();
    if (p.startsWith('@')) p = p.mid(1);
    if (p.isEmpty()) return {QChar('s'), {}};
    QChar first = p.at(0);
    QChar k = first.toLower();
    if ((k == 'p' || k == 'k') && p.size() > 1 && p.endsWith(first)) return {'p', p.mid(1, p.size() - 2)};
    return {k, p.mid(1)};
}

struct NumberPicture {
    QString currencyBefore, currencyAfter;
    QChar signBefore, signAfter; // '-', '(' / '-', ')'
    QChar fill = ' ';            // ' ', '0', '*', '_'
    int size = 0;
    QChar grouping = ',';        // QChar() = none
    QChar point = '.';
    int places = 0;
    bool blankWhenZero = false;
    bool signFirst = false; // "-$" rather than "$-"
};

NumberPicture parseNumber(const QString &b) {
    NumberPicture n;
    int i = 0;
    auto at = [&](int j) { return j < b.size() ? b.at(j) : QChar(); };
    auto currency = [&](QString &into) {
        if (at(i) == '$') {
            into = "$";
            ++i;
        } else if (at(i) == '~') {
            int end = b.indexOf('~', i + 1);
            if (end > i) {
                into = b.mid(i + 1, end - i - 1);
                i = end + 1;
            }
        }
    };
    currency(n.currencyBefore);
    if (at(i) == '-' || at(i) == '(') {
        n.signBefore = b.at(i++);
        if (n.currencyBefore.isEmpty()) {
            currency(n.currencyBefore);
            n.signFirst = true;
        }
    }
    if (at(i) == '0' || at(i) == '*' || at(i) == '_') {
        n.fill = b.at(i++);
        if (n.fill != '*') n.grouping = QChar();
    }
    while (at(i).isDigit()) n.size = n.size * 10 + at(i++).digitValue();
    // An explicit grouping symbol is followed by the places marker or by nothing numeric.
    if ((at(i) == '.' || at(i) == '-' || at(i) == '_') && !at(i + 1).isDigit()) {
        QChar g = b.at(i++);
        n.grouping = g == '_' ? QChar(' ') : g;
        if (g == '.') n.point = ',';
    }
    if (at(i) == '.' || at(i) == '`' || at(i) == 'v' || at(i) == 'V') {
        QChar m = b.at(i++);
        n.point = m == '.' ? (n.grouping == '.' ? QChar(',') : QChar('.')) : (m == '`' ? QChar(',') : QChar());
        while (at(i).isDigit()) n.places = n.places * 10 + at(i++).digitValue();
    }
    if (at(i) == '-' || at(i) == ')') n.signAfter = b.at(i++);
    currency(n.currencyAfter);
    if (at(i) == 'B' || at(i) == 'b') n.blankWhenZero = true;
    return n;
}

QString formatNumber(const Decimal &value, const NumberPicture &n) {
    Decimal v = value.rounded(n.places);
    if (n.blankWhenZero && v.isZero()) return QString(n.size, ' ');
    bool neg = v.isNegative();
    QString digits = v.abs().toString();
    QString intPart = digits, frac;
    int dot = digits.indexOf('.');
    if (dot >= 0) {
        intPart = digits.left(dot);
        frac = digits.mid(dot + 1);
    }
    if (!n.grouping.isNull()) {
        for (int pos = intPart.size() - 3; pos > 0; pos -= 3) intPart.insert(pos, n.grouping);
    }
    QString number = intPart;
    if (n.places > 0) number += (n.point.isNull() ? QString() : QString(n.point)) + frac;

    bool explicitSign = !n.signBefore.isNull() || !n.signAfter.isNull();
    QString signB, signA;
    bool signFirst = n.signFirst;
    if (neg && !n.signBefore.isNull()) signB = n.signBefore;
    if (!n.signAfter.isNull()) signA = neg ? QString(n.signAfter) : QString(" ");
    if (neg && !explicitSign) signB = "-", signFirst = true;
    const QString &after = n.currencyAfter;
    QString prefix = signFirst ? signB + n.currencyBefore : n.currencyBefore + signB;
    QString core = prefix + number + signA + after;
    if (n.size > 0) {
        if (core.size() > n.size) return QString(n.size, '#');
        int pad = n.size - core.size();
        if (n.fill == '0' || n.fill == '*') {
            core = prefix + QString(pad, n.fill) + number + signA + after;
        } else {
            core = QString(pad, ' ') + core;
        }
    }
    return core;
}

QString two(int v) { return QString::number(v).rightJustified(2, '0'); }

QString formatDate(qint32 day, int style) {
    if (day <= 0) return {};
    QDate d = Clock::toQDate(day);
    if (!d.isValid()) return {};
    QString yy = two(d.year() % 100), yyyy = QString::number(d.year()).rightJustified(4, '0');
    QString mm = two(d.month()), dd = two(d.day());
    switch (style) {
    case 1: return mm + "/" + dd + "/" + yy;
    case 3: return Clock::monthName(d.month()).left(3) + " " + QString::number(d.day()) + "," + yyyy;
    case 4: return Clock::monthName(d.month()) + " " + QString::number(d.day()) + ", " + yyyy;
    case 5: return dd + "/" + mm + "/" + yy;
    case 6: return dd + "/" + mm + "/" + yyyy;
    case 9: return yy + "/" + mm + "/" + dd;
    case 10: return yyyy + "/" + mm + "/" + dd;
    case 11: return yy + mm + dd;
    case 12: return yyyy + mm + dd;
    default: return mm + "/" + dd + "/" + yyyy;
    }
}

QString formatTime(qint64 t, int style) {
    int h = int(t / 360000), m = int(t / 6000 % 60), s = int(t / 100 % 60);
    auto ampm = [&](bool secs) {
        int h12 = h % 12 == 0 ? 12 : h % 12;
        return QString::number(h12) + ":" + two(m) + (secs ? ":" + two(s) : QString()) +
               (h < 12 ? "AM" : "PM");
    };
    switch (style) {
    case 3: return ampm(false);
    case 4: return two(h) + ":" + two(m) + ":" + two(s);
    case 6: return ampm(true);
    default: return two(h) + ":" + two(m);
    }
}

int leadingInt(const QString &s) {
    int v = 0;
    for (QChar c : s) {
        if (!c.isDigit()) break;
        v = v * 10 + c.digitValue();
    }
    return v;
}

QString patternOf(const Parsed &p) { return p.body; }
} // namespace

namespace Picture {
QString format(const Decimal &value, const QString &picture) {
    Parsed p = parse(picture);
    if (p.kind == 'n') return formatNumber(value, parseNumber(p.body));
    return format(value.rounded(0).units(), picture);
}

QString format(qint64 value, const QString &picture) {
    Parsed p = parse(picture);
    switch (p.kind.unicode()) {
    case 'n': return formatNumber(Decimal(value, 0), parseNumber(p.body));
    case 'd': return formatDate(qint32(value), leadingInt(p.body));
    case 't': return formatTime(value, leadingInt(p.body));
    case 'p': {
        QString pat = patternOf(p);
        int positions = pat.count('#') + pat.count('<');
        QString digits = QString::number(value < 0 ? -value : value).rightJustified(positions, '0');
        return applyPattern(digits.right(positions), picture);
    }
    default: return formatText(QString::number(value), picture);
    }
}

QString formatText(const QString &text, const QString &picture) {
    Parsed p = parse(picture);
    if (p.kind == 'p') return applyPattern(text, picture);
    if (p.kind == 's') {
        int w = leadingInt(p.body);
        QString t = text;
        while (t.endsWith(' ')) t.chop(1);
        return w > 0 ? t.left(w) : t;
    }
    if (p.kind == 'n') {
        bool ok = false;
        Decimal d = Decimal::fromString(text, &ok);
        return format(d, picture);
    }
    return text;
}

Decimal deformatNumber(const QString &text, bool *ok) {
    QString t = text.trimmed();
    if (t.isEmpty()) {
        if (ok) *ok = true;
        return Decimal(0, 0);
    }
    return Decimal::fromString(t, ok);
}

qint32 deformatDate(const QString &text, const QString &picture, bool *ok) {
    if (ok) *ok = true;
    QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    Parsed p = parse(picture);
    int style = leadingInt(p.body);
    bool window99 = p.body.contains("<99");
    int y = 0, m = 0, d = 0;
    bool twoDigitYear = false;
    // Compiled once: imports read dates by the million.
    static const QRegularExpression separators(QStringLiteral("[/\\-. ]+"));
    QStringList parts = t.split(separators, Qt::SkipEmptyParts);
    auto fail = [&]() {
        if (ok) *ok = false;
        return 0;
    };
    if (parts.size() == 3) {
        bool a, b, c;
        int x = parts[0].toInt(&a), yv = parts[1].toInt(&b), z = parts[2].toInt(&c);
        if (!a || !b || !c) return fail();
        if (style == 5 || style == 6) d = x, m = yv, y = z, twoDigitYear = parts[2].size() <= 2;
        else if (style == 9 || style == 10) y = x, m = yv, d = z, twoDigitYear = parts[0].size() <= 2;
        else m = x, d = yv, y = z, twoDigitYear = parts[2].size() <= 2;
    } else if (parts.size() == 1 && (t.size() == 6 || t.size() == 8) && t.toLongLong() > 0) {
        if (style == 11 || style == 12 || style == 9 || style == 10) {
            int yl = t.size() == 8 ? 4 : 2;
            y = t.left(yl).toInt(), m = t.mid(yl, 2).toInt(), d = t.mid(yl + 2, 2).toInt();
            twoDigitYear = yl == 2;
        } else {
            m = t.left(2).toInt(), d = t.mid(2, 2).toInt(), y = t.mid(4).toInt();
            twoDigitYear = t.size() == 6;
        }
    } else {
        return fail();
    }
    if (twoDigitYear) {
        // One look at the calendar: each asks the system for its time zone.
        const qint32 today = Clock::today();
        const int current = today > 0 ? Clock::year(today) : QDate::currentDate().year();
        int lo = window99 ? current - 98 : current - 80;
        int base = lo - lo % 100 + y;
        if (base < lo) base += 100;
        y = base;
    }
    qint32 day = Clock::dayNumber(y, m, d);
    if (day == 0) return fail();
    return day;
}

QString applyPattern(const QString &digits, const QString &picture) {
    Parsed p = parse(picture);
    QString pat = p.kind == 'p' ? p.body : picture;
    QString only;
    for (QChar c : digits)
        if (c.isDigit()) only += c;
    QString out;
    int i = 0;
    bool started = false;
    for (QChar c : pat) {
        if (c == '#' || c == '<') {
            QChar dgt = i < only.size() ? only.at(i++) : QChar(' ');
            if (c == '<' && !started && dgt == '0') dgt = ' ';
            if (dgt != ' ' && dgt != '0') started = true;
            if (c == '#') started = true;
            out += dgt;
        } else {
            out += c;
        }
    }
    return out;
}

QString inputMask(const QString &picture) {
    Parsed p = parse(picture);
    QString pat = p.kind == 'p' ? p.body : picture, mask;
    for (QChar c : pat) {
        if (c == '#') mask += '9';
        else if (c == '<') mask += '0';
        else if (QString("AaNnXx90Dd#HhBb>!<{}[]\\").contains(c)) mask += QString("\\") + c;
        else mask += c;
    }
    return mask;
}
} // namespace Picture
