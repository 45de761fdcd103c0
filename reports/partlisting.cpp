#include "partlisting.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "data/lookups.h"
#include "memberformat.h"
#include "platform/clock.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {
const QString kProcedure = QStringLiteral("PARTLISTINGWIN");
const QString kTitle = QStringLiteral("Participant Listing");
const QString kAsOf = QStringLiteral("Balances as of %1");
const QString kDatePrompt = QStringLiteral("Balance As Of:");
const QString kFullPrompt = QStringLiteral("Show full Social Security numbers");
const QString kDateKey = QStringLiteral("BalanceDate");
const QString kFullKey = QStringLiteral("FullSSN");
const QString kCountLabel = QStringLiteral("Participants:");
const QString kTotalLabel = QStringLiteral("Total Balance:");

enum Col { Account, Name, Local, Ssn, Joined, Closed, Balance };
const QList<Listing::Column> kColumns{{QStringLiteral("Account"), 9, true},
                                      {QStringLiteral("Name"), 28},
                                      {QStringLiteral("Local"), 6, true},
                                      {QStringLiteral("SSN"), 11},
                                      {QStringLiteral("Joined"), 10},
                                      {QStringLiteral("Closed"), 10},
                                      {QStringLiteral("Balance"), 15, true}};

} // namespace

ParticipantListing::ParticipantListing(storage::Database &db, Dialogs &dialogs)
    : ReportLogic(db, dialogs) {}
ParticipantListing::~ParticipantListing() = default;

QString ParticipantListing::reportName() const { return kProcedure; }
QString ParticipantListing::heading() const { return kTitle; }

bool ParticipantListing::begin(ReportRun &run) {
    m_mem = std::make_unique<storage::DataFile<MemberCU>>(m_db);
    if (!CHECKOPEN(*m_mem, m_dialogs)) return false;
    run.recordsToProcess = m_mem->count();
    m_walk = std::make_unique<MemberWalk>(*m_mem, selection);
    m_asOf = BALANCEDATE > 0 ? BALANCEDATE : Clock::today();
    COUNT = 0;
    TOTAL = Decimal(0, 2);
    return true;
}

void ParticipantListing::startDrawing(ReportRun &run) {
    m_listing = std::make_unique<Listing>(run.report(), kTitle,
                                          QStringList{selection.describe(), kAsOf.arg(Cell::date(m_asOf))},
                                          kColumns);
}

bool ParticipantListing::step(ReportRun &run) {
    if (!m_walk->next()) return m_walk->failed() ? readFailed(run) : false;
    const MemberCU &m = m_mem->rec;
    Decimal balance, preYtd, ytd;
    if (!GETBALANCE(m_db, QString::number(m.ACCTNUM), balance, preYtd, ytd, m_asOf))
        return readFailed(run);
    ++COUNT;
    TOTAL += balance;
    m_listing->row({QString::number(m.ACCTNUM), MemberFormat::listName(m),
                    m.LOCALCODE ? QString::number(m.LOCALCODE) : QString(),
                    MemberFormat::ssn(m.SSNUM, FULLSSN), Cell::date(m.DATEJOINED), Cell::date(m.DATECLOSED),
                    Cell::amount(balance)});
    return true;
}

void ParticipantListing::end(ReportRun &) {
    // With no member selected nothing is drawn, and the run says there is nothing to show.
    if (COUNT > 0)
        m_listing->totals({{kCountLabel, Cell::count(COUNT)},
                           {kTotalLabel, Cell::amount(TOTAL)}},
                          Balance);
    m_listing->finish();
}

ParticipantListingWindow::ParticipantListingWindow(storage::Database &db, Dialogs &dialogs,
                                                   QWidget *parent)
    : ReportWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    addSelection();
    m_date = addDate(kDatePrompt, choices().date(kDateKey, Clock::today()));
    m_date->setObjectName("balanceDate");
    m_full = new QCheckBox(kFullPrompt, this);
    m_full->setObjectName("fullSsn");
    m_full->setChecked(choices().flag(kFullKey, false));
    addRow({}, m_full);
    finishLayout();
}

bool ParticipantListingWindow::readChoices() {
    if (!readDate(m_date, m_logic.BALANCEDATE)) return false;
    m_logic.selection = memberSelection();
    m_logic.FULLSSN = m_full->isChecked();
    return true;
}

void ParticipantListingWindow::storeChoices(ReportChoices &c) {
    c.setDate(kDateKey, m_logic.BALANCEDATE);
    c.setFlag(kFullKey, m_logic.FULLSSN);
}

void ParticipantListingWindow::runReport() { m_logic.run(); }

void PARTLISTINGWIN() { startReportWindow(new ParticipantListingWindow(App::db(), App::dialogs())); }
