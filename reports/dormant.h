#pragma once
// "Participant Dormant Report": open accounts with no deposit and no withdrawal since a chosen
// date (a deposit or withdrawal on that date counts as activity) whose balance is at least the
// fund's dormant amount; the last activity's date and kind, the balance; count and total.
#include "reportwindow.h"

#include <memory>

class DormantAccounts : public ReportLogic {
public:
    DormantAccounts(storage::Database &db, Dialogs &dialogs);
    ~DormantAccounts() override;

    // The selection's open/closed choice is not used: only open accounts can be dormant.
    MemberSelection selection;
    qint32 SINCEDATE = 0;

    int COUNT = 0;
    Decimal TOTAL{0, 2};
    Decimal MINIMUM{0, 2}; // the fund's dormant amount, as read when the report began

    // Two years before `today` (February 29th becomes February 28th).
    static qint32 defaultSince(qint32 today);

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    void startDrawing(ReportRun &run) override;
    bool step(ReportRun &run) override;
    void end(ReportRun &run) override;

private:
    std::unique_ptr<storage::DataFile<MemberCU>> m_mem;
    std::unique_ptr<storage::DataFile<Trans>> m_tra;
    std::unique_ptr<MemberWalk> m_walk;
    std::unique_ptr<Listing> m_listing;
};

class DormantReportWindow : public ReportWindow {
    Q_OBJECT
public:
    DormantReportWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    DormantAccounts &logic() { return m_logic; }
    QLineEdit *sinceDate() const { return m_since; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    DormantAccounts m_logic;
    QLineEdit *m_since;
};

void DORMANTREPORTWIN();
