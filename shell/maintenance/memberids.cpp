#include "memberids.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/fatalstop.h"
#include "common/warnings.h"
#include "common/windows.h"
#include "common/windowstate.h"
#include "common/pacer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kRebuilt = QStringLiteral("Member Database Rebuilt.");
const QString kCaption = QStringLiteral("MemberID Updates ....");
const QString kUpdatingMembers = QStringLiteral("Updating MemberCU ...");
const QString kUpdatingTrans = QStringLiteral("Updating Trans with New MemberID's ...");
const QString kCompleted = QStringLiteral("All Updates Are Completed ....");
const QString kPutError = QStringLiteral("Error on PUT = %1 Error= %2");
const QString kNextError = QStringLiteral("Error on NEXT = %1 Error= %2");
// Ours: the run was stopped and rolled back, and the window stays open.
const QString kNothingChanged = QStringLiteral("Stopped.  No member or transaction was changed.");
const QString kIniSection = QStringLiteral("RenumMemberID");

// The order in which the keys are rebuilt: the local's keys first.
const char *const kKeyOrder[] = {"LocalAcct_Key", "LocalSSNum_Key", "LocalName_Key",
                                 "AcctNum_Key",   "SSNum_Key",      "Name_Key"};

bool recordGone(const storage::Error &e) {
    return e.code == storage::RecordChanged || e.code == storage::RecordNotFound;
}

QString errorText(const storage::Error &e) {
    return e.code == storage::FileSystemError && !e.driverText.isEmpty() ? e.driverText : e.text;
}
} // namespace

namespace MemberMaintenance {
bool reindex(storage::Database &db, Dialogs &dialogs) {
    {
        storage::DataFile<MemberCU> mem(db);
        if (!CHECKOPEN(mem, dialogs)) return false;
    }
    storage::FileDef def = MemberCU::layout().def();
    QList<storage::KeyDef> keys;
    for (const char *name : kKeyOrder)
        keys << def.keys.at(def.keyIndex(QString::fromLatin1(name)));
    def.keys = keys;
    // One transaction: a key that cannot be rebuilt leaves the old keys in place.
    if (!db.rebuildKeys(def)) {
        STANDARDWARNING(dialogs, 3, def.name);
        return false;
    }
    dialogs.message(QString(), kRebuilt, Dlg::Information);
    return true;
}
} // namespace MemberMaintenance

MemberIdRenumbering::MemberIdRenumbering(storage::Database &db, Dialogs &dialogs)
    : m_db(db), m_dialogs(dialogs) {}

void MemberIdRenumbering::setStatus(const QString &text) {
    LOC.STATUSSTRING = text.left(100);
    if (changed) changed();
}

void MemberIdRenumbering::setProgress(qint64 counter, qint64 total) {
    const qint64 before = LOC.PERCENTAGE.units() / 100;
    // 100 - (total - counter) / total x 100: exactly 100 on the last record.
    Decimal percent = total > 0 ? Decimal::fromInt(100) -
                                      Decimal::divide(Decimal::fromInt((total - counter) * 100),
                                                      Decimal::fromInt(total), 2)
                                : Decimal(0, 2);
    if (percent > Decimal::fromInt(100)) percent = Decimal::fromInt(100);
    if (percent.sign() < 0) percent = Decimal(0, 2);
    LOC.PERCENTAGE = percent.rounded(2);
    if (LOC.PERCENTAGE.units() / 100 != before && changed) changed();
}

bool MemberIdRenumbering::run() {
    membersNumbered = transactionsUpdated = 0;
    LOC.PERCENTAGE = Decimal(0, 2);
    QString failure;
    if (!renumber(failure)) {
        // The transaction is rolled back before the message, so no station waits on it meanwhile.
        membersNumbered = transactionsUpdated = 0;
        FATALSTOP(m_dialogs, failure);
        setStatus(kNothingChanged);
        return false;
    }
    setStatus(kCompleted);
    return true;
}

bool MemberIdRenumbering::renumber(QString &failure) {
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<Trans> tra(m_db);
    auto putFailed = [&] {
        const storage::Error &e = storage::lastError();
        failure = kPutError.arg(e.code).arg(errorText(e));
        return false;
    };
    // A walk that could not read every record must not number only those it saw.
    auto nextFailed = [&] {
        const storage::Error &e = storage::lastError();
        failure = kNextError.arg(e.code).arg(errorText(e));
        return false;
    };
    if (!mem.open() || !tra.open()) return putFailed();
    storage::Transaction batch(m_db);
    if (!batch.active()) return putFailed();
    Pacer pacer;
    auto keepAlive = [&] {
        if (yield && pacer.due()) yield();
    };

    // Every member from the first in account order, negative account numbers included, so that
    // no member keeps an old number that could equal a new one.
    setStatus(kUpdatingMembers);
    qint64 total = mem.count(), counter = 0;
    QHash<qint32, qint32> idOfAccount; // the first member of an account, as a keyed get finds it
    mem.setStart(MemberCU::AcctNum_Key);
    while (mem.next()) {
        ++counter;
        setProgress(counter, total);
        const qint32 id = qint32(counter);
        if (mem.rec.MEMBERID != id) {
            mem.rec.MEMBERID = id;
            if (!mem.put()) return putFailed();
        }
        if (!idOfAccount.contains(mem.rec.ACCTNUM)) idOfAccount.insert(mem.rec.ACCTNUM, id);
        ++membersNumbered;
        keepAlive();
    }
    if (mem.failed()) return nextFailed();

    // Transactions follow their member; those of an account without a member keep their number.
    setStatus(kUpdatingTrans);
    total = tra.count();
    counter = 0;
    tra.setStart(Trans::Acct_Key);
    while (tra.next()) {
        ++counter;
        setProgress(counter, total);
        auto it = idOfAccount.constFind(tra.rec.ACCTNUM);
        // A transaction already carrying its number is not rewritten, so an edit another
        // station has open on it is not refused for nothing.
        if (it != idOfAccount.constEnd() && tra.rec.MEMBERID != *it) {
            tra.rec.MEMBERID = *it;
            if (tra.put()) ++transactionsUpdated;
            // A transaction changed or deleted meanwhile is left as it is; a failure of the
            // database itself may have ended the transaction, and then nothing may be kept.
            else if (!recordGone(storage::lastError()))
                return putFailed();
        }
        keepAlive();
    }
    if (tra.failed()) return nextFailed();
    if (!batch.commit()) return putFailed();
    return true;
}

RenumMemberIdWindow::RenumMemberIdWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("RENUMMEMBERID");
    setWindowTitle(kCaption);
    m_status = new QLabel;
    m_status->setObjectName("LOC:STATUSSTRING");
    m_status->setMinimumWidth(320);
    m_progress = new QProgressBar;
    m_progress->setObjectName("LOC:PERCENTAGE");
    m_progress->setRange(0, 100);
    m_ok = new QPushButton("&OK");
    m_cancel = new QPushButton("&Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &RenumMemberIdWindow::start);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    m_logic.changed = [this] { refresh(); };
    // No user input while it runs: there is no cancelling, and nothing else may write to the
    // database inside the renumbering's transaction.
    m_logic.yield = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    refresh();
}

void RenumMemberIdWindow::refresh() {
    m_status->setText(m_logic.LOC.STATUSSTRING);
    m_progress->setValue(int(m_logic.LOC.PERCENTAGE.units() / 100));
}

void RenumMemberIdWindow::start() {
    m_ok->setEnabled(false);
    m_cancel->setEnabled(false);
    m_running = true;
    const bool done = m_logic.run();
    m_running = false;
    m_ok->setEnabled(true);
    m_cancel->setEnabled(true);
    if (done) close();
}

void RenumMemberIdWindow::closeEvent(QCloseEvent *event) {
    if (m_running) {
        event->ignore();
        return;
    }
    INISAVEWINDOW(this, pensionIniPath(), kIniSection);
    QWidget::closeEvent(event);
}

void REINDEXMEMBER() {
    MemberMaintenance::reindex(App::db(), App::dialogs());
}

void RENUMMEMBERID() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    if (!CHECKOPEN(mem, d) || !CHECKOPEN(tra, d)) return;
    auto *window = new RenumMemberIdWindow(db, d);
    Windows::start(window);
    INIRESTOREWINDOW(window, pensionIniPath(), kIniSection);
}
