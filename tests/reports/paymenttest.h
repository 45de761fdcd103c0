#pragma once
// What the check and 1099-INT form tests share: the fund's settings and a member with an
// address, as the printed payee and recipient blocks show them.
#include "reporttest.h"

class PaymentTest : public ReportTest {
protected:
    void addFund(const QString &ein = {}, const QString &yearFor1099 = {}) {
        storage::DataFile<CUInfo> cui(*db);
        ASSERT_TRUE(cui.open());
        cui.rec.NAME = "Union Pension Fund";
        cui.rec.ADDRESS1 = "1 Main St";
        cui.rec.CITY = "Springfield";
        cui.rec.STATE = "IL";
        cui.rec.ZIP = "62704";
        cui.rec.EIN = ein;
        cui.rec.YEARFOR1099 = yearFor1099;
        ASSERT_TRUE(cui.add());
    }
    // John Smith of 12 Oak Ave, Peoria, IL 61602.
    MemberCU smith(qint32 acct) {
        MemberCU a = member(acct, "Smith", "John");
        a.ADDR1 = "12 Oak Ave";
        a.CITY = "Peoria";
        a.STATE = "IL";
        a.ZIP = "61602";
        return a;
    }
};
