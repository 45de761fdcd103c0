#include "payrollreport.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "platform/clock.h"
#include "platform/picture.h"

namespace {
const QString kName = QStringLiteral("PayrollRpt");
const QString kTitle = QStringLiteral("Payroll Deposit Report");
const QString kSeparator = QStringLiteral(" --- ");
const QString kAmountHeading = QStringLiteral("Deposit Amount");
const QString kLocalHeading = QStringLiteral("Local");
const QString kAccountHeading = QStringLiteral("Account Number");
const QString kNameHeading = QStringLiteral("Name");
const QString kTotalParts = QStringLiteral("Total Participants =");
const QString kTotalDeposits = QStringLiteral("Total Deposits =");
const QString kPage = QStringLiteral("Page %1 of ?PP?");

const report::Font kTitleFont{QStringLiteral("Arial"), 14, true};
const report::Font kHeadFont{QStringLiteral("Arial"), 10, true};
const report::Font kSubFont{QStringLiteral("Arial"), 10};
const report::Font kData{QStringLiteral("Courier New"), 10};
const report::Font kDataBold{QStringLiteral("Courier New"), 10, true};

// Columns, in thousandths of an inch from the left edge of a letter page.
constexpr int kLeft = 750, kRight = 7750;
constexpr int kAmountRight = 2350, kLocalRight = 3500, kAccountLeft = 3800, kNameLeft = 5750;
constexpr int kLine = 190;
} // namespace

PayrollReport::PayrollReport(storage::Database &db, Dialogs &dialogs, PayrollGlobals &glo,
                             const PayQueue &queue, qint32 local)
    : m_db(db), m_dialogs(dialogs), GLO(glo), m_queue(queue), m_local(local) {}

QString PayrollReport::subtitle(qint32 contractorNumber, qint32 payrollDate) {
    storage::DataFile<Contractor> con(m_db);
    QString name;
    if (con.open()) {
        con.rec.AUTONUM = contractorNumber;
        if (con.get(Contractor::AutoNum_Key)) name = clip(con.rec.NAME);
    }
    if (payrollDate > 0) return name + kSeparator + Picture::format(payrollDate, "@d2");
    return name + kSeparator + GLO.PAYROLLDATESTRING;
}

bool PayrollReport::accountsBySsn(qint32 local) {
    return local == 667 || local == 33;
}

void PayrollReport::prepare(ReportRun &run, qint32 contractorNumber, qint32 payrollDate) {
    run.name = kName;
    run.windowMessage.clear();
    run.pageOfPages = true;
    run.recordsToProcess = m_queue.size(); // 100 percent with the last line
    run.recordsPerCycle = 25;
    auto files =
        std::make_shared<std::pair<storage::DataFile<MemberCU>, storage::DataFile<Contractor>>>(
            m_db, m_db);
    run.open = [this, files](ReportRun &) {
        return CHECKOPEN(files->first, m_dialogs) && CHECKOPEN(files->second, m_dialogs);
    };
    run.loop = [this, files, contractorNumber, payrollDate](ReportRun &r) {
        TOTALPARTS = 0;
        TOTAL = Decimal(0, 2);
        const QString sub = subtitle(contractorNumber, payrollDate);
        const QString title = GLO.TITLE;
        const QString runDate = Picture::format(Clock::today(), "@d2");
        const bool bySsn = accountsBySsn(m_local);
        m_bands = std::make_unique<report::BandReport>(r.report(), 500, 10500);
        m_bands->setPageHeader(
            {1250, [sub, title](report::Report &rp, int top) {
                 const int w = kRight - kLeft;
                 rp.text(kLeft, top, kTitle, kTitleFont, report::Align::Center, w);
                 rp.text(kLeft, top + 300, sub, kSubFont, report::Align::Center, w);
                 rp.text(kLeft, top + 500, title, kSubFont, report::Align::Center, w);
                 const int y = top + 900;
                 rp.text(kLeft, y, kAmountHeading, kHeadFont, report::Align::Right,
                         kAmountRight - kLeft);
                 rp.text(kAmountRight, y, kLocalHeading, kHeadFont, report::Align::Right,
                         kLocalRight - kAmountRight);
                 rp.text(kAccountLeft, y, kAccountHeading, kHeadFont);
                 rp.text(kNameLeft, y, kNameHeading, kHeadFont);
                 rp.line(kLeft, y + 220, kRight, y + 220, 10);
             }});
        m_bands->setPageFooter({300, [runDate](report::Report &rp, int top) {
                                    rp.text(kLeft, top + 100, runDate, kSubFont);
                                    // Left-aligned: the page count is patched in after the last
                                    // page.
                                    rp.text(kRight - 1100, top + 100, kPage.arg(rp.pageNumber()),
                                            kSubFont);
                                }});
        storage::DataFile<MemberCU> &mem = files->first;
        for (const PayQueueEntry &q : m_queue) {
            QString amount = Picture::format(q.AMOUNT, "N$(19.2)");
            QString local, account, name;
            mem.clear();
            mem.rec.SSNUM = q.PATNUM;
            if (!q.PATNUM.trimmed().isEmpty() && mem.get(MemberCU::SSNum_Key)) {
                local = Picture::format(qint64(mem.rec.LOCALCODE), "n14");
                account = Picture::formatText(
                    bySsn ? mem.rec.SSNUM : QString::number(mem.rec.ACCTNUM), "s20");
                name = lastFirst(mem.rec).left(20);
            }
            ++TOTALPARTS;
            TOTAL += q.AMOUNT;
            m_bands->print({kLine, [amount, local, account, name](report::Report &rp, int top) {
                                rp.text(kLeft, top, amount, kData, report::Align::Right,
                                        kAmountRight - kLeft);
                                rp.text(kAmountRight, top, local, kData, report::Align::Right,
                                        kLocalRight - kAmountRight);
                                rp.text(kAccountLeft, top, account, kData);
                                rp.text(kNameLeft, top, name, kData);
                            }});
            r.recordDone();
        }
        return false; // every line in the first pass
    };
    run.finish = [this](ReportRun &) {
        const QString parts = Picture::format(qint64(TOTALPARTS), "N14");
        const QString total = Picture::format(TOTAL, "N$(19.2)");
        m_bands->print({3 * kLine + 100, [parts, total](report::Report &rp, int top) {
                            rp.line(kLeft, top + 40, kRight, top + 40, 10);
                            rp.text(kLeft, top + 120, kTotalParts, kDataBold);
                            rp.text(kLocalRight, top + 120, parts, kDataBold, report::Align::Right,
                                    1800);
                            rp.text(kLeft, top + 120 + kLine, kTotalDeposits, kDataBold);
                            rp.text(kLocalRight, top + 120 + kLine, total, kDataBold,
                                    report::Align::Right, 1800);
                        }});
        m_bands->finish();
        m_bands.reset();
    };
}

ReportRun::Outcome PayrollReport::run(qint32 contractorNumber, qint32 payrollDate) {
    ReportRun r(m_dialogs);
    prepare(r, contractorNumber, payrollDate);
    if (testHook()) testHook()(r);
    return r.run();
}

std::function<void(ReportRun &)> &PayrollReport::testHook() {
    static std::function<void(ReportRun &)> hook;
    return hook;
}

void PAYROLLRPT(qint32 ContractorNumber, qint32 PayrollDate) {
    PayrollReport report(App::db(), App::dialogs(), PayrollGLO(), PAYQUEUE(), GLO().LOCAL);
    report.run(ContractorNumber, PayrollDate);
}
