#pragma once
// "Withdraw To Schwab ...": every member's whole balance as of a date is listed, printed, and on
// confirmation moved out of the fund's books to the custodian as one withdrawal per member.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

// One member whose balance goes to the custodian.
struct TransferRow {
    QString MEMBERNUMBER; // the account number as digits
    Decimal AMOUNTOFWITHDRAW{0, 2};
    QString MEMBERNAME;
    bool operator==(const TransferRow &) const = default;
};

// The transfer as listed: the dates it was listed with and its rows in account order.
struct TransferList {
    qint32 WITHDRAWDATE = 0;  // balances include transactions up to and including this day
    qint32 EFFECTIVEDATE = 0; // the date of the posted withdrawals
    QList<TransferRow> WITHDRAWQUEUE;
};

// Prints a listed transfer (WITHDRAWREPORT in the program; tests record the call).
using WithdrawReportCall = std::function<void(const TransferList &)>;

class SchwabTransfer {
public:
    enum Outcome { NotStarted, NothingToTransfer, ReadFailed, NotPosted, Posted, PostFailed };

    SchwabTransfer(storage::Database &db, Dialogs &dialogs, WithdrawReportCall report);

    TransferList MOD;
    qint32 processing = 0; // the account being listed or posted
    // Told every ~20 ms while listing and posting.
    std::function<void()> progress;

    void open(); // both dates start as today
    // OK: list, print, ask, post.
    Outcome run();

    // The descriptions of the posted withdrawals.
    static QString description(const Decimal &amount);
    // The amount as the report prints it: dollar sign, grouping, minus for negatives, 17 wide,
    // wider for what 17 cannot hold.
    static QString amountText(const Decimal &amount);

private:
    // Every member with a balance other than zero as of the withdraw date; false when the
    // members or a balance could not be read.
    bool gather(QList<TransferRow> &rows);
    bool post();
    void keepAlive();

    storage::Database &m_db;
    Dialogs &m_dialogs;
    WithdrawReportCall m_report;
    QElapsedTimer m_sinceProgress;
};

class QLabel;
class QLineEdit;
class QPushButton;

class WithdrawToSchwabWindow : public QDialog {
    Q_OBJECT
public:
    WithdrawToSchwabWindow(storage::Database &db, Dialogs &dialogs, WithdrawReportCall report,
                           QWidget *parent = nullptr);
    ~WithdrawToSchwabWindow() override;
    SchwabTransfer &logic() { return m_logic; }
    QLineEdit *withdrawDate() const { return m_withdrawDate; }
    QLineEdit *effectiveDate() const { return m_effectiveDate; }
    QLabel *processingText() const { return m_processing; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void ok();

private:
    void setRunning(bool running);
    SchwabTransfer m_logic;
    Dialogs &m_dialogs;
    QLineEdit *m_withdrawDate, *m_effectiveDate;
    QLabel *m_processingPrompt, *m_processing;
    QPushButton *m_ok, *m_cancel;
};

void WITHDRAWTOSCHWAB();
