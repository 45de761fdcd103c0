#include "windows.h"

#include "app.h"

#include <QDialog>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QTableWidget>

namespace Windows {
QMdiSubWindow *start(QWidget *window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiArea *area = App::mdiArea();
    if (!area) {
        window->show();
        return nullptr;
    }
    // The size the window asked for, else the size its contents need.
    const QSize wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    QMdiSubWindow *sub = area->addSubWindow(window);
    // The child keeps the size its window asked for, inside the sub-window's frame.
    sub->resize(wanted + (sub->sizeHint() - window->sizeHint()).expandedTo(QSize(0, 0)));
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(area->window()->windowIcon());
    // A window that closes itself (its Cancel or Close button) takes its frame with it.
    struct CloseWatcher : QObject {
        QMdiSubWindow *sub;
        CloseWatcher(QObject *parent, QMdiSubWindow *sub) : QObject(parent), sub(sub) {}
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Close && event->isAccepted())
                QTimer::singleShot(0, sub, [s = sub] { s->close(); });
            else if (event->type() == QEvent::Hide && qobject_cast<QDialog *>(parent()))
                QTimer::singleShot(0, sub, [s = sub, w = static_cast<QWidget *>(parent())] {
                    if (!w->isVisible()) s->close();
                });
            return false;
        }
    };
    window->installEventFilter(new CloseWatcher(window, sub));
    window->show();
    sub->show();
    area->setActiveSubWindow(sub);
    return sub;
}

int call(QDialog *dialog) {
    if (QMdiArea *area = App::mdiArea()) dialog->setParent(area->window(), dialog->windowFlags() | Qt::Dialog);
    dialog->setWindowModality(Qt::ApplicationModal);
    return dialog->exec();
}

void fillRow(QTableWidget *table, int row, const QStringList &cells, const QList<int> &right) {
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment((right.contains(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        table->setItem(row, c, item);
    }
}
} // namespace Windows
