#pragma once
// Changing a member's account number and/or SSN in every file that holds it: the account number
// in MemberCU and Trans, the SSN in MemberCU, PayBackup and PayBreak.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>

class AccountChange {
public:
    AccountChange(storage::Database &db, Dialogs &dialogs);

    // The values on the window.
    struct Values {
        qint32 OLDACCT = 0, NEWACCT = 0;
        QString OLDSSNUM, NEWSSNUM;
        QString CHANGESTRING; // status text while working
        qint32 COUNTER = 0;   // progress, 0 to 100
    } LOC;

    // The status text or the progress changed.
    std::function<void()> changed;
    // Lets the window system in; called at most every ~20 ms while records are rewritten.
    std::function<void()> yield;

    bool accountPartWanted() const { return LOC.NEWACCT > 0 && LOC.OLDACCT != 0; }
    bool ssnPartWanted() const;

    // "Cha&nge": checks and asks first, then rewrites every record of the parts that passed in
    // one database transaction, so a failure or a killed process leaves every file as it was.
    // True when the fields are to be cleared (something was attempted); false when neither part
    // was filled in, after saying so, so that the clerk can complete the entries.
    bool change();

    // What the last change rewrote.
    qint64 membersChanged = 0, transChanged = 0, backupsChanged = 0, breaksChanged = 0;

private:
    bool accountChecks();
    bool ssnChecks();
    // A part refused by the checks made again inside the transaction is switched off and its
    // message added to `refusals`; false when the database failed (nothing is kept).
    bool write(bool &account, bool &ssn, QList<Message> &refusals, QString &failure);
    bool writeAccount(QList<Message> &refusals, bool &done);
    bool writeSsn(QList<Message> &refusals, bool &done);
    template <class R> bool rewritePayLines(qint64 &changedCount);
    // The transactions that already use `acct` without a member: their number and sum. False
    // when Trans cannot be read.
    bool orphanedOn(qint32 acct, qint64 &count, Decimal &sum);
    Message orphanedRefusal(qint64 count, const Decimal &sum) const;
    bool findMember(MemberCU &into, storage::Key<MemberCU> key, qint32 acct, const QString &ssn);
    void setStatus(const QString &text);
    void setProgress(qint64 counter, qint64 total);
    void keepAlive();

    storage::Database &m_db;
    Dialogs &m_dialogs;
    QString m_oldSsn, m_newSsn; // clipped
    QElapsedTimer m_sinceYield;
};

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "Change Account Number ...."
class ChangeAcctNumWindow : public QDialog {
    Q_OBJECT
public:
    ChangeAcctNumWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    AccountChange &logic() { return m_logic; }
    QLineEdit *field(const QString &name) const;
    QPushButton *changeButton() const { return m_change; }
    QPushButton *cancelButton() const { return m_cancel; }
    QProgressBar *progress() const { return m_progress; }
    QLabel *status() const { return m_status; }

    void change();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void store();
    void refresh();
    AccountChange m_logic;
    QLineEdit *m_oldAcct, *m_newAcct, *m_oldSsn, *m_newSsn;
    QLabel *m_status;
    QProgressBar *m_progress;
    QPushButton *m_change, *m_cancel;
    bool m_working = false;
};

void CHANGEACCTNUM();
