#include "statements.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "data/lookups.h"
#include "memberformat.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/picture.h"
#include "platform/report/player.h"
#include "platform/text.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>

namespace {
const QString kProcedure = QStringLiteral("PARTSTMTWIN");
const QString kTitle = QStringLiteral("Participant Statements");
const QString kStatement = QStringLiteral("Participant Statement");
const QString kContinued = QStringLiteral("Participant Statement (continued)");
const QString kAccount = QStringLiteral("Account: %1");
const QString kPeriod = QStringLiteral("Period: %1 to %2");
const QString kPage = QStringLiteral("Page: %1");
const QString kStartBalance = QStringLiteral("Beginning Balance");
const QString kEndBalance = QStringLiteral("Ending Balance");
const QString kNoActivity = QStringLiteral("No transactions in this period.");
const QString kSummary = QStringLiteral("Summary");
const QString kThisPeriod = QStringLiteral("This Period");
const QString kYearToDate = QStringLiteral("Year to Date");
const QString kPdfName = QStringLiteral("%1.PDF");
const QString kPdfFailed = QStringLiteral("The statement of account %1 could not be saved as %2; "
                                          "the report was stopped.");
const QString kNoFolder = QStringLiteral("The folder %1 does not exist.");

const QString kSkipPrompt = QStringLiteral("Leave out members with no activity and a zero balance");
const QString kMessagePrompt = QStringLiteral("Message:");
const QString kFolderPrompt = QStringLiteral("Save PDFs In:");
const QString kBrowse = QStringLiteral("...");
const QString kFolderCaption = QStringLiteral("Folder for the statements' PDF files");
const QString kSkipKey = QStringLiteral("LeaveOutIdle");
const QString kMessageKey = QStringLiteral("Message");
const QString kFolderKey = QStringLiteral("PdfFolder");

const QString kDate = QStringLiteral("@d2");
const QString kAmount = QStringLiteral("@n-15.2");

const report::Font kFundFont{QStringLiteral("Arial"), 12, true};
const report::Font kTitleFont{QStringLiteral("Arial"), 14, true};
const report::Font kTextFont{QStringLiteral("Arial"), 10};
const report::Font kAddressFont{QStringLiteral("Courier New"), 10};
const report::Font kLineFont{QStringLiteral("Courier New"), 9};
const report::Font kLineBold{QStringLiteral("Courier New"), 9, true};

// Thousandths of an inch on a letter page; a line is a sixth of an inch. The member's address
// sits where a #10 window envelope shows it (7/8" in, 2" down).
constexpr int kTop = 500, kBottom = 10500, kLeft = 500, kRight = 8000, kLine = 167;
constexpr int kWindowX = 875, kWindowY = 2000;
constexpr int kFirstHeader = 3500, kNextHeader = 1170;

// The detail line's columns: date, description, amount, running balance.
constexpr int kDateW = 10, kDescW = 44, kAmountW = 16, kBalanceW = 16;

QString date(qint32 day) { return day > 0 ? Picture::format(qint64(day), kDate) : QString(); }
QString amount(const Decimal &d) { return Picture::format(d, kAmount).trimmed(); }

QString detail(const QString &day, const QString &desc, const QString &amt, const QString &bal) {
    return (day.leftJustified(kDateW, ' ', true) + ' ' + desc.leftJustified(kDescW, ' ', true) + ' ' +
            amt.rightJustified(kAmountW) + ' ' + bal.rightJustified(kBalanceW))
        .trimmed();
}

QString titles() {
    return detail(QStringLiteral("Date"), QStringLiteral("Description"), QStringLiteral("Amount"),
                  QStringLiteral("Balance"));
}

// Column titles and their rule at `y`.
void drawTitles(report::Report &r, int y) {
    r.text(kLeft, y, titles(), kLineBold);
    r.line(kLeft, y + kLine + kLine / 4, kRight, y + kLine + kLine / 4, 10);
}

const Movement kShown[] = {Movement::Deposit, Movement::Dividend, Movement::Withdrawal, Movement::Tax,
                           Movement::Fee};
} // namespace

ParticipantStatements::ParticipantStatements(storage::Database &db, Dialogs &dialogs)
    : ReportLogic(db, dialogs) {}
ParticipantStatements::~ParticipantStatements() = default;

QString ParticipantStatements::reportName() const { return kProcedure; }
QString ParticipantStatements::heading() const { return kTitle; }

bool ParticipantStatements::begin(ReportRun &run) {
    m_mem = std::make_unique<storage::DataFile<MemberCU>>(m_db);
    m_tra = std::make_unique<storage::DataFile<Trans>>(m_db);
    storage::DataFile<CUInfo> cui(m_db);
    storage::DataFile<TransDesc> trd(m_db);
    if (!CHECKOPEN(*m_mem, m_dialogs) || !CHECKOPEN(*m_tra, m_dialogs) || !CHECKOPEN(cui, m_dialogs) ||
        !CHECKOPEN(trd, m_dialogs))
        return false;
    PRINTED = SKIPPED = SAVED = 0;
    m_pdfFailed = false;
    m_fund.clear();
    if (cui.first()) {
        const CUInfo &c = cui.rec;
        QString city = clip(c.CITY).trimmed();
        if (!city.isEmpty() && !clip(c.STATE).trimmed().isEmpty()) city += QStringLiteral(", ");
        city += clip(c.STATE).trimmed();
        if (!clip(c.ZIP).trimmed().isEmpty()) city += QStringLiteral("  ") + clip(c.ZIP).trimmed();
        for (const QString &l : {clip(c.NAME), clip(c.ADDRESS1), clip(c.ADDRESS2), city, clip(c.PHONE)})
            if (!l.trimmed().isEmpty()) m_fund << l.trimmed();
    } else if (cui.failed()) {
        return readFailed(run);
    }
    if (!readCodeNames(trd, m_codes)) return readFailed(run);
    run.recordsToProcess = m_mem->count();
    m_walk = std::make_unique<MemberWalk>(*m_mem, selection);
    return true;
}

void ParticipantStatements::startDrawing(ReportRun &run) {
    m_bands = std::make_unique<report::BandReport>(run.report(), kTop, kBottom);
}

QString ParticipantStatements::describe(const Trans &t) const {
    const QString own = clip(t.DESC).trimmed();
    if (!own.isEmpty()) return own;
    const QString listed = m_codes.value(t.TRANSTYPE);
    if (!listed.isEmpty()) return listed;
    return movementName(movementOf(t.TRANSTYPE));
}

bool ParticipantStatements::step(ReportRun &run) {
    if (m_pdfFailed) return false;
    if (!m_walk->next()) return m_walk->failed() ? readFailed(run) : false;
    const MemberCU m = m_mem->rec;
    Decimal opening, preYtd, ytd;
    if (!GETBALANCE(m_db, QString::number(m.ACCTNUM), opening, preYtd, ytd, FROMDATE - 1))
        return readFailed(run);
    opening = opening.rounded(2);

    // One walk from the earlier of the year's and the period's first day gives both the
    // period's lines and the year's totals.
    const qint32 yearStart = Clock::dayNumber(Clock::year(TODATE), 1, 1);
    MovementSums period, year;
    QList<Line> lines;
    Decimal running = opening;
    Trans &t = m_tra->rec;
    m_tra->clear();
    t.ACCTNUM = m.ACCTNUM;
    t.TRANSDATE = qMin(yearStart, FROMDATE);
    m_tra->set(Trans::AcctDateRevKey, 2);
    while (m_tra->next()) {
        if (t.ACCTNUM != m.ACCTNUM || t.TRANSDATE > TODATE) break;
        if (t.TRANSDATE >= yearStart) year.add(t.TRANSTYPE, t.TRANSAMOUNT);
        if (t.TRANSDATE < FROMDATE) continue;
        period.add(t.TRANSTYPE, t.TRANSAMOUNT);
        running += t.TRANSAMOUNT;
        lines << Line{t.TRANSDATE, describe(t), t.TRANSAMOUNT.rounded(2), running.rounded(2)};
    }
    if (m_tra->failed()) return readFailed(run);

    if (SKIPIDLE && lines.isEmpty() && running.isZero()) {
        ++SKIPPED;
        return true;
    }
    const qsizetype firstPage = run.report().pages().size();
    draw(m, opening, lines, period, year);
    ++PRINTED;
    if (!PDFFOLDER.isEmpty() && !savePdf(run, m.ACCTNUM, firstPage)) return false;
    return true;
}

void ParticipantStatements::draw(const MemberCU &m, const Decimal &opening, const QList<Line> &lines,
                                 const MovementSums &period, const MovementSums &year) {
    report::BandReport &b = *m_bands;
    const int firstPage = b.pageNumber();
    const QString account = kAccount.arg(m.ACCTNUM);
    const QString span = kPeriod.arg(date(FROMDATE), date(TODATE));
    const QStringList address = MemberFormat::addressLines(m);
    const QStringList fund = m_fund;
    const QString message = MESSAGE.trimmed();
    const int w = kRight - kLeft;
    auto pageText = [firstPage](report::Report &r) { return kPage.arg(r.pageNumber() - firstPage + 1); };

    b.setPageHeader({kFirstHeader, [=](report::Report &r, int top) {
                         int y = top;
                         for (int i = 0; i < fund.size(); ++i) {
                             r.text(kLeft, y, fund[i], i == 0 ? kFundFont : kTextFont);
                             y += i == 0 ? kLine + kLine / 2 : kLine;
                         }
                         r.text(kLeft, top, kStatement, kTitleFont, report::Align::Right, w);
                         r.text(kLeft, top + 2 * kLine, account, kTextFont, report::Align::Right, w);
                         r.text(kLeft, top + 3 * kLine, span, kTextFont, report::Align::Right, w);
                         r.text(kLeft, top + 4 * kLine, pageText(r), kTextFont, report::Align::Right, w);
                         for (int i = 0; i < address.size(); ++i)
                             r.text(kWindowX, kWindowY + i * kLine, address[i], kAddressFont);
                         if (!message.isEmpty())
                             r.text(kLeft, top + kFirstHeader - 4 * kLine, message, kTextFont);
                         drawTitles(r, top + kFirstHeader - 2 * kLine);
                     }});
    auto row = [&](const QString &text, bool bold = false) {
        b.print({kLine, [text, bold](report::Report &r, int top) {
                     r.text(kLeft, top, text, bold ? kLineBold : kLineFont);
                 }});
    };
    row(detail(date(FROMDATE), kStartBalance, {}, amount(opening)), true);
    // The rest of this statement's pages open with the short header.
    const QString name = MemberFormat::mailName(m);
    b.setPageHeader({kNextHeader, [=](report::Report &r, int top) {
                         r.text(kLeft, top, fund.value(0), kFundFont);
                         r.text(kLeft, top, kContinued, kTextFont, report::Align::Right, w);
                         r.text(kLeft, top + 2 * kLine, name + QStringLiteral("   ") + account, kTextFont);
                         r.text(kLeft, top + 2 * kLine, pageText(r), kTextFont, report::Align::Right, w);
                         r.text(kLeft, top + 3 * kLine, span, kTextFont);
                         drawTitles(r, top + 5 * kLine);
                     }});
    for (const Line &l : lines) row(detail(date(l.date), l.desc, amount(l.amount), amount(l.balance)));
    if (lines.isEmpty()) row(detail({}, kNoActivity, {}, {}));
    const Decimal closing = lines.isEmpty() ? opening : lines.last().balance;
    row(detail(date(TODATE), kEndBalance, {}, amount(closing)), true);

    // The summary stays in one piece.
    QStringList sums{QString(), detail({}, kSummary, kThisPeriod, kYearToDate)};
    for (Movement k : kShown) sums << detail({}, movementName(k), amount(period[k]), amount(year[k]));
    b.print({int(sums.size()) * kLine, [sums](report::Report &r, int top) {
                 for (int i = 0; i < sums.size(); ++i)
                     if (!sums[i].isEmpty()) r.text(kLeft, top + i * kLine, sums[i], i == 1 ? kLineBold : kLineFont);
             }});
    b.breakPage();
}

bool ParticipantStatements::savePdf(ReportRun &run, qint32 acct, qsizetype firstPage) {
    const QString file = QDir(PDFFOLDER).filePath(kPdfName.arg(acct));
    const QStringList all = run.report().pages();
    QPdfWriter writer(file);
    if (run.report().failed() || !report::printPages(writer, all.mid(firstPage))) {
        m_dialogs.message(kTitle, kPdfFailed.arg(acct).arg(QDir::toNativeSeparators(file)), Dlg::Error);
        m_pdfFailed = true;
        run.stop();
        return false;
    }
    ++SAVED;
    return true;
}

void ParticipantStatements::end(ReportRun &) {
    if (!m_pdfFailed) m_bands->finish();
}

ParticipantStatementsWindow::ParticipantStatementsWindow(storage::Database &db, Dialogs &dialogs,
                                                         QWidget *parent)
    : PeriodWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    addSelection();
    addPeriod();
    m_skip = new QCheckBox(kSkipPrompt, this);
    m_skip->setObjectName("leaveOutIdle");
    m_skip->setChecked(choices().flag(kSkipKey, false));
    addRow({}, m_skip);
    m_message = new QLineEdit(choices().text(kMessageKey), this);
    m_message->setObjectName("message");
    addRow(kMessagePrompt, m_message);
    auto *folderRow = new QWidget(this);
    auto *folderLayout = new QHBoxLayout(folderRow);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    m_folder = new QLineEdit(choices().text(kFolderKey), folderRow);
    m_folder->setObjectName("pdfFolder");
    auto *browse = new QPushButton(kBrowse, folderRow);
    browse->setObjectName("browseFolder");
    folderLayout->addWidget(m_folder);
    folderLayout->addWidget(browse);
    addRow(kFolderPrompt, folderRow);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = m_dialogs.folderName(kFolderCaption, m_folder->text());
        if (!chosen.isEmpty()) m_folder->setText(chosen);
    });
    finishLayout();
}

bool ParticipantStatementsWindow::readChoices() {
    qint32 from = 0, to = 0;
    if (!readPeriod(from, to)) return false;
    const QString folder = m_folder->text().trimmed();
    if (!folder.isEmpty() && !QDir(folder).exists()) {
        m_dialogs.message(windowTitle(), kNoFolder.arg(folder), Dlg::Exclamation);
        m_folder->setFocus();
        return false;
    }
    m_logic.selection = memberSelection();
    m_logic.FROMDATE = from;
    m_logic.TODATE = to;
    m_logic.SKIPIDLE = m_skip->isChecked();
    m_logic.MESSAGE = m_message->text();
    m_logic.PDFFOLDER = folder;
    return true;
}

void ParticipantStatementsWindow::storeChoices(ReportChoices &c) {
    storePeriod(c, m_logic.FROMDATE, m_logic.TODATE);
    c.setFlag(kSkipKey, m_logic.SKIPIDLE);
    c.setText(kMessageKey, m_logic.MESSAGE);
    c.setText(kFolderKey, m_logic.PDFFOLDER);
}

void ParticipantStatementsWindow::runReport() { m_logic.run(); }

void PARTSTMTWIN() { startReportWindow(new ParticipantStatementsWindow(App::db(), App::dialogs())); }
