// Stretches of a key read by one prepared statement: bounds, order, the filter, the fields read,
// reuse with new values, the whole key, and the failures.
#include "../support/tempdata.h"
#include "data/records.h"
#include "platform/storage/faults.h"
#include "platform/storage/keyrange.h"

using storage::DataFile;
using storage::DataRange;

namespace {
class KeyRangeTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
        m_tra = std::make_unique<DataFile<Trans>>(*db);
        ASSERT_TRUE(tra().open());
    }
    void TearDown() override {
        storage::faults::clear(*db);
        m_tra.reset();
        DataTest::TearDown();
    }
    DataFile<Trans> &tra() { return *m_tra; }
    void add(qint32 acct, qint32 date, qint32 type, const QString &desc) {
        DataFile<Trans> &tra = this->tra();
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSTYPE = type;
        tra.rec.TRANSAMOUNT = Decimal::fromCents(date);
        tra.rec.TRANSTIME = 1200;
        tra.rec.DESC = desc;
        ASSERT_TRUE(tra.add());
    }
    // Account 1 from day 100 to day 300, with its neighbours on both sides of each bound.
    void history() {
        add(1, 99, 1, "1@99");
        add(1, 100, 1, "1@100a");
        add(1, 300, 2, "1@300");
        add(1, 200, 1, "1@200");
        add(1, 100, 2, "1@100b");
        add(1, 301, 1, "1@301");
        add(0, 200, 1, "0@200");
        add(2, 200, 1, "2@200");
        add(2, 150, 2, "2@150");
    }
    static QStringList read(DataRange<Trans> &range, DataFile<Trans> &f) {
        QStringList out;
        while (range.next()) out << f.rec.DESC;
        return out;
    }
    std::unique_ptr<DataFile<Trans>> m_tra;
};
} // namespace

TEST_F(KeyRangeTest, AStretchIsItsBoundsInclusiveInTheKeysOrderAndNothingBeyond) {
    history();
    DataFile<Trans> &tra = this->tra();
    // Date descending: the later bound first; equal dates in order of entry.
    DataRange<Trans> range(tra, Trans::Acct_Key, 1);
    ASSERT_TRUE(range.select({1}, 300, 100));
    EXPECT_EQ(read(range, tra), QStringList({"1@300", "1@200", "1@100a", "1@100b"}));
    EXPECT_FALSE(range.failed());
    EXPECT_EQ(storage::lastError().code, storage::RecordNotFound);

    // The same statement with another account, then other bounds: nothing of the first stays.
    ASSERT_TRUE(range.select({2}, 300, 100));
    EXPECT_EQ(read(range, tra), QStringList({"2@200", "2@150"}));
    ASSERT_TRUE(range.select({1}, 301, 301));
    EXPECT_EQ(read(range, tra), QStringList({"1@301"}));
    ASSERT_TRUE(range.select({1}, 98, 1));
    EXPECT_EQ(read(range, tra), QStringList());
    ASSERT_TRUE(range.select({3}, 300, 100));
    EXPECT_FALSE(range.next());
    EXPECT_FALSE(range.failed());

    // An ascending key takes its bounds the other way round.
    DataRange<Trans> ascending(tra, Trans::AcctDateRevKey, 1);
    ASSERT_TRUE(ascending.select({1}, 100, 200));
    EXPECT_EQ(read(ascending, tra), QStringList({"1@100a", "1@100b", "1@200"}));
}

TEST_F(KeyRangeTest, OnlyTheChosenValuesAndFieldsAreRead) {
    history();
    DataFile<Trans> &tra = this->tra();
    DataRange<Trans> range(tra, Trans::Acct_Key, 1, {"TRANSTYPE", "TRANSAMOUNT"});
    range.only("TRANSTYPE", {2});
    ASSERT_TRUE(range.select({1}, 400, 0));
    QList<qint32> types;
    QList<Decimal> amounts;
    while (range.next()) {
        types << tra.rec.TRANSTYPE;
        amounts << tra.rec.TRANSAMOUNT;
        // The fields not asked for are left empty, whatever the buffer held before.
        EXPECT_TRUE(tra.rec.DESC.isEmpty());
        EXPECT_EQ(tra.rec.ACCTNUM, 0);
        EXPECT_EQ(tra.rec.TRANSTIME, 0);
        EXPECT_GT(tra.position(), 0);
    }
    EXPECT_EQ(types, QList<qint32>({2, 2}));
    EXPECT_EQ(amounts, QList<Decimal>({Decimal::fromCents(300), Decimal::fromCents(100)}));
}

TEST_F(KeyRangeTest, OnlyAWholeRecordReadCanBeWrittenBack) {
    history();
    DataFile<Trans> &tra = this->tra();
    DataRange<Trans> part(tra, Trans::Acct_Key, 1, {"TRANSAMOUNT"});
    ASSERT_TRUE(part.select({2}, 200, 200));
    ASSERT_TRUE(part.next());
    tra.rec.TRANSAMOUNT = Decimal::fromCents(1);
    // Written back, the record would lose every field not read: the write is refused.
    EXPECT_FALSE(tra.put());
    EXPECT_EQ(storage::lastError().code, storage::RecordChanged);

    DataRange<Trans> whole(tra, Trans::Acct_Key, 1);
    ASSERT_TRUE(whole.select({2}, 200, 200));
    ASSERT_TRUE(whole.next());
    EXPECT_EQ(tra.rec.DESC, "2@200");
    tra.rec.DESC = "changed";
    ASSERT_TRUE(tra.put());
    ASSERT_TRUE(whole.select({2}, 200, 200));
    ASSERT_TRUE(whole.next());
    EXPECT_EQ(tra.rec.DESC, "changed");
    EXPECT_EQ(tra.rec.ACCTNUM, 2);
    EXPECT_EQ(tra.rec.TRANSTIME, 1200);
}

TEST_F(KeyRangeTest, TheWholeKeyInOrderCaseBlindOnAnUpperKey) {
    DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    const QList<QPair<QString, QString>> names = {
        {"smith", "Bob"}, {"Adams", "zoe"}, {"SMITH", "anne"}, {"Smith", "Bob"}, {"adams", "Al"}};
    qint32 acct = 0;
    for (const auto &[last, first] : names) {
        mem.clear();
        mem.rec.ACCTNUM = ++acct;
        mem.rec.LASTNAME = last;
        mem.rec.FIRSTNAME = first;
        ASSERT_TRUE(mem.add());
    }
    DataRange<MemberCU> byName(mem, MemberCU::Name_Key, 0, {"ACCTNUM"});
    QList<qint32> order;
    ASSERT_TRUE(byName.selectAll());
    while (byName.next()) order << mem.rec.ACCTNUM;
    EXPECT_FALSE(byName.failed());
    EXPECT_EQ(order, QList<qint32>({5, 2, 3, 1, 4}));

    // A stretch of one last name, whatever its case.
    DataRange<MemberCU> smiths(mem, MemberCU::Name_Key, 1, {"ACCTNUM"});
    order.clear();
    ASSERT_TRUE(smiths.select({"Smith"}, "A", "BOB"));
    while (smiths.next()) order << mem.rec.ACCTNUM;
    EXPECT_EQ(order, QList<qint32>({3, 1, 4}));
}

TEST_F(KeyRangeTest, AFailedReadIsAFailureNotTheEnd) {
    history();
    DataFile<Trans> &tra = this->tra();
    DataRange<Trans> range(tra, Trans::Acct_Key, 1);
    storage::faults::refuseReads("Trans", 2);
    ASSERT_TRUE(range.select({1}, 300, 100));
    EXPECT_TRUE(range.next());
    EXPECT_TRUE(range.next());
    EXPECT_FALSE(range.next());
    EXPECT_TRUE(range.failed());
    EXPECT_EQ(storage::lastError().driverText, storage::faults::DamagedText);
    // Nothing more comes from a stretch that failed.
    EXPECT_FALSE(range.next());

    // A new select starts afresh once the reads come back.
    storage::faults::clear(*db);
    ASSERT_TRUE(range.select({1}, 300, 100));
    EXPECT_EQ(read(range, tra).size(), 4);
    EXPECT_FALSE(range.failed());

    DataFile<MemberCU> closed(*db);
    DataRange<MemberCU> members(closed, MemberCU::Name_Key, 0);
    EXPECT_FALSE(members.selectAll());
    EXPECT_TRUE(members.failed());
    EXPECT_EQ(storage::lastError().code, storage::FileNotOpen);
}

// Long runs of one name cross the walk's read-ahead many times; each continuation is a range
// holding the name equal. The walk, the whole key read at once and the order worked out here
// must agree.
TEST_F(KeyRangeTest, AKeyWalkAndTheWholeKeyAgreeAcrossLongRunsOfEqualNames) {
    DataFile<MemberCU> mem(*db);
    ASSERT_TRUE(mem.open());
    struct Entry {
        QString last, first;
        qint32 acct;
    };
    QList<Entry> entries;
    const char *lasts[] = {"smith", "Smith", "SMITH", "adams", "Baker"};
    const char *firsts[] = {"Ann", "bob", "ANN", "carl", "Bob", "ann"};
    for (int i = 0; i < 90; ++i) {
        const Entry e{lasts[(i * 7) % 5], firsts[(i * 5) % 6], i + 1};
        entries << e;
        mem.clear();
        mem.rec.ACCTNUM = e.acct;
        mem.rec.LASTNAME = e.last;
        mem.rec.FIRSTNAME = e.first;
        ASSERT_TRUE(mem.add());
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const QString la = a.last.toUpper(), lb = b.last.toUpper();
        return la != lb ? la < lb : a.first.toUpper() < b.first.toUpper();
    });
    QList<qint32> expected;
    for (const Entry &e : entries) expected << e.acct;

    QList<qint32> walked;
    mem.setStart(MemberCU::Name_Key);
    while (mem.next()) walked << mem.rec.ACCTNUM;
    EXPECT_FALSE(mem.failed());
    EXPECT_EQ(walked, expected);

    // From the middle of a run of one name, and backwards from the end.
    mem.clear();
    mem.rec.LASTNAME = "SMITH";
    mem.rec.FIRSTNAME = "bob";
    mem.set(MemberCU::Name_Key);
    walked.clear();
    while (mem.next()) walked << mem.rec.ACCTNUM;
    const qsizetype firstBob = std::find_if(entries.begin(), entries.end(), [](const Entry &e) {
                                   return e.last.toUpper() == "SMITH" && e.first.toUpper() == "BOB";
                               }) - entries.begin();
    EXPECT_EQ(walked, expected.mid(firstBob));
    mem.setStart(MemberCU::Name_Key);
    walked.clear();
    while (mem.previous()) walked.prepend(mem.rec.ACCTNUM);
    EXPECT_EQ(walked, expected);

    DataRange<MemberCU> byName(mem, MemberCU::Name_Key, 0, {"ACCTNUM"});
    ASSERT_TRUE(byName.selectAll());
    QList<qint32> read;
    while (byName.next()) read << mem.rec.ACCTNUM;
    EXPECT_EQ(read, expected);
}
