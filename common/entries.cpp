#include "entries.h"

#include "platform/picture.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>

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
} // namespace Entries
