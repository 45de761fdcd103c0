#include "transbalance.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/fatalstop.h"
#include "common/windows.h"
#include "common/pacer.h"
#include "platform/picture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Balance Of All Transactions ... ");
const QString kReadError = QStringLiteral("Error = %1, Code = %2");
const QString kBalancePicture = QStringLiteral("@n-$22.2B");
const QString kFeesPicture = QStringLiteral("@n$22.2B");
} // namespace

TransactionBalance::TransactionBalance(storage::Database &db, Dialogs &dialogs)
    : m_db(db), m_dialogs(dialogs) {}

bool TransactionBalance::isAdminFee(const Decimal &amount) {
    return amount == Decimal(-2500, 2);
}

bool TransactionBalance::getBalance() {
    stopRequested = false;
    LOC = Values();
    storage::DataFile<Trans> tra(m_db);
    // A total over part of the file is no total: a failed read stops like a failed open.
    auto stop = [&] {
        const storage::Error e = storage::lastError();
        LOC = Values();
        if (changed) changed();
        const QString text = e.code == storage::FileSystemError ? storage::lastErrorText() : e.text;
        FATALSTOP(m_dialogs, kReadError.arg(text).arg(e.code));
        return false;
    };
    if (!tra.open()) return stop();
    storage::ReadSnapshot snapshot(m_db); // one total of one state of the file
    if (!tra.first()) return stop();
    Pacer pacer;
    do {
        if (isAdminFee(tra.rec.TRANSAMOUNT)) LOC.ADMINFEES += -tra.rec.TRANSAMOUNT;
        LOC.BALANCE += tra.rec.TRANSAMOUNT;
        if (changed && pacer.due()) changed();
    } while (!stopRequested && tra.next());
    if (tra.failed()) return stop();
    LOC.BALANCE = LOC.BALANCE.rounded(2);
    LOC.ADMINFEES = LOC.ADMINFEES.rounded(2);
    if (changed) changed();
    return true;
}

BalanceTransactionsWindow::BalanceTransactionsWindow(storage::Database &db, Dialogs &dialogs,
                                                     QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("BALANCETRANSACTIONS");
    setWindowTitle(kCaption);
    auto total = [](const QString &name) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignRight);
        e->setMinimumWidth(180);
        return e;
    };
    m_balance = total("LOC:BALANCE");
    m_fees = total("LOC:ADMINFEES");
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    grid->addWidget(new QLabel("Balance"), 0, 0, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Admin Fees"), 0, 1, Qt::AlignHCenter);
    grid->addWidget(m_balance, 1, 0);
    grid->addWidget(m_fees, 1, 1);
    m_get = new QPushButton("Get Balance");
    m_cancel = new QPushButton("&Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_get);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    connect(m_get, &QPushButton::clicked, this, &BalanceTransactionsWindow::getBalance);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    // Redisplay, then let the window system in: the window repaints and Cancel answers.
    m_logic.changed = [this] {
        refresh();
        if (m_running) QCoreApplication::processEvents();
    };
    refresh();
}

void BalanceTransactionsWindow::refresh() {
    m_balance->setText(Picture::format(m_logic.LOC.BALANCE, kBalancePicture).trimmed());
    m_fees->setText(Picture::format(m_logic.LOC.ADMINFEES, kFeesPicture).trimmed());
}

void BalanceTransactionsWindow::getBalance() {
    m_get->setEnabled(false);
    m_running = true;
    m_logic.getBalance();
    m_running = false;
    m_get->setEnabled(true);
    if (m_closeAfterRun) QTimer::singleShot(0, this, &QWidget::close);
}

void BalanceTransactionsWindow::closeEvent(QCloseEvent *event) {
    // Closing while the totals are read stops the reading; the window closes right after.
    if (m_running) {
        m_logic.stopRequested = true;
        m_closeAfterRun = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void BALANCETRANSACTIONS() {
    storage::DataFile<Trans> tra(App::db());
    if (!CHECKOPEN(tra, App::dialogs())) return;
    Windows::start(new BalanceTransactionsWindow(App::db(), App::dialogs()));
}
