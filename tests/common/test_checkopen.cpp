#include "../support/tempdata.h"
#include "common/checkopen.h"
#include "data/records.h"

namespace {
class CheckOpen : public DataTest {};
} // namespace

TEST_F(CheckOpen, AMissingFileIsCreatedSilentlyWhenAllowed) {
    storage::DataFile<Trans> tra(*db);
    EXPECT_TRUE(CHECKOPEN(tra, dialogs));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(db->exists(Trans::layout().def()));
    EXPECT_EQ(tra.count(), 0);
    EXPECT_EQ(db->users("Trans"), 1);
    storage::DataFile<Trans> again(*db);
    EXPECT_TRUE(CHECKOPEN(again, dialogs));
    EXPECT_EQ(db->users("Trans"), 2);
}

TEST_F(CheckOpen, AMissingFileWithoutCreationEndsTheApplication) {
    storage::DataFile<Trans> tra(*db);
    try {
        CHECKOPEN(tra, dialogs, false);
        FAIL() << "did not halt";
    } catch (const Halted &h) {
        EXPECT_EQ(h.status, "File Creation Error!");
    }
    EXPECT_EQ(dialogs.last().caption, "File Creation Not Allowed");
    EXPECT_FALSE(db->exists(Trans::layout().def()));
}

TEST_F(CheckOpen, DamagedKeysAreRebuiltOnYesAndEndTheApplicationOnNo) {
    ASSERT_TRUE(db->create(MemberCU::layout().def()));
    ASSERT_TRUE(db->exec("DROP INDEX MemberCU_Name_Key"));
    storage::DataFile<MemberCU> mem(*db);
    dialogs.answers = {Dlg::Yes};
    EXPECT_TRUE(CHECKOPEN(mem, dialogs));
    EXPECT_EQ(dialogs.last().caption, "Invalid Key");
    EXPECT_EQ(dialogs.last().text, "MemberCU key file is invalid.  Do you want to rebuild the key?");
    EXPECT_TRUE(db->keysValid(MemberCU::layout().def()));
    mem.close();

    ASSERT_TRUE(db->exec("DROP INDEX MemberCU_SSNum_Key"));
    dialogs.answers = {Dlg::No};
    try {
        CHECKOPEN(mem, dialogs);
        FAIL() << "did not halt";
    } catch (const Halted &h) {
        EXPECT_EQ(h.status, "Invalid Key!");
    }
}

TEST_F(CheckOpen, AFileOfAnotherLayoutIsRefused) {
    ASSERT_TRUE(db->exec("CREATE TABLE TransDesc (rec_pos INTEGER PRIMARY KEY, rec_ver INTEGER, TRANSCODE INTEGER)"));
    storage::DataFile<TransDesc> trd(*db);
    EXPECT_THROW(CHECKOPEN(trd, dialogs), Halted);
    EXPECT_EQ(dialogs.last().caption, "Invalid File");
    EXPECT_EQ(dialogs.last().text, "Error: (Invalid Record Declaration (47)) accessing TransDesc.  Press OK to end this application.");
}
