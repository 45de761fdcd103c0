#pragma once
// "Dividend Information": every open account's dividend for a period in proportion to its
// average daily balance, the trial report, and the posting of the dividends (type -5).
#include "data/periodsums.h"
#include "data/records.h"
#include "platform/dialogs.h"

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

// What a dividend window hands its report: the period, rate and heading, set before each report.
struct DividendGlobals {
    qint32 BEGINDATE = 0;
    qint32 ENDDATE = 0;
    Decimal DIVIDENDRATE{0, 4}; // the rate in percent, as printed
    QString REPORTHEADING;
};

// One account's dividend, in the order of calculation (ascending account number).
struct PostingEntry {
    QString ACCTNUM; // the account number as text
    QString NAME;    // last name then first name, no separator; only for sorting
    qint32 TRANSDATE = 0;
    Decimal TRANSAMOUNT{0, 2};
    qint32 TRANSTYPE = TransType::Dividend;
    QString DESC;
    qint32 TRANSTIME = 0;
    QString USERID;
};
using PostingList = QList<PostingEntry>;

// Prints a window's posting list under its report variables; the default is DIVIDENDREPORT.
// Each window has its own list, so two windows open at once never post or print each other's.
using DividendReportCall = std::function<void(const DividendGlobals &, const PostingList &)>;

namespace Dividends {
// Dividend of an account from its balance-days sum: the average daily balance to the cent, times
// the days again to the cent, times rate / 100 / days rounded once to the cent.
Decimal dividend(const Decimal &balanceDays, qint32 days, const Decimal &percent);
// "Dividend For (01/01/2007 - 12/31/2007) AT 5.25%"
QString description(qint32 begin, qint32 end, const Decimal &percent);
// A number as plain text: no padding, no trailing zeros ("5.25", "5", "-0.5").
QString plain(const Decimal &value);
} // namespace Dividends

class EnterDividendsLogic {
public:
    struct Values {
        Decimal DIVPERCENTAGE{0, 6};
        qint32 DIVIDENDDATE = 0;
        qint32 BEGINDATE = 0;
        qint32 ENDDATE = 0;
        Decimal TOTALDIVS{0, 2};
        qint32 TOTALPARTS = 0;
        QString PERCENTSTRING;
        QString CALCDIVSTRING;
    };

    EnterDividendsLogic(storage::Database &db, Dialogs &dialogs, DividendGlobals &glo,
                        PostingList &list, DividendReportCall report);

    Values LOC;
    // Told every ~20 ms during a calculation or a posting, so the window can repaint.
    std::function<void()> progress;

    // Opening: rate 0, every date today, nothing calculated.
    void open();
    // "&Trial": rebuilds the posting list. False (after a message) when the period is unusable.
    bool calculate();
    bool calculated() const { return m_calculated; }
    // The "Sort Report ..." question, applied to the posting list.
    void sortQuestion();
    // "&Print Trial"
    void trialReport();
    // "&Post": the list of the last calculation in one database transaction, then the posting
    // report. When the dividend date already holds dividends, asks first. True when posted (the
    // window closes).
    bool post();

    static const QString &calculatingText();
    static const QString &postingText();

private:
    // Nothing when the account's records could not be read (lastError() says why).
    std::optional<Decimal> dividendOf(storage::DataFile<Trans> &tra, qint32 acctNum);
    // How many accounts hold dividends dated `date`; -1 when Trans cannot be read.
    qint64 accountsPaidOn(qint32 date);
    void report(const QString &heading);

    storage::Database &m_db;
    Dialogs &m_dialogs;
    DividendGlobals &GLO;
    PostingList &POSTQ;
    DividendReportCall m_report;
    bool m_calculated = false;
    Values m_calculatedWith; // the period and rate of the list, for its reports
};

class QLabel;
class QLineEdit;
class QPushButton;

// "Dividend Information"
class EnterDividendsWindow : public QWidget {
    Q_OBJECT
public:
    EnterDividendsWindow(storage::Database &db, Dialogs &dialogs, DividendReportCall report,
                         QWidget *parent = nullptr);
    EnterDividendsLogic &logic() { return m_logic; }
    QLineEdit *field(const QString &name) const;
    QPushButton *button(const QString &text) const;
    QLabel *percentText() const { return m_percent; }
    QLabel *statusText() const { return m_status; }

    void trial();
    void printTrial();
    void post();

private:
    void store(); // entries -> values
    void refresh();
    void showButtons(bool trial, bool calculated);
    DividendGlobals m_glo;
    PostingList m_list;
    EnterDividendsLogic m_logic;
    QLineEdit *m_rate, *m_dividendDate, *m_begin, *m_end, *m_total, *m_parts;
    QLabel *m_percent, *m_status;
    QList<QPushButton *> m_buttons;
};

void ENTERDIVIDENDS();
