#pragma once
// The fund's total: every transaction added up, with the administration fees taken.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QWidget>
#include <functional>

class TransactionBalance {
public:
    TransactionBalance(storage::Database &db, Dialogs &dialogs);

    struct Values {
        Decimal BALANCE{0, 2};
        Decimal ADMINFEES{0, 2};
    } LOC;

    // The totals changed; called at most every ~20 ms while reading, and once at the end.
    std::function<void()> changed;
    // Set (from `changed`) to stop reading; the totals then cover the records read.
    bool stopRequested = false;

    // "Get Balance": the totals from scratch. False when not even the first record could be
    // read (after the fatal stop; the totals stay 0).
    bool getBalance();

    // Only a transaction of exactly -25.00 is a fee, whatever its type or description.
    static bool isAdminFee(const Decimal &amount);

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
};

class QLineEdit;
class QPushButton;

// "Balance Of All Transactions ... "
class BalanceTransactionsWindow : public QWidget {
    Q_OBJECT
public:
    BalanceTransactionsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    TransactionBalance &logic() { return m_logic; }
    QLineEdit *balance() const { return m_balance; }
    QLineEdit *adminFees() const { return m_fees; }
    QPushButton *getBalanceButton() const { return m_get; }
    QPushButton *cancelButton() const { return m_cancel; }

    void getBalance();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void refresh();
    TransactionBalance m_logic;
    QLineEdit *m_balance, *m_fees;
    QPushButton *m_get, *m_cancel;
    bool m_running = false;
    bool m_closeAfterRun = false;
};

void BALANCETRANSACTIONS();
