// The participant listing: what a line shows, masking, balances on a date, count and total, and
// the run's answers when nothing is selected or a read fails.
#include "../support/meanwhile.h"
#include "reporttest.h"
#include "reports/memberformat.h"
#include "reports/partlisting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
class ListingTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        MemberCU a = member(1001, "Smith", "John");
        a.LOCALCODE = 565;
        a.SSNUM = "123-45-6789";
        a.DATEJOINED = day(2010, 3, 1);
        addMember(a);
        MemberCU b = member(1002, "Jones", "Mary");
        b.LOCALCODE = 968;
        b.SSNUM = "987654321";
        b.DATECLOSED = day(2023, 12, 31);
        addMember(b);
        post(1001, day(2024, 1, 10), "100.00");
        post(1001, day(2024, 6, 1), "23.45");
        post(1001, day(2024, 6, 20), "1000.00"); // after the balance date
        post(1002, day(2020, 1, 1), "5.55");
    }
};
} // namespace

TEST(MemberFormatTest, SsnMaskedToItsLastFourDigits) {
    using MemberFormat::ssn;
    EXPECT_EQ(ssn("123-45-6789", false), "***-**-6789");
    EXPECT_EQ(ssn("123456789", false), "***-**-6789");
    EXPECT_EQ(ssn("123456789", true), "123-45-6789");
    EXPECT_EQ(ssn("123-45-6789", true), "123-45-6789");
    EXPECT_EQ(ssn("", false), "");
    EXPECT_EQ(ssn("   -  -    ", false), "");
}

TEST(MemberFormatTest, AddressWithoutBlankLines) {
    MemberCU m;
    m.FIRSTNAME = "Ann   ";
    m.LASTNAME = "Lee";
    m.ADDR1 = "";
    m.ADDR2 = "Apt 4";
    m.CITY = "Springfield";
    m.STATE = "IL";
    m.ZIP = "62704";
    EXPECT_EQ(MemberFormat::addressLines(m), (QStringList{"Ann Lee", "Apt 4", "Springfield, IL  62704"}));
    m.CITY = "";
    m.STATE = "";
    m.ZIP = "";
    EXPECT_EQ(MemberFormat::addressLines(m), (QStringList{"Ann Lee", "Apt 4"}));
    EXPECT_EQ(MemberFormat::listName(m), "Lee, Ann");
}

TEST_F(ListingTest, LinesMaskedBalancesOnTheDateAndTotals) {
    ParticipantListing r(*db, dialogs);
    r.selection.status = MemberSelection::Status::Both;
    r.selection.order = MemberSelection::Order::Account;
    r.BALANCEDATE = day(2024, 6, 15);
    EXPECT_EQ(r.run(), ReportRun::Previewed);
    EXPECT_EQ(r.COUNT, 2);
    EXPECT_EQ(r.TOTAL, money("129.00"));
    const QStringList l = simpleLines();
    EXPECT_TRUE(l.contains("Participant Listing"));
    EXPECT_TRUE(l.contains("All Members - Open and Closed Accounts - By Account Number"));
    EXPECT_TRUE(l.contains("Balances as of 06/15/2024"));
    EXPECT_TRUE(l.contains("1001 Smith, John 565 ***-**-6789 03/01/2010 123.45")) << text().toStdString();
    EXPECT_TRUE(l.contains("1002 Jones, Mary 968 ***-**-4321 12/31/2023 5.55"));
    EXPECT_TRUE(l.contains("Participants: 2"));
    EXPECT_TRUE(l.contains("Total Balance: 129.00"));
    EXPECT_FALSE(text().contains("123-45-6789"));

    r.FULLSSN = true;
    r.BALANCEDATE = day(2024, 6, 20); // the day's own deposit counts
    r.run();
    EXPECT_TRUE(simpleLines().contains("1001 Smith, John 565 123-45-6789 03/01/2010 1,123.45"))
        << text().toStdString();
    EXPECT_EQ(r.TOTAL, money("1129.00"));
}

TEST_F(ListingTest, ColumnsLineUpInTheText) {
    ParticipantListing r(*db, dialogs);
    r.selection.status = MemberSelection::Status::Both;
    r.BALANCEDATE = day(2024, 6, 15);
    r.run();
    // The amounts end in one column, under the title's end.
    QList<qsizetype> ends;
    for (const QString &line : text().split('\n'))
        if (line.contains("Balance") && !line.contains("as of") && !line.contains("Total")) ends << line.size();
        else if (line.endsWith("123.45") || line.endsWith("5.55")) ends << line.size();
    ASSERT_EQ(ends.size(), 3) << text().toStdString();
    EXPECT_EQ(ends[0], ends[1]);
    EXPECT_EQ(ends[1], ends[2]);
}

TEST_F(ListingTest, NothingSelectedSaysSo) {
    ParticipantListing r(*db, dialogs);
    r.selection.oneLocal = true;
    r.selection.LOCALCODE = 1;
    EXPECT_EQ(r.run(), ReportRun::Nothing);
    EXPECT_EQ(outputs, 0);
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
}

TEST_F(ListingTest, AFailedReadStopsTheReportAndSaysSo) {
    ParticipantListing r(*db, dialogs);
    r.selection.status = MemberSelection::Status::Both;
    storage::faults::refuseReads("MemberCU", 1);
    EXPECT_EQ(r.run(), ReportRun::Cancelled);
    EXPECT_TRUE(r.stopped());
    EXPECT_EQ(outputs, 0); // a part of the members is not shown as the listing
    EXPECT_EQ(dialogs.last().caption, "Participant Listing");
    EXPECT_TRUE(dialogs.last().text.startsWith("The data files could not be read; the report was stopped."));
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);

    // The balances' file failing stops it too.
    storage::faults::clear(*db);
    storage::faults::refuseReads("Trans", 0);
    EXPECT_EQ(r.run(), ReportRun::Cancelled);
    EXPECT_TRUE(r.stopped());
    EXPECT_EQ(outputs, 0);
}

TEST_F(ListingTest, WindowRemembersItsChoices) {
    {
        ParticipantListingWindow w(*db, dialogs);
        w.selection()->set([] {
            MemberSelection s;
            s.oneLocal = true;
            s.LOCALCODE = 565;
            s.order = MemberSelection::Order::Zip;
            return s;
        }());
        w.balanceDate()->setText("06/01/2024");
        w.fullSsn()->setChecked(true);
        EXPECT_TRUE(w.print());
        EXPECT_EQ(w.logic().COUNT, 1);
        EXPECT_EQ(w.logic().TOTAL, money("123.45"));
    }
    ParticipantListingWindow again(*db, dialogs);
    const MemberSelection s = again.selection()->selection();
    EXPECT_TRUE(s.oneLocal);
    EXPECT_EQ(s.LOCALCODE, 565);
    EXPECT_EQ(s.order, MemberSelection::Order::Zip);
    EXPECT_EQ(again.balanceDate()->text(), "06/01/2024");
    EXPECT_TRUE(again.fullSsn()->isChecked());
}

TEST_F(ListingTest, WindowRefusesBadChoicesAndRunsNothing) {
    ParticipantListingWindow w(*db, dialogs);
    w.selection()->members()->setCurrentIndex(1); // one local, no number
    EXPECT_FALSE(w.print());
    EXPECT_EQ(dialogs.last().text, "Enter the number of the local whose members to take.");
    w.selection()->local()->setText("565");
    w.balanceDate()->setText("13/45/2024");
    const int before = int(dialogs.shown.size());
    EXPECT_FALSE(w.print());
    EXPECT_EQ(dialogs.shown.size(), before + 1);
    EXPECT_EQ(dialogs.last().caption, "Invalid Date");
    EXPECT_EQ(outputs, 0);
}

TEST_F(ListingTest, AnotherStationsPostingDuringTheRunIsInNoneOfTheLines) {
    ParticipantListing r(*db, dialogs);
    r.selection.status = MemberSelection::Status::Both;
    r.selection.order = MemberSelection::Order::Account;
    r.BALANCEDATE = day(2024, 6, 15);
    auto other = openSecond();
    ASSERT_TRUE(other);
    bool posted = false;
    depositMeanwhile(*other, "MemberCU", 1, {{1001, day(2024, 1, 1), "1.00"}, {1002, day(2024, 1, 1), "1.00"}},
                     posted);
    EXPECT_EQ(r.run(), ReportRun::Previewed);
    storage::faults::clear(*db);
    ASSERT_TRUE(posted);
    EXPECT_EQ(r.TOTAL, money("129.00"));
    EXPECT_TRUE(simpleLines().contains("1002 Jones, Mary 968 ***-**-4321 12/31/2023 5.55")) << text().toStdString();

    // The snapshot ends with the run: the next one sees both deposits, and writing goes ahead.
    r.run();
    EXPECT_EQ(r.TOTAL, money("131.00"));
    post(1001, day(2024, 1, 2), "1.00");
}
