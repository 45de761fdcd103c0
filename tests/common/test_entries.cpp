// Entries in their pictures: pattern entries take typing at their first free place and show just
// their digits without the focus; dates and amounts take their picture when the focus leaves.
#include "common/entries.h"
#include "platform/clock.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {
struct EntryWindow : QWidget {
    QLineEdit *ssn = new QLineEdit, *zip = new QLineEdit, *phone = new QLineEdit, *date = new QLineEdit,
              *amount = new QLineEdit, *other = new QLineEdit;
    EntryWindow() {
        auto *layout = new QVBoxLayout(this);
        for (QLineEdit *e : {ssn, zip, phone, date, amount, other}) layout->addWidget(e);
        Entries::setPattern(ssn, "K###-##-####K");
        Entries::setPattern(zip, "@P#####-####P");
        Entries::setPattern(phone, "@P(###) ###-####P");
        Entries::setDate(date, "@d2");
        Entries::setAmount(amount, "@n$10.2");
        show();
        QApplication::setActiveWindow(this);
        EXPECT_TRUE(QTest::qWaitForWindowActive(this));
    }
};

void typeIntoFocus(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
} // namespace

TEST(Entries, APatternEntryTakesTypingAtItsFirstFreePlaceHoweverItGetsTheFocus) {
    EntryWindow w;
    // Given the focus by the program, as windows do when they open.
    w.ssn->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), w.ssn);
    EXPECT_EQ(w.ssn->cursorPosition(), 0);
    typeIntoFocus("123456789");
    EXPECT_EQ(w.ssn->displayText(), "123-45-6789");

    // Cleared while it keeps the focus (a line was added): typing starts over at once.
    w.ssn->clear();
    EXPECT_EQ(w.ssn->cursorPosition(), 0);
    typeIntoFocus("987654321");
    EXPECT_EQ(w.ssn->displayText(), "987-65-4321");

    // Full: typing replaces the whole number.
    w.other->setFocus();
    w.ssn->setFocus();
    typeIntoFocus("111223333");
    EXPECT_EQ(w.ssn->displayText(), "111-22-3333");

    // Set by the program while it has the focus, partly: typing goes on after the digits.
    w.zip->setFocus();
    w.zip->setText("62704");
    typeIntoFocus("1234");
    EXPECT_EQ(w.zip->displayText(), "62704-1234");

    // Reached with Tab and with a click past the end.
    w.other->setFocus();
    w.phone->setFocus();
    QTest::keyClick(w.phone, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), w.zip);
    QTest::keyClick(w.zip, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.phone);
    typeIntoFocus("217");
    EXPECT_EQ(w.phone->displayText(), "(217)    -    ");
    QTest::mouseClick(w.phone, Qt::LeftButton, {}, QPoint(w.phone->width() - 4, w.phone->height() / 2));
    typeIntoFocus("5550100");
    EXPECT_EQ(w.phone->displayText(), "(217) 555-0100");
}

TEST(Entries, WithoutTheFocusAPatternEntryShowsOnlyItsDigitsInThePattern) {
    EntryWindow w;
    w.zip->setFocus();
    typeIntoFocus("62704");
    EXPECT_EQ(w.zip->displayText(), "62704-    ");
    w.phone->setFocus(); // nothing typed into the phone either
    w.other->setFocus();
    EXPECT_EQ(w.zip->displayText(), "62704");
    EXPECT_EQ(w.phone->displayText(), "");
    EXPECT_EQ(w.ssn->displayText(), "");
    EXPECT_EQ(Entries::patternText(w.zip), "62704");

    // Set by the program with or without the literals.
    w.ssn->setText("123456789");
    EXPECT_EQ(w.ssn->displayText(), "123-45-6789");
    w.phone->setText("(217) 555-0100");
    EXPECT_EQ(w.phone->displayText(), "(217) 555-0100");
    w.zip->setText("");
    EXPECT_EQ(w.zip->displayText(), "");

    // Back in it, the pattern shows again and typing goes on after the digits.
    w.ssn->setText("12345");
    w.ssn->setFocus();
    EXPECT_EQ(w.ssn->displayText(), "123-45-    ");
    EXPECT_EQ(w.ssn->cursorPosition(), 7);
    EXPECT_EQ(Entries::firstFreePosition(w.ssn), 7);

    // A change typed and left is still a change for the window that asks.
    w.ssn->setModified(false);
    typeIntoFocus("6789");
    w.other->setFocus();
    EXPECT_TRUE(w.ssn->isModified());
    EXPECT_EQ(w.ssn->displayText(), "123-45-6789");
}

TEST(Entries, DatesAndAmountsTakeTheirPictureWhenTheFocusLeaves) {
    Clock::setToday(Clock::dayNumber(2026, 12, 8));
    EntryWindow w;
    w.date->setFocus();
    typeIntoFocus("03151985");
    EXPECT_EQ(w.date->text(), "03151985"); // as typed while it has the focus
    w.amount->setFocus();
    EXPECT_EQ(w.date->text(), "03/15/1985");
    typeIntoFocus("1000");
    w.other->setFocus();
    EXPECT_EQ(w.amount->text(), "$1,000.00");

    // What cannot be read stays as typed, for the window's own message.
    w.date->setFocus();
    w.date->selectAll();
    typeIntoFocus("13/45/1985");
    w.other->setFocus();
    EXPECT_EQ(w.date->text(), "13/45/1985");
    w.date->setFocus();
    w.date->clear();
    w.other->setFocus();
    EXPECT_EQ(w.date->text(), "");
    Clock::setToday(std::nullopt);
}
