#pragma once
// How a procedure shows its window: "start" windows become children of the frame and the
// procedure returns at once; "call" windows run modally and the procedure returns when they close.
#include <QList>
#include <QPoint>
#include <QSize>
#include <QStringList>

class QDialog;
class QMdiSubWindow;
class QTableWidget;
class QWidget;

namespace Windows {
// Shows `window` as a child of the frame (a top-level window when there is no frame) and
// deletes it when it closes. A new child opens a title bar's height below and right of the
// children already open (cascading) unless PENSION.INI holds its place under `placeSection`.
// Esc closes it as its Cancel or Close button does.
QMdiSubWindow *start(QWidget *window, const QString &placeSection = {});
// Where a new child of `size` opens among the children already open: the first cascade step
// that no other child occupies and that keeps it inside the frame's area.
QPoint cascadePlace(const QList<QPoint> &taken, const QSize &size, const QSize &area, int step);
// Runs `dialog` modally and returns its result.
int call(QDialog *dialog);
// Fills a row of a read-only list; the columns in `right` (amounts, numbers) align right.
void fillRow(QTableWidget *table, int row, const QStringList &cells, const QList<int> &right = {});
} // namespace Windows
