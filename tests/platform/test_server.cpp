// The fund on a database server beside the SQLite file: a duplicate inside a batch, key order,
// another station's lock, and a connection that drops in the middle of a batch. The tests that
// need the server skip without one (PENSION_TEST_PG, see tests/scripts/pgserver.sh).
#include "../support/tempdata.h"
#include "../support/testserver.h"
#include "data/records.h"

#include <QSqlQuery>

using storage::DataFile;

namespace {
class Server : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
    }
    static bool addDesc(DataFile<TransDesc> &f, qint32 code, const QString &desc) {
        f.clear();
        f.rec.TRANSCODE = code;
        f.rec.TRANSDESC = desc;
        return f.add();
    }
    // The record order of a key, read through the storage code.
    template <class R, class Field>
    static QStringList walk(DataFile<R> &f, storage::Key<R> key, Field field) {
        QStringList out;
        f.clear();
        f.setStart(key);
        while (f.next()) out << f.rec.*field;
        EXPECT_FALSE(f.failed());
        return out;
    }
};

const QStringList kNames{"zebra", "Zoë", "apple", "Apple", "APPLE", "Émile", "emile", "éclair", "Åsa",
                         "a b", "a-b", "a_b", "10", "9", "Ab", "aB", "O'Brien", "o'brien", "Ørsted", "~tilde"};
} // namespace

TEST_F(Server, ADuplicateInsideABatchIsRefusedAndTheBatchGoesOn) {
    DataFile<TransDesc> desc(*db);
    ASSERT_TRUE(desc.open());
    {
        storage::Transaction batch(*db);
        ASSERT_TRUE(addDesc(desc, 1, "Deposit"));
        EXPECT_FALSE(addDesc(desc, 1, "Deposit again"));
        EXPECT_EQ(storage::lastError().code, storage::DuplicateKey);
        EXPECT_EQ(desc.position(), 0);
        EXPECT_TRUE(batch.active());
        // The batch still reads and writes, and commits what it wrote.
        desc.rec.TRANSCODE = 1;
        ASSERT_TRUE(desc.get(TransDesc::TransCode_Key));
        EXPECT_EQ(desc.rec.TRANSDESC, "Deposit");
        EXPECT_TRUE(addDesc(desc, 2, "Withdrawal"));
        EXPECT_TRUE(batch.commit()) << storage::lastErrorText().toStdString();
    }
    EXPECT_EQ(desc.count(), 2);
}

TEST_F(Server, KeysOrderNamesByteByByteOnEitherEngine) {
    DataFile<Contractor> con(*db);
    DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(con.open());
    ASSERT_TRUE(mem.open());
    for (int i = 0; i < kNames.size(); ++i) {
        con.clear();
        con.rec.AUTONUM = i + 1;
        con.rec.NAME = kNames[i];
        ASSERT_TRUE(con.add());
        mem.clear();
        mem.rec.ACCTNUM = i + 1;
        mem.rec.SSNUM = kNames[i];
        ASSERT_TRUE(mem.add());
    }
    const QStringList upper = walk(con, Contractor::Name_Key, &Contractor::NAME);
    const QStringList exact = walk(mem, MemberCU::SSNum_Key, &MemberCU::SSNUM);
    // Byte order: capitals before small letters, accented letters after every ASCII one; an
    // upper-case key folds ASCII letters only and keeps duplicates in their order of entry.
    EXPECT_EQ(exact.mid(0, 5), (QStringList{"10", "9", "APPLE", "Ab", "Apple"}));
    EXPECT_EQ(exact.mid(exact.size() - 4), (QStringList{"Åsa", "Émile", "Ørsted", "éclair"}));
    EXPECT_EQ(upper.mid(0, 10), (QStringList{"10", "9", "a b", "a-b", "Ab", "aB", "apple", "Apple", "APPLE", "a_b"}));
    if (!TestServer::active()) return;

    // The same records in a SQLite fund come out in exactly the same orders.
    QTemporaryDir other;
    auto file = storage::Database::open(storage::Location::sqlite(other.path()));
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->create(Contractor::layout().def()));
    ASSERT_TRUE(file->create(MemberCU::layout().def()));
    DataFile<Contractor> con2(*file);
    DataFile<MemberCU> mem2(*file);
    ASSERT_TRUE(con2.open());
    ASSERT_TRUE(mem2.open());
    for (int i = 0; i < kNames.size(); ++i) {
        con2.clear();
        con2.rec.AUTONUM = i + 1;
        con2.rec.NAME = kNames[i];
        ASSERT_TRUE(con2.add());
        mem2.clear();
        mem2.rec.ACCTNUM = i + 1;
        mem2.rec.SSNUM = kNames[i];
        ASSERT_TRUE(mem2.add());
    }
    EXPECT_EQ(walk(con2, Contractor::Name_Key, &Contractor::NAME), upper);
    EXPECT_EQ(walk(mem2, MemberCU::SSNum_Key, &MemberCU::SSNUM), exact);
    // Positioning by a key value lands on the same record, too.
    for (auto *f : {&con, &con2}) {
        f->clear();
        f->rec.NAME = "emile";
        f->set(Contractor::Name_Key);
        ASSERT_TRUE(f->next());
        EXPECT_EQ(f->rec.NAME, "emile");
        ASSERT_TRUE(f->next());
        EXPECT_EQ(f->rec.NAME, "O'Brien");
    }
}

TEST_F(Server, ARecordAnotherStationHoldsIsRefusedAsLocked) {
    if (!TestServer::active()) GTEST_SKIP() << "needs a database server (PENSION_TEST_PG)";
    DataFile<Contractor> con(*db);
    ASSERT_TRUE(con.open());
    con.rec.AUTONUM = 1;
    con.rec.NAME = "Acme";
    ASSERT_TRUE(con.add());
    auto second = openSecond();
    ASSERT_TRUE(second);
    // The other station gives up soon rather than after the usual wait.
    ASSERT_TRUE(second->exec("SET lock_timeout = 200"));
    DataFile<Contractor> other(*second);
    ASSERT_TRUE(other.open());
    other.rec.AUTONUM = 1;
    ASSERT_TRUE(other.get(Contractor::AutoNum_Key));

    storage::Transaction mine(*db);
    con.rec.CITY = "Peoria";
    ASSERT_TRUE(con.put());
    {
        storage::Transaction theirs(*second);
        other.rec.CITY = "Joliet";
        EXPECT_FALSE(other.put());
        EXPECT_EQ(storage::lastError().code, storage::FileLocked);
        // Their batch is refused from there on, and says why.
        EXPECT_FALSE(theirs.active());
        EXPECT_EQ(theirs.error().code, storage::FileLocked);
        EXPECT_FALSE(theirs.commit());
    }
    ASSERT_TRUE(mine.commit());
    // Once our batch is in, theirs sees that the record changed under it.
    EXPECT_FALSE(other.put());
    EXPECT_EQ(storage::lastError().code, storage::RecordChanged);
    ASSERT_TRUE(other.reget());
    EXPECT_EQ(other.rec.CITY, "Peoria");
}

TEST_F(Server, AConnectionDroppedInTheMiddleOfABatchWritesNothing) {
    if (!TestServer::active()) GTEST_SKIP() << "needs a database server (PENSION_TEST_PG)";
    DataFile<TransDesc> desc(*db);
    ASSERT_TRUE(desc.open());
    ASSERT_TRUE(addDesc(desc, 100, "Before"));
    QSqlQuery pid(db->sql());
    ASSERT_TRUE(pid.exec("SELECT pg_backend_pid()") && pid.next());
    {
        storage::Transaction batch(*db);
        ASSERT_TRUE(addDesc(desc, 1, "One"));
        ASSERT_TRUE(addDesc(desc, 2, "Two"));
        QString why;
        ASSERT_TRUE(TestServer::admin(QString("SELECT pg_terminate_backend(%1)").arg(pid.value(0).toInt()), &why))
            << why.toStdString();
        EXPECT_FALSE(addDesc(desc, 3, "Three"));
        EXPECT_EQ(storage::lastError().code, storage::ConnectionLost);
        EXPECT_TRUE(storage::lastErrorText().startsWith("the connection to the database server was lost"))
            << storage::lastErrorText().toStdString();
        EXPECT_FALSE(batch.active());
        EXPECT_FALSE(addDesc(desc, 4, "Four"));
        EXPECT_EQ(storage::lastError().code, storage::ConnectionLost);
        EXPECT_FALSE(batch.commit());
        EXPECT_EQ(batch.error().code, storage::ConnectionLost);
    }
    EXPECT_FALSE(db->inTransaction());
    // A read is a failure too, not an empty file.
    desc.clear();
    desc.setStart(TransDesc::TransCode_Key);
    EXPECT_FALSE(desc.next());
    EXPECT_TRUE(desc.failed());
    EXPECT_EQ(storage::lastError().code, storage::ConnectionLost);

    auto second = openSecond();
    ASSERT_TRUE(second);
    DataFile<TransDesc> check(*second);
    ASSERT_TRUE(check.open());
    EXPECT_EQ(check.count(), 1);
    check.clear();
    check.rec.TRANSCODE = 100;
    EXPECT_TRUE(check.get(TransDesc::TransCode_Key));
}
