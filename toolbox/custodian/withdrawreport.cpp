#include "withdrawreport.h"

#include "common/app.h"
#include "platform/clock.h"
#include "platform/picture.h"

namespace {
const QString kName = QStringLiteral("WithdrawReport");
const QString kTitle = QStringLiteral("Schwab Withdraw Report");
const QString kPage = QStringLiteral("Page: %1");
const QString kWithdrawDate = QStringLiteral("Withdraw Date: %1");
const QString kEffectiveDate = QStringLiteral("Effective Date: %1");
const QString kAccountTitle = QStringLiteral("Account Number");
const QString kNameTitle = QStringLiteral("Member Name");
const QString kAmountTitle = QStringLiteral("Withdraw Amount");
const QString kDate = QStringLiteral("@d2");
const QString kRunDate = QStringLiteral("@d2");
const QString kRunTime = QStringLiteral("@t3");

const report::Font kTitleFont{QStringLiteral("Arial"), 14, true};
const report::Font kSubFont{QStringLiteral("Arial"), 10};
const report::Font kHeadFont{QStringLiteral("Arial"), 10, true};
const report::Font kData{QStringLiteral("Courier New"), 10};
const report::Font kDataBold{QStringLiteral("Courier New"), 10, true};

// Page layout in thousandths of an inch on a letter page.
constexpr int kTop = 500, kBottom = 10500;
constexpr int kLeft = 750, kRight = 7750;
constexpr int kNameX = 2300, kNameWidth = 3400;
constexpr int kLine = 190;
constexpr int kHeaderHeight = 1200;
} // namespace

WithdrawReport::WithdrawReport(Dialogs &dialogs, const TransferList &list)
    : m_dialogs(dialogs), m_list(list) {}

WithdrawReport::~WithdrawReport() = default;

void WithdrawReport::prepare(ReportRun &run) {
    run.name = kName;
    run.windowMessage.clear();
    run.recordsToProcess = m_list.WITHDRAWQUEUE.size();
    run.recordsPerCycle = 25;
    run.loop = [this](ReportRun &r) {
        if (!m_bands) {
            TOTAL = Decimal(0, 2);
            m_next = 0;
            const QString withdraw = kWithdrawDate.arg(Picture::format(qint64(m_list.WITHDRAWDATE), kDate));
            const QString effective = kEffectiveDate.arg(Picture::format(qint64(m_list.EFFECTIVEDATE), kDate));
            const QString stamp = Picture::format(qint64(Clock::today()), kRunDate) + "  " +
                                  Picture::format(qint64(Clock::clock()), kRunTime).trimmed();
            m_bands = std::make_unique<report::BandReport>(r.report(), kTop, kBottom);
            m_bands->setPageHeader({kHeaderHeight, [=](report::Report &rp, int top) {
                                        const int w = kRight - kLeft;
                                        rp.text(kLeft, top, kTitle, kTitleFont, report::Align::Center, w);
                                        rp.text(kLeft, top, kPage.arg(rp.pageNumber()), kSubFont,
                                                report::Align::Right, w);
                                        rp.text(kLeft, top + 350, withdraw, kSubFont);
                                        rp.text(kLeft, top + 350, effective, kSubFont,
                                                report::Align::Right, w);
                                        const int y = top + 800;
                                        rp.text(kLeft, y, kAccountTitle, kHeadFont);
                                        rp.text(kNameX, y, kNameTitle, kHeadFont);
                                        rp.text(kLeft, y, kAmountTitle, kHeadFont,
                                                report::Align::Right, w);
                                        rp.line(kLeft, y + 220, kRight, y + 220, 10);
                                    }});
            m_bands->setPageFooter({300, [stamp](report::Report &rp, int top) {
                                        rp.text(kLeft, top + 100, stamp, kSubFont);
                                    }});
        }
        // A slice of lines per timer event; the progress window gets the rest of the time.
        for (int slice = 0; slice < r.recordsPerCycle; ++slice) {
            if (m_next >= m_list.WITHDRAWQUEUE.size()) return false;
            const TransferRow &row = m_list.WITHDRAWQUEUE[m_next++];
            TOTAL += row.AMOUNTOFWITHDRAW;
            const QString account = row.MEMBERNUMBER, name = row.MEMBERNAME;
            const QString amount = SchwabTransfer::amountText(row.AMOUNTOFWITHDRAW).trimmed();
            m_bands->print({kLine, [=](report::Report &rp, int top) {
                                rp.text(kLeft, top, account, kData);
                                rp.text(kNameX, top, name, kData, report::Align::Left, kNameWidth, true);
                                rp.text(kLeft, top, amount, kData, report::Align::Right, kRight - kLeft);
                            }});
            r.recordDone();
        }
        return true;
    };
    run.finish = [this](ReportRun &) {
        if (!m_bands) return;
        const QString total = SchwabTransfer::amountText(TOTAL).trimmed();
        m_bands->print({2 * kLine + 100, [total](report::Report &rp, int top) {
                            rp.line(kLeft, top + 40, kRight, top + 40, 10);
                            rp.text(kLeft, top + 120, total, kDataBold, report::Align::Right,
                                    kRight - kLeft);
                        }});
        m_bands->finish();
        m_bands.reset();
    };
}

ReportRun::Outcome WithdrawReport::run() {
    ReportRun r(m_dialogs);
    prepare(r);
    return r.run();
}

void WITHDRAWREPORT(const TransferList &list) {
    WithdrawReport report(App::dialogs(), list);
    report.run();
}
