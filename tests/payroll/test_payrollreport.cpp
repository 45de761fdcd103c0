// The payroll report's pages: title lines for each moment, the lines and the totals.
#include "payroll/payrollreport.h"
#include "payrolltest.h"
#include "preview/wmf2ascii.h"

namespace {
class Report : public PayrollTest {
protected:
    void SetUp() override {
        PayrollTest::SetUp();
        addContractor(7, "ABC");
        addMember(1001, "111-11-1111", "Smith", "Pat", 0, 12);
        addMember(1002, "222-22-2222", "Washington-Montgomery", "Alexander", 0, 12);
    }
    // The report's text, page after page, as the preview would get it.
    QStringList print(qint32 local, qint32 payrollDate, int *pages = nullptr) {
        PayrollReport rpt(*db, dialogs, glo, queue, local);
        ReportRun run(dialogs);
        rpt.prepare(run, 7, payrollDate);
        run.iniFile = dataDir() + "/PRVWRPTS.INI";
        QStringList text;
        run.preview = [&](QStringList &files, const PreviewOptions &) {
            if (pages) *pages = int(files.size());
            for (const QString &f : files)
                for (const QByteArray &l : pagetext::lines(f, 0))
                    text << QString::fromLatin1(l).simplified();
            return 0;
        };
        run.print = [](const QStringList &) { return true; };
        dialogs.answers = {1}; // preview
        EXPECT_EQ(run.run(), ReportRun::Previewed);
        EXPECT_EQ(run.name, "PayrollRpt");
        return text;
    }
    void line(const char *ssn, const char *amount) {
        queue << PayQueueEntry{ssn, {}, day(2004, 2, 1), money(amount), 7, day(2004, 2, 15)};
    }
};
} // namespace

TEST_F(Report, PrintsLinesInQueueOrderWithTotals) {
    glo.TITLE = "Trial Report";
    line("222-22-2222", "1234.56");
    line("111-11-1111", "10.00");
    line("111-11-1111", "5.44");
    line("999-99-9999", "0.01"); // nobody: blank member values
    const QStringList text = print(12, day(2004, 2, 1));
    const QString all = text.join('\n');
    EXPECT_EQ(text.value(0), "Payroll Deposit Report");
    EXPECT_EQ(text.value(1), "ABC --- 02/01/2004");
    EXPECT_EQ(text.value(2), "Trial Report");
    EXPECT_EQ(text.value(3), "Deposit Amount Local Account Number Name");
    EXPECT_EQ(text.value(4), "$1,234.56 12 1002 Washington-Montgomer");
    EXPECT_EQ(text.value(5), "$10.00 12 1001 Smith, Pat");
    EXPECT_EQ(text.value(6), "$5.44 12 1001 Smith, Pat");
    EXPECT_EQ(text.value(7), "$0.01");
    EXPECT_TRUE(all.contains("Total Participants = 4")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Total Deposits = $1,250.01")) << qPrintable(all);
}

TEST_F(Report, EmptyQueueAndTheLocalsThatShowSsns) {
    int pages = 0;
    const QString empty = print(12, day(2004, 2, 1), &pages).join('\n');
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(empty.contains("Deposit Amount Local Account Number Name"));
    EXPECT_TRUE(empty.contains("Total Participants = 0"));
    EXPECT_TRUE(empty.contains("Total Deposits = $0.00"));

    line("111-11-1111", "10.00");
    EXPECT_TRUE(print(667, day(2004, 2, 1)).contains("$10.00 12 111-11-1111 Smith, Pat"));
    EXPECT_TRUE(PayrollReport::accountsBySsn(33));
    for (qint32 local : {565, 133, 3, 6670})
        EXPECT_FALSE(PayrollReport::accountsBySsn(local)) << local;

    // Many lines run over several pages, each with the column headings.
    for (int i = 0; i < 120; ++i)
        line("111-11-1111", "1.00");
    const QStringList text = print(12, day(2004, 2, 1), &pages);
    EXPECT_GE(pages, 3);
    EXPECT_EQ(text.count("Deposit Amount Local Account Number Name"), pages);
    EXPECT_TRUE(text.join('\n').contains("Total Participants = 121"));
}
