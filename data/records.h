#pragma once
// The data files of the fund: one struct per file, fields named as everywhere in the program
// (MEM.ACCTNUM), widths and byte positions in the layout, keys as Key constants.
#include "platform/decimal.h"
#include "platform/storage/datafile.h"

#include <QString>

using storage::Key;
using storage::Layout;

// Built-in transaction types, written by the program itself and never listed in TransDesc.
namespace TransType {
inline constexpr qint32 Tax = -1;            // federal income tax withheld on a withdrawal
inline constexpr qint32 AdminFee = -2;       // administration fee of a withdrawal
inline constexpr qint32 Withdrawal = -3;     // withdrawal; also a transfer to the custodian
inline constexpr qint32 Payroll = -4;        // payroll deposit
inline constexpr qint32 Dividend = -5;       // dividend
inline constexpr qint32 CarriedBalance = -6; // opening balance or balance carried forward
} // namespace TransType

struct MemberCU {
    qint32 MEMBERID = 0;
    qint32 LOCALCODE = 0;
    qint32 ACCTNUM = 0;
    QString LASTNAME, FIRSTNAME, ADDR1, ADDR2, CITY, STATE, ZIP, PHONE1, PHONE2, SSNUM;
    qint32 BIRTHDATE = 0;
    QString USERID;
    qint32 DATEJOINED = 0;
    QString MISC1, MISC2, MISC3, MISC4, MISC5, MISC6;
    qint32 DATECLOSED = 0;
    QString WARNING, JOINTOWNER;
    quint8 WITHDRAWALFLAG = 0;
    QString Notes;

    static const Layout<MemberCU> &layout();
    static constexpr Key<MemberCU> AcctNum_Key{0, "AcctNum_Key"};
    static constexpr Key<MemberCU> SSNum_Key{1, "SSNum_Key"};
    static constexpr Key<MemberCU> Name_Key{2, "Name_Key"};
    static constexpr Key<MemberCU> LocalAcct_Key{3, "LocalAcct_Key"};
    static constexpr Key<MemberCU> LocalName_Key{4, "LocalName_Key"};
    static constexpr Key<MemberCU> LocalSSNum_Key{5, "LocalSSNum_Key"};
};

struct Trans {
    qint32 MEMBERID = 0;
    qint32 ACCTNUM = 0;
    qint32 TRANSDATE = 0;
    Decimal TRANSAMOUNT;
    qint32 TRANSTYPE = 0;
    QString DESC;
    qint32 TRANSTIME = 0;
    QString USERID;

    static const Layout<Trans> &layout();
    // Account ascending, then date descending: from (account, date) forward visits that date
    // and the earlier ones, newest first.
    static constexpr Key<Trans> Acct_Key{0, "Acct_Key"};
    // Account, then date ascending: from (account, 0) forward visits the history oldest first.
    static constexpr Key<Trans> AcctDateRevKey{1, "AcctDateRevKey"};
    static constexpr Key<Trans> DateType_Key{2, "DateType_Key"};
};

struct TransDesc {
    qint32 TRANSCODE = 0;
    QString TRANSDESC;
    quint8 POSITIVE = 0; // 1 = credit, 0 = debit

    static const Layout<TransDesc> &layout();
    static constexpr Key<TransDesc> TransCode_Key{0, "TransCode_Key"};
    static constexpr Key<TransDesc> TransDesc_Key{1, "TransDesc_Key"};
};

struct Withdraw {
    QString CODE, DESCRIPTION, IRSCODE;
    quint8 ADDTOIRSFILE = 0;
    QString Instructions;

    static const Layout<Withdraw> &layout();
    static constexpr Key<Withdraw> CodeKeyOrder{0, "CodeKeyOrder"};
};

struct PayData {
    qint32 ACCTNUM = 0; // the contractor's CON:AUTONUM
    qint32 DATE = 0;    // posting date
    Decimal AMOUNT;

    static const Layout<PayData> &layout();
    static constexpr Key<PayData> AcctNumDate{0, "AcctNumDate"};
};

// Payroll lines: PayBreak (one saved payroll) and PayBackup (every posted line) share a layout.
struct PayLine {
    QString PATNUM; // the member's SSN; in a PayBreak header the transaction code as digits
    quint8 POSTED = 0;
    qint32 DATE = 0; // payroll date
    Decimal AMOUNT;
    qint32 CONTRACTOR = 0;
    qint32 POSTINGDATE = 0;
};

struct PayBreak : PayLine {
    static const Layout<PayBreak> &layout();
    static constexpr Key<PayBreak> PatNum_Key{0, "PatNum_Key"};
};

struct PayBackup : PayLine {
    static const Layout<PayBackup> &layout();
    static constexpr Key<PayBackup> PatNum_Key{0, "PatNum_Key"};
    static constexpr Key<PayBackup> PostingDate_Key{1, "PostingDate_Key"};
    static constexpr Key<PayBackup> ContractorDate_Key{2, "ContractorDate_Key"};
};

struct Contractor {
    qint32 AUTONUM = 0;
    QString NAME, ADDRESS1, ADDRESS2, CITY, STATE, ZIP, PHONE, FAX, LICNUM, CONTACT;

    static const Layout<Contractor> &layout();
    static constexpr Key<Contractor> AutoNum_Key{0, "AutoNum_Key"};
    static constexpr Key<Contractor> Name_Key{1, "Name_Key"};
};

struct CUInfo {
    QString NAME, ADDRESS1, ADDRESS2, CITY, STATE, ZIP, PHONE;
    Decimal ADMINFEE;
    quint8 TAXPERC = 0; // a whole percent, 0 to TaxPercentMax
    QString EIN, MANAGER, YEARFOR1099;
    quint8 TESTFILEFOR1099 = 0;
    QString TRANSCODE, EMAILADDRESS;
    Decimal DORMANTAMOUNT;
    // The IRIS transmitter control code and the software id the IRS issued for its XML intake.
    QString IRISTCC, SOFTWAREID;

    static constexpr int TaxPercentMax = 100;
    static const Layout<CUInfo> &layout();
};

struct LocInfo {
    qint32 AUTONUM = 0;
    QString NAME, LOCALNUM, ADDRESS1, ADDRESS2, CITY, STATE, ZIP, PHONE, FAX;

    static const Layout<LocInfo> &layout();
    static constexpr Key<LocInfo> AutoNum_Key{0, "AutoNum_Key"};
    static constexpr Key<LocInfo> Name_Key{1, "Name_Key"};
    static constexpr Key<LocInfo> LocalNum_Key{2, "LocalNum_Key"};
};

struct Password {
    QString USERID, PASSWORD, NAME;
    quint8 SECURITY = 0;
    // The password as a salted hash (see UserRules); PASSWORD, too narrow for one, stays blank.
    QString PASSWORDHASH;

    static const Layout<Password> &layout();
    static constexpr Key<Password> UserID_Key{0, "UserID_Key"};
    static constexpr Key<Password> Name_Key{1, "Name_Key"};
};

struct Misc {
    QString MISC1NAME, MISC2NAME, MISC3NAME, MISC4NAME, MISC5NAME, MISC6NAME;

    static const Layout<Misc> &layout();
};

struct XXGloNoTh {
    QString USERID;
    quint8 SECURITY = 0;

    static const Layout<XXGloNoTh> &layout();
};

// A participant check: one per withdrawal (type -3) paid by check, numbered as printed.
struct Check {
    qint32 CHECKNUM = 0;
    qint32 ACCTNUM = 0;
    qint32 TRANSDATE = 0; // the withdrawal's date and time: which payment the check is for
    qint32 TRANSTIME = 0;
    Decimal AMOUNT;       // the net paid
    QString PAYEE;
    qint32 PRINTED = 0;   // the day the check was printed
    quint8 VOID = 0;

    static const Layout<Check> &layout();
    static constexpr Key<Check> CheckNum_Key{0, "CheckNum_Key"};
    static constexpr Key<Check> Withdrawal_Key{1, "Withdrawal_Key"};
};

// The one buffer of XXGloNoTh shared by every window: the signed-on user.
XXGloNoTh &GNT();

// Every data file, for code that works on all of them (creation, checks, benchmarks).
const QList<const storage::FileDef *> &allFiles();
