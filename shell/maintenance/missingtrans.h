#pragma once
// The report of orphaned money: every transaction whose account number has no member record,
// grouped by account, a separator line between two accounts. It repairs nothing.
#include "data/records.h"
#include "platform/report/report.h"

#include <memory>

class Dialogs;
class ReportRun;

class MissingMemberTransReport {
public:
    MissingMemberTransReport(storage::Database &db, Dialogs &dialogs);
    ~MissingMemberTransReport();

    // Gives the run its name, files, record count and loop. The report must outlive the run.
    void attach(ReportRun &run);

    // The missing account printed last (0 before the first).
    qint32 LASTACCTNUM = 0;

private:
    bool open(ReportRun &run);
    bool loop(ReportRun &run);
    void finish(ReportRun &run);
    bool hasMember(qint32 acctNum);
    void drawPageHeader(report::Report &r, int top) const;
    void printSeparator();
    void printDetail();

    Dialogs &m_dialogs;
    storage::DataFile<Trans> m_tra;
    storage::DataFile<MemberCU> m_mem;
    std::unique_ptr<report::BandReport> m_bands;
    // Transactions come in account order: one member lookup per account.
    qint32 m_lookedUp = 0;
    bool m_lookedUpValid = false, m_found = false;
    int m_accountWidth = 0, m_amountWidth = 0, m_dateWidth = 0;
};

void MISSINGMEMBERTRANS();
