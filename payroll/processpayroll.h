#pragma once
// "Processing Payroll Information ...": the payroll's amount divided among members line by line,
// the trial report, and the posting of the lines as deposits.
#include "payrollglobals.h"
#include "platform/dialogs.h"
#include "platform/storage/database.h"

#include <QDialog>
#include <QHash>

class ProcessPayrollLogic {
public:
    struct Values {
        Decimal PAYROLLAMOUNT{0, 2}; // still to divide; negative after an over-large line
        QString SSNUM;
        QString NAME;
        Decimal DEPOSITAMOUNT{0, 2};
    };
    // Where the window puts the focus after an action.
    enum class Focus { Stay, Ssn, Amount };

    ProcessPayrollLogic(storage::Database &db, Dialogs &dialogs, PayrollGlobals &glo,
                        PayQueue &queue, PayrollLookups lookups, PayrollReportCall report);

    Values LOC;
    MemberCU MEM; // the member last read
    bool memberFound = false;
    const PayQueue &queue() const { return PAYQUEUE; }
    // Told every ~20 ms during a posting with the lines written so far (keeps the window alive).
    std::function<void(int)> progress;

    void open();
    bool postEnabled() const { return LOC.PAYROLLAMOUNT.isZero(); }
    Focus ssnAccepted();
    Focus lookUpMember();
    // The deposit amount got the focus: the line's name becomes "Lastname, Firstname".
    void amountFocused();
    Focus add();
    Focus edit(int index);
    void trialReport();
    // True when the payroll was posted (the window closes).
    bool post();
    // True when the window may close.
    bool cancel();

private:
    bool readMember(const QString &ssn);
    bool reopen(); // the closed-account question; true when the account is open now
    void takeHeader();
    bool writeLines(const QHash<QString, qint32> &accounts, const QString &contractorName,
                    Message &problem, QString &error);

    storage::Database &m_db;
    Dialogs &m_dialogs;
    PayrollGlobals &GLO;
    PayQueue &PAYQUEUE;
    PayrollLookups m_lookups;
    PayrollReportCall m_report;
};

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class ProcessPayrollWindow : public QDialog {
    Q_OBJECT
public:
    ProcessPayrollWindow(storage::Database &db, Dialogs &dialogs, PayrollGlobals &glo,
                         PayQueue &queue, PayrollLookups lookups, PayrollReportCall report,
                         QWidget *parent = nullptr);
    ~ProcessPayrollWindow() override;
    ProcessPayrollLogic &logic() { return m_logic; }
    QLineEdit *field(const QString &name) const;
    QPushButton *button(const QString &text) const;
    QTableWidget *list() const { return m_list; }
    QLabel *waitText() const { return m_wait; }

    void acceptSsn();
    void pickMember();
    void enterAmount();
    void addLine();
    void editLine();
    void printTrial();
    void post();
    void cancel();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void reject() override { cancel(); }

private:
    void store();
    void refresh();
    void focus(ProcessPayrollLogic::Focus f);
    ProcessPayrollLogic m_logic;
    QLineEdit *m_contractor, *m_remaining, *m_date, *m_ssn, *m_name, *m_deposit;
    QLabel *m_wait;
    QTableWidget *m_list;
    QList<QPushButton *> m_buttons;
    bool m_closing = false;
};

void PROCESSPAYROLL();
