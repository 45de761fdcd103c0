#include "application.h"

#include "common/app.h"

#include <QWidget>
#include <stdexcept>

namespace {
const QString kStopped = QStringLiteral(", so the action under way was stopped before it finished.|"
                                        "The open windows and their entries are kept.");
const QString kTooLarge = QStringLiteral("An amount was too large to calculate with");
const QString kCheckAmounts = QStringLiteral("  Please check the amounts entered.");
const QString kUnexpected = QStringLiteral("An unexpected error occurred");

void report(Dialogs &dialogs, const QString &text) {
    // What the stopped handler had set up for its own duration is undone here.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (QWidget *grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    if (QWidget *grabber = QWidget::keyboardGrabber()) grabber->releaseKeyboard();
    dialogs.message(EventGuard::Caption, text, Dlg::Error);
}
} // namespace

namespace EventGuard {
void stopped(Dialogs &dialogs, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::overflow_error &) { // DecimalOverflow among them
        report(dialogs, kTooLarge + kStopped + kCheckAmounts);
    } catch (const std::domain_error &e) { // a division by zero
        report(dialogs, "A calculation could not be done (" + QString::fromLocal8Bit(e.what()) +
                            ")" + kStopped + kCheckAmounts);
    } catch (const std::exception &e) {
        report(dialogs, kUnexpected + " (" + QString::fromLocal8Bit(e.what()) + ")" + kStopped);
    } catch (...) {
        report(dialogs, kUnexpected + kStopped);
    }
}
} // namespace EventGuard

PensionApplication::PensionApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool PensionApplication::notify(QObject *receiver, QEvent *event) {
    return EventGuard::run(App::dialogs(), [&] { return QApplication::notify(receiver, event); });
}
