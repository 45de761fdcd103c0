// The member lists of locals 667, 33 and 968: their columns, names, phones, dates and
// duplicates, their display lines, and broken files that leave the member file as it was.
#include "../support/tempdata.h"
#include "common/procedures.h"
#include "common/reportrun.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/storage/faults.h"
#include "shell/registry.h"
#include "toolbox/tools/localimports.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>

namespace {
QString csv(const QStringList &values) {
    QStringList out;
    for (QString v : values)
        out << (v.contains(',') || v.contains('"') ? '"' + v.replace("\"", "\"\"") + '"' : v);
    return out.join(',');
}

// A 667 line: the values by their column number.
QString line667(const QMap<int, QString> &values) {
    QStringList v(96);
    for (auto it = values.cbegin(); it != values.cend(); ++it) v[it.key() - 1] = it.value();
    return csv(v);
}

QString line33(const QString &name, const QString &ssn, const QString &zip = "62701",
               const QString &phone = "", const QString &birth = "") {
    return csv({name, ssn, "DESC", phone, "1 MAIN ST", "AB", "ACTIVE", "", "SPRINGFIELD", "IL", zip,
                "LAB", birth});
}

class LocalLists : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        Clock::setToday(Clock::dayNumber(2026, 6, 15));
        ASSERT_TRUE(db->create(MemberCU::layout().def()));
    }
    void write(const QString &name, const QByteArray &bytes) {
        QFile f(QDir(dataDir()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeLines(const QString &name, const QStringList &lines) {
        write(name, lines.join("\r\n").toUtf8() + "\r\n");
    }
    qint32 addMember(qint32 acct, qint32 local, const QString &ssn, const QString &last = "OLD") {
        storage::DataFile<MemberCU> mem(*db);
        EXPECT_TRUE(mem.open());
        mem.clear();
        mem.rec.MEMBERID = acct + 1000;
        mem.rec.ACCTNUM = acct;
        mem.rec.LOCALCODE = local;
        mem.rec.SSNUM = ssn;
        mem.rec.LASTNAME = last;
        mem.rec.Notes = "notes kept";
        EXPECT_TRUE(mem.add());
        return mem.rec.MEMBERID;
    }
    QList<MemberCU> members() {
        storage::DataFile<MemberCU> mem(*db);
        EXPECT_TRUE(mem.open());
        QList<MemberCU> out;
        mem.setStart(MemberCU::AcctNum_Key);
        while (mem.next()) out << mem.rec;
        return out;
    }
    void quiet(Imports::ImportRun &run) {
        run.prepareReport = [this](ReportRun &r) {
            r.iniFile = QDir(dataDir()).filePath("PRVWRPTS.INI");
            r.preview = [this](QStringList &pages, const PreviewOptions &) {
                reportPages += pages.size();
                return 2;
            };
            r.print = [](const QStringList &) { return true; };
        };
    }
    int reportPages = 0;
};

const QString kHeading667 = "SSN,MEMB_NO,FIRSTNAME,MIDINIT,LASTNAME";
} // namespace

TEST_F(LocalLists, Local667AddsNewMembersAndUpdatesThoseOfTheLocal) {
    const qint32 id = addMember(500, 667, "111-11-1111");
    writeLines("members.csv",
               {kHeading667,
                line667({{1, "222-22-2222"}, {2, "500"}, {3, "MARY"}, {5, "JONES"}, {7, "9 ELM"}, {8, "UNIT 4"},
                         {9, "SPRINGFIELD"}, {10, "ILLINOIS"}, {11, "62701-12345"}, {12, "555.123.4567"},
                         {13, ""}, {26, "02/29/1960"}, {27, "1/5/1990"}}),
                line667({{1, "333-33-3333"}, {2, "600"}, {3, "JOHN"}, {5, "A VERY LONG LAST NAME THAT IS CUT"},
                         {12, "(217) 555-0000 ext"}, {26, ""}, {27, ""}})});
    LocalListImport run(*db, dialogs, 667);
    EXPECT_EQ(run.LOC.DISPLAYSTRING, "This utility is used to import data for #667 ONLY!");
    ASSERT_TRUE(run.run());
    EXPECT_EQ(run.LOC.DISPLAYSTRING, "Import Completed.  Total records imported = 2");
    EXPECT_EQ(run.LOC.DISPLAYSTRING2, "1 records duplicated / already exist.");
    EXPECT_EQ(run.LOC.DISPLAYSTRING3, "Acct already existed and was updated -- 500, MARY JONES (222-22-2222)");
    const QList<MemberCU> m = members();
    ASSERT_EQ(m.size(), 2);
    const MemberCU &u = m[0];
    EXPECT_EQ(u.MEMBERID, id);
    EXPECT_EQ(u.Notes, "notes kept");
    EXPECT_EQ(u.LASTNAME, "JONES");
    EXPECT_EQ(u.FIRSTNAME, "MARY");
    EXPECT_EQ(u.ADDR1, "9 ELM");
    EXPECT_EQ(u.ADDR2, "UNIT 4");
    EXPECT_EQ(u.CITY, "SPRINGFIELD");
    EXPECT_EQ(u.STATE, "IL");
    EXPECT_EQ(u.ZIP, "62701-1234");
    EXPECT_EQ(u.PHONE1, "(555) 123-4567");
    EXPECT_EQ(u.PHONE2, "(000) 000-0000");
    EXPECT_EQ(u.SSNUM, "222-22-2222");
    EXPECT_EQ(u.USERID, "500");
    EXPECT_EQ(u.BIRTHDATE, Clock::dayNumber(1960, 2, 29));
    EXPECT_EQ(u.DATEJOINED, Clock::dayNumber(1990, 1, 5));
    const MemberCU &n = m[1];
    EXPECT_EQ(n.ACCTNUM, 600);
    EXPECT_EQ(n.LOCALCODE, 667);
    EXPECT_EQ(n.LASTNAME, "A VERY LONG LAST NAM");
    EXPECT_EQ(n.PHONE1, "(217) 555-0000");
    EXPECT_EQ(n.BIRTHDATE, 0);
}

TEST_F(LocalLists, Local667DuplicateBySsnKeepsAccountAndLocal) {
    addMember(42, 565, "444-44-4444");
    addMember(700, 33, "555-55-5555", "OTHER LOCAL");
    writeLines("members.csv", {kHeading667, line667({{1, "444-44-4444"}, {2, "900"}, {5, "NEWNAME"}}),
                               // The account belongs to another local and the SSN to nobody: counted only.
                               line667({{1, "666-66-6666"}, {2, "700"}, {5, "NOBODY"}})});
    LocalListImport run(*db, dialogs, 667);
    ASSERT_TRUE(run.run());
    EXPECT_EQ(run.duplicates, 2);
    EXPECT_EQ(run.updated, 1);
    const QList<MemberCU> m = members();
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].ACCTNUM, 42);
    EXPECT_EQ(m[0].LOCALCODE, 565);
    EXPECT_EQ(m[0].LASTNAME, "NEWNAME");
    EXPECT_EQ(m[1].LASTNAME, "OTHER LOCAL");
    EXPECT_EQ(m[1].SSNUM, "555-55-5555");
}

TEST_F(LocalLists, Local33NamesZipPhonesAndDuplicates) {
    addMember(999887777, 33, "999-88-7777", "EXISTING");
    writeLines("33.csv", {"NAME,SSN,DESCRIPTION,PHONE,ADDRESS,ID,STATUS,PHONE2,CITY,STATE,ZIP,LABORCODE,BIRTHDATE",
                          line33("SMITH, JOHN A, JR", "123-45-6789", "12345-6789", "217 555 1234", "3/15/1970"),
                          line33("VAN DYKE, MARY", "234-56-7890"),
                          line33("CHANGED, NAME", "999-88-7777")});
    LocalListImport run(*db, dialogs, 33);
    EXPECT_EQ(run.LOC.DISPLAYSTRING, "This utility is used to import data for #33 ONLY!");
    ASSERT_TRUE(run.run());
    EXPECT_EQ(run.LOC.DISPLAYSTRING, "Import Completed.  Total records imported = 3");
    EXPECT_EQ(run.LOC.DISPLAYSTRING2, "1 records duplicated / already exist.");
    EXPECT_EQ(run.LOC.DISPLAYSTRING3, "Acct already existed and was updated -- 999887777, NAME CHANGED (999-88-7777)");
    const QList<MemberCU> m = members();
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m[0].ACCTNUM, 123456789);
    EXPECT_EQ(m[0].LOCALCODE, 33);
    EXPECT_EQ(m[0].LASTNAME, "SMITH JR");
    EXPECT_EQ(m[0].FIRSTNAME, "JOHN A");
    EXPECT_EQ(m[0].ZIP, "12345");
    EXPECT_EQ(m[0].PHONE1, "(217) 555-1234");
    EXPECT_EQ(m[0].PHONE2, "") << "a blank phone stays blank";
    EXPECT_EQ(m[0].USERID, "AB");
    EXPECT_EQ(m[0].BIRTHDATE, Clock::dayNumber(1970, 3, 15));
    EXPECT_EQ(m[1].LASTNAME, "VANDYKE");
    EXPECT_EQ(m[1].FIRSTNAME, "MARY");
    EXPECT_EQ(m[2].LASTNAME, "EXISTING") << "a duplicate of 33 changes nothing";
}

TEST_F(LocalLists, AFileWithOnlyItsHeadingImportsNothing) {
    for (qint32 local : {667, 33}) {
        LocalListImport run(*db, dialogs, local);
        writeLines(run.fileName(), {"HEADING,LINE"});
        EXPECT_TRUE(run.run());
        EXPECT_EQ(run.LOC.DISPLAYSTRING, "Import Completed.  Total records imported = 0");
    }
    EXPECT_TRUE(members().isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(LocalLists, Local968AccountsNamesAndCityStateZip) {
    addMember(96800007, 968, "777-77-7777", "THERE ALREADY");
    writeLines("ORDUN 968 MEMBLIST.CSV",
               {csv({"123", "DOE,  JANE", "1 OAK ST", "SPRINGFIELD IL  62701", "123-45-6789", "07/04/1976"}),
                csv({"124", "ROE, RICHARD", "2 OAK ST", "NOWHERE IL 62701", "", ""}),
                csv({"7", "DUP, LICATE", "", "", "999-99-9999", ""}),
                csv({"ACCT", "NAME", "ADDRESS", "CITYSTATEZIP", "SSN", "BIRTHDATE"}),
                csv({"125", "NO COMMA", "", "", "", ""}),
                csv({"100000", "BIG, NUMBER", "", "", "", ""})});
    Import968 run(*db, dialogs);
    quiet(run);
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(run.run());
    EXPECT_EQ(dialogs.shown[0].caption, "Import Data ...");
    EXPECT_EQ(dialogs.shown[0].text, "This Import Process will wipe all data.  Are you sure you want to continue?");
    EXPECT_EQ(dialogs.shown[0].defaultButton, Dlg::No);
    EXPECT_EQ(dialogs.shown[1].caption, "Import Completed ...");
    EXPECT_EQ(dialogs.shown[1].text, "Import Completed.");
    EXPECT_EQ(run.added, 2);
    EXPECT_EQ(run.skipped, 1);
    EXPECT_EQ(run.bad.count(), 3);
    EXPECT_EQ(reportPages, 1);
    const QList<MemberCU> m = members();
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m[0].LASTNAME, "THERE ALREADY");
    EXPECT_EQ(m[1].ACCTNUM, 96800123);
    EXPECT_EQ(m[1].LOCALCODE, 968);
    EXPECT_EQ(m[1].LASTNAME, "DOE");
    EXPECT_EQ(m[1].FIRSTNAME, "JANE");
    EXPECT_EQ(m[1].CITY, "SPRINGFIELD");
    EXPECT_EQ(m[1].STATE, "IL");
    EXPECT_EQ(m[1].ZIP, "62701");
    EXPECT_EQ(m[1].BIRTHDATE, Clock::dayNumber(1976, 7, 4));
    EXPECT_EQ(m[2].ACCTNUM, 96800124);
    EXPECT_EQ(m[2].CITY, "");
    EXPECT_EQ(m[2].STATE, "");
    EXPECT_EQ(m[2].ZIP, "");
}

TEST_F(LocalLists, Local968NoChangesNothing) {
    writeLines("ORDUN 968 MEMBLIST.CSV", {csv({"123", "DOE, JANE", "", "", "", ""})});
    Import968 run(*db, dialogs);
    EXPECT_FALSE(run.run());
    EXPECT_EQ(dialogs.last().caption, "Import Cancelled ...");
    EXPECT_EQ(dialogs.last().text, "Import Process was CANCELLED by user.");
    EXPECT_TRUE(members().isEmpty());
}

TEST_F(LocalLists, BrokenListsLeaveTheMemberFileAsItWas) {
    addMember(1, 1, "000-00-0001", "KEPT");
    QByteArray noise(64 * 1024, '\0');
    QRandomGenerator gen(7);
    for (char &c : noise) c = char(gen.bounded(256));
    struct Case {
        const char *name;
        QByteArray bytes;
        const char *says;
    };
    const QByteArray heading = "H1,H2,H3\r\n";
    const QList<Case> cases = {
        {"empty", "", "is empty"},
        {"binary noise", noise, "is not a text file"},
        {"UTF-16", QByteArray("\xFF\xFE") + QByteArray("1\0,\0", 4).repeated(50), "UTF-16"},
        {"truncated lines", heading + "123-45-6789,77,JOHN\r\n555,9\r\n", "holds no line"},
        {"10 MB of one line", heading + QByteArray(10 * 1024 * 1024, 'x'), "holds no line"},
        {"quotes that never close", heading + "\"123,\"77,JOHN,,DOE,,,,,,,,,,,,,,,,,,,,,,,,,\r\n\"1,2,3,4,5,6", "holds no line"},
    };
    for (const QString &file : {QString("members.csv"), QString("33.csv"), QString("ORDUN 968 MEMBLIST.CSV")})
        for (const Case &c : cases) {
            SCOPED_TRACE((file + ": " + c.name).toStdString());
            write(file, c.bytes);
            dialogs.shown.clear();
            dialogs.answers = {Dlg::Yes};
            bool done;
            if (file.startsWith("ORDUN")) {
                auto r = std::make_unique<Import968>(*db, dialogs);
                quiet(*r);
                done = r->run();
            } else {
                LocalListImport r(*db, dialogs, file == "33.csv" ? 33 : 667);
                quiet(r);
                done = r.run();
                EXPECT_EQ(r.LOC.DISPLAYSTRING, "Import Completed.  Total records imported = 0");
            }
            EXPECT_FALSE(done);
            bool said = false;
            for (const Message &m : dialogs.shown)
                if (m.icon == Dlg::Error && m.text.contains(c.says)) said = true;
            EXPECT_TRUE(said) << (dialogs.shown.isEmpty() ? std::string("no message") : dialogs.shown[0].text.toStdString());
            const QList<MemberCU> m = members();
            ASSERT_EQ(m.size(), 1);
            EXPECT_EQ(m[0].LASTNAME, "KEPT");
        }
}

TEST_F(LocalLists, AFailedWriteTakesBackTheMembersAlreadyAdded) {
    addMember(1, 1, "000-00-0001", "KEPT");
    writeLines("members.csv", {kHeading667, line667({{1, "1"}, {2, "10"}}), line667({{1, "2"}, {2, "11"}}),
                               line667({{1, "3"}, {2, "12"}})});
    ASSERT_TRUE(storage::faults::refuseWrites(*db, "MemberCU", 2));
    LocalListImport run(*db, dialogs, 667);
    EXPECT_FALSE(run.run());
    storage::faults::clear(*db);
    EXPECT_TRUE(dialogs.last().text.startsWith("The import was stopped; MEMBERCU is as it was before."));
    EXPECT_EQ(run.LOC.DISPLAYSTRING, "Import Completed.  Total records imported = 0");
    ASSERT_EQ(members().size(), 1);
}

TEST_F(LocalLists, TheWindowShowsContinueOnlyAfterTheImport) {
    writeLines("members.csv", {kHeading667, line667({{1, "1"}, {2, "10"}, {5, "NEW"}})});
    LocalListImportWindow w(*db, dialogs, 667);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Import 667 Data ...");
    EXPECT_EQ(w.displayLine(0)->text(), "This utility is used to import data for #667 ONLY!");
    EXPECT_TRUE(w.importButton()->isVisible());
    EXPECT_TRUE(w.cancelButton()->isVisible());
    EXPECT_FALSE(w.continueButton()->isVisible());
    w.importButton()->click();
    EXPECT_FALSE(w.importButton()->isVisible());
    EXPECT_FALSE(w.cancelButton()->isVisible());
    EXPECT_TRUE(w.continueButton()->isVisible());
    EXPECT_EQ(w.displayLine(0)->text(), "Import Completed.  Total records imported = 1");
    w.continueButton()->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(members().size(), 1);
}

TEST(ImportMenu, EveryImportEntryStartsItsProcedure) {
    registerProcedures();
    for (const char *name : {"IMPORTMEMBERS", "IMPORTTRANS", "IMPORTTRANSCODES", "IMPORTDATAFOR667",
                             "IMPORTDATAFOR33", "IMPORTDATAFOR968"})
        EXPECT_TRUE(Procedures::has(name)) << name;
}
