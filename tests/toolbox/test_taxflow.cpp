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
#include "toolbox/tax/taxreports.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
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
    EXPECT_EQ(QDir(drive.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"IRSTAX.", "IRSTAX.xml"}))
        << "no half copies left behind";
}

TEST_F(Copies, WithoutDriveAFolderIsPickedOnceAndRemembered) {
    QTemporaryDir folder;
    // The data directory itself is refused: the copies would replace the files they copy.
    dialogs.fileNames = {data.path(), folder.path()};
    dialogs.answers = {Dlg::Ok, Dlg::Ok, Dlg::Ok, 2};
    DisketteCopy c = copier(Form::R, false);
    c.run();
    ASSERT_EQ(dialogs.fileDirs.size(), 2) << "the folder is asked for until it is another one";
    EXPECT_EQ(QDir(dialogs.fileDirs[0]), QFileInfo(QFileInfo(data.path()).canonicalFilePath()).dir())
        << "proposed beside the data directory";
    EXPECT_EQ(IniFile::get(ini, "1099", "CopyFolder"), folder.path());
    EXPECT_TRUE(copiedTo(folder.path()));
    ASSERT_EQ(dialogs.shown.size(), 4);
    EXPECT_TRUE(dialogs.shown[0].text.startsWith("There Is No Drive A: On This Computer.")) << qPrintable(dialogs.shown[0].text);
    EXPECT_TRUE(dialogs.shown[1].text.startsWith("The Electronic Files Are Written In That Folder.")) << qPrintable(dialogs.shown[1].text);
    EXPECT_EQ(dialogs.shown[2].caption, "Create Diskette ...");
    EXPECT_TRUE(dialogs.shown[2].text.contains(QDir::toNativeSeparators(folder.path())))
        << qPrintable(dialogs.shown[2].text);
    EXPECT_EQ(dialogs.shown[3].text, kAnotherR);

    // The next run copies there without asking.
    QFile::remove(QDir(folder.path()).filePath("IRSTAX."));
    dialogs.shown.clear();
    dialogs.answers = {Dlg::Ok, 2};
    DisketteCopy c2 = copier(Form::R, false);
    c2.run();
    EXPECT_EQ(dialogs.fileDirs.size(), 2) << "no further question";
    EXPECT_EQ(dialogs.shown.size(), 2);
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
    EXPECT_EQ(dialogs.fileDirs.size(), 3);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(c4.copiesMade(), 0);
}

TEST(PreFiling, LongFindingsWrapAtWords) {
    EXPECT_EQ(PreFilingReport::wrap("one two three", 7), (QStringList{"one two", "three"}));
    EXPECT_EQ(PreFilingReport::wrap("abcdefghij", 4), (QStringList{"abcd", "efgh", "ij"}));
    EXPECT_EQ(PreFilingReport::wrap("", 10), QStringList{""});
}

namespace {
// A small fund: two members with withdrawals in 2025, one with interest only, one without
// anything.
class Flow : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
        ASSERT_TRUE(drive.isValid());
        storage::DataFile<CUInfo> cui(*db);
        ASSERT_TRUE(cui.open());
        CUInfo &c = cui.rec;
        c.NAME = "LOCAL 99 RETIREMENT FUND", c.ADDRESS1 = "100 MAIN ST", c.CITY = "SPRINGFIELD";
        c.STATE = "IL", c.ZIP = "62701", c.PHONE = "(217) 555-0199", c.EIN = "123456789";
        c.MANAGER = "MARY MANAGER", c.YEARFOR1099 = "2025", c.TRANSCODE = "8A123";
        c.EMAILADDRESS = "office@local99.example.org", c.IRISTCC = "DG5BW", c.SOFTWAREID = "25A0012345";
        ASSERT_TRUE(cui.add());
        storage::DataFile<Withdraw> wit(*db);
        ASSERT_TRUE(wit.open());
        wit.rec.CODE = "7", wit.rec.IRSCODE = "7", wit.rec.ADDTOIRSFILE = 1, wit.rec.DESCRIPTION = "Normal";
        ASSERT_TRUE(wit.add());
        member(1001, "Adams", "Ann", "111-22-3333");
        member(1002, "Baker", "Bob", "222-33-4444");
        member(1003, "Clark", "Cy", "333-44-5555");
        member(1004, "Dunn", "Dee", "444-55-6666");
        withdrawal(1001, 6, "1000.00", "200.00");
        withdrawal(1002, 3, "500.00", "0");
        trans(1003, Clock::dayNumber(2025, 12, 31), "25.00", -5, "Dividend");
        trans(1002, Clock::dayNumber(2025, 12, 31), "4.00", -5, "Dividend");
        DISKRPT().clear();
    }
    void TearDown() override {
        DISKRPT().clear();
        SELECTEDMEMBERSQUEUE().clear();
        PreFilingReport::testHook() = nullptr;
        DataTest::TearDown();
    }
    void member(qint32 acct, const QString &last, const QString &first, const QString &ssn) {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        MemberCU &m = mem.rec;
        m.ACCTNUM = acct, m.LASTNAME = last, m.FIRSTNAME = first, m.SSNUM = ssn;
        m.ADDR1 = "1 ELM ST", m.CITY = "SPRINGFIELD", m.STATE = "IL", m.ZIP = "62702";
        ASSERT_TRUE(mem.add());
    }
    void trans(qint32 acct, qint32 date, const char *amount, qint32 type, const QString &desc) {
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        tra.rec.ACCTNUM = acct, tra.rec.TRANSDATE = date, tra.rec.TRANSTYPE = type, tra.rec.DESC = desc;
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        ASSERT_TRUE(tra.add());
    }
    // A withdrawal as the withdrawal window posts it: the amount paid (-3) and the tax (-1).
    void withdrawal(qint32 acct, int month, const char *paid, const char *tax) {
        const qint32 date = Clock::dayNumber(2025, month, 15);
        trans(acct, date, QByteArray("-") + paid, -3, "Withdrawal (Code -  7)");
        if (QByteArray(tax) != "0") trans(acct, date, QByteArray("-") + tax, -1, "Federal Tax (Code -  7)");
    }
    // The run with every report replaced by a note in `events`.
    void setUp(ElectronicFile &run) {
        run.dir = dataDir();
        run.drive = drive.path();
        run.waitOpened = [this](const QString &caption, const QString &text) {
            events << "wait " + caption + " / " + text;
        };
        run.waitClosed = [this] { events << "wait closed"; };
        run.printFindings = [this](const QList<Finding> &f) { events << QString("findings %1").arg(f.size()); };
        run.printDiskReport = [this] { events << QString("diskette report %1").arg(DISKRPT().size()); };
        run.printForms = [this] { events << QString("forms %1").arg(DISKRPT().size()); };
        run.printIntReport = [this](const Decimal &reported, const Decimal &paid) {
            events << QString("interest report %1 %2 %3")
                          .arg(DISKRPT().size())
                          .arg(reported.toString(), paid.toString());
        };
        dialogs.onShow = [this](const Message &m) { events << "message " + m.caption; };
    }
    ElectronicFile::Outcome runFlow(Form form, const QList<qint32> &accounts = {}) {
        ElectronicFile run(*db, dialogs, form);
        setUp(run);
        run.setAccounts(accounts);
        const ElectronicFile::Outcome o = run.run();
        payees = run.taxRun().result().payees;
        return o;
    }
    bool written() const {
        return QFile::exists(QDir(dataDir()).filePath("IRSTAX.")) &&
               QFile::exists(QDir(dataDir()).filePath("IRSTAX.xml"));
    }
    const Message *find(const QString &caption) const {
        for (const Message &m : dialogs.shown)
            if (m.caption == caption) return &m;
        return nullptr;
    }
    QTemporaryDir drive;
    QStringList events;
    QList<Payee> payees;
};
} // namespace

TEST_F(Flow, DistributionsEndToEnd) {
    // Continue, one diskette, then both reports.
    dialogs.answers = {1, Dlg::Ok, 2, 1, 1};
    EXPECT_EQ(runFlow(Form::R), ElectronicFile::Done);
    EXPECT_TRUE(written());
    const QStringList expected = {
        "wait 1099-R Information .... / Gathering 1099-R Diskette Information.  Please Wait ....",
        "wait closed",
        "message 1099-R File Total ...",
        "message Create Diskette ...",
        "message 1099-R File ...",
        "message Diskette Report ...",
        "diskette report 2",
        "message 1099-R Forms ...",
        "forms 2"};
    EXPECT_EQ(events, expected) << qPrintable(events.join('\n'));
    const Message &totals = dialogs.shown[0];
    EXPECT_EQ(totals.icon, Dlg::Exclamation);
    EXPECT_EQ(buttons(totals), "Continue|Cancel");
    EXPECT_TRUE(totals.text.startsWith("Total Dist: ")) << qPrintable(totals.text);
    EXPECT_TRUE(totals.text.contains("$1,700.00")) << qPrintable(totals.text);
    EXPECT_TRUE(totals.text.contains("|Total Tax: ")) << qPrintable(totals.text);
    EXPECT_TRUE(totals.text.contains("$200.00")) << qPrintable(totals.text);
    EXPECT_TRUE(totals.text.contains("|Total Members Reported: 2")) << qPrintable(totals.text);
    EXPECT_TRUE(totals.text.contains("IRSTAX.xml")) << qPrintable(totals.text);
    EXPECT_FALSE(totals.text.contains("Selected")) << qPrintable(totals.text);
    const Message &report = dialogs.shown[3];
    EXPECT_EQ(report.text, "Would You Like To Print The Diskette Report?");
    EXPECT_EQ(buttons(report), "Yes|No");
    const Message &forms = dialogs.shown[4];
    EXPECT_EQ(forms.text, "Would You Like To Print 1099-R Forms ?");
    EXPECT_EQ(buttons(forms), "Yes|No");
    EXPECT_TRUE(DISKRPT().isEmpty()) << "emptied at the end";
    // The copy on the diskette is the file written.
    EXPECT_EQ(contents(QDir(drive.path()).filePath("IRSTAX.")), contents(QDir(dataDir()).filePath("IRSTAX.")));
    EXPECT_EQ(contents(QDir(drive.path()).filePath("IRSTAX.xml")),
              contents(QDir(dataDir()).filePath("IRSTAX.xml")));

    // No to both reports prints neither and still empties the lines.
    events.clear();
    dialogs.shown.clear();
    dialogs.answers = {1, Dlg::Cancel, 2, 2};
    EXPECT_EQ(runFlow(Form::R), ElectronicFile::Done);
    EXPECT_FALSE(events.join('\n').contains("diskette report")) << qPrintable(events.join('\n'));
    EXPECT_FALSE(events.join('\n').contains("forms ")) << qPrintable(events.join('\n'));
    EXPECT_TRUE(DISKRPT().isEmpty());
}

TEST_F(Flow, CancelOnTheTotalsKeepsTheFilesAndSkipsTheRest) {
    dialogs.answers = {2};
    EXPECT_EQ(runFlow(Form::R), ElectronicFile::TotalsCancelled);
    EXPECT_TRUE(written());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "1099-R File Total ...");
    EXPECT_FALSE(QFile::exists(QDir(drive.path()).filePath("IRSTAX.")));
    EXPECT_EQ(events.size(), 3) << qPrintable(events.join('\n'));
}

TEST_F(Flow, InterestReportIsPrintedWhetherOrNotContinueWasChosen) {
    dialogs.answers = {2};
    EXPECT_EQ(runFlow(Form::Int), ElectronicFile::TotalsCancelled);
    EXPECT_TRUE(written());
    const QStringList expected = {
        "wait 1099-INT Information .... / Gathering 1099-INT Diskette Information.  Please Wait ....",
        "wait closed", "message 1099-INT File Total ...", "interest report 1 25.00 29.00"};
    EXPECT_EQ(events, expected) << qPrintable(events.join('\n'));
    EXPECT_TRUE(dialogs.shown[0].text.startsWith("Total Interest Posted: ")) << qPrintable(dialogs.shown[0].text);
    EXPECT_EQ(buttons(dialogs.shown[0]), "Continue|Cancel");
    EXPECT_TRUE(DISKRPT().isEmpty());

    events.clear();
    dialogs.shown.clear();
    dialogs.answers = {1, Dlg::Ok, 2};
    EXPECT_EQ(runFlow(Form::Int), ElectronicFile::Done);
    EXPECT_EQ(events.mid(2), (QStringList{"message 1099-INT File Total ...", "message Create Diskette ...",
                                          "message 1099-INT File ...", "interest report 1 25.00 29.00"}))
        << qPrintable(events.join('\n'));
}

TEST_F(Flow, FindingsAreReportedAndCancelWritesNothing) {
    member(1005, "Evans", "Eve", "000-12-3456"); // no valid SSN has area 000
    withdrawal(1005, 2, "300.00", "0");
    QStringList pages;
    PreFilingReport::testHook() = [&](ReportRun &run) {
        run.preview = [&](QStringList &files, const PreviewOptions &) {
            for (const QString &f : files)
                for (const QByteArray &l : pagetext::lines(f, 0)) pages << QString::fromLatin1(l).simplified();
            return 0;
        };
        run.iniFile = dataDir() + "/PRVWRPTS.INI";
    };
    ElectronicFile run(*db, dialogs, Form::R);
    setUp(run);
    run.printFindings = [&](const QList<Finding> &f) {
        events << QString("findings %1").arg(f.size());
        printPreFilingReport(dialogs, Form::R, "LOCAL 99 RETIREMENT FUND", f);
    };
    dialogs.answers = {Dlg::Ok, 1 /* preview */, 2 /* Cancel */};
    EXPECT_EQ(run.run(), ElectronicFile::StoppedOnFindings);
    EXPECT_FALSE(QFile::exists(QDir(dataDir()).filePath("IRSTAX.")));
    EXPECT_FALSE(QFile::exists(QDir(dataDir()).filePath("IRSTAX.xml")));
    EXPECT_EQ(find("1099-R File Total ..."), nullptr) << "no totals";
    const Message *told = find("Pre-Filing Checks ...");
    ASSERT_NE(told, nullptr);
    EXPECT_TRUE(told->text.startsWith("The pre-filing checks found 1 thing(s)")) << qPrintable(told->text);
    const Message &ask = dialogs.last();
    EXPECT_EQ(ask.caption, "Pre-Filing Checks ...");
    EXPECT_EQ(buttons(ask), "Continue|Cancel");
    EXPECT_EQ(events.mid(1, 3), (QStringList{"wait closed", "message Pre-Filing Checks ...", "findings 1"}))
        << "told, then the report, not hidden behind the wait window";
    const QString all = pages.join('\n');
    EXPECT_TRUE(all.contains("1099-R Pre-Filing Checks")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Evans")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Findings:")) << qPrintable(all);

    // Continue writes the files as they are.
    dialogs.shown.clear();
    dialogs.answers = {Dlg::Ok, 1, 1, 2};
    EXPECT_EQ(run.run(), ElectronicFile::TotalsCancelled);
    EXPECT_TRUE(written());
}

TEST_F(Flow, FilesThatCannotBeWrittenAreAMessageAndNoTotals) {
    // A file where the folder should be.
    const QString blocker = QDir(dataDir()).filePath("blocker");
    ASSERT_TRUE(put(blocker, "x"));
    DISKRPT() = {DiskLine{"OLD, LINE", "999-99-9999", Decimal::fromString("1.00"), {}, {}, "7", 9}};
    ElectronicFile run(*db, dialogs, Form::R);
    setUp(run);
    run.dir = blocker + "/sub";
    EXPECT_EQ(run.run(), ElectronicFile::NotWritten);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "IRS File Not Written ...");
    EXPECT_EQ(dialogs.shown[0].icon, Dlg::Error);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QDir::toNativeSeparators(run.dir))) << qPrintable(dialogs.shown[0].text);
    EXPECT_TRUE(DISKRPT().isEmpty()) << "no lines of an earlier run are left for the reports";
}

TEST_F(Flow, AReadFailureWritesNothing) {
    storage::faults::refuseReads("Trans", 1);
    EXPECT_EQ(runFlow(Form::R), ElectronicFile::NotWritten);
    EXPECT_FALSE(QFile::exists(QDir(dataDir()).filePath("IRSTAX.")));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, "IRS File Not Written ...");
    EXPECT_TRUE(dialogs.shown[0].text.contains(storage::faults::DamagedText)) << qPrintable(dialogs.shown[0].text);
    EXPECT_EQ(events.last(), "message IRS File Not Written ...") << "the wait window closed before";
    EXPECT_TRUE(events.contains("wait closed"));
}

TEST_F(Flow, SelectedMembersAddRemoveAndTheirMessages) {
    SelectedMembers sel(*db, dialogs);
    EXPECT_FALSE(sel.add("   "));
    EXPECT_EQ(dialogs.last().caption, "Blank Account Number ...");
    EXPECT_EQ(dialogs.last().text, "Can not add member without Account Number.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Information);
    EXPECT_EQ(dialogs.last().buttons, Dlg::Ok);
    EXPECT_FALSE(sel.add("9999"));
    EXPECT_EQ(dialogs.last().caption, "Account Number Not Found ...");
    EXPECT_EQ(dialogs.last().text, "Member account number was not found.  Please try another account number.");
    EXPECT_FALSE(sel.add("abc"));
    EXPECT_EQ(dialogs.last().caption, "Account Number Not Found ...");
    EXPECT_FALSE(sel.printEnabled());
    EXPECT_TRUE(sel.add("1002"));
    EXPECT_FALSE(sel.add("1002"));
    EXPECT_EQ(dialogs.last().caption, "Account Number Duplicated ...");
    EXPECT_EQ(dialogs.last().text, "Member Account Number Already In Queue.");
    EXPECT_FALSE(sel.add("01002")) << "the same number written otherwise";
    EXPECT_TRUE(sel.add("1001"));
    ASSERT_EQ(SELECTEDMEMBERSQUEUE().size(), 2);
    EXPECT_EQ(SELECTEDMEMBERSQUEUE()[0].ACCOUNTNUMBER, "1002");
    EXPECT_EQ(SELECTEDMEMBERSQUEUE()[0].MEMBERNAME, "Bob Baker");
    EXPECT_TRUE(sel.printEnabled());

    EXPECT_FALSE(sel.remove(-1));
    EXPECT_EQ(dialogs.last().caption, "Member Not Selected ...");
    EXPECT_EQ(dialogs.last().text, "You must first selected a member from the list to delete.");
    EXPECT_TRUE(sel.remove(0));
    EXPECT_EQ(sel.accounts(), QList<qint32>{1001});

    // A member file that cannot be read is said so, not taken for a missing member.
    storage::faults::refuseReads("MemberCU");
    EXPECT_FALSE(sel.add("1003"));
    EXPECT_EQ(dialogs.last().caption, "Member File Error ...");
    EXPECT_EQ(SELECTEDMEMBERSQUEUE().size(), 1);
    storage::faults::clear(*db);

    sel.cancel();
    EXPECT_TRUE(SELECTEDMEMBERSQUEUE().isEmpty());
}

TEST_F(Flow, SelectedMembersWindowKeepsItsListAfterPrintAndReportsOnlyThoseMembers) {
    auto addVia = [](SelectedMembersWindow &w, const QString &acct) {
        w.runAdd = [acct](AddMemberWindow &add) {
            EXPECT_EQ(add.windowTitle(), "Add Member To Queue ...");
            add.entry()->setText(acct);
            add.add();
            if (add.result() != QDialog::Accepted) {
                EXPECT_TRUE(add.entry()->text().isEmpty()) << "the entry is cleared";
                add.reject();
            }
        };
        w.addMember();
    };
    {
        SelectedMembersWindow w(*db, dialogs);
        EXPECT_EQ(w.windowTitle(), "Selected Members IRS Reporting ...");
        EXPECT_FALSE(w.button("&Print")->isEnabled()) << "nothing to print yet";
        addVia(w, "1002");
        EXPECT_TRUE(w.button("&Print")->isEnabled());
        addVia(w, "1002");
        EXPECT_EQ(dialogs.last().caption, "Account Number Duplicated ...");
        EXPECT_EQ(w.list()->rowCount(), 1);
        addVia(w, "1003");
        ASSERT_EQ(w.list()->rowCount(), 2);
        EXPECT_EQ(w.list()->item(1, 0)->text(), "1003");
        EXPECT_EQ(w.list()->item(1, 1)->text(), "Cy Clark");
        w.list()->clearSelection();
        w.removeMember();
        EXPECT_EQ(dialogs.last().caption, "Member Not Selected ...");
        w.list()->selectRow(1);
        w.removeMember();
        EXPECT_EQ(w.list()->rowCount(), 1);
        EXPECT_TRUE(w.titleLine()->text().contains("only")) << qPrintable(w.titleLine()->text());

        // Print: the 1099-R for member 1002 alone.
        w.logic().prepareRun = [this](ElectronicFile &run) { setUp(run); };
        events.clear();
        dialogs.shown.clear();
        dialogs.answers = {1, Dlg::Cancel, 1, 1};
        w.print();
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_TRUE(events.value(0).contains("Only The Members On The Selected Members List Are Reported."))
            << qPrintable(events.join('\n'));
        const Message *totals = find("1099-R File Total ...");
        ASSERT_NE(totals, nullptr);
        EXPECT_TRUE(totals->text.contains("|Total Members Reported: 1")) << qPrintable(totals->text);
        EXPECT_TRUE(totals->text.contains("$500.00")) << qPrintable(totals->text);
        EXPECT_TRUE(totals->text.contains("Selected Members")) << qPrintable(totals->text);
        EXPECT_TRUE(events.contains("diskette report 1")) << qPrintable(events.join('\n'));
        EXPECT_TRUE(events.contains("forms 1")) << qPrintable(events.join('\n'));
        const QByteArray file = contents(QDir(dataDir()).filePath("IRSTAX."));
        EXPECT_TRUE(file.contains("222334444")) << "the listed member";
        EXPECT_FALSE(file.contains("111223333")) << "a member not listed";
    }
    // The list is shown again the next time; Cancel empties it, and removing the last row
    // disables Print.
    SelectedMembersWindow again(*db, dialogs);
    ASSERT_EQ(again.list()->rowCount(), 1);
    EXPECT_TRUE(again.button("&Print")->isEnabled());
    again.list()->selectRow(0);
    again.removeMember();
    EXPECT_FALSE(again.button("&Print")->isEnabled());
    addVia(again, "1001");
    again.button("&Cancel")->click();
    EXPECT_TRUE(SELECTEDMEMBERSQUEUE().isEmpty());
}

TEST_F(Flow, TheMenuStartsTheThreeProcedures) {
    registerProcedures();
    for (const char *name : {"CREATEELECTRONICFILE", "CREATEELECTRONICFILE2", "SELECTEDMEMBERSIRSREPORTING"})
        EXPECT_TRUE(Procedures::has(name)) << name;
    for (const Frame::MenuItem &item : Frame::menuTable()) {
        if (item.action == "SELECTEDMEMBERSIRSREPORTING") {
            EXPECT_EQ(item.how, Frame::How::Call);
        }
    }
    // From the menu, Cancel on the totals: the files are in the data directory.
    dialogs.answers = {2};
    ASSERT_TRUE(Procedures::run("CREATEELECTRONICFILE"));
    EXPECT_TRUE(written());
    EXPECT_NE(find("1099-R File Total ..."), nullptr);
    EXPECT_EQ(find("Procedure not defined"), nullptr);

    // The interest run from the menu, on a machine without drive A:: the folder picked is kept
    // in the fund's PENSION.INI.
    QTemporaryDir folder;
    dialogs.shown.clear();
    dialogs.fileNames = {folder.path()};
    dialogs.answers = {1, Dlg::Ok, Dlg::Ok, 2, 3 /* no report preview or print */};
    ASSERT_TRUE(Procedures::run("CREATEELECTRONICFILE2"));
    EXPECT_EQ(IniFile::get(dataDir() + "/PENSION.INI", "1099", "CopyFolder"), folder.path());
    EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath("IRSTAX.xml")));
    EXPECT_NE(find("1099-INT File ..."), nullptr);
}

TEST_F(Flow, TheRealReportsPrintTheLinesOfTheRun) {
    QStringList pages;
    reportTestHook() = [&](ReportRun &run) {
        run.iniFile = dataDir() + "/PRVWRPTS.INI";
        run.preview = [&](QStringList &files, const PreviewOptions &) {
            pages << "--- " + run.name;
            for (const QString &f : files)
                for (const QByteArray &l : pagetext::lines(f, 0)) pages << QString::fromLatin1(l).simplified();
            return 0;
        };
    };
    ElectronicFile run(*db, dialogs, Form::R);
    run.dir = dataDir();
    run.drive = drive.path();
    // Continue, no diskette, diskette report (previewed), forms in the first layout (previewed).
    dialogs.answers = {1, Dlg::Cancel, 1, 1, 1, 1, 1};
    EXPECT_EQ(run.run(), ElectronicFile::Done);
    reportTestHook() = nullptr;
    const QString all = pages.join('\n');
    EXPECT_EQ(pages.filter(QRegularExpression("^--- ")).size(), 2) << qPrintable(all);
    EXPECT_TRUE(all.contains("1099-R Diskette Report")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Adams, Ann")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Baker, Bob")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Name Total =")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Ann Adams")) << "a form for each line";
    EXPECT_TRUE(DISKRPT().isEmpty());

    // The interest run's own report, after Cancel on its totals.
    pages.clear();
    reportTestHook() = [&](ReportRun &r) {
        r.iniFile = dataDir() + "/PRVWRPTS.INI";
        r.preview = [&](QStringList &files, const PreviewOptions &) {
            for (const QString &f : files)
                for (const QByteArray &l : pagetext::lines(f, 0)) pages << QString::fromLatin1(l).simplified();
            return 0;
        };
    };
    ElectronicFile interest(*db, dialogs, Form::Int);
    interest.dir = dataDir();
    dialogs.answers = {2, 1};
    EXPECT_EQ(interest.run(), ElectronicFile::TotalsCancelled);
    reportTestHook() = nullptr;
    const QString text = pages.join('\n');
    EXPECT_TRUE(text.contains("1099-INT Diskette Report")) << qPrintable(text);
    EXPECT_TRUE(text.contains("Clark, Cy")) << qPrintable(text);
    EXPECT_TRUE(text.contains("$29.00")) << "all interest paid, the 4.00 below the limit included";
}
