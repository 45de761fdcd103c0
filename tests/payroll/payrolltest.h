#pragma once
// Shared set-up of the payroll tests: every file created, the module's variables fresh, lookups
// and the report scripted.
#include "../support/tempdata.h"
#include "payroll/payrollglobals.h"
#include "platform/clock.h"

class PayrollTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles())
            ASSERT_TRUE(db->create(*def));
        lookups.contractor = [this](Contractor &c) {
            ++contractorLookups;
            if (!pickContractor) return false;
            c = *pickContractor;
            return true;
        };
        lookups.transDesc = [this](TransDesc &t) {
            if (!pickCode) return false;
            t = *pickCode;
            return true;
        };
        lookups.member = [this](MemberCU &m) {
            ++memberLookups;
            if (!pickMember) return false;
            m = *pickMember;
            return true;
        };
        report = [this](qint32 contractor, qint32 date) {
            reports << Printed{contractor, date, glo.TITLE, glo.PAYROLLDATESTRING, queue};
        };
        GNT().USERID = "MGR";
    }
    void TearDown() override {
        GNT().USERID.clear();
        DataTest::TearDown();
    }

    static qint32 day(int y, int m, int d) { return Clock::dayNumber(y, m, d); }

    Contractor addContractor(qint32 autonum, const QString &name) {
        storage::DataFile<Contractor> con(*db);
        con.open();
        con.rec.AUTONUM = autonum;
        con.rec.NAME = name;
        EXPECT_TRUE(con.add());
        return con.rec;
    }
    MemberCU addMember(qint32 acct, const QString &ssn, const QString &last,
                       const QString &first = "Pat", qint32 closed = 0, qint32 local = 0) {
        storage::DataFile<MemberCU> mem(*db);
        mem.open();
        mem.rec.ACCTNUM = acct;
        mem.rec.SSNUM = ssn;
        mem.rec.LASTNAME = last;
        mem.rec.FIRSTNAME = first;
        mem.rec.DATECLOSED = closed;
        mem.rec.LOCALCODE = local;
        EXPECT_TRUE(mem.add());
        return mem.rec;
    }
    void addPosted(qint32 acct, qint32 date, const char *amount, const QString &desc) {
        storage::DataFile<Trans> tra(*db);
        tra.open();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        tra.rec.TRANSTYPE = TransType::Payroll;
        tra.rec.DESC = desc;
        ASSERT_TRUE(tra.add());
    }
    template <class R> QList<R> all() {
        storage::DataFile<R> f(*db);
        f.open();
        QList<R> out;
        if (f.first()) do
                out << f.rec;
            while (f.next());
        return out;
    }
    static Decimal money(const char *text) { return Decimal::fromString(text).rounded(2); }

    struct Printed {
        qint32 contractor, date;
        QString title, dateString;
        PayQueue lines;
    };
    PayrollGlobals glo;
    PayQueue queue;
    PayrollLookups lookups;
    PayrollReportCall report;
    QList<Printed> reports;
    std::optional<Contractor> pickContractor;
    std::optional<TransDesc> pickCode;
    std::optional<MemberCU> pickMember;
    int contractorLookups = 0, memberLookups = 0;
};
