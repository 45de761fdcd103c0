#include "contractorlisting.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "memberformat.h"
#include "platform/clock.h"
#include "platform/text.h"

#include <QLineEdit>

namespace {
const QString kProcedure = QStringLiteral("CONTRACTORRPT");
const QString kTitle = QStringLiteral("Contractors");
const QString kPeriod = QStringLiteral("Payroll Remitted %1 - %2");
const QString kFromPrompt = QStringLiteral("From Date:");
const QString kToPrompt = QStringLiteral("To Date:");
const QString kFromKey = QStringLiteral("FromDate");
const QString kToKey = QStringLiteral("ToDate");
const QString kCountLabel = QStringLiteral("Contractors:");
const QString kTotalLabel = QStringLiteral("Total Remitted:");

enum Col { Name, Contact, Phone, Remitted };
const QList<Listing::Column> kColumns{{QStringLiteral("Contractor"), 34},
                                      {QStringLiteral("Contact"), 24},
                                      {QStringLiteral("Phone"), 16},
                                      {QStringLiteral("Remitted"), 15, true}};
} // namespace

ContractorListing::ContractorListing(storage::Database &db, Dialogs &dialogs) : ReportLogic(db, dialogs) {}
ContractorListing::~ContractorListing() = default;

QString ContractorListing::reportName() const { return kProcedure; }
QString ContractorListing::heading() const { return kTitle; }

bool ContractorListing::begin(ReportRun &run) {
    m_con = std::make_unique<storage::DataFile<Contractor>>(m_db);
    m_pay = std::make_unique<storage::DataFile<PayData>>(m_db);
    if (!CHECKOPEN(*m_con, m_dialogs) || !CHECKOPEN(*m_pay, m_dialogs)) return false;
    run.recordsToProcess = m_con->count();
    m_con->setStart(Contractor::Name_Key);
    COUNT = 0;
    TOTAL = Decimal(0, 2);
    return true;
}

void ContractorListing::startDrawing(ReportRun &run) {
    m_listing = std::make_unique<Listing>(run.report(), kTitle,
                                          QStringList{kPeriod.arg(Cell::date(FROMDATE), Cell::date(TODATE))}, kColumns);
}

bool ContractorListing::step(ReportRun &run) {
    if (!m_con->next()) return m_con->failed() ? readFailed(run) : false;
    const Contractor c = m_con->rec;
    Decimal remitted(0, 2);
    m_pay->clear();
    m_pay->rec.ACCTNUM = c.AUTONUM;
    m_pay->rec.DATE = FROMDATE;
    m_pay->set(PayData::AcctNumDate);
    while (m_pay->next() && m_pay->rec.ACCTNUM == c.AUTONUM && m_pay->rec.DATE <= TODATE)
        remitted += m_pay->rec.AMOUNT;
    if (m_pay->failed()) return readFailed(run);
    ++COUNT;
    TOTAL += remitted;
    const QStringList address =
        MemberFormat::addressLines({c.ADDRESS1, c.ADDRESS2}, c.CITY, c.STATE, c.ZIP);
    QList<QStringList> lines{{clip(c.NAME).trimmed(), clip(c.CONTACT).trimmed(), clip(c.PHONE).trimmed(),
                              Cell::amount(remitted)}};
    for (const QString &l : address) lines << QStringList{QStringLiteral("  ") + l};
    m_listing->block(lines);
    return true;
}

void ContractorListing::end(ReportRun &) {
    if (COUNT > 0)
        m_listing->totals({{kCountLabel, Cell::count(COUNT)},
                           {kTotalLabel, Cell::amount(TOTAL)}},
                          Remitted);
    m_listing->finish();
}

ContractorListingWindow::ContractorListingWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : ReportWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    // The year so far unless other dates were chosen last time.
    const qint32 today = Clock::today();
    m_from = addDate(kFromPrompt, choices().date(kFromKey, Clock::dayNumber(Clock::year(today), 1, 1)));
    m_from->setObjectName("fromDate");
    m_to = addDate(kToPrompt, choices().date(kToKey, today));
    m_to->setObjectName("toDate");
    finishLayout();
}

bool ContractorListingWindow::readChoices() {
    return readPeriod(m_from, m_to, m_logic.FROMDATE, m_logic.TODATE);
}

void ContractorListingWindow::storeChoices(ReportChoices &c) {
    c.setDate(kFromKey, m_logic.FROMDATE);
    c.setDate(kToKey, m_logic.TODATE);
}

void ContractorListingWindow::runReport() { m_logic.run(); }

void CONTRACTORRPT() { startReportWindow(new ContractorListingWindow(App::db(), App::dialogs())); }
