#include "withdrawal.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/windows.h"
#include "data/lookups.h"
#include "data/requests.h"
#include "member/members.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "withdrawcodes.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace {
const QString kCaption = QStringLiteral("Withdrawal ...");
const QString kNotFoundCaption = QStringLiteral("Member Not Found ...");
const QString kNotFound = QStringLiteral("Member Social Security Number Not Found.  Please Re-Enter.");
const QString kDateCaption = QStringLiteral("Date out of range ...");
const QString kDateAfterToday = QStringLiteral("Withdrawal date can not be greater than current date of ");
const QString kDateOtherMonth = QStringLiteral("Withdrawal date must be in the same month as current date of ");
const QString kDeleteCaption = QStringLiteral("Delete Withdrawal ...");
const QString kDeleteQuestion = QStringLiteral("Delete This Withdrawal?");
const QString kDeleted = QStringLiteral("Withdrawal Deleted.");
const QString kDeleteAborted = QStringLiteral("Delete Aborted.  Withdrawal Was NOT Deleted.");
const QString kDeleteErrorCaption = QStringLiteral("Error Deleting ...");
const QString kNotSelected = QStringLiteral("Withdrawal Not Selected.  Please Select Withdrawal First.");
const QString kListEmpty = QStringLiteral("Withdrawal List Empty.  Nothing To Delete.");
const QString kCompletedCaption = QStringLiteral("Withdrawal");
const QString kCompleted = QStringLiteral("Withdrawal Completed. Please Press <OK> Button To Continue.");
const QString kTaxDesc = QStringLiteral("Withdrawal - Federal Tax");
const QString kFeeDesc = QStringLiteral("Withdrawal - Admin. Fee");
const QString kCodeOpen = QStringLiteral(" (Code -  ");
// Checks of our own before a line is added.
const QString kNoMember = QStringLiteral("Please choose the member first: type a Social Security Number or pick one from the list.");
const QString kNotPositive = QStringLiteral("The total to withdraw must be greater than zero.");
const QString kFeeOverGross = QStringLiteral("The administration fee is more than the total to withdraw.");
const QString kTooLarge = QStringLiteral("The tax or the fee of this withdrawal is over $99,999.99.");
const QString kOverBalance = QStringLiteral("The total to withdraw is more than the member's balance of %1.|Add this withdrawal anyway?");
const QString kPostFailed = QStringLiteral("The withdrawals could not be posted; nothing was written.  Error: %1.");
const QString kNoSettings = QStringLiteral("The fund settings could not be read: the administration fee and the tax percentage are not filled in.  Error: %1.");
const QString kNoBalance = QStringLiteral("The member's balance could not be read, so no amount was taken from it.  Error: %1.");

// Prompts, also naming the entries in their messages.
const QString kTotalPrompt = QStringLiteral("Total To Withdrawal:");
const QString kFeePrompt = QStringLiteral("Administration Fee:");
const QString kTaxPercPrompt = QStringLiteral("Tax Percentage:");

const QString kDate = QStringLiteral("@d2");
const QString kMoney = QStringLiteral("@n$17.2");

} // namespace

WithdrawalLogic::WithdrawalLogic(storage::Database &db, Dialogs &dialogs, bool admin)
    : m_db(db), m_dialogs(dialogs), m_admin(admin),
      m_members(std::make_unique<storage::DataFile<MemberCU>>(db)) {}

void WithdrawalLogic::open() {
    WITHDRAWALQUEUE.clear();
    LOC = Values();
    storage::DataFile<CUInfo> cui(m_db);
    if (cui.open() && cui.first()) {
        LOC.ADMINFEE = cui.rec.ADMINFEE.rounded(2);
        LOC.TAXPERC = Decimal::fromInt(cui.rec.TAXPERC).rounded(4);
    } else if (cui.failed()) {
        m_dialogs.message(kCaption, kNoSettings.arg(storage::lastErrorText()), Dlg::Error);
    }
    LOC.WITHDATE = Clock::today();
    memberFound = false;
}

QList<WithdrawalLogic::Entry> WithdrawalLogic::take(const Typed &typed, bool report) {
    auto amount = [&](const QString &text, int digits, const QString &prompt, Decimal &into) {
        Decimal d;
        if (!Entries::readAmount(text, digits, Places, &d)) {
            if (report) Entries::tooManyDigits(m_dialogs, prompt, digits - Places);
            return false;
        }
        into = d;
        return true;
    };
    const std::pair<Entry, std::function<bool()>> steps[] = {
        {Entry::Total,
         [&] { return amount(typed.total, TotalDigits, kTotalPrompt, LOC.TOTALTOWITHDRAW); }},
        {Entry::Fee, [&] { return amount(typed.fee, FeeDigits, kFeePrompt, LOC.ADMINFEE); }},
        {Entry::TaxPerc,
         [&] {
             qint64 rate = 0;
             if (Entries::readWholeNumber(typed.taxPerc, 0, CUInfo::TaxPercentMax, &rate)) {
                 LOC.TAXPERC = Decimal::fromInt(rate).rounded(4);
                 return true;
             }
             if (report) Entries::outOfRange(m_dialogs, kTaxPercPrompt, 0, CUInfo::TaxPercentMax);
             return false;
         }},
        {Entry::Date, [&] { return takeDate(typed.date, report); }},
    };
    QList<Entry> refused;
    for (const auto &[entry, step] : steps) {
        if (step()) continue;
        refused << entry;
        if (report) break; // one message at a time
    }
    return refused;
}

bool WithdrawalLogic::takeDate(const QString &typed, bool report) {
    bool ok = false;
    const qint32 day = Picture::deformatDate(typed, kDate, &ok);
    if (ok && day > 0) {
        LOC.WITHDATE = day;
        return true;
    }
    if (report) Entries::notADate(m_dialogs, typed);
    return false;
}

bool WithdrawalLogic::readMember(const QString &ssn) {
    storage::DataFile<MemberCU> &mem = *m_members;
    const bool had = memberFound;
    const qint32 previous = MEM.ACCTNUM;
    memberFound = false;
    if (!mem.open()) {
        dropWithdrawAll();
        return false;
    }
    mem.clear();
    mem.rec.SSNUM = ssn;
    if (!mem.get(MemberCU::SSNum_Key)) {
        dropWithdrawAll();
        return false;
    }
    if (!had || mem.rec.ACCTNUM != previous) dropWithdrawAll();
    MEM = mem.rec;
    memberFound = true;
    LOC.ACCTNUM = QString::number(MEM.ACCTNUM);
    return true;
}

void WithdrawalLogic::dropWithdrawAll() {
    if (!LOC.WITHDRAWALFLAG) return;
    LOC.WITHDRAWALFLAG = 0;
    LOC.TOTALTOWITHDRAW = Decimal(0, 2);
}

bool WithdrawalLogic::lookUpBalance() {
    if (GETBALANCE(m_db, QString::number(MEM.ACCTNUM), LOC.BALANCE, LOC.PREYTD, LOC.YTD)) return true;
    m_dialogs.message(kCaption, kNoBalance.arg(storage::lastErrorText()), Dlg::Error);
    return false;
}

bool WithdrawalLogic::ssnAccepted() {
    if (!readMember(LOC.SSNUM)) return false;
    if (!MEM.WITHDRAWALFLAG) {
        if (!lookUpBalance()) return false;
        LOC.TOTALTOWITHDRAW = LOC.BALANCE;
    }
    return true;
}

void WithdrawalLogic::memberPicked(const MemberCU &member) {
    LOC.SSNUM = member.SSNUM;
    readMember(member.SSNUM);
}

bool WithdrawalLogic::feeFocused() {
    if (!readMember(LOC.SSNUM)) {
        m_dialogs.message(kNotFoundCaption, kNotFound, Dlg::Warning);
        return false;
    }
    LOC.NAME = clip(MEM.LASTNAME) + ", " + clip(MEM.FIRSTNAME);
    if (MEM.WITHDRAWALFLAG) {
        LOC.WITHDRAWALFLAG = 1;
        if (!lookUpBalance()) return false;
        LOC.TOTALTOWITHDRAW = LOC.BALANCE;
    }
    return true;
}

void WithdrawalLogic::setWithdrawAll(bool all) {
    LOC.WITHDRAWALFLAG = all && memberFound ? 1 : 0;
    if (LOC.WITHDRAWALFLAG) {
        if (lookUpBalance())
            LOC.TOTALTOWITHDRAW = LOC.BALANCE;
        else
            LOC.WITHDRAWALFLAG = 0;
    }
}

void WithdrawalLogic::codePicked(const Withdraw &code) {
    LOC.DESCRIPTION = code.DESCRIPTION.left(50);
    LOC.CODE = code.CODE;
}

bool WithdrawalLogic::dateAccepted() {
    return m_admin || dateInRange(LOC.WITHDATE);
}

bool WithdrawalLogic::dateInRange(qint32 day) {
    const qint32 today = Clock::today();
    const QString shown = Picture::format(today, kDate);
    if (day > today) {
        m_dialogs.message(kDateCaption, kDateAfterToday + shown + ".", Dlg::Warning);
        return false;
    }
    if (Clock::year(day) != Clock::year(today) || Clock::month(day) != Clock::month(today)) {
        m_dialogs.message(kDateCaption, kDateOtherMonth + shown + ".", Dlg::Warning);
        return false;
    }
    return true;
}

bool WithdrawalLogic::taxRateAccepted() {
    const Decimal &rate = LOC.TAXPERC;
    if (rate.rounded(0) == rate && rate.sign() >= 0 &&
        rate <= Decimal::fromInt(CUInfo::TaxPercentMax))
        return true;
    Entries::outOfRange(m_dialogs, kTaxPercPrompt, 0, CUInfo::TaxPercentMax);
    return false;
}

Decimal WithdrawalLogic::tax(const Decimal &gross, const Decimal &fee, const Decimal &percent) {
    return Decimal::divide((gross - fee) * percent, Decimal::fromInt(100), 2);
}

bool WithdrawalLogic::addLine() {
    if (!memberFound || clip(MEM.SSNUM) != clip(LOC.SSNUM)) {
        if (!feeFocused()) return false;
    }
    // Amounts set past the entries (the balance proposed, the fund's default fee) are held to
    // the fields' digits here too, so that no calculation below can overflow.
    if (!LOC.TOTALTOWITHDRAW.fits(TotalDigits, Places)) {
        Entries::tooManyDigits(m_dialogs, kTotalPrompt, TotalDigits - Places);
        return false;
    }
    if (!LOC.ADMINFEE.fits(FeeDigits, Places)) {
        Entries::tooManyDigits(m_dialogs, kFeePrompt, FeeDigits - Places);
        return false;
    }
    if (!taxRateAccepted()) return false;
    const Decimal gross = LOC.TOTALTOWITHDRAW.rounded(2), fee = LOC.ADMINFEE.rounded(2);
    if (gross.sign() <= 0) {
        m_dialogs.message(kCaption, kNotPositive, Dlg::Warning);
        return false;
    }
    if (fee > gross) {
        m_dialogs.message(kCaption, kFeeOverGross, Dlg::Warning);
        return false;
    }
    if (!dateAccepted()) return false;
    WithdrawalLine line;
    line.TAX = tax(gross, fee, LOC.TAXPERC);
    line.ADMINFEE = fee;
    if (!line.TAX.fits(7, 2) || !line.ADMINFEE.fits(7, 2)) {
        m_dialogs.message(kCaption, kTooLarge, Dlg::Warning);
        return false;
    }
    if (!LOC.WITHDRAWALFLAG) {
        if (!lookUpBalance()) return false;
        if (gross > LOC.BALANCE &&
            m_dialogs.message(kCaption, kOverBalance.arg(Picture::format(LOC.BALANCE, kMoney).trimmed()),
                              Dlg::Question, Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes)
            return false;
    }
    line.TOTALTOWITHDRAWAL = gross - line.TAX - line.ADMINFEE;
    line.NAME = LOC.NAME;
    line.WITHDATE = LOC.WITHDATE;
    line.DESCRIPTION = LOC.DESCRIPTION.left(50);
    line.CODE = LOC.CODE.left(2);
    line.ACCTNUM = QString::number(MEM.ACCTNUM);
    WITHDRAWALQUEUE << line;
    LOC.NAME.clear();
    LOC.TOTALTOWITHDRAW = Decimal(0, 2);
    LOC.DESCRIPTION.clear();
    LOC.CODE.clear();
    LOC.SSNUM.clear();
    LOC.WITHDRAWALFLAG = 0;
    memberFound = false;
    recomputeGrandTotal();
    return true;
}

void WithdrawalLogic::recomputeGrandTotal() {
    LOC.GRANDTOTAL = Decimal(0, 2);
    for (const WithdrawalLine &l : WITHDRAWALQUEUE) LOC.GRANDTOTAL += l.TOTALTOWITHDRAWAL;
}

bool WithdrawalLogic::deleteLine(int index) {
    if (WITHDRAWALQUEUE.isEmpty()) {
        m_dialogs.message(kDeleteErrorCaption, kListEmpty, Dlg::Warning);
        return false;
    }
    if (index < 0 || index >= WITHDRAWALQUEUE.size()) {
        m_dialogs.message(kDeleteErrorCaption, kNotSelected, Dlg::Warning);
        return false;
    }
    if (m_dialogs.message(kDeleteCaption, kDeleteQuestion, Dlg::Question, Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes) {
        m_dialogs.message(kCaption, kDeleteAborted, Dlg::Information);
        return false;
    }
    WITHDRAWALQUEUE.removeAt(index);
    recomputeGrandTotal();
    m_dialogs.message(kCaption, kDeleted, Dlg::Information);
    return true;
}

// All lines post in one database transaction: a failure or a crash half-way leaves nothing.
bool WithdrawalLogic::post() {
    if (!dateAccepted()) return false;
    if (!m_admin)
        for (const WithdrawalLine &l : WITHDRAWALQUEUE)
            if (!dateInRange(l.WITHDATE)) return false;
    storage::DataFile<Trans> tra(m_db);
    bool ok = tra.open();
    storage::Transaction batch(m_db);
    ok = ok && batch.active();
    auto write = [&](qint32 acct, qint32 type, const Decimal &amount, const QString &desc, qint32 date,
                     const QString &user) {
        tra.clear();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSTYPE = type;
        tra.rec.TRANSAMOUNT = -amount;
        tra.rec.DESC = desc;
        tra.rec.TRANSDATE = date;
        tra.rec.USERID = user;
        tra.rec.TRANSTIME = Clock::clock();
        ok = ok && tra.add();
    };
    for (const WithdrawalLine &l : WITHDRAWALQUEUE) {
        if (l.TOTALTOWITHDRAWAL.sign() <= 0) continue;
        const qint32 acct = l.ACCTNUM.toInt();
        const qint32 taxDate = m_admin ? l.WITHDATE : LOC.WITHDATE;
        if (l.TAX.sign() > 0) write(acct, TransType::Tax, l.TAX, kTaxDesc, taxDate, QString());
        if (l.ADMINFEE.sign() > 0)
            write(acct, TransType::AdminFee, l.ADMINFEE, kFeeDesc, taxDate, GNT().USERID);
        write(acct, TransType::Withdrawal, l.TOTALTOWITHDRAWAL, clip(l.DESCRIPTION) + kCodeOpen + clip(l.CODE) + ")",
              l.WITHDATE, QString());
    }
    // The first refused write ends the batch; the message waits until the lock is let go.
    if (!ok || !batch.commit()) {
        const QString error = storage::lastErrorText();
        batch.rollback();
        m_dialogs.message(kCaption, kPostFailed.arg(error), Dlg::Error);
        return false;
    }
    m_dialogs.message(kCompletedCaption, kCompleted, Dlg::Warning);
    WITHDRAWALQUEUE.clear();
    recomputeGrandTotal();
    return true;
}

WithdrawalWindow::WithdrawalWindow(storage::Database &db, Dialogs &dialogs, bool admin, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs, admin) {
    EnhancedFocusClassType::install(this);
    setObjectName("WITHDRAWAL");
    setWindowTitle(kCaption);
    auto line = [this](const QString &name) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        return e;
    };
    m_ssn = line("LOC:SSNUM");
    Entries::setPattern(m_ssn, "K###-##-####K");
    m_name = line("LOC:NAME");
    m_name->setReadOnly(true);
    m_name->setFocusPolicy(Qt::NoFocus);
    m_all = new QCheckBox("Withdrawal All");
    m_all->setToolTip("Customer Must Withdraw Full Amount When Withdrawing.");
    using Logic = WithdrawalLogic;
    m_total = line("LOC:TOTALTOWITHDRAW");
    m_total->setValidator(Entries::amountValidator(Logic::TotalDigits - Logic::Places, Logic::Places, false, m_total));
    m_fee = line("LOC:ADMINFEE");
    m_fee->setValidator(Entries::amountValidator(Logic::FeeDigits - Logic::Places, Logic::Places, false, m_fee));
    m_taxPerc = line("LOC:TAXPERC");
    m_taxPerc->setValidator(new WholeNumberValidator(0, CUInfo::TaxPercentMax, m_taxPerc));
    m_taxPerc->setMaxLength(3);
    m_taxPerc->setToolTip("Federal tax withheld, in whole percent");
    m_description = line("LOC:DESCRIPTION");
    m_description->setMaxLength(50);
    m_code = line("LOC:CODE");
    m_code->setMaxLength(2);
    m_date = line("LOC:WITHDATE");
    m_date->setPlaceholderText("mm/dd/yyyy");
    m_grand = line("LOC:GRANDTOTAL");
    m_grand->setReadOnly(true);
    m_grand->setFocusPolicy(Qt::NoFocus);
    m_grand->setAlignment(Qt::AlignRight);
    for (QLineEdit *e : {m_total, m_fee, m_taxPerc}) e->setAlignment(Qt::AlignRight);
    for (QLineEdit *e : {m_ssn, m_total, m_fee, m_date, m_grand}) e->setMaximumWidth(150);
    m_taxPerc->setMaximumWidth(60);
    m_code->setMaximumWidth(40);

    auto *memberButton = new QPushButton("...");
    memberButton->setToolTip("Pick the member from the list");
    memberButton->setFocusPolicy(Qt::NoFocus);
    auto *codeButton = new QPushButton("...");
    codeButton->setToolTip("Pick the withdrawal code from the list");
    codeButton->setFocusPolicy(Qt::NoFocus);
    for (QPushButton *b : {memberButton, codeButton}) b->setFixedWidth(32);

    auto *form = new QGridLayout;

    form->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    int row = 0;
    auto put = [&](const QString &prompt, QWidget *w, QWidget *extra = nullptr) {
        form->addWidget(new QLabel(prompt), row, 0);
        if (w->maximumWidth() < QWIDGETSIZE_MAX) form->addWidget(w, row, 1, Qt::AlignLeft);
        else form->addWidget(w, row, 1, 1, 3); // names and descriptions take the whole width
        if (extra) form->addWidget(extra, row, 2, Qt::AlignLeft);
        ++row;
    };
    put("Social Security #:", m_ssn, memberButton);
    put("Participant Name:", m_name);
    form->addWidget(m_all, row++, 1);
    form->setColumnStretch(3, 1);
    put(kTotalPrompt, m_total);
    put(kFeePrompt, m_fee);
    put(kTaxPercPrompt, m_taxPerc);
    put("Description:", m_description);
    put("Code:", m_code, codeButton);
    put("Withdrawal Date:", m_date);

    m_list = new QTableWidget(0, 7);
    m_list->setObjectName("WITHDRAWALQUEUE");
    m_list->setHorizontalHeaderLabels({"Name", "Date", "Total To Withdrawal", "Admin Fee", "Tax", "Code", "Description"});
    m_list->horizontalHeader()->setStretchLastSection(true);
    for (auto [column, width] : {std::pair{0, 180}, {1, 90}, {2, 130}, {3, 80}, {4, 80}, {5, 45}})
        m_list->setColumnWidth(column, width);
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const QString &text, void (WithdrawalWindow::*slot)()) {
        auto *b = new QPushButton(text);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        m_buttons << b;
    };
    addButton("&Withdrawal", &WithdrawalWindow::addLine);
    addButton("&Post", &WithdrawalWindow::post);
    addButton("&Delete", &WithdrawalWindow::deleteLine);
    buttons->addStretch(1);
    auto *grandRow = new QHBoxLayout;
    grandRow->addStretch(1);
    grandRow->addWidget(new QLabel("Grand Total To Withdrawal:"));
    grandRow->addWidget(m_grand);
    auto *cancel = new QPushButton("&Cancel");
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(cancel);
    m_buttons << cancel;

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_list, 1);
    layout->addLayout(grandRow);
    layout->addLayout(buttons);

    connect(memberButton, &QPushButton::clicked, this, &WithdrawalWindow::pickMember);
    connect(codeButton, &QPushButton::clicked, this, &WithdrawalWindow::pickCode);
    // Enter and Tab both accept a changed SSN.
    connect(m_ssn, &QLineEdit::editingFinished, this, [this] {
        if (!m_ssn->isModified()) return;
        m_ssn->setModified(false);
        acceptSsn();
    });
    connect(m_all, &QCheckBox::clicked, this, [this](bool on) {
        store();
        m_logic.setWithdrawAll(on);
        refresh();
    });
    connect(m_date, &QLineEdit::editingFinished, this, [this] {
        const bool typed = m_logic.takeDate(m_date->text(), true);
        if (typed)
            m_unread.removeAll(WithdrawalLogic::Entry::Date);
        else if (!m_unread.contains(WithdrawalLogic::Entry::Date))
            m_unread << WithdrawalLogic::Entry::Date;
        if (!typed || !m_logic.dateAccepted()) m_date->setFocus();
    });
    m_fee->installEventFilter(this);

    m_logic.open();
    refresh();
    resize(760, 560);
}

QLineEdit *WithdrawalWindow::field(const QString &name) const { return findChild<QLineEdit *>(name); }

QPushButton *WithdrawalWindow::button(const QString &text) const {
    for (QPushButton *b : m_buttons)
        if (b->text() == text) return b;
    return nullptr;
}

bool WithdrawalWindow::store(bool report) {
    auto &L = m_logic.LOC;
    QString ssn = m_ssn->displayText();
    L.SSNUM = ssn.contains(QRegularExpression("\\d")) ? clip(ssn) : QString();
    L.DESCRIPTION = m_description->text();
    L.CODE = m_code->text();
    m_unread =
        m_logic.take({m_total->text(), m_fee->text(), m_taxPerc->text(), m_date->text()}, report);
    if (!report || m_unread.isEmpty()) return true;
    if (QLineEdit *edit = entry(m_unread.first()); edit->isEnabled()) edit->setFocus();
    return false;
}

QLineEdit *WithdrawalWindow::entry(WithdrawalLogic::Entry e) const {
    using Entry = WithdrawalLogic::Entry;
    return e == Entry::Total     ? m_total
           : e == Entry::Fee     ? m_fee
           : e == Entry::TaxPerc ? m_taxPerc
                                 : m_date;
}

void WithdrawalWindow::refresh() {
    const auto &L = m_logic.LOC;
    m_ssn->setText(L.SSNUM);
    m_name->setText(L.NAME);
    m_all->setChecked(L.WITHDRAWALFLAG != 0);
    // An entry that could not be taken keeps what was typed until it is refused, rather than
    // silently going back to its last value.
    using Entry = WithdrawalLogic::Entry;
    const std::pair<Entry, QString> shown[] = {
        {Entry::Total, L.TOTALTOWITHDRAW.rounded(2).toString()},
        {Entry::Fee, L.ADMINFEE.rounded(2).toString()},
        {Entry::TaxPerc, Picture::format(L.TAXPERC, "@n3").trimmed()},
        {Entry::Date, Picture::format(L.WITHDATE, kDate)}};
    for (const auto &[e, text] : shown)
        if (!m_unread.contains(e)) entry(e)->setText(text);
    m_description->setText(L.DESCRIPTION);
    m_code->setText(L.CODE);
    m_grand->setText(Picture::format(L.GRANDTOTAL, "@n-$17.2").trimmed());
    const bool forced = m_logic.fullWithdrawalForced();
    m_all->setEnabled(m_logic.memberFound && !forced);
    m_total->setEnabled(!forced && !L.WITHDRAWALFLAG);
    const auto &q = m_logic.WITHDRAWALQUEUE;
    m_list->setRowCount(int(q.size()));
    for (int i = 0; i < q.size(); ++i) {
        const WithdrawalLine &l = q[i];
        const QStringList cells{l.NAME, Picture::format(l.WITHDATE, kDate),
                                Picture::format(l.TOTALTOWITHDRAWAL, kMoney).trimmed(),
                                Picture::format(l.ADMINFEE, "@N$9.2").trimmed(),
                                Picture::format(l.TAX, "@N$10.2").trimmed(), l.CODE, l.DESCRIPTION};
        Windows::fillRow(m_list, i, cells, {2, 3, 4});
    }
    button("&Post")->setVisible(!q.isEmpty());
    button("&Delete")->setVisible(!q.isEmpty());
}

void WithdrawalWindow::acceptSsn() {
    store();
    if (m_logic.ssnAccepted()) {
        refresh();
        m_fee->setFocus(Qt::TabFocusReason); // selected, so that typing replaces the proposed fee
    } else {
        enterFee(); // says so at once and goes back to the SSN
    }
}

void WithdrawalWindow::enterFee() {
    store();
    bool found = m_logic.feeFocused();
    refresh();
    if (!found) m_ssn->setFocus();
}

void WithdrawalWindow::pickMember() {
    GlobalRequest() = Request::SelectRecord;
    BROWSEMEMBERS();
    if (GlobalResponse() != Response::RequestCompleted) return;
    store();
    m_logic.memberPicked(SharedBuffer<MemberCU>());
    refresh();
    enterFee();
    // After the list has closed and handed the focus back.
    QTimer::singleShot(0, m_fee, [this] { m_fee->setFocus(Qt::TabFocusReason); });
}

void WithdrawalWindow::pickCode() {
    GlobalRequest() = Request::SelectRecord;
    BROWSEWITH();
    if (GlobalResponse() != Response::RequestCompleted) return;
    store();
    m_logic.codePicked(SharedBuffer<Withdraw>());
    refresh();
}

void WithdrawalWindow::addLine() {
    if (!store(true)) return;
    if (m_logic.addLine()) {
        refresh();
        m_ssn->setFocus();
    } else {
        refresh();
    }
}

void WithdrawalWindow::deleteLine() {
    store();
    QList<QTableWidgetItem *> selected = m_list->selectedItems();
    m_logic.deleteLine(selected.isEmpty() ? -1 : selected.first()->row());
    refresh();
}

void WithdrawalWindow::post() {
    if (!store(true)) return;
    if (m_logic.post()) close();
}

bool WithdrawalWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_fee && event->type() == QEvent::FocusIn) enterFee();
    return QWidget::eventFilter(watched, event);
}

void WITHDRAWAL() {
    storage::Database &db = App::db();
    storage::DataFile<CUInfo> cui(db);
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    storage::DataFile<TransDesc> trd(db);
    storage::DataFile<Withdraw> wit(db);
    Dialogs &d = App::dialogs();
    if (!CHECKOPEN(cui, d) || !CHECKOPEN(mem, d) || !CHECKOPEN(tra, d) || !CHECKOPEN(trd, d) || !CHECKOPEN(wit, d))
        return;
    Windows::start(new WithdrawalWindow(db, d, App::admin()));
}

WithdrawalWindow::~WithdrawalWindow() { Entries::detachEntries(this); }
