// A clerk types SSNs from the keyboard: into the payroll division and the withdrawal window as
// soon as they open and again after every line, with nothing dropped.
#include "payroll/payrollscreen.h"
#include "payroll/processpayroll.h"
#include "payroll/withdrawal.h"
#include "payrolltest.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {
class SsnTyping : public PayrollTest {
protected:
    void SetUp() override {
        PayrollTest::SetUp();
        Clock::setToday(day(2026, 12, 8));
        addMember(1001, "111-11-1111", "Smith");
        addMember(1002, "222-22-2222", "Jones");
        addPosted(1001, day(2026, 11, 2), "500.00", "(ABC For 11/01/2026)");
        addPosted(1002, day(2026, 11, 2), "500.00", "(ABC For 11/01/2026)");
        storage::DataFile<CUInfo> cui(*db);
        ASSERT_TRUE(cui.open());
        cui.rec.ADMINFEE = money("25.00");
        ASSERT_TRUE(cui.add());
    }
    static void activate(QWidget *w) {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    // Types as the clerk does: into whatever has the focus.
    static void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static void press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
};
} // namespace

TEST_F(SsnTyping, ThePayrollDivisionTakesTheSsnAsSoonAsItOpensAndAfterEveryLine) {
    glo.CONTRACTORNUMBER = 7;
    glo.CONTRACTORNAME = "ABC";
    glo.PAYROLLDATE = day(2026, 12, 1);
    glo.POSTINGDATE = day(2026, 12, 8);
    glo.PAYROLLAMOUNT = money("150.00");
    ProcessPayrollWindow w(*db, dialogs, glo, queue, lookups, report);
    activate(&w);
    QLineEdit *ssn = w.field("LOC:SSNUM");
    ASSERT_EQ(QApplication::focusWidget(), ssn);
    type("111111111");
    EXPECT_EQ(ssn->displayText(), "111-11-1111");
    press(Qt::Key_Tab);
    EXPECT_TRUE(w.field("LOC:NAME")->text().contains("Smith"));
    ASSERT_EQ(QApplication::focusWidget(), w.field("LOC:DEPOSITAMOUNT"));
    type("100.00");
    QTest::mouseClick(w.button("&Add"), Qt::LeftButton);
    ASSERT_EQ(w.list()->rowCount(), 1);

    // The next line's SSN, typed straight away.
    ASSERT_EQ(QApplication::focusWidget(), ssn);
    type("222222222");
    EXPECT_EQ(ssn->displayText(), "222-22-2222");
    press(Qt::Key_Tab);
    EXPECT_TRUE(w.field("LOC:NAME")->text().contains("Jones"));
    type("50");
    QTest::mouseClick(w.button("&Add"), Qt::LeftButton);
    ASSERT_EQ(w.list()->rowCount(), 2);
    EXPECT_EQ(w.list()->item(1, 0)->text(), "222-22-2222");
    EXPECT_EQ(QApplication::focusWidget(), ssn);
    EXPECT_EQ(ssn->cursorPosition(), 0);
    w.hide(); // the focus leaves while the window is whole
}

TEST_F(SsnTyping, TheWithdrawalWindowTakesTheSsnAsSoonAsItOpensAndAfterEveryLine) {
    WithdrawalWindow w(*db, dialogs, false);
    activate(&w);
    QLineEdit *ssn = w.field("LOC:SSNUM");
    ASSERT_EQ(QApplication::focusWidget(), ssn);
    type("111111111");
    EXPECT_EQ(ssn->displayText(), "111-11-1111");
    press(Qt::Key_Return);
    EXPECT_EQ(w.field("LOC:NAME")->text(), "Smith, Pat");
    w.field("LOC:TOTALTOWITHDRAW")->setText("100.00");
    w.field("LOC:DESCRIPTION")->setText("Hardship");
    QTest::mouseClick(w.button("&Withdrawal"), Qt::LeftButton);
    ASSERT_EQ(w.list()->rowCount(), 1) << qPrintable(dialogs.shown.isEmpty() ? "" : dialogs.last().text);

    ASSERT_EQ(QApplication::focusWidget(), ssn);
    type("222222222");
    EXPECT_EQ(ssn->displayText(), "222-22-2222");
    press(Qt::Key_Return);
    EXPECT_EQ(w.field("LOC:NAME")->text(), "Jones, Pat");
    // The focus is on the proposed fee: what the clerk types replaces it.
    ASSERT_EQ(QApplication::focusWidget(), w.field("LOC:ADMINFEE"));
    type("10");
    EXPECT_EQ(w.field("LOC:ADMINFEE")->text(), "10");
    w.hide();
}

// Closing a window while the clerk is half-way through an entry: the entry's editing-finished
// handler must not run on a window whose members are already gone.
TEST_F(SsnTyping, AWindowClosedInTheMiddleOfAnEntryGoesQuietly) {
    glo.CONTRACTORNUMBER = 7;
    glo.CONTRACTORNAME = "ABC";
    glo.PAYROLLDATE = day(2026, 12, 1);
    glo.POSTINGDATE = day(2026, 12, 8);
    glo.PAYROLLAMOUNT = money("150.00");
    auto *division = new ProcessPayrollWindow(*db, dialogs, glo, queue, lookups, report);
    activate(division);
    ASSERT_EQ(QApplication::focusWidget(), division->field("LOC:SSNUM"));
    type("999");
    delete division;

    auto *withdrawal = new WithdrawalWindow(*db, dialogs, false);
    activate(withdrawal);
    ASSERT_EQ(QApplication::focusWidget(), withdrawal->field("LOC:SSNUM"));
    type("999");
    delete withdrawal;
    EXPECT_TRUE(dialogs.shown.isEmpty()) << qPrintable(dialogs.last().text);
}

// "Payroll Information" opens ready for typing: the contractor's name first.
TEST_F(SsnTyping, ThePayrollHeaderTakesTypingAsSoonAsItOpens) {
    PayrollScreen w(*db, dialogs, false, glo, queue, lookups, report);
    activate(&w);
    EXPECT_EQ(QApplication::focusWidget(), w.field("GLO:CONTRACTORNAME"));
    w.hide();
}
