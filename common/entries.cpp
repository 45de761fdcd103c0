#include "entries.h"

#include "platform/picture.h"
#include "platform/text.h"
#include "warnings.h"

#include <QRegularExpression>
#include <limits>

namespace {
const QString kDatePicture = QStringLiteral("@d2");

QString promptName(const QString &prompt) {
    return clip(QString(prompt).remove(':').remove('&')).trimmed();
}

class AmountValidator : public QValidator {
public:
    AmountValidator(int wholeDigits, int places, bool negative, QObject *parent)
        : QValidator(parent), m_pattern(QStringLiteral("^%1\\$?[0-9,]*(\\.[0-9]{0,%2})?%3$")
                                            .arg(negative ? QStringLiteral("[-(]?") : QString())
                                            .arg(places)
                                            .arg(negative ? QStringLiteral("\\)?") : QString())),
          m_wholeDigits(wholeDigits) {}
    State validate(QString &input, int &) const override {
        if (!m_pattern.match(input).hasMatch()) return Invalid;
        const QString whole = input.section('.', 0, 0);
        int digits = 0;
        for (QChar c : whole)
            if (c.isDigit()) ++digits;
        return digits > m_wholeDigits ? Invalid : Acceptable;
    }

private:
    QRegularExpression m_pattern;
    int m_wholeDigits;
};
} // namespace

namespace Entries {
void notADate(Dialogs &dialogs, const QString &typed) {
    const QString t = typed.trimmed();
    dialogs.message("Invalid Date",
                    (t.isEmpty() ? QString("The date is blank.") : "\"" + t + "\" is not a date.") +
                        "  Please enter it as mm/dd/yyyy.",
                    Dlg::Warning);
}

void tooManyDigits(Dialogs &dialogs, const QString &prompt, int wholeDigits) {
    dialogs.message(
        "Range Error",
        QString("The value of %1 must be a number of at most %2 digits before the point.")
            .arg(promptName(prompt))
            .arg(wholeDigits),
        Dlg::Warning);
}

void outOfRange(Dialogs &dialogs, const QString &prompt, qint64 min, qint64 max) {
    STANDARDWARNING(dialogs, 10, promptName(prompt), QString("%1 and %2").arg(min).arg(max));
}

bool readDate(Dialogs &dialogs, const QString &typed, qint32 &day) {
    bool ok = false;
    const qint32 read = Picture::deformatDate(typed, kDatePicture, &ok);
    if (!ok) {
        notADate(dialogs, typed);
        return false;
    }
    day = read;
    return true;
}

bool fitsWhole(const Decimal &value, int wholeDigits) {
    qint64 whole = value.units();
    for (int i = 0; i < value.places(); ++i)
        whole /= 10;
    if (whole == std::numeric_limits<qint64>::min()) return false;
    if (whole < 0) whole = -whole;
    qint64 limit = 1;
    for (int i = 0; i < wholeDigits && limit <= std::numeric_limits<qint64>::max() / 10; ++i)
        limit *= 10;
    return whole < limit;
}

bool toAmount(const QString &typed, int places, Decimal &value) {
    bool ok = false;
    const Decimal read = Picture::deformatNumber(typed, &ok);
    if (!ok) return false;
    // Rounding scales the units; 16 digits before the point still leave room for the places.
    value = fitsWhole(read, 16) ? read.rounded(places) : read;
    return true;
}

bool readAmount(const QString &text, int digits, int places, Decimal *out) {
    if (text.trimmed().isEmpty()) {
        *out = Decimal(0, places);
        return true;
    }
    Decimal d;
    if (!toAmount(text, places, d) || !fitsWhole(d, digits - places)) return false;
    *out = d;
    return true;
}

bool readWholeNumber(const QString &text, qint64 min, qint64 max, qint64 *out) {
    const QString t = text.trimmed();
    bool ok = true;
    const qint64 n = t.isEmpty() ? 0 : t.toLongLong(&ok);
    if (!ok || n < min || n > max) return false;
    *out = n;
    return true;
}

QValidator *amountValidator(int wholeDigits, int places, bool negative, QObject *parent) {
    return new AmountValidator(wholeDigits, places, negative, parent);
}
} // namespace Entries

WholeNumberValidator::WholeNumberValidator(qint64 min, qint64 max, QObject *parent)
    : QValidator(parent), m_min(min), m_max(max) {}

QValidator::State WholeNumberValidator::validate(QString &input, int &) const {
    const QString t = input.trimmed();
    if (t.isEmpty()) return Acceptable; // blank reads as 0
    if (t == "-") return m_min < 0 ? Intermediate : Invalid;
    static const QRegularExpression shape("^-?[0-9]{1,18}$");
    if (!shape.match(t).hasMatch()) return Invalid;
    const qint64 n = t.toLongLong();
    return n >= m_min && n <= m_max ? Acceptable : Invalid;
}
