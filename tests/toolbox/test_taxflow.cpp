// The 1099 runs as the user meets them: the wait window, the pre-filing report, the files in the
// data directory, the totals, the diskette copies, the reports, and the selected-members window.
#include "../support/tempdata.h"
#include "common/procedures.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/storage/faults.h"
#include "preview/wmf2ascii.h"
#include "shell/menutable.h"
#include "shell/registry.h"
#include "toolbox/tax/diskettecopy.h"
#include "toolbox/tax/disklines.h"
#include "toolbox/tax/electronicfile.h"
#include "toolbox/tax/prefilingreport.h"
#include "toolbox/tax/selectedmembers.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace Tax;

namespace {
const QString kInsert = "Please Insert A Blank Formated Diskette Into Drive A.";
const QString kCopyError =
    "Error Copying File To Diskette.  Please Make Sure That You Have A Formatted Diskette In Drive.|"
    "Press <OK> To Continue Or <CANCEL> To Stop Diskette Creation.";
const QString kAnotherR = "1099-R Electronic File Created.|Create Another Diskette?";
const QString kAnotherInt = "1099-INT Electronic File Created.|Create Another Diskette?";

QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
bool put(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
QString buttons(const Message &m) { return m.custom.join('|'); }

// The two written files, for the copy loop alone.
class Copies : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.isValid() && drive.isValid());
        files = {data.filePath("IRSTAX."), data.filePath("IRSTAX.xml")};
        ASSERT_TRUE(put(files[0], "T record\r\n"));
        ASSERT_TRUE(put(files[1], "<IRTransmission/>"));
        ini = data.filePath("PENSION.INI");
    }
    DisketteCopy copier(Form form = Form::R, bool toDrive = true) {
        DisketteCopy c(dialogs, form, files, ini);
        c.drive = toDrive ? drive.path() : QString();
        return c;
    }
    bool copiedTo(const QString &dir) {
        return contents(QDir(dir).filePath("IRSTAX.")) == "T record\r\n" &&
               contents(QDir(dir).filePath("IRSTAX.xml")) == "<IRTransmission/>";
    }
    QTemporaryDir data, drive;
    QStringList files;
    QString ini;
    ScriptedDialogs dialogs;
};
} // namespace

TEST_F(Copies, DriveALoopAsksForEachDisketteUntilNo) {
    DisketteCopy c = copier();
    dialogs.answers = {Dlg::Ok, 1 /* Yes */, Dlg::Ok, 2 /* No */};
    c.run();
    EXPECT_EQ(c.copiesMade(), 2);
    EXPECT_TRUE(copiedTo(drive.path()));
    ASSERT_EQ(dialogs.shown.size(), 4);
    const Message &insert = dialogs.shown[0];
    EXPECT_EQ(insert.caption, "Create Diskette ...");
    EXPECT_EQ(insert.text, kInsert);
    EXPECT_EQ(insert.icon, Dlg::Exclamation);
    EXPECT_EQ(insert.buttons, Dlg::Ok | Dlg::Cancel);
    const Message &another = dialogs.shown[1];
    EXPECT_EQ(another.caption, "1099-R File ...");
    EXPECT_EQ(another.text, kAnotherR);
    EXPECT_EQ(buttons(another), "Yes|No");
    EXPECT_EQ(dialogs.shown[2].text, kInsert);
    EXPECT_TRUE(dialogs.fileDirs.isEmpty()) << "no folder is asked for when there is a drive A:";

    // Cancel at the first question copies nothing.
    QFile::remove(QDir(drive.path()).filePath("IRSTAX."));
    dialogs.shown.clear();
    dialogs.answers = {Dlg::Cancel};
    DisketteCopy c2 = copier(Form::Int);
    c2.run();
    EXPECT_EQ(c2.copiesMade(), 0);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_FALSE(QFile::exists(QDir(drive.path()).filePath("IRSTAX.")));
}

TEST_F(Copies, InterestRunAsksWithItsOwnTexts) {
    DisketteCopy c = copier(Form::Int);
    dialogs.answers = {Dlg::Ok, 2};
    c.run();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[1].caption, "1099-INT File ...");
    EXPECT_EQ(dialogs.shown[1].text, kAnotherInt);
    EXPECT_EQ(c.copiesMade(), 1);
}

TEST_F(Copies, FailureOkTriesAgainCancelGoesBackToTheInsertQuestion) {
    // A folder where the file should go: the copy cannot replace it.
    const QString blocker = QDir(drive.path()).filePath("IRSTAX.");
    ASSERT_TRUE(QDir().mkpath(blocker + "/inside"));
    DisketteCopy c = copier();
    // insert OK, failure OK (again), failure Cancel, insert Cancel.
    dialogs.answers = {Dlg::Ok, Dlg::Ok, Dlg::Cancel, Dlg::Cancel};
    c.run();
    ASSERT_EQ(dialogs.shown.size(), 4);
    EXPECT_EQ(dialogs.shown[1].text, kCopyError);
    EXPECT_EQ(dialogs.shown[1].icon, Dlg::Information);
    EXPECT_EQ(dialogs.shown[1].buttons, Dlg::Ok | Dlg::Cancel);
    EXPECT_EQ(dialogs.shown[2].text, kCopyError);
    EXPECT_EQ(dialogs.shown[3].text, kInsert) << "Cancel on the failure returns to the insert question";
    EXPECT_EQ(c.copiesMade(), 0);
    EXPECT_TRUE(QFileInfo(blocker).isDir()) << "nothing of the old content is lost";

    // The user clears the diskette while the failure is shown; OK then copies.
    dialogs.shown.clear();
    dialogs.answers = {Dlg::Ok, Dlg::Ok, 2};
    dialogs.onShow = [&](const Message &m) {
        if (m.text == kCopyError) QDir(blocker).removeRecursively();
    };
    DisketteCopy c2 = copier();
    c2.run();
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_EQ(dialogs.shown[2].text, kAnotherR);
    EXPECT_EQ(c2.copiesMade(), 1);
    EXPECT_TRUE(copiedTo(drive.path()));
    EXPECT_FALSE(QFile::exists(blocker + ".part"));
}

TEST_F(Copies, WithoutDriveAFolderIsPickedOnceAndRemembered) {
    QTemporaryDir folder;
    dialogs.fileNames = {folder.path()};
    dialogs.answers = {Dlg::Ok, 2};
    DisketteCopy c = copier(Form::R, false);
    c.run();
    ASSERT_EQ(dialogs.fileDirs.size(), 1) << "the folder is asked for";
    EXPECT_EQ(IniFile::get(ini, "1099", "CopyFolder"), folder.path());
    EXPECT_TRUE(copiedTo(folder.path()));
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].caption, "Create Diskette ...");
    EXPECT_TRUE(dialogs.shown[0].text.contains(QDir::toNativeSeparators(folder.path())))
        << qPrintable(dialogs.shown[0].text);

    // The next run copies there without asking.
    QFile::remove(QDir(folder.path()).filePath("IRSTAX."));
    dialogs.shown.clear();
    dialogs.answers = {Dlg::Ok, 2};
    DisketteCopy c2 = copier(Form::R, false);
    c2.run();
    EXPECT_EQ(dialogs.fileDirs.size(), 1) << "no second question";
    EXPECT_TRUE(copiedTo(folder.path()));

    // A copy failure names the folder and why.
    QFile::remove(QDir(folder.path()).filePath("IRSTAX."));
    ASSERT_TRUE(QDir().mkpath(QDir(folder.path()).filePath("IRSTAX./x")));
    dialogs.shown.clear();
    dialogs.answers = {Dlg::Ok, Dlg::Cancel, Dlg::Cancel};
    DisketteCopy c3 = copier(Form::R, false);
    c3.run();
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_TRUE(dialogs.shown[1].text.startsWith("Error Copying File To " +
                                                 QDir::toNativeSeparators(folder.path())))
        << qPrintable(dialogs.shown[1].text);
    EXPECT_TRUE(dialogs.shown[1].text.endsWith(
        "|Press <OK> To Continue Or <CANCEL> To Stop Diskette Creation."));

    // A remembered folder that has gone is asked for again; no answer copies nothing.
    IniFile::put(ini, "1099", "CopyFolder", data.filePath("gone"));
    dialogs.shown.clear();
    DisketteCopy c4 = copier(Form::R, false);
    c4.run();
    EXPECT_EQ(dialogs.fileDirs.size(), 2);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(c4.copiesMade(), 0);
}

TEST(PreFiling, LongFindingsWrapAtWords) {
    EXPECT_EQ(PreFilingReport::wrap("one two three", 7), (QStringList{"one two", "three"}));
    EXPECT_EQ(PreFilingReport::wrap("abcdefghij", 4), (QStringList{"abcd", "efgh", "ij"}));
    EXPECT_EQ(PreFilingReport::wrap("", 10), QStringList{""});
}
