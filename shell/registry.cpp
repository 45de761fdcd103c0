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
#include "reports/codelistings.h"
#include "reports/contractorlisting.h"
#include "reports/partlisting.h"
#include "reports/checks.h"
#include "reports/int1099forms.h"
#include "toolbox/tax/electronicfile.h"
#include "toolbox/tax/selectedmembers.h"
#include "toolbox/tax/taxreports.h"

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
    Procedures::add("LOCALBYNAMERPT", LOCALBYNAMERPT);
    Procedures::add("LOCALBYNUMBERRPT", LOCALBYNUMBERRPT);
    Procedures::add("TRANSDESCBYCODE", TRANSDESCBYCODE);
    Procedures::add("TRANSDESCBYDESC", TRANSDESCBYDESC);
    Procedures::add("CONTRACTORRPT", CONTRACTORRPT);
    Procedures::add("PRINTCHECKS", PRINTCHECKS);
    Procedures::add("CHECKRENUMBERWINDOW", CHECKRENUMBERWINDOW);
    Procedures::add("PRINT1099INT", PRINT1099INT);
    Procedures::add("CREATEELECTRONICFILE", CREATEELECTRONICFILE);
    Procedures::add("CREATEELECTRONICFILE2", CREATEELECTRONICFILE2);
    Procedures::add("SELECTEDMEMBERSIRSREPORTING", SELECTEDMEMBERSIRSREPORTING);
    // The 1099-R reports.
    Procedures::add("DISKETTERPT", DISKETTERPT);
    Procedures::add("PRINT1099R", PRINT1099R);
    Procedures::add("PRINT1099R2", PRINT1099R2);
}
