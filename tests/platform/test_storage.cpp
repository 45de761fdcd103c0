// The keyed-file engine: key orders, positioning, change detection between stations,
// transactions, widths.
#include "../support/tempdata.h"
#include "data/records.h"
#include "platform/clock.h"

#include <QSqlQuery>

using storage::DataFile;

namespace {
class Storage : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
    }
    void addTrans(DataFile<Trans> &f, qint32 acct, qint32 date, const char *amount, const QString &desc = {}) {
        f.clear();
        f.rec.ACCTNUM = acct;
        f.rec.TRANSDATE = date;
        f.rec.TRANSAMOUNT = Decimal::fromString(amount);
        f.rec.DESC = desc;
        ASSERT_TRUE(f.add()) << storage::lastError().driverText.toStdString();
    }
    // Reads forward (or backward) from the current position, collecting descriptions.
    QStringList walk(DataFile<Trans> &f, bool forward = true, int max = 1000) {
        QStringList out;
        while (out.size() < max && (forward ? f.next() : f.previous())) out << f.rec.DESC;
        return out;
    }
};
} // namespace

TEST_F(Storage, AccountKeysReadInTheirOwnDirections) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    addTrans(tra, 2, 100, "1", "2@100");
    addTrans(tra, 1, 300, "1", "1@300");
    addTrans(tra, 1, 100, "1", "1@100a");
    addTrans(tra, 1, 200, "1", "1@200");
    addTrans(tra, 1, 100, "1", "1@100b");
    addTrans(tra, 2, 50, "1", "2@50");

    // Account ascending, date descending: from (1, 200) forward visits 200 and earlier, newest first.
    tra.clear();
    tra.rec.ACCTNUM = 1;
    tra.rec.TRANSDATE = 200;
    tra.set(Trans::Acct_Key);
    EXPECT_EQ(walk(tra), QStringList({"1@200", "1@100a", "1@100b", "2@100", "2@50"}));

    // Account, date ascending: from (1, 0) forward visits the history oldest first.
    tra.clear();
    tra.rec.ACCTNUM = 1;
    tra.set(Trans::AcctDateRevKey);
    EXPECT_EQ(walk(tra), QStringList({"1@100a", "1@100b", "1@200", "1@300", "2@50", "2@100"}));

    // Backwards from the end: the exact reverse, duplicates in reverse order of entry.
    tra.setStart(Trans::AcctDateRevKey);
    EXPECT_EQ(walk(tra, false), QStringList({"2@100", "2@50", "1@300", "1@200", "1@100b", "1@100a"}));

    // Previous from a position reads that position and what lies before it.
    tra.clear();
    tra.rec.ACCTNUM = 1;
    tra.rec.TRANSDATE = 200;
    tra.set(Trans::AcctDateRevKey);
    EXPECT_EQ(walk(tra, false), QStringList({"1@200", "1@100b", "1@100a"}));

    // Only the account given: the whole account, newest first.
    tra.clear();
    tra.rec.ACCTNUM = 2;
    tra.set(Trans::Acct_Key, 1);
    EXPECT_EQ(walk(tra), QStringList({"2@100", "2@50"}));
}

TEST_F(Storage, LongWalksCrossReadChunksAndTurnAround) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    storage::Transaction t(*db);
    for (int i = 1; i <= 300; ++i) addTrans(tra, 7, i, "1", QString::number(i));
    addTrans(tra, 8, 1, "1", "other");
    ASSERT_TRUE(t.commit());

    tra.clear();
    tra.rec.ACCTNUM = 7;
    tra.set(Trans::AcctDateRevKey);
    int expected = 1, n = 0;
    while (tra.next() && tra.rec.ACCTNUM == 7) {
        ASSERT_EQ(tra.rec.TRANSDATE, expected++);
        ++n;
    }
    EXPECT_EQ(n, 300);

    // Next, next, previous: back on the record before, not on the read-ahead.
    tra.clear();
    tra.rec.ACCTNUM = 7;
    tra.rec.TRANSDATE = 100;
    tra.set(Trans::AcctDateRevKey);
    ASSERT_TRUE(tra.next());
    ASSERT_TRUE(tra.next());
    EXPECT_EQ(tra.rec.TRANSDATE, 101);
    ASSERT_TRUE(tra.previous());
    EXPECT_EQ(tra.rec.TRANSDATE, 100);
    ASSERT_TRUE(tra.previous());
    EXPECT_EQ(tra.rec.TRANSDATE, 99);
    ASSERT_TRUE(tra.next());
    EXPECT_EQ(tra.rec.TRANSDATE, 100);

    // The end of the file is reported as such.
    tra.setStart(Trans::Acct_Key);
    ASSERT_TRUE(tra.previous());
    EXPECT_EQ(tra.rec.DESC, "other");
    tra.clear();
    tra.rec.ACCTNUM = 9;
    tra.set(Trans::Acct_Key);
    EXPECT_FALSE(tra.next());
    EXPECT_EQ(storage::lastError().code, storage::RecordNotFound);
}

TEST_F(Storage, UpperCaseKeysIgnoreCaseForOrderAndPosition) {
    DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    const char *names[] = {"smith", "ADAMS", "Smith", "baker", "Smithers"};
    for (int i = 0; i < 5; ++i) {
        mem.clear();
        mem.rec.ACCTNUM = i + 1;
        mem.rec.LASTNAME = names[i];
        ASSERT_TRUE(mem.add());
    }
    mem.setStart(MemberCU::Name_Key);
    QStringList order;
    while (mem.next()) order << mem.rec.LASTNAME;
    EXPECT_EQ(order, QStringList({"ADAMS", "baker", "smith", "Smith", "Smithers"}));

    // A locator: the first record at or after the typed text.
    mem.clear();
    mem.rec.LASTNAME = "SMI";
    mem.set(MemberCU::Name_Key, 1);
    ASSERT_TRUE(mem.next());
    EXPECT_EQ(mem.rec.LASTNAME, "smith");

    // Get by an upper-case key finds whatever case was stored.
    mem.clear();
    mem.rec.LASTNAME = "BAKER";
    ASSERT_TRUE(mem.get(MemberCU::Name_Key));
    EXPECT_EQ(mem.rec.ACCTNUM, 4);
    // The account key is exact.
    mem.clear();
    mem.rec.ACCTNUM = 99;
    EXPECT_FALSE(mem.get(MemberCU::AcctNum_Key));
    EXPECT_EQ(storage::lastError().code, storage::RecordNotFound);
}

TEST_F(Storage, APutNeverOverwritesAnotherStationsChange) {
    auto second = openSecond();
    ASSERT_TRUE(second);
    DataFile<Contractor> mine(*db), theirs(*second);
    ASSERT_TRUE(mine.open());
    ASSERT_TRUE(theirs.open());
    mine.rec.AUTONUM = 1;
    mine.rec.NAME = "ABC Builders";
    ASSERT_TRUE(mine.add());

    theirs.rec.AUTONUM = 1;
    ASSERT_TRUE(theirs.get(Contractor::AutoNum_Key));
    ASSERT_TRUE(mine.get(Contractor::AutoNum_Key));
    theirs.rec.CITY = "Chicago";
    ASSERT_TRUE(theirs.put());

    mine.rec.CITY = "Peoria";
    EXPECT_FALSE(mine.put());
    EXPECT_EQ(storage::lastError().code, storage::RecordChanged);
    EXPECT_EQ(storage::lastError().text, "Record Changed By Another Station");
    ASSERT_TRUE(mine.reget());
    EXPECT_EQ(mine.rec.CITY, "Chicago");
    // Having seen their version, my change goes through.
    mine.rec.CITY = "Peoria";
    EXPECT_TRUE(mine.put());

    // A record deleted elsewhere can be neither rewritten nor deleted.
    ASSERT_TRUE(theirs.reget());
    ASSERT_TRUE(theirs.remove());
    mine.rec.CITY = "Joliet";
    EXPECT_FALSE(mine.put());
    EXPECT_EQ(storage::lastError().code, storage::RecordChanged);
    EXPECT_FALSE(mine.remove());
    EXPECT_EQ(mine.count(), 0);
}

TEST_F(Storage, FieldsKeepTheirWidthsAndPlaces) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    tra.rec.ACCTNUM = 5;
    tra.rec.TRANSAMOUNT = Decimal::fromString("1234567890123.45");
    tra.rec.USERID = "MGRX";
    tra.rec.DESC = "Deposit   ";
    ASSERT_TRUE(tra.add());
    tra.rec.TRANSAMOUNT = Decimal::fromString("-0.005"); // stored rounded to the field's places
    ASSERT_TRUE(tra.put());
    tra.clear();
    tra.rec.ACCTNUM = 5;
    tra.set(Trans::Acct_Key, 1);
    ASSERT_TRUE(tra.next());
    EXPECT_EQ(tra.rec.TRANSAMOUNT.toString(), "-0.01");
    EXPECT_EQ(tra.rec.USERID, "MGR");
    EXPECT_EQ(tra.rec.DESC, "Deposit");

    tra.rec.TRANSAMOUNT = Decimal::fromString("1234567890123.45");
    ASSERT_TRUE(tra.put());
    ASSERT_TRUE(tra.reget());
    EXPECT_EQ(tra.rec.TRANSAMOUNT.toString(), "1234567890123.45");
    QSqlQuery q(db->sql());
    ASSERT_TRUE(q.exec(QString("SELECT \"TRANSAMOUNT\", %1(\"TRANSAMOUNT\") FROM \"Trans\"")
                           .arg(db->isSqlite() ? "typeof" : "pg_typeof")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), 123456789012345LL); // cents, as an integer
    EXPECT_EQ(q.value(1).toString(), db->isSqlite() ? "integer" : "bigint");
}

TEST_F(Storage, BatchesAreAllOrNothing) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    {
        storage::Transaction t(*db);
        for (int i = 0; i < 3; ++i) addTrans(tra, 1, 10, "5.00");
        // no commit: the batch is rolled back
    }
    EXPECT_EQ(tra.count(), 0);
    {
        storage::Transaction outer(*db);
        addTrans(tra, 1, 10, "5.00");
        {
            storage::Transaction inner(*db);
            addTrans(tra, 1, 11, "6.00");
        }
        EXPECT_FALSE(outer.commit()); // the inner failure spoils the whole batch
    }
    EXPECT_EQ(tra.count(), 0);
    {
        storage::Transaction t(*db);
        addTrans(tra, 1, 10, "5.00");
        addTrans(tra, 1, 11, "6.00");
        EXPECT_TRUE(t.commit());
    }
    auto second = openSecond();
    DataFile<Trans> other(*second);
    ASSERT_TRUE(other.open());
    EXPECT_EQ(other.count(), 2);
}

TEST_F(Storage, UniqueKeysRefuseDuplicatesAndUsersAreCounted) {
    DataFile<TransDesc> a(*db), b(*db);
    ASSERT_TRUE(a.open());
    ASSERT_TRUE(b.open());
    EXPECT_EQ(db->users("TransDesc"), 2);
    a.rec = {1, "Deposit", 1};
    ASSERT_TRUE(a.add());
    b.rec = {1, "Other", 0};
    EXPECT_FALSE(b.add());
    EXPECT_EQ(storage::lastError().code, storage::DuplicateKey);
    b.close();
    EXPECT_EQ(db->users("TransDesc"), 1);
    a.close();
    EXPECT_EQ(db->users("TransDesc"), 0);
    EXPECT_FALSE(a.add());
    EXPECT_EQ(storage::lastError().code, storage::FileNotOpen);

    ASSERT_TRUE(a.open());
    EXPECT_EQ(a.count(), 1);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.count(), 0);
}

TEST_F(Storage, APutWritesOnlyWhatChangedSinceTheRecordWasRead) {
    // The statement is the same on a server; the trigger that watches it is SQLite's.
    if (!db->isSqlite()) GTEST_SKIP() << "watched by a SQLite trigger";
    DataFile<Contractor> con(*db);
    ASSERT_TRUE(con.open());
    for (int i = 1; i <= 2; ++i) {
        con.clear();
        con.rec.AUTONUM = i;
        con.rec.NAME = QString("Contractor %1").arg(i);
        ASSERT_TRUE(con.add());
    }
    ASSERT_TRUE(db->exec("CREATE TABLE written (what TEXT)"));
    ASSERT_TRUE(db->exec("CREATE TRIGGER name_written AFTER UPDATE OF \"NAME\" ON \"Contractor\" "
                         "BEGIN INSERT INTO written VALUES (NEW.\"NAME\"); END"));
    auto writtenNames = [&] {
        QSqlQuery q(db->sql());
        q.exec("SELECT COUNT(*) FROM written");
        q.next();
        return q.value(0).toInt();
    };
    con.rec.AUTONUM = 1;
    ASSERT_TRUE(con.get(Contractor::AutoNum_Key));
    con.rec.CITY = "Peoria";
    ASSERT_TRUE(con.put());
    EXPECT_EQ(writtenNames(), 0); // the name was not rewritten
    con.rec.NAME = "Renamed";
    ASSERT_TRUE(con.put());
    EXPECT_EQ(writtenNames(), 1);

    // A buffer that was filled by hand for another record writes every field.
    storage::Table &t = con.table();
    ASSERT_TRUE(t.getPosition(1));
    qint64 version2 = 0;
    {
        DataFile<Contractor> other(*db);
        ASSERT_TRUE(other.open());
        ASSERT_TRUE(other.getPosition(2));
        version2 = other.table().version;
        t.row = other.table().row;
    }
    t.pos = 2;
    t.version = version2;
    t.row[Contractor::layout().def().fieldIndex("CITY")] = "Joliet";
    ASSERT_TRUE(t.put());
    EXPECT_EQ(writtenNames(), 2);
    ASSERT_TRUE(con.getPosition(2));
    EXPECT_EQ(con.rec.NAME, "Contractor 2");
    EXPECT_EQ(con.rec.CITY, "Joliet");
    ASSERT_TRUE(con.getPosition(1));
    EXPECT_EQ(con.rec.NAME, "Renamed");
    EXPECT_EQ(con.rec.CITY, "Peoria");
}
