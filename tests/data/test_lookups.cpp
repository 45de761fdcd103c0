#include "../support/tempdata.h"
#include "data/lookups.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/inifile.h"

#include <QDir>

namespace {
class Lookups : public DataTest {};

void post(storage::DataFile<Trans> &tra, qint32 acct, qint32 date, const char *amount) {
    tra.clear();
    tra.rec.ACCTNUM = acct;
    tra.rec.TRANSDATE = date;
    tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
    ASSERT_TRUE(tra.add());
}

struct Local {
    qint32 number = -1;
    QString path, desc, label;
};

Local lookup(const QString &dir) {
    Local l;
    GETLOCALFROMPATH(dir, l.number, l.path, l.desc, l.label);
    return l;
}
} // namespace

TEST_F(Lookups, BalanceAtTheCloseOfADateOrOverAllRecords) {
    ASSERT_TRUE(db->create(Trans::layout().def()));
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    qint32 jan = Clock::dayNumber(2025, 1, 15), dec = Clock::dayNumber(2025, 12, 31);
    qint32 mar = Clock::dayNumber(2026, 3, 1);
    post(tra, 100, jan, "1000.00");
    post(tra, 100, dec, "25.55");
    post(tra, 100, dec, "-0.55");
    post(tra, 100, mar, "-300.10");
    post(tra, 101, jan, "999.99");

    Decimal bal, pre, ytd;
    ASSERT_TRUE(GETBALANCE(*db, "100", bal, pre, ytd, dec));
    EXPECT_EQ(bal.toString(), "1025.00"); // both records of the as-of day count
    ASSERT_TRUE(GETBALANCE(*db, "100", bal, pre, ytd, dec - 1));
    EXPECT_EQ(bal.toString(), "1000.00");
    ASSERT_TRUE(GETBALANCE(*db, "100", bal, pre, ytd));
    EXPECT_EQ(bal.toString(), "724.90");
    ASSERT_TRUE(GETBALANCE(*db, "100", bal, pre, ytd, mar));
    EXPECT_EQ(pre.toString(), "1025.00");
    EXPECT_EQ(ytd.toString(), "-300.10");
    ASSERT_TRUE(GETBALANCE(*db, " 101 ", bal, pre, ytd));
    EXPECT_EQ(bal.toString(), "999.99");
    ASSERT_TRUE(GETBALANCE(*db, "555", bal, pre, ytd));
    EXPECT_EQ(bal.toString(), "0.00");
    ASSERT_TRUE(GETBALANCE(*db, "abc", bal, pre, ytd));
    EXPECT_EQ(bal.toString(), "0.00");
    EXPECT_TRUE(bal.fits(11, 2)); // the narrowest caller field holds it
}

TEST_F(Lookups, TheLocalFollowsTheDataDirectoryOrItsSettingsFile) {
    QDir root(dataDir());
    for (const char *d : {"Local565", "565SAV", "local968", "33", "Pension667", "demo", "L1234"})
        root.mkdir(d);
    Local l = lookup(root.filePath("Local565"));
    EXPECT_EQ(l.number, 565);
    EXPECT_EQ(l.desc, "Local 565 Pension Fund");
    EXPECT_NE(l.desc, SavingsFundMarker);
    EXPECT_EQ(l.label, "Local 565");
    EXPECT_EQ(l.path, root.filePath("Local565"));

    l = lookup(root.filePath("565SAV"));
    EXPECT_EQ(l.number, 565);
    EXPECT_EQ(l.desc, SavingsFundMarker);
    EXPECT_EQ(lookup(root.filePath("local968")).desc, "Local 968 Savings Fund");
    EXPECT_EQ(lookup(root.filePath("33")).number, 33);
    EXPECT_EQ(lookup(root.filePath("Pension667")).number, 667);
    l = lookup(root.filePath("demo"));
    EXPECT_EQ(l.number, 0);
    EXPECT_EQ(l.label, "demo");

    IniFile ini(root.filePath("L1234/LOCAL.INI"));
    ini.setValue("local", "number", "565");
    ini.setValue("Local", "Description", SavingsFundMarker);
    ini.setValue("Local", "Label", "Carpenters Savings Fund of Local 565");
    ASSERT_TRUE(ini.save());
    l = lookup(root.filePath("L1234"));
    EXPECT_EQ(l.number, 565);
    EXPECT_EQ(l.desc, SavingsFundMarker);
    EXPECT_EQ(l.label, "Carpenters Savings F"); // the label holds 20 characters
}
