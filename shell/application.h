#pragma once
// The program's application object. An error thrown while an event is handled (an amount too
// large to calculate with, say) would leave Qt's event loop and end the program, and with it the
// unsaved work of every open window: it is caught here, the user is told, and the program goes on.
#include "platform/dialogs.h"

#include <QApplication>
#include <exception>

namespace EventGuard {
// Answers an exception that stopped an event's handling with a message through `dialogs`.
void stopped(Dialogs &dialogs, std::exception_ptr error);

// Runs one event's handling. An exception it throws is answered with a message (the action that
// was under way stops there; every window stays open with its entries), and the event counts as
// not handled.
template <class Handle> bool run(Dialogs &dialogs, Handle &&handle) {
    try {
        return handle();
    } catch (...) {
        stopped(dialogs, std::current_exception());
        return false;
    }
}

inline const QString Caption = QStringLiteral("Calculation Error ...");
} // namespace EventGuard

class PensionApplication : public QApplication {
public:
    PensionApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
