#include "processpayroll.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/windows.h"
#include "data/accountbyssn.h"
#include "payrollreport.h"
#include "platform/clock.h"
#include "platform/picture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Processing Payroll Information ...");
const QString kWait = QStringLiteral("Posting Payroll.  Please Wait ...");
const QString kClosedCaption = QStringLiteral("Account Closed ...");
const QString kClosed = QStringLiteral("Account Is Closed.  Re-Open?");
const QString kDepositCaption = QStringLiteral("Deposit Amount Error");
const QString kNoMoney =
    QStringLiteral("Payroll Amount is Now $0.00.  No More Money To Divide Out.");
const QString kNotPositive = QStringLiteral("Deposit Amount Must Be Greater Than $0.00.");
const QString kNegativeCaption = QStringLiteral("Payroll Negative ...");
const QString kNegative = QStringLiteral("Deposit Amount Will Make Total Payroll Negative.");
const QString kEditCaption = QStringLiteral("Error");
const QString kNothingToEdit = QStringLiteral("Nothing To Edit.");
const QString kErrorCaption = QStringLiteral("Error ...");
const QString kNoQueue =
    QStringLiteral("Error Getting Memory Queue.  Please Contract Tech Support.");
const QString kBackupFailed = QStringLiteral("Error adding payroll data to backup file.");
const QString kTransFailed =
    QStringLiteral("Error adding payroll data to transactions. Error Message = ");
const QString kCompletedCaption = QStringLiteral("Posting ...");
const QString kCompleted = QStringLiteral("Posting Completed.");
const QString kTrialTitle = QStringLiteral("Trial Report");
// Checks of our own.
const QString kNoMember =
    QStringLiteral("No member has the Social Security # %1.|Correct the line with \"&Edit\" "
                   "and post again.  Nothing was posted.");
const QString kReopenFailed = QStringLiteral("The account could not be re-opened: %1.");
const QString kPostFailed =
    QStringLiteral("The payroll could not be posted; nothing was written.  Error: %1.");
const QString kNoContractor =
    QStringLiteral("No contractor has the number %1.|Pick the contractor again and post again.  "
                   "Nothing was posted.");
const QString kDepositPrompt = QStringLiteral("Amount Being Deposited");
const QString kLinePrompt = QStringLiteral("the deposit of %1");

const QString kDate = QStringLiteral("@d2");

} // namespace

ProcessPayrollLogic::ProcessPayrollLogic(storage::Database &db, Dialogs &dialogs,
                                         PayrollGlobals &glo, PayQueue &queue,
                                         PayrollLookups lookups, PayrollReportCall report)
    : m_db(db), m_dialogs(dialogs), GLO(glo), PAYQUEUE(queue), m_lookups(std::move(lookups)),
      m_report(std::move(report)) {}

// The remainder is the check less every line already there (loaded or gathered).
void ProcessPayrollLogic::open() {
    LOC = Values();
    takeHeader();
    LOC.PAYROLLAMOUNT = GLO.PAYROLLAMOUNT.rounded(2);
    for (const PayQueueEntry &q : PAYQUEUE)
        LOC.PAYROLLAMOUNT -= q.AMOUNT;
    memberFound = false;
}

// Lines loaded or gathered before the header was complete belong to the payroll as it is now.
void ProcessPayrollLogic::takeHeader() {
    for (PayQueueEntry &q : PAYQUEUE) {
        q.CONTRACTOR = GLO.CONTRACTORNUMBER;
        q.DATE = GLO.PAYROLLDATE;
        q.POSTINGDATE = GLO.POSTINGDATE;
    }
}

bool ProcessPayrollLogic::readMember(const QString &ssn) {
    memberFound = false;
    if (clip(ssn).isEmpty()) return false;
    storage::DataFile<MemberCU> mem(m_db);
    if (!mem.open()) return false;
    mem.rec.SSNUM = ssn;
    if (!mem.get(MemberCU::SSNum_Key)) return false;
    MEM = mem.rec;
    memberFound = true;
    return true;
}

bool ProcessPayrollLogic::reopen() {
    if (m_dialogs.message(kClosedCaption, kClosed, Dlg::Question, Dlg::Yes | Dlg::No, Dlg::Yes) !=
        Dlg::Yes)
        return false;
    storage::DataFile<MemberCU> mem(m_db);
    mem.open();
    mem.rec.SSNUM = MEM.SSNUM;
    if (mem.get(MemberCU::SSNum_Key)) {
        mem.rec.DATECLOSED = 0;
        if (mem.put()) {
            MEM = mem.rec;
            return true;
        }
    }
    m_dialogs.message(kClosedCaption, kReopenFailed.arg(storage::lastErrorText()), Dlg::Warning);
    return false;
}

ProcessPayrollLogic::Focus ProcessPayrollLogic::ssnAccepted() {
    if (clip(LOC.SSNUM).isEmpty()) return Focus::Stay;
    if (!readMember(LOC.SSNUM)) {
        MemberCU picked;
        if (!m_lookups.member || !m_lookups.member(picked)) return Focus::Ssn;
        LOC.SSNUM = picked.SSNUM;
        if (!readMember(LOC.SSNUM)) return Focus::Ssn;
    }
    if (MEM.DATECLOSED != 0 && !reopen()) return Focus::Ssn;
    LOC.NAME = clip(MEM.FIRSTNAME) + " " + clip(MEM.LASTNAME);
    return Focus::Amount;
}

ProcessPayrollLogic::Focus ProcessPayrollLogic::lookUpMember() {
    MemberCU picked;
    if (!m_lookups.member || !m_lookups.member(picked)) return Focus::Stay;
    LOC.SSNUM = picked.SSNUM;
    readMember(LOC.SSNUM);
    return Focus::Amount;
}

void ProcessPayrollLogic::amountFocused() {
    if (readMember(LOC.SSNUM)) LOC.NAME = lastFirst(MEM);
}

ProcessPayrollLogic::Focus ProcessPayrollLogic::add() {
    if (readMember(LOC.SSNUM) && MEM.DATECLOSED != 0 && !reopen()) {
        LOC.DEPOSITAMOUNT = Decimal(0, 2);
        return Focus::Ssn;
    }
    if (!Entries::fitsWhole(LOC.DEPOSITAMOUNT, PayrollLineDigits)) {
        Entries::tooManyDigits(m_dialogs, kDepositPrompt, PayrollLineDigits);
        return Focus::Amount;
    }
    const Decimal deposit = LOC.DEPOSITAMOUNT.rounded(2);
    if (LOC.PAYROLLAMOUNT.isZero()) {
        m_dialogs.message(kDepositCaption, kNoMoney, Dlg::Warning);
        return Focus::Amount;
    }
    if (deposit.sign() <= 0) {
        m_dialogs.message(kDepositCaption, kNotPositive, Dlg::Warning);
        return Focus::Amount;
    }
    // Still added: the remainder goes negative and posting waits until a line is edited.
    if (deposit > LOC.PAYROLLAMOUNT) m_dialogs.message(kNegativeCaption, kNegative, Dlg::Warning);
    PayQueueEntry q;
    q.PATNUM = LOC.SSNUM.left(15);
    q.NAME = LOC.NAME.left(80);
    q.DATE = GLO.PAYROLLDATE;
    q.POSTINGDATE = GLO.POSTINGDATE;
    q.AMOUNT = deposit;
    q.CONTRACTOR = GLO.CONTRACTORNUMBER;
    PAYQUEUE << q;
    LOC.SSNUM.clear();
    LOC.NAME.clear();
    LOC.PAYROLLAMOUNT -= deposit;
    LOC.DEPOSITAMOUNT = Decimal(0, 2);
    memberFound = false;
    return Focus::Ssn;
}

ProcessPayrollLogic::Focus ProcessPayrollLogic::edit(int index) {
    if (PAYQUEUE.isEmpty() || index < 0 || index >= PAYQUEUE.size()) {
        m_dialogs.message(kEditCaption, kNothingToEdit, Dlg::Warning);
        return Focus::Stay;
    }
    const PayQueueEntry q = PAYQUEUE.takeAt(index);
    LOC.SSNUM = q.PATNUM;
    LOC.DEPOSITAMOUNT = q.AMOUNT;
    LOC.NAME = q.NAME;
    LOC.PAYROLLAMOUNT += q.AMOUNT;
    return Focus::Ssn;
}

void ProcessPayrollLogic::trialReport() {
    GLO.TITLE = kTrialTitle;
    if (m_report) m_report(GLO.CONTRACTORNUMBER, GLO.PAYROLLDATE);
}

// Every line as a backup copy and a deposit; the check's PayData record; the saved payroll
// marked as posted. Stops at the first write that fails, with its message in `problem`; the
// caller rolls back and only then shows it, so no box waits while the write lock is held.
bool ProcessPayrollLogic::writeLines(const QHash<QString, qint32> &accounts,
                                     const QString &contractorName, Message &problem,
                                     QString &error) {
    storage::DataFile<PayBackup> pbp(m_db);
    storage::DataFile<Trans> tra(m_db);
    storage::DataFile<PayData> pay(m_db);
    if (!pbp.open() || !tra.open() || !pay.open()) {
        error = storage::lastErrorText();
        return false;
    }
    const QString user = GNT().USERID;
    const QString desc = "(" + contractorName + PayrollDescriptionFor +
                         Picture::format(GLO.PAYROLLDATE, kDate) + ")";
    // Under the day records' add lock from here: whether lines were posted before and the day's
    // total must not change under us, or two stations posting for one contractor at once would
    // make two records or lose each other's lines in the total.
    if (!m_db.serializeAdds(PayData::layout().def())) {
        error = storage::lastErrorText();
        return false;
    }
    // Whether the contractor had lines posted on this date before this payroll.
    pbp.clear();
    pbp.rec.CONTRACTOR = GLO.CONTRACTORNUMBER;
    pbp.rec.POSTINGDATE = GLO.POSTINGDATE;
    const bool postedBefore = pbp.get(PayBackup::ContractorDate_Key);
    if (!postedBefore && pbp.failed()) {
        error = storage::lastErrorText();
        return false;
    }
    Decimal posted(0, 2);
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    int written = 0;
    for (const PayQueueEntry &q : PAYQUEUE) {
        pbp.clear();
        pbp.rec.PATNUM = q.PATNUM.left(11);
        pbp.rec.DATE = q.DATE;
        pbp.rec.AMOUNT = q.AMOUNT;
        pbp.rec.CONTRACTOR = q.CONTRACTOR;
        pbp.rec.POSTINGDATE = q.POSTINGDATE;
        if (!pbp.add()) {
            error = storage::lastErrorText();
            problem = {kErrorCaption, kBackupFailed, Dlg::Warning, Dlg::Ok, Dlg::Ok, {}};
            return false;
        }
        tra.clear();
        tra.rec.ACCTNUM = accounts.value(q.PATNUM);
        tra.rec.TRANSDATE = q.POSTINGDATE;
        tra.rec.TRANSAMOUNT = q.AMOUNT;
        tra.rec.TRANSTYPE = TransType::Payroll;
        tra.rec.TRANSTIME = Clock::clock();
        tra.rec.DESC = desc;
        tra.rec.USERID = user;
        if (!tra.add()) {
            error = storage::lastErrorText();
            problem = {
                kErrorCaption, kTransFailed + error + ".", Dlg::Warning, Dlg::Ok, Dlg::Ok, {}};
            return false;
        }
        posted += q.AMOUNT;
        ++written;
        if (progress && sinceProgress.elapsed() >= 20) {
            progress(written);
            sinceProgress.restart();
        }
    }

    // One PayData record per contractor and posting date, holding what was posted for them that
    // day: a second payroll of the same contractor on the same day adds to the first. The record
    // "&Process" made holds the check until its first lines are posted.
    pay.clear();
    pay.rec.ACCTNUM = GLO.CONTRACTORNUMBER;
    pay.rec.DATE = GLO.POSTINGDATE;
    bool ok = true;
    if (pay.get(PayData::AcctNumDate)) {
        pay.rec.AMOUNT = postedBefore ? pay.rec.AMOUNT + posted : posted;
        ok = pay.put();
    } else if (pay.failed()) {
        ok = false;
    } else {
        // Lines without their record: the day's total is taken from the lines themselves.
        Decimal total = posted;
        if (postedBefore) {
            total = Decimal(0, 2);
            pbp.clear();
            pbp.rec.CONTRACTOR = GLO.CONTRACTORNUMBER;
            pbp.rec.POSTINGDATE = GLO.POSTINGDATE;
            pbp.set(PayBackup::ContractorDate_Key);
            while (pbp.next() && pbp.rec.CONTRACTOR == GLO.CONTRACTORNUMBER &&
                   pbp.rec.POSTINGDATE == GLO.POSTINGDATE)
                total += pbp.rec.AMOUNT;
            if (pbp.failed()) {
                error = storage::lastErrorText();
                return false;
            }
        }
        pay.clear();
        pay.rec.ACCTNUM = GLO.CONTRACTORNUMBER;
        pay.rec.DATE = GLO.POSTINGDATE;
        pay.rec.AMOUNT = total;
        ok = pay.add();
    }

    // A loaded payroll is marked, so that loading it again asks first.
    if (ok && GLO.LOADDATA == 1) {
        storage::DataFile<PayBreak> pbk(m_db);
        ok = pbk.open();
        QList<qint64> positions;
        if (ok && pbk.first()) {
            do
                positions << pbk.position();
            while (pbk.next());
        }
        ok = ok && !pbk.failed();
        for (qint64 p : positions) {
            if (!ok) break;
            ok = pbk.getPosition(p);
            if (ok && pbk.rec.POSTED != 1) {
                pbk.rec.POSTED = 1;
                ok = pbk.put();
            }
        }
    }
    if (!ok) error = storage::lastErrorText();
    return ok;
}

bool ProcessPayrollLogic::post() {
    takeHeader();
    // Checks that need no write come first, each stopping the posting before anything is written.
    for (const PayQueueEntry &q : PAYQUEUE)
        if (!Entries::fitsWhole(q.AMOUNT, PayrollLineDigits)) {
            Entries::tooManyDigits(m_dialogs, kLinePrompt.arg(q.PATNUM), PayrollLineDigits);
            return false;
        }
    // Money must not go to an account nobody has: lines without a member stop the posting.
    QHash<QString, qint32> accounts;
    {
        AccountBySsn memberOf(m_db);
        QStringList missing;
        for (const PayQueueEntry &q : PAYQUEUE) {
            if (accounts.contains(q.PATNUM) || missing.contains(q.PATNUM)) continue;
            const std::optional<qint32> acct =
                clip(q.PATNUM).isEmpty() ? std::nullopt : memberOf.find(q.PATNUM);
            if (acct)
                accounts.insert(q.PATNUM, *acct);
            else if (memberOf.failed()) {
                m_dialogs.message(kErrorCaption, kPostFailed.arg(storage::lastErrorText()), Dlg::Error);
                return false;
            } else
                missing << q.PATNUM;
        }
        if (!missing.isEmpty()) {
            for (QString &s : missing)
                if (clip(s).isEmpty()) s = QStringLiteral("(blank)");
            m_dialogs.message(kErrorCaption, kNoMember.arg(missing.join(", ")), Dlg::Warning);
            return false;
        }
    }
    QString contractorName;
    {
        storage::DataFile<Contractor> con(m_db);
        const bool opened = con.open();
        con.rec.AUTONUM = GLO.CONTRACTORNUMBER;
        const bool found = opened && GLO.CONTRACTORNUMBER != 0 && con.get(Contractor::AutoNum_Key);
        if (!opened || con.failed()) {
            m_dialogs.message(kErrorCaption, kPostFailed.arg(storage::lastErrorText()), Dlg::Error);
            return false;
        }
        if (!found) {
            m_dialogs.message(kErrorCaption, kNoContractor.arg(GLO.CONTRACTORNUMBER), Dlg::Warning);
            return false;
        }
        contractorName = clip(con.rec.NAME);
    }
    if (PAYQUEUE.isEmpty()) m_dialogs.message(kErrorCaption, kNoQueue, Dlg::Warning);

    QString error;
    Message problem;
    bool posted = false;
    {
        storage::Transaction batch(m_db);
        posted = batch.active() && writeLines(accounts, contractorName, problem, error) &&
                 batch.commit();
        if (!posted && error.isEmpty()) error = storage::lastErrorText();
    } // rolled back here unless committed
    if (!posted) {
        if (!problem.text.isEmpty()) m_dialogs.show(problem);
        m_dialogs.message(kErrorCaption, kPostFailed.arg(error), Dlg::Error);
        return false;
    }
    m_dialogs.message(kCompletedCaption, kCompleted, Dlg::Information);
    GLO.TITLE.clear();
    if (m_report) m_report(GLO.CONTRACTORNUMBER, GLO.PAYROLLDATE);
    PAYQUEUE.clear();
    return true;
}

bool ProcessPayrollLogic::cancel() {
    return dropUnpostedLines(m_dialogs, PAYQUEUE);
}

// The window.

ProcessPayrollWindow::ProcessPayrollWindow(storage::Database &db, Dialogs &dialogs,
                                           PayrollGlobals &glo, PayQueue &queue,
                                           PayrollLookups lookups, PayrollReportCall report,
                                           QWidget *parent)
    : QDialog(parent), m_logic(db, dialogs, glo, queue, std::move(lookups), std::move(report)) {
    EnhancedFocusClassType::install(this);
    setObjectName("PROCESSPAYROLL");
    setWindowTitle(kCaption);
    auto line = [this](const QString &name, bool readOnly = false) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        if (readOnly) {
            e->setReadOnly(true);
            e->setFocusPolicy(Qt::NoFocus);
        }
        return e;
    };
    m_contractor = line("GLO:CONTRACTORNAME", true);
    m_remaining = line("LOC:PAYROLLAMOUNT", true);
    m_remaining->setAlignment(Qt::AlignRight);
    m_date = line("GLO:PAYROLLDATE", true);
    m_ssn = line("LOC:SSNUM");
    Entries::setPattern(m_ssn, "K###-##-####K");
    m_ssn->setToolTip("Member Social Security Number");
    m_name = line("LOC:NAME");
    m_name->setMaxLength(80);
    m_name->setToolTip("Participate Name");
    m_deposit = line("LOC:DEPOSITAMOUNT");
    m_deposit->setToolTip("Deposit Amount");
    m_deposit->setAlignment(Qt::AlignRight);
    m_deposit->setValidator(Entries::amountValidator(PayrollLineDigits, 2, true, this));
    Entries::setAmount(m_deposit, "@n$(17.2)B");

    auto *lookup = new QPushButton("...");
    lookup->setToolTip("Member Social Security Number");
    lookup->setFocusPolicy(Qt::NoFocus);

    auto *head = new QGridLayout;

    head->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    head->addWidget(new QLabel("Contractor:"), 0, 0);
    head->addWidget(m_contractor, 0, 1, 1, 3);
    head->addWidget(new QLabel("Amount:"), 1, 0);
    head->addWidget(m_remaining, 1, 1);
    head->addWidget(new QLabel("Date:"), 1, 2);
    head->addWidget(m_date, 1, 3);
    auto *entry = new QGridLayout;
    entry->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    entry->addWidget(new QLabel("Social Security #:"), 0, 0);
    auto *ssnRow = new QHBoxLayout;
    m_ssn->setMaximumWidth(140);
    lookup->setMaximumWidth(40);
    ssnRow->addWidget(m_ssn);
    ssnRow->addWidget(lookup);
    ssnRow->addStretch(1);
    entry->addLayout(ssnRow, 0, 1);
    entry->addWidget(new QLabel("Name:"), 1, 0);
    entry->addWidget(m_name, 1, 1);
    entry->addWidget(new QLabel("Amount Being Deposited:"), 2, 0);
    m_deposit->setMaximumWidth(180);
    entry->addWidget(m_deposit, 2, 1);

    m_list = new QTableWidget(0, 4);
    m_list->setObjectName("PAYQUEUE");
    m_list->setHorizontalHeaderLabels({"SS #", "Name", "Date", "Amount"});
    m_list->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    m_wait = new QLabel(kWait);
    m_wait->setObjectName("WAIT");
    m_wait->hide();

    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const QString &text, void (ProcessPayrollWindow::*slot)()) {
        auto *b = new QPushButton(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        m_buttons << b;
    };
    addButton("Print Trial Report", &ProcessPayrollWindow::printTrial);
    buttons->addStretch(1);
    addButton("&Add", &ProcessPayrollWindow::addLine);
    addButton("&Edit", &ProcessPayrollWindow::editLine);
    addButton("&Post", &ProcessPayrollWindow::post);
    addButton("&Cancel", &ProcessPayrollWindow::cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(entry);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_wait);
    layout->addLayout(buttons);

    connect(lookup, &QPushButton::clicked, this, &ProcessPayrollWindow::pickMember);
    connect(m_ssn, &QLineEdit::editingFinished, this, [this] {
        if (!m_ssn->isModified()) return;
        m_ssn->setModified(false);
        acceptSsn();
    });
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &ProcessPayrollWindow::editLine);
    m_deposit->installEventFilter(this);
    setTabOrder(m_ssn, m_name);
    setTabOrder(m_name, m_deposit);

    m_logic.progress = [](int) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_logic.open();
    m_contractor->setText(glo.CONTRACTORNAME);
    m_date->setText(Picture::format(glo.PAYROLLDATE, kDate));
    refresh();
    resize(720, 520);
}

QLineEdit *ProcessPayrollWindow::field(const QString &name) const {
    return findChild<QLineEdit *>(name);
}

QPushButton *ProcessPayrollWindow::button(const QString &text) const {
    for (QPushButton *b : m_buttons)
        if (b->text() == text) return b;
    return nullptr;
}

void ProcessPayrollWindow::store() {
    auto &L = m_logic.LOC;
    const QString ssn = m_ssn->displayText();
    L.SSNUM = ssn.contains(QRegularExpression("\\d")) ? clip(ssn) : QString();
    L.NAME = m_name->text();
    if (!Entries::toAmount(m_deposit->text(), 2, L.DEPOSITAMOUNT)) L.DEPOSITAMOUNT = Decimal(0, 2);
}

void ProcessPayrollWindow::refresh() {
    const auto &L = m_logic.LOC;
    m_remaining->setText(Picture::format(L.PAYROLLAMOUNT, "N$-15.2").trimmed());
    m_ssn->setText(L.SSNUM);
    m_ssn->setModified(false);
    m_name->setText(L.NAME);
    m_deposit->setText(Picture::format(L.DEPOSITAMOUNT, "N$(17.2)B").trimmed());
    const PayQueue &q = m_logic.queue();
    m_list->setRowCount(int(q.size()));
    for (int i = 0; i < q.size(); ++i) {
        const QStringList cells{Picture::formatText(q[i].PATNUM, "@s11"),
                                Picture::formatText(q[i].NAME, "@s80").trimmed(),
                                Picture::format(q[i].DATE, "@D2"),
                                Picture::format(q[i].AMOUNT, "@N$(20.2)").trimmed()};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_list->setItem(i, c, item);
        }
    }
    button("&Post")->setEnabled(m_logic.postEnabled());
}

void ProcessPayrollWindow::focus(ProcessPayrollLogic::Focus f) {
    if (f == ProcessPayrollLogic::Focus::Ssn)
        m_ssn->setFocus();
    else if (f == ProcessPayrollLogic::Focus::Amount)
        m_deposit->setFocus();
}

void ProcessPayrollWindow::acceptSsn() {
    store();
    const auto f = m_logic.ssnAccepted();
    refresh();
    focus(f);
}

void ProcessPayrollWindow::pickMember() {
    store();
    const auto f = m_logic.lookUpMember();
    refresh();
    focus(f);
}

void ProcessPayrollWindow::enterAmount() {
    store();
    m_logic.amountFocused();
    m_name->setText(m_logic.LOC.NAME);
}

void ProcessPayrollWindow::addLine() {
    store();
    const auto f = m_logic.add();
    refresh();
    focus(f);
}

void ProcessPayrollWindow::editLine() {
    store();
    const auto f = m_logic.edit(m_list->currentRow());
    refresh();
    focus(f);
}

void ProcessPayrollWindow::printTrial() {
    store();
    m_logic.trialReport();
}

void ProcessPayrollWindow::post() {
    store();
    button("&Post")->setEnabled(false);
    button("&Cancel")->setEnabled(false);
    m_wait->show();
    const bool posted = m_logic.post();
    m_wait->hide();
    button("&Cancel")->setEnabled(true);
    refresh();
    if (posted) {
        m_closing = true;
        accept();
    }
}

void ProcessPayrollWindow::cancel() {
    if (m_closing) return;
    store();
    if (!button("&Cancel")->isEnabled()) return; // posting
    if (m_logic.cancel()) {
        m_closing = true;
        refresh();
        QDialog::reject();
    }
}

bool ProcessPayrollWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_deposit && event->type() == QEvent::FocusIn) enterAmount();
    return QDialog::eventFilter(watched, event);
}

void PROCESSPAYROLL() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<PayData> pay(db);
    storage::DataFile<PayBackup> pbp(db);
    storage::DataFile<Trans> tra(db);
    storage::DataFile<Contractor> con(db);
    storage::DataFile<PayBreak> pbk(db);
    storage::DataFile<TransDesc> trd(db);
    if (!CHECKOPEN(mem, d) || !CHECKOPEN(pay, d) || !CHECKOPEN(pbp, d) || !CHECKOPEN(tra, d) ||
        !CHECKOPEN(con, d) || !CHECKOPEN(pbk, d) || !CHECKOPEN(trd, d))
        return;
    ProcessPayrollWindow window(db, d, PayrollGLO(), PAYQUEUE(), PayrollLookups::browses(),
                                PAYROLLRPT);
    Windows::call(&window);
}

ProcessPayrollWindow::~ProcessPayrollWindow() { Entries::detachEntries(this); }
