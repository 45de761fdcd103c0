#pragma once
// How a procedure shows its window: "start" windows become children of the frame and the
// procedure returns at once; "call" windows run modally and the procedure returns when they close.
#include <QList>
#include <QStringList>

class QDialog;
class QMdiSubWindow;
class QTableWidget;
class QWidget;

namespace Windows {
// Shows `window` as a child of the frame (a top-level window when there is no frame) and
// deletes it when it closes.
QMdiSubWindow *start(QWidget *window);
// Runs `dialog` modally and returns its result.
int call(QDialog *dialog);
// Fills a row of a read-only list; the columns in `right` (amounts, numbers) align right.
void fillRow(QTableWidget *table, int row, const QStringList &cells, const QList<int> &right = {});
} // namespace Windows
