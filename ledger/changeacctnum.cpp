#include "changeacctnum.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/windows.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cstdint>

namespace {
const QString kCaption = QStringLiteral("Change Account Number ....");
const QString kOldAcctPrompt = QStringLiteral("Old Account Number:");
const QString kNewAcctPrompt = QStringLiteral("New Account Number:");
const QString kOldSsnPrompt = QStringLiteral("Old Social Security Number:");
const QString kNewSsnPrompt = QStringLiteral("New Social Security Number:");
const QString kChangeButton = QStringLiteral("Cha&nge");
const QString kCancelButton = QStringLiteral("&Cancel");

const QString kChangingMember = QStringLiteral("Changing Member Data.  Please Wait...");
const QString kChangingSsn = QStringLiteral("Changing Member Social Security Number.  Please Wait...");
const QString kChangingBackup = QStringLiteral("Changing Payroll Backup Information.  Please Wait...");
const QString kChangingBreak = QStringLiteral("Changing Payroll Break Down Information.  Please Wait...");

const QString kAcctExistsCaption = QStringLiteral("Account Already Exists ...");
const QString kAcctExists = QStringLiteral("Member Account number already exists.");
const QString kConfirmCaption = QStringLiteral("Changing Account Number ...");
const QString kConfirm = QStringLiteral("Are you sure you wish to change the account number from #%1 to #%2 ?");
const QString kCanceledCaption = QStringLiteral("Update Canceled ...");
const QString kCanceled = QStringLiteral("Update of old account number to new account number canceled by user.");
const QString kOldNotFoundCaption = QStringLiteral("Old Account Not Found ...");
const QString kOldNotFound =
    QStringLiteral("The old account number could not be found and therefore count not be changed.");
const QString kCompletedCaption = QStringLiteral("Update Completed ....");
const QString kAcctCompleted = QStringLiteral("Update of old acct # %1 to new acct #%2 completed.");
const QString kSsnExistsCaption = QStringLiteral("SS# already exists ...");
const QString kSsnExists = QStringLiteral(
    "Social Security Number already Exists for Account # %1.  Unable to Change Social Security Number.");
// Ours: money already on the new number that belongs to no member would silently become this
// member's; it is refused and the clerk sent to the tool that deals with such money.
const QString kOrphanedCaption = QStringLiteral("Account Has Transactions ...");
const QString kOrphaned = QStringLiteral(
    "Account # %1 already holds %2 in %3 that belong to no member.  Unable to change the account "
    "number; use \"Find Missing Account Numbers\" on the Utilities menu to settle that money first.");
const QString kOrphanedOne = QStringLiteral("1 transaction");
const QString kOrphanedMany = QStringLiteral("%1 transactions");
const QString kSsnCompleted = QStringLiteral("Update of old social security #%1 to new social security #%2 completed.");
// Ours: nothing filled in, a new SSN typed only in part, and a change that could not be saved.
const QString kNothingToChange = QStringLiteral(
    "Please enter the old and the new account number, the old and the new Social Security Number, or both.");
const QString kSsnIncomplete = QStringLiteral(
    "The new Social Security Number is not complete (###-##-####).  Unable to Change Social Security Number.");
const QString kFailed = QStringLiteral(
    "The change could not be saved; no member, transaction or payroll record was changed.  Error: %1.");

const QString kSsnPicture = QStringLiteral("K###-##-####K");
const QRegularExpression kCompleteSsn(QStringLiteral("^\\d{3}-\\d{2}-\\d{4}$"));

QString errorText() {
    const storage::Error &e = storage::lastError();
    return e.driverText.isEmpty() ? e.text : e.driverText;
}

Message notice(const QString &caption, const QString &text) {
    return {caption, text, Dlg::Information, Dlg::Ok, Dlg::Ok, {}};
}

// A read that found nothing is an answer; anything else is a failure of the database.
bool readFailed() {
    const int code = storage::lastError().code;
    return code != storage::NoError && code != storage::RecordNotFound;
}
} // namespace

AccountChange::AccountChange(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}

bool AccountChange::ssnPartWanted() const {
    return !clip(LOC.OLDSSNUM).isEmpty() && !clip(LOC.NEWSSNUM).isEmpty();
}

void AccountChange::setStatus(const QString &text) {
    LOC.CHANGESTRING = text.left(100);
    if (changed) changed();
}

void AccountChange::setProgress(qint64 counter, qint64 total) {
    const qint32 percent = total > 0 ? qint32(counter * 100 / total) : 0;
    if (percent == LOC.COUNTER) return;
    LOC.COUNTER = percent;
    if (changed) changed();
}

void AccountChange::keepAlive() {
    if (!m_sinceYield.isValid()) m_sinceYield.start();
    if (yield && m_sinceYield.elapsed() >= 20) {
        m_sinceYield.restart();
        yield();
    }
}

bool AccountChange::findMember(MemberCU &into, storage::Key<MemberCU> key, qint32 acct, const QString &ssn) {
    storage::DataFile<MemberCU> mem(m_db);
    if (!mem.open()) return false;
    mem.rec.ACCTNUM = acct;
    mem.rec.SSNUM = ssn;
    if (!mem.get(key)) return false;
    into = mem.rec;
    return true;
}

bool AccountChange::orphanedOn(qint32 acct, qint64 &count, Decimal &sum) {
    count = 0;
    sum = Decimal(0, 2);
    storage::DataFile<Trans> tra(m_db);
    if (!tra.open()) return false;
    tra.rec.ACCTNUM = acct;
    tra.set(Trans::AcctDateRevKey, 1);
    while (tra.next() && tra.rec.ACCTNUM == acct) {
        ++count;
        sum += tra.rec.TRANSAMOUNT;
    }
    return !readFailed();
}

Message AccountChange::orphanedRefusal(qint64 count, const Decimal &sum) const {
    return notice(kOrphanedCaption,
                  kOrphaned.arg(LOC.NEWACCT)
                      .arg(Picture::format(sum, "@n-$19.2").trimmed(),
                           count == 1 ? kOrphanedOne : kOrphanedMany.arg(count)));
}

// The questions come before anything is written, and outside the database transaction, so no
// other station waits while the clerk reads them.
bool AccountChange::accountChecks() {
    setStatus(kChangingMember);
    MemberCU found;
    if (findMember(found, MemberCU::AcctNum_Key, LOC.NEWACCT, {})) {
        m_dialogs.message(kAcctExistsCaption, kAcctExists);
        return false;
    }
    qint64 orphans = 0;
    Decimal sum;
    if (!orphanedOn(LOC.NEWACCT, orphans, sum)) {
        m_dialogs.message(kCaption, kFailed.arg(errorText()), Dlg::Error);
        return false;
    }
    if (orphans > 0) {
        m_dialogs.show(orphanedRefusal(orphans, sum));
        return false;
    }
    if (m_dialogs.message(kConfirmCaption, kConfirm.arg(LOC.OLDACCT).arg(LOC.NEWACCT), Dlg::Warning,
                          Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes) {
        m_dialogs.message(kCanceledCaption, kCanceled);
        return false;
    }
    if (!findMember(found, MemberCU::AcctNum_Key, LOC.OLDACCT, {})) {
        m_dialogs.message(kOldNotFoundCaption, kOldNotFound);
        return false;
    }
    return true;
}

bool AccountChange::ssnChecks() {
    setStatus(kChangingSsn);
    // A partial SSN written into every payroll line would tie them to nobody.
    if (!kCompleteSsn.match(m_newSsn).hasMatch()) {
        m_dialogs.message(kCaption, kSsnIncomplete);
        return false;
    }
    MemberCU found;
    if (findMember(found, MemberCU::SSNum_Key, 0, m_newSsn)) {
        m_dialogs.message(kSsnExistsCaption, kSsnExists.arg(found.ACCTNUM));
        return false;
    }
    return true;
}

bool AccountChange::change() {
    membersChanged = transChanged = backupsChanged = breaksChanged = 0;
    m_oldSsn = clip(LOC.OLDSSNUM);
    m_newSsn = clip(LOC.NEWSSNUM);
    bool account = accountPartWanted(), ssn = ssnPartWanted();
    if (!account && !ssn) {
        m_dialogs.message(kCaption, kNothingToChange);
        return false;
    }
    if (account) account = accountChecks();
    if (ssn) ssn = ssnChecks();
    if (account || ssn) {
        QList<Message> refusals;
        QString failure;
        const bool saved = write(account, ssn, refusals, failure);
        for (const Message &m : refusals) m_dialogs.show(m);
        if (!saved) {
            membersChanged = transChanged = backupsChanged = breaksChanged = 0;
            m_dialogs.message(kCaption, kFailed.arg(failure), Dlg::Error);
        } else {
            if (account) m_dialogs.message(kCompletedCaption, kAcctCompleted.arg(LOC.OLDACCT).arg(LOC.NEWACCT));
            if (ssn) m_dialogs.message(kCompletedCaption, kSsnCompleted.arg(m_oldSsn, m_newSsn));
        }
    }
    LOC = Values();
    if (changed) changed();
    return true;
}

// Both parts in one transaction. The checks are made again inside it: another station may have
// given the new number to a member, or changed the old one, since the clerk was asked.
bool AccountChange::write(bool &account, bool &ssn, QList<Message> &refusals, QString &failure) {
    storage::Transaction batch(m_db);
    bool ok = batch.active();
    if (ok && account) ok = writeAccount(refusals, account);
    if (ok && ssn) ok = writeSsn(refusals, ssn);
    if (ok) ok = batch.commit();
    if (!ok) failure = errorText();
    return ok;
}

bool AccountChange::writeAccount(QList<Message> &refusals, bool &done) {
    setStatus(kChangingMember);
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<Trans> tra(m_db);
    if (!mem.open() || !tra.open()) return false;
    mem.rec.ACCTNUM = LOC.NEWACCT;
    if (mem.get(MemberCU::AcctNum_Key)) {
        refusals << notice(kAcctExistsCaption, kAcctExists);
        done = false;
        return true;
    }
    if (readFailed()) return false;
    qint64 orphans = 0;
    Decimal sum;
    if (!orphanedOn(LOC.NEWACCT, orphans, sum)) return false;
    if (orphans > 0) {
        refusals << orphanedRefusal(orphans, sum);
        done = false;
        return true;
    }
    mem.clear();
    mem.rec.ACCTNUM = LOC.OLDACCT;
    if (!mem.get(MemberCU::AcctNum_Key)) {
        if (readFailed()) return false;
        refusals << notice(kOldNotFoundCaption, kOldNotFound);
        done = false;
        return true;
    }
    mem.rec.ACCTNUM = LOC.NEWACCT;
    if (!mem.put()) return false;
    ++membersChanged;

    // The account's records by key: the same records a pass over the whole file would find.
    QList<qint64> positions;
    tra.rec.ACCTNUM = LOC.OLDACCT;
    tra.set(Trans::AcctDateRevKey, 1);
    while (tra.next() && tra.rec.ACCTNUM == LOC.OLDACCT) positions << tra.position();
    if (readFailed()) return false;
    for (qint64 i = 0; i < positions.size(); ++i) {
        if (!tra.getPosition(positions[i])) return false;
        tra.rec.ACCTNUM = LOC.NEWACCT;
        if (!tra.put()) return false;
        ++transChanged;
        setProgress(i + 1, positions.size());
        keepAlive();
    }

    // The checks paid from the account follow it, so that renumbering or voiding finds them.
    storage::DataFile<Check> chk(m_db);
    if (!chk.open()) return false;
    positions.clear();
    chk.rec.ACCTNUM = LOC.OLDACCT;
    chk.set(Check::Withdrawal_Key, 1);
    while (chk.next() && chk.rec.ACCTNUM == LOC.OLDACCT) positions << chk.position();
    if (readFailed()) return false;
    for (const qint64 position : positions) {
        if (!chk.getPosition(position)) return false;
        chk.rec.ACCTNUM = LOC.NEWACCT;
        if (!chk.put()) return false;
    }
    return true;
}

bool AccountChange::writeSsn(QList<Message> &refusals, bool &done) {
    setStatus(kChangingSsn);
    storage::DataFile<MemberCU> mem(m_db);
    if (!mem.open()) return false;
    mem.rec.SSNUM = m_newSsn;
    if (mem.get(MemberCU::SSNum_Key)) {
        refusals << notice(kSsnExistsCaption, kSsnExists.arg(mem.rec.ACCTNUM));
        done = false;
        return true;
    }
    if (readFailed()) return false;
    mem.clear();
    mem.rec.SSNUM = m_oldSsn;
    // The payroll lines are carried over even when no member has the old SSN any more.
    if (mem.get(MemberCU::SSNum_Key)) {
        mem.rec.SSNUM = m_newSsn;
        if (!mem.put()) return false;
        ++membersChanged;
    } else if (readFailed()) {
        return false;
    }
    setStatus(kChangingBackup);
    if (!rewritePayLines<PayBackup>(backupsChanged)) return false;
    setStatus(kChangingBreak);
    return rewritePayLines<PayBreak>(breaksChanged);
}

template <class R> bool AccountChange::rewritePayLines(qint64 &changedCount) {
    storage::DataFile<R> file(m_db);
    if (!file.open()) return false;
    setProgress(0, 0);
    QList<qint64> positions;
    file.rec.PATNUM = m_oldSsn;
    file.set(R::PatNum_Key, 1);
    while (file.next() && clip(file.rec.PATNUM) == m_oldSsn) positions << file.position();
    if (readFailed()) return false;
    for (qint64 i = 0; i < positions.size(); ++i) {
        if (!file.getPosition(positions[i])) return false;
        file.rec.PATNUM = m_newSsn;
        if (!file.put()) return false;
        ++changedCount;
        setProgress(i + 1, positions.size());
        keepAlive();
    }
    return true;
}

ChangeAcctNumWindow::ChangeAcctNumWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_logic(db, dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("CHANGEACCTNUM");
    setWindowTitle(kCaption);
    auto line = [this](const QString &name) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        e->setMaximumWidth(170);
        return e;
    };
    // Account numbers are LONGs: ten digits at most; the old one may be negative.
    m_oldAcct = line("LOC:OLDACCT");
    m_oldAcct->setValidator(new QRegularExpressionValidator(QRegularExpression("-?[0-9]{0,10}"), this));
    m_newAcct = line("LOC:NEWACCT");
    m_newAcct->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,10}"), this));
    for (QLineEdit *e : {m_oldAcct, m_newAcct}) e->setAlignment(Qt::AlignRight);
    m_oldSsn = line("LOC:OLDSSNUM");
    m_newSsn = line("LOC:NEWSSNUM");
    for (QLineEdit *e : {m_oldSsn, m_newSsn}) Entries::setPattern(e, kSsnPicture);

    auto *form = new QGridLayout;

    form->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    int row = 0;
    for (auto [prompt, edit] : {std::pair{kOldAcctPrompt, m_oldAcct}, {kNewAcctPrompt, m_newAcct},
                                {kOldSsnPrompt, m_oldSsn}, {kNewSsnPrompt, m_newSsn}}) {
        auto *label = new QLabel(prompt);
        label->setBuddy(edit);
        form->addWidget(label, row, 0);
        form->addWidget(edit, row++, 1, Qt::AlignLeft);
    }
    m_status = new QLabel;
    m_status->setObjectName("LOC:CHANGESTRING");
    m_status->setMinimumWidth(380);
    m_progress = new QProgressBar;
    m_progress->setObjectName("LOC:COUNTER");
    m_progress->setRange(0, 100);
    m_progress->hide();
    m_change = new QPushButton(kChangeButton);
    m_cancel = new QPushButton(kCancelButton);
    m_change->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_change);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    connect(m_change, &QPushButton::clicked, this, &ChangeAcctNumWindow::change);
    connect(m_cancel, &QPushButton::clicked, this, &ChangeAcctNumWindow::reject);
    m_logic.changed = [this] {
        m_status->setText(m_logic.LOC.CHANGESTRING);
        m_progress->setValue(m_logic.LOC.COUNTER);
    };
    // No user input while it works: nothing else may write inside the change's transaction.
    m_logic.yield = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    refresh();
}

QLineEdit *ChangeAcctNumWindow::field(const QString &name) const { return findChild<QLineEdit *>(name); }

void ChangeAcctNumWindow::store() {
    auto number = [](QLineEdit *e) {
        bool ok = false;
        const qint64 v = e->text().toLongLong(&ok);
        return ok && v >= INT32_MIN && v <= INT32_MAX ? qint32(v) : 0;
    };
    // A mask with no digit typed is an empty SSN.
    auto ssn = [](QLineEdit *e) {
        const QString text = e->displayText();
        return text.contains(QRegularExpression("\\d")) ? clip(text) : QString();
    };
    auto &L = m_logic.LOC;
    L.OLDACCT = number(m_oldAcct);
    L.NEWACCT = number(m_newAcct);
    L.OLDSSNUM = ssn(m_oldSsn);
    L.NEWSSNUM = ssn(m_newSsn);
}

void ChangeAcctNumWindow::refresh() {
    const auto &L = m_logic.LOC;
    auto number = [](qint32 v) { return v == 0 ? QString() : QString::number(v); };
    m_oldAcct->setText(number(L.OLDACCT));
    m_newAcct->setText(number(L.NEWACCT));
    m_oldSsn->setText(L.OLDSSNUM);
    m_newSsn->setText(L.NEWSSNUM);
    m_status->setText(L.CHANGESTRING);
    m_progress->setValue(L.COUNTER);
}

void ChangeAcctNumWindow::change() {
    store();
    m_change->hide();
    m_cancel->hide();
    for (QLineEdit *e : {m_oldAcct, m_newAcct, m_oldSsn, m_newSsn}) e->setEnabled(false);
    m_progress->setValue(0);
    m_progress->show();
    m_working = true;
    const bool done = m_logic.change();
    m_working = false;
    m_progress->hide();
    m_change->show();
    m_cancel->show();
    for (QLineEdit *e : {m_oldAcct, m_newAcct, m_oldSsn, m_newSsn}) e->setEnabled(true);
    if (done) {
        refresh();
        m_cancel->setFocus();
    } else {
        m_oldAcct->setFocus();
    }
}

void ChangeAcctNumWindow::reject() {
    if (!m_working) QDialog::reject();
}

void ChangeAcctNumWindow::closeEvent(QCloseEvent *event) {
    if (m_working) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CHANGEACCTNUM() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    storage::DataFile<PayBackup> pbp(db);
    storage::DataFile<PayBreak> pbk(db);
    storage::DataFile<Check> chk(db);
    if (!CHECKOPEN(mem, d) || !CHECKOPEN(tra, d) || !CHECKOPEN(pbp, d) || !CHECKOPEN(pbk, d) ||
        !CHECKOPEN(chk, d))
        return;
    ChangeAcctNumWindow window(db, d);
    Windows::call(&window);
}
