// The 1099-INT recipient forms: the same members and amounts as the 1099-INT file, what a form
// shows, the positions moved by the INI, and a failed read that stops the forms.
#include "platform/inifile.h"
#include "paymenttest.h"
#include "reports/int1099forms.h"
#include "toolbox/tax/taxrun.h"

#include <gtest/gtest.h>

namespace {
class Int1099FormsTest : public PaymentTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        addFund("36-1234567", "2023");
        MemberCU a = smith(1001);
        a.SSNUM = "123-45-6789";
        addMember(a);
        MemberCU b = member(1002, "Jones", "Mary");
        b.SSNUM = "987-65-4321";
        addMember(b);
        MemberCU c = member(1003, "Brown", "Al");
        c.SSNUM = "111-22-3333";
        addMember(c);
        post(1001, day(2023, 6, 30), "6.00", TransType::Dividend);
        post(1001, day(2023, 12, 31), "4.00", 2); // 10.00 in all: reported
        post(1002, day(2023, 12, 31), "9.99", TransType::Dividend); // under 10.00
        post(1002, day(2024, 1, 1), "50.00", TransType::Dividend);  // another year
        post(1003, day(2023, 12, 31), "250.75", TransType::Dividend);
        post(1003, day(2023, 12, 31), "1000.00"); // a deposit is no interest
    }
};
} // namespace

TEST_F(Int1099FormsTest, TheFilesMembersAndAmountsOneFormEach) {
    Tax::TaxRun file(*db);
    ASSERT_TRUE(file.gather(Tax::Form::Int));
    Int1099Forms forms(*db, dialogs);
    EXPECT_EQ(forms.run(), ReportRun::Previewed);
    ASSERT_EQ(forms.payees().size(), file.result().payees.size());
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < forms.payees().size(); ++i) {
        EXPECT_EQ(forms.payees()[i].account, file.result().payees[i].account);
        EXPECT_EQ(forms.payees()[i].gross, file.result().payees[i].gross);
    }
    // In the file's order (by name): Brown, then Smith.
    QStringList brown, smith;
    for (const QString &l : pages[0].split('\n')) brown << l.simplified();
    for (const QString &l : pages[1].split('\n')) smith << l.simplified();
    EXPECT_TRUE(brown.contains("Springfield, IL 62704 250.75")) << pages[0].toStdString();
    EXPECT_TRUE(smith.contains("Union Pension Fund"));
    EXPECT_TRUE(smith.contains("Springfield, IL 62704 10.00")); // box 1 beside the payer
    EXPECT_TRUE(smith.contains("John Smith"));
    EXPECT_TRUE(smith.contains("12 Oak Ave"));
    EXPECT_TRUE(smith.contains("Peoria, IL 61602"));
    EXPECT_TRUE(smith.contains("1001"));
    EXPECT_TRUE(text().contains("123-45-6789"));
    EXPECT_TRUE(text().contains("3612345")); // the fund's EIN
    EXPECT_FALSE(text().contains("Jones"));
    EXPECT_FALSE(text().contains("1,000.00"));
}

TEST_F(Int1099FormsTest, NobodyReportedSaysSo) {
    Int1099Forms forms(*db, dialogs);
    forms.YEAR = 2019;
    EXPECT_EQ(forms.run(), ReportRun::Nothing);
    EXPECT_TRUE(forms.payees().isEmpty());
}

TEST_F(Int1099FormsTest, AFailedReadStopsAndSaysSo) {
    storage::faults::refuseReads("Trans", 1);
    Int1099Forms forms(*db, dialogs);
    EXPECT_NE(forms.run(), ReportRun::Previewed);
    EXPECT_EQ(outputs, 0);
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("The 1099-INT forms could not be printed: "))
        << dialogs.last().text.toStdString();
    EXPECT_TRUE(forms.payees().isEmpty());
}

TEST_F(Int1099FormsTest, PositionsMovedLikeThe1099RForms) {
    const QString ini = App::iniPath("PENSION.INI");
    const Int1099::Layout plain = Int1099::layout(ini, nullptr);
    ASSERT_TRUE(IniFile::put(ini, "1099INT Layout", "Form", "-10"));
    ASSERT_TRUE(IniFile::put(ini, "1099INT Layout", "Interest", "5,5"));
    ASSERT_TRUE(IniFile::put(ini, "1099INT Layout", "Account", "1,2,3"));
    QStringList refused;
    const Int1099::Layout moved = Int1099::layout(ini, &refused);
    EXPECT_EQ(moved[Int1099::Field::Interest], plain[Int1099::Field::Interest] + QPoint(-50, 50));
    EXPECT_EQ(moved[Int1099::Field::Account], plain[Int1099::Field::Account] + QPoint(-100, 0));
    EXPECT_EQ(refused, QStringList{"[1099INT Layout] Account=1,2,3"});
}
