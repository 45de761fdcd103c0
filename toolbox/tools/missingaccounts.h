#pragma once
// FINDMISSINGACCOUNTNUMBERS: transactions whose account has no member. Accounts whose orphaned
// transactions add up to nothing lose them; the others are listed with their balance and can get
// a placeholder member each, so that their money shows again. Each of the two changes is one
// database transaction: it happens whole or not at all.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QWidget>
#include <functional>
#include <map>

class MissingAccounts {
public:
    MissingAccounts(storage::Database &db, Dialogs &dialogs);

    struct Entry {
        qint32 ACCOUNTNUMBER = 0;
        Decimal BALANCE{0, 2};
        qint64 TRANSPOS = 0; // the first orphaned transaction found for it
    };
    // ACCOUNTNUMBERQUEUE, in account order.
    std::map<qint32, Entry> ACCOUNTNUMBERQUEUE;

    struct Values {
        QString TITLESTRING;
        int PERCENTAGE = 0;
        Decimal TOTALMISSING{0, 2};
    } LOC;

    // "Search": collects the orphans, deletes those of zero-balance accounts, and says what is
    // left. False (after a message, nothing deleted) when a file could not be read or written.
    bool search();
    // "Create Accounts": a placeholder member for every listed account, with the first SSN of
    // 000-00-0000, 000-00-0001 ... that no member has. False (after a message, no member added)
    // on a failure; the list is kept then.
    bool createAccounts();

    static QString placeholderSsn(int counter); // 000-00-0000 style
    static inline const QString PlaceholderName = QStringLiteral("_Recovered Missing Accounts");
    static constexpr qint32 PlaceholderLocal = 1111;

    // The status line, the progress or the list changed.
    std::function<void()> changed;
    // Lets the window system in; called at most every ~20 ms during a run.
    std::function<void()> yield;

private:
    void setStatus(const QString &text);
    void setProgress(qint64 counter, qint64 total);
    bool deleteZeroBalances(QString &failure);
    storage::Database &m_db;
    Dialogs &m_dialogs;
};

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

// "Find Missing Account Numbers ..."
class MissingAccountsWindow : public QWidget {
    Q_OBJECT
public:
    MissingAccountsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    MissingAccounts &logic() { return m_logic; }
    QTableWidget *list() const { return m_list; }
    QPushButton *searchButton() const { return m_search; }
    QPushButton *createButton() const { return m_create; }
    QLineEdit *totalMissing() const { return m_total; }

    void search();
    void createAccounts();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void refresh();
    void fillList();
    MissingAccounts m_logic;
    QLabel *m_title;
    QProgressBar *m_percent;
    QTableWidget *m_list;
    QLineEdit *m_total;
    QPushButton *m_search, *m_cancel, *m_create;
    bool m_running = false;
};

void FINDMISSINGACCOUNTNUMBERS();
