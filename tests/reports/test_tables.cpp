// The lists of locals, transaction codes and contractors.
#include "reporttest.h"
#include "reports/codelistings.h"
#include "reports/contractorlisting.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
class TablesTest : public ReportTest {
protected:
    void addLocal(qint32 id, const QString &number, const QString &name, const QString &addr1 = {},
                  const QString &city = {}) {
        storage::DataFile<LocInfo> loc(*db);
        ASSERT_TRUE(loc.open());
        loc.rec.AUTONUM = id;
        loc.rec.LOCALNUM = number;
        loc.rec.NAME = name;
        loc.rec.ADDRESS1 = addr1;
        loc.rec.CITY = city;
        ASSERT_TRUE(loc.add());
    }
    void addCode(qint32 code, const QString &desc, bool credit) {
        storage::DataFile<TransDesc> t(*db);
        ASSERT_TRUE(t.open());
        t.rec.TRANSCODE = code;
        t.rec.TRANSDESC = desc;
        t.rec.POSITIVE = credit ? 1 : 0;
        ASSERT_TRUE(t.add());
    }
    void addContractor(qint32 id, const QString &name) {
        storage::DataFile<Contractor> c(*db);
        ASSERT_TRUE(c.open());
        c.rec.AUTONUM = id;
        c.rec.NAME = name;
        ASSERT_TRUE(c.add());
    }
    void remit(qint32 id, qint32 date, const char *amount) {
        storage::DataFile<PayData> p(*db);
        ASSERT_TRUE(p.open());
        p.rec.ACCTNUM = id;
        p.rec.DATE = date;
        p.rec.AMOUNT = money(amount);
        ASSERT_TRUE(p.add());
    }
    // The lines that start with one of `starts`, in page order.
    QStringList linesStarting(const QStringList &starts) const {
        QStringList out;
        for (const QString &l : simpleLines())
            for (const QString &s : starts)
                if (l.startsWith(s)) out << l;
        return out;
    }
};
} // namespace

TEST(LocalNumbers, SortAsNumbers) {
    EXPECT_TRUE(LocalListing::numberBefore("99", "565"));
    EXPECT_TRUE(LocalListing::numberBefore("565", "1000"));
    EXPECT_FALSE(LocalListing::numberBefore("1000", "565"));
    EXPECT_TRUE(LocalListing::numberBefore("1000", "12A")); // numbers first
    EXPECT_TRUE(LocalListing::numberBefore("12A", "12b"));
}

TEST_F(TablesTest, LocalsByNameAndByNumber) {
    addLocal(1, "1000", "Carpenters", "12 Oak St", "Joliet");
    addLocal(2, "565", "Electricians");
    addLocal(3, "99", "Bricklayers");
    LocalListing byName(*db, dialogs, LocalListing::Order::Name);
    EXPECT_EQ(byName.run(), ReportRun::Previewed);
    EXPECT_EQ(linesStarting({"1000 ", "565 ", "99 "}),
              (QStringList{"99 Bricklayers", "1000 Carpenters 12 Oak St", "565 Electricians"}));
    EXPECT_TRUE(simpleLines().contains("Joliet")); // the address's next line, under the first
    EXPECT_TRUE(simpleLines().contains("Locals: 3"));

    LocalListing byNumber(*db, dialogs, LocalListing::Order::Number);
    byNumber.run();
    EXPECT_EQ(linesStarting({"1000 ", "565 ", "99 "}),
              (QStringList{"99 Bricklayers", "565 Electricians", "1000 Carpenters 12 Oak St"}));
}

TEST_F(TablesTest, CodesWithDebitOrCredit) {
    addCode(-4, "Payroll Deposit", true);
    addCode(-3, "Withdrawal", false);
    addCode(7, "Adjustment", true);
    TransCodeListing byCode(*db, dialogs, TransCodeListing::Order::Code);
    byCode.run();
    EXPECT_EQ(linesStarting({"-4 ", "-3 ", "7 "}),
              (QStringList{"-4 Payroll Deposit Credit", "-3 Withdrawal Debit", "7 Adjustment Credit"}));
    TransCodeListing byDesc(*db, dialogs, TransCodeListing::Order::Description);
    byDesc.run();
    EXPECT_EQ(linesStarting({"-4 ", "-3 ", "7 "}),
              (QStringList{"7 Adjustment Credit", "-4 Payroll Deposit Credit", "-3 Withdrawal Debit"}));
    EXPECT_TRUE(simpleLines().contains("Codes: 3"));
}

TEST_F(TablesTest, EmptyTablesSayNothingToShow) {
    EXPECT_EQ(LocalListing(*db, dialogs, LocalListing::Order::Number).run(), ReportRun::Nothing);
    EXPECT_EQ(TransCodeListing(*db, dialogs, TransCodeListing::Order::Code).run(), ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
    EXPECT_EQ(outputs, 0);
}

TEST_F(TablesTest, ContractorsWithWhatTheyRemittedInThePeriod) {
    addContractor(1, "Acme Builders");
    addContractor(2, "Zenith Electric");
    addContractor(3, "Baker Masonry");
    remit(1, day(2023, 12, 31), "999.00"); // before
    remit(1, day(2024, 1, 1), "100.00");  // first day
    remit(1, day(2024, 3, 31), "50.25");  // last day
    remit(1, day(2024, 4, 1), "999.00");  // after
    remit(2, day(2024, 2, 15), "10.00");
    remit(4, day(2024, 2, 15), "77.00"); // a contractor no longer on file
    ContractorListing r(*db, dialogs);
    r.FROMDATE = day(2024, 1, 1);
    r.TODATE = day(2024, 3, 31);
    r.run();
    EXPECT_EQ(linesStarting({"Acme", "Baker", "Zenith"}),
              (QStringList{"Acme Builders 150.25", "Baker Masonry 0.00", "Zenith Electric 10.00"}));
    EXPECT_TRUE(simpleLines().contains("Payroll Remitted 01/01/2024 - 03/31/2024"));
    EXPECT_TRUE(simpleLines().contains("Contractors: 3"));
    EXPECT_TRUE(simpleLines().contains("Total Remitted: 160.25"));
    EXPECT_EQ(r.TOTAL, money("160.25"));

    storage::faults::refuseReads("PayData", 1);
    EXPECT_EQ(r.run(), ReportRun::Cancelled);
    EXPECT_TRUE(r.stopped());
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
}

TEST_F(TablesTest, ContractorWindowRefusesAPeriodBackwards) {
    ContractorListingWindow w(*db, dialogs);
    EXPECT_EQ(w.fromDate()->text(), "01/01/2024"); // the year so far
    EXPECT_EQ(w.toDate()->text(), "06/15/2024");
    w.fromDate()->setText("05/01/2024");
    w.toDate()->setText("04/30/2024");
    EXPECT_FALSE(w.print());
    EXPECT_EQ(dialogs.last().text, "The period ends before it begins.");
    EXPECT_EQ(outputs, 0);
}
