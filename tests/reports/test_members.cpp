// The member reports: dormant accounts, ages, labels.
#include "reporttest.h"
#include "reports/agereport.h"
#include "reports/dormant.h"
#include "reports/labels.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {
class MemberReportsTest : public ReportTest {
protected:
    void setDormantAmount(const char *amount) {
        storage::DataFile<CUInfo> cui(*db);
        ASSERT_TRUE(cui.open());
        cui.rec.NAME = "Fund";
        cui.rec.DORMANTAMOUNT = money(amount);
        ASSERT_TRUE(cui.add());
    }
    QStringList linesStarting(const QString &start) const {
        QStringList out;
        for (const QString &l : simpleLines())
            if (l.startsWith(start)) out << l;
        return out;
    }
    void addBorn(qint32 acct, const QString &last, qint32 birth) {
        MemberCU m = member(acct, last);
        m.BIRTHDATE = birth;
        addMember(m);
    }
};
} // namespace

TEST(AgeArithmetic, YearsAndMonthsOnTheBirthdayAndAround) {
    auto d = [](int y, int m, int dd) { return Clock::dayNumber(y, m, dd); };
    // On the birthday a year is complete; the day before it is not.
    EXPECT_EQ(Age::months(d(1965, 6, 15), d(2024, 6, 15)), 59 * 12);
    EXPECT_EQ(Age::months(d(1965, 6, 15), d(2024, 6, 14)), 58 * 12 + 11);
    // Half years: 59 1/2 six months after the 59th birthday.
    EXPECT_EQ(Age::months(d(1964, 12, 15), d(2024, 6, 15)), 59 * 12 + 6);
    EXPECT_EQ(Age::months(d(1964, 12, 15), d(2024, 6, 14)), 59 * 12 + 5);
    // A birth on the 31st reaches a month that has no 31st on its last day.
    EXPECT_EQ(Age::months(d(1964, 8, 31), d(2024, 2, 29)), 59 * 12 + 6);
    EXPECT_EQ(Age::months(d(1964, 8, 31), d(2024, 2, 28)), 59 * 12 + 5);
    EXPECT_EQ(Age::months(d(1964, 8, 31), d(2023, 2, 28)), 58 * 12 + 6);
    // Leap-day births: on February 28th in other years, on the 29th in leap years.
    EXPECT_EQ(Age::months(d(1952, 2, 29), d(2025, 2, 28)), 73 * 12);
    EXPECT_EQ(Age::months(d(1952, 2, 29), d(2025, 2, 27)), 72 * 12 + 11);
    EXPECT_EQ(Age::months(d(1952, 2, 29), d(2024, 2, 28)), 71 * 12 + 11);
    EXPECT_EQ(Age::months(d(1952, 2, 29), d(2024, 2, 29)), 72 * 12);
    EXPECT_EQ(Age::text(59 * 12 + 6), "59 yrs 6 mos");
}

TEST_F(MemberReportsTest, AgesInTheRangeApartFromThoseWithoutABirthDate) {
    addBorn(1, "Old", day(1950, 1, 1));         // 74
    addBorn(2, "Half", day(1964, 12, 15));      // 59 1/2 exactly
    addBorn(3, "Almost", day(1964, 12, 16));    // a day short
    addBorn(4, "Young", day(1990, 1, 1));
    addBorn(5, "Unknown", 0);
    post(2, day(2024, 1, 1), "10.00");
    post(5, day(2024, 1, 1), "7.00");
    AgeReport r(*db, dialogs);
    r.selection.order = MemberSelection::Order::Account;
    r.ASOFDATE = day(2024, 6, 15);
    r.FROMMONTHS = 59 * 12 + 6;
    r.run();
    EXPECT_EQ(r.COUNT, 2);
    EXPECT_EQ(r.NOBIRTHDATE, 1);
    EXPECT_EQ(r.TOTAL, money("10.00"));
    const QStringList l = simpleLines();
    EXPECT_TRUE(l.contains("Ages on 06/15/2024: 59 1/2 and over")) << text().toStdString();
    EXPECT_TRUE(l.contains("Old, Pat 1 01/01/1950 74 yrs 5 mos 0.00"));
    EXPECT_TRUE(l.contains("Half, Pat 2 12/15/1964 59 yrs 6 mos 10.00"));
    EXPECT_FALSE(text().contains("Almost"));
    EXPECT_FALSE(text().contains("Young"));
    // Apart, after the others, with the balance but no age.
    const qsizetype apart = l.indexOf("Members without a birth date");
    ASSERT_GE(apart, 0);
    EXPECT_GT(l.indexOf("Unknown, Pat 5 7.00"), apart);
    EXPECT_GT(apart, l.indexOf("Half, Pat 2 12/15/1964 59 yrs 6 mos 10.00"));
    EXPECT_TRUE(l.contains("59 1/2 to under 65: 1"));
    EXPECT_TRUE(l.contains("73 and over: 1"));
    EXPECT_TRUE(l.contains("Without a birth date: 1"));

    // An upper limit in whole years takes the whole last year of age.
    r.FROMMONTHS = 0;
    r.TOMONTHS = 59 * 12 + 11;
    r.run();
    EXPECT_EQ(r.COUNT, 3); // Half, Almost, Young
    EXPECT_TRUE(simpleLines().contains("Ages on 06/15/2024: 0 to 59 yrs 11 mos"));
}

TEST_F(MemberReportsTest, AgeWindowRefusesAnUpperAgeBelowTheLower) {
    AgeReportWindow w(*db, dialogs);
    EXPECT_EQ(w.fromYears()->value(), 59); // 59 1/2 unless chosen otherwise
    EXPECT_EQ(w.fromMonths()->value(), 6);
    w.toYears()->setValue(58);
    EXPECT_FALSE(w.print());
    EXPECT_EQ(dialogs.last().text, "The oldest age is below the youngest.");
    EXPECT_EQ(outputs, 0);
}

TEST_F(MemberReportsTest, DormantRuleOnTheDayAndTheDayBefore) {
    setDormantAmount("50.00");
    const qint32 since = day(2022, 6, 15);
    addMember(1, "Before"); // last deposit the day before: dormant
    post(1, day(2020, 1, 1), "100.00");
    post(1, since - 1, "100.00");
    post(1, day(2023, 1, 1), "5.00", TransType::Dividend); // dividends are not activity
    addMember(2, "OnTheDay"); // deposit on the date: active
    post(2, day(2020, 1, 1), "100.00");
    post(2, since, "100.00");
    addMember(3, "Withdrew"); // a withdrawal after the date: active
    post(3, day(2020, 1, 1), "300.00");
    post(3, day(2023, 1, 1), "-100.00", TransType::Withdrawal);
    addMember(4, "Small"); // dormant but under the amount
    post(4, day(2020, 1, 1), "49.99");
    addMember(5, "Never"); // no deposit ever, a carried balance of exactly the amount
    post(5, day(2019, 1, 1), "50.00", TransType::CarriedBalance);
    MemberCU closed = member(6, "Closed");
    closed.DATECLOSED = day(2021, 1, 1);
    addMember(closed);
    post(6, day(2020, 1, 1), "500.00");

    DormantAccounts r(*db, dialogs);
    r.selection.order = MemberSelection::Order::Account;
    r.selection.status = MemberSelection::Status::Both; // closed accounts are never dormant
    r.SINCEDATE = since;
    r.run();
    EXPECT_EQ(r.COUNT, 2);
    EXPECT_EQ(r.TOTAL, money("255.00"));
    const QStringList l = simpleLines();
    EXPECT_TRUE(l.contains("Before, Pat 1 06/14/2022 Deposit 205.00")) << text().toStdString();
    EXPECT_TRUE(l.contains("Never, Pat 5 None 50.00"));
    for (const char *active : {"OnTheDay", "Withdrew", "Small", "Closed"}) EXPECT_FALSE(text().contains(active)) << active;
    EXPECT_TRUE(l.contains("No deposit or withdrawal since 06/15/2022; balance of 50.00 or more"));
    EXPECT_TRUE(l.contains("Dormant Accounts: 2"));
    EXPECT_TRUE(l.contains("Total Balance: 255.00"));
}

TEST_F(MemberReportsTest, DormantAddressUnderTheNameAndAFailedReadStops) {
    MemberCU m = member(1, "Lee", "Ann");
    m.ADDR1 = "12 Elm St";
    m.CITY = "Joliet";
    m.STATE = "IL";
    m.ZIP = "60431";
    addMember(m);
    post(1, day(2010, 1, 1), "10.00");
    DormantAccounts r(*db, dialogs);
    r.SINCEDATE = day(2022, 6, 15);
    r.run();
    const QStringList l = simpleLines();
    const qsizetype at = l.indexOf("Lee, Ann 1 01/01/2010 Deposit 10.00");
    ASSERT_GE(at, 0) << text().toStdString();
    EXPECT_EQ(l.value(at + 1), "12 Elm St");
    EXPECT_EQ(l.value(at + 2), "Joliet, IL 60431");

    storage::faults::refuseReads("Trans", 0);
    EXPECT_EQ(r.run(), ReportRun::Cancelled);
    EXPECT_TRUE(r.stopped());
    EXPECT_EQ(dialogs.last().caption, "Participant Dormant Report");
}

TEST_F(MemberReportsTest, DormantDefaultIsTwoYearsAgo) {
    EXPECT_EQ(DormantAccounts::defaultSince(day(2024, 6, 15)), day(2022, 6, 15));
    EXPECT_EQ(DormantAccounts::defaultSince(day(2024, 2, 29)), day(2022, 2, 28));
    DormantReportWindow w(*db, dialogs);
    EXPECT_EQ(w.sinceDate()->text(), "06/15/2022");
    EXPECT_FALSE(w.selection()->status()->isEnabled());
}

TEST(LabelStockTest, PositionsAcrossThenDown) {
    const LabelStock &s = Labels::stocks()[0];
    EXPECT_EQ(s.perSheet(), 30);
    EXPECT_EQ(s.place(0), QPoint(s.left, s.top));
    EXPECT_EQ(s.place(1), QPoint(s.left + s.pitchX, s.top));
    EXPECT_EQ(s.place(3), QPoint(s.left, s.top + s.pitchY));
    EXPECT_EQ(s.place(29), QPoint(s.left + 2 * s.pitchX, s.top + 9 * s.pitchY));
    // Every label of every stock lies on a letter page.
    for (const LabelStock &st : Labels::stocks()) {
        const QPoint last = st.place(st.perSheet() - 1);
        EXPECT_LE(last.x() + st.width, 8500) << st.name.toStdString();
        EXPECT_LE(last.y() + st.height, 11000) << st.name.toStdString();
    }
    EXPECT_EQ(Labels::stocks()[1].perSheet(), 20);
    EXPECT_EQ(Labels::stocks()[2].perSheet(), 14);
}

TEST_F(MemberReportsTest, LabelsStartOnAPartlyUsedSheetWithoutGaps) {
    MemberCU a = member(1, "Able", "Ann");
    a.ADDR1 = "";          // no first street line
    a.ADDR2 = "PO Box 9";
    a.CITY = "Joliet";
    a.STATE = "IL";
    a.ZIP = "60431";
    addMember(a);
    MemberCU b = member(2, "Baker", "Bob");
    b.ADDR1 = "1 Main St";
    addMember(b);
    MailingLabels r(*db, dialogs);
    r.selection.order = MemberSelection::Order::Account;
    r.STARTPOSITION = 5; // the second row's middle label
    r.run();
    ASSERT_EQ(pages.size(), 1);
    const QStringList lines = pages[0].split('\n');
    // Empty lines are dropped from the text: the first line is the second row of labels.
    ASSERT_GE(lines.size(), 3) << text().toStdString();
    const qsizetype middle = lines[0].indexOf("Ann Able");
    EXPECT_GT(middle, 25);
    EXPECT_LT(middle, 50);
    EXPECT_GT(lines[0].indexOf("Bob Baker"), middle + 25); // the third label of the row
    EXPECT_EQ(lines[1].indexOf("PO Box 9"), middle);       // straight under the name
    EXPECT_EQ(lines[2].indexOf("Joliet, IL  60431"), middle);
}

TEST_F(MemberReportsTest, LabelsFillASheetThenStartTheNext) {
    for (int i = 1; i <= 15; ++i) addMember(i, QString("Member%1").arg(i, 2, 10, QChar('0')));
    MailingLabels r(*db, dialogs);
    r.STOCK = 2; // 2 x 7
    r.STARTPOSITION = 14; // the last position of the first sheet
    r.run();
    EXPECT_EQ(r.COUNT, 15);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains("Pat Member01"));
    EXPECT_FALSE(pages[0].contains("Pat Member02"));
    EXPECT_TRUE(pages[1].contains("Pat Member15"));

    LabelsWindow w(*db, dialogs);
    w.stock()->setCurrentIndex(2);
    EXPECT_EQ(w.startPosition()->maximum(), 14);
    w.stock()->setCurrentIndex(0);
    EXPECT_EQ(w.startPosition()->maximum(), 30);
}
