#pragma once
// A Dialogs that records every message and answers from a script, for tests of window logic.
#include "platform/dialogs.h"

#include <QList>
#include <functional>
#include <stdexcept>

struct Halted : std::runtime_error {
    explicit Halted(const QString &status) : std::runtime_error(status.toStdString()), status(status) {}
    QString status;
};

class ScriptedDialogs : public Dialogs {
public:
    QList<Message> shown;       // every message, in order
    QList<int> answers;         // answers to give, in order; the default button when exhausted
    QStringList fileNames;      // answers to the file and folder pickers
    QStringList fileDirs;       // the folder or proposed name each picker opened with
    // Called as each message comes up, before it is answered: a test acts while a question is
    // up, as another station would.
    std::function<void(const Message &)> onShow;

    int show(const Message &message) override;
    QString openFileName(const QString &, const QString &dir, const QString &) override {
        return nextFile(dir);
    }
    QString saveFileName(const QString &, const QString &dir, const QString &) override {
        return nextFile(dir);
    }
    QString folderName(const QString &, const QString &dir) override { return nextFile(dir); }
    QStringList secrets;       // answers to the unseen prompts (passwords), in order
    QStringList secretPrompts; // the prompts that were put
    QString secret(const QString &, const QString &prompt) override {
        secretPrompts << prompt;
        return secrets.isEmpty() ? QString() : secrets.takeFirst();
    }

    const Message &last() const { return shown.last(); }

private:
    QString nextFile(const QString &dir) {
        fileDirs << dir;
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
};
