#include "registry.h"

#include "common/procedures.h"
#include "contract/contractors.h"
#include "ledger/adminfees.h"
#include "ledger/changeacctnum.h"
#include "ledger/dividends.h"
#include "ledger/transdesc.h"
#include "ledger/undoposting.h"
#include "local/locals.h"
#include "member/members.h"
#include "member/viewshareinfo.h"
#include "payroll/payrollscreen.h"
#include "payroll/withdrawal.h"
#include "payroll/withdrawcodes.h"
#include "settings.h"
#include "shell/maintenance/memberids.h"
#include "shell/maintenance/missingtrans.h"
#include "shell/maintenance/transbalance.h"
#include "toolbox/tools/users.h"
// The standard reports.
#include "reports/partlisting.h"
#include "reports/parttotals.h"
#include "reports/statements.h"

void registerProcedures() {
    Procedures::add("BROWSELOCALS", BROWSELOCALS);
    Procedures::add("BROWSECONTRACTORINFO", BROWSECONTRACTORINFO);
    Procedures::add("BROWSEMEMBERS", BROWSEMEMBERS);
    Procedures::add("VIEWSHAREINFO", VIEWSHAREINFO);
    Procedures::add("BROWSETRANSDESC", BROWSETRANSDESC);
    Procedures::add("ENTERDIVIDENDS", ENTERDIVIDENDS);
    Procedures::add("UNDOPOSTING", UNDOPOSTING);
    Procedures::add("PAYROLLSCREEN", PAYROLLSCREEN);
    Procedures::add("WITHDRAWAL", WITHDRAWAL);
    Procedures::add("BROWSEWITH", BROWSEWITH);
    Procedures::add("BROWSEUSERS", BROWSEUSERS);
    Procedures::add("ADMINISTRATIONFEES", ADMINISTRATIONFEES);
    Procedures::add("EDITCUINFO", EDITCUINFO);
    Procedures::add("EDITMISCPROMPTS", EDITMISCPROMPTS);
    Procedures::add("ABOUT", ABOUT);
    Procedures::add("MISSINGMEMBERTRANS", MISSINGMEMBERTRANS);
    Procedures::add("RENUMMEMBERID", RENUMMEMBERID);
    Procedures::add("REINDEXMEMBER", REINDEXMEMBER);
    Procedures::add("BALANCETRANSACTIONS", BALANCETRANSACTIONS);
    Procedures::add("CHANGEACCTNUM", CHANGEACCTNUM);
    // The standard reports.
    Procedures::add("PARTLISTINGWIN", PARTLISTINGWIN);
    Procedures::add("PARTSTMTWIN", PARTSTMTWIN);
    Procedures::add("PARTTOTALWIN", PARTTOTALWIN);
}
