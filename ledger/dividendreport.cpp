#include "dividendreport.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/text.h"

namespace {
const QString kName = QStringLiteral("DividendReport");
const QString kPeriodTo = QStringLiteral(" - ");
const QString kPercent = QStringLiteral("%");
const QString kPage = QStringLiteral("Page: %1");
const QString kAccountTitle = QStringLiteral("Account Number");
const QString kNameTitle = QStringLiteral("Participant Name");
const QString kAmountTitle = QStringLiteral("Dividend Amount");
const QString kTotalParts = QStringLiteral("Total Participants");
const QString kTotalDivs = QStringLiteral("Total Dividends:");
const QString kNameSeparator = QStringLiteral(", ");
const QString kRunDate = QStringLiteral("@d1");
const QString kRunTime = QStringLiteral("@t3");
const QString kPeriodDate = QStringLiteral("@d2");
const QString kRate = QStringLiteral("@n-9.4");
const QString kAmount = QStringLiteral("@n$(16.2)");
const QString kTotal = QStringLiteral("@n$(20.2)");
const QString kCount = QStringLiteral("@n9");

const report::Font kHeadingFont{QStringLiteral("Arial"), 14, true};
const report::Font kSubFont{QStringLiteral("Arial"), 10};
const report::Font kTitleFont{QStringLiteral("Arial"), 10, true};
const report::Font kData{QStringLiteral("Courier New"), 10};
const report::Font kDataBold{QStringLiteral("Courier New"), 10, true};

// Page layout in thousandths of an inch on a letter page.
constexpr int kTop = 500, kBottom = 10500;
constexpr int kLeft = 750, kRight = 7750;
constexpr int kNameX = 2300, kNameWidth = 3600, kAmountRight = kRight;
constexpr int kLine = 190;
constexpr int kHeaderHeight = 1400;
} // namespace

DividendReport::DividendReport(storage::Database &db, Dialogs &dialogs, const DividendGlobals &glo,
                               const PostingList &list)
    : m_db(db), m_dialogs(dialogs), GLO(glo), m_list(list) {}

DividendReport::~DividendReport() = default;

void DividendReport::prepare(ReportRun &run) {
    run.name = kName;
    run.windowMessage.clear();
    run.recordsToProcess = m_list.size();
    run.recordsPerCycle = 25;
    run.open = [this](ReportRun &) {
        m_mem = std::make_unique<storage::DataFile<MemberCU>>(m_db);
        return CHECKOPEN(*m_mem, m_dialogs);
    };
    run.loop = [this](ReportRun &r) {
        if (!m_bands) {
            COUNT = 0;
            TOTAL = Decimal(0, 2);
            m_next = 0;
            const QString stamp = Picture::format(qint64(Clock::today()), kRunDate) + "  " +
                                  Picture::format(qint64(Clock::clock()), kRunTime).trimmed();
            const QString heading = GLO.REPORTHEADING;
            const QString period = Picture::format(qint64(GLO.BEGINDATE), kPeriodDate) + kPeriodTo +
                                   Picture::format(qint64(GLO.ENDDATE), kPeriodDate);
            const QString rate = Picture::format(GLO.DIVIDENDRATE, kRate).trimmed() + kPercent;
            m_bands = std::make_unique<report::BandReport>(r.report(), kTop, kBottom);
            m_bands->setPageHeader(
                {kHeaderHeight, [=](report::Report &rp, int top) {
                     const int w = kRight - kLeft;
                     rp.text(kLeft, top, stamp, kSubFont);
                     rp.text(kLeft, top, kPage.arg(rp.pageNumber()), kSubFont, report::Align::Right,
                             w);
                     rp.text(kLeft, top + 250, heading, kHeadingFont, report::Align::Center, w);
                     rp.text(kLeft, top + 550, period, kSubFont, report::Align::Center, w);
                     rp.text(kLeft, top + 750, rate, kSubFont, report::Align::Center, w);
                     const int y = top + 1050;
                     rp.text(kLeft, y, kAccountTitle, kTitleFont);
                     rp.text(kNameX, y, kNameTitle, kTitleFont);
                     rp.text(kLeft, y, kAmountTitle, kTitleFont, report::Align::Right, w);
                     rp.line(kLeft, y + 220, kRight, y + 220, 10);
                 }});
        }
        // A slice of lines per timer event; the progress window gets the rest of the time.
        for (int slice = 0; slice < r.recordsPerCycle; ++slice) {
            if (m_next >= m_list.size()) return false;
            const PostingEntry &e = m_list[m_next++];
            QString name;
            m_mem->clear();
            m_mem->rec.ACCTNUM = e.ACCTNUM.toInt();
            if (m_mem->get(MemberCU::AcctNum_Key))
                name = (clip(m_mem->rec.LASTNAME) + kNameSeparator + clip(m_mem->rec.FIRSTNAME))
                           .left(150);
            TOTAL += e.TRANSAMOUNT;
            ++COUNT;
            const QString account = clip(e.ACCTNUM);
            const QString amount = Picture::format(e.TRANSAMOUNT, kAmount).trimmed();
            m_bands->print(
                {kLine, [=](report::Report &rp, int top) {
                     rp.text(kLeft, top, account, kData);
                     rp.text(kNameX, top, name, kData, report::Align::Left, kNameWidth, true);
                     rp.text(kLeft, top, amount, kData, report::Align::Right, kAmountRight - kLeft);
                 }});
            r.recordDone();
        }
        return true;
    };
    run.finish = [this](ReportRun &) {
        if (!m_bands) return;
        const QString parts = Picture::format(qint64(COUNT), kCount).trimmed();
        const QString total = Picture::format(TOTAL, kTotal).trimmed();
        m_bands->print({3 * kLine + 100, [parts, total](report::Report &rp, int top) {
                            rp.line(kLeft, top + 40, kRight, top + 40, 10);
                            rp.text(kLeft, top + 120, kTotalParts, kDataBold);
                            rp.text(kLeft, top + 120, parts, kDataBold, report::Align::Right,
                                    kRight - kLeft);
                            rp.text(kLeft, top + 120 + kLine, kTotalDivs, kDataBold);
                            rp.text(kLeft, top + 120 + kLine, total, kDataBold,
                                    report::Align::Right, kRight - kLeft);
                        }});
        m_bands->finish();
        m_bands.reset();
        m_mem.reset();
    };
}

ReportRun::Outcome DividendReport::run() {
    ReportRun r(m_dialogs);
    prepare(r);
    if (testHook()) testHook()(r);
    return r.run();
}

std::function<void(ReportRun &)> &DividendReport::testHook() {
    static std::function<void(ReportRun &)> hook;
    return hook;
}

void DIVIDENDREPORT(const DividendGlobals &glo, const PostingList &list) {
    DividendReport report(App::db(), App::dialogs(), glo, list);
    report.run();
}
