#include "menutable.h"

namespace Frame {
namespace {
MenuItem menu(const QString &text, bool hidden = false, const QString &id = {}) {
    return {Kind::Menu, text, {}, How::Start, hidden, id};
}
MenuItem sub(const QString &text, bool hidden = false, const QString &id = {}) {
    return {Kind::Submenu, text, {}, How::Start, hidden, id};
}
MenuItem end() { return {Kind::EndSubmenu, {}}; }
MenuItem sep(bool hidden = false) { return {Kind::Separator, {}, {}, How::Start, hidden}; }
MenuItem start(const QString &text, const QString &proc, bool hidden = false) {
    return {Kind::Entry, text, proc, How::Start, hidden};
}
MenuItem call(const QString &text, const QString &proc, bool hidden = false, const QString &id = {}) {
    return {Kind::Entry, text, proc, How::Call, hidden, id};
}
MenuItem external(const QString &text, const QString &program, bool hidden = false) {
    return {Kind::Entry, text, program, How::External, hidden};
}
} // namespace

const QList<MenuItem> &menuTable() {
    static const QList<MenuItem> table{
        menu("&Local"),
        start("&Add/Edit/Delete Local Information", "BROWSELOCALS"),
        menu("&Contractor"),
        start("&Add/Edit/Delete Contractor Information", "BROWSECONTRACTORINFO"),
        menu("&Participant"),
        start("&Add/Edit/Delete Participant Information", "BROWSEMEMBERS"),
        sep(),
        start("&View Participant Account", "VIEWSHAREINFO"),
        menu("&Transactions"),
        start("&Add/Edit/Delete Trans Descriptions", "BROWSETRANSDESC"),
        menu("&Withdrawals"),
        call("Schwab Transfer", "WITHDRAWTOSCHWAB", true, SchwabTransferId),
        start("&Withdrawal", "WITHDRAWAL"),
        sep(),
        start("Withdrawal &Code Information", "BROWSEWITH"),
        menu("&Payroll"),
        start("&Enter Payroll Information", "PAYROLLSCREEN"),
        menu("&Dividends"),
        start("&Post Dividends", "ENTERDIVIDENDS"),
        start("&Undo Dividend Posting", "UNDOPOSTING"),
        menu("&Reports"),
        start("Missing Member Transactions", "MISSINGMEMBERTRANS"),
        sub("&Local Information"),
        start("By &Name", "LOCALBYNAMERPT"),
        start("By N&umber", "LOCALBYNUMBERRPT"),
        end(),
        sep(),
        sub("&Contractor Information"),
        start("By &Name", "CONTRACTORRPT"),
        end(),
        sep(),
        sub("&Participant Information"),
        start("Participant Checks", "PRINTCHECKS"),
        start("Participant Checks Renumber", "CHECKRENUMBERWINDOW"),
        start("Participant 1099-INT Forms", "PRINT1099INT"),
        start("Create IRS 1099-INT Diskette", "CREATEELECTRONICFILE2"),
        start("Participant Dormant Report", "DORMANTREPORTWIN"),
        start("Participant &Statements", "PARTSTMTWIN"),
        start("Participant &Labels", "MEMLABWIN"),
        start("Participant &Age Report", "PARTAGEWIN"),
        start("Participant Listing", "PARTLISTINGWIN"),
        start("Participant &Totals Report", "PARTTOTALWIN"),
        end(),
        sep(),
        sub("&Transaction Descriptions"),
        start("By &Code", "TRANSDESCBYCODE"),
        start("By &Description", "TRANSDESCBYDESC"),
        end(),
        menu("&Utilities"),
        start("UARS Download Window", "UARSDOWNLOADWINDOW"),
        start("Re-number MembersID", "RENUMMEMBERID"),
        start("Credit Union Information", "EDITCUINFO"),
        start("&Reindex Member Database.", "REINDEXMEMBER", true),
        sep(true),
        start("&Add/Edit/Delete &Users", "BROWSEUSERS", true),
        sep(),
        start("&Edit Misc Prompts", "EDITMISCPROMPTS"),
        sep(),
        call("&Change Account Number and/or Social Security Number", "CHANGEACCTNUM"),
        sep(),
        external("&Calculator", "Calculator"),
        sep(),
        start("&Create 1099-R Diskette", "CREATEELECTRONICFILE"),
        call("Create 1099-R Diskette Report For Selected Members", "SELECTEDMEMBERSIRSREPORTING"),
        sep(),
        sub("&Import Data"),
        start("Import 968 Data", "IMPORTDATAFOR968"),
        call("Import 667 Data", "IMPORTDATAFOR667", true),
        call("Import 33 Data", "IMPORTDATAFOR33", true),
        sep(),
        start("Import &Member Data", "IMPORTMEMBERS", true),
        start("Import Share &Transaction Data", "IMPORTTRANS", true),
        start("Import &Transaction Codes", "IMPORTTRANSCODES", true),
        end(),
        sep(),
        external("&Backup/Restore Data", "Backup", true),
        sep(true),
        start("Purge Data", "PURGEWINDOW", true),
        sep(),
        sub("&Schwab Data Export", true, SchwabExportId),
        start("Name And Address Dump", "NAMEADDRESSDUMP"),
        start("Payroll Data Dump", "SCHWABDUMP"),
        end(),
        sep(),
        start("Find Missing Account Numbers", "FINDMISSINGACCOUNTNUMBERS"),
        menu("Fees", true, FeesId),
        start("Administration Fees", "ADMINISTRATIONFEES"),
        menu("&Help"),
        start("Balance of All Transactions", "BALANCETRANSACTIONS"),
        start("&About Pension Vestrel", "ABOUT"),
    };
    return table;
}
} // namespace Frame
