#pragma once
// Keeping the member file in order: rebuilding its keys, and giving every member a fresh internal
// number (MEM:MEMBERID 1, 2, 3 ... in account order) that the member's transactions follow.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QWidget>
#include <functional>

namespace MemberMaintenance {
// Rebuilds every key of MemberCU and says so. Changes no data. False when the file cannot be
// opened or a key cannot be rebuilt (after the standard warning).
bool reindex(storage::Database &db, Dialogs &dialogs);
} // namespace MemberMaintenance

// Renumbering runs in one database transaction: stopped half-way (a failed write, a killed
// process) it leaves every number as it was, so member ids never have gaps or doubles and the
// transactions never point at a number from the other generation.
class MemberIdRenumbering {
public:
    MemberIdRenumbering(storage::Database &db, Dialogs &dialogs);

    struct Values {
        QString STATUSSTRING;
        Decimal PERCENTAGE{0, 2}; // 0 to 100
    } LOC;

    // The status text or the whole percent changed.
    std::function<void()> changed;
    // Lets the window system in; called at most every ~20 ms while the run reads.
    std::function<void()> yield;

    // True when every member and transaction is updated. A failed write of a member ends in the
    // fatal stop; when the operator carries on, nothing has been changed and the result is false.
    bool run();

    // What the last run changed.
    qint64 membersNumbered = 0;
    qint64 transactionsUpdated = 0;

private:
    bool renumber(QString &failure);
    void setStatus(const QString &text);
    void setProgress(qint64 counter, qint64 total);

    storage::Database &m_db;
    Dialogs &m_dialogs;
};

class QLabel;
class QProgressBar;
class QPushButton;

// "MemberID Updates ...."
class RenumMemberIdWindow : public QWidget {
    Q_OBJECT
public:
    RenumMemberIdWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    MemberIdRenumbering &logic() { return m_logic; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *status() const { return m_status; }
    QProgressBar *progress() const { return m_progress; }

    // "&OK": renumbers, then closes the window when everything is updated.
    void start();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void refresh();
    MemberIdRenumbering m_logic;
    QLabel *m_status;
    QProgressBar *m_progress;
    QPushButton *m_ok, *m_cancel;
    bool m_running = false;
};

void REINDEXMEMBER();
void RENUMMEMBERID();
