// The PayData record of a contractor and posting date keeps the total of the lines posted for
// them, without adding the lines up again: through "&Process"'s check record, further checks of
// the same day, postings that fail and are rolled back, and lines posted twice.
#include "payroll/processpayroll.h"
#include "payrolltest.h"
#include "platform/storage/faults.h"

namespace {
class PayDataTotal : public PayrollTest {
protected:
    void SetUp() override {
        PayrollTest::SetUp();
        addContractor(7, "ABC");
        addMember(1001, "111-11-1111", "Smith", "Pat");
        addMember(1002, "222-22-2222", "Jones", "Lee");
        glo.CONTRACTORNAME = "ABC";
        glo.CONTRACTORNUMBER = 7;
        glo.PAYROLLDATE = day(2004, 2, 1);
        glo.POSTINGDATE = day(2004, 2, 15);
    }
    // A check of `amount` divided into the given lines and posted; true when posted.
    bool postCheck(const char *amount, std::initializer_list<std::pair<const char *, const char *>> lines) {
        glo.PAYROLLAMOUNT = money(amount);
        ProcessPayrollLogic d(*db, dialogs, glo, queue, lookups, report);
        d.open();
        for (const auto &[ssn, deposit] : lines) {
            d.LOC.SSNUM = ssn;
            d.ssnAccepted();
            d.LOC.DEPOSITAMOUNT = money(deposit);
            d.add();
        }
        EXPECT_TRUE(d.postEnabled());
        const bool posted = d.post();
        queue.clear();
        return posted;
    }
    // The record "&Process" stores before the division: the check's amount.
    void processRecord(qint32 contractor, qint32 date, const char *amount) {
        storage::DataFile<PayData> pay(*db);
        ASSERT_TRUE(pay.open());
        pay.rec.ACCTNUM = contractor;
        pay.rec.DATE = date;
        pay.rec.AMOUNT = money(amount);
        ASSERT_TRUE(pay.add());
    }
    std::optional<Decimal> recorded(qint32 contractor, qint32 date) {
        for (const PayData &p : all<PayData>())
            if (p.ACCTNUM == contractor && p.DATE == date) return p.AMOUNT;
        return std::nullopt;
    }
    Decimal linesTotal(qint32 contractor, qint32 date) {
        Decimal total(0, 2);
        for (const PayBackup &b : all<PayBackup>())
            if (b.CONTRACTOR == contractor && b.POSTINGDATE == date) total += b.AMOUNT;
        return total;
    }
    // The record and the lines agree, and there is one record per contractor and date.
    void expectTotal(const char *amount) {
        const qint32 date = glo.POSTINGDATE;
        EXPECT_EQ(recorded(7, date), money(amount));
        EXPECT_EQ(linesTotal(7, date), money(amount));
        int records = 0;
        for (const PayData &p : all<PayData>())
            records += p.ACCTNUM == 7 && p.DATE == date;
        EXPECT_EQ(records, 1);
    }
};
} // namespace

TEST_F(PayDataTotal, TheCheckRecordedAtProcessBecomesWhatIsPostedThenEachCheckAdds) {
    processRecord(7, glo.POSTINGDATE, "150.00");
    ASSERT_TRUE(postCheck("150.00", {{"111-11-1111", "100.00"}, {"222-22-2222", "50.00"}}));
    expectTotal("150.00"); // not the check and its lines together

    // A second and a third check of the same contractor on the same day add to it; "&Process"
    // found the record and left it alone.
    ASSERT_TRUE(postCheck("25.00", {{"222-22-2222", "25.00"}}));
    expectTotal("175.00");
    ASSERT_TRUE(postCheck("0.10", {{"111-11-1111", "0.10"}}));
    expectTotal("175.10");

    // Another day is a record of its own; the first one is not touched.
    const qint32 first = glo.POSTINGDATE;
    glo.POSTINGDATE = day(2004, 2, 16);
    processRecord(7, glo.POSTINGDATE, "60.00");
    ASSERT_TRUE(postCheck("60.00", {{"111-11-1111", "60.00"}}));
    expectTotal("60.00");
    EXPECT_EQ(recorded(7, first), money("175.10"));
}

TEST_F(PayDataTotal, AFailedPostingLeavesTheTotalAndTheSameLinesPostedAgainCountTwice) {
    namespace faults = storage::faults;
    ASSERT_TRUE(postCheck("150.00", {{"111-11-1111", "100.00"}, {"222-22-2222", "50.00"}}));
    expectTotal("150.00");

    // Refused on a deposit, then on the record itself: the whole posting is rolled back, and
    // the total stays what the lines on file make.
    for (const char *file : {"Trans", "PayData"}) {
        ASSERT_TRUE(faults::refuseWrites(*db, file, 0));
        EXPECT_FALSE(postCheck("40.00", {{"222-22-2222", "40.00"}})) << file;
        faults::clear(*db);
        expectTotal("150.00");
        EXPECT_EQ(all<PayBackup>().size(), 2) << file;
    }

    // Once it goes through, it counts once.
    ASSERT_TRUE(postCheck("40.00", {{"222-22-2222", "40.00"}}));
    expectTotal("190.00");
    // The same payroll posted a second time (a saved payroll loaded again) is on file twice.
    ASSERT_TRUE(postCheck("40.00", {{"222-22-2222", "40.00"}}));
    expectTotal("230.00");
}

TEST_F(PayDataTotal, LinesWhoseRecordIsGoneAreAddedUpOnceAndAnUnusedCheckIsReplaced) {
    ASSERT_TRUE(postCheck("150.00", {{"111-11-1111", "100.00"}, {"222-22-2222", "50.00"}}));
    {
        storage::DataFile<PayData> pay(*db);
        ASSERT_TRUE(pay.open() && pay.first());
        ASSERT_TRUE(pay.remove());
    }
    ASSERT_TRUE(postCheck("5.00", {{"111-11-1111", "5.00"}}));
    expectTotal("155.00");

    // A check that was processed and then cancelled leaves its amount without lines; the next
    // payroll of that contractor and day is what the record then holds.
    glo.POSTINGDATE = day(2004, 2, 20);
    processRecord(7, glo.POSTINGDATE, "999.00");
    ASSERT_TRUE(postCheck("80.00", {{"222-22-2222", "80.00"}}));
    expectTotal("80.00");
}

// The lines' members are looked up by SSN before anything is written: a member file that cannot
// be read stops the posting with the cause, and an SSN is compared as the SSN key compares it.
TEST_F(PayDataTotal, MembersThatCannotBeReadStopThePostingBeforeAnythingIsWritten) {
    namespace faults = storage::faults;
    glo.PAYROLLAMOUNT = money("150.00");
    ProcessPayrollLogic d(*db, dialogs, glo, queue, lookups, report);
    d.open();
    queue << PayQueueEntry{"111-11-1111", "Smith, Pat", glo.PAYROLLDATE, money("100.00"), 7,
                           glo.POSTINGDATE};
    // Typed with blanks after it, as a wider entry field leaves it: still Jones's account.
    queue << PayQueueEntry{"222-22-2222  ", "Jones, Lee", glo.PAYROLLDATE, money("50.00"), 7,
                           glo.POSTINGDATE};
    faults::refuseReads("MemberCU", 1);
    EXPECT_FALSE(d.post());
    faults::clear(*db);
    EXPECT_EQ(dialogs.last().text, "The payroll could not be posted; nothing was written.  Error: " +
                                       faults::DamagedText + ".");
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_TRUE(all<Trans>().isEmpty());
    EXPECT_TRUE(all<PayBackup>().isEmpty());
    EXPECT_EQ(queue.size(), 2);

    ASSERT_TRUE(d.post());
    const QList<Trans> tra = all<Trans>();
    ASSERT_EQ(tra.size(), 2);
    EXPECT_EQ(tra[0].ACCTNUM, 1001);
    EXPECT_EQ(tra[1].ACCTNUM, 1002);
    expectTotal("150.00");
}
