#include "payrollscreen.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/windows.h"
#include "payrollreport.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "processpayroll.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const QString kCaption = QStringLiteral("Payroll Information");
const QString kDateCaption = QStringLiteral("Date out of range ...");
const QString kDateAfterToday =
    QStringLiteral("Payroll posting date can not be greater than current date of ");
const QString kDateOtherMonth =
    QStringLiteral("Payroll posting date must be in the same month as current date of ");
const QString kGatherCaption = QStringLiteral("Gathering Data ...");
const QString kGathering = QStringLiteral("Gathering Payroll Data.  Please Wait ...");
const QString kNotFoundCaption = QStringLiteral("No Payrolls Found ....");
const QString kNotFound = QStringLiteral("No payroll information was found for ");
const QString kReprintTitle = QStringLiteral("Payroll Report Re-Print.  Payroll was posted on ");
const QString kCurrent = QStringLiteral("Current Contractor:  ");
const QString kSelectNew =
    QStringLiteral("Select new contractor from list below then click on Rename.");
const QString kRenameCaption = QStringLiteral("Rename Posted Payroll ...");
const QString kRenameQuestion =
    QStringLiteral("Are you sure you want to rename this posted payroll to new contractor ");
const QString kUpdatedCaption = QStringLiteral("Updated ...");
const QString kUpdated = QStringLiteral("Payroll Posting Updated.");
const QString kGatheredCaption = QStringLiteral("Data Gathered ...");
const QString kGathered =
    QStringLiteral("Payroll Data has been gathered.  Please click on \"Process\" to continue.");
// Checks of our own.
const QString kLoadAgainCaption = QStringLiteral("Load Saved Data ...");
const QString kLoadAgain =
    QStringLiteral("This saved payroll has already been posted.|Load it again?");
const QString kNoPayrollDate = QStringLiteral("Please enter the payroll date.");
const QString kNoPostingDate = QStringLiteral("Please enter the posting date.");
const QString kAmountPrompt = QStringLiteral("Payroll Amount");
const QString kErrorCaption = QStringLiteral("Error ...");
const QString kRenameFailed =
    QStringLiteral("The payroll could not be renamed; nothing was changed.  Error: %1.");
const QString kUnreadable =
    QStringLiteral("The payroll data could not be read; nothing was changed.  Error: %1.");
const QString kNotRecorded = QStringLiteral("The payroll could not be recorded.  Error: %1.");

const QString kDate = QStringLiteral("@d2");

// Part of the data is never shown or used as if it were all of it.
bool unreadable(Dialogs &dialogs) {
    dialogs.message(kCaption, kUnreadable.arg(storage::lastErrorText()), Dlg::Error);
    return false;
}
} // namespace

PayrollScreenLogic::PayrollScreenLogic(storage::Database &db, Dialogs &dialogs, bool admin,
                                       PayrollGlobals &glo, PayQueue &queue, PayrollLookups lookups,
                                       PayrollReportCall report)
    : m_db(db), m_dialogs(dialogs), m_admin(admin), GLO(glo), PAYQUEUE(queue),
      m_lookups(std::move(lookups)), m_report(std::move(report)) {}

void PayrollScreenLogic::open() {
    GLO.POSTINGDATE = Clock::today();
    GLO.PAYROLLAMOUNT = Decimal(0, 2);
    GLO.CONTRACTORNUMBER = 0;
    GLO.CONTRACTORNAME.clear();
    GLO.PAYROLLDATE = 0;
    GLO.TRANSDESC.clear();
    GLO.LOADDATA = 0;
}

PayrollScreenLogic::Focus PayrollScreenLogic::contractorAccepted() {
    if (clip(GLO.CONTRACTORNAME).isEmpty()) return Focus::Stay;
    storage::DataFile<Contractor> con(m_db);
    con.open();
    con.rec.NAME = GLO.CONTRACTORNAME;
    if (con.get(Contractor::Name_Key)) {
        CON = con.rec;
    } else {
        Contractor picked;
        if (!m_lookups.contractor || !m_lookups.contractor(picked)) return Focus::Back;
        CON = picked;
    }
    GLO.CONTRACTORNAME = clip(CON.NAME).left(30);
    GLO.CONTRACTORNUMBER = CON.AUTONUM;
    return Focus::Next;
}

bool PayrollScreenLogic::lookUpContractor() {
    Contractor picked;
    if (!m_lookups.contractor || !m_lookups.contractor(picked)) return false;
    CON = picked;
    GLO.CONTRACTORNAME = clip(CON.NAME).left(30);
    GLO.CONTRACTORNUMBER = CON.AUTONUM;
    return true;
}

void PayrollScreenLogic::transDescAccepted() {
    GLO.TRANSCODE = QString::number(TRD.TRANSCODE);
}

bool PayrollScreenLogic::lookUpTransDesc() {
    TransDesc picked;
    if (!m_lookups.transDesc || !m_lookups.transDesc(picked)) return false;
    TRD = picked;
    GLO.TRANSDESC = clip(TRD.TRANSDESC).left(20);
    GLO.TRANSCODE = QString::number(TRD.TRANSCODE);
    return true;
}

bool PayrollScreenLogic::dateAccepted(qint32 day) {
    if (m_admin) return true;
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

bool PayrollScreenLogic::postingDateAccepted() {
    return dateAccepted(GLO.POSTINGDATE);
}

bool PayrollScreenLogic::takeDate(const QString &typed, qint32 &day) {
    return Entries::readDate(m_dialogs, typed, day);
}

bool PayrollScreenLogic::checkFits() {
    if (Entries::fitsWhole(GLO.PAYROLLAMOUNT, PayrollCheckDigits)) return true;
    Entries::tooManyDigits(m_dialogs, kAmountPrompt, PayrollCheckDigits);
    return false;
}

bool PayrollScreenLogic::savedDataAvailable() {
    storage::DataFile<PayBreak> pbk(m_db);
    return pbk.open() && pbk.first();
}

bool PayrollScreenLogic::loadSavedData() {
    storage::DataFile<PayBreak> pbk(m_db);
    if (!pbk.open() || !pbk.first()) return pbk.failed() ? unreadable(m_dialogs) : false;
    const PayrollGlobals before = GLO;
    if (pbk.rec.POSTED == 1 && m_dialogs.message(kLoadAgainCaption, kLoadAgain, Dlg::Question,
                                                 Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes)
        return false;
    GLO.PAYROLLAMOUNT = pbk.rec.AMOUNT.rounded(2);
    GLO.CONTRACTORNUMBER = pbk.rec.CONTRACTOR;
    CON = Contractor();
    CON.AUTONUM = pbk.rec.CONTRACTOR;
    TRD = TransDesc();
    TRD.TRANSCODE = clip(pbk.rec.PATNUM).trimmed().toInt();
    GLO.PAYROLLDATE = pbk.rec.DATE;
    GLO.POSTINGDATE = pbk.rec.POSTINGDATE;
    PAYQUEUE.clear();
    storage::DataFile<MemberCU> mem(m_db);
    mem.open();
    while (pbk.next()) {
        PayQueueEntry q;
        q.PATNUM = clip(pbk.rec.PATNUM);
        q.DATE = pbk.rec.DATE;
        q.AMOUNT = pbk.rec.AMOUNT.rounded(2);
        q.CONTRACTOR = pbk.rec.CONTRACTOR;
        q.POSTINGDATE = pbk.rec.POSTINGDATE;
        mem.clear();
        mem.rec.SSNUM = q.PATNUM;
        if (!q.PATNUM.isEmpty() && mem.get(MemberCU::SSNum_Key)) q.NAME = lastFirst(mem.rec);
        PAYQUEUE << q;
    }
    if (pbk.failed()) {
        PAYQUEUE.clear();
        GLO = before;
        return unreadable(m_dialogs);
    }
    storage::DataFile<Contractor> con(m_db);
    con.open();
    con.rec.AUTONUM = CON.AUTONUM;
    if (con.get(Contractor::AutoNum_Key)) CON = con.rec;
    GLO.CONTRACTORNAME = clip(CON.NAME).left(30);
    storage::DataFile<TransDesc> trd(m_db);
    trd.open();
    trd.rec.TRANSCODE = TRD.TRANSCODE;
    if (trd.get(TransDesc::TransCode_Key)) TRD = trd.rec;
    GLO.TRANSDESC = clip(TRD.TRANSDESC).left(20);
    GLO.TRANSCODE = QString::number(TRD.TRANSCODE);
    GLO.LOADDATA = 1;
    return true;
}

bool PayrollScreenLogic::process() {
    // The division needs a real contractor, a payroll date and a posting date in range, even
    // when the operator went past the fields without them being accepted.
    storage::DataFile<Contractor> con(m_db);
    con.open();
    con.rec.NAME = GLO.CONTRACTORNAME;
    // The field holds 30 characters of the name: a longer name is known by the contractor
    // already picked.
    const bool picked = GLO.CONTRACTORNUMBER != 0 && CON.AUTONUM == GLO.CONTRACTORNUMBER &&
                        clip(CON.NAME).left(30) == clip(GLO.CONTRACTORNAME);
    if (!picked) {
        if (clip(GLO.CONTRACTORNAME).isEmpty()) {
            if (!lookUpContractor()) return false;
        } else if (!con.get(Contractor::Name_Key)) {
            if (contractorAccepted() != Focus::Next) return false;
        } else {
            CON = con.rec;
        }
    }
    // A saved payroll too: it may have been saved in another month.
    if (GLO.PAYROLLDATE <= 0) {
        m_dialogs.message(kCaption, kNoPayrollDate, Dlg::Warning);
        return false;
    }
    if (GLO.POSTINGDATE <= 0) {
        m_dialogs.message(kCaption, kNoPostingDate, Dlg::Warning);
        return false;
    }
    if (!postingDateAccepted() || !checkFits()) return false;
    GLO.CONTRACTORNUMBER = CON.AUTONUM;
    // The check and the add under the file's add lock: another station recording the same
    // contractor's day at once finds this record instead of adding a second.
    storage::DataFile<PayData> pay(m_db);
    bool ok = pay.open();
    {
        storage::Transaction batch(m_db);
        ok = ok && batch.active() && m_db.serializeAdds(PayData::layout().def());
        pay.rec.ACCTNUM = CON.AUTONUM;
        pay.rec.DATE = GLO.POSTINGDATE;
        if (ok && !pay.get(PayData::AcctNumDate)) {
            pay.clear();
            pay.rec.ACCTNUM = CON.AUTONUM;
            pay.rec.DATE = GLO.POSTINGDATE;
            pay.rec.AMOUNT = GLO.PAYROLLAMOUNT.rounded(2);
            ok = !pay.failed() && pay.add();
        }
        ok = ok && batch.commit();
    }
    if (!ok) {
        m_dialogs.message(kCaption, kNotRecorded.arg(storage::lastErrorText()), Dlg::Error);
        return false;
    }
    return true;
}

bool PayrollScreenLogic::leave() {
    if (!dropUnpostedLines(m_dialogs, PAYQUEUE)) return false;
    PAYROLLRETRIEVEDQUEUE.clear();
    CONTRACTORQUEUE.clear();
    return true;
}

// The records of the lookup date's payroll with exactly that description, or of every payroll
// of the date when the description is empty; false when the records could not all be read.
template <class F> bool PayrollScreenLogic::readPosted(const QString &description, F each) {
    storage::DataFile<Trans> tra(m_db);
    if (!tra.open()) return false;
    tra.rec.TRANSDATE = GLO.LOOKUPDATE;
    tra.rec.TRANSTYPE = TransType::Payroll;
    tra.set(Trans::DateType_Key);
    while (tra.next() && tra.rec.TRANSDATE == GLO.LOOKUPDATE &&
           tra.rec.TRANSTYPE == TransType::Payroll)
        if (description.isEmpty() || clip(tra.rec.DESC) == description)
            each(tra.rec, tra.position());
    return !tra.failed();
}

bool PayrollScreenLogic::retrieve() {
    PAYROLLRETRIEVEDQUEUE.clear();
    if (gatherWindow) gatherWindow(true);
    QHash<QString, int> index;
    const bool read = readPosted(QString(), [&](const Trans &t, qint64) {
        const QString desc = clip(t.DESC).left(100);
        auto it = index.find(desc);
        if (it == index.end()) {
            index.insert(desc, int(PAYROLLRETRIEVEDQUEUE.size()));
            PAYROLLRETRIEVEDQUEUE << RetrievedPayroll{desc, t.TRANSAMOUNT.rounded(2)};
        } else {
            PAYROLLRETRIEVEDQUEUE[*it].AMOUNT += t.TRANSAMOUNT;
        }
    });
    std::stable_sort(PAYROLLRETRIEVEDQUEUE.begin(), PAYROLLRETRIEVEDQUEUE.end(),
                     [](const RetrievedPayroll &a, const RetrievedPayroll &b) {
                         return a.PAYROLLDESCRIPTION < b.PAYROLLDESCRIPTION;
                     });
    if (gatherWindow) gatherWindow(false);
    if (!read) {
        PAYROLLRETRIEVEDQUEUE.clear();
        return unreadable(m_dialogs);
    }
    if (PAYROLLRETRIEVEDQUEUE.isEmpty()) {
        m_dialogs.message(kNotFoundCaption,
                          kNotFound + Picture::format(GLO.LOOKUPDATE, kDate) + ".",
                          Dlg::Information);
        return false;
    }
    return true;
}

// The name is what stands between "(" and the last " For ". A contractor renamed since the
// posting is no longer named exactly; then the longest name that still occurs is taken, so that
// "ABC" never stands in for "ABC Builders".
bool PayrollScreenLogic::contractorOf(const QString &description, Contractor &found) {
    storage::DataFile<Contractor> con(m_db);
    con.open();
    con.setStart(Contractor::Name_Key);
    const QString desc = clip(description);
    const int at = desc.lastIndexOf(PayrollDescriptionFor);
    const QString named = at > 0 && desc.startsWith('(') ? desc.mid(1, at - 1) : QString();
    int longest = 0;
    while (con.next()) {
        const QString name = clip(con.rec.NAME);
        if (name.isEmpty()) continue;
        if (name == named) {
            found = con.rec;
            return true;
        }
        if (name.size() > longest && desc.contains(name)) {
            longest = int(name.size());
            found = con.rec;
        }
    }
    if (con.failed()) return unreadable(m_dialogs);
    return longest > 0;
}

QString PayrollScreenLogic::payrollDateText(const QString &description) {
    const int at = description.lastIndexOf(PayrollDescriptionFor);
    if (at < 0) return QString();
    QString text = description.mid(at + 4);
    const int close = text.indexOf(')');
    return close < 0 ? text : text.left(close);
}

bool PayrollScreenLogic::reprint(int index) {
    if (index < 0 || index >= PAYROLLRETRIEVEDQUEUE.size()) return false;
    const QString desc = PAYROLLRETRIEVEDQUEUE[index].PAYROLLDESCRIPTION;
    if (!contractorOf(desc, CON)) return false;
    // The report takes the lines' place and the window closes: unposted lines are given up first.
    if (!dropUnpostedLines(m_dialogs, PAYQUEUE)) return false;
    storage::DataFile<MemberCU> mem(m_db);
    mem.open();
    const bool read = readPosted(desc, [&](const Trans &t, qint64) {
        PayQueueEntry q;
        mem.clear();
        mem.rec.ACCTNUM = t.ACCTNUM;
        if (mem.get(MemberCU::AcctNum_Key)) q.PATNUM = mem.rec.SSNUM;
        q.DATE = t.TRANSDATE;
        q.AMOUNT = t.TRANSAMOUNT.rounded(2);
        PAYQUEUE << q;
    });
    if (!read) {
        PAYQUEUE.clear();
        return unreadable(m_dialogs);
    }
    GLO.TITLE = kReprintTitle + Picture::format(GLO.LOOKUPDATE, kDate);
    GLO.CONTRACTORNUMBER = CON.AUTONUM;
    GLO.PAYROLLDATESTRING = payrollDateText(desc).left(20);
    GLO.PAYROLLDATE = 0;
    if (m_report) m_report(GLO.CONTRACTORNUMBER, GLO.PAYROLLDATE);
    PAYQUEUE.clear();
    PAYROLLRETRIEVEDQUEUE.clear();
    return true;
}

bool PayrollScreenLogic::startRename(int index) {
    if (index < 0 || index >= PAYROLLRETRIEVEDQUEUE.size()) return false;
    m_renaming = PAYROLLRETRIEVEDQUEUE[index].PAYROLLDESCRIPTION;
    Contractor current;
    contractorOf(m_renaming, current);
    CURRENTCONTRACTOR = (kCurrent + clip(current.NAME)).left(100);
    CONTRACTORQUEUE.clear();
    storage::DataFile<Contractor> con(m_db);
    con.open();
    con.setStart(Contractor::Name_Key);
    while (con.next())
        CONTRACTORQUEUE << ContractorEntry{clip(con.rec.NAME), con.rec.AUTONUM};
    if (con.failed()) {
        cancelRename();
        return unreadable(m_dialogs);
    }
    return true;
}

void PayrollScreenLogic::rename(int contractorIndex) {
    if (contractorIndex < 0 || contractorIndex >= CONTRACTORQUEUE.size()) return;
    const QString newName = clip(CONTRACTORQUEUE[contractorIndex].CONTRACTORNAME);
    if (m_dialogs.message(kRenameCaption, kRenameQuestion + newName + "?", Dlg::Question,
                          Dlg::Yes | Dlg::No, Dlg::No) == Dlg::Yes) {
        QList<qint64> positions;
        if (!readPosted(m_renaming, [&](const Trans &, qint64 pos) { positions << pos; })) {
            unreadable(m_dialogs);
            PAYROLLRETRIEVEDQUEUE.clear();
            cancelRename();
            return;
        }
        // All of the payroll or none of it changes hands; a record another station deleted
        // meanwhile is skipped. The message waits until the write lock is given back.
        bool renamed = false;
        {
            storage::Transaction batch(m_db);
            storage::DataFile<Trans> tra(m_db);
            renamed = batch.active() && tra.open();
            for (qint64 p : positions) {
                if (!renamed) break;
                if (!tra.getPosition(p)) {
                    renamed = !tra.failed();
                    continue;
                }
                const int at = tra.rec.DESC.lastIndexOf(PayrollDescriptionFor);
                if (at < 0) continue; // nothing after the name to keep
                const QString TEMPSTRING = tra.rec.DESC.mid(at + 1).left(100);
                tra.rec.DESC = "(" + newName + " " + clip(TEMPSTRING);
                renamed = tra.put();
            }
            renamed = renamed && batch.commit();
        }
        if (renamed)
            m_dialogs.message(kUpdatedCaption, kUpdated, Dlg::Information);
        else
            m_dialogs.message(kErrorCaption, kRenameFailed.arg(storage::lastErrorText()),
                              Dlg::Error);
    }
    PAYROLLRETRIEVEDQUEUE.clear();
    CONTRACTORQUEUE.clear();
    m_renaming.clear();
}

void PayrollScreenLogic::cancelRename() {
    CONTRACTORQUEUE.clear();
    m_renaming.clear();
}

// The lines are fitted into the check as entered; the check itself stays, so that a second
// gather starts from it again and the division shows what is left.
bool PayrollScreenLogic::gather(int index) {
    if (index < 0 || index >= PAYROLLRETRIEVEDQUEUE.size()) return false;
    const QString desc = PAYROLLRETRIEVEDQUEUE[index].PAYROLLDESCRIPTION;
    if (!checkFits()) return false;
    PAYQUEUE.clear();
    Decimal left = GLO.PAYROLLAMOUNT.rounded(2);
    storage::DataFile<MemberCU> mem(m_db);
    mem.open();
    const bool read = readPosted(desc, [&](const Trans &t, qint64) {
        const Decimal amount = t.TRANSAMOUNT.rounded(2);
        if ((left - amount).isNegative()) return; // does not fit the new check
        PayQueueEntry q;
        mem.clear();
        mem.rec.ACCTNUM = t.ACCTNUM;
        if (mem.get(MemberCU::AcctNum_Key)) {
            q.PATNUM = mem.rec.SSNUM;
            q.NAME = lastFirst(mem.rec);
        }
        q.AMOUNT = amount;
        q.DATE = GLO.PAYROLLDATE;
        q.POSTINGDATE = GLO.POSTINGDATE;
        q.CONTRACTOR = GLO.CONTRACTORNUMBER;
        PAYQUEUE << q;
        left -= amount;
    });
    if (!read) {
        PAYQUEUE.clear();
        return unreadable(m_dialogs);
    }
    m_dialogs.message(kGatheredCaption, kGathered, Dlg::Information);
    return true;
}

// The window.

PayrollScreen::PayrollScreen(storage::Database &db, Dialogs &dialogs, bool admin,
                             PayrollGlobals &glo, PayQueue &queue, PayrollLookups lookups,
                             PayrollReportCall report, QWidget *parent)
    : QWidget(parent),
      m_logic(db, dialogs, admin, glo, queue, std::move(lookups), std::move(report)), GLO(glo) {
    EnhancedFocusClassType::install(this);
    setObjectName("PAYROLLSCREEN");
    setWindowTitle(kCaption);
    runProcess = PROCESSPAYROLL;
    auto line = [this](const QString &name, const QString &tip) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        e->setToolTip(tip);
        return e;
    };
    auto dateValidator = new QRegularExpressionValidator(QRegularExpression("[0-9/]{0,10}"), this);
    m_contractor = line("GLO:CONTRACTORNAME", "Contractor Name");
    m_contractor->setMaxLength(30);
    m_payrollDate = line("GLO:PAYROLLDATE", "Payroll Date");
    m_payrollDate->setValidator(dateValidator);
    m_payrollDate->setPlaceholderText("mm/dd/yyyy");
    m_amount = line("GLO:PAYROLLAMOUNT", "Amount of payroll Check");
    m_amount->setAlignment(Qt::AlignRight);
    m_amount->setValidator(Entries::amountValidator(PayrollCheckDigits, 2, false, this));
    m_transDesc = line("GLO:TRANSDESC", "Transaction Description");
    m_transDesc->setMaxLength(20);
    m_postingDate = line("GLO:POSTINGDATE", "Posting Date of Payroll.");
    m_postingDate->setValidator(dateValidator);
    m_lookupDate = line("GLO:LOOKUPDATE", QString());
    m_lookupDate->setValidator(dateValidator);
    for (QLineEdit *e : {m_payrollDate, m_postingDate, m_lookupDate}) Entries::setDate(e, "@d2");
    Entries::setAmount(m_amount, "@n$17.2B");
    m_contractorLookup = new QPushButton("...");
    m_contractorLookup->setToolTip("Contractor Name");
    m_contractorLookup->setFocusPolicy(Qt::NoFocus);
    m_transLookup = new QPushButton("...");
    m_transLookup->setToolTip("Transaction Description");
    m_transLookup->setFocusPolicy(Qt::NoFocus);

    auto makeButton = [this](const QString &text, void (PayrollScreen::*slot)()) {
        auto *b = new QPushButton(text);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        m_buttons << b;
        return b;
    };

    // "General": the header, then the review of posted payrolls.
    auto *general = new QWidget;
    auto *form = new QGridLayout;
    form->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    int row = 0;
    auto put = [&](const QString &prompt, QWidget *w, QWidget *extra = nullptr) {
        form->addWidget(new QLabel(prompt), row, 0);
        form->addWidget(w, row, 1);
        if (extra) form->addWidget(extra, row, 2);
        ++row;
    };
    put("Contractor Name:", m_contractor, m_contractorLookup);
    put("Payroll Date:", m_payrollDate);
    put("Payroll Amount:", m_amount);
    put("Transaction Description:", m_transDesc, m_transLookup);
    put("Posting Date:", m_postingDate);
    auto *headButtons = new QHBoxLayout;
    headButtons->addWidget(makeButton("&Load Saved Data", &PayrollScreen::loadSavedData));
    headButtons->addStretch(1);
    headButtons->addWidget(makeButton("&Process", &PayrollScreen::process));
    headButtons->addWidget(makeButton("&Cancel", &PayrollScreen::cancel));

    auto *lookupRow = new QHBoxLayout;
    lookupRow->addWidget(new QLabel("Lookup Date:"));
    lookupRow->addWidget(m_lookupDate);
    lookupRow->addWidget(makeButton("Retrieve Payroll Listings", &PayrollScreen::retrieve));
    lookupRow->addStretch(1);
    m_payrolls = new QTableWidget(0, 2);
    m_payrolls->setObjectName("PAYROLLRETRIEVEDQUEUE");
    m_payrolls->setHorizontalHeaderLabels({"Payroll Description", "Amount"});
    m_payrolls->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto *reviewButtons = new QHBoxLayout;
    reviewButtons->addWidget(makeButton("Print", &PayrollScreen::print));
    reviewButtons->addWidget(makeButton("Rename", &PayrollScreen::startRename));
    reviewButtons->addWidget(makeButton("Gather", &PayrollScreen::gather));
    reviewButtons->addStretch(1);
    auto *g = new QVBoxLayout(general);
    g->addLayout(form);
    g->addLayout(headButtons);
    g->addSpacing(12);
    g->addLayout(lookupRow);
    g->addWidget(m_payrolls, 1);
    g->addLayout(reviewButtons);

    // "Rename": the posted payroll handed to another contractor.
    auto *renameTab = new QWidget;
    m_current = new QLabel;
    m_current->setObjectName("LOC:CURRENTCONTRACTOR");
    m_contractors = new QTableWidget(0, 1);
    m_contractors->setObjectName("CONTRACTORQUEUE");
    m_contractors->setHorizontalHeaderLabels({"Contractor Name"});
    m_contractors->horizontalHeader()->setStretchLastSection(true);
    auto *renameButtons = new QHBoxLayout;
    renameButtons->addStretch(1);
    QPushButton *renameButton = makeButton("Rename", &PayrollScreen::rename);
    renameButton->setObjectName("RenameOnTab");
    renameButtons->addWidget(renameButton);
    renameButtons->addWidget(makeButton("Cancel", &PayrollScreen::cancelRename));
    auto *r = new QVBoxLayout(renameTab);
    r->addWidget(m_current);
    r->addWidget(new QLabel(kSelectNew));
    r->addWidget(m_contractors, 1);
    r->addLayout(renameButtons);

    for (QTableWidget *t : {m_payrolls, m_contractors}) {
        t->verticalHeader()->hide();
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::SingleSelection);
    }

    m_tabs = new QTabWidget;
    m_tabs->addTab(general, "General");
    m_tabs->addTab(renameTab, "Rename");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);

    connect(m_contractorLookup, &QPushButton::clicked, this, &PayrollScreen::pickContractor);
    connect(m_transLookup, &QPushButton::clicked, this, &PayrollScreen::pickTransDesc);
    auto onAccept = [this](QLineEdit *e, void (PayrollScreen::*slot)()) {
        connect(e, &QLineEdit::editingFinished, this, [this, e, slot] {
            if (!e->isModified() || m_busy) return;
            e->setModified(false);
            (this->*slot)();
        });
    };
    onAccept(m_contractor, &PayrollScreen::acceptContractor);
    onAccept(m_transDesc, &PayrollScreen::acceptTransDesc);
    onAccept(m_postingDate, &PayrollScreen::acceptPostingDate);
    onAccept(m_payrollDate, &PayrollScreen::acceptDate);
    onAccept(m_lookupDate, &PayrollScreen::acceptDate);
    // Esc leaves like every other way out.
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, [this] { close(); });

    m_logic.gatherWindow = [this, box = std::shared_ptr<QDialog>()](bool show) mutable {
        if (show) {
            box = std::make_shared<QDialog>(this);
            box->setWindowTitle(kGatherCaption);
            auto *l = new QVBoxLayout(box.get());
            l->addWidget(new QLabel(kGathering));
            box->show();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        } else if (box) {
            box->close();
            box.reset();
        }
    };

    m_logic.open();
    if (GLO.LOOKUPDATE == 0) GLO.LOOKUPDATE = Clock::today();
    button("&Load Saved Data")->setVisible(m_logic.savedDataAvailable());
    button("Print")->hide();
    button("Rename")->hide();
    m_payrolls->setEnabled(false);
    showGeneral(true);
    refresh();
    resize(640, 560);
    m_contractor->setFocus(); // typing starts with the contractor, not on the tab bar
}

QLineEdit *PayrollScreen::field(const QString &name) const {
    return findChild<QLineEdit *>(name);
}

QPushButton *PayrollScreen::button(const QString &text) const {
    for (QPushButton *b : m_buttons)
        if (b->text() == text) return b;
    return nullptr;
}

// A date that cannot be read is refused, never replaced by the one before: nothing goes on
// until it is corrected.
bool PayrollScreen::store() {
    GLO.CONTRACTORNAME = m_contractor->text();
    if (m_amount->isEnabled() && !Entries::toAmount(m_amount->text(), 2, GLO.PAYROLLAMOUNT))
        GLO.PAYROLLAMOUNT = Decimal(0, 2);
    GLO.TRANSDESC = m_transDesc->text();
    for (auto [edit, into] : {std::pair{m_payrollDate, &GLO.PAYROLLDATE},
                              {m_postingDate, &GLO.POSTINGDATE},
                              {m_lookupDate, &GLO.LOOKUPDATE}}) {
        m_busy = true;
        const bool ok = m_logic.takeDate(edit->text(), *into);
        m_busy = false;
        if (!ok) {
            edit->setFocus();
            return false;
        }
    }
    return true;
}

void PayrollScreen::refresh() {
    m_contractor->setText(GLO.CONTRACTORNAME);
    m_payrollDate->setText(Picture::format(GLO.PAYROLLDATE, "D2B").trimmed());
    m_amount->setText(Picture::format(GLO.PAYROLLAMOUNT, "N$17.2B").trimmed());
    m_transDesc->setText(GLO.TRANSDESC);
    m_postingDate->setText(Picture::format(GLO.POSTINGDATE, "D2"));
    m_lookupDate->setText(Picture::format(GLO.LOOKUPDATE, "d2"));
    for (QLineEdit *e :
         {m_contractor, m_payrollDate, m_amount, m_transDesc, m_postingDate, m_lookupDate})
        e->setModified(false);
    // A saved payroll keeps its header, but its posting date must still be this month's, so
    // that field stays open.
    const bool loaded = GLO.LOADDATA == 1;
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_amount, m_contractor, m_payrollDate, m_transDesc, m_contractorLookup, m_transLookup})
        w->setEnabled(!loaded);
    if (loaded) button("&Load Saved Data")->hide();

    const auto &found = m_logic.PAYROLLRETRIEVEDQUEUE;
    m_payrolls->setRowCount(int(found.size()));
    for (int i = 0; i < found.size(); ++i) {
        m_payrolls->setItem(
            i, 0,
            new QTableWidgetItem(
                Picture::formatText(found[i].PAYROLLDESCRIPTION, "@s100").trimmed()));
        auto *amount = new QTableWidgetItem(Picture::format(found[i].AMOUNT, "@N$20.2").trimmed());
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_payrolls->setItem(i, 1, amount);
    }
    if (!found.isEmpty() && m_payrolls->currentRow() < 0) m_payrolls->selectRow(0);
    const auto &cons = m_logic.CONTRACTORQUEUE;
    m_contractors->setRowCount(int(cons.size()));
    for (int i = 0; i < cons.size(); ++i)
        m_contractors->setItem(
            i, 0,
            new QTableWidgetItem(Picture::formatText(cons[i].CONTRACTORNAME, "@s80").trimmed()));
    m_current->setText(m_logic.CURRENTCONTRACTOR);
}

void PayrollScreen::showGeneral(bool general) {
    m_tabs->setTabVisible(0, general);
    m_tabs->setTabVisible(1, !general);
    m_tabs->setCurrentIndex(general ? 0 : 1);
}

void PayrollScreen::acceptContractor() {
    if (!store()) return;
    m_busy = true;
    const auto f = m_logic.contractorAccepted();
    m_busy = false;
    refresh();
    if (f == PayrollScreenLogic::Focus::Back)
        m_contractor->setFocus();
    else if (f == PayrollScreenLogic::Focus::Next)
        m_payrollDate->setFocus();
}

void PayrollScreen::pickContractor() {
    if (!store()) return;
    m_busy = true;
    const bool picked = m_logic.lookUpContractor();
    m_busy = false;
    refresh();
    if (picked) m_payrollDate->setFocus();
}

void PayrollScreen::acceptTransDesc() {
    if (!store()) return;
    m_logic.transDescAccepted();
}

void PayrollScreen::pickTransDesc() {
    if (!store()) return;
    m_busy = true;
    m_logic.lookUpTransDesc();
    m_busy = false;
    refresh();
}

void PayrollScreen::acceptDate() {
    store();
}

void PayrollScreen::acceptPostingDate() {
    if (!store()) return;
    m_busy = true;
    const bool ok = m_logic.postingDateAccepted();
    m_busy = false;
    if (!ok) m_postingDate->setFocus();
}

void PayrollScreen::loadSavedData() {
    if (!store()) return;
    m_logic.loadSavedData();
    refresh();
}

void PayrollScreen::process() {
    if (!store()) return;
    m_busy = true;
    const bool ok = m_logic.process();
    m_busy = false;
    refresh();
    if (!ok) return;
    if (runProcess) runProcess();
    close();
}

void PayrollScreen::cancel() {
    close();
}

void PayrollScreen::closeEvent(QCloseEvent *event) {
    if (!m_logic.leave()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void PayrollScreen::retrieve() {
    if (!store()) return;
    const bool found = m_logic.retrieve();
    button("Print")->setVisible(found);
    button("Rename")->setVisible(found);
    m_payrolls->setEnabled(found);
    refresh();
}

void PayrollScreen::print() {
    if (!store()) return;
    if (m_logic.reprint(m_payrolls->currentRow())) close();
}

void PayrollScreen::startRename() {
    if (!store()) return;
    if (!m_logic.startRename(m_payrolls->currentRow())) return;
    refresh();
    showGeneral(false);
}

void PayrollScreen::rename() {
    if (m_contractors->currentRow() < 0) return;
    m_logic.rename(m_contractors->currentRow());
    refresh();
    button("Print")->hide();
    button("Rename")->hide();
    m_payrolls->setEnabled(false);
    showGeneral(true);
}

void PayrollScreen::cancelRename() {
    m_logic.cancelRename();
    refresh();
    showGeneral(true);
}

void PayrollScreen::gather() {
    if (!store()) return;
    m_logic.gather(m_payrolls->currentRow());
    refresh();
}

void PAYROLLSCREEN() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<Contractor> con(db);
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<PayBreak> pbk(db);
    storage::DataFile<PayData> pay(db);
    storage::DataFile<Trans> tra(db);
    storage::DataFile<TransDesc> trd(db);
    if (!CHECKOPEN(con, d) || !CHECKOPEN(mem, d) || !CHECKOPEN(pbk, d) || !CHECKOPEN(pay, d) ||
        !CHECKOPEN(tra, d) || !CHECKOPEN(trd, d))
        return;
    Windows::start(new PayrollScreen(db, d, App::admin(), PayrollGLO(), PAYQUEUE(),
                                     PayrollLookups::browses(), PAYROLLRPT));
}

PayrollScreen::~PayrollScreen() { Entries::detachEntries(this); }
