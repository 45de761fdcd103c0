#include "agereport.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "data/lookups.h"
#include "memberformat.h"
#include "platform/clock.h"

#include <QLineEdit>
#include <QHBoxLayout>
#include <QSpinBox>

namespace {
const QString kProcedure = QStringLiteral("PARTAGEWIN");
const QString kTitle = QStringLiteral("Participant Age Report");
const QString kAgesOn = QStringLiteral("Ages on %1: %2");
const QString kFromAge = QStringLiteral("%1 and over");
const QString kAgeRange = QStringLiteral("%1 to %2");
const QString kYears = QStringLiteral("%1");
const QString kHalf = QStringLiteral("%1 1/2");
const QString kYearsMonths = QStringLiteral("%1 yrs %2 mos");
const QString kDatePrompt = QStringLiteral("Age As Of:");
const QString kFromPrompt = QStringLiteral("From Age (years, months):");
const QString kToPrompt = QStringLiteral("To Age (years, blank = no limit):");
const QString kDateKey = QStringLiteral("AsOfDate");
const QString kFromKey = QStringLiteral("FromMonths");
const QString kToKey = QStringLiteral("ToYears");
const QString kBadRange = QStringLiteral("The oldest age is below the youngest.");
const QString kWithout = QStringLiteral("Members without a birth date");
const QString kCountLabel = QStringLiteral("Participants in the age range:");
const QString kWithoutLabel = QStringLiteral("Without a birth date:");
const QString kBandLabel = QStringLiteral("  %1:");
const QString kTotalLabel = QStringLiteral("Total Balance:");
constexpr int kMaxYears = 130;

enum Col { Name, Account, Birth, AgeCol, Balance };
const QList<Listing::Column> kColumns{{QStringLiteral("Name"), 30},
                                      {QStringLiteral("Account"), 9, true},
                                      {QStringLiteral("Birth Date"), 10},
                                      {QStringLiteral("Age"), 14},
                                      {QStringLiteral("Balance"), 15, true}};

QString ageWords(int months) {
    return months % 12 == 6 ? kHalf.arg(months / 12) : months % 12 == 0 ? kYears.arg(months / 12)
                                                                       : Age::text(months);
}
} // namespace

namespace Age {
int months(qint32 birth, qint32 on) {
    const int by = Clock::year(birth), bm = Clock::month(birth), bd = Clock::dayOfMonth(birth);
    const int oy = Clock::year(on), om = Clock::month(on), od = Clock::dayOfMonth(on);
    int total = (oy - by) * 12 + (om - bm);
    const int monthDay = qMin(bd, Clock::dayOfMonth(Clock::lastDayOfMonth(on)));
    if (od < monthDay) --total;
    return total;
}

QString text(int months) { return kYearsMonths.arg(months / 12).arg(months % 12); }

const QList<Band> &bands() {
    static const QList<Band> list{{QStringLiteral("Under 55"), 0},
                                  {QStringLiteral("55 to under 59 1/2"), 55 * 12},
                                  {QStringLiteral("59 1/2 to under 65"), 59 * 12 + 6},
                                  {QStringLiteral("65 to under 73"), 65 * 12},
                                  {QStringLiteral("73 and over"), 73 * 12}};
    return list;
}
} // namespace Age

AgeReport::AgeReport(storage::Database &db, Dialogs &dialogs) : ReportLogic(db, dialogs) {}
AgeReport::~AgeReport() = default;

QString AgeReport::reportName() const { return kProcedure; }
QString AgeReport::heading() const { return kTitle; }

bool AgeReport::begin(ReportRun &run) {
    m_mem = std::make_unique<storage::DataFile<MemberCU>>(m_db);
    if (!CHECKOPEN(*m_mem, m_dialogs)) return false;
    run.recordsToProcess = m_mem->count();
    m_walk = std::make_unique<MemberWalk>(*m_mem, selection);
    COUNT = NOBIRTHDATE = 0;
    BANDCOUNTS = QList<int>(Age::bands().size(), 0);
    TOTAL = Decimal(0, 2);
    m_withoutBirthDate.clear();
    return true;
}

void AgeReport::startDrawing(ReportRun &run) {
    const QString range = TOMONTHS < 0 ? kFromAge.arg(ageWords(FROMMONTHS))
                                       : kAgeRange.arg(ageWords(FROMMONTHS), ageWords(TOMONTHS));
    m_listing = std::make_unique<Listing>(
        run.report(), kTitle,
        QStringList{selection.describe(), kAgesOn.arg(Cell::date(ASOFDATE), range)},
        kColumns);
}

bool AgeReport::balance(const MemberCU &m, Decimal &out) {
    Decimal preYtd, ytd;
    return GETBALANCE(m_db, QString::number(m.ACCTNUM), out, preYtd, ytd, ASOFDATE);
}

QStringList AgeReport::line(const MemberCU &m, const QString &age, const Decimal &bal) const {
    return {MemberFormat::listName(m), QString::number(m.ACCTNUM),
            Cell::date(m.BIRTHDATE), age,
            Cell::amount(bal)};
}

bool AgeReport::step(ReportRun &run) {
    if (!m_walk->next()) return m_walk->failed() ? readFailed(run) : false;
    const MemberCU m = m_mem->rec;
    Decimal bal;
    if (m.BIRTHDATE <= 0) {
        if (!balance(m, bal)) return readFailed(run);
        ++NOBIRTHDATE;
        m_withoutBirthDate << line(m, {}, bal);
        return true;
    }
    const int age = Age::months(m.BIRTHDATE, ASOFDATE);
    if (age < FROMMONTHS || (TOMONTHS >= 0 && age > TOMONTHS)) return true;
    if (!balance(m, bal)) return readFailed(run);
    ++COUNT;
    TOTAL += bal;
    for (qsizetype b = Age::bands().size() - 1; b >= 0; --b)
        if (age >= Age::bands()[b].from) {
            ++BANDCOUNTS[b];
            break;
        }
    m_listing->row(line(m, Age::text(age), bal));
    return true;
}

void AgeReport::end(ReportRun &) {
    if (COUNT == 0 && NOBIRTHDATE == 0) {
        m_listing->finish();
        return;
    }
    if (!m_withoutBirthDate.isEmpty()) {
        m_listing->blank();
        m_listing->title(kWithout);
        for (const QStringList &l : m_withoutBirthDate) m_listing->row(l);
    }
    QList<QPair<QString, QString>> totals{{kCountLabel, Cell::count(COUNT)}};
    for (int b = 0; b < Age::bands().size(); ++b)
        if (BANDCOUNTS[b] > 0) totals << qMakePair(kBandLabel.arg(Age::bands()[b].name), Cell::count(BANDCOUNTS[b]));
    totals << qMakePair(kWithoutLabel, Cell::count(NOBIRTHDATE))
           << qMakePair(kTotalLabel, Cell::amount(TOTAL));
    m_listing->totals(totals, Balance);
    m_listing->finish();
}

AgeReportWindow::AgeReportWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : ReportWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    addSelection();
    m_date = addDate(kDatePrompt, choices().date(kDateKey, Clock::today()));
    m_date->setObjectName("asOfDate");
    const int from = int(choices().number(kFromKey, 59 * 12 + 6));
    m_fromYears = new QSpinBox(this);
    m_fromYears->setObjectName("fromYears");
    m_fromYears->setRange(0, kMaxYears);
    m_fromYears->setValue(from / 12);
    m_fromMonths = new QSpinBox(this);
    m_fromMonths->setObjectName("fromMonths");
    m_fromMonths->setRange(0, 11);
    m_fromMonths->setValue(from % 12);
    auto *fromRow = new QWidget(this);
    auto *h = new QHBoxLayout(fromRow);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(m_fromYears);
    h->addWidget(m_fromMonths);
    addRow(kFromPrompt, fromRow);
    // The lowest value of the spin box shows blank: no upper limit.
    m_toYears = new QSpinBox(this);
    m_toYears->setObjectName("toYears");
    m_toYears->setRange(-1, kMaxYears);
    m_toYears->setSpecialValueText(QStringLiteral(" "));
    m_toYears->setValue(int(choices().number(kToKey, -1)));
    addRow(kToPrompt, m_toYears);
    finishLayout();
}

bool AgeReportWindow::readChoices() {
    if (!readDate(m_date, m_logic.ASOFDATE)) return false;
    const int from = m_fromYears->value() * 12 + m_fromMonths->value();
    const int toYears = m_toYears->value();
    // "To 64" takes everyone who is 64, up to the day before the 65th birthday.
    const int to = toYears < 0 ? -1 : toYears * 12 + 11;
    if (to >= 0 && to < from) {
        m_dialogs.message(windowTitle(), kBadRange, Dlg::Exclamation);
        m_toYears->setFocus();
        return false;
    }
    m_logic.FROMMONTHS = from;
    m_logic.TOMONTHS = to;
    m_logic.selection = memberSelection();
    return true;
}

void AgeReportWindow::storeChoices(ReportChoices &c) {
    c.setDate(kDateKey, m_logic.ASOFDATE);
    c.setNumber(kFromKey, m_logic.FROMMONTHS);
    c.setNumber(kToKey, m_toYears->value());
}

void AgeReportWindow::runReport() { m_logic.run(); }

void PARTAGEWIN() { startReportWindow(new AgeReportWindow(App::db(), App::dialogs())); }
