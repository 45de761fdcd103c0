#pragma once
// A report window that asks for a period: from and to dates, remembered, by default the last
// full quarter; a period whose first day is after its last is refused.
#include "reportwindow.h"

class PeriodWindow : public ReportWindow {
    Q_OBJECT
public:
    PeriodWindow(storage::Database &db, Dialogs &dialogs, const QString &title, const QString &procedure,
                 QWidget *parent = nullptr);

    // The last full quarter before `today`: first and last day.
    static std::pair<qint32, qint32> lastQuarter(qint32 today);

    QLineEdit *fromDate() const { return m_from; }
    QLineEdit *toDate() const { return m_to; }

protected:
    // Adds the two dates as last chosen.
    void addPeriod();
    // The dates typed; false after saying what is wrong.
    bool readPeriod(qint32 &from, qint32 &to);
    void storePeriod(ReportChoices &choices, qint32 from, qint32 to);

private:
    QLineEdit *m_from = nullptr, *m_to = nullptr;
};
