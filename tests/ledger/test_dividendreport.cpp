// The dividend report's pages and the dividend windows' buttons.
#include "dividendtest.h"
#include "ledger/dividendreport.h"
#include "ledger/undoposting.h"
#include "preview/wmf2ascii.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
class Report : public DividendTest {
protected:
    QStringList print(int *pages = nullptr) {
        DividendReport rpt(*db, dialogs, glo, list);
        ReportRun run(dialogs);
        rpt.prepare(run);
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
        EXPECT_EQ(run.name, "DividendReport");
        return text;
    }
    void entry(const QString &acct, const char *amount) {
        PostingEntry e;
        e.ACCTNUM = acct;
        e.TRANSAMOUNT = money(amount);
        list << e;
    }
};
} // namespace

TEST_F(Report, PrintsTheListInItsOrderWithTotals) {
    Clock::setToday(day(2008, 1, 15));
    Clock::setClock(Clock::timeOf(14, 5));
    addMember(10, "Smith", "Pat");
    addMember(9, "Jones", "Al");
    glo = {day(2007, 1, 1), day(2007, 12, 31), Decimal::fromString("5.25").rounded(4),
           "Trial Dividend Report"};
    entry("10", "1234.56");
    entry("9", "52.50");
    entry("77", "-1.25"); // no member: blank name
    const QStringList text = print();
    const QString all = text.join('\n');
    EXPECT_TRUE(text.value(0).startsWith("01/15/08 2:05PM")) << qPrintable(all);
    EXPECT_TRUE(text.value(0).endsWith("Page: 1")) << qPrintable(all);
    EXPECT_EQ(text.value(1), "Trial Dividend Report");
    EXPECT_EQ(text.value(2), "01/01/2007 - 12/31/2007");
    EXPECT_EQ(text.value(3), "5.2500%");
    EXPECT_EQ(text.value(4), "Account Number Participant Name Dividend Amount");
    EXPECT_EQ(text.value(5), "10 Smith, Pat $1,234.56");
    EXPECT_EQ(text.value(6), "9 Jones, Al $52.50");
    EXPECT_EQ(text.value(7), "77 $(1.25)");
    EXPECT_TRUE(all.contains("Total Participants 3")) << qPrintable(all);
    EXPECT_TRUE(all.contains("Total Dividends: $1,285.81")) << qPrintable(all);
}

TEST_F(Report, EmptyListAndManyPages) {
    glo = {day(2007, 1, 1), day(2007, 12, 31), Decimal(0, 4), "Dividend Posting Report"};
    int pages = 0;
    const QString empty = print(&pages).join('\n');
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(empty.contains("Total Participants 0")) << qPrintable(empty);
    EXPECT_TRUE(empty.contains("Total Dividends: $0.00")) << qPrintable(empty);

    for (int i = 0; i < 150; ++i)
        entry(QString::number(i + 1), "1.00");
    const QStringList text = print(&pages);
    EXPECT_GE(pages, 3);
    EXPECT_EQ(text.count("Account Number Participant Name Dividend Amount"), pages);
    EXPECT_TRUE(text.join('\n').contains("Total Dividends: $150.00"));
}

TEST_F(Report, WindowButtonsFollowTheCalculation) {
    addMember(1, "Adams");
    post(1, day(2006, 1, 1), "1000.00");
    EnterDividendsWindow w(*db, dialogs, glo, list, report);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Dividend Information");
    EXPECT_TRUE(w.button("&Trial")->isVisible());
    EXPECT_TRUE(w.button("&Cancel")->isVisible());
    EXPECT_FALSE(w.button("&Print Trial")->isVisible());
    EXPECT_FALSE(w.button("&Post")->isVisible());
    EXPECT_EQ(w.button("&Trial")->toolTip(), "Trial Calculations only.");
    EXPECT_EQ(w.button("&Print Trial")->toolTip(), "Preview Trial Totals in Report Format.");
    w.field("LOC:DIVPERCENTAGE")->setText("5");
    w.field("LOC:BEGINDATE")->setText("01/01/2007");
    w.field("LOC:ENDDATE")->setText("12/31/2007");
    w.trial();
    for (const char *b : {"&Trial", "&Print Trial", "&Post", "&Cancel"})
        EXPECT_TRUE(w.button(b)->isVisible()) << b;
    EXPECT_FALSE(w.statusText()->isVisible());
    EXPECT_EQ(w.field("LOC:TOTALDIVS")->text(), "$50.00");
    EXPECT_EQ(w.field("LOC:TOTALPARTS")->text(), "1");

    UndoPostingWindow u(*db, dialogs);
    u.show();
    EXPECT_EQ(u.windowTitle(), "Undo Dividend Posting ...");
    EXPECT_FALSE(u.removingText()->isVisible());
    EXPECT_FALSE(u.percentText()->isVisible());
    u.date()->setText("01/15/2008");
    dialogs.answers = {Dlg::Yes};
    u.undo();
    EXPECT_TRUE(u.undoButton()->isVisible());
    EXPECT_FALSE(u.removingText()->isVisible());
    EXPECT_EQ(u.date()->text().trimmed(), "");
}
