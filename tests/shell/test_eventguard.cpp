// The application's guard: an error thrown while an event is handled is told and survived.
#include "../support/scripteddialogs.h"
#include "platform/decimal.h"
#include "shell/application.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
// Throws from inside Qt's own event delivery, as a slot or handler of a window would.
class Throwing : public QLineEdit {
public:
    std::function<void()> onEvent;
    bool event(QEvent *e) override {
        if (e->type() == QEvent::User && onEvent) onEvent();
        return QLineEdit::event(e);
    }
};

bool deliver(ScriptedDialogs &dialogs, Throwing &target) {
    return EventGuard::run(dialogs, [&] {
        QEvent e(QEvent::User);
        return QCoreApplication::sendEvent(&target, &e);
    });
}
} // namespace

TEST(EventGuard, AnOverflowInAnEventIsToldAndTheProgramGoesOn) {
    ScriptedDialogs dialogs;
    Throwing window;
    window.setText("unsaved entry");
    window.onEvent = [] {
        (void)(Decimal(std::numeric_limits<qint64>::max(), 2) + Decimal::fromString("0.01"));
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    EXPECT_FALSE(deliver(dialogs, window));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Calculation Error ...");
    EXPECT_EQ(dialogs.last().text,
              "An amount was too large to calculate with, so the action under way was stopped "
              "before it finished.|The open windows and their entries are kept.  Please check "
              "the amounts entered.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_EQ(QApplication::overrideCursor(),
              nullptr); // the wait cursor of the stopped action is gone
    EXPECT_EQ(window.text(), "unsaved entry");

    // Division by zero and any other error are told too; a handler that goes well is left alone.
    window.onEvent = [] { (void)Decimal::divide(Decimal::fromInt(1), Decimal(0, 2), 2); };
    EXPECT_FALSE(deliver(dialogs, window));
    EXPECT_EQ(dialogs.last().text,
              "A calculation could not be done (division by zero), so the action under way was "
              "stopped before it finished.|The open windows and their entries are kept.  Please "
              "check the amounts entered.");
    window.onEvent = [] { throw 42; };
    EXPECT_FALSE(deliver(dialogs, window));
    EXPECT_TRUE(dialogs.last().text.startsWith(
        "An unexpected error occurred, so the action under way was stopped"));
    window.onEvent = nullptr;
    dialogs.shown.clear();
    EXPECT_EQ(EventGuard::run(dialogs, [] { return true; }), true);
    deliver(dialogs, window);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}
