// Every window the frame can start fits a 1024 x 768 screen: each procedure of the menu is run,
// and every window it opens (and the update form of every list) is measured.
#include "../support/tempdata.h"
#include "common/browsewindow.h"
#include "payroll/processpayroll.h"
#include "shell/mainframe.h"
#include "shell/menutable.h"
#include "shell/registry.h"
#include "common/procedures.h"
#include "platform/launcher.h"

#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {
// A 1024 x 768 screen less the task bar and the frame's own title bar, maximized.
const QSize kFrameClient(1024, 768 - 40 - 30);

class Fit : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
        Launcher::setStarter([](const QString &) { return true; });
        registerProcedures();
    }
    void TearDown() override {
        Launcher::setStarter(nullptr);
        DataTest::TearDown();
    }
    // What does not fit, as "NAME 1100 x 850 in 1024 x 650".
    static QString misfit(const QString &name, const QSize &size, const QSize &room) {
        if (size.width() <= room.width() && size.height() <= room.height()) return {};
        return QString("%1 %2 x %3 in %4 x %5")
            .arg(name)
            .arg(size.width())
            .arg(size.height())
            .arg(room.width())
            .arg(room.height());
    }
    // A modal window (an update form, a "call" procedure) is measured and closed as it opens.
    void measureNextModal(const QString &name) {
        QTimer::singleShot(0, [this, name] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal) return;
            note(misfit(name + " (" + modal->windowTitle() + ")", modal->sizeHint().expandedTo(modal->size()),
                        kFrameClient));
            ++measured;
            if (auto *dialog = qobject_cast<QDialog *>(modal)) dialog->done(QDialog::Rejected);
            else modal->close();
        });
    }
    void note(const QString &problem) {
        if (!problem.isEmpty()) problems << problem;
    }
    QStringList problems;
    int measured = 0;
};
} // namespace

TEST_F(Fit, EveryWindowTheFrameStartsFitsA1024By768Screen) {
    MainFrame frame;
    frame.resize(kFrameClient);
    frame.show();
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QMdiArea *area = frame.mdiArea();
    const QSize room = area->viewport()->size();
    ASSERT_GT(room.height(), 500);

    QSet<QString> done;
    for (const Frame::MenuItem &item : Frame::menuTable()) {
        if (item.kind != Frame::Kind::Entry || item.how == Frame::How::External) continue;
        if (!Procedures::has(item.action) || done.contains(item.action)) continue;
        done << item.action;
        dialogs.answers.clear();
        const QList<QMdiSubWindow *> before = area->subWindowList();
        if (item.how == Frame::How::Call) measureNextModal(item.action);
        frame.choose(item);
        QCoreApplication::processEvents();
        for (QMdiSubWindow *sub : area->subWindowList()) {
            if (before.contains(sub)) continue;
            ++measured;
            QWidget *window = sub->widget();
            const QSize frameOfSub = sub->size() - window->size();
            note(misfit(item.action, sub->size(), room));
            note(misfit(item.action + " (size hint)", window->sizeHint() + frameOfSub, room));
            // A list's update form, as Add opens it.
            if (auto *browse = qobject_cast<BrowseWindow *>(window); browse && browse->config().allowInsert) {
                measureNextModal(item.action + " form");
                browse->insertRecord();
            }
            sub->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The payroll's division window, which its entry window opens.
    PayrollGlobals glo;
    PayQueue queue;
    ProcessPayrollWindow division(*db, dialogs, glo, queue, {}, {});
    note(misfit("PROCESSPAYROLL", division.sizeHint().expandedTo(division.size()), kFrameClient));

    EXPECT_GE(measured, 20);
    EXPECT_TRUE(problems.isEmpty()) << qPrintable(problems.join('\n'));
}

TEST_F(Fit, TheFrameOpensNoLargerThanTheScreen) {
    MainFrame frame;
    const QSize screen = frame.screen()->availableGeometry().size();
    EXPECT_LE(frame.width(), screen.width());
    EXPECT_LE(frame.height(), screen.height());
}

