#pragma once
// The user's seat: message boxes and file pickers. Logic talks to this interface only, so tests
// can script the answers (see tests/support/scripteddialogs.h).
#include <QString>
#include <QStringList>

class QWidget;

namespace Dlg {
enum Icon { NoIcon, Information, Warning, Question, Exclamation, Error };
enum Button : int { Ok = 1, Yes = 2, No = 4, Cancel = 8, Abort = 16, Retry = 32, Ignore = 64 };
} // namespace Dlg

struct Message {
    QString caption;
    QString text;        // "|" breaks the line
    Dlg::Icon icon = Dlg::Information;
    int buttons = Dlg::Ok;           // Dlg::Button flags, when `custom` is empty
    int defaultButton = Dlg::Ok;     // a Dlg::Button, or a 1-based index into `custom`
    QStringList custom;              // own button texts, "Continue|Cancel"
    QString displayText() const { return QString(text).replace('|', '\n'); }
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Returns the Dlg::Button pressed, or with custom buttons the 1-based index of the one pressed.
    virtual int show(const Message &message) = 0;
    virtual QString openFileName(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString folderName(const QString &caption, const QString &dir) = 0;
    // A line typed unseen (a password); empty when cancelled.
    virtual QString secret(const QString &, const QString &) { return {}; }

    int message(const QString &caption, const QString &text, Dlg::Icon icon = Dlg::Information,
                int buttons = Dlg::Ok, int defaultButton = Dlg::Ok) {
        return show({caption, text, icon, buttons, defaultButton, {}});
    }
    // Custom buttons written "Continue|Cancel"; returns the 1-based index of the one pressed.
    int ask(const QString &caption, const QString &text, Dlg::Icon icon, const QString &buttons,
            int defaultIndex = 1) {
        return show({caption, text, icon, 0, defaultIndex, buttons.split('|')});
    }
};

// Real message boxes and file dialogs, parented to `parent` when given.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    int show(const Message &message) override;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString folderName(const QString &caption, const QString &dir) override;
    QString secret(const QString &caption, const QString &prompt) override;

private:
    QWidget *m_parent;
};
