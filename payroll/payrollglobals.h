#pragma once
// What the payroll windows share within the module: the payroll being entered (PayrollGlobals,
// the module's GLO variables), its lines (PAYQUEUE), and the lookups the windows run in other
// modules' lists. common/app.h has the frame's own GLO(); these are the payroll module's.
#include "data/records.h"
#include "platform/dialogs.h"
#include "platform/text.h"

#include <QList>
#include <functional>

// A posted payroll's description is "(" + contractor + " For " + payroll date + ")"; the review
// finds the contractor and the date again around the last " For ".
inline const QString PayrollDescriptionFor = QStringLiteral(" For ");

struct PayrollGlobals {
    QString CONTRACTORNAME;      // as typed or picked
    qint32 CONTRACTORNUMBER = 0; // CON:AUTONUM of the payroll's contractor
    qint32 PAYROLLDATE = 0;      // payroll period date
    Decimal PAYROLLAMOUNT{0, 2}; // amount of the check
    QString TRANSDESC;           // transaction description picked for the entry
    QString TRANSCODE;           // its code, as text
    qint32 POSTINGDATE = 0;
    qint32 LOOKUPDATE = 0;     // posting date searched by the review
    quint8 LOADDATA = 0;       // 1 once the saved payroll has been loaded
    QString TITLE;             // title line of the payroll report
    QString PAYROLLDATESTRING; // payroll date as text, for a re-print
};

// One member deposit of the payroll, in the order the lines were added.
struct PayQueueEntry {
    QString PATNUM; // the member's SSN, "###-##-####"
    QString NAME;
    qint32 DATE = 0; // payroll date
    Decimal AMOUNT{0, 2};
    qint32 CONTRACTOR = 0;
    qint32 POSTINGDATE = 0;
};
using PayQueue = QList<PayQueueEntry>;

// Digits before the point: a check (PayData, 8 bytes) and a line (PAYQ:AMOUNT, DECIMAL(13,2)).
inline constexpr int PayrollCheckDigits = 13;
inline constexpr int PayrollLineDigits = 11;

// Leaving a payroll with unposted lines asks first ("Unsaved Work ..."); true once the lines are
// gone (or there were none), false when the operator keeps them.
bool dropUnpostedLines(Dialogs &dialogs, PayQueue &queue);

// The module's one copy of each, kept between windows.
PayrollGlobals &PayrollGLO();
PayQueue &PAYQUEUE();

// Picks a record from another module's list in select mode; false when the operator cancelled.
// Tests replace them; the defaults run the contractor, transaction-code and member browses.
struct PayrollLookups {
    std::function<bool(Contractor &)> contractor;
    std::function<bool(TransDesc &)> transDesc;
    std::function<bool(MemberCU &)> member;
    static PayrollLookups browses();
};

// Prints the payroll report; the default is PAYROLLRPT.
using PayrollReportCall = std::function<void(qint32 contractorNumber, qint32 payrollDate)>;

// "Lastname, Firstname" as payroll lines and reports show a member.
QString lastFirst(const MemberCU &m);
