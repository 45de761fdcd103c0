#include "taxrecords.h"

#include "platform/text.h"
#include "platform/textfile.h"

#include <algorithm>

namespace Tax {
namespace {

bool currentLayout(int year) { return year >= FirstCurrentLayoutYear; }

// A 748-character record filled field by field at 1-based positions, in place: a file holds
// tens of thousands of records of some forty fields each.
class Record {
public:
    Record() : m_text(748, QLatin1Char(' ')) {}
    // Left-justified and blank-filled, cut to the field.
    void text(int pos, int len, QStringView value) {
        QChar *to = field(pos, len);
        const qsizetype n = std::min<qsizetype>(value.size(), len);
        std::copy_n(value.data(), n, to);
        std::fill_n(to + n, len - n, QLatin1Char(' '));
    }
    void number(int pos, int len, qint64 value) {
        if (value < 0) throw FieldError("negative count");
        const QString digits = QString::number(value);
        if (digits.size() > len) throw FieldError("count too large for its field");
        QChar *to = field(pos, len);
        std::fill_n(to, len - digits.size(), QLatin1Char('0'));
        std::copy_n(digits.constData(), digits.size(), to + len - digits.size());
    }
    void amount(int pos, int len, const Decimal &value) {
        if (value.isNegative()) throw FieldError("negative amount");
        number(pos, len, value.unitsAt(2));
    }
    void zeros(int pos, int len) { std::fill_n(field(pos, len), len, QLatin1Char('0')); }
    QString finish() const { return m_text + QStringLiteral("\r\n"); }

private:
    QChar *field(int pos, int len) {
        Q_ASSERT(pos >= 1 && len >= 0 && pos - 1 + len <= m_text.size());
        return m_text.data() + pos - 1;
    }
    QString m_text;
};

QString year4(int year) { return QString::number(year).rightJustified(4, QLatin1Char('0')); }

// Amount fields: the first field, the number of fields and their width.
struct AmountBlock { int first, count, width; };
AmountBlock payeeAmounts(int year) { return currentLayout(year) ? AmountBlock{55, 18, 12} : AmountBlock{55, 16, 12}; }
AmountBlock controlTotals(int year) { return currentLayout(year) ? AmountBlock{16, 18, 18} : AmountBlock{16, 14, 18}; }

void amounts(Record &r, const AmountBlock &b, const Decimal &one, const Decimal &two, const Decimal &four) {
    for (int i = 0; i < b.count; ++i) r.zeros(b.first + i * b.width, b.width);
    r.amount(b.first, b.width, one);
    r.amount(b.first + b.width, b.width, two);
    r.amount(b.first + 3 * b.width, b.width, four);
}

} // namespace

QString digitsOnly(const QString &s) {
    QString out;
    for (QChar c : s)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) out += c;
    return out;
}

QString zipCode(const QString &zip) {
    // "62701-1234" is nine digits to the IRS; cut at nine characters it would lose the last one.
    // Anything else (a foreign postal code) is written as typed for the checks to point out.
    const QString z = clip(zip).trimmed();
    for (QChar c : z)
        if ((c < QLatin1Char('0') || c > QLatin1Char('9')) && c != QLatin1Char('-') && c != QLatin1Char(' ')) return z;
    return digitsOnly(z);
}

QString phoneDigits(const QString &phone) {
    QString out;
    for (QChar c : clip(phone))
        if (c != QLatin1Char('(') && c != QLatin1Char(')') && c != QLatin1Char(' ') && c != QLatin1Char('-')) out += c;
    return out;
}

Totals totalsOf(Form form, const QList<Payee> &payees) {
    Totals t;
    for (const Payee &p : payees) {
        ++t.count;
        t.gross += p.gross;
        if (form == Form::R) {
            t.taxable += p.taxable;
            t.withheld += p.withheld;
        }
    }
    return t;
}

QString transmitterRecord(int year, const Payer &payer, const Vendor &vendor, qint64 payeeCount) {
    Record r;
    r.text(1, 1, QStringLiteral("T"));
    r.text(2, 4, year4(year));
    r.text(7, 9, payer.ein);
    r.text(16, 5, payer.transmitterCode);
    r.text(28, 1, payer.testFile ? QStringLiteral("T") : QString());
    r.text(30, 40, clip(payer.name));
    r.text(110, 40, clip(payer.name));
    r.text(190, 40, clip(payer.address));
    r.text(230, 40, clip(payer.city));
    r.text(270, 2, payer.state);
    r.text(272, 9, zipCode(payer.zip));
    r.number(296, 8, payeeCount);
    r.text(304, 40, clip(payer.contact));
    r.text(344, 15, phoneDigits(payer.phone));
    r.text(359, 50, payer.email.left(35));
    r.number(500, 8, 1);
    r.text(518, 1, QStringLiteral("I"));
    r.text(519, 40, vendor.name);
    r.text(559, 40, vendor.address);
    r.text(599, 40, vendor.city);
    r.text(639, 2, vendor.state);
    r.text(641, 9, vendor.zip);
    r.text(650, 40, vendor.contact);
    r.text(690, 15, vendor.phone);
    return r.finish();
}

QString payerRecord(int year, Form form, const Payer &payer) {
    Record r;
    r.text(1, 1, QStringLiteral("A"));
    r.text(2, 4, year4(year));
    r.text(12, 9, payer.ein);
    r.text(26, 2, form == Form::R ? QStringLiteral("9") : QStringLiteral("6"));
    r.text(28, 16, QStringLiteral("124"));  // both layouts: left-justified, blank to 51
    r.text(53, 40, clip(payer.name));
    r.text(133, 1, QStringLiteral("0"));
    r.text(134, 40, clip(payer.address));
    r.text(174, 40, clip(payer.city));
    r.text(214, 2, payer.state);
    r.text(216, 9, zipCode(payer.zip));
    // Left-justified and blank-filled, as the IRS asks for the payer's telephone.
    r.text(225, 15, phoneDigits(payer.phone));
    r.number(500, 8, 2);
    return r.finish();
}

QString payeeRecord(int year, Form form, const Payee &p, qint64 sequence) {
    const bool current = currentLayout(year);
    Record r;
    r.text(1, 1, QStringLiteral("B"));
    r.text(2, 4, year4(year));
    r.text(11, 1, QStringLiteral("2"));
    r.text(12, 9, digitsOnly(p.tin));
    r.text(21, 20, clip(p.account));
    if (form == Form::R)
        amounts(r, payeeAmounts(year), p.gross, p.taxable, p.withheld);
    else
        amounts(r, payeeAmounts(year), p.gross, Decimal(), Decimal());
    // The IRS matches a payee by the surname at the start of the first name line, so the whole
    // name goes there, surname first, and the second line stays blank.
    const QString name = clip(p.lastName) + QLatin1Char(' ') + clip(p.firstName);
    const int nameLine = current ? 288 : 248;
    r.text(nameLine, 40, clip(name));
    r.text(368, 40, clip(p.address));
    r.text(448, 40, clip(p.city));
    r.text(488, 2, p.state);
    r.text(490, 9, zipCode(p.zip));
    r.number(500, 8, sequence);
    if (form == Form::R) r.text(545, 2, clip(p.distributionCode).trimmed().toUpper());
    return r.finish();
}

QString endOfPayerRecord(int year, const Totals &t, qint64 sequence) {
    Record r;
    r.text(1, 1, QStringLiteral("C"));
    r.number(2, 8, t.count);
    amounts(r, controlTotals(year), t.gross, t.taxable, t.withheld);
    r.number(500, 8, sequence);
    return r.finish();
}

QString endOfTransmissionRecord(qint64 payeeCount, qint64 sequence) {
    Record r;
    r.text(1, 1, QStringLiteral("F"));
    r.number(2, 8, 1);
    r.zeros(10, 21);
    r.number(50, 8, payeeCount);
    r.number(500, 8, sequence);
    return r.finish();
}

QList<QString> fileRecords(int year, Form form, const Payer &payer, const Vendor &vendor,
                           const QList<Payee> &payees) {
    QList<QString> out;
    const qint64 n = payees.size();
    out << transmitterRecord(year, payer, vendor, n) << payerRecord(year, form, payer);
    qint64 seq = 2;
    for (const Payee &p : payees) out << payeeRecord(year, form, p, ++seq);
    out << endOfPayerRecord(year, totalsOf(form, payees), seq + 1);
    out << endOfTransmissionRecord(n, seq + 2);
    return out;
}

} // namespace Tax
