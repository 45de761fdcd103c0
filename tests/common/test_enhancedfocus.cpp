#include "../support/tempdata.h"
#include "common/enhancedfocus.h"
#include "common/windowstate.h"
#include "platform/inifile.h"
#include "platform/launcher.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {
const QColor Yellow(255, 255, 0), Black(0, 0, 0);

// What the program's window base does: the object comes before any control.
struct Window : QWidget {
    explicit Window(bool installFirst) {
        if (installFirst) EnhancedFocusClassType::install(this);
    }
};

// A small entry window with fixed geometry, so the box can be found by its pixels.
struct Form {
    Window window;
    QLineEdit *name = new QLineEdit(&window);
    QPushButton *ok = new QPushButton("OK", &window);
    QLineEdit *amount = new QLineEdit(&window);
    QSpinBox *years = new QSpinBox(&window);
    QComboBox *code = new QComboBox(&window);
    explicit Form(bool installFirst = false) : window(installFirst) {
        window.resize(320, 260);
        name->setGeometry(40, 20, 120, 24);
        ok->setGeometry(40, 60, 80, 28);
        amount->setGeometry(40, 100, 120, 24);
        years->setGeometry(40, 140, 80, 24);
        code->setGeometry(40, 180, 120, 24);
        code->setEditable(true);
        code->addItems({"A", "B"});
    }
};

class EnhancedFocus : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        Launcher::setStarter([this](const QString &command) {
            started << command;
            return startSucceeds;
        });
    }
    void TearDown() override {
        Launcher::setStarter(nullptr);
        EnhancedFocusClassType::OSK() = {};
        DataTest::TearDown();
    }
    static void show(Form &form) {
        form.window.show();
        QApplication::setActiveWindow(&form.window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form.window));
    }
    static EnhancedFocusClassType *open(Form &form) {
        show(form);
        return EnhancedFocusClassType::install(&form.window);
    }
    static void tab() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
    static bool highlighted(const QWidget *control, const QColor &background = Yellow) {
        return control->palette().color(QPalette::Base) == background && control->font().bold();
    }
    // Border and fill of the box just above the control.
    static std::pair<QColor, QColor> boxAbove(QWidget *window, const QWidget *control) {
        QImage image = window->grab().toImage();
        QRect g = control->geometry();
        return {image.pixelColor(g.center().x(), g.top() - 2),
                image.pixelColor(g.center().x(), g.top() - 1)};
    }
    // Whether anything but the window's background shows in `area`.
    static bool ink(QWidget *window, const QRect &area) {
        QImage image = window->grab().toImage();
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                if (image.pixelColor(x, y) != image.pixelColor(2, 2)) return true;
        return false;
    }
    // No box above and no box or indicator left of where the control is.
    static bool bare(QWidget *window, const QRect &g) {
        return !ink(window, {g.left() - 8, g.top() - 2, 8, g.height() + 4}) &&
               !ink(window, {g.left(), g.top() - 2, g.width(), 2});
    }
    static bool bare(QWidget *window, const QWidget *control) {
        return bare(window, control->geometry());
    }

    QStringList started;
    bool startSucceeds = true;
};

TEST_F(EnhancedFocus, TheMarkFollowsTheFocusAndLeavesButtonsAlone) {
    Form form;
    EnhancedFocusClassType *focus = open(form);
    EXPECT_EQ(focus, EnhancedFocusClassType::install(&form.window)); // one per window
    QPalette buttonPalette = form.ok->palette();

    form.name->setFocus();
    EXPECT_TRUE(highlighted(form.name));
    EXPECT_EQ(boxAbove(&form.window, form.name), std::make_pair(Black, Yellow));
    QRect g = form.name->geometry();
    EXPECT_TRUE(ink(&form.window, {g.left() - 8, g.top(), 6, g.height()})); // the indicator

    tab(); // to the button: nothing is marked
    EXPECT_EQ(QApplication::focusWidget(), form.ok);
    EXPECT_FALSE(highlighted(form.name));
    EXPECT_TRUE(bare(&form.window, form.name));
    EXPECT_TRUE(bare(&form.window, form.ok));
    EXPECT_EQ(form.ok->palette(), buttonPalette);
    EXPECT_FALSE(form.ok->font().bold());

    tab();
    EXPECT_TRUE(highlighted(form.amount));
    // The box moves and grows with its control.
    QRect before = form.amount->geometry();
    form.amount->setGeometry(60, 210, 150, 30);
    EXPECT_EQ(boxAbove(&form.window, form.amount), std::make_pair(Black, Yellow));
    EXPECT_TRUE(bare(&form.window, before));

    // Spin and combo boxes are marked as a whole.
    tab();
    EXPECT_TRUE(highlighted(form.years));
    EXPECT_FALSE(highlighted(form.amount));
    tab();
    EXPECT_TRUE(highlighted(form.code));
    EXPECT_FALSE(highlighted(form.years));
    EXPECT_EQ(boxAbove(&form.window, form.code), std::make_pair(Black, Yellow));
    EXPECT_TRUE(bare(&form.window, form.years));
}

TEST_F(EnhancedFocus, EachWindowOfTheFrameKeepsItsOwnMark) {
    QMdiArea frame;
    frame.resize(800, 400);
    Form first(true), second(true);
    QMdiSubWindow *one = frame.addSubWindow(&first.window);
    QMdiSubWindow *two = frame.addSubWindow(&second.window);
    frame.show();
    QApplication::setActiveWindow(&frame);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));

    frame.setActiveSubWindow(one);
    first.amount->setFocus();
    EXPECT_TRUE(highlighted(first.amount));
    frame.setActiveSubWindow(two);
    second.name->setFocus();
    EXPECT_TRUE(highlighted(second.name));
    EXPECT_TRUE(highlighted(first.amount)); // where typing goes when the user comes back
    second.ok->setFocus();
    EXPECT_FALSE(highlighted(second.name));
    EXPECT_TRUE(highlighted(first.amount));
    frame.setActiveSubWindow(one);
    first.name->setFocus();
    EXPECT_TRUE(highlighted(first.name));
    EXPECT_FALSE(highlighted(first.amount));
}

TEST_F(EnhancedFocus, RequiredFieldsTakeTheRequiredColours) {
    Form form;
    EnhancedFocusClassType *focus = open(form);
    EnhancedFocusClassType::setRequired(form.amount);

    form.amount->setFocus(); // the program's own settings: the same yellow and black border
    EXPECT_TRUE(highlighted(form.amount));
    EXPECT_EQ(boxAbove(&form.window, form.amount), std::make_pair(Black, Yellow));

    const QColor green(0, 200, 0), blue(0, 0, 255), white(255, 255, 255), red(255, 0, 0),
        cyan(0, 255, 255), magenta(255, 0, 255), grey(128, 128, 128);
    focus->INIT(true, green, true, false, red, true, white, blue, 2, cyan, magenta, true, grey,
                QString(QChar(0x00BB)), 8);
    form.name->setFocus();
    EXPECT_TRUE(highlighted(form.name, green));
    EXPECT_EQ(boxAbove(&form.window, form.name), std::make_pair(blue, white));
    form.amount->setFocus();
    EXPECT_TRUE(highlighted(form.amount, red));
    EXPECT_EQ(boxAbove(&form.window, form.amount), std::make_pair(magenta, cyan));

    // Marking a field required while it is focused changes its colours at once.
    EnhancedFocusClassType::setRequired(form.amount, false);
    EXPECT_TRUE(highlighted(form.amount, green));
    EXPECT_EQ(boxAbove(&form.window, form.amount), std::make_pair(blue, white));
}

TEST_F(EnhancedFocus, DisabledReadOnlyAndHiddenControlsAreNeverMarked) {
    Form form;
    EnhancedFocusClassType *focus = open(form);

    form.name->setReadOnly(true);
    form.name->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), form.name);
    EXPECT_FALSE(highlighted(form.name));
    EXPECT_TRUE(bare(&form.window, form.name));
    form.name->setReadOnly(false); // typing is possible again
    EXPECT_TRUE(highlighted(form.name));
    form.name->setReadOnly(true);
    EXPECT_FALSE(highlighted(form.name));
    EXPECT_TRUE(bare(&form.window, form.name));

    form.amount->setFocus();
    EXPECT_TRUE(highlighted(form.amount));
    form.amount->setEnabled(false);
    EXPECT_FALSE(highlighted(form.amount));
    EXPECT_TRUE(bare(&form.window, form.amount));

    form.years->setFocus();
    form.years->hide();
    EXPECT_FALSE(highlighted(form.years));
    EXPECT_TRUE(highlighted(form.code)); // the focus went on to the next control

    // A control that goes away while marked takes its box with it.
    QRect gone = form.code->geometry();
    EXPECT_FALSE(bare(&form.window, gone));
    delete form.code;
    EXPECT_TRUE(bare(&form.window, gone));
    EXPECT_EQ(focus->SCFIELD, nullptr);

    EXPECT_FALSE(focus->ENHANCEFOCUSSELECT(form.amount));
    EXPECT_FALSE(focus->ENHANCEFOCUSSELECT(form.years));
    EXPECT_FALSE(highlighted(form.amount));
    EXPECT_FALSE(highlighted(form.years));
}

TEST_F(EnhancedFocus, PaletteAndFontComeBackExactly) {
    Form form;
    QPalette own = form.amount->palette();
    own.setColor(QPalette::Text, Qt::darkRed);
    own.setColor(QPalette::Base, Qt::lightGray);
    form.amount->setPalette(own);
    QFont italic("DejaVu Serif", 13);
    italic.setItalic(true);
    form.amount->setFont(italic);
    show(form);

    // Everything that decides what the control looks like, including whether it has its own.
    auto state = [](const QWidget *w) {
        return std::tuple(w->palette(), w->palette().resolveMask(), w->font(),
                          w->font().resolveMask(), w->testAttribute(Qt::WA_SetPalette),
                          w->testAttribute(Qt::WA_SetFont));
    };
    auto name = state(form.name), amount = state(form.amount), years = state(form.years);
    EnhancedFocusClassType::install(&form.window); // marks the control the window gave the focus
    EXPECT_TRUE(highlighted(form.name));

    for (int round = 0; round < 2; ++round) {
        form.name->setFocus();
        EXPECT_TRUE(highlighted(form.name));
        form.amount->setFocus();
        EXPECT_TRUE(highlighted(form.amount));
        EXPECT_TRUE(form.amount->font().italic());
        EXPECT_EQ(state(form.name), name);
        form.years->setFocus();
        EXPECT_EQ(state(form.amount), amount);
        form.ok->setFocus();
        EXPECT_EQ(state(form.years), years);
    }
    // A window closing with a marked control cleans up after itself.
    form.name->setFocus();
    delete EnhancedFocusClassType::of(&form.window);
    EXPECT_EQ(state(form.name), name);
    EXPECT_TRUE(bare(&form.window, form.name));
}

TEST_F(EnhancedFocus, TouchKeyboardStartsOnlyWhenSwitchedOnAndGivesUpAfterAFailure) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the touch keyboard is the system's own there";
#endif
    IniFile ini(pensionIniPath());
    ini.setValue("Programs", "OnScreenKeyboard", "onboard --size=small");
    ASSERT_TRUE(ini.save());
    Form form;
    EnhancedFocusClassType *focus = open(form);

    // Every window switches the keyboard off.
    form.name->setFocus();
    form.amount->setFocus();
    form.years->setFocus();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_FALSE(EnhancedFocusClassType::OSK().ENABLE);
    EXPECT_FALSE(EnhancedFocusClassType::OSK().ISENABLE);

    focus->SETONSCREENKEYBOARD(true);
    form.name->setFocus();
    form.ok->setFocus();
    form.code->setFocus();
    EXPECT_EQ(started, QStringList({"onboard --size=small", "onboard --size=small"}));
    EXPECT_TRUE(EnhancedFocusClassType::OSK().ISENABLE);

    started.clear();
    startSucceeds = false;
    form.amount->setFocus();
    EXPECT_TRUE(highlighted(form.amount)); // the mark does not depend on the keyboard
    form.name->setFocus();
    EXPECT_EQ(started, QStringList({"onboard --size=small"}));
    EXPECT_FALSE(focus->ENABLEOSK);

    // Nothing configured: nothing to start, and no further attempts.
    ASSERT_TRUE(IniFile::put(pensionIniPath(), "Programs", "OnScreenKeyboard", ""));
    Form other;
    EnhancedFocusClassType *second = open(other);
    second->SETONSCREENKEYBOARD(true);
    startSucceeds = true;
    started.clear();
    other.amount->setFocus();
    EXPECT_TRUE(started.isEmpty());
    EXPECT_FALSE(second->ENABLEOSK);
}

TEST_F(EnhancedFocus, TheMarkMovesNoOtherControl) {
    // Laid out as the entry windows are: an entry with a "..." button beside it, a name across
    // the window, a drop list, notes.
    Window window(true);
    auto *grid = new QGridLayout(&window);
    auto *ssn = new QLineEdit, *name = new QLineEdit;
    auto *pick = new QPushButton("..."), *ok = new QPushButton("OK");
    auto *code = new QComboBox;
    auto *notes = new QPlainTextEdit;
    ssn->setMaximumWidth(150);
    pick->setFixedWidth(32);
    code->addItems({"Yes", "No"});
    grid->addWidget(new QLabel("Social Security #:"), 0, 0);
    grid->addWidget(ssn, 0, 1, Qt::AlignLeft);
    grid->addWidget(pick, 0, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel("Name:"), 1, 0);
    grid->addWidget(name, 1, 1, 1, 3);
    grid->addWidget(code, 2, 1, Qt::AlignLeft);
    grid->addWidget(notes, 3, 1, 1, 3);
    grid->addWidget(ok, 4, 3, Qt::AlignRight);
    grid->setColumnStretch(3, 1);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QList<QWidget *> controls = {ssn, pick, name, code, notes, ok};
    auto geometry = [&] {
        QCoreApplication::sendPostedEvents(); // the layout's own requests
        QList<QRect> out;
        for (QWidget *w : controls) out << w->geometry();
        return out;
    };
    ok->setFocus();
    const QList<QRect> unmarked = geometry();
    for (QWidget *control : std::initializer_list<QWidget *>{ssn, name, code, notes, ssn}) {
        control->setFocus();
        EXPECT_TRUE(control->font().bold());
        EXPECT_EQ(geometry(), unmarked) << control->metaObject()->className();
    }
    ok->setFocus();
    EXPECT_EQ(geometry(), unmarked);

    // A marked control still follows the window's size, and leaving it moves nothing then either.
    name->setFocus();
    window.resize(window.width() + 120, window.height() + 40);
    QTest::qWait(20);
    EXPECT_TRUE(name->font().bold());
    EXPECT_EQ(name->width(), unmarked[2].width() + 120);
    const QList<QRect> wider = geometry();
    ok->setFocus();
    EXPECT_EQ(geometry(), wider);
}

TEST(TouchKeyboardFolder, TabTipIsLookedForInTheCommonFilesOfTheSameDrive) {
    EXPECT_EQ(TouchKeyboard::tabTipCommand(R"(C:\Program Files\Common Files)"),
              R"("C:\Program Files\Common Files\Microsoft Shared\ink\TabTip.EXE")");
    EXPECT_EQ(TouchKeyboard::otherCommonFilesFolder(R"(D:\Shared\Common)"),
              R"(D:\Program Files\Common Files)");
    EXPECT_EQ(TouchKeyboard::otherCommonFilesFolder(R"(C:\Program Files\Common Files)"), "");
    EXPECT_EQ(TouchKeyboard::otherCommonFilesFolder(R"(c:\program files\common files)"), "");
    EXPECT_EQ(TouchKeyboard::otherCommonFilesFolder(R"(\\server\common)"), "");
    EXPECT_EQ(TouchKeyboard::otherCommonFilesFolder(""), "");
}
} // namespace
