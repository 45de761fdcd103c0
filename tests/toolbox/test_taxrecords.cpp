#include "toolbox/tax/taxrecords.h"
#include "platform/textfile.h"

#include <gtest/gtest.h>

using namespace Tax;

namespace {

// The characters at 1-based positions pos..pos+len-1.
QString at(const QString &rec, int pos, int len) { return rec.mid(pos - 1, len); }
QString blanks(int n) { return QString(n, QLatin1Char(' ')); }
QString zeros(int n) { return QString(n, QLatin1Char('0')); }

Payer fund() {
    Payer p;
    p.ein = "123456789";
    p.transmitterCode = "8A123";
    p.name = "LOCAL 99 RETIREMENT FUND";
    p.address = "100 MAIN ST";
    p.city = "SPRINGFIELD";
    p.state = "IL";
    p.zip = "627011234";
    p.contact = "MARY MANAGER";
    p.phone = "(217) 555-0199";
    p.email = "office@local99.example.org";
    return p;
}

Vendor vendor() { return {"VENDOR CO", "1 VENDOR WAY", "AUSTIN", "TX", "78701", "VAL VENDOR", "(512) 555-0100"}; }

Payee smith() {
    Payee p;
    p.tin = "123-45-6789";
    p.account = "4711";
    p.firstName = "JOHN";
    p.lastName = "SMITH";
    p.address = "12 ELM ST";
    p.city = "DECATUR";
    p.state = "IL";
    p.zip = "62521";
    p.gross = Decimal::fromString("1234.56");
    p.taxable = Decimal::fromString("1234.56");
    p.withheld = Decimal::fromString("246.91");
    p.distributionCode = "7";
    return p;
}

void expectLine(const QString &rec) {
    EXPECT_EQ(rec.size(), RecordLength);
    EXPECT_TRUE(rec.endsWith("\r\n"));
}

} // namespace

TEST(TaxRecords, PayeeRecordUpTo2020) {
    const QString b = payeeRecord(2020, Form::R, smith(), 3);
    expectLine(b);
    EXPECT_EQ(at(b, 1, 11), "B2020     2");
    EXPECT_EQ(at(b, 12, 9), "123456789");
    EXPECT_EQ(at(b, 21, 20), "4711" + blanks(16));
    EXPECT_EQ(at(b, 41, 14), blanks(14));
    EXPECT_EQ(at(b, 55, 12), "000000123456");
    EXPECT_EQ(at(b, 67, 12), "000000123456");
    EXPECT_EQ(at(b, 79, 12), zeros(12));
    EXPECT_EQ(at(b, 91, 12), "000000024691");
    EXPECT_EQ(at(b, 103, 144), zeros(144));  // amounts 5-9 and A-G
    EXPECT_EQ(at(b, 247, 1), " ");
    EXPECT_EQ(at(b, 248, 40), "SMITH JOHN" + blanks(30));
    EXPECT_EQ(at(b, 288, 80), blanks(80));  // second name line and the blank after it
    EXPECT_EQ(at(b, 368, 40), "12 ELM ST" + blanks(31));
    EXPECT_EQ(at(b, 408, 40), blanks(40));
    EXPECT_EQ(at(b, 448, 40), "DECATUR" + blanks(33));
    EXPECT_EQ(at(b, 488, 12), "IL62521     ");
    EXPECT_EQ(at(b, 500, 8), "00000003");
    EXPECT_EQ(at(b, 508, 37), blanks(37));
    EXPECT_EQ(at(b, 545, 2), "7 ");
    EXPECT_EQ(at(b, 547, 202), blanks(202));
}

TEST(TaxRecords, PayeeRecordFrom2021) {
    Payee p = smith();
    p.distributionCode = " g";
    const QString b = payeeRecord(2021, Form::R, p, 12);
    expectLine(b);
    EXPECT_EQ(at(b, 55, 12), "000000123456");
    EXPECT_EQ(at(b, 91, 12), "000000024691");
    EXPECT_EQ(at(b, 103, 168), zeros(168));  // amounts 5-9, A-H and J end at 270
    EXPECT_EQ(at(b, 271, 17), blanks(17));   // 271-286 and the foreign-country indicator
    EXPECT_EQ(at(b, 288, 40), "SMITH JOHN" + blanks(30));
    EXPECT_EQ(at(b, 328, 40), blanks(40));
    EXPECT_EQ(at(b, 368, 9), "12 ELM ST");
    EXPECT_EQ(at(b, 448, 7), "DECATUR");
    EXPECT_EQ(at(b, 488, 12), "IL62521     ");
    EXPECT_EQ(at(b, 500, 8), "00000012");
    EXPECT_EQ(at(b, 544, 4), " G  ");
    EXPECT_EQ(at(b, 548, 201), blanks(201));
}

TEST(TaxRecords, InterestPayeeCarriesOnlyTheInterest) {
    Payee p = smith();
    p.gross = Decimal::fromString("10.00");
    for (int year : {2020, 2025}) {
        const QString b = payeeRecord(year, Form::Int, p, 3);
        expectLine(b);
        EXPECT_EQ(at(b, 55, 12), "000000001000");
        EXPECT_EQ(at(b, 67, year >= 2021 ? 204 : 180), zeros(year >= 2021 ? 204 : 180));
        EXPECT_EQ(at(b, 544, 205), blanks(205)) << year;  // no distribution code
    }
}

TEST(TaxRecords, LongTextIsCutToItsField) {
    Payee p = smith();
    p.lastName = "VANDERBILT-HOHENZOLLERN-MONTGOMERY";
    p.firstName = "ALEXANDRA";
    p.address = QString(60, 'A');
    p.city = QString(50, 'C');
    p.zip = "62521-1234";
    p.account = QString(25, '9');
    for (int year : {2020, 2025}) {
        const QString b = payeeRecord(year, Form::R, p, 3);
        expectLine(b);
        EXPECT_EQ(at(b, year >= 2021 ? 288 : 248, 40), "VANDERBILT-HOHENZOLLERN-MONTGOMERY ALEXA");
        EXPECT_EQ(at(b, 368, 41), QString(40, 'A') + " ");
        EXPECT_EQ(at(b, 448, 40), QString(40, 'C'));
        // A ZIP+4 written with its hyphen goes in as its nine digits, not cut after the hyphen.
        EXPECT_EQ(at(b, 490, 10), "625211234 ");
        EXPECT_EQ(at(b, 21, 21), QString(20, '9') + " ");
    }
    Payer f = fund();
    f.name = QString(100, 'N');
    const QString a = payerRecord(2025, Form::R, f);
    expectLine(a);
    EXPECT_EQ(at(a, 53, 41), QString(40, 'N') + " ");
}

TEST(TaxRecords, AmountsAreRefusedWhenNegativeOrTooLarge) {
    Payee p = smith();
    p.withheld = Decimal::fromString("-0.01");
    EXPECT_THROW(payeeRecord(2020, Form::R, p, 3), FieldError);
    p = smith();
    p.gross = Decimal::fromString("9999999999.99");
    EXPECT_EQ(at(payeeRecord(2025, Form::R, p, 3), 55, 12), "999999999999");
    p.gross = Decimal::fromString("10000000000.00");
    EXPECT_THROW(payeeRecord(2025, Form::R, p, 3), FieldError);
    // Half cents round to whole cents.
    p.gross = Decimal::fromString("0.005");
    EXPECT_EQ(at(payeeRecord(2025, Form::R, p, 3), 55, 12), "000000000001");
    EXPECT_THROW(endOfTransmissionRecord(0, 100000000), FieldError);
}

TEST(TaxRecords, EndOfPayerTotalsInBothLayouts) {
    Payee big = smith();
    big.gross = big.taxable = Decimal::fromString("9999999999.99");
    big.withheld = Decimal::fromString("1.00");
    const QList<Payee> payees{smith(), big};
    const Totals r = totalsOf(Form::R, payees);
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(r.gross, Decimal::fromString("10000001234.55"));
    EXPECT_EQ(r.withheld, Decimal::fromString("247.91"));

    const QString old = endOfPayerRecord(2020, r, 5);
    expectLine(old);
    EXPECT_EQ(at(old, 1, 15), "C00000002      ");
    EXPECT_EQ(at(old, 16, 18), "000001000000123455");
    EXPECT_EQ(at(old, 34, 18), "000001000000123455");
    EXPECT_EQ(at(old, 52, 18), zeros(18));
    EXPECT_EQ(at(old, 70, 18), "000000000000024791");
    EXPECT_EQ(at(old, 88, 180), zeros(180));  // totals 5-9 and A-E end at 267
    EXPECT_EQ(at(old, 268, 232), blanks(232));
    EXPECT_EQ(at(old, 500, 8), "00000005");
    EXPECT_EQ(at(old, 508, 241), blanks(241));

    const QString now = endOfPayerRecord(2021, r, 5);
    expectLine(now);
    EXPECT_EQ(at(now, 16, 18), "000001000000123455");
    EXPECT_EQ(at(now, 88, 252), zeros(252));  // totals 5-9, A-H and J end at 339
    EXPECT_EQ(at(now, 340, 160), blanks(160));
    EXPECT_EQ(at(now, 500, 8), "00000005");

    // A 1099-INT file totals only the interest.
    const Totals i = totalsOf(Form::Int, payees);
    EXPECT_TRUE(i.taxable.isZero());
    EXPECT_TRUE(i.withheld.isZero());
    EXPECT_EQ(at(endOfPayerRecord(2025, i, 5), 34, 306), zeros(306));
}

TEST(TaxRecords, TransmitterAndPayer) {
    Payer f = fund();
    f.testFile = true;
    const QString t = transmitterRecord(2025, f, vendor(), 7);
    expectLine(t);
    EXPECT_EQ(at(t, 1, 29), "T2025 1234567898A123       T ");
    EXPECT_EQ(at(t, 30, 40), f.name + blanks(16));
    EXPECT_EQ(at(t, 70, 40), blanks(40));
    EXPECT_EQ(at(t, 110, 80), at(t, 30, 80));
    EXPECT_EQ(at(t, 190, 11), "100 MAIN ST");
    EXPECT_EQ(at(t, 230, 11), "SPRINGFIELD");
    EXPECT_EQ(at(t, 270, 26), "IL627011234" + blanks(15));
    EXPECT_EQ(at(t, 296, 8), "00000007");
    EXPECT_EQ(at(t, 304, 12), "MARY MANAGER");
    EXPECT_EQ(at(t, 344, 15), "2175550199     ");
    EXPECT_EQ(at(t, 359, 50), "office@local99.example.org" + blanks(24));
    EXPECT_EQ(at(t, 409, 91), blanks(91));
    EXPECT_EQ(at(t, 500, 19), "00000001" + blanks(10) + "I");
    EXPECT_EQ(at(t, 519, 9), "VENDOR CO");
    EXPECT_EQ(at(t, 639, 7), "TX78701");
    EXPECT_EQ(at(t, 690, 15), "(512) 555-0100 ");
    EXPECT_EQ(at(t, 705, 44), blanks(44));
    f.testFile = false;
    f.email = QString(40, 'e');
    const QString t2 = transmitterRecord(2020, f, vendor(), 0);
    EXPECT_EQ(at(t2, 28, 1), " ");
    EXPECT_EQ(at(t2, 359, 50), QString(35, 'e') + blanks(15));

    for (int year : {2020, 2021}) {
        const QString a = payerRecord(year, Form::R, f);
        expectLine(a);
        EXPECT_EQ(at(a, 1, 52), QString("A%1      123456789     9 124").arg(year) + blanks(22));
        EXPECT_EQ(at(a, 53, 40), f.name + blanks(16));
        EXPECT_EQ(at(a, 93, 42), blanks(40) + "01");
        EXPECT_EQ(at(a, 214, 26), "IL6270112342175550199     ");
        EXPECT_EQ(at(a, 240, 260), blanks(260));
        EXPECT_EQ(at(a, 500, 249), "00000002" + blanks(241));
    }
    EXPECT_EQ(at(payerRecord(2025, Form::Int, f), 26, 2), "6 ");
}

TEST(TaxRecords, FileIsNumberedAndCounted) {
    const QList<QString> none = fileRecords(2025, Form::R, fund(), vendor(), {});
    ASSERT_EQ(none.size(), 4);
    EXPECT_EQ(at(none[0], 296, 8), "00000000");
    EXPECT_EQ(at(none[2], 1, 9), "C00000000");
    EXPECT_EQ(at(none[2], 500, 8), "00000003");
    EXPECT_EQ(at(none[3], 1, 57), "F00000001" + zeros(21) + blanks(19) + "00000000");
    EXPECT_EQ(at(none[3], 500, 8), "00000004");
    EXPECT_EQ(at(none[3], 58, 442), blanks(442));

    Payee other = smith();
    other.gross = Decimal::fromString("100.00");
    other.taxable = other.gross;
    other.withheld = Decimal();
    const QList<QString> two = fileRecords(2020, Form::R, fund(), vendor(), {smith(), other});
    ASSERT_EQ(two.size(), 6);
    const char kinds[] = "TABBCF";
    for (int i = 0; i < 6; ++i) {
        expectLine(two[i]);
        EXPECT_EQ(two[i].at(0), QLatin1Char(kinds[i]));
        EXPECT_EQ(at(two[i], 500, 8), QString::number(i + 1).rightJustified(8, '0'));
        EXPECT_EQ(FixedWidth::encode(two[i]).size(), RecordLength);
    }
    EXPECT_EQ(at(two[4], 16, 18), "000000000000133456");
    EXPECT_EQ(at(two[5], 50, 8), "00000002");
}

TEST(TaxRecords, AccentedNamesStayOneBytePerCharacter) {
    Payee p = smith();
    p.lastName = QString::fromUtf8("NUÑEZ");
    p.firstName = QString::fromUtf8("JOSÉ");
    const QByteArray bytes = FixedWidth::encode(payeeRecord(2025, Form::R, p, 3));
    ASSERT_EQ(bytes.size(), RecordLength);
    EXPECT_EQ(bytes.mid(287, 10), QByteArray("NU\xD1" "EZ JOS\xC9"));
}
