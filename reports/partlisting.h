#pragma once
// "Participant Listing": the selected members with their local, SSN (masked unless the whole
// number is asked for), dates joined and closed, and balance on a date; the count and total.
#include "memberselection.h"
#include "reportwindow.h"

#include <memory>

class QCheckBox;

class ParticipantListing : public ReportLogic {
public:
    ParticipantListing(storage::Database &db, Dialogs &dialogs);
    ~ParticipantListing() override;

    MemberSelection selection;
    qint32 BALANCEDATE = 0; // the balances as of this day; 0 = today
    bool FULLSSN = false;

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
    std::unique_ptr<storage::DataFile<MemberCU>> m_mem;
    std::unique_ptr<MemberWalk> m_walk;
    std::unique_ptr<Listing> m_listing;
    qint32 m_asOf = 0;
};

class ParticipantListingWindow : public ReportWindow {
    Q_OBJECT
public:
    ParticipantListingWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ParticipantListing &logic() { return m_logic; }
    QLineEdit *balanceDate() const { return m_date; }
    QCheckBox *fullSsn() const { return m_full; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    ParticipantListing m_logic;
    QLineEdit *m_date;
    QCheckBox *m_full;
};

void PARTLISTINGWIN();
