#include "missingtrans.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/reportrun.h"
#include "common/pacer.h"
#include "platform/picture.h"

namespace {
const QString kReportName = QStringLiteral("MissingMemberTrans");
const QString kHeading = QStringLiteral("Missing Member with Transactions");
const QString kAccountTitle = QStringLiteral("Account Number");
const QString kAmountTitle = QStringLiteral("Transaction Amount");
const QString kDateTitle = QStringLiteral("Transaction Date");
const QString kAccountPicture = QStringLiteral("@n-_15");
const QString kAmountPicture = QStringLiteral("@n-$20.2");
const QString kDatePicture = QStringLiteral("@d2");
const QString kReadFailed = QStringLiteral(
    "The transactions or members could not be read; the report was stopped.  Error: %1.");

// Page layout in thousandths of an inch. Details are set in a fixed-pitch face from pictures of a
// fixed width, so the columns line up on paper and in the text output alike; a line of text is a
// sixth of an inch.
constexpr int kTop = 500, kBottom = 10500;
constexpr int kLeft = 1000, kRight = 7000;
constexpr int kAccountX = 1000, kAmountX = 2750;
constexpr int kDateTitleX = 4800, kDateTitleWidth = 1450;
constexpr int kLine = 167;
constexpr int kHeaderHeight = 4 * kLine;

const report::Font kHeadingFont{QStringLiteral("Arial"), 14, true};
const report::Font kTitleFont{QStringLiteral("Arial"), 10, true};
const report::Font kDetailFont{QStringLiteral("Courier New"), 10};

// Width of a field of `chars` characters in the detail face, as the installed face sets it.
int fieldWidth(int chars) {
    return qRound(report::textWidth(QString(chars, '0'), kDetailFont));
}
} // namespace

MissingMemberTransReport::MissingMemberTransReport(storage::Database &db, Dialogs &dialogs)
    : m_dialogs(dialogs), m_tra(db), m_mem(db) {}

MissingMemberTransReport::~MissingMemberTransReport() = default;

void MissingMemberTransReport::attach(ReportRun &run) {
    run.name = kReportName;
    run.open = [this](ReportRun &r) { return open(r); };
    run.loop = [this](ReportRun &r) { return loop(r); };
    run.finish = [this](ReportRun &r) { finish(r); };
}

bool MissingMemberTransReport::open(ReportRun &run) {
    if (!CHECKOPEN(m_tra, m_dialogs) || !CHECKOPEN(m_mem, m_dialogs)) return false;
    run.recordsToProcess = m_tra.count();
    m_tra.setStart(Trans::Acct_Key);
    LASTACCTNUM = 0;
    m_lookedUpValid = false;
    m_bands.reset();
    return true;
}

bool MissingMemberTransReport::hasMember(qint32 acctNum) {
    if (!m_lookedUpValid || m_lookedUp != acctNum) {
        m_mem.clear();
        m_mem.rec.ACCTNUM = acctNum;
        m_found = m_mem.get(MemberCU::AcctNum_Key);
        m_lookedUp = acctNum;
        m_lookedUpValid = true;
    }
    return m_found;
}

void MissingMemberTransReport::drawPageHeader(report::Report &r, int top) const {
    r.text(kLeft, top, kHeading, kHeadingFont, report::Align::Center, kRight - kLeft);
    // Titles end where their numbers end.
    const int titles = top + 2 * kLine;
    r.text(kAccountX, titles, kAccountTitle, kTitleFont, report::Align::Right, m_accountWidth);
    r.text(kAmountX, titles, kAmountTitle, kTitleFont, report::Align::Right, m_amountWidth);
    r.text(kDateTitleX, titles, kDateTitle, kTitleFont, report::Align::Center, kDateTitleWidth);
    const int rule = titles + kLine + kLine / 4;
    r.line(kLeft, rule, kRight, rule, 10);
}

void MissingMemberTransReport::printSeparator() {
    const report::Band separator{kLine, [](report::Report &r, int top) {
                                     const int y = top + kLine / 2;
                                     r.line(kLeft, y, kRight, y);
                                 }};
    // Kept with the next detail, so no page ends on a separator.
    m_bands->print(separator, kLine);
}

void MissingMemberTransReport::printDetail() {
    const QString account = Picture::format(qint64(m_tra.rec.ACCTNUM), kAccountPicture);
    const QString amount = Picture::format(m_tra.rec.TRANSAMOUNT, kAmountPicture);
    const QString date =
        Picture::format(qint64(m_tra.rec.TRANSDATE), kDatePicture).leftJustified(10);
    const int dateX = kDateTitleX + (kDateTitleWidth - m_dateWidth) / 2;
    m_bands->print({kLine, [=](report::Report &r, int top) {
                        r.text(kAccountX, top, account, kDetailFont);
                        r.text(kAmountX, top, amount, kDetailFont);
                        r.text(dateX, top, date, kDetailFont);
                    }});
}

bool MissingMemberTransReport::loop(ReportRun &run) {
    if (!m_bands) {
        m_bands = std::make_unique<report::BandReport>(run.report(), kTop, kBottom);
        m_accountWidth = fieldWidth(15);
        m_amountWidth = fieldWidth(20);
        m_dateWidth = fieldWidth(10);
        m_bands->setPageHeader(
            {kHeaderHeight, [this](report::Report &r, int top) { drawPageHeader(r, top); }});
    }
    // A slice of records per timer event; the progress window gets the rest of the time.
    Pacer pacer;
    // A report over part of the file would pass for the whole: a failed read stops it.
    auto readFailed = [&] {
        m_dialogs.message(kHeading, kReadFailed.arg(storage::lastErrorText()), Dlg::Error);
        run.stop();
        return false;
    };
    while (!pacer.due()) {
        if (!m_tra.next()) return m_tra.failed() ? readFailed() : false;
        const qint32 acct = m_tra.rec.ACCTNUM;
        const bool orphan = !hasMember(acct);
        if (m_mem.failed()) return readFailed();
        if (orphan) {
            if (LASTACCTNUM > 0 && LASTACCTNUM != acct) printSeparator();
            LASTACCTNUM = acct;
            printDetail();
        }
        run.recordDone();
    }
    return true;
}

void MissingMemberTransReport::finish(ReportRun &) {
    if (m_bands) m_bands->finish();
}

void MISSINGMEMBERTRANS() {
    MissingMemberTransReport report(App::db(), App::dialogs());
    ReportRun run(App::dialogs());
    report.attach(run);
    run.run();
}
