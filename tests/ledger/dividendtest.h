#pragma once
// Shared set-up of the dividend tests: every file created, a signed-on user, the module's list
// and report variables fresh, and the report call recorded instead of printed.
#include "../support/tempdata.h"
#include "ledger/dividends.h"
#include "platform/clock.h"

class DividendTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles())
            ASSERT_TRUE(db->create(*def));
        GNT().USERID = "MGR";
        report = [this](const DividendGlobals &g, const PostingList &l) { reports << Printed{g, l}; };
    }
    void TearDown() override {
        GNT().USERID.clear();
        DataTest::TearDown();
    }

    static qint32 day(int y, int m, int d) { return Clock::dayNumber(y, m, d); }
    static Decimal money(const char *text) { return Decimal::fromString(text).rounded(2); }

    void addMember(qint32 acct, const QString &last, const QString &first = "Pat",
                   qint32 closed = 0) {
        storage::DataFile<MemberCU> mem(*db);
        mem.open();
        mem.rec.ACCTNUM = acct;
        mem.rec.LASTNAME = last;
        mem.rec.FIRSTNAME = first;
        mem.rec.DATECLOSED = closed;
        ASSERT_TRUE(mem.add());
    }
    void post(qint32 acct, qint32 date, const char *amount, qint32 type = TransType::Payroll) {
        storage::DataFile<Trans> tra(*db);
        tra.open();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = Decimal::fromString(amount);
        tra.rec.TRANSTYPE = type;
        ASSERT_TRUE(tra.add());
    }
    QList<Trans> transactions() {
        storage::DataFile<Trans> tra(*db);
        tra.open();
        QList<Trans> out;
        tra.setStart(Trans::AcctDateRevKey);
        while (tra.next())
            out << tra.rec;
        return out;
    }

    struct Printed {
        DividendGlobals glo;
        PostingList lines;
    };
    DividendGlobals glo;
    PostingList list;
    DividendReportCall report;
    QList<Printed> reports;
};
