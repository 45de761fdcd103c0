#include "checks.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "memberformat.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "toolbox/tax/formlayout.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <tuple>

namespace {
const QString kChecksProcedure = QStringLiteral("PRINTCHECKS");
const QString kChecksTitle = QStringLiteral("Participant Checks");
const QString kRenumberProcedure = QStringLiteral("CHECKRENUMBERWINDOW");
const QString kRenumberTitle = QStringLiteral("Participant Checks Renumber");
const QString kPensionIni = QStringLiteral("PENSION.INI");
const QString kSection = QStringLiteral("Checks");
const QStringList kFieldKeys{"Fund", "Number", "Date", "Payee", "Figures", "Words", "Address", "Memo", "Stub"};

const QString kFromPrompt = QStringLiteral("Withdrawals From:");
const QString kToPrompt = QStringLiteral("Withdrawals To:");
const QString kDatePrompt = QStringLiteral("Check Date:");
const QString kFirstPrompt = QStringLiteral("First Check Number:");
const QString kFromKey = QStringLiteral("FromDate");
const QString kToKey = QStringLiteral("ToDate");
const QString kOldFromPrompt = QStringLiteral("Printed Checks From No.:");
const QString kOldToPrompt = QStringLiteral("Printed Checks To No.:");
const QString kNewPrompt = QStringLiteral("New First Number:");
const QString kRenumberButton = QStringLiteral("&Renumber");
const QString kVoidPrompt = QStringLiteral("Void Check No.:");
const QString kVoidButton = QStringLiteral("&Void");

const QString kBadNumber = QStringLiteral("Enter a check number from 1 to 999999999.");
const QString kNumberUsed = QStringLiteral("Check number %1 has been used already. The next free "
                                           "number is %2.");
const QString kOffsetsRefused = QStringLiteral("These check positions in %1 could not be read and "
                                               "were left where they are:|%2");
const QString kRecorded = QStringLiteral("Checks %1 to %2 were recorded as printed.");
const QString kNotRecorded = QStringLiteral("The checks were printed but could not be recorded "
                                            "(%1). Nothing was recorded: void checks %2 to %3 "
                                            "before printing them again.");
const QString kNumberTaken = QStringLiteral("check number %1 was recorded by another station");
const QString kWithdrawalPaid = QStringLiteral("the withdrawal of account %1 on %2 has check %3 "
                                               "already");
const QString kNoneInRun = QStringLiteral("There are no checks numbered %1 to %2.");
const QString kRangeReversed = QStringLiteral("The last number is before the first.");
const QString kAllVoid = QStringLiteral("Checks %1 to %2 are all void; nothing was renumbered.");
const QString kVoidCaption = QStringLiteral("Void Check");
const QString kVoidQuestion = QStringLiteral("Void check %1 to %2 for %3?||It stays on file as void, "
                                             "and its withdrawal gets a new check in the next run.");
const QString kNoSuchCheck = QStringLiteral("There is no check numbered %1.");
const QString kVoidAlready = QStringLiteral("Check %1 is void already.");
const QString kVoided = QStringLiteral("Check %1 is void.");
const QString kVoidFailed = QStringLiteral("Check %1 could not be voided (%2). It is as it was.");
const QString kRenumberClash = QStringLiteral("Check number %1 belongs to another check. Nothing "
                                              "was renumbered.");
const QString kRenumbered = QStringLiteral("%1 checks were renumbered %2 to %3.");
const QString kRenumberFailed = QStringLiteral("The checks could not be renumbered (%1). Every "
                                               "number is as it was.");
const QString kMemo = QStringLiteral("Account %1");
const QString kStubHead = QStringLiteral("Check %1   %2   Account %3   %4");
const QString kStubLine = QStringLiteral("%1%2");
const QStringList kStubLabels{"Gross Withdrawal", "Federal Tax Withheld", "Administration Fee",
                              "Net Paid"};

const QString kDate = QStringLiteral("@d2");
const QString kFigures = QStringLiteral("@n*15.2");
const QString kAmount = QStringLiteral("@n15.2");
const report::Font kFont{QStringLiteral("Courier New"), 10};
constexpr int kLine = 167;
constexpr qint32 kMaxNumber = 999999999;

QString date(qint32 day) { return Picture::format(qint64(day), kDate); }

const char *const kOnes[] = {"Zero",    "One",     "Two",       "Three",    "Four",
                             "Five",    "Six",     "Seven",     "Eight",    "Nine",
                             "Ten",     "Eleven",  "Twelve",    "Thirteen", "Fourteen",
                             "Fifteen", "Sixteen", "Seventeen", "Eighteen", "Nineteen"};
const char *const kTens[] = {"",      "",      "Twenty",  "Thirty", "Forty",
                             "Fifty", "Sixty", "Seventy", "Eighty", "Ninety"};

// 1 to 999.
QString hundreds(int n) {
    QStringList words;
    if (n >= 100) words << QString::fromLatin1(kOnes[n / 100]) + " Hundred";
    n %= 100;
    if (n >= 20)
        words << QString::fromLatin1(kTens[n / 10]) +
                     (n % 10 ? "-" + QString::fromLatin1(kOnes[n % 10]) : QString());
    else if (n > 0)
        words << QString::fromLatin1(kOnes[n]);
    return words.join(' ');
}

bool validNumber(const QString &text, qint32 &number) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < 1 || n > kMaxNumber) return false;
    number = qint32(n);
    return true;
}
} // namespace

namespace Checks {

QString amountInWords(const Decimal &amount) {
    const qint64 cents = amount.unitsAt(2);
    if (cents < 0 || cents >= qint64(100000000000)) return {};
    qint64 dollars = cents / 100;
    QStringList words;
    const std::pair<qint64, const char *> groups[] = {{1000000, " Million"}, {1000, " Thousand"}, {1, ""}};
    for (const auto &[size, name] : groups) {
        const int n = int(dollars / size);
        dollars %= size;
        if (n) words << hundreds(n) + QString::fromLatin1(name);
    }
    if (words.isEmpty()) words << QString::fromLatin1(kOnes[0]);
    return words.join(' ') + QStringLiteral(" and %1/100").arg(cents % 100, 2, 10, QLatin1Char('0'));
}

Layout layout(const QString &iniPath, QStringList *refused) {
    Layout l;
    l.at = {QPoint(500, 350), QPoint(6900, 350), QPoint(6300, 900),  QPoint(1000, 1400), QPoint(6500, 1400),
            QPoint(500, 1850), QPoint(1000, 2250), QPoint(600, 3050),  QPoint(500, 4000)};
    Tax::applyOffsets(iniPath, kSection, kFieldKeys, l.at.data(), refused);
    return l;
}

bool proposedNumber(storage::Database &db, qint32 &number) {
    storage::DataFile<Check> chk(db);
    if (!chk.open()) return false;
    chk.table().setLast(Check::CheckNum_Key.index);
    if (chk.previous()) {
        number = chk.rec.CHECKNUM + 1;
        return true;
    }
    number = 1;
    return !chk.failed();
}
} // namespace Checks

ParticipantChecks::ParticipantChecks(storage::Database &db, Dialogs &dialogs) : ReportLogic(db, dialogs) {}
ParticipantChecks::~ParticipantChecks() = default;

QString ParticipantChecks::reportName() const { return kChecksProcedure; }
QString ParticipantChecks::heading() const { return kChecksTitle; }

bool ParticipantChecks::begin(ReportRun &run) {
    CHECKS.clear();
    m_next = 0;
    QStringList refused;
    const QString ini = App::iniPath(kPensionIni);
    m_layout = Checks::layout(ini, &refused);
    if (!refused.isEmpty())
        m_dialogs.message(kChecksTitle, kOffsetsRefused.arg(ini, refused.join('|')), Dlg::Warning);
    if (!gather(run)) return false;
    run.recordsToProcess = CHECKS.size();
    return true;
}

// The withdrawals of the period without a check, their tax and fee (posted with them on the
// same day, just before), and the numbers they will carry.
bool ParticipantChecks::gather(ReportRun &run) {
    storage::DataFile<Trans> tra(m_db), day(m_db);
    storage::DataFile<Check> chk(m_db);
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<CUInfo> cui(m_db);
    if (!CHECKOPEN(tra, m_dialogs) || !CHECKOPEN(day, m_dialogs) || !CHECKOPEN(chk, m_dialogs) ||
        !CHECKOPEN(mem, m_dialogs) || !CHECKOPEN(cui, m_dialogs))
        return false;
    if (!cui.first() && cui.failed()) return readFailed(run);
    m_fund = MemberFormat::addressLines({cui.rec.NAME, cui.rec.ADDRESS1, cui.rec.ADDRESS2},
                                        cui.rec.CITY, cui.rec.STATE, cui.rec.ZIP);

    QList<PendingCheck> found;
    tra.rec.TRANSDATE = FROMDATE;
    tra.set(Trans::DateType_Key, 1);
    while (tra.next() && tra.rec.TRANSDATE <= TODATE) {
        if (tra.rec.TRANSTYPE != TransType::Withdrawal) continue;
        PendingCheck c;
        c.ACCTNUM = tra.rec.ACCTNUM;
        c.TRANSDATE = tra.rec.TRANSDATE;
        c.TRANSTIME = tra.rec.TRANSTIME;
        c.NET = -tra.rec.TRANSAMOUNT.rounded(2);
        chk.rec.ACCTNUM = c.ACCTNUM;
        chk.rec.TRANSDATE = c.TRANSDATE;
        chk.rec.TRANSTIME = c.TRANSTIME;
        chk.set(Check::Withdrawal_Key);
        bool written = false; // by a check that is not void
        while (!written && chk.next() && chk.rec.ACCTNUM == c.ACCTNUM && chk.rec.TRANSDATE == c.TRANSDATE &&
               chk.rec.TRANSTIME == c.TRANSTIME)
            written = chk.rec.VOID == 0;
        if (chk.failed()) return readFailed(run);
        if (!written) found << c;
    }
    if (tra.failed()) return readFailed(run);

    for (PendingCheck &c : found) {
        if (c.NET.sign() <= 0 || Checks::amountInWords(c.NET).isEmpty()) continue; // nothing to pay
        // The day's tax and fee after the account's previous withdrawal that day.
        qint32 after = -1;
        QList<Trans> lines;
        day.rec.ACCTNUM = c.ACCTNUM;
        day.rec.TRANSDATE = c.TRANSDATE;
        day.set(Trans::Acct_Key, 2);
        while (day.next() && day.rec.ACCTNUM == c.ACCTNUM && day.rec.TRANSDATE == c.TRANSDATE)
            lines << day.rec;
        if (day.failed()) return readFailed(run);
        for (const Trans &t : lines)
            if (t.TRANSTYPE == TransType::Withdrawal && t.TRANSTIME < c.TRANSTIME)
                after = std::max(after, t.TRANSTIME);
        for (const Trans &t : lines) {
            if (t.TRANSTIME <= after || t.TRANSTIME > c.TRANSTIME) continue;
            if (t.TRANSTYPE == TransType::Tax) c.TAX -= t.TRANSAMOUNT;
            if (t.TRANSTYPE == TransType::AdminFee) c.FEE -= t.TRANSAMOUNT;
        }
        c.GROSS = c.NET + c.TAX + c.FEE;
        mem.rec.ACCTNUM = c.ACCTNUM;
        if (mem.get(MemberCU::AcctNum_Key)) {
            c.PAYEE = MemberFormat::mailName(mem.rec);
            c.ADDRESS = MemberFormat::addressLines(mem.rec);
        } else if (mem.failed()) {
            return readFailed(run);
        }
        CHECKS << c;
    }
    std::sort(CHECKS.begin(), CHECKS.end(), [](const PendingCheck &a, const PendingCheck &b) {
        return std::tie(a.TRANSDATE, a.ACCTNUM, a.TRANSTIME) < std::tie(b.TRANSDATE, b.ACCTNUM, b.TRANSTIME);
    });
    if (CHECKS.isEmpty()) return true; // the run says there is nothing to show

    qint32 proposed = 1;
    if (!Checks::proposedNumber(m_db, proposed)) return readFailed(run);
    const qint32 first = FIRSTCHECK > 0 ? FIRSTCHECK : proposed;
    // A number already on file would make two checks alike.
    chk.rec.CHECKNUM = first;
    chk.set(Check::CheckNum_Key);
    if (chk.next() && chk.rec.CHECKNUM <= first + CHECKS.size() - 1) {
        m_dialogs.message(kChecksTitle, kNumberUsed.arg(chk.rec.CHECKNUM).arg(proposed), Dlg::Exclamation);
        CHECKS.clear();
        return false;
    }
    if (chk.failed()) return readFailed(run);
    for (int i = 0; i < CHECKS.size(); ++i) CHECKS[i].CHECKNUM = first + i;
    return true;
}

bool ParticipantChecks::step(ReportRun &run) {
    if (m_next >= CHECKS.size()) return false;
    draw(run.report(), CHECKS[m_next++]);
    run.report().endPage();
    return true;
}

void ParticipantChecks::draw(report::Report &page, const PendingCheck &c) {
    const Checks::Layout &L = m_layout;
    auto put = [&](Checks::Field f, const QString &text, int line = 0) {
        page.text(L[f].x(), L[f].y() + line * kLine, text, kFont);
    };
    const QString checkDate = date(CHECKDATE > 0 ? CHECKDATE : Clock::today());
    for (int i = 0; i < m_fund.size(); ++i) put(Checks::Field::Fund, m_fund[i], i);
    put(Checks::Field::Number, QString::number(c.CHECKNUM));
    put(Checks::Field::Date, checkDate);
    put(Checks::Field::Payee, c.PAYEE);
    put(Checks::Field::Figures, Picture::format(c.NET, kFigures).trimmed());
    put(Checks::Field::Words, Checks::amountInWords(c.NET));
    for (int i = 0; i < c.ADDRESS.size(); ++i) put(Checks::Field::Address, c.ADDRESS[i], i);
    put(Checks::Field::Memo, kMemo.arg(c.ACCTNUM));
    put(Checks::Field::Stub, kStubHead.arg(c.CHECKNUM).arg(checkDate).arg(c.ACCTNUM).arg(c.PAYEE));
    const Decimal amounts[] = {c.GROSS, c.TAX, c.FEE, c.NET};
    for (int i = 0; i < 4; ++i)
        put(Checks::Field::Stub, kStubLine.arg(kStubLabels[i], -22).arg(Picture::format(amounts[i], kAmount)), i + 2);
}

bool ParticipantChecks::printChecks() {
    if (run() != ReportRun::Printed || CHECKS.isEmpty()) return false;
    return record();
}

bool ParticipantChecks::record() {
    const QString first = QString::number(CHECKS.first().CHECKNUM);
    const QString last = QString::number(CHECKS.last().CHECKNUM);
    storage::DataFile<Check> chk(m_db);
    bool ok = chk.open();
    storage::Transaction batch(m_db);
    // Under the file's add lock: another station printing the same period at once records its
    // checks before or after these, never between the checks below and the adds.
    ok = ok && batch.active() && m_db.serializeAdds(Check::layout().def());
    const qint32 printed = Clock::today();
    QString taken;
    for (const PendingCheck &c : CHECKS) {
        if (!ok) break;
        chk.rec.CHECKNUM = c.CHECKNUM;
        if (chk.get(Check::CheckNum_Key)) taken = kNumberTaken.arg(c.CHECKNUM);
        chk.rec.ACCTNUM = c.ACCTNUM;
        chk.rec.TRANSDATE = c.TRANSDATE;
        chk.rec.TRANSTIME = c.TRANSTIME;
        // A void check does not pay its withdrawal: only a live one makes it taken.
        if (taken.isEmpty() && !chk.failed()) {
            chk.set(Check::Withdrawal_Key);
            while (chk.next() && chk.rec.ACCTNUM == c.ACCTNUM && chk.rec.TRANSDATE == c.TRANSDATE &&
                   chk.rec.TRANSTIME == c.TRANSTIME) {
                if (chk.rec.VOID) continue;
                taken = kWithdrawalPaid.arg(c.ACCTNUM).arg(date(c.TRANSDATE)).arg(chk.rec.CHECKNUM);
                break;
            }
        }
        if (!taken.isEmpty() || chk.failed()) {
            ok = false;
            break;
        }
        chk.clear();
        chk.rec.CHECKNUM = c.CHECKNUM;
        chk.rec.ACCTNUM = c.ACCTNUM;
        chk.rec.TRANSDATE = c.TRANSDATE;
        chk.rec.TRANSTIME = c.TRANSTIME;
        chk.rec.AMOUNT = c.NET;
        chk.rec.PAYEE = c.PAYEE.left(50);
        chk.rec.PRINTED = printed;
        ok = chk.add();
    }
    if (!ok || !batch.commit()) {
        const QString error = taken.isEmpty() ? storage::lastErrorText() : taken;
        batch.rollback();
        m_dialogs.message(kChecksTitle, kNotRecorded.arg(error, first, last), Dlg::Error);
        return false;
    }
    m_dialogs.message(kChecksTitle, kRecorded.arg(first, last));
    return true;
}

ParticipantChecksWindow::ParticipantChecksWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : ReportWindow(db, dialogs, kChecksTitle, kChecksProcedure, parent), m_logic(db, dialogs) {
    const qint32 today = Clock::today();
    m_from = addDate(kFromPrompt, choices().date(kFromKey, today));
    m_from->setObjectName("fromDate");
    m_to = addDate(kToPrompt, choices().date(kToKey, today));
    m_to->setObjectName("toDate");
    m_date = addDate(kDatePrompt, today);
    m_date->setObjectName("checkDate");
    m_first = new QLineEdit(this);
    m_first->setObjectName("firstCheck");
    qint32 proposed = 1;
    if (Checks::proposedNumber(db, proposed)) m_first->setText(QString::number(proposed));
    addRow(kFirstPrompt, m_first);
    finishLayout();
}

bool ParticipantChecksWindow::readChoices() {
    if (!readPeriod(m_from, m_to, m_logic.FROMDATE, m_logic.TODATE)) return false;
    if (!readDate(m_date, m_logic.CHECKDATE)) return false;
    if (!validNumber(m_first->text(), m_logic.FIRSTCHECK)) {
        m_dialogs.message(kChecksTitle, kBadNumber, Dlg::Exclamation);
        return false;
    }
    return true;
}

void ParticipantChecksWindow::storeChoices(ReportChoices &c) {
    c.setDate(kFromKey, m_logic.FROMDATE);
    c.setDate(kToKey, m_logic.TODATE);
}

void ParticipantChecksWindow::runReport() {
    if (m_logic.printChecks()) m_first->setText(QString::number(m_logic.CHECKS.last().CHECKNUM + 1));
}

bool CheckRenumber::renumber() {
    RENUMBERED = 0;
    if (TO < FROM) {
        m_dialogs.message(kRenumberTitle, kRangeReversed, Dlg::Exclamation);
        return false;
    }
    storage::DataFile<Check> chk(m_db);
    if (!CHECKOPEN(chk, m_dialogs)) return false;
    // The run is read and the new numbers checked under the file's add lock, in the transaction
    // that renumbers: no other station records a check with one of them in between. A void
    // check keeps its number: the spoiled paper carries it.
    storage::Transaction batch(m_db);
    bool ok = batch.active() && m_db.serializeAdds(Check::layout().def());
    QList<Check> run;
    int voided = 0;
    chk.rec.CHECKNUM = FROM;
    chk.set(Check::CheckNum_Key);
    while (ok && chk.next() && chk.rec.CHECKNUM <= TO) {
        if (chk.rec.VOID) ++voided;
        else run << chk.rec;
    }
    ok = ok && !chk.failed();
    if (ok && run.isEmpty()) {
        batch.rollback();
        m_dialogs.message(kRenumberTitle, (voided ? kAllVoid : kNoneInRun).arg(FROM).arg(TO), Dlg::Exclamation);
        return false;
    }
    // The new numbers may overlap the old ones of the same run, never another check's.
    const qint32 newLast = NEWFIRST + qint32(run.size()) - 1;
    chk.rec.CHECKNUM = NEWFIRST;
    chk.set(Check::CheckNum_Key);
    while (ok && chk.next() && chk.rec.CHECKNUM <= newLast) {
        if (chk.rec.CHECKNUM >= FROM && chk.rec.CHECKNUM <= TO && !chk.rec.VOID) continue;
        batch.rollback();
        m_dialogs.message(kRenumberTitle, kRenumberClash.arg(chk.rec.CHECKNUM), Dlg::Exclamation);
        return false;
    }
    ok = ok && !chk.failed();
    // Two passes: out of the way first (negative numbers), so no step meets a number still taken.
    for (int pass = 0; pass < 2 && ok; ++pass)
        for (int i = 0; i < run.size() && ok; ++i) {
            chk.rec.CHECKNUM = pass == 0 ? run[i].CHECKNUM : -run[i].CHECKNUM;
            ok = chk.get(Check::CheckNum_Key);
            chk.rec.CHECKNUM = pass == 0 ? -run[i].CHECKNUM : NEWFIRST + i;
            ok = ok && chk.put();
        }
    if (!ok || !batch.commit()) {
        const QString error = storage::lastErrorText();
        batch.rollback();
        m_dialogs.message(kRenumberTitle, kRenumberFailed.arg(error), Dlg::Error);
        return false;
    }
    RENUMBERED = run.size();
    m_dialogs.message(kRenumberTitle, kRenumbered.arg(RENUMBERED).arg(NEWFIRST).arg(newLast));
    return true;
}

bool CheckVoid::voidCheck() {
    storage::DataFile<Check> chk(m_db);
    if (!CHECKOPEN(chk, m_dialogs)) return false;
    chk.rec.CHECKNUM = CHECKNUM;
    if (!chk.get(Check::CheckNum_Key)) {
        if (chk.failed())
            m_dialogs.message(kVoidCaption, kVoidFailed.arg(CHECKNUM).arg(storage::lastErrorText()), Dlg::Error);
        else
            m_dialogs.message(kVoidCaption, kNoSuchCheck.arg(CHECKNUM), Dlg::Exclamation);
        return false;
    }
    if (chk.rec.VOID) {
        m_dialogs.message(kVoidCaption, kVoidAlready.arg(CHECKNUM), Dlg::Exclamation);
        return false;
    }
    const QString question =
        kVoidQuestion.arg(CHECKNUM).arg(chk.rec.PAYEE.trimmed(), Picture::format(chk.rec.AMOUNT, kAmount).trimmed());
    if (m_dialogs.message(kVoidCaption, question, Dlg::Question, Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes)
        return false;
    storage::Transaction batch(m_db);
    bool ok = batch.active();
    // Read again under the lock: another station may have voided or renumbered it meanwhile.
    chk.rec.CHECKNUM = CHECKNUM;
    ok = ok && chk.get(Check::CheckNum_Key);
    const bool already = ok && chk.rec.VOID;
    if (ok && !already) {
        chk.rec.VOID = 1;
        ok = chk.put();
    }
    if (!ok || already || !batch.commit()) {
        const QString error = storage::lastErrorText();
        batch.rollback();
        if (already) m_dialogs.message(kVoidCaption, kVoidAlready.arg(CHECKNUM), Dlg::Exclamation);
        else m_dialogs.message(kVoidCaption, kVoidFailed.arg(CHECKNUM).arg(error), Dlg::Error);
        return false;
    }
    m_dialogs.message(kVoidCaption, kVoided.arg(CHECKNUM));
    return true;
}

CheckRenumberWindow::CheckRenumberWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : ReportWindow(db, dialogs, kRenumberTitle, kRenumberProcedure, parent), m_logic(db, dialogs) {
    m_from = new QLineEdit(this);
    m_from->setObjectName("from");
    addRow(kOldFromPrompt, m_from);
    m_to = new QLineEdit(this);
    m_to->setObjectName("to");
    addRow(kOldToPrompt, m_to);
    m_new = new QLineEdit(this);
    m_new->setObjectName("newFirst");
    addRow(kNewPrompt, m_new);
    auto *voidRow = new QWidget(this);
    auto *voidLayout = new QHBoxLayout(voidRow);
    voidLayout->setContentsMargins(0, 0, 0, 0);
    m_void = new QLineEdit(voidRow);
    m_void->setObjectName("voidNumber");
    m_voidButton = new QPushButton(kVoidButton, voidRow);
    m_voidButton->setObjectName("void");
    voidLayout->addWidget(m_void);
    voidLayout->addWidget(m_voidButton);
    addRow(kVoidPrompt, voidRow);
    connect(m_voidButton, &QPushButton::clicked, this, [this] { voidCheck(); });
    finishLayout();
    printButton()->setText(kRenumberButton);
}

bool CheckRenumberWindow::voidCheck() {
    CheckVoid v(m_db, m_dialogs);
    if (!validNumber(m_void->text(), v.CHECKNUM)) {
        m_dialogs.message(kVoidCaption, kBadNumber, Dlg::Exclamation);
        m_void->setFocus();
        return false;
    }
    if (!v.voidCheck()) return false;
    m_void->clear();
    return true;
}

bool CheckRenumberWindow::readChoices() {
    if (!validNumber(m_from->text(), m_logic.FROM) || !validNumber(m_to->text(), m_logic.TO) ||
        !validNumber(m_new->text(), m_logic.NEWFIRST)) {
        m_dialogs.message(kRenumberTitle, kBadNumber, Dlg::Exclamation);
        return false;
    }
    return true;
}

void CheckRenumberWindow::runReport() { m_logic.renumber(); }

void PRINTCHECKS() { startReportWindow(new ParticipantChecksWindow(App::db(), App::dialogs())); }
void CHECKRENUMBERWINDOW() { startReportWindow(new CheckRenumberWindow(App::db(), App::dialogs())); }
