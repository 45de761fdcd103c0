#include "dormant.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "data/lookups.h"
#include "memberformat.h"
#include "platform/clock.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
const QString kProcedure = QStringLiteral("DORMANTREPORTWIN");
const QString kTitle = QStringLiteral("Participant Dormant Report");
const QString kSince = QStringLiteral("No deposit or withdrawal since %1; balance of %2 or more");
const QString kSincePrompt = QStringLiteral("No Activity Since:");
const QString kSinceKey = QStringLiteral("SinceDate");
const QString kDeposit = QStringLiteral("Deposit");
const QString kWithdrawal = QStringLiteral("Withdrawal");
const QString kNone = QStringLiteral("None");
const QString kCountLabel = QStringLiteral("Dormant Accounts:");
const QString kTotalLabel = QStringLiteral("Total Balance:");

enum Col { Name, Account, LastDate, Kind, Balance };
const QList<Listing::Column> kColumns{{QStringLiteral("Name / Address"), 34},
                                      {QStringLiteral("Account"), 9, true},
                                      {QStringLiteral("Last Activity"), 13},
                                      {QStringLiteral("Kind"), 10},
                                      {QStringLiteral("Balance"), 15, true}};
} // namespace

DormantAccounts::DormantAccounts(storage::Database &db, Dialogs &dialogs) : ReportLogic(db, dialogs) {}
DormantAccounts::~DormantAccounts() = default;

qint32 DormantAccounts::defaultSince(qint32 today) {
    const int y = Clock::year(today) - 2, m = Clock::month(today), d = Clock::dayOfMonth(today);
    const qint32 day = Clock::dayNumber(y, m, d);
    return day ? day : Clock::lastDayOfMonth(Clock::dayNumber(y, m, 1));
}

QString DormantAccounts::reportName() const { return kProcedure; }
QString DormantAccounts::heading() const { return kTitle; }

bool DormantAccounts::begin(ReportRun &run) {
    m_mem = std::make_unique<storage::DataFile<MemberCU>>(m_db);
    m_tra = std::make_unique<storage::DataFile<Trans>>(m_db);
    storage::DataFile<CUInfo> cui(m_db);
    if (!CHECKOPEN(*m_mem, m_dialogs) || !CHECKOPEN(*m_tra, m_dialogs) || !CHECKOPEN(cui, m_dialogs))
        return false;
    MINIMUM = Decimal(0, 2);
    if (cui.first()) MINIMUM = cui.rec.DORMANTAMOUNT;
    else if (cui.failed()) return readFailed(run);
    run.recordsToProcess = m_mem->count();
    MemberSelection open = selection;
    open.status = MemberSelection::Status::Open;
    m_walk = std::make_unique<MemberWalk>(*m_mem, open);
    COUNT = 0;
    TOTAL = Decimal(0, 2);
    return true;
}

void DormantAccounts::startDrawing(ReportRun &run) {
    MemberSelection open = selection;
    open.status = MemberSelection::Status::Open;
    const QString rule = kSince.arg(Cell::date(SINCEDATE),
                                    Cell::amount(MINIMUM));
    m_listing = std::make_unique<Listing>(run.report(), kTitle, QStringList{open.describe(), rule}, kColumns);
}

bool DormantAccounts::step(ReportRun &run) {
    if (!m_walk->next()) return m_walk->failed() ? readFailed(run) : false;
    const MemberCU m = m_mem->rec;
    // The newest deposit or withdrawal: the account's transactions newest first.
    qint32 last = 0, kind = 0;
    m_tra->clear();
    m_tra->rec.ACCTNUM = m.ACCTNUM;
    m_tra->set(Trans::Acct_Key, 1);
    while (m_tra->next() && m_tra->rec.ACCTNUM == m.ACCTNUM) {
        const qint32 type = m_tra->rec.TRANSTYPE;
        if (type == TransType::Payroll || type == TransType::Withdrawal) {
            last = m_tra->rec.TRANSDATE;
            kind = type;
            break;
        }
    }
    if (m_tra->failed()) return readFailed(run);
    if (last >= SINCEDATE) return true;
    Decimal balance, preYtd, ytd;
    if (!GETBALANCE(m_db, QString::number(m.ACCTNUM), balance, preYtd, ytd)) return readFailed(run);
    if (balance < MINIMUM) return true;
    ++COUNT;
    TOTAL += balance;
    const QString kindText = kind == TransType::Payroll ? kDeposit : kind == TransType::Withdrawal ? kWithdrawal : kNone;
    QList<QStringList> lines{{MemberFormat::listName(m), QString::number(m.ACCTNUM),
                              Cell::date(last), kindText,
                              Cell::amount(balance)}};
    // The address under the name, the name itself already on the first line.
    const QStringList address = MemberFormat::addressLines({m.ADDR1, m.ADDR2}, m.CITY, m.STATE, m.ZIP);
    for (const QString &l : address) lines << QStringList{QStringLiteral("  ") + l};
    m_listing->block(lines);
    return true;
}

void DormantAccounts::end(ReportRun &) {
    if (COUNT > 0)
        m_listing->totals({{kCountLabel, Cell::count(COUNT)},
                           {kTotalLabel, Cell::amount(TOTAL)}},
                          Balance);
    m_listing->finish();
}

DormantReportWindow::DormantReportWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : ReportWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    addSelection();
    // Only open accounts can be dormant.
    selection()->status()->setCurrentIndex(int(MemberSelection::Status::Open));
    selection()->status()->setEnabled(false);
    m_since = addDate(kSincePrompt, choices().date(kSinceKey, DormantAccounts::defaultSince(Clock::today())));
    m_since->setObjectName("sinceDate");
    finishLayout();
}

bool DormantReportWindow::readChoices() {
    if (!readDate(m_since, m_logic.SINCEDATE)) return false;
    m_logic.selection = memberSelection();
    return true;
}

void DormantReportWindow::storeChoices(ReportChoices &c) { c.setDate(kSinceKey, m_logic.SINCEDATE); }

void DormantReportWindow::runReport() { m_logic.run(); }

void DORMANTREPORTWIN() { startReportWindow(new DormantReportWindow(App::db(), App::dialogs())); }
