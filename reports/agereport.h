#pragma once
// "Participant Age Report": each selected member's age on a chosen date from the birth date, in
// years and months, within an age range (59 1/2 and over, 73 and over...); members without a
// birth date listed apart; the count in each age band.
#include "reportwindow.h"

#include <memory>

class QSpinBox;

namespace Age {
// Whole months of age on `on` for a birth on `birth`. A month's birthday is reached on the same
// day of the month, or on the month's last day when it has no such day (February 29th, the 31st):
// 59 1/2 for a birth on August 31st is reached on the last day of February.
int months(qint32 birth, qint32 on);
// "59 yrs 6 mos"
QString text(int months);
// The bands counted at the end; each starts at its age in months.
struct Band {
    QString name;
    int from; // months
};
const QList<Band> &bands();
} // namespace Age

class AgeReport : public ReportLogic {
public:
    AgeReport(storage::Database &db, Dialogs &dialogs);
    ~AgeReport() override;

    MemberSelection selection;
    qint32 ASOFDATE = 0;   // age and balance on this day
    int FROMMONTHS = 0;    // youngest age taken, in months (59 1/2 = 714)
    int TOMONTHS = -1;     // oldest age taken, in months; -1 = no limit

    int COUNT = 0;          // members in the range
    int NOBIRTHDATE = 0;    // members without a birth date
    QList<int> BANDCOUNTS;  // members in the range per Age::bands()
    Decimal TOTAL{0, 2};

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    void startDrawing(ReportRun &run) override;
    bool step(ReportRun &run) override;
    void end(ReportRun &run) override;

private:
    bool balance(const MemberCU &m, Decimal &out);
    QStringList line(const MemberCU &m, const QString &age, const Decimal &balance) const;

    std::unique_ptr<storage::DataFile<MemberCU>> m_mem;
    std::unique_ptr<MemberWalk> m_walk;
    std::unique_ptr<Listing> m_listing;
    QList<QStringList> m_withoutBirthDate;
};

class AgeReportWindow : public ReportWindow {
    Q_OBJECT
public:
    AgeReportWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    AgeReport &logic() { return m_logic; }
    QLineEdit *asOfDate() const { return m_date; }
    QSpinBox *fromYears() const { return m_fromYears; }
    QSpinBox *fromMonths() const { return m_fromMonths; }
    QSpinBox *toYears() const { return m_toYears; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    AgeReport m_logic;
    QLineEdit *m_date;
    QSpinBox *m_fromYears, *m_fromMonths, *m_toYears;
};

void PARTAGEWIN();
