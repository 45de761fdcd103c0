#include "missingaccounts.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/pacer.h"
#include "common/windows.h"
#include "platform/picture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Find Missing Account Numbers ...");
const QString kSearching = QStringLiteral("Searching For Missing Transaction Account Numbers ...");
const QString kDeleting = QStringLiteral(
    "Deleting Missing Member Transacations with Zero Balances.  Please Wait ...");
const QString kSearchCompleted = QStringLiteral("Search Completed.");
const QString kDoneCaption = QStringLiteral("Done ...");
const QString kFound = QStringLiteral(
    "Search Completed.  There were %1 missing transactions found with combined balance of %2.");
const QString kAdding = QStringLiteral("Adding Transactions To Account Number %1");
const QString kCompleted = QStringLiteral("Completed ...");
const QString kTotalPicture = QStringLiteral("n$21.2");
const QString kBalancePicture = QStringLiteral("n$-21.2");
// Ours: what stopped a search or the creation, and that nothing was changed.
const QString kSearchStopped = QStringLiteral(
    "The search was stopped; no transaction was deleted.|The transactions or members could not be "
    "read or written: %1.");
const QString kCreateStopped = QStringLiteral(
    "No account was created.|The member for account %1 could not be added: %2.");
const QString kNoFreeSsn = QStringLiteral("every placeholder Social Security Number is taken");
constexpr int kLastSsnCounter = 999999999;
} // namespace

MissingAccounts::MissingAccounts(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}

QString MissingAccounts::placeholderSsn(int counter) {
    return Picture::applyPattern(QString("%1").arg(counter, 9, 10, QChar('0')), "@P###-##-####P");
}

void MissingAccounts::setStatus(const QString &text) {
    LOC.TITLESTRING = text.left(200);
    if (changed) changed();
}

void MissingAccounts::setProgress(qint64 counter, qint64 total) {
    const int percent = total > 0 ? int(std::min<qint64>(counter * 100 / total, 100)) : 0;
    if (percent == LOC.PERCENTAGE) return;
    LOC.PERCENTAGE = percent;
    if (changed) changed();
}

bool MissingAccounts::search() {
    ACCOUNTNUMBERQUEUE.clear();
    LOC.TOTALMISSING = Decimal(0, 2);
    LOC.PERCENTAGE = 0;
    setStatus(kSearching);
    auto stopped = [&](const QString &why) {
        ACCOUNTNUMBERQUEUE.clear();
        LOC.TOTALMISSING = Decimal(0, 2);
        if (changed) changed();
        m_dialogs.message(kCaption, kSearchStopped.arg(why), Dlg::Error);
        return false;
    };
    storage::DataFile<Trans> tra(m_db);
    storage::DataFile<MemberCU> mem(m_db);
    if (!tra.open() || !mem.open()) return stopped(storage::lastErrorText());
    Pacer pacer;
    const qint64 total = tra.count();
    qint64 counter = 0;
    // The transactions of one account come in runs: each account is looked up once.
    QHash<qint32, bool> hasMember;
    for (bool more = tra.first(); more; more = tra.next()) {
        setProgress(++counter, total);
        const qint32 acct = tra.rec.ACCTNUM;
        auto known = hasMember.constFind(acct);
        if (known == hasMember.constEnd()) {
            mem.clear();
            mem.rec.ACCTNUM = acct;
            const bool found = mem.get(MemberCU::AcctNum_Key);
            if (!found && mem.failed()) return stopped(storage::lastErrorText());
            known = hasMember.insert(acct, found);
        }
        if (yield && pacer.due()) yield();
        if (*known) continue;
        auto it = ACCOUNTNUMBERQUEUE.find(acct);
        if (it != ACCOUNTNUMBERQUEUE.end()) it->second.BALANCE += tra.rec.TRANSAMOUNT;
        else ACCOUNTNUMBERQUEUE.emplace(acct, Entry{acct, tra.rec.TRANSAMOUNT, tra.position()});
        LOC.TOTALMISSING += tra.rec.TRANSAMOUNT;
    }
    if (tra.failed()) return stopped(storage::lastErrorText());

    setStatus(kDeleting);
    QString failure;
    if (!deleteZeroBalances(failure)) return stopped(failure);
    setStatus(kSearchCompleted);
    std::erase_if(ACCOUNTNUMBERQUEUE, [](const auto &e) { return e.second.BALANCE.isZero(); });
    if (changed) changed();
    m_dialogs.message(kDoneCaption,
                      kFound.arg(ACCOUNTNUMBERQUEUE.size())
                          .arg(Picture::format(LOC.TOTALMISSING, kTotalPicture).trimmed()),
                      Dlg::Exclamation);
    return true;
}

bool MissingAccounts::deleteZeroBalances(QString &failure) {
    storage::DataFile<Trans> tra(m_db);
    if (!tra.open()) {
        failure = storage::lastErrorText();
        return false;
    }
    storage::Transaction batch(m_db);
    if (!batch.active()) {
        failure = storage::lastErrorText();
        return false;
    }
    Pacer pacer;
    qint64 counter = 0;
    for (const auto &[acct, entry] : ACCOUNTNUMBERQUEUE) {
        setProgress(++counter, qint64(ACCOUNTNUMBERQUEUE.size()));
        if (!entry.BALANCE.isZero()) continue;
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.set(Trans::Acct_Key, 1);
        while (tra.next() && tra.rec.ACCTNUM == acct) {
            if (!tra.remove()) {
                failure = storage::lastErrorText();
                return false;
            }
            if (yield && pacer.due()) yield();
        }
        if (tra.failed()) {
            failure = storage::lastErrorText();
            return false;
        }
    }
    if (!batch.commit()) {
        failure = storage::lastErrorText();
        return false;
    }
    return true;
}

bool MissingAccounts::createAccounts() {
    qint32 acct = 0;
    auto stopped = [&](const QString &why) {
        m_dialogs.message(kCaption, kCreateStopped.arg(acct).arg(why), Dlg::Error);
        return false;
    };
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<MemberCU> taken(m_db);
    if (!mem.open() || !taken.open()) return stopped(storage::lastErrorText());
    storage::Transaction batch(m_db);
    // A free placeholder SSN is looked for and taken under the member file's add lock.
    if (!batch.active() || !m_db.serializeAdds(MemberCU::layout().def())) return stopped(storage::lastErrorText());
    for (const auto &[account, entry] : ACCOUNTNUMBERQUEUE) {
        acct = account;
        setStatus(kAdding.arg(acct));
        for (int counter = 0;; ++counter) {
            if (counter > kLastSsnCounter) return stopped(kNoFreeSsn);
            const QString ssn = placeholderSsn(counter);
            taken.clear();
            taken.rec.SSNUM = ssn;
            if (taken.get(MemberCU::SSNum_Key)) continue;
            if (taken.failed()) return stopped(storage::lastErrorText());
            mem.clear();
            mem.rec.ACCTNUM = acct;
            mem.rec.LASTNAME = PlaceholderName;
            mem.rec.LOCALCODE = PlaceholderLocal;
            mem.rec.SSNUM = ssn;
            if (mem.add()) break;
            // Only a taken SSN is worth the next number; any other failure ends the run.
            if (storage::lastError().code != storage::DuplicateKey) return stopped(storage::lastErrorText());
        }
    }
    if (!batch.commit()) return stopped(storage::lastErrorText());
    ACCOUNTNUMBERQUEUE.clear();
    setStatus(kCompleted);
    return true;
}

MissingAccountsWindow::MissingAccountsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("FINDMISSINGACCOUNTNUMBERS");
    setWindowTitle(kCaption);
    m_title = new QLabel;
    m_title->setObjectName("LOC:TITLESTRING");
    m_percent = new QProgressBar;
    m_percent->setObjectName("LOC:PERCENTAGE");
    m_percent->setRange(0, 100);
    m_list = new QTableWidget(0, 2);
    m_list->setObjectName("ACCOUNTNUMBERQUEUE");
    m_list->setHorizontalHeaderLabels({"Missing Account Numbers", "Balance"});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_total = new QLineEdit;
    m_total->setObjectName("LOC:TOTALMISSING");
    m_total->setReadOnly(true);
    m_total->setAlignment(Qt::AlignRight);
    auto *totalRow = new QHBoxLayout;
    totalRow->addStretch(1);
    totalRow->addWidget(new QLabel("Total Missing"));
    totalRow->addWidget(m_total);
    m_search = new QPushButton("Search");
    m_cancel = new QPushButton("Cancel");
    m_create = new QPushButton("Create Accounts");
    m_create->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_search);
    buttons->addWidget(m_create);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_percent);
    layout->addWidget(m_list, 1);
    layout->addLayout(totalRow);
    layout->addLayout(buttons);
    connect(m_search, &QPushButton::clicked, this, &MissingAccountsWindow::search);
    connect(m_create, &QPushButton::clicked, this, &MissingAccountsWindow::createAccounts);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    m_logic.changed = [this] { refresh(); };
    m_logic.yield = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    refresh();
    resize(420, 400);
}

void MissingAccountsWindow::refresh() {
    m_title->setText(m_logic.LOC.TITLESTRING);
    m_percent->setValue(m_logic.LOC.PERCENTAGE);
    m_total->setText(Picture::format(m_logic.LOC.TOTALMISSING, kBalancePicture).trimmed());
}

void MissingAccountsWindow::fillList() {
    m_list->setRowCount(int(m_logic.ACCOUNTNUMBERQUEUE.size()));
    int row = 0;
    for (const auto &[acct, entry] : m_logic.ACCOUNTNUMBERQUEUE)
        Windows::fillRow(m_list, row++,
                         {QString::number(acct), Picture::format(entry.BALANCE, kBalancePicture).trimmed()},
                         {1});
}

void MissingAccountsWindow::search() {
    m_search->setEnabled(false);
    m_create->setEnabled(false);
    m_running = true;
    m_logic.search();
    m_running = false;
    m_search->setEnabled(true);
    fillList();
    m_create->setEnabled(!m_logic.ACCOUNTNUMBERQUEUE.empty());
}

void MissingAccountsWindow::createAccounts() {
    m_create->setEnabled(false);
    m_search->setEnabled(false);
    m_running = true;
    m_logic.createAccounts();
    m_running = false;
    m_search->setEnabled(true);
    fillList();
    m_create->setEnabled(!m_logic.ACCOUNTNUMBERQUEUE.empty());
}

void MissingAccountsWindow::closeEvent(QCloseEvent *event) {
    if (m_running) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void FINDMISSINGACCOUNTNUMBERS() {
    storage::DataFile<MemberCU> mem(App::db());
    storage::DataFile<Trans> tra(App::db());
    if (!CHECKOPEN(mem, App::dialogs()) || !CHECKOPEN(tra, App::dialogs())) return;
    Windows::start(new MissingAccountsWindow(App::db(), App::dialogs()));
}
