#pragma once
// Shared set-up of the report tests: every file created, members and transactions added in a
// line each, and the pages of every report run taken as text instead of previewed or printed.
#include "../support/tempdata.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/storage/faults.h"
#include "preview/wmf2ascii.h"
#include "reports/reportlogic.h"

class ReportTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles()) ASSERT_TRUE(db->create(*def));
        Clock::setToday(day(2024, 6, 15));
        Clock::setClock(Clock::timeOf(9, 30));
        ReportLogic::testHook() = [this](ReportRun &run) {
            run.iniFile = dataDir() + "/PRVWRPTS.INI";
            auto keep = [this](const QStringList &files) {
                pages.clear();
                for (const QString &f : files) {
                    QStringList page;
                    for (const QByteArray &l : pagetext::lines(f, 0)) page << QString::fromLatin1(l);
                    pages << page.join('\n');
                }
                ++outputs;
                // PENSION_SHOW_PAGES=1 prints the pages, for looking at a layout.
                if (qEnvironmentVariableIsSet("PENSION_SHOW_PAGES"))
                    printf("%s\n", qPrintable(pages.join("\n\f\n")));
            };
            run.preview = [keep](QStringList &files, const PreviewOptions &) {
                keep(files);
                return 2;
            };
            run.print = [keep](const QStringList &files) {
                keep(files);
                return true;
            };
        };
    }
    void TearDown() override {
        ReportLogic::testHook() = nullptr;
        storage::faults::clear(*db);
        DataTest::TearDown();
    }

    static qint32 day(int y, int m, int d) { return Clock::dayNumber(y, m, d); }
    static Decimal money(const char *text) { return Decimal::fromString(text).rounded(2); }

    MemberCU member(qint32 acct, const QString &last, const QString &first = "Pat") {
        MemberCU m;
        m.ACCTNUM = acct;
        m.MEMBERID = acct;
        m.LASTNAME = last;
        m.FIRSTNAME = first;
        return m;
    }
    void addMember(const MemberCU &m) {
        storage::DataFile<MemberCU> mem(*db);
        ASSERT_TRUE(mem.open());
        mem.rec = m;
        ASSERT_TRUE(mem.add());
    }
    void addMember(qint32 acct, const QString &last, const QString &first = "Pat") {
        addMember(member(acct, last, first));
    }
    void post(qint32 acct, qint32 date, const char *amount, qint32 type = TransType::Payroll,
              const QString &desc = {}) {
        storage::DataFile<Trans> tra(*db);
        ASSERT_TRUE(tra.open());
        tra.rec.ACCTNUM = acct;
        tra.rec.MEMBERID = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = money(amount);
        tra.rec.TRANSTYPE = type;
        tra.rec.DESC = desc;
        ASSERT_TRUE(tra.add());
    }
    // All pages as one text, each line's blanks kept.
    QString text() const { return pages.join("\n"); }
    // The pages' lines with their runs of blanks made single, for looking for a line.
    QStringList simpleLines() const {
        QStringList out;
        for (const QString &p : pages)
            for (const QString &l : p.split('\n')) out << l.simplified();
        return out;
    }

    QStringList pages; // the text of each page of the last report run
    int outputs = 0;   // how many runs reached the preview or the printer
};
