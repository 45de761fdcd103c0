#include "windows.h"

#include "app.h"
#include "windowstate.h"

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QTableWidget>

namespace {
// The button that Esc presses: the window's own way out.
QAbstractButton *escapeButton(QWidget *window) {
    static const QStringList ways = {"Cancel", "Close", "Exit"};
    const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
    for (QPushButton *b : buttons)
        if (b->isVisibleTo(window) && b->isEnabled() && ways.contains(QString(b->text()).remove('&')))
            return b;
    return nullptr;
}
} // namespace

namespace Windows {
QPoint cascadePlace(const QList<QPoint> &taken, const QSize &size, const QSize &area, int step) {
    step = std::max(step, 1);
    // The steps that keep the whole window inside the area; the first one at least.
    int steps = 1;
    while (steps * step + size.width() <= area.width() && steps * step + size.height() <= area.height())
        ++steps;
    // The step that the fewest children occupy, the first of them when several tie.
    int best = 0;
    qsizetype fewest = -1;
    for (int k = 0; k < steps; ++k) {
        const qsizetype n = taken.count(QPoint(k * step, k * step));
        if (fewest < 0 || n < fewest) fewest = n, best = k;
        if (n == 0) break;
    }
    return {best * step, best * step};
}

QMdiSubWindow *start(QWidget *window, const QString &placeSection) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiArea *area = App::mdiArea();
    if (!area) {
        window->show();
        return nullptr;
    }
    // The size the window asked for, else the size its contents need.
    const QSize wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    QList<QPoint> taken;
    for (QMdiSubWindow *other : area->subWindowList())
        if (other->isVisible()) taken << other->pos();
    QMdiSubWindow *sub = area->addSubWindow(window);
    // The child keeps the size its window asked for, inside the sub-window's frame.
    sub->resize(wanted + (sub->sizeHint() - window->sizeHint()).expandedTo(QSize(0, 0)));
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    sub->move(cascadePlace(taken, sub->size(), area->viewport()->size(), step));
    if (!placeSection.isEmpty()) INIRESTOREWINDOW(window, pensionIniPath(), placeSection);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(area->window()->windowIcon());
    // A window that closes itself (its Cancel or Close button) takes its frame with it.
    struct CloseWatcher : QObject {
        QMdiSubWindow *sub;
        CloseWatcher(QObject *parent, QMdiSubWindow *sub) : QObject(parent), sub(sub) {}
        bool eventFilter(QObject *, QEvent *event) override {
            // Esc that no control of the window used; a dialog answers it itself (Cancel).
            if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
                static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier && !qobject_cast<QDialog *>(parent())) {
                auto *window = static_cast<QWidget *>(parent());
                if (QAbstractButton *b = escapeButton(window)) b->click();
                else window->close();
                return true;
            }
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
