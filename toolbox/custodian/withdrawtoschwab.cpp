#include "withdrawtoschwab.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/windows.h"
#include "data/lookups.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "withdrawreport.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Withdraw To Schwab ...");
const QString kNothingCaption = QStringLiteral("Print Error...");
const QString kNothing = QStringLiteral("Nothing To Print");
const QString kQuestionCaption = QStringLiteral("Post Withdraws...");
const QString kQuestion = QStringLiteral("Do you wish to post the withdraws?");
const QString kFailedCaption = QStringLiteral("Error Adding Trans ....");
const QString kFailed = QStringLiteral(
    "Unable to make withdraws.  Please contact Technical Support.||"
    "No withdraw was posted: every account is as it was.  Error: %1.");
const QString kPostedCaption = QStringLiteral("Completed ....");
const QString kPosted = QStringLiteral("The withdraws were posted to the accounts successfully.");
const QString kDescription = QStringLiteral("TRANSFER TO SCHWAB (Code - S)");
const QString kNegative = QStringLiteral(" Negative Amount");
const QString kUser = QStringLiteral("trn");
// Ours.
const QString kNoDates = QStringLiteral("Please enter the withdraw date and the effective date.");
const QString kReadFailed = QStringLiteral(
    "The members' balances could not be read; nothing was listed or posted.  Error: %1.");
const QString kChanged = QStringLiteral(
    "The balances changed after the list was printed (another station posted meanwhile).||"
    "No withdraw was posted.  Please run the transfer again.");

const QString kDate = QStringLiteral("@d2");
const QString kAmount = QStringLiteral("@n-$17.2");
const QString kWideAmount = QStringLiteral("@n-$.2");
} // namespace

SchwabTransfer::SchwabTransfer(storage::Database &db, Dialogs &dialogs, WithdrawReportCall report)
    : m_db(db), m_dialogs(dialogs), m_report(std::move(report)) {}

void SchwabTransfer::open() {
    MOD = TransferList();
    MOD.WITHDRAWDATE = MOD.EFFECTIVEDATE = Clock::today();
    processing = 0;
}

QString SchwabTransfer::description(const Decimal &amount) {
    return amount.sign() > 0 ? kDescription : kDescription + kNegative;
}

QString SchwabTransfer::amountText(const Decimal &amount) {
    const QString text = Picture::format(amount, kAmount);
    return text.startsWith('#') ? Picture::format(amount, kWideAmount) : text;
}

void SchwabTransfer::keepAlive() {
    if (progress && m_sinceProgress.elapsed() >= 20) {
        progress();
        m_sinceProgress.restart();
    }
}

bool SchwabTransfer::gather(QList<TransferRow> &rows) {
    rows.clear();
    storage::DataFile<MemberCU> mem(m_db);
    if (!mem.open()) return false;
    mem.setStart(MemberCU::AcctNum_Key);
    Decimal balance, preYtd, ytd;
    while (mem.next()) {
        processing = mem.rec.ACCTNUM;
        keepAlive();
        const QString acct = QString::number(mem.rec.ACCTNUM);
        // Every transaction type counts, up to and including the withdraw date.
        if (!GETBALANCE(m_db, acct, balance, preYtd, ytd, MOD.WITHDRAWDATE)) return false;
        if (balance.isZero()) continue;
        rows << TransferRow{acct.left(20), balance,
                            (clip(mem.rec.FIRSTNAME) + " " + clip(mem.rec.LASTNAME)).left(100)};
    }
    return !mem.failed();
}

SchwabTransfer::Outcome SchwabTransfer::run() {
    if (MOD.WITHDRAWDATE <= 0 || MOD.EFFECTIVEDATE <= 0) {
        m_dialogs.message(kCaption, kNoDates, Dlg::Warning);
        return NotStarted;
    }
    m_sinceProgress.start();
    if (!gather(MOD.WITHDRAWQUEUE)) {
        const QString error = storage::lastErrorText();
        MOD.WITHDRAWQUEUE.clear();
        m_dialogs.message(kCaption, kReadFailed.arg(error), Dlg::Error);
        return ReadFailed;
    }
    if (MOD.WITHDRAWQUEUE.isEmpty()) {
        m_dialogs.message(kNothingCaption, kNothing, Dlg::Warning);
        return NothingToTransfer;
    }
    if (m_report) m_report(MOD);
    if (m_dialogs.message(kQuestionCaption, kQuestion, Dlg::Exclamation, Dlg::Yes | Dlg::No,
                          Dlg::No) != Dlg::Yes)
        return NotPosted;
    return post() ? Posted : PostFailed;
}

// All rows post in one database transaction: a failure or a killed process leaves every account
// as it was. The balances are listed again under the write lock, so that what is posted is what
// was printed.
bool SchwabTransfer::post() {
    storage::DataFile<Trans> tra(m_db); // opened before the batch begins
    bool ok = tra.open();
    bool changed = false;
    QString error;
    {
        storage::Transaction batch(m_db);
        ok = ok && batch.active();
        if (ok) {
            QList<TransferRow> now;
            ok = gather(now);
            changed = ok && now != MOD.WITHDRAWQUEUE;
        }
        const qint32 time = Clock::clock();
        for (const TransferRow &row : MOD.WITHDRAWQUEUE) {
            if (!ok || changed) break;
            processing = row.MEMBERNUMBER.toInt();
            tra.clear();
            tra.rec.ACCTNUM = processing;
            tra.rec.TRANSAMOUNT = -row.AMOUNTOFWITHDRAW;
            tra.rec.TRANSTYPE = TransType::Withdrawal;
            tra.rec.DESC = description(row.AMOUNTOFWITHDRAW);
            tra.rec.TRANSDATE = MOD.EFFECTIVEDATE;
            tra.rec.TRANSTIME = time;
            tra.rec.USERID = kUser;
            ok = tra.add();
            keepAlive();
        }
        if (!changed && (!ok || !batch.commit())) {
            ok = false;
            error = storage::lastErrorText();
        }
        batch.rollback(); // the lock is let go before anything is said
    }
    if (changed) {
        m_dialogs.message(kFailedCaption, kChanged, Dlg::Error);
        return false;
    }
    if (!ok) {
        m_dialogs.message(kFailedCaption, kFailed.arg(error), Dlg::Error);
        return false;
    }
    m_dialogs.message(kPostedCaption, kPosted, Dlg::Information);
    return true;
}

// The window.

WithdrawToSchwabWindow::WithdrawToSchwabWindow(storage::Database &db, Dialogs &dialogs,
                                               WithdrawReportCall report, QWidget *parent)
    : QDialog(parent), m_logic(db, dialogs, std::move(report)), m_dialogs(dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("WITHDRAWTOSCHWAB");
    setWindowTitle(kCaption);
    auto *layout = new QVBoxLayout(this);
    for (const char *text : {"All money of the accounts that have a balance is withdrawn to the Schwab account.",
                             "Only money available up to and including the withdraw date is withdrawn.",
                             "A hard copy of the withdraws is printed first.",
                             "You are then asked whether to make the withdraws."})
        layout->addWidget(new QLabel(text));
    auto date = [](const QString &name) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        e->setMaximumWidth(120);
        Entries::setDate(e, kDate);
        return e;
    };
    m_withdrawDate = date("MOD:WITHDRAWDATE");
    m_effectiveDate = date("MOD:EFFECTIVEDATE");
    m_processingPrompt = new QLabel("Processing Account Number:");
    m_processing = new QLabel;
    m_processing->setObjectName("MEM:ACCTNUM");
    auto *form = new QFormLayout;
    form->addRow("Withdraw Date:", m_withdrawDate);
    form->addRow("Effective Date:", m_effectiveDate);
    form->addRow(m_processingPrompt, m_processing);
    layout->addLayout(form);
    m_ok = new QPushButton("OK");
    m_cancel = new QPushButton("Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &WithdrawToSchwabWindow::ok);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_logic.progress = [this] {
        m_processing->setText(QString::number(m_logic.processing));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_logic.open();
    m_withdrawDate->setText(Picture::format(qint64(m_logic.MOD.WITHDRAWDATE), kDate));
    m_effectiveDate->setText(Picture::format(qint64(m_logic.MOD.EFFECTIVEDATE), kDate));
    setRunning(false);
}

WithdrawToSchwabWindow::~WithdrawToSchwabWindow() { Entries::detachEntries(this); }

void WithdrawToSchwabWindow::setRunning(bool running) {
    m_ok->setEnabled(!running);
    m_cancel->setEnabled(!running);
    m_processingPrompt->setVisible(running);
    m_processing->setVisible(running);
}

void WithdrawToSchwabWindow::ok() {
    qint32 withdraw = 0, effective = 0;
    if (!Entries::readDate(m_dialogs, m_withdrawDate->text(), withdraw)) {
        m_withdrawDate->setFocus();
        return;
    }
    if (!Entries::readDate(m_dialogs, m_effectiveDate->text(), effective)) {
        m_effectiveDate->setFocus();
        return;
    }
    m_logic.MOD.WITHDRAWDATE = withdraw;
    m_logic.MOD.EFFECTIVEDATE = effective;
    setRunning(true);
    const SchwabTransfer::Outcome outcome = m_logic.run();
    setRunning(false);
    if (outcome != SchwabTransfer::NotStarted) accept();
}

void WITHDRAWTOSCHWAB() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    if (!CHECKOPEN(mem, d) || !CHECKOPEN(tra, d)) return;
    WithdrawToSchwabWindow window(db, d, WITHDRAWREPORT);
    Windows::call(&window);
}
