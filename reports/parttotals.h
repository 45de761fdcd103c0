#pragma once
// "Participant Totals Report": for a period, each selected member's opening balance, the sums of
// the period's transactions by kind and the closing balance, then the same in total with every
// other transaction code on its own line. The grand total's opening plus its movements must
// equal its closing balance: the report shows the proof and says when it fails.
//
// The database adds up the amounts: the balances before the period and at its end by account,
// the period's movements by account and code, under one consistent read, so that the proof holds
// even while another station posts.
#include "platform/storage/database.h"
#include "memberselection.h"
#include "movementkinds.h"
#include "periodwindow.h"

#include <QHash>
#include <memory>

class ParticipantTotals : public ReportLogic {
public:
    ParticipantTotals(storage::Database &db, Dialogs &dialogs);
    ~ParticipantTotals() override;

    MemberSelection selection;
    qint32 FROMDATE = 0, TODATE = 0;

    int COUNT = 0;
    Decimal OPENING{0, 2}, CLOSING{0, 2};
    MovementSums MOVEMENTS;
    // Opening + movements = closing for the whole selection.
    bool balances() const { return OPENING + MOVEMENTS.total() == CLOSING; }

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    void startDrawing(ReportRun &run) override;
    bool step(ReportRun &run) override;
    void end(ReportRun &run) override;
    void runEnded() override { m_read.reset(); }

private:
    struct Balances {
        Decimal opening{0, 2}, closing{0, 2};
    };
    bool readSums();

    std::unique_ptr<storage::DataFile<MemberCU>> m_mem;
    std::unique_ptr<storage::ReadSnapshot> m_read;
    QHash<qint32, Balances> m_balances;   // by account; an account without any is at zero
    QHash<qint32, MovementSums> m_sums;   // by account, the period's movements
    std::unique_ptr<MemberWalk> m_walk;
    std::unique_ptr<Listing> m_listing;
    QHash<qint32, QString> m_codes;
};

class ParticipantTotalsWindow : public PeriodWindow {
    Q_OBJECT
public:
    ParticipantTotalsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ParticipantTotals &logic() { return m_logic; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    ParticipantTotals m_logic;
};

void PARTTOTALWIN();
