#include "entries.h"

#include "platform/text.h"
#include "warnings.h"

#include <QRegularExpression>

namespace {
QString promptName(const QString &prompt) {
    return clip(QString(prompt).remove(':').remove('&')).trimmed();
}
} // namespace

namespace Entries {
bool readAmount(const QString &text, int digits, int places, Decimal *out) {
    if (text.trimmed().isEmpty()) {
        *out = Decimal(0, places);
        return true;
    }
    bool ok = false;
    const Decimal d = Decimal::fromString(text, &ok);
    if (!ok || !d.fits(digits, places)) return false;
    *out = d.rounded(places);
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

void tooManyDigits(Dialogs &dialogs, const QString &prompt, int digitsBefore) {
    dialogs.message(
        "Range Error",
        QString("The value of %1 must be a number of at most %2 digits before the point.")
            .arg(promptName(prompt))
            .arg(digitsBefore),
        Dlg::Warning);
}

void outOfRange(Dialogs &dialogs, const QString &prompt, qint64 min, qint64 max) {
    STANDARDWARNING(dialogs, 10, promptName(prompt), QString("%1 and %2").arg(min).arg(max));
}

void notADate(Dialogs &dialogs, const QString &typed) {
    const QString t = typed.trimmed();
    dialogs.message("Invalid Date",
                    (t.isEmpty() ? QString("The date is blank.") : "\"" + t + "\" is not a date.") +
                        "  Please enter it as mm/dd/yyyy.",
                    Dlg::Warning);
}
} // namespace Entries

AmountValidator::AmountValidator(int digits, int places, bool negative, QObject *parent)
    : QValidator(parent), m_before(digits - places), m_places(places), m_negative(negative) {}

QValidator::State AmountValidator::validate(QString &input, int &) const {
    static const QRegularExpression shape("^(-?)\\$?([0-9,]*)(\\.([0-9]*))?$");
    const QRegularExpressionMatch m = shape.match(input);
    if (!m.hasMatch()) return Invalid;
    if (!m.captured(1).isEmpty() && !m_negative) return Invalid;
    if (QString(m.captured(2)).remove(',').size() > m_before) return Invalid;
    if (m.captured(4).size() > m_places) return Invalid;
    return Acceptable;
}

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
