#include "adminfees.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/windows.h"
#include "platform/clock.h"
#include "platform/picture.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace AdminFees {
Listing list(storage::Database &db, qint32 from, qint32 to) {
    Listing out;
    storage::DataFile<Trans> tra(db);
    if (!tra.open()) {
        out.error = storage::lastErrorText();
        return out;
    }
    tra.rec.TRANSDATE = from;
    tra.rec.TRANSTYPE = std::numeric_limits<qint32>::min();
    tra.set(Trans::DateType_Key);
    while (tra.next() && tra.rec.TRANSDATE <= to) {
        if (tra.rec.TRANSTYPE != TransType::AdminFee) continue;
        out.fees << tra.rec;
        out.total += tra.rec.TRANSAMOUNT;
    }
    if (tra.failed()) out = Listing{{}, Decimal(0, 2), storage::lastErrorText()};
    return out;
}
} // namespace AdminFees

namespace {
const QString kDate = QStringLiteral("@d2");
const QString kMoney = QStringLiteral("@n-$15.2");
} // namespace

AdministrationFeesWindow::AdministrationFeesWindow(QWidget *parent) : QWidget(parent) {
    EnhancedFocusClassType::install(this);
    setObjectName("ADMINISTRATIONFEES");
    setWindowTitle("Administration Fees");
    auto *layout = new QVBoxLayout(this);
    auto *period = new QHBoxLayout;
    qint32 today = Clock::today();
    m_from = new QLineEdit(Picture::format(Clock::dayNumber(Clock::year(today), 1, 1), kDate));
    m_to = new QLineEdit(Picture::format(today, kDate));
    auto *showButton = new QPushButton("&Show");
    period->addWidget(new QLabel("From:"));
    period->addWidget(m_from);
    period->addWidget(new QLabel("To:"));
    period->addWidget(m_to);
    period->addWidget(showButton);
    period->addStretch(1);
    layout->addLayout(period);
    m_table = new QTableWidget(0, 4);
    m_table->setHorizontalHeaderLabels({"Date", "Account", "Description", "Fee"});
    m_table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(m_table, 1);
    m_total = new QLabel;
    m_total->setAlignment(Qt::AlignRight);
    layout->addWidget(m_total);
    auto *close = new QPushButton("Close");
    auto *foot = new QHBoxLayout;
    foot->addStretch(1);
    foot->addWidget(close);
    layout->addLayout(foot);
    connect(showButton, &QPushButton::clicked, this, &AdministrationFeesWindow::showTyped);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(640, 420);
}

void AdministrationFeesWindow::showTyped() {
    bool okFrom = false, okTo = false;
    qint32 from = Picture::deformatDate(m_from->text(), kDate, &okFrom);
    qint32 to = Picture::deformatDate(m_to->text(), kDate, &okTo);
    if (!okFrom || !okTo || from == 0 || to == 0 || from > to) {
        App::dialogs().message("Administration Fees", "Please enter the period as two dates, mm/dd/yyyy, the first not after the second.",
                               Dlg::Warning);
        return;
    }
    show(from, to);
}

void AdministrationFeesWindow::show(qint32 from, qint32 to) {
    AdminFees::Listing l = AdminFees::list(App::db(), from, to);
    if (!l.error.isEmpty())
        App::dialogs().message("Administration Fees",
                               "The fees could not be read; none are shown.  Error: " + l.error + ".", Dlg::Error);
    m_table->setRowCount(int(l.fees.size()));
    for (int i = 0; i < l.fees.size(); ++i) {
        const Trans &t = l.fees[i];
        Windows::fillRow(m_table, i,
                         {Picture::format(t.TRANSDATE, kDate), QString::number(t.ACCTNUM), t.DESC,
                          Picture::format(t.TRANSAMOUNT, kMoney).trimmed()},
                         {1, 3});
    }
    m_total->setText(QString("%1 fees, total %2").arg(l.fees.size()).arg(Picture::format(l.total, kMoney).trimmed()));
}

void ADMINISTRATIONFEES() {
    storage::DataFile<Trans> tra(App::db());
    if (!CHECKOPEN(tra, App::dialogs())) return;
    Windows::start(new AdministrationFeesWindow);
}
