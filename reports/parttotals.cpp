#include "parttotals.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "data/lookups.h"
#include "memberformat.h"
#include "platform/picture.h"
#include "platform/storage/faults.h"
#include "platform/text.h"

#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>

namespace {
const QString kProcedure = QStringLiteral("PARTTOTALWIN");
const QString kTitle = QStringLiteral("Participant Totals Report");
const QString kPeriod = QStringLiteral("Period: %1 to %2");
const QString kOpening = QStringLiteral("Opening Balance");
const QString kClosing = QStringLiteral("Closing Balance");
const QString kMovements = QStringLiteral("Total Movements");
const QString kProof = QStringLiteral("Opening + Movements");
const QString kOutOfBalance = QStringLiteral("OUT OF BALANCE BY");
const QString kCode = QStringLiteral("Code %1 %2");
const QString kCountLabel = QStringLiteral("Participants:");
const QString kDate = QStringLiteral("@d2");
// Member lines leave out the grouping so that a column holds up to a million.
const QString kCell = QStringLiteral("@n-_10.2");
const QString kTotal = QStringLiteral("@n-18.2");
const QString kCount = QStringLiteral("@n9");

enum Col { Account, Opening, Deposits, Dividends, Withdrawals, Tax, Fees, Carried, Other, Closing };
const QList<Listing::Column> kColumns{
    {QStringLiteral("Account"), 7, true},   {QStringLiteral("Opening"), 10, true},
    {QStringLiteral("Deposits"), 10, true}, {QStringLiteral("Dividends"), 10, true},
    {QStringLiteral("Withdrawn"), 10, true}, {QStringLiteral("Tax"), 9, true},
    {QStringLiteral("Fees"), 8, true},      {QStringLiteral("Carried"), 9, true},
    {QStringLiteral("Other"), 8, true},     {QStringLiteral("Closing"), 10, true}};
const Movement kColumnKinds[] = {Movement::Deposit, Movement::Dividend, Movement::Withdrawal, Movement::Tax,
                                 Movement::Fee,     Movement::Carried,  Movement::Other};

QString cell(const Decimal &d) { return Picture::format(d, kCell).trimmed(); }
QString total(const Decimal &d) { return Picture::format(d, kTotal).trimmed(); }
} // namespace

ParticipantTotals::ParticipantTotals(storage::Database &db, Dialogs &dialogs) : ReportLogic(db, dialogs) {}
ParticipantTotals::~ParticipantTotals() = default;

QString ParticipantTotals::reportName() const { return kProcedure; }
QString ParticipantTotals::heading() const { return kTitle; }

bool ParticipantTotals::begin(ReportRun &run) {
    m_mem = std::make_unique<storage::DataFile<MemberCU>>(m_db);
    storage::DataFile<Trans> tra(m_db);
    storage::DataFile<TransDesc> trd(m_db);
    if (!CHECKOPEN(*m_mem, m_dialogs) || !CHECKOPEN(tra, m_dialogs) || !CHECKOPEN(trd, m_dialogs))
        return false;
    if (!readCodeNames(trd, m_codes)) return readFailed(run);
    COUNT = 0;
    OPENING = CLOSING = Decimal(0, 2);
    MOVEMENTS = MovementSums();
    m_read = std::make_unique<storage::ReadSnapshot>(m_db);
    if (!m_read->active() || !readSums()) {
        m_read.reset();
        return readFailed(run);
    }
    run.recordsToProcess = m_mem->count();
    m_walk = std::make_unique<MemberWalk>(*m_mem, selection);
    return true;
}

bool ParticipantTotals::readSums() {
    using storage::sqlName;
    m_balances.clear();
    m_sums.clear();
    const QString acct = sqlName("ACCTNUM"), date = sqlName("TRANSDATE"), amount = sqlName("TRANSAMOUNT"),
                  type = sqlName("TRANSTYPE"), table = sqlName(Trans::layout().def().name);
    // An account range bounds the sums as well; a local's members are picked by the walk.
    QString range;
    QVariantList rangeValues;
    if (selection.FROMACCT != 0) {
        range += " AND " + acct + " >= ?";
        rangeValues << selection.FROMACCT;
    }
    if (selection.TOACCT != 0) {
        range += " AND " + acct + " <= ?";
        rangeValues << selection.TOACCT;
    }
    auto run = [&](QSqlQuery &q, const QString &sql, const QVariantList &values) {
        if (storage::faults::readRefused(Trans::layout().def().name)) return false;
        q.setForwardOnly(true);
        if (!q.prepare(sql)) return storage::Database::recordSqlError(q.lastError()), false;
        for (const QVariant &v : values) q.addBindValue(v);
        if (!q.exec()) return storage::Database::recordSqlError(q.lastError()), false;
        return true;
    };

    // The opening and closing balances in one pass over the account key, whose index carries
    // the amounts; the closing one is summed on its own, so that the proof below means something.
    QSqlQuery edges(m_db.sql());
    if (!run(edges,
             "SELECT " + acct + ", SUM(CASE WHEN " + date + " < ? THEN " + amount + " ELSE 0 END), " +
                 "SUM(CASE WHEN " + date + " <= ? THEN " + amount + " ELSE 0 END) FROM " + table +
                 " WHERE 1 = 1" + range + " GROUP BY " + acct,
             QVariantList{FROMDATE, TODATE} + rangeValues))
        return false;
    while (edges.next())
        m_balances.insert(edges.value(0).toInt(), {Decimal::fromCents(edges.value(1).toLongLong()),
                                                   Decimal::fromCents(edges.value(2).toLongLong())});
    if (edges.lastError().isValid()) return storage::Database::recordSqlError(edges.lastError()), false;

    QSqlQuery moves(m_db.sql());
    if (!run(moves,
             "SELECT " + acct + ", " + type + ", SUM(" + amount + ") FROM " + table + " WHERE " + date +
                 " >= ? AND " + date + " <= ?" + range + " GROUP BY " + acct + ", " + type,
             QVariantList{FROMDATE, TODATE} + rangeValues))
        return false;
    while (moves.next())
        m_sums[moves.value(0).toInt()].add(moves.value(1).toInt(),
                                          Decimal::fromCents(moves.value(2).toLongLong()));
    if (moves.lastError().isValid()) return storage::Database::recordSqlError(moves.lastError()), false;
    return true;
}

void ParticipantTotals::startDrawing(ReportRun &run) {
    m_listing = std::make_unique<Listing>(
        run.report(), kTitle,
        QStringList{selection.describe(),
                    kPeriod.arg(Picture::format(qint64(FROMDATE), kDate), Picture::format(qint64(TODATE), kDate))},
        kColumns);
}

bool ParticipantTotals::step(ReportRun &run) {
    if (!m_walk->next()) return m_walk->failed() ? readFailed(run) : false;
    const MemberCU m = m_mem->rec;
    const Balances edges = m_balances.value(m.ACCTNUM);
    const MovementSums sums = m_sums.value(m.ACCTNUM);

    ++COUNT;
    OPENING += edges.opening;
    CLOSING += edges.closing;
    MOVEMENTS.add(sums);
    QStringList cells{QString::number(m.ACCTNUM), cell(edges.opening)};
    for (Movement k : kColumnKinds) cells << cell(sums[k]);
    cells << cell(edges.closing);
    m_listing->title(MemberFormat::listName(m));
    m_listing->row(cells);
    return true;
}

void ParticipantTotals::end(ReportRun &) {
    m_read.reset();
    if (COUNT > 0) {
        QList<QPair<QString, QString>> lines{{kCountLabel, Picture::format(qint64(COUNT), kCount).trimmed()},
                                             {kOpening, total(OPENING)}};
        for (Movement k : kColumnKinds) {
            lines << QPair{movementName(k), total(MOVEMENTS[k])};
            if (k != Movement::Other) continue;
            for (auto it = MOVEMENTS.others.begin(); it != MOVEMENTS.others.end(); ++it)
                lines << QPair{"  " + kCode.arg(it.key()).arg(m_codes.value(it.key())).trimmed(),
                               total(it.value())};
        }
        const Decimal proof = OPENING + MOVEMENTS.total();
        lines << QPair{kMovements, total(MOVEMENTS.total())} << QPair{kProof, total(proof)}
              << QPair{kClosing, total(CLOSING)};
        if (!balances()) lines << QPair{kOutOfBalance, total(CLOSING - proof)};
        m_listing->totals(lines, Closing);
    }
    m_listing->finish();
}

ParticipantTotalsWindow::ParticipantTotalsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : PeriodWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    addSelection();
    addPeriod();
    finishLayout();
}

bool ParticipantTotalsWindow::readChoices() {
    if (!readPeriod(m_logic.FROMDATE, m_logic.TODATE)) return false;
    m_logic.selection = memberSelection();
    return true;
}

void ParticipantTotalsWindow::storeChoices(ReportChoices &c) { storePeriod(c, m_logic.FROMDATE, m_logic.TODATE); }

void ParticipantTotalsWindow::runReport() { m_logic.run(); }

void PARTTOTALWIN() { startReportWindow(new ParticipantTotalsWindow(App::db(), App::dialogs())); }
