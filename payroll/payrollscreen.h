#pragma once
// "Payroll Information": the payroll's header (contractor, dates, amount) before its division,
// the saved payroll, and the review of the payrolls posted on a date: re-print, rename to another
// contractor, or gather its lines as the start of a new payroll.
#include "payrollglobals.h"
#include "platform/dialogs.h"
#include "platform/storage/database.h"

#include <QWidget>

struct RetrievedPayroll {
    QString PAYROLLDESCRIPTION; // the description its deposits share
    Decimal AMOUNT{0, 2};       // their sum
};

struct ContractorEntry {
    QString CONTRACTORNAME;
    qint32 CONTRACTORID = 0;
};

class PayrollScreenLogic {
public:
    // Where the window puts the focus after a field was accepted.
    enum class Focus { Stay, Back, Next };

    PayrollScreenLogic(storage::Database &db, Dialogs &dialogs, bool admin, PayrollGlobals &glo,
                       PayQueue &queue, PayrollLookups lookups, PayrollReportCall report);

    Contractor CON; // the contractor last read or picked
    TransDesc TRD;  // the transaction code last read or picked
    QList<RetrievedPayroll> PAYROLLRETRIEVEDQUEUE;
    QList<ContractorEntry> CONTRACTORQUEUE;
    QString CURRENTCONTRACTOR;
    // Shows (true) and closes (false) the small "Gathering Data ..." window around a search.
    std::function<void(bool)> gatherWindow;

    void open();
    Focus contractorAccepted();
    bool lookUpContractor();
    void transDescAccepted();
    bool lookUpTransDesc();
    // False (after its message) when the posting date is out of range.
    bool postingDateAccepted();
    // A date as typed into one of the window's date fields; false after "Invalid Date".
    bool takeDate(const QString &typed, qint32 &day);
    bool savedDataAvailable();
    // False when nothing was loaded.
    bool loadSavedData();
    // Stores the payroll's PayData record; true when the division may start.
    bool process();
    // Every way out of the window: unposted lines are given up only when the operator agrees.
    // True when the window may close.
    bool leave();

    // The review.
    bool retrieve();
    // The contractor the description names.
    bool contractorOf(const QString &description, Contractor &found);
    // Date text of a description: what follows "For" (from the blank after it) up to ")".
    static QString payrollDateText(const QString &description);
    bool reprint(int index);          // true: the window closes
    bool startRename(int index);      // true: the Rename tab is shown
    void rename(int contractorIndex); // asks, renames; the lists are emptied either way
    void cancelRename();
    bool gather(int index);

private:
    template <class F> bool readPosted(const QString &description, F each);
    bool dateAccepted(qint32 day);
    bool checkFits(); // the check amount fits its field; else "Range Error"

    storage::Database &m_db;
    Dialogs &m_dialogs;
    bool m_admin;
    PayrollGlobals &GLO;
    PayQueue &PAYQUEUE;
    PayrollLookups m_lookups;
    PayrollReportCall m_report;
    QString m_renaming; // description of the payroll being renamed
};

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;

class PayrollScreen : public QWidget {
    Q_OBJECT
public:
    PayrollScreen(storage::Database &db, Dialogs &dialogs, bool admin, PayrollGlobals &glo,
                  PayQueue &queue, PayrollLookups lookups, PayrollReportCall report,
                  QWidget *parent = nullptr);
    ~PayrollScreen() override;
    PayrollScreenLogic &logic() { return m_logic; }
    QLineEdit *field(const QString &name) const;
    QPushButton *button(const QString &text) const;
    QTabWidget *tabs() const { return m_tabs; }
    QTableWidget *payrolls() const { return m_payrolls; }
    QTableWidget *contractors() const { return m_contractors; }
    // What "&Process" runs after storing the payroll; PROCESSPAYROLL unless a test replaces it.
    std::function<void()> runProcess;

    void acceptContractor();
    void pickContractor();
    void acceptTransDesc();
    void pickTransDesc();
    void acceptDate();
    void acceptPostingDate();
    void loadSavedData();
    void process();
    void cancel();
    void retrieve();
    void print();
    void startRename();
    void rename();
    void cancelRename();
    void gather();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool store(); // false after its message when a date cannot be read
    void refresh();
    void showGeneral(bool general);
    PayrollScreenLogic m_logic;
    PayrollGlobals &GLO;
    QTabWidget *m_tabs;
    QLineEdit *m_contractor, *m_payrollDate, *m_amount, *m_transDesc, *m_postingDate, *m_lookupDate;
    QPushButton *m_contractorLookup, *m_transLookup;
    QLabel *m_current;
    QTableWidget *m_payrolls, *m_contractors;
    QList<QPushButton *> m_buttons;
    bool m_busy = false;
};

void PAYROLLSCREEN();
