// Adding records: what the buffer holds is stored as its fields' types and widths say, read back
// exactly, and the buffer shows what was stored; an add goes on working across a bulk load that
// drops and rebuilds the keys.
#include "../support/tempdata.h"
#include "data/records.h"

#include <QSqlQuery>

using storage::DataFile;

namespace {
class Inserts : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : {&Trans::layout().def(), &Withdraw::layout().def(),
                                            &MemberCU::layout().def()})
            ASSERT_TRUE(db->create(*def));
    }
    // The stored column of the only record of a file, with its SQL type.
    QPair<QVariant, QString> stored(const QString &file, const QString &column) {
        QSqlQuery q(db->sql());
        EXPECT_TRUE(q.exec(QString("SELECT %1, typeof(%1) FROM %2").arg(storage::sqlName(column), storage::sqlName(file))));
        EXPECT_TRUE(q.next());
        return {q.value(0), q.value(1).toString()};
    }
};
} // namespace

TEST_F(Inserts, TextIsStoredClippedToItsWidthAndReadBackExactly) {
    if (!db->isSqlite()) GTEST_SKIP() << "reads the stored types through SQLite's typeof()";
    DataFile<Withdraw> wit(*db);
    ASSERT_TRUE(wit.open());
    // Letters outside Latin-1, a character of two UTF-16 units, and a memo far longer than a page.
    const QString memo = QString("Zoë Łukasz 😀 € 中文 ").repeated(5000) + "end";
    wit.rec.CODE = "Ł  ";
    wit.rec.DESCRIPTION = QString("ü").repeated(250); // wider than the field
    wit.rec.IRSCODE = QString();                       // nothing at all
    wit.rec.Instructions = memo;
    ASSERT_TRUE(wit.add()) << storage::lastErrorText().toStdString();
    const int width = Withdraw::layout().def().fields[Withdraw::layout().def().fieldIndex("DESCRIPTION")].size;
    // The buffer shows what was stored, before any read.
    EXPECT_EQ(wit.rec.CODE, "Ł");
    EXPECT_EQ(wit.rec.DESCRIPTION, QString("ü").repeated(width));
    EXPECT_EQ(stored("Withdraw", "IRSCODE"), qMakePair(QVariant(QString("")), QString("text"))) << "never NULL";
    EXPECT_EQ(stored("Withdraw", "CODE").first.toString(), "Ł");

    wit.clear();
    ASSERT_TRUE(wit.first());
    EXPECT_EQ(wit.rec.CODE, "Ł");
    EXPECT_EQ(wit.rec.DESCRIPTION, QString("ü").repeated(width));
    EXPECT_EQ(wit.rec.IRSCODE, "");
    EXPECT_EQ(wit.rec.Instructions, memo);
}

TEST_F(Inserts, NumbersAreStoredAsTheirFieldsTypes) {
    if (!db->isSqlite()) GTEST_SKIP() << "reads the stored types through SQLite's typeof()";
    storage::Table t(*db, MemberCU::layout().def());
    ASSERT_TRUE(t.open());
    const storage::FileDef &def = MemberCU::layout().def();
    t.row[def.fieldIndex("ACCTNUM")] = QVariant(qint64(0x100000007LL)); // a Long keeps 32 bits
    t.row[def.fieldIndex("LOCALCODE")] = QString("565");                // numbers in text are read
    t.row[def.fieldIndex("WITHDRAWALFLAG")] = 300;                      // a Byte keeps 8 bits
    ASSERT_TRUE(t.add());
    EXPECT_EQ(t.row[def.fieldIndex("ACCTNUM")].toInt(), 7);
    EXPECT_EQ(t.row[def.fieldIndex("WITHDRAWALFLAG")].toInt(), 44);
    EXPECT_EQ(stored("MemberCU", "ACCTNUM"), qMakePair(QVariant(qint64(7)), QString("integer")));
    EXPECT_EQ(stored("MemberCU", "LOCALCODE").first.toInt(), 565);
    EXPECT_EQ(stored("MemberCU", "WITHDRAWALFLAG").first.toInt(), 44);

    t.row[def.fieldIndex("WITHDRAWALFLAG")] = -1;
    ASSERT_TRUE(t.add());
    EXPECT_EQ(t.row[def.fieldIndex("WITHDRAWALFLAG")].toInt(), 255);
}

TEST_F(Inserts, PositionsAndVersionsOfAddedRecordsServeTheNextPut) {
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    QList<qint64> positions;
    for (int i = 1; i <= 3; ++i) {
        tra.clear();
        tra.rec.ACCTNUM = i;
        tra.rec.TRANSAMOUNT = Decimal::fromCents(100 * i);
        tra.rec.DESC = QString("ADDED %1").arg(i);
        ASSERT_TRUE(tra.add());
        positions << tra.position();
    }
    EXPECT_LT(positions[0], positions[1]);
    EXPECT_LT(positions[1], positions[2]);
    // The record just added is put at once: only its changed field is written, and it is found
    // at its own position.
    tra.rec.DESC = "CHANGED";
    ASSERT_TRUE(tra.put());
    ASSERT_TRUE(tra.getPosition(positions[2]));
    EXPECT_EQ(tra.rec.DESC, "CHANGED");
    EXPECT_EQ(tra.rec.TRANSAMOUNT, Decimal::fromCents(300));
    ASSERT_TRUE(tra.getPosition(positions[0]));
    EXPECT_EQ(tra.rec.DESC, "ADDED 1");
}

TEST_F(Inserts, AddingGoesOnAcrossKeysDroppedAndRebuiltAndAReopenedFile) {
    const storage::FileDef &def = Trans::layout().def();
    DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    auto add = [&](qint32 acct, qint32 date) {
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        return tra.add();
    };
    storage::Transaction batch(*db);
    ASSERT_TRUE(add(2, 20));
    ASSERT_TRUE(db->dropKeys(def));
    ASSERT_TRUE(add(1, 10));
    ASSERT_TRUE(add(2, 10));
    ASSERT_TRUE(db->rebuildKeys(def));
    ASSERT_TRUE(add(1, 5));
    tra.close();
    ASSERT_TRUE(tra.open());
    ASSERT_TRUE(add(3, 1));
    ASSERT_TRUE(batch.commit());
    EXPECT_TRUE(db->keysValid(def));

    QStringList order;
    tra.setStart(Trans::AcctDateRevKey);
    while (tra.next()) order << QString("%1/%2").arg(tra.rec.ACCTNUM).arg(tra.rec.TRANSDATE);
    EXPECT_FALSE(tra.failed());
    EXPECT_EQ(order, QStringList({"1/5", "1/10", "2/10", "2/20", "3/1"}));
}

TEST_F(Inserts, ARefusedAddLeavesTheBufferAndTheStatementUsable) {
    DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    ASSERT_TRUE(db->exec("CREATE UNIQUE INDEX only_one ON \"MemberCU\" (\"ACCTNUM\")"));
    mem.rec.ACCTNUM = 1;
    mem.rec.LASTNAME = "FIRST   ";
    ASSERT_TRUE(mem.add());
    mem.rec.LASTNAME = "SECOND   ";
    EXPECT_FALSE(mem.add());
    EXPECT_EQ(storage::lastError().code, storage::DuplicateKey);
    EXPECT_EQ(mem.rec.LASTNAME, "SECOND   ") << "a refused record is left as it was given";
    mem.rec.ACCTNUM = 2;
    ASSERT_TRUE(mem.add());
    EXPECT_EQ(mem.rec.LASTNAME, "SECOND");
    EXPECT_EQ(mem.count(), 2);
}
