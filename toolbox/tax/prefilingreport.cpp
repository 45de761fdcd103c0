#include "prefilingreport.h"

#include "platform/clock.h"
#include "platform/picture.h"

namespace Tax {
namespace {
const QString kName = QStringLiteral("PreFilingChecks");
const QString kTitleR = QStringLiteral("1099-R Pre-Filing Checks");
const QString kTitleInt = QStringLiteral("1099-INT Pre-Filing Checks");
const QString kWhoTitle = QStringLiteral("Payer Or Payee");
const QString kWhatTitle = QStringLiteral("Finding");
const QString kTotal = QStringLiteral("Findings:");
const QString kNote = QStringLiteral("No figure of the file is changed by these checks.");
const QString kPage = QStringLiteral("Page: %1");
const QString kRunDate = QStringLiteral("@d2");
const QString kCount = QStringLiteral("@n9");

const report::Font kHeadingFont{QStringLiteral("Arial"), 14, true};
const report::Font kSubFont{QStringLiteral("Arial"), 10};
const report::Font kTitleFont{QStringLiteral("Arial"), 10, true};
const report::Font kData{QStringLiteral("Courier New"), 9};
const report::Font kDataBold{QStringLiteral("Courier New"), 9, true};

// Page layout in thousandths of an inch on a letter page; Courier 9 is 75 units a character.
constexpr int kTop = 500, kBottom = 10500;
constexpr int kLeft = 750, kRight = 7750;
constexpr int kWhatX = 3400, kWhoWidth = kWhatX - kLeft - 100;
constexpr int kWhatChars = (kRight - kWhatX) / 75;
constexpr int kLine = 170;
constexpr int kHeaderHeight = 1200;
} // namespace

PreFilingReport::PreFilingReport(Form form, const QString &fundName, const QList<Finding> &findings)
    : m_form(form), m_fundName(fundName), m_findings(findings) {}

PreFilingReport::~PreFilingReport() = default;

QStringList PreFilingReport::wrap(const QString &text, int width) {
    QStringList lines;
    QString line;
    for (const QString &word : text.simplified().split(' ', Qt::SkipEmptyParts)) {
        QString w = word;
        while (w.size() > width) { // a word longer than the column is cut over lines
            if (!line.isEmpty()) lines << line, line.clear();
            lines << w.left(width);
            w = w.mid(width);
        }
        if (line.isEmpty()) line = w;
        else if (line.size() + 1 + w.size() <= width) line += ' ' + w;
        else lines << line, line = w;
    }
    if (!line.isEmpty() || lines.isEmpty()) lines << line;
    return lines;
}

void PreFilingReport::prepare(ReportRun &run) {
    run.name = kName;
    run.windowMessage.clear();
    run.recordsToProcess = m_findings.size();
    run.recordsPerCycle = 25;
    run.open = [](ReportRun &) { return true; };
    run.loop = [this](ReportRun &r) {
        if (!m_bands) {
            m_next = 0;
            const QString fund = m_fundName;
            const QString title = m_form == Form::R ? kTitleR : kTitleInt;
            const QString stamp = Picture::format(qint64(Clock::today()), kRunDate);
            m_bands = std::make_unique<report::BandReport>(r.report(), kTop, kBottom);
            m_bands->setPageHeader({kHeaderHeight, [=](report::Report &rp, int top) {
                                        const int w = kRight - kLeft;
                                        rp.text(kLeft, top, stamp, kSubFont);
                                        rp.text(kLeft, top, kPage.arg(rp.pageNumber()), kSubFont,
                                                report::Align::Right, w);
                                        rp.text(kLeft, top + 250, fund, kHeadingFont,
                                                report::Align::Center, w);
                                        rp.text(kLeft, top + 550, title, kSubFont,
                                                report::Align::Center, w);
                                        const int y = top + 900;
                                        rp.text(kLeft, y, kWhoTitle, kTitleFont);
                                        rp.text(kWhatX, y, kWhatTitle, kTitleFont);
                                        rp.line(kLeft, y + 220, kRight, y + 220, 10);
                                    }});
        }
        for (int slice = 0; slice < r.recordsPerCycle; ++slice) {
            if (m_next >= m_findings.size()) return false;
            const Finding &f = m_findings[m_next++];
            const QString who = f.who;
            const QStringList what = wrap(f.what, kWhatChars);
            m_bands->print({int(what.size()) * kLine + 40, [=](report::Report &rp, int top) {
                                rp.text(kLeft, top, who, kData, report::Align::Left, kWhoWidth, true);
                                for (int i = 0; i < what.size(); ++i)
                                    rp.text(kWhatX, top + i * kLine, what[i], kData);
                            }});
            r.recordDone();
        }
        return true;
    };
    run.finish = [this](ReportRun &) {
        if (!m_bands) return;
        const QString count = Picture::format(qint64(m_findings.size()), kCount).trimmed();
        m_bands->print({3 * kLine + 100, [count](report::Report &rp, int top) {
                            rp.line(kLeft, top + 40, kRight, top + 40, 10);
                            rp.text(kLeft, top + 120, kTotal, kDataBold);
                            rp.text(kLeft, top + 120, count, kDataBold, report::Align::Right,
                                    kRight - kLeft);
                            rp.text(kLeft, top + 120 + kLine, kNote, kData);
                        }});
        m_bands->finish();
        m_bands.reset();
    };
}

std::function<void(ReportRun &)> &PreFilingReport::testHook() {
    static std::function<void(ReportRun &)> hook;
    return hook;
}

ReportRun::Outcome printPreFilingReport(Dialogs &dialogs, Form form, const QString &fundName,
                                        const QList<Finding> &findings) {
    PreFilingReport report(form, fundName, findings);
    ReportRun run(dialogs);
    report.prepare(run);
    if (PreFilingReport::testHook()) PreFilingReport::testHook()(run);
    return run.run();
}

} // namespace Tax
