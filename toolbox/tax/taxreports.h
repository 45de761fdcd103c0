#pragma once
// The reports of a 1099 run, all drawn from the lines the run left in DISKRPT(): the 1099-R
// diskette report, the 1099-R forms in either of two layouts, and the 1099-INT diskette report.
// None of them reads a transaction or changes data, DISKRPT() included (the run empties it
// when it is done); each goes through the report run.
#include "common/reportrun.h"
#include "platform/decimal.h"

#include <functional>

namespace storage {
class Database;
}

namespace Tax {

// The two layouts of the 1099-R form: the second has narrower amounts, a wider account number
// and other positions on the page. Each can be moved to fit the stationery (PENSION.INI).
enum class FormLayout { First = 1, Second = 2 };

// "1099-R Diskette Report": every line in order, then "Name Total =" with the count and totals.
ReportRun::Outcome DISKETTERPT(storage::Database &db, Dialogs &dialogs);

// One 1099-R form per line, in the given layout.
ReportRun::Outcome PRINT1099R(storage::Database &db, Dialogs &dialogs,
                              FormLayout layout = FormLayout::First);

// What the 1099-R run calls once "Would You Like To Print 1099-R Forms ?" is answered Yes: asks
// which layout to print (the one chosen last time is the default), remembers the answer in
// PENSION.INI and prints the forms. Cancelled when the question is cancelled.
ReportRun::Outcome PRINT1099RFORMS(storage::Database &db, Dialogs &dialogs);

// "1099-INT Diskette Report": the lines in name order, then the two totals the run computed
// (the interest reported on the file and all interest paid, reported or not).
ReportRun::Outcome INTDISKETTERPT(storage::Database &db, Dialogs &dialogs,
                                  const Decimal &totalReported, const Decimal &totalPaid);

// Lets a test see the pages of these reports (it replaces preview and print).
std::function<void(ReportRun &)> &reportTestHook();

} // namespace Tax

// Started by name: the same on the program's database and dialogs.
void DISKETTERPT();
void PRINT1099R();
void PRINT1099R2();
