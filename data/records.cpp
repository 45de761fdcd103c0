#include "records.h"

const Layout<MemberCU> &MemberCU::layout() {
    using R = MemberCU;
    static const Layout<R> l = Layout<R>("MemberCU", "MEM")
        .Long("MEMBERID", &R::MEMBERID)
        .Long("LOCALCODE", &R::LOCALCODE)
        .Long("ACCTNUM", &R::ACCTNUM)
        .String("LASTNAME", 40, &R::LASTNAME)
        .String("FIRSTNAME", 40, &R::FIRSTNAME)
        .String("ADDR1", 40, &R::ADDR1)
        .String("ADDR2", 40, &R::ADDR2)
        .String("CITY", 40, &R::CITY)
        .String("STATE", 2, &R::STATE)
        .String("ZIP", 10, &R::ZIP)
        .String("PHONE1", 20, &R::PHONE1)
        .String("PHONE2", 20, &R::PHONE2)
        .String("SSNUM", 11, &R::SSNUM)
        .Long("BIRTHDATE", &R::BIRTHDATE)
        .String("USERID", 14, &R::USERID)
        .Long("DATEJOINED", &R::DATEJOINED)
        .String("MISC1", 20, &R::MISC1)
        .String("MISC2", 20, &R::MISC2)
        .String("MISC3", 15, &R::MISC3)
        .String("MISC4", 15, &R::MISC4)
        .String("MISC5", 5, &R::MISC5)
        .String("MISC6", 5, &R::MISC6)
        .Long("DATECLOSED", &R::DATECLOSED)
        .String("WARNING", 40, &R::WARNING)
        .String("JOINTOWNER", 25, &R::JOINTOWNER)
        .Byte("WITHDRAWALFLAG", &R::WITHDRAWALFLAG)
        .Memo("Notes", &R::Notes)
        // Account numbers and SSNs are checked for duplicates by the forms and imports.
        .key("AcctNum_Key", {"ACCTNUM"})
        .key("SSNum_Key", {"SSNUM"})
        .key("Name_Key", {"LASTNAME", "FIRSTNAME"}, true)
        .key("LocalAcct_Key", {"LOCALCODE", "ACCTNUM"})
        .key("LocalName_Key", {"LOCALCODE", "LASTNAME", "FIRSTNAME"}, true)
        .key("LocalSSNum_Key", {"LOCALCODE", "SSNUM"});
    return l;
}

const Layout<Trans> &Trans::layout() {
    using R = Trans;
    static const Layout<R> l = Layout<R>("Trans", "TRA")
        .Long("MEMBERID", &R::MEMBERID)
        .Long("ACCTNUM", &R::ACCTNUM)
        .Long("TRANSDATE", &R::TRANSDATE)
        .Dec("TRANSAMOUNT", 8, &R::TRANSAMOUNT)
        .Long("TRANSTYPE", &R::TRANSTYPE)
        .String("DESC", 255, &R::DESC)
        .Long("TRANSTIME", &R::TRANSTIME)
        .String("USERID", 3, &R::USERID)
        .key("Acct_Key", {"ACCTNUM", "-TRANSDATE"})
        .including({"TRANSTYPE", "TRANSAMOUNT"}) // walks over an account's types and amounts
        .key("AcctDateRevKey", {"ACCTNUM", "TRANSDATE"})
        .including({"TRANSAMOUNT"}) // balances sum the index alone
        .key("DateType_Key", {"TRANSDATE", "TRANSTYPE"});
    return l;
}

const Layout<TransDesc> &TransDesc::layout() {
    using R = TransDesc;
    static const Layout<R> l = Layout<R>("TransDesc", "TRD")
        .Long("TRANSCODE", &R::TRANSCODE)
        .String("TRANSDESC", 30, &R::TRANSDESC)
        .Byte("POSITIVE", &R::POSITIVE)
        .key("TransCode_Key", {"TRANSCODE"}, false, true)
        .key("TransDesc_Key", {"TRANSDESC"}, true);
    return l;
}

const Layout<Withdraw> &Withdraw::layout() {
    using R = Withdraw;
    static const Layout<R> l = Layout<R>("Withdraw", "WIT")
        .String("CODE", 1, &R::CODE)
        .String("DESCRIPTION", 200, &R::DESCRIPTION)
        .String("IRSCODE", 1, &R::IRSCODE)
        .Byte("ADDTOIRSFILE", &R::ADDTOIRSFILE)
        .Memo("Instructions", &R::Instructions)
        .key("CodeKeyOrder", {"CODE"}, true, true);
    return l;
}

const Layout<PayData> &PayData::layout() {
    using R = PayData;
    static const Layout<R> l = Layout<R>("PayData", "PAY")
        .Long("ACCTNUM", &R::ACCTNUM)
        .Long("DATE", &R::DATE)
        .Dec("AMOUNT", 8, &R::AMOUNT)
        .key("AcctNumDate", {"ACCTNUM", "DATE"});
    return l;
}

namespace {
template <class R> Layout<R> payLine(const char *name, const char *prefix) {
    return Layout<R>(name, prefix)
        .String("PATNUM", 11, &R::PATNUM)
        .Byte("POSTED", &R::POSTED)
        .Long("DATE", &R::DATE)
        .Dec("AMOUNT", 8, &R::AMOUNT)
        .Long("CONTRACTOR", &R::CONTRACTOR)
        .Long("POSTINGDATE", &R::POSTINGDATE);
}
} // namespace

const Layout<PayBreak> &PayBreak::layout() {
    static const Layout<PayBreak> l =
        payLine<PayBreak>("PayBreak", "PBK").key("PatNum_Key", {"PATNUM"});
    return l;
}

const Layout<PayBackup> &PayBackup::layout() {
    static const Layout<PayBackup> l = payLine<PayBackup>("PayBackup", "PBP")
        .key("PatNum_Key", {"PATNUM"})
        .key("PostingDate_Key", {"POSTINGDATE"})
        .key("ContractorDate_Key", {"CONTRACTOR", "POSTINGDATE"});
    return l;
}

const Layout<Contractor> &Contractor::layout() {
    using R = Contractor;
    static const Layout<R> l = Layout<R>("Contractor", "CON")
        .Long("AUTONUM", &R::AUTONUM)
        .String("NAME", 80, &R::NAME)
        .String("ADDRESS1", 30, &R::ADDRESS1)
        .String("ADDRESS2", 30, &R::ADDRESS2)
        .String("CITY", 30, &R::CITY)
        .String("STATE", 2, &R::STATE)
        .String("ZIP", 10, &R::ZIP)
        .String("PHONE", 20, &R::PHONE)
        .String("FAX", 20, &R::FAX)
        .String("LICNUM", 20, &R::LICNUM)
        .String("CONTACT", 50, &R::CONTACT)
        .key("AutoNum_Key", {"AUTONUM"}, false, true)
        .key("Name_Key", {"NAME"}, true);
    return l;
}

const Layout<CUInfo> &CUInfo::layout() {
    using R = CUInfo;
    static const Layout<R> l = Layout<R>("CUInfo", "CUI")
        .String("NAME", 100, &R::NAME)
        .String("ADDRESS1", 30, &R::ADDRESS1)
        .String("ADDRESS2", 30, &R::ADDRESS2)
        .String("CITY", 30, &R::CITY)
        .String("STATE", 2, &R::STATE)
        .String("ZIP", 10, &R::ZIP)
        .String("PHONE", 14, &R::PHONE)
        .Dec("ADMINFEE", 6, &R::ADMINFEE)
        .Byte("TAXPERC", &R::TAXPERC)
        .String("EIN", 9, &R::EIN)
        .String("MANAGER", 40, &R::MANAGER)
        .String("YEARFOR1099", 4, &R::YEARFOR1099)
        .Byte("TESTFILEFOR1099", &R::TESTFILEFOR1099)
        .String("TRANSCODE", 5, &R::TRANSCODE)
        .String("EMAILADDRESS", 35, &R::EMAILADDRESS)
        .Dec("DORMANTAMOUNT", 8, &R::DORMANTAMOUNT)
        .String("IRISTCC", 5, &R::IRISTCC)
        .String("SOFTWAREID", 10, &R::SOFTWAREID);
    return l;
}

const Layout<LocInfo> &LocInfo::layout() {
    using R = LocInfo;
    static const Layout<R> l = Layout<R>("LocInfo", "LCL")
        .Long("AUTONUM", &R::AUTONUM)
        .String("NAME", 80, &R::NAME)
        .String("LOCALNUM", 10, &R::LOCALNUM)
        .String("ADDRESS1", 30, &R::ADDRESS1)
        .String("ADDRESS2", 30, &R::ADDRESS2)
        .String("CITY", 30, &R::CITY)
        .String("STATE", 2, &R::STATE)
        .String("ZIP", 10, &R::ZIP)
        .String("PHONE", 20, &R::PHONE)
        .String("FAX", 20, &R::FAX)
        .key("AutoNum_Key", {"AUTONUM"}, false, true)
        .key("Name_Key", {"NAME"}, true)
        .key("LocalNum_Key", {"LOCALNUM"}, true);
    return l;
}

const Layout<Password> &Password::layout() {
    using R = Password;
    static const Layout<R> l = Layout<R>("Password", "PAS")
        .String("USERID", 3, &R::USERID)
        .String("PASSWORD", 10, &R::PASSWORD)
        .String("NAME", 30, &R::NAME)
        .Byte("SECURITY", &R::SECURITY)
        .String("PASSWORDHASH", 100, &R::PASSWORDHASH)
        .key("UserID_Key", {"USERID"}, true, true)
        .key("Name_Key", {"NAME"}, true);
    return l;
}

const Layout<Misc> &Misc::layout() {
    using R = Misc;
    static const Layout<R> l = Layout<R>("Misc", "MIS")
        .String("MISC1NAME", 40, &R::MISC1NAME)
        .String("MISC2NAME", 40, &R::MISC2NAME)
        .String("MISC3NAME", 40, &R::MISC3NAME)
        .String("MISC4NAME", 40, &R::MISC4NAME)
        .String("MISC5NAME", 40, &R::MISC5NAME)
        .String("MISC6NAME", 40, &R::MISC6NAME);
    return l;
}

const Layout<XXGloNoTh> &XXGloNoTh::layout() {
    using R = XXGloNoTh;
    static const Layout<R> l =
        Layout<R>("XXGloNoTh", "GNT").String("USERID", 3, &R::USERID).Byte("SECURITY", &R::SECURITY);
    return l;
}

const Layout<Check> &Check::layout() {
    using R = Check;
    static const Layout<R> l = Layout<R>("Checks", "CHK")
        .Long("CHECKNUM", &R::CHECKNUM)
        .Long("ACCTNUM", &R::ACCTNUM)
        .Long("TRANSDATE", &R::TRANSDATE)
        .Long("TRANSTIME", &R::TRANSTIME)
        .Dec("AMOUNT", 8, &R::AMOUNT)
        .String("PAYEE", 50, &R::PAYEE)
        .Long("PRINTED", &R::PRINTED)
        .Byte("VOID", &R::VOID)
        .key("CheckNum_Key", {"CHECKNUM"}, false, true)
        .key("Withdrawal_Key", {"ACCTNUM", "TRANSDATE", "TRANSTIME"});
    return l;
}

XXGloNoTh &GNT() {
    static XXGloNoTh g;
    return g;
}

const QList<const storage::FileDef *> &allFiles() {
    static const QList<const storage::FileDef *> files{
        &MemberCU::layout().def(), &Trans::layout().def(),      &TransDesc::layout().def(),
        &Withdraw::layout().def(), &PayData::layout().def(),    &PayBreak::layout().def(),
        &PayBackup::layout().def(), &Contractor::layout().def(), &CUInfo::layout().def(),
        &LocInfo::layout().def(),  &Password::layout().def(),   &Misc::layout().def(),
        &XXGloNoTh::layout().def(), &Check::layout().def()};
    return files;
}
