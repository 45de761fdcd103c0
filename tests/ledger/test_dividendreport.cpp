// The dividend report's pages and the dividend windows' buttons.
#include "dividendtest.h"
#include "ledger/dividendreport.h"
#include "ledger/undoposting.h"
#include "platform/picture.h"
#include "preview/wmf2ascii.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
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
    EnterDividendsWindow w(*db, dialogs, report);
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

namespace {
// The dividend windows as the frame opens them, and what their reports print.
class TwoWindows : public DividendTest {
protected:
    void SetUp() override {
        DividendTest::SetUp();
        DividendReport::testHook() = [this](ReportRun &run) {
            run.iniFile = dataDir() + "/PRVWRPTS.INI";
            auto keep = [this](const QStringList &files) {
                QStringList text;
                for (const QString &f : files)
                    for (const QByteArray &l : pagetext::lines(f, 0))
                        text << QString::fromLatin1(l).simplified();
                printed << text.join('\n');
            };
            run.preview = [keep](QStringList &files, const PreviewOptions &) {
                keep(files);
                return 0;
            };
            run.print = [keep](const QStringList &files) {
                keep(files);
                return true;
            };
        };
    }
    void TearDown() override {
        DividendReport::testHook() = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<EnterDividendsWindow *>(w)) delete w;
        DividendTest::TearDown();
    }
    EnterDividendsWindow *open() {
        QList<QWidget *> before = QApplication::topLevelWidgets();
        ENTERDIVIDENDS();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (!before.contains(w))
                if (auto *d = qobject_cast<EnterDividendsWindow *>(w)) return d;
        ADD_FAILURE() << "no dividend window opened";
        return nullptr;
    }
    static void trial(EnterDividendsWindow *w, const QString &rate, const QString &paid) {
        w->field("LOC:DIVPERCENTAGE")->setText(rate);
        w->field("LOC:DIVIDENDDATE")->setText(paid);
        w->field("LOC:BEGINDATE")->setText("01/01/2007");
        w->field("LOC:ENDDATE")->setText("12/31/2007");
        w->trial();
    }
    // The dividends on file as "account date amount".
    QStringList dividends() {
        QStringList out;
        for (const Trans &t : transactions())
            if (t.TRANSTYPE == TransType::Dividend)
                out << QString("%1 %2 %3")
                           .arg(t.ACCTNUM)
                           .arg(Picture::format(qint64(t.TRANSDATE), "@d2"))
                           .arg(t.TRANSAMOUNT.toString());
        return out;
    }
    QStringList printed;
};
} // namespace

TEST_F(TwoWindows, EachWindowPostsItsOwnList) {
    addMember(1, "Adams");
    addMember(2, "Baker");
    post(1, day(2006, 1, 1), "1000.00");
    post(2, day(2006, 1, 1), "2000.00");

    // Both calculated, with other rates and dates, before either posts.
    EnterDividendsWindow *a = open();
    EnterDividendsWindow *b = open();
    ASSERT_TRUE(a && b && a != b);
    trial(a, "5", "12/31/2007");
    trial(b, "10", "01/15/2008");
    EXPECT_EQ(a->field("LOC:TOTALDIVS")->text(), "$150.00");
    EXPECT_EQ(b->field("LOC:TOTALDIVS")->text(), "$300.00");

    QPointer<EnterDividendsWindow> closedA(a);
    a->post();
    EXPECT_TRUE(closedA.isNull() || !closedA->isVisible());
    EXPECT_EQ(dividends(), QStringList({"1 12/31/2007 50.00", "2 12/31/2007 100.00"}));
    ASSERT_EQ(printed.size(), 1);
    EXPECT_TRUE(printed[0].contains("5.0000%")) << qPrintable(printed[0]);
    EXPECT_TRUE(printed[0].contains("Total Dividends: $150.00")) << qPrintable(printed[0]);

    b->post();
    EXPECT_EQ(dividends(), QStringList({"1 12/31/2007 50.00", "1 01/15/2008 100.00",
                                        "2 12/31/2007 100.00", "2 01/15/2008 200.00"}));
    ASSERT_EQ(printed.size(), 2);
    EXPECT_TRUE(printed[1].contains("10.0000%")) << qPrintable(printed[1]);
    EXPECT_TRUE(printed[1].contains("Total Dividends: $300.00")) << qPrintable(printed[1]);

    // A window opened, emptied by a calculation that gives nothing, and closed leaves the
    // calculated one as it was.
    EnterDividendsWindow *c = open();
    trial(c, "3", "02/01/2008");
    EnterDividendsWindow *d = open();
    trial(d, "0", "02/01/2008");
    EXPECT_EQ(d->field("LOC:TOTALDIVS")->text(), "$0.00");
    d->close();
    c->post();
    EXPECT_EQ(dividends().filter("02/01/2008"),
              QStringList({"1 02/01/2008 30.00", "2 02/01/2008 60.00"}));
    ASSERT_EQ(printed.size(), 3);
    EXPECT_TRUE(printed[2].contains("Total Dividends: $90.00")) << qPrintable(printed[2]);
}
