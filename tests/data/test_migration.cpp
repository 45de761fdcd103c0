// A fund written by an earlier program opens with this one: its stored layout is brought up to
// date step by step, in one transaction, keeping every value; a newer fund is still refused.
#include "data/records.h"
#include "platform/storage/faults.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The fund settings as the first layout stored them: without the two IRIS codes at the end.
storage::FileDef firstSettingsLayout() {
    storage::FileDef def = CUInfo::layout().def();
    for (const char *added : {"SOFTWAREID", "IRISTCC"}) {
        EXPECT_EQ(def.fields.last().name, added);
        def.recordSize -= def.fields.takeLast().size;
    }
    return def;
}

CUInfo settings() {
    CUInfo c;
    c.NAME = "LOCAL 99 RETIREMENT FUND";
    c.ADDRESS1 = "100 MAIN ST";
    c.ADDRESS2 = "SUITE 4";
    c.CITY = "SPRINGFIELD";
    c.STATE = "IL";
    c.ZIP = "62701-1234";
    c.PHONE = "(217)555-0199";
    c.ADMINFEE = Decimal::fromString("25.00");
    c.TAXPERC = 20;
    c.EIN = "123456789";
    c.MANAGER = "MARY MANAGER";
    c.YEARFOR1099 = "2025";
    c.TESTFILEFOR1099 = 1;
    c.TRANSCODE = "8A123";
    c.EMAILADDRESS = "office@local99.example.org";
    c.DORMANTAMOUNT = Decimal::fromString("1234.56");
    return c;
}

class Migration : public ::testing::Test {
protected:
    // A fund of schema 1 as the earlier program left it: the settings record and one member.
    void writeFirstLayoutFund(bool withSettings = true) {
        auto db = storage::Database::open(dir.path());
        ASSERT_TRUE(db);
        if (withSettings) {
            const storage::FileDef old = firstSettingsLayout();
            ASSERT_TRUE(db->create(old));
            storage::Table cui(*db, old);
            ASSERT_TRUE(cui.open());
            CUInfo::layout().toRow(settings(), cui.row);
            cui.row.resize(old.fields.size());
            ASSERT_TRUE(cui.add());
        }
        ASSERT_TRUE(db->create(MemberCU::layout().def()));
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.rec.ACCTNUM = 4711;
        mem.rec.LASTNAME = "SMITH";
        ASSERT_TRUE(mem.add());
        ASSERT_TRUE(db->exec("UPDATE pension_meta SET value = '1' WHERE name = 'schema_version'"));
    }
    QStringList columns(storage::Database &db, const QString &table) {
        QStringList out;
        const QSqlRecord r = db.sql().record(table);
        for (int i = 0; i < r.count(); ++i) out << r.fieldName(i);
        return out;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(Migration, TheFirstLayoutsSettingsOpenWithEveryValueAndTheNewCodesBlank) {
    writeFirstLayoutFund();
    auto db = storage::Database::open(dir.path(), storage::Database::MustExist);
    ASSERT_TRUE(db) << storage::lastErrorText().toStdString();
    EXPECT_EQ(db->schemaVersion(), storage::Database::SchemaVersion);
    EXPECT_TRUE(db->recordDeclarationMatches(CUInfo::layout().def()));
    EXPECT_TRUE(db->keysValid(CUInfo::layout().def()));

    storage::DataFile<CUInfo> cui(*db);
    ASSERT_TRUE(cui.open());
    ASSERT_TRUE(cui.first());
    storage::Row expected;
    CUInfo::layout().toRow(settings(), expected);
    const storage::FileDef &def = CUInfo::layout().def();
    ASSERT_EQ(cui.table().row.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(cui.table().row[i].toString(), expected[i].toString()) << def.fields[i].name.toStdString();
    EXPECT_EQ(cui.rec.IRISTCC, "");
    EXPECT_EQ(cui.rec.SOFTWAREID, "");
    EXPECT_FALSE(cui.next()) << "still the one settings record";

    // The new codes are written and read like any other setting.
    cui.rec.IRISTCC = "DG5AB";
    cui.rec.SOFTWAREID = "25A0001234";
    ASSERT_TRUE(cui.put());
    ASSERT_TRUE(cui.first());
    EXPECT_EQ(cui.rec.IRISTCC, "DG5AB");
    EXPECT_EQ(cui.rec.SOFTWAREID, "25A0001234");

    // Nothing else changed: the member is there as it was.
    storage::DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    ASSERT_TRUE(mem.first());
    EXPECT_EQ(mem.rec.ACCTNUM, 4711);
    EXPECT_EQ(mem.rec.LASTNAME, "SMITH");
    EXPECT_EQ(columns(*db, "MemberCU").size(), MemberCU::layout().def().fields.size() + 2);
}

TEST_F(Migration, AFundThatNeverStoredItsSettingsOrAlreadyHasTheCodesMigratesToo) {
    writeFirstLayoutFund(false);
    {
        auto db = storage::Database::open(dir.path(), storage::Database::MustExist);
        ASSERT_TRUE(db) << storage::lastErrorText().toStdString();
        EXPECT_EQ(db->schemaVersion(), storage::Database::SchemaVersion);
        EXPECT_FALSE(db->exists(CUInfo::layout().def()));
        // Made now, in the new layout; then marked as of the first schema again.
        ASSERT_TRUE(db->create(CUInfo::layout().def()));
        ASSERT_TRUE(db->exec("UPDATE pension_meta SET value = '1' WHERE name = 'schema_version'"));
    }
    auto db = storage::Database::open(dir.path(), storage::Database::MustExist);
    ASSERT_TRUE(db) << storage::lastErrorText().toStdString();
    EXPECT_EQ(db->schemaVersion(), storage::Database::SchemaVersion);
    EXPECT_TRUE(db->recordDeclarationMatches(CUInfo::layout().def()));
}

TEST_F(Migration, ANewerFundIsStillRefusedAndLeftAsItIs) {
    writeFirstLayoutFund();
    {
        auto db = storage::Database::open(dir.path(), storage::Database::MustExist);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec(QString("UPDATE pension_meta SET value = '%1' WHERE name = 'schema_version'")
                                 .arg(storage::Database::SchemaVersion + 1)));
    }
    EXPECT_FALSE(storage::Database::open(dir.path(), storage::Database::MustExist));
    EXPECT_EQ(storage::lastError().code, storage::InvalidRecordDeclaration);
    EXPECT_TRUE(storage::lastErrorText().contains("newer program")) << storage::lastErrorText().toStdString();
}

TEST_F(Migration, AMigrationThatCannotBeginChangesNothing) {
    writeFirstLayoutFund();
    storage::faults::refuseBegin();
    EXPECT_FALSE(storage::Database::open(dir.path(), storage::Database::MustExist));
    EXPECT_EQ(storage::lastError().code, storage::FileLocked);

    // Looked at past the program: still the first schema, the settings still without the codes.
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
        raw.setDatabaseName(dir.filePath(storage::Database::FileName));
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec("SELECT value FROM pension_meta WHERE name = 'schema_version'") && q.next());
        EXPECT_EQ(q.value(0).toString(), "1");
        EXPECT_EQ(raw.record("CUInfo").indexOf("IRISTCC"), -1);
        raw.close();
    }
    QSqlDatabase::removeDatabase("raw");

    // The next start migrates.
    auto db = storage::Database::open(dir.path(), storage::Database::MustExist);
    ASSERT_TRUE(db) << storage::lastErrorText().toStdString();
    EXPECT_EQ(db->schemaVersion(), storage::Database::SchemaVersion);
}

// The second layout's transactions: the account/date key carried nothing but its order.
TEST_F(Migration, TheAccountKeyOfTheSecondLayoutCarriesTypesAndAmountsAfterwards) {
    auto indexColumns = [](storage::Database &db) {
        QStringList out;
        QSqlQuery q(db.sql());
        EXPECT_TRUE(q.exec("PRAGMA index_xinfo(\"Trans_Acct_Key\")"));
        while (q.next())
            if (q.value(5).toInt() == 1) out << q.value(2).toString();
        return out;
    };
    const QList<std::tuple<qint32, qint32, qint32, qint64>> written{
        {1001, 20000, TransType::Payroll, 12345}, {1001, 20031, TransType::Dividend, 678},
        {1001, 20100, TransType::Withdrawal, -5000}, {1002, 20000, TransType::Payroll, 1}};
    {
        auto db = storage::Database::open(dir.path());
        ASSERT_TRUE(db);
        storage::FileDef second = Trans::layout().def();
        const int acctKey = second.keyIndex("Acct_Key");
        ASSERT_FALSE(second.keys[acctKey].include.isEmpty());
        second.keys[acctKey].include.clear();
        ASSERT_TRUE(db->create(second));
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        for (const auto &[acct, date, type, cents] : written) {
            tra.clear();
            tra.rec.ACCTNUM = acct;
            tra.rec.TRANSDATE = date;
            tra.rec.TRANSTYPE = type;
            tra.rec.TRANSAMOUNT = Decimal::fromCents(cents);
            tra.rec.DESC = "KEPT";
            ASSERT_TRUE(tra.add());
        }
        EXPECT_FALSE(indexColumns(*db).contains("TRANSTYPE"));
        ASSERT_TRUE(db->exec("UPDATE pension_meta SET value = '2' WHERE name = 'schema_version'"));
    }
    auto db = storage::Database::open(dir.path(), storage::Database::MustExist);
    ASSERT_TRUE(db) << storage::lastErrorText().toStdString();
    EXPECT_EQ(db->schemaVersion(), storage::Database::SchemaVersion);
    EXPECT_TRUE(db->keysValid(Trans::layout().def()));
    EXPECT_EQ(indexColumns(*db), (QStringList{"ACCTNUM", "TRANSDATE", "rec_pos", "TRANSTYPE", "TRANSAMOUNT"}));

    // An account's types and amounts are read from the index alone.
    QSqlQuery plan(db->sql());
    ASSERT_TRUE(plan.exec("EXPLAIN QUERY PLAN SELECT \"TRANSTYPE\", \"TRANSAMOUNT\" FROM \"Trans\" "
                          "INDEXED BY \"Trans_Acct_Key\" WHERE \"ACCTNUM\" = 1001"));
    QString steps;
    while (plan.next()) steps += plan.value(3).toString() + "\n";
    EXPECT_TRUE(steps.contains("COVERING INDEX")) << steps.toStdString();

    // Every record is there as it was, in the key's order (newest first within an account).
    storage::DataFile<Trans> tra(*db);
    ASSERT_TRUE(tra.open());
    tra.setStart(Trans::Acct_Key);
    for (int i : {2, 1, 0, 3}) {
        ASSERT_TRUE(tra.next());
        const auto &[acct, date, type, cents] = written[i];
        EXPECT_EQ(tra.rec.ACCTNUM, acct);
        EXPECT_EQ(tra.rec.TRANSDATE, date);
        EXPECT_EQ(tra.rec.TRANSTYPE, type);
        EXPECT_EQ(tra.rec.TRANSAMOUNT.unitsAt(2), cents);
        EXPECT_EQ(tra.rec.DESC, "KEPT");
    }
    EXPECT_FALSE(tra.next());
    EXPECT_FALSE(tra.failed());
}
