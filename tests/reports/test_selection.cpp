// The member selection: which members a report takes, in which order, remembered per report.
#include "reporttest.h"
#include "platform/inifile.h"
#include "platform/storage/faults.h"
#include "reports/memberselection.h"

#include <gtest/gtest.h>

namespace {

class SelectionTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        mem = std::make_unique<storage::DataFile<MemberCU>>(*db);
        ASSERT_TRUE(mem->open());
        // account, local, last, first, zip, closed
        add(105, 565, "Baker", "Ann", "60601", 0);
        add(101, 565, "Zimmer", "Carl", "10001", 0);
        add(110, 968, "Adams", "Bea", "30301", 0);
        add(103, 968, "baker", "Al", "60601", 50000);
        add(120, 565, "Miller", "Dee", "10001", 0);
        add(102, 565, "Cole", "Eve", "90210", 51000);
    }
    void TearDown() override {
        mem.reset();
        ReportTest::TearDown();
    }
    void add(qint32 acct, qint32 local, const char *last, const char *first, const char *zip,
             qint32 closed) {
        mem->clear();
        mem->rec.ACCTNUM = acct;
        mem->rec.MEMBERID = acct;
        mem->rec.LOCALCODE = local;
        mem->rec.LASTNAME = last;
        mem->rec.FIRSTNAME = first;
        mem->rec.ZIP = zip;
        mem->rec.DATECLOSED = closed;
        ASSERT_TRUE(mem->add());
    }
    QList<qint32> walk(const MemberSelection &s) {
        MemberWalk w(*mem, s);
        QList<qint32> out;
        while (w.next()) out << mem->rec.ACCTNUM;
        EXPECT_FALSE(w.failed());
        return out;
    }
    std::unique_ptr<storage::DataFile<MemberCU>> mem;
};

MemberSelection sel(MemberSelection::Order order, MemberSelection::Status status =
                                                      MemberSelection::Status::Both) {
    MemberSelection s;
    s.order = order;
    s.status = status;
    return s;
}

} // namespace

TEST_F(SelectionTest, OrdersByNameAccountAndZip) {
    using O = MemberSelection::Order;
    // Names compare without case; equal last names by first name.
    EXPECT_EQ(walk(sel(O::Name)), (QList<qint32>{110, 103, 105, 102, 120, 101}));
    EXPECT_EQ(walk(sel(O::Account)), (QList<qint32>{101, 102, 103, 105, 110, 120}));
    // ZIP, then name within one ZIP.
    EXPECT_EQ(walk(sel(O::Zip)), (QList<qint32>{120, 101, 110, 103, 105, 102}));
}

TEST_F(SelectionTest, OpenClosedAndBoth) {
    using O = MemberSelection::Order;
    using S = MemberSelection::Status;
    EXPECT_EQ(walk(sel(O::Account, S::Open)), (QList<qint32>{101, 105, 110, 120}));
    EXPECT_EQ(walk(sel(O::Account, S::Closed)), (QList<qint32>{102, 103}));
    EXPECT_EQ(walk(sel(O::Account, S::Both)).size(), 6);
}

TEST_F(SelectionTest, OneLocalInEveryOrder) {
    using O = MemberSelection::Order;
    for (O o : {O::Name, O::Account, O::Zip}) {
        MemberSelection s = sel(o);
        s.oneLocal = true;
        s.LOCALCODE = 968;
        QList<qint32> got = walk(s);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, (QList<qint32>{103, 110})) << int(o);
    }
    MemberSelection s = sel(O::Name);
    s.oneLocal = true;
    s.LOCALCODE = 565;
    EXPECT_EQ(walk(s), (QList<qint32>{105, 102, 120, 101}));
    s.LOCALCODE = 1; // a local without members
    EXPECT_TRUE(walk(s).isEmpty());
}

TEST_F(SelectionTest, AccountRangeIncludesBothEnds) {
    using O = MemberSelection::Order;
    for (O o : {O::Name, O::Account, O::Zip}) {
        MemberSelection s = sel(o);
        s.FROMACCT = 102;
        s.TOACCT = 105;
        QList<qint32> got = walk(s);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, (QList<qint32>{102, 103, 105})) << int(o);
    }
    MemberSelection s = sel(O::Account);
    s.oneLocal = true;
    s.LOCALCODE = 565;
    s.FROMACCT = 103; // open-ended upward
    EXPECT_EQ(walk(s), (QList<qint32>{105, 120}));
}

TEST_F(SelectionTest, RefusesWhatCannotRun) {
    MemberSelection s;
    EXPECT_EQ(s.problem(), "");
    s.oneLocal = true;
    EXPECT_EQ(s.problem(), "Enter the number of the local whose members to take.");
    s.LOCALCODE = 565;
    s.FROMACCT = 200;
    s.TOACCT = 100;
    EXPECT_EQ(s.problem(), "The first account number of the range is higher than the last.");
    s.TOACCT = 200;
    EXPECT_EQ(s.problem(), "");
}

TEST_F(SelectionTest, RememberedPerReport) {
    const QString path = dataDir() + "/PENSION.INI";
    MemberSelection s;
    s.oneLocal = true;
    s.LOCALCODE = 968;
    s.status = MemberSelection::Status::Closed;
    s.FROMACCT = 10;
    s.TOACCT = 20;
    s.order = MemberSelection::Order::Zip;
    {
        IniFile ini(path);
        s.store(ini, "PARTLISTINGWIN");
        ASSERT_TRUE(ini.save());
    }
    IniFile ini(path);
    MemberSelection back;
    back.load(ini, "PARTLISTINGWIN");
    EXPECT_TRUE(back.oneLocal);
    EXPECT_EQ(back.LOCALCODE, 968);
    EXPECT_EQ(back.status, MemberSelection::Status::Closed);
    EXPECT_EQ(back.FROMACCT, 10);
    EXPECT_EQ(back.TOACCT, 20);
    EXPECT_EQ(back.order, MemberSelection::Order::Zip);
    // Another report's section keeps its own (here: the defaults).
    MemberSelection other;
    other.load(ini, "DORMANTREPORTWIN");
    EXPECT_FALSE(other.oneLocal);
    EXPECT_EQ(other.status, MemberSelection::Status::Open);
    EXPECT_EQ(other.order, MemberSelection::Order::Name);
}

TEST_F(SelectionTest, AFailedReadIsNotTheEnd) {
    using O = MemberSelection::Order;
    for (O o : {O::Name, O::Account, O::Zip}) {
        storage::faults::refuseReads("MemberCU", 2);
        MemberWalk w(*mem, sel(o));
        int read = 0;
        while (w.next()) ++read;
        EXPECT_TRUE(w.failed()) << int(o);
        EXPECT_LT(read, 6);
        storage::faults::clear(*db);
    }
}
