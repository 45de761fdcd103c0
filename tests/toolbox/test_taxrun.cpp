// The 1099 run on a small fund built through the storage layer: the payees, the totals, the
// files byte for byte in both layouts, the checks before filing and the failures.
#include "../support/meanwhile.h"
#include "../support/tempdata.h"
#include "data/records.h"
#include "platform/clock.h"
#include "platform/storage/faults.h"
#include "platform/textfile.h"
#include "toolbox/tax/taxrun.h"

#include <QDir>
#include <QFile>
#include <QProcess>

using namespace Tax;

namespace {

Decimal money(const char *text) {
    return Decimal::fromString(text).rounded(2);
}

QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The amount in cents of a fixed-width field at 1-based position pos.
qint64 field(const QByteArray &line, int pos, int len) {
    return line.mid(pos - 1, len).toLongLong();
}

class TaxRunTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        for (const storage::FileDef *def : allFiles())
            ASSERT_TRUE(db->create(*def));
    }

    void settings(const QString &year = "2020", bool test = false) {
        storage::DataFile<CUInfo> cui(*db);
        cui.open();
        const bool exists = cui.first();
        cui.rec.NAME = "CARPENTERS LOCAL 1234 RETIREMENT SAVINGS FUND OF THE GREATER VALLEY";
        cui.rec.ADDRESS1 = "400 UNION HALL ROAD";
        cui.rec.CITY = "SPRINGFIELD";
        cui.rec.STATE = "IL";
        cui.rec.ZIP = "627011234";
        cui.rec.PHONE = "(217) 555-0199";
        cui.rec.EIN = "361234567";
        cui.rec.MANAGER = "MARY MANAGER";
        cui.rec.YEARFOR1099 = year;
        cui.rec.TESTFILEFOR1099 = test ? 1 : 0;
        cui.rec.TRANSCODE = "8A123";
        cui.rec.EMAILADDRESS = "office@local1234.example.org";
        cui.rec.IRISTCC = "DG5BW";
        cui.rec.SOFTWAREID = "25A0001234";
        ASSERT_TRUE(exists ? cui.put() : cui.add());
    }

    void code(const QString &code, const QString &irs, bool add) {
        storage::DataFile<Withdraw> wit(*db);
        wit.open();
        wit.rec.CODE = code;
        wit.rec.DESCRIPTION = "Code " + code;
        wit.rec.IRSCODE = irs;
        wit.rec.ADDTOIRSFILE = add ? 1 : 0;
        ASSERT_TRUE(wit.add());
    }

    void member(qint32 acct, const QString &last, const QString &first, const QString &ssn,
                const QString &addr = "12 ELM ST", const QString &city = "DECATUR") {
        storage::DataFile<MemberCU> mem(*db);
        mem.open();
        mem.rec.ACCTNUM = acct;
        mem.rec.LASTNAME = last;
        mem.rec.FIRSTNAME = first;
        mem.rec.SSNUM = ssn;
        mem.rec.ADDR1 = addr;
        mem.rec.CITY = city;
        mem.rec.STATE = "IL";
        mem.rec.ZIP = "62521";
        ASSERT_TRUE(mem.add());
    }

    void post(qint32 acct, qint32 date, const char *amount, qint32 type, const QString &desc = {},
              qint32 time = 3600000) {
        storage::DataFile<Trans> tra(*db);
        tra.open();
        tra.rec.ACCTNUM = acct;
        tra.rec.TRANSDATE = date;
        tra.rec.TRANSAMOUNT = money(amount);
        tra.rec.TRANSTYPE = type;
        tra.rec.DESC = desc;
        tra.rec.TRANSTIME = time;
        ASSERT_TRUE(tra.add());
    }

    // A withdrawal as the withdrawal window posts it: the tax, then the amount paid with its code,
    // both at the same moment.
    void withdraw(qint32 acct, qint32 date, const char *paid, const char *tax, const QString &code,
                  qint32 time = 3600000) {
        if (QByteArray(tax) != "0")
            post(acct, date, tax, TransType::Tax, "Withdrawal - Federal Tax", time);
        post(acct, date, paid, TransType::Withdrawal, "Hardship (Code -  " + code + ")", time);
    }

    // Every case of the run in one fund, dated in `year`, with transactions of the years around
    // it that must not count.
    void buildFund(int year) {
        settings(QString::number(year));
        code("A", "7", true);
        code("B", "7", true);
        code("C", "1", true);
        code("D", "2", false);
        code("G", "G", true);
        code("R", "7", true);
        code("7", "7", true);
        auto d = [year](int m, int day) { return Clock::dayNumber(year, m, day); };

        // Two codes of the same IRS code become one record; the years around do not count.
        member(1001, "ADAMS", "ANN", "123-45-6701");
        withdraw(1001, d(3, 1), "-1000.00", "-200.00", "A");
        withdraw(1001, d(6, 1), "-500.00", "-100.00", "B");
        withdraw(1001, Clock::dayNumber(year - 1, 12, 31), "-9000.00", "-900.00", "A");
        withdraw(1001, Clock::dayNumber(year + 1, 1, 1), "-8000.00", "-800.00", "A");
        post(1001, d(12, 31), "9.99", TransType::Dividend, "Dividend");

        // Two IRS codes stay two records; one batch of two withdrawals at one moment keeps each
        // tax with its own withdrawal; an uncoded distribution newer than the first code counts
        // in that code's group.
        member(1002, "BAKER", "BOB", "123-45-6702");
        withdraw(1002, d(4, 2), "-300.00", "-30.00", "A", 4000000);
        withdraw(1002, d(4, 2), "-700.00", "-70.00", "C", 4000000);
        post(1002, d(11, 5), "-25.00", 23, "Rollover adjustment");
        post(1002, d(12, 31), "10.00", TransType::Dividend, "Dividend");

        // "G": the distribution apart, taxable amount and tax zero.
        member(1003, "CLARK", "CARL", "123-45-6703");
        withdraw(1003, d(5, 5), "-2500.00", "0", "G");
        post(1003, d(5, 6), "5.00", 2, "Interest");
        post(1003, d(12, 31), "50.00", TransType::Dividend, "Dividend");
        post(1003, Clock::dayNumber(year + 1, 1, 1), "70.00", TransType::Dividend, "Dividend");

        // Rollovers ("R") and transfers to the custodian ("S") are left out.
        member(1004, "DAVIS", "DANA", "123-45-6704");
        withdraw(1004, d(2, 2), "-400.00", "-40.00", "R");
        post(1004, d(2, 20), "-5000.00", TransType::Withdrawal, "Transfer To Schwab (Code - S)");
        post(1004, d(12, 31), "10.01", TransType::Dividend, "Dividend");
        post(1004, d(12, 31), "-0.02", 2, "Interest correction");

        // A code that is not for the file.
        member(1005, "EVANS", "EVE", "123-45-6705");
        withdraw(1005, d(7, 7), "-600.00", "-60.00", "D");

        // Tax without a distribution.
        member(1006, "FOSTER", "FAY", "123-45-6706");
        withdraw(1006, d(8, 8), "0.00", "-75.00", "C");

        // Names and addresses longer than their fields; a code whose IRS code is itself a
        // withdrawal code is reported once.
        member(1007, "GREENWOOD-FITZWILLIAMS-HAMPTON", "MARGARET ELIZABETH ALEXANDRA",
               "123-45-6707", "123456 NORTHWEST BOULEVARD OF THE LONG ROADS APT 99",
               "SOUTH WEST NORTH EAST VILLAGE OF THE PRAIRIE HEIGHTS");
        withdraw(1007, d(9, 9), "-100.00", "-10.00", "A");

        // Nothing in the year but a payroll deposit.
        member(1008, "HILL", "HAL", "123-45-6708");
        post(1008, d(1, 15), "500.00", TransType::Payroll, "(ACME For 01/15)");
        withdraw(1008, Clock::dayNumber(year - 1, 6, 1), "-100.00", "-10.00", "A");
    }

    QString golden(const QString &name) const {
        return QStringLiteral(PENSION_GOLDEN_DIR) + QLatin1Char('/') + name;
    }

    // Compares with a checked-in file; PENSION_UPDATE_GOLDEN=1 writes it instead.
    void expectGolden(const QByteArray &bytes, const QString &name) {
        if (qEnvironmentVariableIntValue("PENSION_UPDATE_GOLDEN") == 1) put(golden(name), bytes);
        EXPECT_EQ(bytes, contents(golden(name))) << name.toStdString();
    }

    // Every line 750 bytes with CR LF, and the end-of-payer totals equal to the sums of the
    // payee records.
    static void expectSound(const QByteArray &file, qint64 payees) {
        ASSERT_EQ(file.size() % RecordLength, 0);
        const qint64 lines = file.size() / RecordLength;
        ASSERT_EQ(lines, payees + 4);
        qint64 one = 0, two = 0, four = 0;
        for (qint64 i = 0; i < lines; ++i) {
            const QByteArray line = file.mid(i * RecordLength, RecordLength);
            EXPECT_TRUE(line.endsWith("\r\n")) << i;
            EXPECT_FALSE(line.left(748).contains('\r') || line.left(748).contains('\n')) << i;
            EXPECT_EQ(field(line, 500, 8), i + 1) << "sequence of line " << i;
            if (line[0] == 'B') {
                one += field(line, 55, 12);
                two += field(line, 67, 12);
                four += field(line, 91, 12);
            }
        }
        const QByteArray c = file.mid((lines - 2) * RecordLength, RecordLength);
        ASSERT_EQ(c[0], 'C');
        EXPECT_EQ(field(c, 2, 8), payees);
        EXPECT_EQ(field(c, 16, 18), one);
        EXPECT_EQ(field(c, 34, 18), two);
        EXPECT_EQ(field(c, 70, 18), four);
        const QByteArray f = file.mid((lines - 1) * RecordLength, RecordLength);
        ASSERT_EQ(f[0], 'F');
        EXPECT_EQ(field(f, 50, 8), payees);
    }

    struct Line {
        QString code;
        Decimal gross, taxable, tax;
    };
    static QMap<QString, QList<Line>> byAccount(const RunResult &r) {
        QMap<QString, QList<Line>> out;
        for (const Payee &p : r.payees)
            out[p.account] << Line{p.distributionCode, p.gross, p.taxable, p.withheld};
        return out;
    }
};

} // namespace

TEST_F(TaxRunTest, DistributionsAreGroupedByCodeAndConsolidated) {
    buildFund(2020);
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::R)) << run.error().toStdString();
    const RunResult &r = run.result();
    EXPECT_EQ(r.year, 2020);
    const auto acct = byAccount(r);
    // ADAMS: codes A and B both map to 7: one record, gross = paid + tax.
    ASSERT_EQ(acct.value("1001").size(), 1);
    EXPECT_EQ(acct["1001"][0].code, "7");
    EXPECT_EQ(acct["1001"][0].gross, money("1800"));
    EXPECT_EQ(acct["1001"][0].taxable, money("1800"));
    EXPECT_EQ(acct["1001"][0].tax, money("300"));
    // BAKER: two IRS codes, two records; each tax stays with its own withdrawal although both
    // were posted at one moment, and the newer uncoded 25.00 joins the newest code's group (C).
    ASSERT_EQ(acct.value("1002").size(), 2);
    EXPECT_EQ(acct["1002"][0].code, "1");
    EXPECT_EQ(acct["1002"][0].gross, money("795"));
    EXPECT_EQ(acct["1002"][0].tax, money("70"));
    EXPECT_EQ(acct["1002"][1].code, "7");
    EXPECT_EQ(acct["1002"][1].gross, money("330"));
    EXPECT_EQ(acct["1002"][1].tax, money("30"));
    // CLARK: "G" alone, taxable and tax zero.
    ASSERT_EQ(acct.value("1003").size(), 1);
    EXPECT_EQ(acct["1003"][0].code, "G");
    EXPECT_EQ(acct["1003"][0].gross, money("2500"));
    EXPECT_EQ(acct["1003"][0].taxable, money("0"));
    EXPECT_EQ(acct["1003"][0].tax, money("0"));
    // DAVIS (R and S), EVANS (code not for the file) and HILL (nothing in the year): no record.
    EXPECT_FALSE(acct.contains("1004"));
    EXPECT_FALSE(acct.contains("1005"));
    EXPECT_FALSE(acct.contains("1008"));
    // FOSTER: tax without a distribution still reports gross = taxable = tax.
    ASSERT_EQ(acct.value("1006").size(), 1);
    EXPECT_EQ(acct["1006"][0].gross, money("75"));
    EXPECT_EQ(acct["1006"][0].taxable, money("75"));
    EXPECT_EQ(acct["1006"][0].tax, money("75"));
    // GREENWOOD: A maps to 7, which is a code of its own; the group is still reported once.
    ASSERT_EQ(acct.value("1007").size(), 1);
    EXPECT_EQ(acct["1007"][0].gross, money("110"));

    // Name order, and the totals are the sums of what is reported.
    QStringList order;
    for (const Payee &p : r.payees)
        order << p.account;
    EXPECT_EQ(order, QStringList({"1001", "1002", "1002", "1003", "1006", "1007"}));
    EXPECT_EQ(r.FOUNDAMT1, money("1800") + money("795") + money("330") + money("2500") +
                               money("75") + money("110"));
    EXPECT_EQ(r.FOUNDAMT2, money("300") + money("70") + money("30") + money("75") + money("10"));

    // The diskette lines follow the records: "LAST, FIRST", the SSN, the code.
    ASSERT_EQ(r.lines.size(), r.payees.size());
    EXPECT_EQ(r.lines[0].PARTNAME, "ADAMS, ANN");
    EXPECT_EQ(r.lines[0].SSNUM, "123-45-6701");
    EXPECT_EQ(r.lines[0].DT, "7");
    EXPECT_EQ(r.lines[0].TOTALDIST, money("1800"));
    EXPECT_EQ(r.lines[0].TOTALTAXABLEAMOUNT, money("1800"));
    EXPECT_EQ(r.lines[0].ACCTNUM, 1001);
    EXPECT_EQ(r.lines[5].PARTNAME.size(), 40);

    EXPECT_EQ(run.totalsCaption(), "1099-R File Total ...");
    EXPECT_EQ(run.totalsText(), "Total Dist: " + QString(11, ' ') + "$5,610.00|Total Tax: " +
                                    QString(13, ' ') + "$485.00|Total Members Reported: 6");
}

TEST_F(TaxRunTest, SelectedAccountsOnly) {
    buildFund(2020);
    TaxRun run(*db);
    QList<QPair<qint64, qint64>> told;
    run.progress = [&](qint64 done, qint64 total) { told << qMakePair(done, total); };
    ASSERT_TRUE(run.gather(Form::R, 0, {1002, 1008}));
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told.last(), qMakePair(qint64(8), qint64(8)));
    QStringList order;
    for (const Payee &p : run.result().payees)
        order << p.account;
    EXPECT_EQ(order, QStringList({"1002", "1002"}));
    EXPECT_EQ(run.result().FOUNDAMT1, money("1125"));

    ASSERT_TRUE(run.gather(Form::Int, 0, {1003}));
    ASSERT_EQ(run.result().payees.size(), 1);
    EXPECT_EQ(run.result().AMOUNT, money("55"));
}

TEST_F(TaxRunTest, InterestFromTenDollarsOnAndAllOfItInTheTotalPaid) {
    buildFund(2020);
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::Int));
    const RunResult &r = run.result();
    // ADAMS 9.99 and DAVIS 10.01 - 0.02 stay out; BAKER's 10.00 is in; CLARK's next-year
    // dividend does not count.
    ASSERT_EQ(r.payees.size(), 2);
    EXPECT_EQ(r.payees[0].account, "1002");
    EXPECT_EQ(r.payees[0].gross, money("10"));
    EXPECT_EQ(r.payees[1].account, "1003");
    EXPECT_EQ(r.payees[1].gross, money("55"));
    EXPECT_EQ(r.TEMP1, money("65"));
    EXPECT_EQ(r.AMOUNT, money("9.99") + money("10") + money("55") + money("9.99"));
    ASSERT_EQ(r.lines.size(), 2);
    EXPECT_EQ(r.lines[0].SSNUM, "1002"); // the account number, not the SSN
    EXPECT_EQ(r.lines[0].PARTNAME, "BAKER, BOB");
    EXPECT_EQ(run.totalsCaption(), "1099-INT File Total ...");
    EXPECT_EQ(run.totalsText(), "Total Interest Posted: " + QString(14, ' ') + "$65.00.");
}

TEST_F(TaxRunTest, FilesMatchTheGoldenFilesInBothLayouts) {
    for (int year : {2020, 2025}) {
        SCOPED_TRACE(year);
        TearDown();
        SetUp();
        buildFund(year);
        TaxRun run(*db);
        ASSERT_TRUE(run.gather(Form::R));
        const QByteArray r = run.fileBytes();
        expectSound(r, 6);
        expectGolden(r, QStringLiteral("irstax-r-%1.txt").arg(year));
        ASSERT_TRUE(run.gather(Form::Int));
        const QByteArray i = run.fileBytes();
        expectSound(i, 2);
        expectGolden(i, QStringLiteral("irstax-int-%1.txt").arg(year));
    }
}

TEST_F(TaxRunTest, NoPayeeAtAllStillMakesAWholeFile) {
    settings("2020", true);
    member(1, "LONE", "LEE", "123-45-6799");
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::R));
    const QByteArray file = run.fileBytes();
    expectSound(file, 0);
    EXPECT_EQ(file.mid(0, 1), "T");
    EXPECT_EQ(file.mid(27, 1), "T"); // the test-file indicator follows the settings
    EXPECT_EQ(file.mid(RecordLength, 1), "A");
    EXPECT_EQ(file.mid(2 * RecordLength + 499, 8), "00000003");
    EXPECT_EQ(file.mid(3 * RecordLength + 499, 8), "00000004");
    EXPECT_EQ(run.totalsText(), "Total Dist: " + QString(15, ' ') + "$0.00|Total Tax: " +
                                    QString(15, ' ') + "$0.00|Total Members Reported: 0");
    settings("2020", false);
    ASSERT_TRUE(run.gather(Form::R));
    EXPECT_EQ(run.fileBytes().mid(27, 1), " ");
}

TEST_F(TaxRunTest, YearComesFromTheSettingsUnlessGiven) {
    buildFund(2020);
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::R, 2021));
    EXPECT_EQ(run.result().year, 2021);
    // The next year holds ADAMS's 8,000.00 withdrawal only.
    ASSERT_EQ(run.result().payees.size(), 1);
    EXPECT_EQ(run.result().payees[0].gross, money("8800"));

    settings("20x0");
    EXPECT_FALSE(run.gather(Form::R));
    EXPECT_EQ(run.error(), "The year for 1099s (\"20x0\") is not a year, so nothing was written.  "
                           "Correct it in the fund settings.");
    EXPECT_TRUE(run.result().payees.isEmpty());
}

TEST_F(TaxRunTest, MissingSettingsAreAnError) {
    TaxRun run(*db);
    EXPECT_FALSE(run.gather(Form::R));
    EXPECT_EQ(run.error(),
              "The fund settings are missing, so nothing was written.  Fill them in first.");
}

TEST_F(TaxRunTest, AFailedReadStopsTheRunAndWritesNothing) {
    buildFund(2020);
    for (const QString &file :
         {QString("Trans"), QString("MemberCU"), QString("Withdraw"), QString("CUInfo")}) {
        SCOPED_TRACE(file.toStdString());
        // Part-way through the walks; the settings are a single record.
        storage::faults::refuseReads(file, file == "Trans" ? 5 : file == "CUInfo" ? 0 : 1);
        TaxRun run(*db);
        EXPECT_FALSE(run.gather(Form::R));
        EXPECT_TRUE(run.error().startsWith(
            "The " + file + " file could not be read, so nothing was written.  Error: "))
            << run.error().toStdString();
        EXPECT_TRUE(run.result().payees.isEmpty());
        EXPECT_TRUE(run.result().FOUNDAMT1.isZero());
        storage::faults::clear(*db);
    }
    storage::faults::refuseReads("Trans", 3);
    TaxRun run(*db);
    EXPECT_FALSE(run.gather(Form::Int));
    EXPECT_TRUE(run.result().payees.isEmpty());
    EXPECT_TRUE(run.result().AMOUNT.isZero());
}

TEST_F(TaxRunTest, WritesBothFilesAndReplacesThePrevious) {
    buildFund(2020);
    QTemporaryDir out;
    put(out.filePath("IRSTAX."), "old file");
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::R));
    ASSERT_TRUE(run.write(out.path(), "0b5f7a3c-1111-4222-8333-944455556666"))
        << run.error().toStdString();
    EXPECT_EQ(contents(out.filePath("IRSTAX.")), run.fileBytes());
    EXPECT_EQ(contents(out.filePath("IRSTAX.xml")),
              run.irisBytes("0b5f7a3c-1111-4222-8333-944455556666"));
    EXPECT_EQ(run.filePath(), out.filePath("IRSTAX."));
    EXPECT_TRUE(run.totalsText().endsWith("|The IRIS transmission was written to " +
                                          QDir::toNativeSeparators(out.filePath("IRSTAX.xml")) +
                                          "."));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 2) << "no temporary file left";
}

TEST_F(TaxRunTest, AFailedWriteLeavesThePreviousFiles) {
    buildFund(2020);
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::R));

    // A directory that is no directory.
    QTemporaryDir out;
    put(out.filePath("notadir"), "x");
    EXPECT_FALSE(run.write(out.filePath("notadir")));
    EXPECT_TRUE(run.error().startsWith(QDir::toNativeSeparators(out.filePath("notadir/IRSTAX.")) +
                                       " could not be written, so no file was changed.  Error: "))
        << run.error().toStdString();
    EXPECT_TRUE(run.filePath().isEmpty());

    // The XML file cannot take the place of what is there: neither file changes.
    put(out.filePath("IRSTAX."), "previous file");
    ASSERT_TRUE(QDir(out.path()).mkpath("IRSTAX.xml/inside"));
    EXPECT_FALSE(run.write(out.path()));
    EXPECT_EQ(contents(out.filePath("IRSTAX.")), "previous file");
    EXPECT_TRUE(run.error().startsWith(QDir::toNativeSeparators(out.filePath("IRSTAX.xml")) +
                                       " could not be written, so no file was changed."))
        << run.error().toStdString();
    EXPECT_FALSE(run.totalsText().contains("IRIS"));

    // With no previous file there is none afterwards either.
    QFile::remove(out.filePath("IRSTAX."));
    EXPECT_FALSE(run.write(out.path()));
    EXPECT_FALSE(QFile::exists(out.filePath("IRSTAX.")));
    const QStringList left = QDir(out.path()).entryList(QDir::Files);
    EXPECT_EQ(left, QStringList({"notadir"})) << "no temporary file left";
}

TEST_F(TaxRunTest, AmountsThatCannotBeWrittenStopTheWrite) {
    settings("2020");
    code("A", "7", true);
    member(1, "NEG", "NED", "123-45-6799");
    // A returned withdrawal larger than the tax of its group leaves a negative gross.
    post(1, Clock::dayNumber(2020, 3, 1), "-10.00", TransType::Tax, "Withdrawal - Federal Tax");
    post(1, Clock::dayNumber(2020, 3, 1), "50.00", TransType::Withdrawal, "Returned (Code -  A)");
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::R));
    QTemporaryDir out;
    EXPECT_FALSE(run.write(out.path()));
    EXPECT_TRUE(run.error().startsWith(
        "The amounts of NEG, NED (account 1) cannot be written into the file"))
        << run.error().toStdString();
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(TaxRunTest, FindingsNameWhoAndWhat) {
    buildFund(2020);
    {
        storage::DataFile<CUInfo> cui(*db);
        cui.open();
        ASSERT_TRUE(cui.first());
        cui.rec.EIN = "36-12345";
        cui.rec.IRISTCC.clear();
        cui.rec.MANAGER.clear();
        ASSERT_TRUE(cui.put());
        storage::DataFile<MemberCU> mem(*db);
        mem.open();
        for (qint32 acct : {1001, 1003, 1006}) {
            mem.rec.ACCTNUM = acct;
            ASSERT_TRUE(mem.get(MemberCU::AcctNum_Key));
            if (acct == 1001) mem.rec.SSNUM = "666-12-3456";
            if (acct == 1003) mem.rec.SSNUM = "123-45-678";
            if (acct == 1006) mem.rec.CITY.clear();
            ASSERT_TRUE(mem.put());
        }
    }
    code("E", "X", true);
    member(1009, "IRWIN", "", "123-00-6709");
    // A returned payment larger than the rest of its group leaves less gross than tax.
    withdraw(1009, Clock::dayNumber(2020, 10, 1), "50.00", "-150.00", "E");

    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::R));
    QStringList seen;
    for (const Finding &f : run.findings())
        seen << f.who + ": " + f.what;
    EXPECT_EQ(seen,
              QStringList({
                  "Payer: The employer identification number is not 9 digits.",
                  "Payer: The IRIS transmitter control code is missing.",
                  "Payer: The contact name, telephone or e-mail address is missing.",
                  "ADAMS, ANN (account 1001): The Social Security Number \"666-12-3456\" is not "
                  "one the IRS issues.",
                  "CLARK, CARL (account 1003): The Social Security Number \"123-45-678\" is not 9 "
                  "digits.",
                  "FOSTER, FAY (account 1006): The street, city, state or ZIP code is missing.",
                  "IRWIN,  (account 1009): The Social Security Number \"123-00-6709\" is not one "
                  "the IRS issues.",
                  "IRWIN,  (account 1009): The first or last name is missing.",
                  "IRWIN,  (account 1009): The tax withheld ($150.00) is more than the gross "
                  "distribution ($100.00).",
                  "IRWIN,  (account 1009): The distribution code \"X\" is not one the IRS accepts.",
                  // The transmission adds what only it needs, never a fault named above again.
                  "XML transmission: Fund settings: the IRIS Software ID \"25A0001234\" does not "
                  "begin with 20, the last two digits of tax year 2020.",
              }));
    // The checks change no figure.
    EXPECT_EQ(run.result().payees.size(), 7);
}

// The command-line tool over the same run.
namespace {
struct ToolRun {
    int exitCode;
    QString out, err;
};
ToolRun tool(const QStringList &args) {
    QProcess p;
    p.start(PENSION_1099, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}
} // namespace

TEST_F(TaxRunTest, ToolWritesPrintsAndSaysWhenItCannot) {
    buildFund(2020);
    {
        storage::DataFile<CUInfo> cui(*db);
        cui.open();
        ASSERT_TRUE(cui.first());
        cui.rec.IRISTCC.clear();
        ASSERT_TRUE(cui.put());
    }
    db.reset(); // the tool is another station; let it have the file to itself

    ToolRun r = tool({dataDir(), "--form", "R"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("1099-R File Total ...\nTotal Dist:            $5,610.00\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Total Members Reported: 6\n"));
    EXPECT_TRUE(QFile::exists(QDir(dataDir()).filePath("IRSTAX.")));
    EXPECT_TRUE(QFile::exists(QDir(dataDir()).filePath("IRSTAX.xml")));
    EXPECT_EQ(contents(QDir(dataDir()).filePath("IRSTAX.")), contents(golden("irstax-r-2020.txt")));

    // --year for this run only, --out and --accounts.
    QTemporaryDir out;
    r = tool({dataDir(), "--form", "INT", "--year", "2021", "--out", out.path(), "--accounts",
              "1003,1001"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Total Interest Posted:               $70.00."))
        << r.out.toStdString();
    const QByteArray file = contents(out.filePath("IRSTAX."));
    ASSERT_EQ(file.size(), 5 * RecordLength);
    EXPECT_EQ(file.mid(1, 4), "2021");
    EXPECT_EQ(file.mid(2 * RecordLength + 20, 4), "1003");
    r = tool({dataDir(), "--form", "R", "--out", out.path()});
    EXPECT_EQ(contents(out.filePath("IRSTAX.")).mid(1, 4), "2020")
        << "the settings keep their year";

    // Findings are printed; they do not stop the files.
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("To correct before filing:\n"
                               "  Payer: The IRIS transmitter control code is missing.\n"))
        << r.out.toStdString();

    // A folder that is not there yet is made, as a script expects of an output folder.
    r = tool({dataDir(), "--form", "R", "--out", out.filePath("2020/irs")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(out.filePath("2020/irs/IRSTAX.")));

    // Cannot write: non-zero, and the previous file stays.
    put(out.filePath("blocked"), "x");
    r = tool({dataDir(), "--form", "R", "--out", out.filePath("blocked")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("could not be written, so no file was changed"))
        << r.err.toStdString();

    // Refused command lines.
    for (const QStringList &args :
         {QStringList{dataDir()}, QStringList{dataDir(), "--form", "X"},
          QStringList{dataDir(), "--form", "R", "--year", "20"},
          QStringList{dataDir(), "--form", "R", "--accounts", "12,abc"}}) {
        r = tool(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage: pension-1099")) << r.err.toStdString();
    }
    // A directory without a fund.
    r = tool({out.path(), "--form", "R"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(QDir(out.path()).filePath("pension.db")));
}

TEST_F(TaxRunTest, AnotherStationsPostingDuringTheRunIsInNoneOfTheForms) {
    buildFund(2020);
    TaxRun run(*db);
    ASSERT_TRUE(run.gather(Form::Int, 0, {}));
    const RunResult alone = run.result();

    auto other = openSecond();
    ASSERT_TRUE(other);
    bool posted = false;
    depositMeanwhile(*other, "MemberCU", 1,
                     {{1003, Clock::dayNumber(2020, 6, 30), "100.00", TransType::Dividend},
                      {1008, Clock::dayNumber(2020, 6, 30), "100.00", TransType::Dividend}},
                     posted);
    ASSERT_TRUE(run.gather(Form::Int, 0, {}));
    storage::faults::clear(*db);
    ASSERT_TRUE(posted);
    EXPECT_EQ(run.result().AMOUNT, alone.AMOUNT);
    ASSERT_EQ(run.result().payees.size(), alone.payees.size());

    ASSERT_TRUE(run.gather(Form::Int, 0, {}));
    EXPECT_EQ(run.result().AMOUNT, alone.AMOUNT + money("200"));
}
