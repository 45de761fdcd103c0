#pragma once
// How a procedure shows its window: "start" windows become children of the frame and the
// procedure returns at once; "call" windows run modally and the procedure returns when they close.
class QDialog;
class QMdiSubWindow;
class QWidget;

namespace Windows {
// Shows `window` as a child of the frame (a top-level window when there is no frame) and
// deletes it when it closes.
QMdiSubWindow *start(QWidget *window);
// Runs `dialog` modally and returns its result.
int call(QDialog *dialog);
} // namespace Windows
