// The reports of a 1099 run as their pages read through the page-to-text of the preview: the
// 1099-R diskette report, the 1099-R forms in both layouts and the 1099-INT diskette report.
// Whole pages are compared with the text files in tests/toolbox/golden; after a deliberate change
// of a layout, regenerate them with
//   PENSION_UPDATE_GOLDEN=1 build/test/bin/test_taxforms
// and review the difference before committing it.
#include "../support/golden.h"
#include "../support/tempdata.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/storage/faults.h"
#include "preview/wmf2ascii.h"
#include "toolbox/tax/disklines.h"
#include "toolbox/tax/formlayout.h"
#include "toolbox/tax/taxreports.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

using namespace Tax;

namespace {

Decimal money(const char *text) { return Decimal::fromString(text).rounded(2); }

class TaxForms : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles())
            ASSERT_TRUE(db->create(*def));
        Clock::setToday(Clock::dayNumber(2026, 1, 20));
        DISKRPT().clear();
        reportTestHook() = [this](ReportRun &run) {
            run.iniFile = dataDir() + "/PRVWRPTS.INI";
            run.preview = [this](QStringList &files, const PreviewOptions &) {
                keep(files);
                return 0;
            };
            run.print = [this](const QStringList &files) {
                keep(files);
                return true;
            };
        };
    }
    void TearDown() override {
        reportTestHook() = nullptr;
        DISKRPT().clear();
        DataTest::TearDown();
    }

    // Every page as the text output writes it (66 lines a page), those lines one by one, and
    // the text of every text record as drawn (a field's own width, leading blanks kept).
    void keep(const QStringList &files) {
        pageCount = int(files.size());
        const QString out = m_dir->filePath("pages.txt");
        ASSERT_FALSE(WMF2ASCII(out, files, 66, dialogs).isEmpty());
        text = readAll(out);
        lines.clear();
        records.clear();
        for (const QString &f : files) {
            for (const QByteArray &l : pagetext::lines(f, 66))
                lines << QString::fromLatin1(l);
            for (const pagetext::TextRecord &r : pagetext::records(f))
                records << QString::fromLatin1(r.text);
        }
    }
    QString joined() const { return lines.join('\n'); }
    // The (1-based) column where `needle` starts on the line that holds it, and that line.
    std::pair<int, int> where(const QString &needle) const {
        for (int i = 0; i < lines.size(); ++i)
            if (int c = int(lines[i].indexOf(needle)); c >= 0) return {i, c + 1};
        return {-1, -1};
    }

    void fund(const QString &address2 = "Suite 200") {
        storage::DataFile<CUInfo> cui(*db);
        ASSERT_TRUE(cui.open());
        cui.rec.NAME = "Ironworkers Local 7 Savings Fund";
        cui.rec.ADDRESS1 = "100 Main Street";
        cui.rec.ADDRESS2 = address2;
        cui.rec.CITY = "Springfield";
        cui.rec.STATE = "IL";
        cui.rec.ZIP = "62704";
        cui.rec.EIN = "361234567";
        ASSERT_TRUE(cui.add());
    }
    void member(qint32 acct, const QString &ssn, const QString &last, const QString &first,
                const QString &addr2 = {}) {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.rec.ACCTNUM = acct;
        mem.rec.SSNUM = ssn;
        mem.rec.LASTNAME = last;
        mem.rec.FIRSTNAME = first;
        mem.rec.ADDR1 = QStringLiteral("%1 Oak Avenue").arg(acct);
        mem.rec.ADDR2 = addr2;
        mem.rec.CITY = "Decatur";
        mem.rec.STATE = "IL";
        mem.rec.ZIP = "62521";
        ASSERT_TRUE(mem.add());
    }
    static void line(const QString &name, const QString &ssn, qint32 acct, const char *dist,
                     const char *tax, const QString &code, const char *taxable = nullptr) {
        DiskLine d;
        d.PARTNAME = name;
        d.SSNUM = ssn;
        d.ACCTNUM = acct;
        d.TOTALDIST = money(dist);
        d.TOTALTAX = money(tax);
        d.TOTALTAXABLEAMOUNT = money(taxable ? taxable : dist);
        d.DT = code;
        DISKRPT() << d;
    }
    // Two members, one of them with two distribution codes, and a line whose SSN nobody has
    // (the member next in SSN order must not lend it an address).
    void yearEnd() {
        member(101, "111-22-3333", "Adams", "Pat", "Apt 4");
        member(102, "222-33-4444", "Baker", "Lee");
        member(103, "555-66-7777", "Clark", "Sam");
        line("Adams, Pat", "111-22-3333", 101, "1200.00", "240.00", "7");
        line("Adams, Pat", "111-22-3333", 101, "300.00", "0", "G", "0");
        line("Baker, Lee", "222-33-4444", 102, "15000.50", "3000.10", "1");
        line("Moss, Kim", "333-44-5555", 104, "50.00", "10.00", "7");
    }
    QString iniPath() const { return dataDir() + "/PENSION.INI"; }

    QByteArray text;
    QStringList lines, records;
    int pageCount = 0;
};

} // namespace

TEST_F(TaxForms, DisketteReportListsEveryLineWithTotalsAndMarksLinesWithoutAMember) {
    fund();
    yearEnd();
    EXPECT_EQ(Tax::DISKETTERPT(*db, dialogs), ReportRun::Previewed);
    expectGolden(text, "diskette-report.txt");
    const QString all = joined();
    // The member with two codes has two lines, each under its own code.
    EXPECT_EQ(lines.filter("Adams, Pat").size(), 2) << qPrintable(all);
    EXPECT_TRUE(all.contains(QRegularExpression("Adams, Pat +111-22-3333 +\\$1,200.00 +\\$240.00 +7")))
        << qPrintable(all);
    EXPECT_TRUE(all.contains(QRegularExpression("Adams, Pat +111-22-3333 +\\$300.00 +\\$0.00 +G")))
        << qPrintable(all);
    EXPECT_TRUE(all.contains(QRegularExpression("Baker, Lee +222-33-4444 +\\$15,000.50 +\\$3,000.10 +1 *\n")))
        << qPrintable(all);
    // Only the line nobody has is marked, and the note says what that means.
    EXPECT_TRUE(all.contains(QRegularExpression("Moss, Kim +333-44-5555 +\\$50.00 +\\$10.00 +7 +\\*")))
        << qPrintable(all);
    EXPECT_EQ(lines.filter(QRegularExpression("\\*$")).size(), 1) << qPrintable(all);
    EXPECT_TRUE(all.contains("* No member has this S.S.#: its form shows the name above and no address."));
    EXPECT_TRUE(all.contains(QRegularExpression("Name Total = +4 +\\$16,550.50 +\\$3,250.10")))
        << qPrintable(all);
    EXPECT_TRUE(all.contains(QRegularExpression("Page 1 of +1\n")));
    EXPECT_EQ(DISKRPT().size(), 4); // left for the forms
}

TEST_F(TaxForms, DisketteReportWithoutUnmatchedLinesHasNoNoteAndBreaksPages) {
    fund();
    for (int i = 0; i < 120; ++i) {
        const QString ssn = QStringLiteral("100-00-%1").arg(1000 + i);
        member(200 + i, ssn, QStringLiteral("Member%1").arg(i), "Al");
        line(QStringLiteral("Member%1, Al").arg(i), ssn, 200 + i, "10.00", "1.00", "7");
    }
    EXPECT_EQ(Tax::DISKETTERPT(*db, dialogs), ReportRun::Previewed);
    EXPECT_GE(pageCount, 2);
    const QString all = joined();
    EXPECT_EQ(lines.filter("1099-R Diskette Report").size(), pageCount);
    EXPECT_FALSE(all.contains("No member has this")) << qPrintable(all);
    EXPECT_EQ(lines.filter(QRegularExpression("\\*$")).size(), 0);
    EXPECT_TRUE(all.contains(QRegularExpression("Name Total = +120 +\\$1,200.00 +\\$120.00")));
    EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral("Page %1 of +%1\n").arg(pageCount))));
}

TEST_F(TaxForms, FirstLayoutFormsCarryTheMemberOrTheLinesOwnName) {
    fund();
    yearEnd();
    EXPECT_EQ(Tax::PRINT1099R(*db, dialogs, FormLayout::First), ReportRun::Previewed);
    EXPECT_EQ(pageCount, 4); // one form per line: two for the member with two codes
    expectGolden(text, "forms-layout1.txt");
    const QString all = joined();
    // Fund block: the second address line, then the city line under it.
    const auto [a1, c1] = where("100 Main Street");
    const auto [a2, c2] = where("Suite 200");
    const auto [a3, c3] = where("Springfield IL  62704");
    EXPECT_EQ(a2, a1 + 1);
    EXPECT_EQ(a3, a2 + 1);
    EXPECT_EQ(c1, c3);
    // A member with ADDR2 keeps the city on the third line; one without has it right under the
    // street.
    EXPECT_TRUE(all.contains("Pat Adams"));
    const auto [s1, m1] = where("101 Oak Avenue");
    EXPECT_EQ(where("Apt 4").first, s1 + 1);
    const auto [s2, m2] = where("102 Oak Avenue");
    EXPECT_EQ(lines.value(s2 + 1).trimmed(), "Decatur IL  62521");
    // The line nobody has: its own name, its own SSN, and no address at all.
    EXPECT_TRUE(all.contains("Moss, Kim"));
    EXPECT_TRUE(all.contains("333-44-5555"));
    EXPECT_FALSE(all.contains("103 Oak Avenue")) << qPrintable(all);
    EXPECT_FALSE(all.contains("Sam Clark"));
    EXPECT_EQ(lines.filter("Decatur IL  62521").size(), 3); // Moss's form has none
    // Amounts 14 wide, the account 12 wide, the code and the mark.
    EXPECT_TRUE(records.contains("      1,200.00")) << qPrintable(records.join('|'));
    EXPECT_TRUE(records.contains("          0.00"));
    EXPECT_TRUE(records.contains("         101"));
    EXPECT_TRUE(records.contains("X"));
    EXPECT_TRUE(all.contains("361234567"));
}

TEST_F(TaxForms, SecondLayoutMovesTheFieldsAndNarrowsTheAmounts) {
    fund(""); // no second fund address line
    yearEnd();
    EXPECT_EQ(Tax::PRINT1099R(*db, dialogs, FormLayout::Second), ReportRun::Previewed);
    EXPECT_EQ(pageCount, 4);
    expectGolden(text, "forms-layout2.txt");
    // The city line moves up right under the first address line, with no blank between.
    const auto [a1, c1] = where("100 Main Street");
    EXPECT_EQ(where("Springfield IL  62704").first, a1 + 1);
    EXPECT_FALSE(joined().contains("Suite"));
    const QString all = joined();
    EXPECT_TRUE(records.contains("    1,200.00")) << qPrintable(records.join('|'));
    EXPECT_FALSE(records.contains("      1,200.00")); // 12 wide, not 14
    EXPECT_TRUE(records.contains("           101")); // 14 wide
    EXPECT_FALSE(records.contains("         101"));
    // Other positions than the first layout's.
    const auto second = where("15,000.50");
    Tax::PRINT1099R(*db, dialogs, FormLayout::First);
    EXPECT_NE(where("15,000.50"), second);
}

TEST_F(TaxForms, OffsetsFromTheIniMoveTheFormAndSingleFields) {
    fund();
    line("Baker, Lee", "222-33-4444", 102, "15000.50", "3000.10", "1", "14000.25");
    member(102, "222-33-4444", "Baker", "Lee");
    Tax::PRINT1099R(*db, dialogs, FormLayout::First);
    const auto gross = where("15,000.50"), name = where("Lee Baker"), tin = where("361234567");
    ASSERT_GT(gross.second, 0);

    // Whole form one inch right and one inch down; box 1 another inch down on top of that.
    IniFile ini(iniPath());
    ini.setValue("1099R Layout 1", "Form", "100,100");
    ini.setValue("1099R Layout 1", "Gross", "0,100");
    ASSERT_TRUE(ini.save());
    Tax::PRINT1099R(*db, dialogs, FormLayout::First);
    // Page text: 12.5 columns and 6 lines to the inch.
    EXPECT_EQ(where("Lee Baker"), std::make_pair(name.first + 6, name.second + 12));
    EXPECT_EQ(where("361234567"), std::make_pair(tin.first + 6, tin.second + 12));
    EXPECT_EQ(where("15,000.50"), std::make_pair(gross.first + 12, gross.second + 12));
    // The other layout's section does not move this one, and vice versa.
    EXPECT_EQ(formGeometry(FormLayout::Second, iniPath(), nullptr)[FormField::Gross],
              formGeometry(FormLayout::Second)[FormField::Gross]);
    EXPECT_TRUE(std::none_of(dialogs.shown.begin(), dialogs.shown.end(),
                             [](const Message &m) { return m.icon == Dlg::Warning; }));
}

TEST_F(TaxForms, OffsetsThatCannotBeReadAreNamedAndLeaveTheirFieldInPlace) {
    fund();
    line("Baker, Lee", "222-33-4444", 102, "15000.50", "3000.10", "1", "14000.25");
    member(102, "222-33-4444", "Baker", "Lee");
    Tax::PRINT1099R(*db, dialogs, FormLayout::First);
    const auto gross = where("15,000.50"), name = where("Lee Baker");

    IniFile ini(iniPath());
    ini.setValue("1099R Layout 1", "Gross", "one inch");
    ini.setValue("1099R Layout 1", "RecipientName", "5000,0");
    ini.setValue("1099R Layout 1", "Code", "1,2,3");
    ini.setValue("1099R Layout 1", "Account", "-50"); // across only: fine
    ASSERT_TRUE(ini.save());
    dialogs.shown.clear();
    EXPECT_EQ(Tax::PRINT1099R(*db, dialogs, FormLayout::First), ReportRun::Previewed);
    EXPECT_EQ(where("15,000.50"), gross);
    EXPECT_EQ(where("Lee Baker"), name);
    const auto warning = std::find_if(dialogs.shown.begin(), dialogs.shown.end(),
                                      [](const Message &m) { return m.icon == Dlg::Warning; });
    ASSERT_NE(warning, dialogs.shown.end());
    const Message &m = *warning;
    EXPECT_EQ(m.caption, "1099-R Forms ...");
    EXPECT_TRUE(m.text.contains("[1099R Layout 1] Gross=one inch")) << qPrintable(m.text);
    EXPECT_TRUE(m.text.contains("[1099R Layout 1] RecipientName=5000,0"));
    EXPECT_TRUE(m.text.contains("[1099R Layout 1] Code=1,2,3"));
    EXPECT_FALSE(m.text.contains("Account"));
    EXPECT_EQ(formGeometry(FormLayout::First, iniPath(), nullptr)[FormField::Account],
              formGeometry(FormLayout::First)[FormField::Account] - QPoint(500, 0));
}

TEST_F(TaxForms, TheLayoutChoiceIsAskedRememberedAndCanBeCancelled) {
    fund();
    yearEnd();
    // First time: the first layout is the default; choosing the second prints it and keeps it.
    dialogs.answers = {2, 1};
    EXPECT_EQ(PRINT1099RFORMS(*db, dialogs), ReportRun::Previewed);
    const Message &ask = dialogs.shown.first();
    EXPECT_EQ(ask.caption, "1099-R Form Layout ...");
    EXPECT_EQ(ask.text, "Which Form Layout Would You Like To Print?");
    EXPECT_EQ(ask.custom, QStringList({"Layout &1", "Layout &2", "&Cancel"}));
    EXPECT_EQ(ask.defaultButton, 1);
    EXPECT_EQ(IniFile::get(iniPath(), "1099R", "FormLayout"), "2");
    EXPECT_TRUE(records.contains("    1,200.00"));

    // Next time the second is offered first; Cancel prints nothing and keeps the choice.
    dialogs.shown.clear();
    pageCount = 0;
    dialogs.answers = {3};
    EXPECT_EQ(PRINT1099RFORMS(*db, dialogs), ReportRun::Cancelled);
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown.first().defaultButton, 2);
    EXPECT_EQ(pageCount, 0);
    EXPECT_EQ(rememberedLayout(iniPath()), FormLayout::Second);
    IniFile::put(iniPath(), "1099R", "FormLayout", "7");
    EXPECT_EQ(rememberedLayout(iniPath()), FormLayout::First);
}

TEST_F(TaxForms, MembersSharingAnSsnGetTheLinesOwnAccount) {
    fund();
    member(301, "444-55-6666", "Dunn", "Ann");
    member(302, "444-55-6666", "Dunn", "Bob");
    line("Dunn, Bob", "444-55-6666", 302, "20.00", "2.00", "7");
    Tax::PRINT1099R(*db, dialogs, FormLayout::First);
    EXPECT_TRUE(joined().contains("Bob Dunn")) << qPrintable(joined());
    EXPECT_TRUE(joined().contains("302 Oak Avenue"));
    EXPECT_FALSE(joined().contains("Ann Dunn"));
    Tax::DISKETTERPT(*db, dialogs);
    EXPECT_FALSE(joined().contains("No member has this"));
}

TEST_F(TaxForms, NoLinesGiveTheRunsNothingToPrint) {
    fund();
    member(101, "111-22-3333", "Adams", "Pat");
    EXPECT_EQ(Tax::DISKETTERPT(*db, dialogs), ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
    EXPECT_EQ(Tax::PRINT1099R(*db, dialogs, FormLayout::Second), ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Preview.");
    dialogs.answers = {2}; // print without preview
    EXPECT_EQ(Tax::PRINT1099R(*db, dialogs, FormLayout::First), ReportRun::Nothing);
    EXPECT_EQ(dialogs.last().text, "Nothing to Print.");
    EXPECT_EQ(pageCount, 0);
}

TEST_F(TaxForms, AMemberFileThatCannotBeReadStopsTheRunWithNothingShown) {
    fund();
    yearEnd();
    for (auto print : {+[](storage::Database &d, Dialogs &g) { return Tax::DISKETTERPT(d, g); },
                       +[](storage::Database &d, Dialogs &g) {
                           return Tax::PRINT1099R(d, g, FormLayout::First);
                       }}) {
        dialogs.shown.clear();
        pageCount = 0;
        storage::faults::refuseReads("MemberCU", 0);
        EXPECT_EQ(print(*db, dialogs), ReportRun::Cancelled);
        storage::faults::clear(*db);
        EXPECT_EQ(pageCount, 0);
        ASSERT_FALSE(dialogs.shown.isEmpty());
        const Message &m = dialogs.last();
        EXPECT_EQ(m.icon, Dlg::Error);
        EXPECT_TRUE(m.text.startsWith("The member file could not be read:|")) << qPrintable(m.text);
        EXPECT_TRUE(m.text.contains(storage::faults::DamagedText)) << qPrintable(m.text);
    }
}

TEST_F(TaxForms, InterestReportListsByNameWithTheRunsTotals) {
    fund();
    auto interest = [](const QString &name, qint32 acct, const char *amount) {
        DiskLine d;
        d.PARTNAME = name;
        d.SSNUM = QString::number(acct);
        d.ACCTNUM = acct;
        d.TOTALDIST = money(amount);
        DISKRPT() << d;
    };
    interest("Young, Ed", 9, "10.00");
    interest("McDonald, Al", 12, "1234.56");
    interest("MOORE, JO", 3, "25.10");
    interest("Adams, Pat", 101, "40.00");
    EXPECT_EQ(INTDISKETTERPT(*db, dialogs, money("1309.66"), money("1317.91")),
              ReportRun::Previewed);
    expectGolden(text, "interest-report.txt");
    const QString all = joined();
    QStringList order;
    for (const QString &l : lines)
        if (l.contains(QRegularExpression("^ *[A-Za-z]+, [A-Za-z]+ "))) order << l.trimmed().section(',', 0, 0);
    EXPECT_EQ(order, QStringList({"Adams", "McDonald", "MOORE", "Young"})) << qPrintable(all);
    EXPECT_TRUE(all.contains(QRegularExpression("McDonald, Al +12 +\\$1,234.56"))) << qPrintable(all);
    EXPECT_TRUE(all.contains(QRegularExpression("1099-INT Diskette Total: +\\$1,309.66")));
    EXPECT_TRUE(all.contains(QRegularExpression("Total Dividend Paid: +\\$1,317.91")));
    EXPECT_TRUE(all.contains("Participant Name"));
    EXPECT_TRUE(all.contains(QRegularExpression("Page 1 of +1\n")));
    EXPECT_EQ(DISKRPT().first().PARTNAME, "Young, Ed"); // the run's list is left as it was

    // Nobody reached the floor: the totals are still printed.
    DISKRPT().clear();
    EXPECT_EQ(INTDISKETTERPT(*db, dialogs, money("0"), money("8.25")), ReportRun::Previewed);
    EXPECT_TRUE(joined().contains(QRegularExpression("Total Dividend Paid: +\\$8.25")));
}
