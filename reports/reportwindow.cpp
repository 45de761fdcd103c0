#include "reportwindow.h"

#include "common/entries.h"
#include "common/windows.h"
#include "platform/picture.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kSelectionTitle = QStringLiteral("Members");
const QString kAllMembers = QStringLiteral("All Members");
const QString kOneLocal = QStringLiteral("One Local");
const QString kLocalPrompt = QStringLiteral("Local:");
const QString kWhichPrompt = QStringLiteral("Members:");
const QString kStatusPrompt = QStringLiteral("Accounts:");
const QString kFromPrompt = QStringLiteral("From Account:");
const QString kToPrompt = QStringLiteral("To Account:");
const QString kOrderPrompt = QStringLiteral("Sort By:");
const QStringList kStatusChoices{QStringLiteral("Open"), QStringLiteral("Closed"), QStringLiteral("Both")};
const QStringList kOrderChoices{QStringLiteral("Name"), QStringLiteral("Account Number"),
                                QStringLiteral("ZIP Code")};
const QString kPrint = QStringLiteral("&Print");
const QString kClose = QStringLiteral("&Close");
const QString kDatePicture = QStringLiteral("@d2");
const QString kBadPeriod = QStringLiteral("The period ends before it begins.");
constexpr qint64 kMaxAccount = 999999999;

QString number(qint32 n) { return n > 0 ? QString::number(n) : QString(); }
} // namespace

MemberSelectionWidget::MemberSelectionWidget(QWidget *parent) : QGroupBox(kSelectionTitle, parent) {
    auto *form = new QFormLayout(this);
    m_members = new QComboBox(this);
    m_members->setObjectName("members");
    m_members->addItems({kAllMembers, kOneLocal});
    m_local = new QLineEdit(this);
    m_local->setObjectName("local");
    m_local->setValidator(new WholeNumberValidator(0, kMaxAccount, m_local));
    m_status = new QComboBox(this);
    m_status->setObjectName("status");
    m_status->addItems(kStatusChoices);
    m_from = new QLineEdit(this);
    m_from->setObjectName("fromAccount");
    m_from->setValidator(new WholeNumberValidator(0, kMaxAccount, m_from));
    m_to = new QLineEdit(this);
    m_to->setObjectName("toAccount");
    m_to->setValidator(new WholeNumberValidator(0, kMaxAccount, m_to));
    m_order = new QComboBox(this);
    m_order->setObjectName("order");
    m_order->addItems(kOrderChoices);
    form->addRow(kWhichPrompt, m_members);
    form->addRow(kLocalPrompt, m_local);
    form->addRow(kStatusPrompt, m_status);
    form->addRow(kFromPrompt, m_from);
    form->addRow(kToPrompt, m_to);
    form->addRow(kOrderPrompt, m_order);
    connect(m_members, &QComboBox::currentIndexChanged, this, [this] { enableLocal(); });
    enableLocal();
}

void MemberSelectionWidget::enableLocal() { m_local->setEnabled(m_members->currentIndex() == 1); }

void MemberSelectionWidget::set(const MemberSelection &s) {
    m_members->setCurrentIndex(s.oneLocal ? 1 : 0);
    m_local->setText(number(s.LOCALCODE));
    m_status->setCurrentIndex(int(s.status));
    m_from->setText(number(s.FROMACCT));
    m_to->setText(number(s.TOACCT));
    m_order->setCurrentIndex(int(s.order));
    enableLocal();
}

MemberSelection MemberSelectionWidget::selection() const {
    MemberSelection s;
    s.oneLocal = m_members->currentIndex() == 1;
    s.LOCALCODE = s.oneLocal ? m_local->text().trimmed().toInt() : 0;
    s.status = MemberSelection::Status(m_status->currentIndex());
    s.FROMACCT = m_from->text().trimmed().toInt();
    s.TOACCT = m_to->text().trimmed().toInt();
    s.order = MemberSelection::Order(m_order->currentIndex());
    return s;
}

ReportWindow::ReportWindow(storage::Database &db, Dialogs &dialogs, const QString &title,
                           const QString &procedure, QWidget *parent)
    : QWidget(parent), m_db(db), m_dialogs(dialogs), m_choices(procedure) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    auto *outer = new QVBoxLayout(this);
    m_form = new QFormLayout;
    outer->addLayout(m_form);
}

void ReportWindow::addSelection() {
    m_selection = new MemberSelectionWidget(this);
    MemberSelection s;
    s.load(m_choices.ini(), m_choices.section());
    m_selection->set(s);
    static_cast<QVBoxLayout *>(layout())->insertWidget(0, m_selection);
}

void ReportWindow::addRow(const QString &label, QWidget *control) { m_form->addRow(label, control); }

QLineEdit *ReportWindow::addDate(const QString &label, qint32 day) {
    auto *edit = new QLineEdit(this);
    edit->setText(day > 0 ? Picture::format(qint64(day), kDatePicture) : QString());
    addRow(label, edit);
    return edit;
}

bool ReportWindow::readDate(QLineEdit *edit, qint32 &day, bool blankAllowed) {
    qint32 read = 0;
    bool ok = Entries::readDate(m_dialogs, edit->text(), read);
    if (ok && read == 0 && !blankAllowed) {
        Entries::notADate(m_dialogs, edit->text());
        ok = false;
    }
    if (!ok) {
        edit->setFocus();
        return false;
    }
    day = read;
    return true;
}

bool ReportWindow::readPeriod(QLineEdit *from, QLineEdit *to, qint32 &fromDay, qint32 &toDay) {
    qint32 f = 0, t = 0;
    if (!readDate(from, f) || !readDate(to, t)) return false;
    if (t < f) {
        m_dialogs.message(windowTitle(), kBadPeriod, Dlg::Exclamation);
        to->setFocus();
        return false;
    }
    fromDay = f;
    toDay = t;
    return true;
}

void ReportWindow::finishLayout() {
    auto *buttons = new QHBoxLayout;
    m_print = new QPushButton(kPrint, this);
    m_print->setObjectName("print");
    m_print->setDefault(true);
    m_close = new QPushButton(kClose, this);
    m_close->setObjectName("close");
    buttons->addStretch();
    buttons->addWidget(m_print);
    buttons->addWidget(m_close);
    static_cast<QVBoxLayout *>(layout())->addLayout(buttons);
    connect(m_print, &QPushButton::clicked, this, [this] { print(); });
    connect(m_close, &QPushButton::clicked, this, [this] { close(); });
}

MemberSelection ReportWindow::memberSelection() const {
    return m_selection ? m_selection->selection() : MemberSelection{};
}

bool ReportWindow::print() {
    if (m_selection) {
        const QString problem = m_selection->selection().problem();
        if (!problem.isEmpty()) {
            m_dialogs.message(windowTitle(), problem, Dlg::Exclamation);
            return false;
        }
    }
    if (!readChoices()) return false;
    if (m_selection) m_selection->selection().store(m_choices.ini(), m_choices.section());
    storeChoices(m_choices);
    m_choices.save();
    runReport();
    return true;
}

void startReportWindow(ReportWindow *window) { Windows::start(window, window->procedure()); }
