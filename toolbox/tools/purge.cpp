#include "purge.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/pacer.h"
#include "common/programs.h"
#include "common/windows.h"
#include "data/lookups.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/picture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Purge Data .... ");
const QString kBeginString = QStringLiteral("Begining Balance");
const QString kCompletedCaption = QStringLiteral("Complete ...");
const QString kCompleted = QStringLiteral("Purge Completed.");
const QString kWarning = QStringLiteral(
    "This procedure WILL delete ALL data up to and including \"Date To Purge Data Through\".");
const QString kBackupReminder =
    QStringLiteral("Please make sure you have a COMPLETE backup of your data before purging !");
const QString kPleaseWait = QStringLiteral("Purging Data.  Please Wait ....");
const QString kDatePicture = QStringLiteral("@d2");
// Ours: the purge's refusals and failures.
const QString kFutureDate = QStringLiteral(
    "The purge date %1 lies after today.  Only transactions up to today can be purged.");
const QString kNoBackup =
    QStringLiteral("No backup was made in this window.|Purge the data all the same?");
const QString kStopped =
    QStringLiteral("The purge was stopped; no transaction was deleted or added.|%1");
const QString kMembersUnread = QStringLiteral("The members could not be read: %1.");
const QString kBalanceUnread = QStringLiteral("The balance of account %1 could not be read: %2.");
const QString kTransUnread = QStringLiteral("The transactions of account %1 could not be read: %2.");
const QString kDeleteFailed = QStringLiteral("A transaction of account %1 could not be deleted: %2.");
const QString kAddFailed =
    QStringLiteral("The carry-forward transaction of account %1 could not be added: %2.");
const QString kNotSaved = QStringLiteral("The purge could not be saved: %1.");
const QString kBackupFailed = QStringLiteral("The backup did not complete (%1).  No backup has been made.");
const QString kNotStarted = QStringLiteral("the command \"%1\" could not be run");
const QString kExitCode = QStringLiteral("the command \"%1\" ended with code %2");
} // namespace

Purge::Purge(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {
    LOC.ENDDATE = Clock::today();
    LOC.BEGINSTRING = kBeginString;
}

bool Purge::backup() {
    const QString command = Programs::backup();
    const int rc = Launcher::run(command);
    if (rc != 0) {
        m_dialogs.message(kCaption,
                          kBackupFailed.arg(rc < 0 ? kNotStarted.arg(command) : kExitCode.arg(command).arg(rc)),
                          Dlg::Error);
        return false;
    }
    m_backupMade = true;
    return true;
}

bool Purge::purge() {
    membersDone = transactionsDeleted = 0;
    if (LOC.ENDDATE <= 0) {
        Entries::notADate(m_dialogs, QString());
        return false;
    }
    // Transactions between today and a later purge date would be carried and kept both.
    if (LOC.ENDDATE > Clock::today()) {
        m_dialogs.message(kCaption, kFutureDate.arg(Picture::format(qint64(LOC.ENDDATE), kDatePicture)),
                          Dlg::Exclamation);
        return false;
    }
    if (!m_backupMade &&
        m_dialogs.message(kCaption, kNoBackup, Dlg::Question, Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes)
        return false;
    QString failure;
    if (!run(failure)) {
        membersDone = transactionsDeleted = 0;
        m_dialogs.message(kCaption, kStopped.arg(failure), Dlg::Error);
        return false;
    }
    m_dialogs.message(kCompletedCaption, kCompleted, Dlg::Information);
    return true;
}

bool Purge::run(QString &failure) {
    auto fail = [&](const QString &text, qint32 acct) {
        failure = text.arg(acct).arg(storage::lastErrorText());
        return false;
    };
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<Trans> tra(m_db);
    if (!mem.open() || !tra.open()) {
        failure = kMembersUnread.arg(storage::lastErrorText());
        return false;
    }
    storage::Transaction batch(m_db);
    if (!batch.active()) {
        failure = kNotSaved.arg(storage::lastErrorText());
        return false;
    }
    Pacer pacer;
    auto keepAlive = [&] {
        if (yield && pacer.due()) yield();
    };
    const qint64 total = mem.count();
    const qint32 carryDate = LOC.ENDDATE + 1;
    qint64 counter = 0;
    mem.setStart(MemberCU::AcctNum_Key);
    while (mem.next()) {
        LOC.PERCENTAGE = QString("%1%").arg(total > 0 ? counter * 100 / total : 0);
        if (changed) changed();
        const qint32 acct = mem.rec.ACCTNUM;
        if (!GETBALANCE(m_db, QString::number(acct), LOC.BALANCE, LOC.PREYTD, LOC.YTD, LOC.ENDDATE))
            return fail(kBalanceUnread, acct);
        // Within an account the key runs from the latest date back: from the purge date on,
        // everything up to the next account goes.
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = LOC.ENDDATE;
        tra.set(Trans::Acct_Key);
        while (tra.next() && tra.rec.ACCTNUM == acct) {
            if (!tra.remove()) return fail(kDeleteFailed, acct);
            ++transactionsDeleted;
            keepAlive();
        }
        if (tra.failed()) return fail(kTransUnread, acct);
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = carryDate;
        tra.rec.TRANSAMOUNT = LOC.BALANCE;
        tra.rec.TRANSTYPE = TransType::CarriedBalance;
        tra.rec.DESC = LOC.BEGINSTRING;
        tra.rec.TRANSTIME = Clock::clock();
        tra.rec.USERID = GNT().USERID;
        if (!tra.add()) return fail(kAddFailed, acct);
        ++counter;
        ++membersDone;
        keepAlive();
    }
    if (mem.failed()) {
        failure = kMembersUnread.arg(storage::lastErrorText());
        return false;
    }
    if (!batch.commit()) {
        failure = kNotSaved.arg(storage::lastErrorText());
        return false;
    }
    return true;
}

PurgeWindow::PurgeWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs), m_dialogs(dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("PURGEWINDOW");
    setWindowTitle(kCaption);
    m_endDate = new QLineEdit(Picture::format(qint64(m_logic.LOC.ENDDATE), kDatePicture));
    m_endDate->setObjectName("LOC:ENDDATE");
    Entries::setDate(m_endDate, kDatePicture);
    m_description = new QLineEdit(m_logic.LOC.BEGINSTRING);
    m_description->setObjectName("LOC:BEGINSTRING");
    m_description->setMaxLength(100);
    auto *form = new QFormLayout;
    form->addRow("Date To Purge Data Through:", m_endDate);
    form->addRow("Begining Balance Description:", m_description);
    auto *warning = new QLabel(kWarning);
    warning->setWordWrap(true);
    auto *reminder = new QLabel(kBackupReminder);
    reminder->setWordWrap(true);
    m_wait = new QLabel(kPleaseWait);
    m_percentage = new QLabel;
    m_percentage->setObjectName("LOC:PERCENTAGE");
    m_wait->hide();
    m_percentage->hide();
    m_purge = new QPushButton("&Purge");
    m_backup = new QPushButton("&BACKUP DATA !");
    m_backup->setToolTip("Please Backup you data before Purging !");
    m_cancel = new QPushButton("&Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_purge);
    buttons->addWidget(m_backup);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(warning);
    layout->addWidget(reminder);
    layout->addWidget(m_wait);
    layout->addWidget(m_percentage);
    layout->addLayout(buttons);
    connect(m_purge, &QPushButton::clicked, this, &PurgeWindow::purge);
    connect(m_backup, &QPushButton::clicked, this, &PurgeWindow::backup);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    m_logic.changed = [this] { m_percentage->setText(m_logic.LOC.PERCENTAGE); };
    // No user input while the purge runs: it cannot be cancelled, and nothing else may write to
    // the database inside its transaction.
    m_logic.yield = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
}

PurgeWindow::~PurgeWindow() { Entries::detachEntries(this); }

void PurgeWindow::backup() {
    if (m_logic.backup()) m_backup->hide();
}

void PurgeWindow::purge() {
    if (!Entries::readDate(m_dialogs, m_endDate->text(), m_logic.LOC.ENDDATE)) return;
    m_logic.LOC.BEGINSTRING = m_description->text();
    m_backup->hide();
    m_wait->show();
    m_percentage->show();
    m_purge->setEnabled(false);
    m_cancel->setEnabled(false);
    m_running = true;
    const bool done = m_logic.purge();
    m_running = false;
    m_purge->setEnabled(true);
    m_cancel->setEnabled(true);
    if (done) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    m_wait->hide();
    m_percentage->hide();
    m_backup->setVisible(!m_logic.backupMade());
}

void PurgeWindow::closeEvent(QCloseEvent *event) {
    if (m_running) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void PURGEWINDOW() {
    storage::DataFile<MemberCU> mem(App::db());
    storage::DataFile<Trans> tra(App::db());
    if (!CHECKOPEN(mem, App::dialogs()) || !CHECKOPEN(tra, App::dialogs())) return;
    Windows::start(new PurgeWindow(App::db(), App::dialogs()));
}
