#include "periodwindow.h"

#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QLineEdit>

namespace {
const QString kFromPrompt = QStringLiteral("From Date:");
const QString kToPrompt = QStringLiteral("To Date:");
const QString kBadPeriod = QStringLiteral("The period's first day is after its last day.");
const QString kFromKey = QStringLiteral("FromDate");
const QString kToKey = QStringLiteral("ToDate");
} // namespace

PeriodWindow::PeriodWindow(storage::Database &db, Dialogs &dialogs, const QString &title,
                           const QString &procedure, QWidget *parent)
    : ReportWindow(db, dialogs, title, procedure, parent) {}

std::pair<qint32, qint32> PeriodWindow::lastQuarter(qint32 today) {
    const int y = Clock::year(today), m = Clock::month(today);
    const qint32 last = Clock::dayNumber(y, (m - 1) / 3 * 3 + 1, 1) - 1;
    return {Clock::dayNumber(Clock::year(last), Clock::month(last) - 2, 1), last};
}

void PeriodWindow::addPeriod() {
    const auto [from, to] = lastQuarter(Clock::today());
    m_from = addDate(kFromPrompt, choices().date(kFromKey, from));
    m_from->setObjectName("fromDate");
    m_to = addDate(kToPrompt, choices().date(kToKey, to));
    m_to->setObjectName("toDate");
}

bool PeriodWindow::readPeriod(qint32 &from, qint32 &to) {
    if (!readDate(m_from, from) || !readDate(m_to, to)) return false;
    if (from > to) {
        m_dialogs.message(windowTitle(), kBadPeriod, Dlg::Exclamation);
        m_from->setFocus();
        return false;
    }
    return true;
}

void PeriodWindow::storePeriod(ReportChoices &choices, qint32 from, qint32 to) {
    choices.setDate(kFromKey, from);
    choices.setDate(kToKey, to);
}
