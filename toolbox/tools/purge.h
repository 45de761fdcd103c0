#pragma once
// PURGEWINDOW: shortens the transaction history. Every member's transactions dated up to and
// including the purge date give way to one carry-forward transaction, dated the day after, that
// holds the balance as of the purge date; balances after that date stay as they were.
// The whole purge is one database transaction: stopped anywhere (a failed read or write, a
// killed process) it leaves the history as it was, since that history is the only proof of the
// balances it would carry forward.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QWidget>
#include <functional>

class Purge {
public:
    Purge(storage::Database &db, Dialogs &dialogs);

    struct Values {
        qint32 ENDDATE = 0;                // "Date To Purge Data Through:"
        QString BEGINSTRING;               // the carry-forward's description
        QString PERCENTAGE;                // progress text, "37%"
        Decimal BALANCE{0, 2}, PREYTD{0, 2}, YTD{0, 2};
    } LOC;

    // "&BACKUP DATA !": runs the configured backup command and waits for it. True when it ended
    // well; a failure is reported and no backup counts as made.
    bool backup();
    bool backupMade() const { return m_backupMade; }

    // "&Purge": refuses a purge date after today and, without a backup made in this window, asks
    // once more. True when the purge was committed (and "Purge Completed." shown).
    bool purge();

    // The progress text changed.
    std::function<void()> changed;
    // Lets the window system in; called at most every ~20 ms while the purge runs.
    std::function<void()> yield;

    // What the last purge did.
    qint64 membersDone = 0;
    qint64 transactionsDeleted = 0;

private:
    bool run(QString &failure);
    storage::Database &m_db;
    Dialogs &m_dialogs;
    bool m_backupMade = false;
};

class QLabel;
class QLineEdit;
class QPushButton;

// "Purge Data .... "
class PurgeWindow : public QWidget {
    Q_OBJECT
public:
    PurgeWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ~PurgeWindow() override;
    Purge &logic() { return m_logic; }
    QLineEdit *endDate() const { return m_endDate; }
    QLineEdit *description() const { return m_description; }
    QPushButton *purgeButton() const { return m_purge; }
    QPushButton *backupButton() const { return m_backup; }
    QLabel *pleaseWait() const { return m_wait; }
    QLabel *percentage() const { return m_percentage; }

    void backup();
    void purge();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Purge m_logic;
    Dialogs &m_dialogs;
    QLineEdit *m_endDate, *m_description;
    QLabel *m_wait, *m_percentage;
    QPushButton *m_purge, *m_backup, *m_cancel;
    bool m_running = false;
};

void PURGEWINDOW();
