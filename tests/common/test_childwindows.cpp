// Child windows of the frame: where they open, and Esc as their way out.
#include "../support/tempdata.h"
#include "common/windows.h"
#include "common/windowstate.h"
#include "platform/inifile.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QVBoxLayout>

namespace {
class ChildWindows : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        area = new QMdiArea;
        area->resize(1000, 640);
        area->show();
        QApplication::setActiveWindow(area);
        ASSERT_TRUE(QTest::qWaitForWindowActive(area));
        App::setMdiArea(area);
    }
    void TearDown() override {
        App::setMdiArea(nullptr);
        delete area;
        DataTest::TearDown();
    }
    static QWidget *window(const QSize &size = {400, 300}) {
        auto *w = new QWidget;
        w->resize(size);
        return w;
    }
    QMdiArea *area = nullptr;
};

// A window with an entry and its own way out.
struct CancelWindow : QWidget {
    QLineEdit *entry = new QLineEdit;
    int cancelled = 0;
    explicit CancelWindow(const QString &cancelText) {
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(entry);
        if (cancelText.isEmpty()) return;
        auto *cancel = new QPushButton(cancelText);
        layout->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, [this] {
            ++cancelled;
            close();
        });
    }
};
} // namespace

TEST(Cascade, ANewWindowTakesTheFirstFreeStepThatKeepsItInside) {
    const QSize area(1000, 640), size(400, 300);
    EXPECT_EQ(Windows::cascadePlace({}, size, area, 25), QPoint(0, 0));
    EXPECT_EQ(Windows::cascadePlace({{0, 0}}, size, area, 25), QPoint(25, 25));
    EXPECT_EQ(Windows::cascadePlace({{0, 0}, {50, 50}}, size, area, 25), QPoint(25, 25));
    EXPECT_EQ(Windows::cascadePlace({{0, 0}, {25, 25}, {300, 10}}, size, area, 25), QPoint(50, 50));
    // Too large to step at all: it stays at the top left.
    EXPECT_EQ(Windows::cascadePlace({{0, 0}}, area, area, 25), QPoint(0, 0));
    // Every step that fits is taken: the least crowded one, the first of equals.
    const QSize tall(400, 600);
    EXPECT_EQ(Windows::cascadePlace({{0, 0}, {25, 25}}, tall, area, 25), QPoint(0, 0));
    EXPECT_EQ(Windows::cascadePlace({{0, 0}, {25, 25}, {0, 0}}, tall, area, 25), QPoint(25, 25));
}

TEST_F(ChildWindows, NewWindowsCascadeUnlessPensionIniHoldsTheirPlace) {
    QMdiSubWindow *first = Windows::start(window());
    QMdiSubWindow *second = Windows::start(window());
    QMdiSubWindow *third = Windows::start(window());
    const int step = first->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, first);
    ASSERT_GT(step, 0);
    EXPECT_EQ(first->pos(), QPoint(0, 0));
    EXPECT_EQ(second->pos(), QPoint(step, step));
    EXPECT_EQ(third->pos(), QPoint(2 * step, 2 * step));
    EXPECT_EQ(third->size(), first->size());

    // A closed window's place is free again.
    QPointer<QMdiSubWindow> gone = first;
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(gone.isNull());
    EXPECT_EQ(Windows::start(window())->pos(), QPoint(0, 0));

    // The place a window was left at last time.
    IniFile ini(pensionIniPath());
    ini.setValue("EditCUinfo", "Maximize", "No");
    ini.setValue("EditCUinfo", "Minimize", "No");
    ini.setValue("EditCUinfo", "XPos", "300");
    ini.setValue("EditCUinfo", "YPos", "120");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(Windows::start(window(), "EditCUinfo")->pos(), QPoint(300, 120));
    // Nothing saved yet: it cascades like the others.
    EXPECT_EQ(Windows::start(window(), "EditMiscPrompts")->pos(), QPoint(3 * step, 3 * step));
}

TEST_F(ChildWindows, EscClosesAChildWindowAsItsCancelOrCloseDoes) {
    for (const QString &way : {QString("&Cancel"), QString("Close"), QString("E&xit")}) {
        auto *w = new CancelWindow(way);
        QPointer<QMdiSubWindow> sub = Windows::start(w);
        w->entry->setFocus();
        int *cancelled = &w->cancelled;
        QTest::keyClick(w->entry, Qt::Key_Escape);
        EXPECT_EQ(*cancelled, 1) << qPrintable(way);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(sub.isNull()) << qPrintable(way);
    }
    // Without such a button Esc closes it as its frame's close box does.
    auto *plain = new CancelWindow(QString());
    QPointer<QMdiSubWindow> sub = Windows::start(plain);
    plain->entry->setFocus();
    QTest::keyClick(plain->entry, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());

    // A dialog shown as a child answers Esc as its Cancel.
    auto *dialog = new QDialog;
    auto *entry = new QLineEdit(dialog);
    int rejected = 0;
    QObject::connect(dialog, &QDialog::rejected, [&] { ++rejected; });
    Windows::start(dialog);
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_Escape);
    EXPECT_EQ(rejected, 1);
}
