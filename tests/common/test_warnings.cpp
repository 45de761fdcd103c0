#include "../support/tempdata.h"
#include "common/riupdate.h"
#include "common/warnings.h"
#include "data/records.h"

namespace {
class Warnings : public DataTest {};
} // namespace

TEST_F(Warnings, TextsCaptionsAndButtonsAreVerbatim) {
    storage::clearError();
    Message m = standardWarningMessage(24, "Code Order");
    EXPECT_EQ(m.caption, "Duplicate Key Error");
    EXPECT_EQ(m.text, "Adding this record creates a duplicate entry for the key:Code Order");
    EXPECT_EQ(m.buttons, Dlg::Ok);
    EXPECT_EQ(m.icon, Dlg::Warning);

    m = standardWarningMessage(29, "Down");
    EXPECT_EQ(m.caption, "End of File Error");
    EXPECT_EQ(m.text, "The end of the viewed file was encountered.  Do you want to start again from the beginning?");
    EXPECT_EQ(m.buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(m.defaultButton, Dlg::Yes);
    EXPECT_EQ(m.icon, Dlg::Question);
    m = standardWarningMessage(29, "Up");
    EXPECT_EQ(m.caption, "Beginning of File Error");
    EXPECT_EQ(m.text, "The beginning of the viewed file was encountered.  Do you want to start again from the end of the file?");

    m = standardWarningMessage(6, "BROWSEMEMBERS");
    EXPECT_EQ(m.caption, "Procedure not defined");
    EXPECT_EQ(m.text, "The Procedure BROWSEMEMBERS has not been defined.");

    m = standardWarningMessage(33);
    EXPECT_EQ(m.text, "Do you want to save the changes to this record?");
    EXPECT_EQ(m.buttons, Dlg::Yes | Dlg::No | Dlg::Cancel);
    EXPECT_EQ(m.defaultButton, Dlg::No);
    m = standardWarningMessage(16);
    EXPECT_EQ(m.defaultButton, Dlg::Cancel);
    EXPECT_EQ(m.icon, Dlg::Warning);
    m = standardWarningMessage(25);
    EXPECT_EQ(m.buttons, Dlg::Retry | Dlg::Cancel);
    m = standardWarningMessage(32);
    EXPECT_EQ(m.caption, "Confirm Delete");
    EXPECT_EQ(m.buttons, Dlg::Ok | Dlg::Cancel);
    EXPECT_EQ(m.defaultButton, Dlg::Cancel);
    m = standardWarningMessage(10, "Amount  ", "1 and 10");
    EXPECT_EQ(m.text, "The value of Amount must be between 1 and 10.");
    m = standardWarningMessage(38);
    EXPECT_EQ(m.caption, "Record Was Not Updated");
    EXPECT_EQ(m.text, "This record was changed by another station. Those changes will now be displayed. "
                      "Use the Ditto Button or Ctrl+' to recall your changes.");
    m = standardWarningMessage(22, "Trans");
    EXPECT_EQ(m.text, "The File Trans was not found, and creation of the file is not allowed.  Press OK to end this application.");
    m = standardWarningMessage(7);
    EXPECT_EQ(m.caption, "");
}

TEST_F(Warnings, TheErrorTextComesFromTheSavedErrorOnce) {
    storage::setError(storage::RecordChanged);
    Message m = standardWarningMessage(15, "Withdraw");
    EXPECT_EQ(m.text, "This record was changed by another station.");

    storage::setError(storage::DuplicateKey);
    RISAVEERROR();
    storage::setError(storage::RecordNotFound); // a later error does not replace the saved one
    m = standardWarningMessage(15, "Withdraw");
    EXPECT_EQ(m.text, "An error (Creates Duplicate Key (40)) was experienced when attempting to update "
                      "a record from the file.  Probable Cause: Withdraw.");
    STANDARDWARNING(dialogs, 17, "Withdraw");
    EXPECT_EQ(dialogs.last().text, "An error (Creates Duplicate Key (40)) was experienced when "
                                   "attempting to delete a record from the file Withdraw.");
    // Shown once: the next warning reports the current error.
    m = standardWarningMessage(31, "Put", "Trans");
    EXPECT_EQ(m.caption, "Process PUT Error");
    EXPECT_EQ(m.text, "An error was experienced when making changes to the Trans file.  Error: Record Not Found (35).");

    // Driver-level errors show the database's own words.
    storage::setError(storage::FileSystemError, "disk I/O error", 10);
    m = standardWarningMessage(30, "Trans");
    EXPECT_EQ(m.text, "File (Trans) could not be opened.  Error: disk I/O error (10).");
    m = standardWarningMessage(31, "Delete", "Trans");
    EXPECT_EQ(m.caption, "Process DELETE Error");
}

TEST_F(Warnings, HaltingWarningsEndTheApplicationAfterTheirMessage) {
    for (auto [id, status] : std::vector<std::pair<int, QString>>{
             {1, "Invalid File!"}, {3, "Error Rebuilding Key!"}, {4, "File Creation Error!"},
             {5, "File Creation Error!"}, {22, "File Creation Error!"}}) {
        int before = dialogs.shown.size();
        try {
            STANDARDWARNING(dialogs, id, "Trans");
            ADD_FAILURE() << "warning " << id << " did not halt";
        } catch (const Halted &h) {
            EXPECT_EQ(h.status, status);
        }
        EXPECT_EQ(dialogs.shown.size(), before + 1); // the message came first
    }
    dialogs.answers = {Dlg::Yes};
    EXPECT_EQ(STANDARDWARNING(dialogs, 2, "Trans"), Dlg::Yes);
    dialogs.answers = {Dlg::No};
    EXPECT_THROW(STANDARDWARNING(dialogs, 2, "Trans"), Halted);
    EXPECT_EQ(STANDARDWARNING(dialogs, 6, "X"), 0); // plain notices return 0
    dialogs.answers = {Dlg::Cancel};
    EXPECT_EQ(STANDARDWARNING(dialogs, 16), Dlg::Cancel);
}

TEST_F(Warnings, UpdateHelperShowsTheOtherStationsVersion) {
    ASSERT_TRUE(db->create(Withdraw::layout().def()));
    auto second = openSecond();
    storage::DataFile<Withdraw> mine(*db), theirs(*second);
    ASSERT_TRUE(mine.open());
    ASSERT_TRUE(theirs.open());
    mine.rec.CODE = "7";
    mine.rec.DESCRIPTION = "Normal distribution";
    ASSERT_TRUE(mine.add());
    theirs.rec.CODE = "7";
    ASSERT_TRUE(theirs.get(Withdraw::CodeKeyOrder));
    theirs.rec.DESCRIPTION = "Changed over there";
    ASSERT_TRUE(theirs.put());

    mine.rec.DESCRIPTION = "Changed here";
    EXPECT_EQ(RI::update(mine, dialogs, true, "Withdraw"), RI::ChangedElsewhere);
    EXPECT_EQ(dialogs.last().caption, "Record Was Not Updated");
    EXPECT_EQ(mine.rec.DESCRIPTION, "Changed over there");

    ASSERT_TRUE(theirs.reget());
    theirs.rec.DESCRIPTION = "Again";
    ASSERT_TRUE(theirs.put());
    mine.rec.DESCRIPTION = "Changed here";
    EXPECT_EQ(RI::update(mine, dialogs, false, "Withdraw"), RI::ChangedElsewhere);
    EXPECT_EQ(dialogs.last().caption, "Update Operation Error");
    EXPECT_EQ(dialogs.last().text, "This record was changed by another station.");
    mine.rec.DESCRIPTION = "Changed here";
    EXPECT_EQ(RI::update(mine, dialogs, true, "Withdraw"), RI::Done);

    EXPECT_EQ(RI::remove(mine, dialogs, "Withdraw"), RI::Done);
    EXPECT_EQ(RI::remove(theirs, dialogs, "Withdraw"), RI::Failed);
    EXPECT_EQ(dialogs.last().caption, "Delete Operation Error");
}
