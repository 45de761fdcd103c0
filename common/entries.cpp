#include "entries.h"

#include "platform/picture.h"
#include "platform/text.h"
#include "warnings.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
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

namespace {
bool isDigitPlace(QChar maskChar) { return maskChar == '0' || maskChar == '9'; }

// Follows one entry's focus: `entered` when it gets the focus, `left` when it loses it to
// another control or window (a popup such as the entry's own menu does not count).
class FocusFollower : public QObject {
public:
    FocusFollower(QLineEdit *edit, std::function<void()> entered, std::function<void()> left)
        : QObject(edit), m_edit(edit), m_entered(std::move(entered)), m_left(std::move(left)) {
        // Sent after the entry has handled its own focus event, so what is done here stands.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
            // An entry being destroyed loses the focus too; it is no entry any more by then.
            if (!qobject_cast<QLineEdit *>(static_cast<QObject *>(m_edit))) return;
            if (now == m_edit && m_entered) m_entered();
            else if (old == m_edit && !m_edit->hasFocus() && m_left) m_left();
        });
    }

private:
    QLineEdit *m_edit;
    std::function<void()> m_entered, m_left;
};

class PatternEntry : public QObject {
public:
    PatternEntry(QLineEdit *edit, const QString &picture) : QObject(edit), m_edit(edit), m_picture(picture) {
        setObjectName(QStringLiteral("patternEntry"));
        // Digit places may stay blank: a partly typed entry can be left as it is.
        const QString qtMask = Picture::inputMask(picture);
        for (int i = 0; i < qtMask.size(); ++i) {
            if (qtMask[i] == '\\' && i + 1 < qtMask.size()) {
                m_mask += qtMask.mid(i, 2);
                m_digitPlaces += false;
                ++i;
            } else {
                m_mask += qtMask[i] == '9' ? QChar('0') : qtMask[i];
                m_digitPlaces += isDigitPlace(qtMask[i]);
            }
        }
        m_mask += QStringLiteral("; ");
        new FocusFollower(edit, [this] { enter(); }, [this] { leave(); });
        connect(edit, &QLineEdit::textChanged, this, [this] { textChanged(); });
        edit->installEventFilter(this);
        if (edit->hasFocus()) enter();
        else leave();
    }

    int firstFree() const {
        if (m_edit->inputMask().isEmpty()) return int(m_edit->text().size());
        const QString shown = m_edit->displayText();
        for (int i = 0; i < m_digitPlaces.size() && i < shown.size(); ++i)
            if (m_digitPlaces[i] && shown[i] == ' ') return i;
        return int(shown.size());
    }

    QString digits() const {
        QString out;
        for (QChar c : m_edit->displayText())
            if (c.isDigit()) out += c;
        return out;
    }

    // The digits in the pattern up to the last one.
    QString shownWithoutFocus() const {
        const QString d = digits();
        if (d.isEmpty()) return {};
        QString text = Picture::applyPattern(d, m_picture);
        int last = int(text.size()) - 1;
        while (last >= 0 && !text[last].isDigit()) --last;
        return text.left(last + 1);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        // A click past the typed digits would leave blank places in between.
        if (event->type() == QEvent::MouseButtonRelease && masked() && !m_edit->hasSelectedText() &&
            m_edit->cursorPosition() > firstFree())
            m_edit->setCursorPosition(firstFree());
        return false;
    }

private:
    bool masked() const { return !m_edit->inputMask().isEmpty(); }

    // Showing the same digits another way is no change by the user: the entry's modified flag,
    // which windows ask, stays as it was.
    void show(const QString &mask, const QString &text) {
        const bool modified = m_edit->isModified();
        m_busy = true;
        if (m_edit->inputMask() != mask) m_edit->setInputMask(mask);
        if (m_edit->text() != text) m_edit->setText(text);
        m_edit->setModified(modified);
        m_busy = false;
    }

    void enter() {
        if (!masked()) {
            const QString d = digits();
            show(m_mask, d.isEmpty() ? QString() : Picture::applyPattern(d, m_picture));
        }
        placeCursor();
    }

    void leave() { show(QString(), shownWithoutFocus()); }

    void placeCursor() {
        const int free = firstFree();
        if (free >= m_edit->displayText().size() && !digits().isEmpty()) {
            m_edit->selectAll(); // every place is filled: typing replaces the whole entry
            return;
        }
        m_edit->setCursorPosition(free);
    }

    void textChanged() {
        if (m_busy) return;
        if (!m_edit->hasFocus() || !masked()) {
            // Set while the entry is elsewhere: shown as without the focus.
            if (!masked()) show(QString(), shownWithoutFocus());
            return;
        }
        // Set or cleared while it has the focus: typing goes on from the first free place.
        if (m_edit->cursorPosition() >= m_edit->displayText().size() && firstFree() < m_edit->displayText().size())
            m_edit->setCursorPosition(firstFree());
    }

    QLineEdit *m_edit;
    QString m_picture, m_mask;
    QList<bool> m_digitPlaces;
    bool m_busy = false;
};

PatternEntry *patternOf(const QLineEdit *edit) {
    return edit ? edit->findChild<PatternEntry *>(QStringLiteral("patternEntry"), Qt::FindDirectChildrenOnly)
                : nullptr;
}
} // namespace

namespace Entries {
void setPattern(QLineEdit *edit, const QString &picture) {
    if (!patternOf(edit)) new PatternEntry(edit, picture);
}

bool isPattern(const QLineEdit *edit) { return patternOf(edit) != nullptr; }

int firstFreePosition(const QLineEdit *edit) {
    if (PatternEntry *p = patternOf(edit)) return p->firstFree();
    return int(edit->text().size());
}

QString patternText(const QLineEdit *edit) {
    if (PatternEntry *p = patternOf(edit)) return p->shownWithoutFocus();
    return edit->text();
}

void reformatOnLeave(QLineEdit *edit, std::function<std::optional<QString>(const QString &)> reformat) {
    QPointer<QLineEdit> guarded(edit);
    new FocusFollower(edit, nullptr, [guarded, reformat] {
        if (!guarded) return;
        std::optional<QString> shown = reformat(guarded->text());
        if (!shown || *shown == guarded->text()) return;
        const bool modified = guarded->isModified(); // shown another way, not changed
        guarded->setText(*shown);
        guarded->setModified(modified);
    });
}

void setDate(QLineEdit *edit, const QString &picture) {
    reformatOnLeave(edit, [picture](const QString &text) -> std::optional<QString> {
        bool ok = false;
        qint32 day = Picture::deformatDate(text, picture, &ok);
        if (!ok) return std::nullopt;
        return Picture::format(day, picture);
    });
}

void setAmount(QLineEdit *edit, const QString &picture) {
    reformatOnLeave(edit, [picture](const QString &text) -> std::optional<QString> {
        bool ok = false;
        Decimal amount = Picture::deformatNumber(text, &ok);
        if (!ok) return std::nullopt;
        const QString shown = Picture::format(amount, picture).trimmed();
        if (shown.contains('#')) return std::nullopt; // too large for the picture: left as typed
        return shown;
    });
}
void detachEntries(QWidget *window) {
    for (QLineEdit *e : window->findChildren<QLineEdit *>()) e->disconnect(window);
}
} // namespace Entries
