#include "codelistings.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "memberformat.h"
#include "platform/text.h"

#include <algorithm>

namespace {
const QString kLocalsTitle = QStringLiteral("Union Locals");
const QString kByName = QStringLiteral("By Name");
const QString kByNumber = QStringLiteral("By Number");
const QString kCodesTitle = QStringLiteral("Transaction Codes");
const QString kByCode = QStringLiteral("By Code");
const QString kByDescription = QStringLiteral("By Description");
const QString kLocalsCount = QStringLiteral("Locals:");
const QString kCodesCount = QStringLiteral("Codes:");
const QString kDebit = QStringLiteral("Debit");
const QString kCredit = QStringLiteral("Credit");

const QList<Listing::Column> kLocalColumns{{QStringLiteral("Number"), 10},
                                           {QStringLiteral("Name"), 30},
                                           {QStringLiteral("Address"), 34},
                                           {QStringLiteral("Phone"), 20}};
const QList<Listing::Column> kCodeColumns{{QStringLiteral("Code"), 6, true},
                                          {QStringLiteral("Description"), 30},
                                          {QStringLiteral("Debit/Credit"), 12}};

} // namespace

LocalListing::LocalListing(storage::Database &db, Dialogs &dialogs, Order order)
    : ReportLogic(db, dialogs), m_order(order) {}
LocalListing::~LocalListing() = default;

QString LocalListing::reportName() const {
    return m_order == Order::Name ? QStringLiteral("LOCALBYNAMERPT") : QStringLiteral("LOCALBYNUMBERRPT");
}
QString LocalListing::heading() const { return kLocalsTitle; }

bool LocalListing::numberBefore(const QString &a, const QString &b) {
    bool na = false, nb = false;
    const qint64 va = clip(a).trimmed().toLongLong(&na), vb = clip(b).trimmed().toLongLong(&nb);
    if (na && nb && va != vb) return va < vb;
    if (na != nb) return na;
    return clip(a).trimmed().toUpper() < clip(b).trimmed().toUpper();
}

bool LocalListing::begin(ReportRun &run) {
    m_loc = std::make_unique<storage::DataFile<LocInfo>>(m_db);
    if (!CHECKOPEN(*m_loc, m_dialogs)) return false;
    run.recordsToProcess = m_loc->count();
    m_loc->setStart(m_order == Order::Name ? LocInfo::Name_Key : LocInfo::LocalNum_Key);
    m_byNumber.clear();
    m_next = -1;
    COUNT = 0;
    return true;
}

void LocalListing::startDrawing(ReportRun &run) {
    m_listing = std::make_unique<Listing>(run.report(), kLocalsTitle,
                                          QStringList{m_order == Order::Name ? kByName : kByNumber},
                                          kLocalColumns);
}

bool LocalListing::step(ReportRun &run) {
    LocInfo loc;
    if (m_order == Order::Name) {
        if (!m_loc->next()) return m_loc->failed() ? readFailed(run) : false;
        loc = m_loc->rec;
    } else {
        // The key orders the numbers as text; the few locals are read first and put in number order.
        if (m_next < 0) {
            while (m_loc->next()) m_byNumber << m_loc->rec;
            if (m_loc->failed()) return readFailed(run);
            std::stable_sort(m_byNumber.begin(), m_byNumber.end(), [](const LocInfo &a, const LocInfo &b) {
                return numberBefore(a.LOCALNUM, b.LOCALNUM);
            });
            m_next = 0;
        }
        if (m_next >= m_byNumber.size()) return false;
        loc = m_byNumber[m_next++];
    }
    ++COUNT;
    const QStringList address =
        MemberFormat::addressLines({loc.ADDRESS1, loc.ADDRESS2}, loc.CITY, loc.STATE, loc.ZIP);
    QList<QStringList> lines{{clip(loc.LOCALNUM).trimmed(), clip(loc.NAME).trimmed(),
                              address.value(0), clip(loc.PHONE).trimmed()}};
    for (int i = 1; i < address.size(); ++i) lines << QStringList{{}, {}, address[i]};
    m_listing->block(lines);
    return true;
}

void LocalListing::end(ReportRun &) {
    if (COUNT > 0) m_listing->totals({{kLocalsCount, Cell::count(COUNT)}}, 1);
    m_listing->finish();
}

TransCodeListing::TransCodeListing(storage::Database &db, Dialogs &dialogs, Order order)
    : ReportLogic(db, dialogs), m_order(order) {}
TransCodeListing::~TransCodeListing() = default;

QString TransCodeListing::reportName() const {
    return m_order == Order::Code ? QStringLiteral("TRANSDESCBYCODE") : QStringLiteral("TRANSDESCBYDESC");
}
QString TransCodeListing::heading() const { return kCodesTitle; }

bool TransCodeListing::begin(ReportRun &run) {
    m_tds = std::make_unique<storage::DataFile<TransDesc>>(m_db);
    if (!CHECKOPEN(*m_tds, m_dialogs)) return false;
    run.recordsToProcess = m_tds->count();
    m_tds->setStart(m_order == Order::Code ? TransDesc::TransCode_Key : TransDesc::TransDesc_Key);
    COUNT = 0;
    return true;
}

void TransCodeListing::startDrawing(ReportRun &run) {
    m_listing = std::make_unique<Listing>(
        run.report(), kCodesTitle, QStringList{m_order == Order::Code ? kByCode : kByDescription},
        kCodeColumns);
}

bool TransCodeListing::step(ReportRun &run) {
    if (!m_tds->next()) return m_tds->failed() ? readFailed(run) : false;
    ++COUNT;
    const TransDesc &t = m_tds->rec;
    m_listing->row({QString::number(t.TRANSCODE), clip(t.TRANSDESC), t.POSITIVE ? kCredit : kDebit});
    return true;
}

void TransCodeListing::end(ReportRun &) {
    if (COUNT > 0) m_listing->totals({{kCodesCount, Cell::count(COUNT)}}, 0);
    m_listing->finish();
}

TableListingWindow::TableListingWindow(storage::Database &db, Dialogs &dialogs, const QString &title,
                                       const QString &procedure, std::unique_ptr<ReportLogic> logic,
                                       QWidget *parent)
    : ReportWindow(db, dialogs, title, procedure, parent), m_logic(std::move(logic)) {
    finishLayout();
}

namespace {
void startListing(const QString &title, const QString &order, const QString &procedure,
                  std::unique_ptr<ReportLogic> logic) {
    startReportWindow(new TableListingWindow(App::db(), App::dialogs(), title + QStringLiteral(" ") + order,
                                             procedure, std::move(logic)));
}
} // namespace

void LOCALBYNAMERPT() {
    startListing(kLocalsTitle, kByName, QStringLiteral("LOCALBYNAMERPT"),
                 std::make_unique<LocalListing>(App::db(), App::dialogs(), LocalListing::Order::Name));
}
void LOCALBYNUMBERRPT() {
    startListing(kLocalsTitle, kByNumber, QStringLiteral("LOCALBYNUMBERRPT"),
                 std::make_unique<LocalListing>(App::db(), App::dialogs(), LocalListing::Order::Number));
}
void TRANSDESCBYCODE() {
    startListing(kCodesTitle, kByCode, QStringLiteral("TRANSDESCBYCODE"),
                 std::make_unique<TransCodeListing>(App::db(), App::dialogs(), TransCodeListing::Order::Code));
}
void TRANSDESCBYDESC() {
    startListing(kCodesTitle, kByDescription, QStringLiteral("TRANSDESCBYDESC"),
                 std::make_unique<TransCodeListing>(App::db(), App::dialogs(),
                                                    TransCodeListing::Order::Description));
}
