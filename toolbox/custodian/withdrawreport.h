#pragma once
// "Schwab Withdraw Report": the listed transfer, one line per member in account order, with the
// dates it was listed with and the sum of the amounts.
#include "common/reportrun.h"
#include "withdrawtoschwab.h"

#include <memory>

class WithdrawReport {
public:
    WithdrawReport(Dialogs &dialogs, const TransferList &list);
    ~WithdrawReport();

    // Gives the run its name, record count, loop and totals. The report must outlive it.
    void prepare(ReportRun &run);
    ReportRun::Outcome run();

    Decimal TOTAL{0, 2};

private:
    Dialogs &m_dialogs;
    const TransferList &m_list;
    std::unique_ptr<report::BandReport> m_bands;
    int m_next = 0;
};

// Prints a listed transfer.
void WITHDRAWREPORT(const TransferList &list);
