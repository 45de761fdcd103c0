#pragma once
// "Payroll Deposit Report": the lines of PAYQUEUE with each member's local, account and name,
// and the totals. The caller's GLO.TITLE tells a trial, a posting and a re-print apart.
#include "common/reportrun.h"
#include "payrollglobals.h"
#include "platform/storage/database.h"

#include <functional>

class PayrollReport {
public:
    PayrollReport(storage::Database &db, Dialogs &dialogs, PayrollGlobals &glo,
                  const PayQueue &queue, qint32 local);

    // Under "the contractor --- the payroll date", or the re-print's date text when the date is 0.
    QString subtitle(qint32 contractorNumber, qint32 payrollDate);
    // Locals 667 and 33 know their members by SSN.
    static bool accountsBySsn(qint32 local);

    // Sets up the run (name, progress base, loop, totals); run.run() then produces the pages.
    void prepare(ReportRun &run, qint32 contractorNumber, qint32 payrollDate);
    ReportRun::Outcome run(qint32 contractorNumber, qint32 payrollDate);

    // Lets a test see the pages of the report that PAYROLLRPT runs (replaces preview and print).
    static std::function<void(ReportRun &)> &testHook();

    int TOTALPARTS = 0;
    Decimal TOTAL{0, 2};

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
    PayrollGlobals &GLO;
    const PayQueue &m_queue;
    qint32 m_local;
    std::unique_ptr<report::BandReport> m_bands;
};

void PAYROLLRPT(qint32 ContractorNumber, qint32 PayrollDate);
