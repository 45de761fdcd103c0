#pragma once
// The lines of the diskette report that a 1099 run leaves for its reports and forms.
#include "platform/decimal.h"

#include <QList>
#include <QString>

namespace Tax {

// One payee and distribution code, already consolidated (one B record of the file).
struct DiskLine {
    QString PARTNAME;  // "LAST, FIRST"
    QString SSNUM;     // the member's SSN; the account number on a 1099-INT line
    Decimal TOTALDIST, TOTALTAX, TOTALTAXABLEAMOUNT;
    QString DT;        // the distribution code (1099-R)
    qint32 ACCTNUM = 0; // the member the line was made for
};

// The lines of the last run, shared by the run and the reports that print them.
QList<DiskLine> &DISKRPT();

} // namespace Tax
