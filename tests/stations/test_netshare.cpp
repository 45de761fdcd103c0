// The embedded file on a network share: recognised by the filesystem's type, opened with a
// rollback journal instead of WAL, and the user told once per start to use a server there.
#include "../support/tempdata.h"
#include "platform/storage/netfs.h"
#include "shell/startup.h"
#include "stationfund.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace {
constexpr unsigned long kNfs = 0x6969, kExt4 = 0xEF53;

QString pragma(storage::Database &db, const QString &name) {
    QSqlQuery q(db.sql());
    if (!q.exec("PRAGMA " + name) || !q.next()) return "?";
    return q.value(0).toString().toLower();
}

class NetShare : public DataTest {
protected:
    void TearDown() override {
        storage::netfs::pretendType(std::nullopt);
        DataTest::TearDown();
    }
    // Reopens the fund as this station would find it now.
    void reopen() {
        App::setDatabase(nullptr);
        db.reset();
        db = storage::Database::open(dataDir(), storage::Database::MustExist);
        ASSERT_TRUE(db) << storage::lastErrorText().toStdString();
        App::setDatabase(db.get());
    }
    qint64 members() {
        storage::DataFile<MemberCU> mem(*db);
        EXPECT_TRUE(mem.open());
        return mem.count();
    }
};
} // namespace

TEST(NetworkFilesystems, SharesAreKnownByTheirTypeAndLocalDisksAreNot) {
    for (unsigned long share : {0x6969ul, 0x517Bul, 0xFF534D42ul, 0xFE534D42ul, 0x01021997ul, 0x65735546ul,
                                0x5346414Ful, 0x6B414653ul, 0x00C36400ul})
        EXPECT_TRUE(storage::netfs::isNetworkType(share)) << std::hex << share;
    for (unsigned long local : {kExt4, 0x58465342ul, 0x9123683Eul, 0x01021994ul, 0x794C7630ul, 0x4D44ul})
        EXPECT_FALSE(storage::netfs::isNetworkType(local)) << std::hex << local;
    // The type as a signed 32-bit word, as some systems report it, is the same type.
    EXPECT_TRUE(storage::netfs::isNetworkType(0xFFFFFFFFFF534D42ul));
}

TEST_F(NetShare, ALocalFundKeepsWal) {
    EXPECT_FALSE(storage::netfs::isNetworkShare(dataDir())); // the test's own temporary folder
    EXPECT_FALSE(db->onNetworkShare());
    EXPECT_EQ(pragma(*db, "journal_mode"), "wal");
    storage::netfs::pretendType(kExt4);
    ASSERT_TRUE(StationFund::make(*db, true));
    reopen();
    EXPECT_EQ(pragma(*db, "journal_mode"), "wal");
}

TEST_F(NetShare, AWalFundMovedToAShareOpensWithARollbackJournalAndKeepsItsRecords) {
    ASSERT_TRUE(StationFund::make(*db, true));
    ASSERT_EQ(pragma(*db, "journal_mode"), "wal");
    storage::netfs::pretendType(kNfs);
    reopen();
    EXPECT_TRUE(db->onNetworkShare());
    EXPECT_EQ(pragma(*db, "journal_mode"), "delete");
    EXPECT_EQ(pragma(*db, "locking_mode"), "normal");
    EXPECT_FALSE(QFileInfo::exists(QDir(dataDir()).filePath(QString(storage::Database::FileName) + "-wal")));
    EXPECT_EQ(members(), StationFund::Stations * StationFund::MembersPerStation);

    // Two stations on the share: each sees the other's committed adds, and a batch of one makes
    // the other wait, not fail.
    auto second = openSecond();
    ASSERT_TRUE(second);
    EXPECT_EQ(pragma(*second, "journal_mode"), "delete");
    storage::DataFile<MemberCU> theirs(*second);
    ASSERT_TRUE(theirs.open());
    theirs.rec.ACCTNUM = 9001;
    ASSERT_TRUE(theirs.add());
    EXPECT_EQ(members(), StationFund::Stations * StationFund::MembersPerStation + 1);
    {
        storage::Transaction t(*db);
        storage::DataFile<MemberCU> ours(*db);
        ASSERT_TRUE(ours.open());
        ours.rec.ACCTNUM = 9002;
        ASSERT_TRUE(ours.add());
        ASSERT_TRUE(t.commit());
    }
    EXPECT_EQ(theirs.count(), StationFund::Stations * StationFund::MembersPerStation + 2);
}

TEST_F(NetShare, TheStartWarnsOnceThatSeveralStationsShouldUseAServer) {
    ASSERT_TRUE(StationFund::make(*db, false));
    App::setDatabase(nullptr);
    db.reset();
    // On a local disk: no word about it.
    ASSERT_TRUE(Startup::openFund(dataDir(), false, dialogs));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    storage::netfs::pretendType(kNfs);
    auto first = Startup::openFund(dataDir(), false, dialogs);
    ASSERT_TRUE(first);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Fund on a Network Share ...");
    EXPECT_EQ(dialogs.last().text, Startup::networkShareWarning(dataDir()));
    EXPECT_TRUE(dialogs.last().text.contains("\"Several workstations\" in README")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.contains(QDir::toNativeSeparators(dataDir())));
    first.reset();
    // Opening it again in the same run says nothing more.
    ASSERT_TRUE(Startup::openFund(dataDir(), false, dialogs));
    EXPECT_EQ(dialogs.shown.size(), 1);
}
