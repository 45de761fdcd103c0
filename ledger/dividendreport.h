#pragma once
// The dividend report: the posting list as it stands, under the heading the dividend window set
// (trial or posting), with each member's name and the totals.
#include "common/reportrun.h"
#include "dividends.h"

#include <functional>
#include <memory>

class DividendReport {
public:
    DividendReport(storage::Database &db, Dialogs &dialogs, const DividendGlobals &glo,
                   const PostingList &list);
    ~DividendReport();

    // Gives the run its name, files, record count, loop and totals. The report must outlive it.
    void prepare(ReportRun &run);
    ReportRun::Outcome run();

    // Lets a test see the pages of the reports that DIVIDENDREPORT runs (replaces preview and
    // print).
    static std::function<void(ReportRun &)> &testHook();

    int COUNT = 0;
    Decimal TOTAL{0, 2};

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
    const DividendGlobals &GLO;
    const PostingList &m_list;
    std::unique_ptr<storage::DataFile<MemberCU>> m_mem;
    std::unique_ptr<report::BandReport> m_bands;
    int m_next = 0;
};

// Prints a dividend window's posting list under its report variables.
void DIVIDENDREPORT(const DividendGlobals &glo, const PostingList &list);
