#pragma once
// The contractors by name with what each remitted in payroll in a period (PayData), the count
// and the total.
#include "reportwindow.h"

#include <memory>

class ContractorListing : public ReportLogic {
public:
    ContractorListing(storage::Database &db, Dialogs &dialogs);
    ~ContractorListing() override;

    qint32 FROMDATE = 0, TODATE = 0; // the period, both days included

    int COUNT = 0;
    Decimal TOTAL{0, 2};

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    void startDrawing(ReportRun &run) override;
    bool step(ReportRun &run) override;
    void end(ReportRun &run) override;

private:
    std::unique_ptr<storage::DataFile<Contractor>> m_con;
    std::unique_ptr<storage::DataFile<PayData>> m_pay;
    std::unique_ptr<Listing> m_listing;
};

class ContractorListingWindow : public ReportWindow {
    Q_OBJECT
public:
    ContractorListingWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ContractorListing &logic() { return m_logic; }
    QLineEdit *fromDate() const { return m_from; }
    QLineEdit *toDate() const { return m_to; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    ContractorListing m_logic;
    QLineEdit *m_from, *m_to;
};

void CONTRACTORRPT();
