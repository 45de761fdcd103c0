#include "viewshareinfo.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/windows.h"
#include "data/lookups.h"
#include "data/requests.h"
#include "members.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kMoney = QStringLiteral("@n-$15.2");
const QString kCaption = QStringLiteral("View Participant Account");
const QString kUnreadable = QStringLiteral("The account could not be read; the history and balance shown are not complete.  Error: %1.");
} // namespace

namespace AccountView {
History history(storage::Database &db, qint32 acct) {
    History h;
    storage::DataFile<Trans> tra(db);
    if (!tra.open()) {
        h.error = storage::lastErrorText();
        return h;
    }
    Decimal running(0, 2);
    tra.rec.ACCTNUM = acct;
    tra.rec.TRANSDATE = 0;
    tra.set(Trans::AcctDateRevKey);
    while (tra.next() && tra.rec.ACCTNUM == acct) {
        running += tra.rec.TRANSAMOUNT;
        h.lines << Line{tra.rec, running};
    }
    if (tra.failed()) {
        h.error = storage::lastErrorText();
        return h;
    }
    Decimal pre, ytd;
    if (!GETBALANCE(db, QString::number(acct), h.balance, pre, ytd)) h.error = storage::lastErrorText();
    return h;
}

QString typeName(storage::Database &db, qint32 type) {
    switch (type) {
    case TransType::Tax: return "Federal Tax";
    case TransType::AdminFee: return "Admin Fee";
    case TransType::Withdrawal: return "Withdrawal";
    case TransType::Payroll: return "Payroll";
    case TransType::Dividend: return "Dividend";
    case TransType::CarriedBalance: return "Balance Forward";
    default: break;
    }
    storage::DataFile<TransDesc> trd(db);
    if (trd.open()) {
        trd.rec.TRANSCODE = type;
        if (trd.get(TransDesc::TransCode_Key)) return clip(trd.rec.TRANSDESC);
    }
    return QString("Code %1").arg(type);
}
} // namespace AccountView

ViewShareInfoWindow::ViewShareInfoWindow(QWidget *parent) : QWidget(parent) {
    EnhancedFocusClassType::install(this);
    setObjectName("VIEWSHAREINFO");
    setWindowTitle(kCaption);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_acct = new QLineEdit;
    m_acct->setValidator(new QIntValidator(1, std::numeric_limits<qint32>::max(), m_acct));
    m_acct->setMaximumWidth(120);
    auto *pick = new QPushButton("...");
    pick->setToolTip("Pick a member from the list");
    top->addWidget(new QLabel("Account Number:"));
    top->addWidget(m_acct);
    top->addWidget(pick);
    m_member = new QLabel;
    top->addWidget(m_member, 1);
    layout->addLayout(top);
    m_table = new QTableWidget(0, 5);
    m_table->setHorizontalHeaderLabels({"Date", "Type", "Description", "Amount", "Balance"});
    m_table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(m_table, 1);
    m_balance = new QLabel;
    m_balance->setAlignment(Qt::AlignRight);
    layout->addWidget(m_balance);
    auto *close = new QPushButton("Close");
    auto *foot = new QHBoxLayout;
    foot->addStretch(1);
    foot->addWidget(close);
    layout->addLayout(foot);
    connect(m_acct, &QLineEdit::returnPressed, this, [this] { showAccount(m_acct->text().toInt()); });
    connect(pick, &QPushButton::clicked, this, &ViewShareInfoWindow::pickMember);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(760, 480);
}

void ViewShareInfoWindow::pickMember() {
    GlobalRequest() = Request::SelectRecord;
    BROWSEMEMBERS();
    if (GlobalResponse() == Response::RequestCompleted) showAccount(SharedBuffer<MemberCU>().ACCTNUM);
}

void ViewShareInfoWindow::showAccount(qint32 acct) {
    m_acct->setText(acct > 0 ? QString::number(acct) : QString());
    storage::DataFile<MemberCU> mem(App::db());
    QString who = "(no member with this account number)";
    if (mem.open()) {
        mem.rec.ACCTNUM = acct;
        if (mem.get(MemberCU::AcctNum_Key))
            who = clip(mem.rec.LASTNAME) + ", " + clip(mem.rec.FIRSTNAME) + "   " + clip(mem.rec.SSNUM);
    }
    m_member->setText(who);
    AccountView::History h = AccountView::history(App::db(), acct);
    m_table->setRowCount(int(h.lines.size()));
    for (int i = 0; i < h.lines.size(); ++i) {
        const AccountView::Line &l = h.lines[i];
        Windows::fillRow(m_table, i,
                         {Picture::format(l.tra.TRANSDATE, "@d2"), AccountView::typeName(App::db(), l.tra.TRANSTYPE),
                          l.tra.DESC, Picture::format(l.tra.TRANSAMOUNT, kMoney).trimmed(),
                          Picture::format(l.balance, kMoney).trimmed()},
                         {3, 4});
    }
    if (!h.lines.isEmpty()) m_table->scrollToBottom();
    m_balance->setText("Balance: " + Picture::format(h.balance, kMoney).trimmed());
    if (!h.error.isEmpty()) {
        m_balance->clear();
        App::dialogs().message(kCaption, kUnreadable.arg(h.error), Dlg::Error);
    }
}

void VIEWSHAREINFO() {
    storage::DataFile<Trans> tra(App::db());
    storage::DataFile<MemberCU> mem(App::db());
    if (!CHECKOPEN(tra, App::dialogs()) || !CHECKOPEN(mem, App::dialogs())) return;
    Windows::start(new ViewShareInfoWindow);
}
