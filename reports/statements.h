#pragma once
// "Participant Statements": one statement per selected member for a period: the fund's name and
// address, the member's address where a window envelope shows it, the balance at the start,
// every transaction with a running balance, the balance at the end and the period's and year's
// totals by kind. A statement that runs over a page continues with a short header. Optionally
// members with no activity and nothing on account are left out, and each statement is also
// saved as a PDF file named by the account number.
#include "memberselection.h"
#include "movementkinds.h"
#include "periodwindow.h"

#include <QHash>
#include <memory>

class QCheckBox;

class ParticipantStatements : public ReportLogic {
public:
    ParticipantStatements(storage::Database &db, Dialogs &dialogs);
    ~ParticipantStatements() override;

    MemberSelection selection;
    qint32 FROMDATE = 0, TODATE = 0;
    bool SKIPIDLE = false;  // leave out members with no activity in the period and a zero balance
    QString MESSAGE;        // printed on every statement
    QString PDFFOLDER;      // when set, each statement is also saved there as ACCOUNT.PDF

    int PRINTED = 0;  // statements drawn
    int SKIPPED = 0;  // left out as idle
    int SAVED = 0;    // PDF files written

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    void startDrawing(ReportRun &run) override;
    bool step(ReportRun &run) override;
    void end(ReportRun &run) override;

private:
    struct Line {
        qint32 date;
        QString desc;
        Decimal amount, balance;
    };
    void draw(const MemberCU &m, const Decimal &opening, const QList<Line> &lines,
              const MovementSums &period, const MovementSums &year);
    bool savePdf(ReportRun &run, qint32 acct, qsizetype firstPage);
    QString describe(const Trans &t) const;

    std::unique_ptr<storage::DataFile<MemberCU>> m_mem;
    std::unique_ptr<storage::DataFile<Trans>> m_tra;
    std::unique_ptr<MemberWalk> m_walk;
    std::unique_ptr<report::BandReport> m_bands;
    QStringList m_fund; // name, address lines
    QHash<qint32, QString> m_codes;
    bool m_pdfFailed = false;
};

class ParticipantStatementsWindow : public PeriodWindow {
    Q_OBJECT
public:
    ParticipantStatementsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ParticipantStatements &logic() { return m_logic; }
    QCheckBox *skipIdle() const { return m_skip; }
    QLineEdit *message() const { return m_message; }
    QLineEdit *pdfFolder() const { return m_folder; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    ParticipantStatements m_logic;
    QLineEdit *m_message, *m_folder;
    QCheckBox *m_skip;
};

void PARTSTMTWIN();
