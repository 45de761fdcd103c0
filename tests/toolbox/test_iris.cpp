// The XML transmission read back as the intake reads it: element order and nesting, counts,
// totals against the details, the character rules, and what is listed as unfileable.
//   PENSION_UPDATE_GOLDEN=1 build/test/bin/test_iris --gtest_filter='*Golden*'
#include "toolbox/tax/iris.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace Tax;

namespace {

const QString Ns = "urn:us:gov:treasury:irs:ir";

// Every element of the document in order, as its path from the root, with its text when it has
// no children.
struct Parsed {
    QStringList paths;
    QMap<QString, QStringList> texts; // path -> the texts of the elements at that path, in order
    bool wellFormed = false;
    bool allInNamespace = true;
    QStringList under(const QString &prefix) const {
        QStringList out;
        for (const QString &p : paths)
            if (p.startsWith(prefix + "/")) out << p.mid(prefix.size() + 1);
        return out;
    }
    QString one(const QString &path) const {
        const QStringList t = texts.value(path);
        return t.size() == 1 ? t.first() : QString("<%1 elements>").arg(t.size());
    }
};

Parsed parse(const QByteArray &xml) {
    Parsed out;
    QXmlStreamReader r(xml);
    QStringList stack;
    QString text;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            if (r.namespaceUri() != Ns) out.allInNamespace = false;
            stack << r.name().toString();
            out.paths << stack.join('/');
            text.clear();
        } else if (r.isCharacters() && !r.isWhitespace()) {
            text += r.text();
        } else if (r.isEndElement()) {
            const QString path = stack.join('/');
            if (out.paths.last() == path) out.texts[path] << text; // a leaf
            text.clear();
            stack.removeLast();
        }
    }
    out.wellFormed = !r.hasError();
    return out;
}

Payer fund() {
    Payer p;
    p.ein = "12-3456789";
    p.transmitterCode = "8A123";
    p.name = "Local 99 Retirement Fund, Inc.";
    p.address = "100 Main St.";
    p.city = "Springfield";
    p.state = "IL";
    p.zip = "62701-1234";
    p.contact = "Mary Manager";
    p.phone = "(217) 555-0199";
    p.email = "office@local99.example.org";
    p.irisTcc = "dg5ab";
    p.softwareId = "25A0001234";
    return p;
}

Payee payee(const QString &first, const QString &last, const char *gross, const char *withheld,
            const QString &code = "7") {
    Payee p;
    p.tin = "123-45-6789";
    p.account = "4711";
    p.firstName = first;
    p.lastName = last;
    p.address = "12 Elm St";
    p.city = "Decatur";
    p.state = "IL";
    p.zip = "62521";
    p.gross = Decimal::fromString(gross);
    p.taxable = p.gross;
    p.withheld = Decimal::fromString(withheld);
    p.distributionCode = code;
    return p;
}

// A rollover ("G") is reported with no taxable amount.
QList<Payee> three() {
    QList<Payee> out = {payee("John", "Smith", "1234.56", "246.91"), payee("Ann", "Jones", "100", "0", "G"),
                        payee("Bob", "Brown", "0.05", "0.01")};
    out[1].taxable = Decimal();
    return out;
}

Decimal sum(const QStringList &amounts) {
    Decimal total;
    for (const QString &a : amounts) total += Decimal::fromString(a);
    return total;
}

const char *Manifest = "IRTransmission/IRTransmissionManifest";
const char *Header = "IRTransmission/IRSubmission1Grp/IRSubmission1Header";
const char *RDetail = "IRTransmission/IRSubmission1Grp/IRSubmission1Detail/Form1099RDetail";
const char *IntDetail = "IRTransmission/IRSubmission1Grp/IRSubmission1Detail/Form1099INTDetail";

const QStringList AddressGroup = {"MailingAddressGrp", "MailingAddressGrp/USAddress",
                                  "MailingAddressGrp/USAddress/AddressLine1Txt", "MailingAddressGrp/USAddress/CityNm",
                                  "MailingAddressGrp/USAddress/StateAbbreviationCd",
                                  "MailingAddressGrp/USAddress/ZIPCd"};

QStringList prefixed(const QString &prefix, const QStringList &paths) {
    QStringList out;
    for (const QString &p : paths) out << prefix + p;
    return out;
}

QStringList recipientDetail() {
    return QStringList{"TaxYr", "RecordId", "VoidInd", "CorrectedInd", "RecipientDetail", "RecipientDetail/TIN",
                       "RecipientDetail/TINSubmittedTypeCd", "RecipientDetail/PersonName",
                       "RecipientDetail/PersonName/PersonFirstNm", "RecipientDetail/PersonName/PersonLastNm"} +
           prefixed("RecipientDetail/", AddressGroup) + QStringList{"RecipientAccountNum"};
}

} // namespace

TEST(IrisTransmission, ManifestAndHeaderElementsComeInTheIntakesOrder) {
    const Parsed x = parse(irisTransmission(2025, Form::R, fund(), {payee("John", "Smith", "10", "1")}, "u-1"));
    ASSERT_TRUE(x.wellFormed);
    EXPECT_TRUE(x.allInNamespace);
    EXPECT_EQ(x.paths.first(), "IRTransmission");
    const QStringList manifest =
        QStringList{"SchemaVersionNum", "UniqueTransmissionId", "TaxYr", "PriorYearDataInd", "TransmissionTypeCd",
                    "TestCd", "TransmitterGrp", "TransmitterGrp/TIN", "TransmitterGrp/TINSubmittedTypeCd",
                    "TransmitterGrp/TransmitterControlCd", "TransmitterGrp/ForeignEntityInd",
                    "TransmitterGrp/BusinessName", "TransmitterGrp/BusinessName/BusinessNameLine1Txt",
                    "TransmitterGrp/CompanyGrp", "TransmitterGrp/CompanyGrp/BusinessName",
                    "TransmitterGrp/CompanyGrp/BusinessName/BusinessNameLine1Txt"} +
        prefixed("TransmitterGrp/CompanyGrp/", AddressGroup) +
        QStringList{"TransmitterGrp/ContactNameGrp", "TransmitterGrp/ContactNameGrp/PersonNm",
                    "TransmitterGrp/ContactEmailAddressTxt", "TransmitterGrp/ContactPhoneNum", "VendorCd",
                    "SoftwareId", "TotalIssuerFormCnt", "TotalRecipientFormCnt", "PaperSubmissionInd",
                    "MediaSourceCd", "SubmissionChannelCd"};
    EXPECT_EQ(x.under(Manifest), manifest);
    const QStringList header =
        QStringList{"SubmissionId", "TaxYr", "IssuerDetail", "IssuerDetail/ForeignEntityInd", "IssuerDetail/TIN",
                    "IssuerDetail/TINSubmittedTypeCd", "IssuerDetail/BusinessName",
                    "IssuerDetail/BusinessName/BusinessNameLine1Txt"} +
        prefixed("IssuerDetail/", AddressGroup) +
        QStringList{"IssuerDetail/PhoneNum", "FormTypeCd", "ParentFormTypeCd", "CFSFElectionInd",
                    "TotalReportedRcpntFormCnt", "IRSubmission1FormTotals",
                    "IRSubmission1FormTotals/Form1099RTotalAmtGrp",
                    "IRSubmission1FormTotals/Form1099RTotalAmtGrp/FederalIncomeTaxWithheldAmt",
                    "IRSubmission1FormTotals/Form1099RTotalAmtGrp/GrossDistributionAmt",
                    "IRSubmission1FormTotals/Form1099RTotalAmtGrp/TaxableAmt"};
    EXPECT_EQ(x.under(Header), header);
    const QStringList detail = recipientDetail() +
                               QStringList{"GrossDistributionAmt", "TaxableAmt", "TxblAmountNotDeterminedInd",
                                           "TotalDistributionInd", "FederalIncomeTaxWithheldAmt",
                                           "Form1099RDistributionCd", "IRASEPSIMPLEInd", "FATCAFilingRequirementInd"};
    EXPECT_EQ(x.under(RDetail), detail);
    // One submission group, after the manifest.
    EXPECT_EQ(x.paths.count("IRTransmission/IRSubmission1Grp"), 1);
    EXPECT_LT(x.paths.indexOf(Manifest), x.paths.indexOf("IRTransmission/IRSubmission1Grp"));
}

TEST(IrisTransmission, ManifestValuesComeFromTheFundSettings) {
    Payer p = fund();
    Parsed x = parse(irisTransmission(2025, Form::R, p, three(), "0f8fad5b-d9cb-469f-a165-70867728950e"));
    const QString m = Manifest;
    EXPECT_EQ(x.one(m + "/SchemaVersionNum"), "2.0.3");
    EXPECT_EQ(x.one(m + "/UniqueTransmissionId"), "0f8fad5b-d9cb-469f-a165-70867728950e:IRIS:DG5AB::A");
    EXPECT_EQ(x.one(m + "/TaxYr"), "2025");
    EXPECT_EQ(x.one(m + "/PriorYearDataInd"), "0");
    EXPECT_EQ(x.one(m + "/TransmissionTypeCd"), "O");
    EXPECT_EQ(x.one(m + "/TestCd"), "P");
    EXPECT_EQ(x.one(m + "/TransmitterGrp/TIN"), "123456789");
    EXPECT_EQ(x.one(m + "/TransmitterGrp/TINSubmittedTypeCd"), "BUSINESS_TIN");
    EXPECT_EQ(x.one(m + "/TransmitterGrp/TransmitterControlCd"), "DG5AB");
    EXPECT_EQ(x.one(m + "/TransmitterGrp/ContactNameGrp/PersonNm"), "Mary Manager");
    EXPECT_EQ(x.one(m + "/TransmitterGrp/ContactEmailAddressTxt"), "office@local99.example.org");
    EXPECT_EQ(x.one(m + "/TransmitterGrp/ContactPhoneNum"), "2175550199");
    EXPECT_EQ(x.one(m + "/VendorCd"), "I");
    EXPECT_EQ(x.one(m + "/SoftwareId"), "25A0001234");
    EXPECT_EQ(x.one(m + "/TotalIssuerFormCnt"), "1");
    EXPECT_EQ(x.one(m + "/TotalRecipientFormCnt"), "3");
    EXPECT_EQ(x.one(m + "/PaperSubmissionInd"), "0");
    EXPECT_EQ(x.one(m + "/MediaSourceCd"), "M");
    EXPECT_EQ(x.one(m + "/SubmissionChannelCd"), "A2A");
    EXPECT_EQ(x.one(QString(Header) + "/IssuerDetail/PhoneNum"), "2175550199");
    EXPECT_EQ(x.one(QString(Header) + "/FormTypeCd"), "1099R");
    EXPECT_EQ(x.one(QString(Header) + "/ParentFormTypeCd"), "1096");

    p.testFile = true;
    x = parse(irisTransmission(2025, Form::R, p, three(), "u"));
    EXPECT_EQ(x.one(m + "/TestCd"), "T");
}

TEST(IrisTransmission, CountsRecordIdsAndTotalsMatchTheDetails) {
    const Parsed x = parse(irisTransmission(2025, Form::R, fund(), three(), "u"));
    ASSERT_TRUE(x.wellFormed);
    EXPECT_EQ(x.paths.count(RDetail), 3);
    EXPECT_EQ(x.one(QString(Header) + "/TotalReportedRcpntFormCnt"), "3");
    EXPECT_EQ(x.texts.value(QString(RDetail) + "/RecordId"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(x.texts.value(QString(RDetail) + "/TaxYr"), (QStringList{"2025", "2025", "2025"}));
    EXPECT_EQ(x.texts.value(QString(RDetail) + "/GrossDistributionAmt"),
              (QStringList{"1234.56", "100.00", "0.05"}));
    EXPECT_EQ(x.texts.value(QString(RDetail) + "/FederalIncomeTaxWithheldAmt"),
              (QStringList{"246.91", "0.00", "0.01"}));
    EXPECT_EQ(x.texts.value(QString(RDetail) + "/Form1099RDistributionCd"), (QStringList{"7", "G", "7"}));

    const QString totals = QString(Header) + "/IRSubmission1FormTotals/Form1099RTotalAmtGrp/";
    EXPECT_EQ(x.one(totals + "GrossDistributionAmt"), "1334.61");
    EXPECT_EQ(x.one(totals + "TaxableAmt"), "1234.61");
    for (const char *amount : {"GrossDistributionAmt", "TaxableAmt", "FederalIncomeTaxWithheldAmt"})
        EXPECT_EQ(Decimal::fromString(x.one(totals + amount)), sum(x.texts.value(QString(RDetail) + "/" + amount)))
            << amount;
}

TEST(IrisTransmission, TheInterestFormHasItsOwnDetailAndTotals) {
    QList<Payee> payees = {payee("John", "Smith", "10.00", "0"), payee("Ann", "Jones", "12.34", "0")};
    payees[1].withheld = Decimal::fromString("99"); // not a field of this form
    const Parsed x = parse(irisTransmission(2025, Form::Int, fund(), payees, "u"));
    ASSERT_TRUE(x.wellFormed);
    EXPECT_EQ(x.one(QString(Header) + "/FormTypeCd"), "1099INT");
    EXPECT_EQ(x.paths.count(IntDetail), 2);
    EXPECT_EQ(x.paths.count(RDetail), 0);
    const QStringList detail =
        recipientDetail() + QStringList{"SecondTINNoticeInd", "FATCAFilingRequirementInd", "InterestIncomeAmt"};
    EXPECT_EQ(x.under(IntDetail).mid(0, detail.size()), detail);
    EXPECT_EQ(x.texts.value(QString(IntDetail) + "/InterestIncomeAmt"), (QStringList{"10.00", "12.34"}));
    const QString totals = QString(Header) + "/IRSubmission1FormTotals/Form1099INTTotalAmtGrp";
    EXPECT_EQ(x.under(QString(Header) + "/IRSubmission1FormTotals"),
              (QStringList{"Form1099INTTotalAmtGrp", "Form1099INTTotalAmtGrp/InterestIncomeAmt"}));
    EXPECT_EQ(x.one(totals + "/InterestIncomeAmt"), "22.34");
    EXPECT_FALSE(x.texts.contains(QString(IntDetail) + "/FederalIncomeTaxWithheldAmt"));
}

TEST(IrisTransmission, NamesAndAddressesAreCleanedToTheCharactersTheIntakeTakes) {
    Payer p = fund();
    p.name = "O'Hara & Sons' Fund, Inc. #2 (Local) / *";
    Payee a = payee("John Q.", "Smith, Jr.", "1", "0");
    a.address = "1234 North Washington Boulevard Apt. #12-B/C";
    a.city = "St. Louis-Park 2";
    a.state = "il";
    a.zip = "62521-0001";
    Payee b = payee("  Mary   Ann ", "O'Brien-Peña", "1", "0");
    b.lastName = "Wolfeschlegelsteinhausen-Bergerdorff";
    Payee c = payee("Renée", "O'Brien-Peña", "1", "0");
    const Parsed x = parse(irisTransmission(2025, Form::R, p, {a, b, c}, "u"));
    ASSERT_TRUE(x.wellFormed);
    const QString issuer = QString(Header) + "/IssuerDetail/";
    EXPECT_EQ(x.one(issuer + "BusinessName/BusinessNameLine1Txt"), "O'Hara & Sons' Fund Inc #2 (Local)");
    EXPECT_EQ(x.one(issuer + "MailingAddressGrp/USAddress/AddressLine1Txt"), "100 Main St");
    EXPECT_EQ(x.one(issuer + "MailingAddressGrp/USAddress/ZIPCd"), "627011234");

    const QString r = QString(RDetail) + "/RecipientDetail/";
    EXPECT_EQ(x.texts.value(r + "PersonName/PersonFirstNm"), (QStringList{"John Q", "Mary Ann", "Renee"}));
    EXPECT_EQ(x.texts.value(r + "PersonName/PersonLastNm"),
              (QStringList{"Smith Jr", "Wolfeschlegelsteinha", "OBrien-Pena"}));
    const QString us = r + "MailingAddressGrp/USAddress/";
    // "#" is not taken in a street line: it becomes a blank; the line is cut at 35.
    EXPECT_EQ(x.texts.value(us + "AddressLine1Txt").first(), "1234 North Washington Boulevard Apt");
    EXPECT_EQ(x.texts.value(us + "CityNm").first(), "St Louis Park");
    EXPECT_EQ(x.texts.value(us + "StateAbbreviationCd").first(), "IL");
    EXPECT_EQ(x.texts.value(us + "ZIPCd").first(), "625210001");

    // Every name and address text keeps to its characters and length.
    const QRegularExpression person("^([A-Za-z-] ?)*[A-Za-z-]$"), business("^([A-Za-z0-9#()&'-] ?)*[A-Za-z0-9#()&'-]$"),
        street("^[A-Za-z0-9]( ?[A-Za-z0-9/-])*$"), city("^([A-Za-z] ?)*[A-Za-z]$");
    for (const QString &name : x.texts.value(r + "PersonName/PersonFirstNm") + x.texts.value(r + "PersonName/PersonLastNm")) {
        EXPECT_TRUE(person.match(name).hasMatch()) << name.toStdString();
        EXPECT_LE(name.size(), 20);
    }
    EXPECT_TRUE(business.match(x.one(issuer + "BusinessName/BusinessNameLine1Txt")).hasMatch());
    for (const QString &line : x.texts.value(us + "AddressLine1Txt")) {
        EXPECT_TRUE(street.match(line).hasMatch()) << line.toStdString();
        EXPECT_LE(line.size(), 35);
    }
    for (const QString &c : x.texts.value(us + "CityNm")) EXPECT_TRUE(city.match(c).hasMatch()) << c.toStdString();
}

TEST(IrisTransmission, CleaningRulesOneByOne) {
    EXPECT_EQ(Iris::personName("D'Angelo"), "DAngelo");
    EXPECT_EQ(Iris::personName("Smith/Jones"), "Smith Jones");
    EXPECT_EQ(Iris::personName("..."), "");
    EXPECT_EQ(Iris::personName("Mary-Kate Elizabeth Anne"), "Mary-Kate Elizabeth"); // cut, no blank left
    EXPECT_EQ(Iris::businessName(QString(80, 'A')).size(), 75);
    EXPECT_EQ(Iris::businessName("Smith,Jones & Co."), "SmithJones & Co");
    EXPECT_EQ(Iris::addressLine("#4 - Rear"), "4 - Rear");
    EXPECT_EQ(Iris::addressLine("P.O. Box 12"), "PO Box 12");
    EXPECT_EQ(Iris::city("Winston-Salem"), "Winston Salem");
    EXPECT_EQ(Iris::city("Rancho Santa Margarita Heights"), "Rancho Santa Margarita");
    EXPECT_EQ(Iris::digits("62701"), "62701");
    EXPECT_TRUE(Iris::validZip(Iris::digits("62701-1234")));
    EXPECT_FALSE(Iris::validZip(Iris::digits("6270")));
    EXPECT_FALSE(Iris::validZip(Iris::digits("K1A 0B1")));
    EXPECT_TRUE(Iris::usState("pr"));
    EXPECT_FALSE(Iris::usState("ON"));
    EXPECT_EQ(Iris::amount(Decimal()), "0.00");
    EXPECT_EQ(Iris::amount(Decimal::fromString("7.5")), "7.50");
    EXPECT_EQ(Iris::amount(Decimal(12345, 3)), "12.35");
}

TEST(IrisTransmission, TwoDistributionCodesAreTwoElements) {
    const Parsed x = parse(irisTransmission(2025, Form::R, fund(), {payee("Ann", "Jones", "1", "0", "7b")}, "u"));
    EXPECT_EQ(x.texts.value(QString(RDetail) + "/Form1099RDistributionCd"), (QStringList{"7", "B"}));
    const QStringList after = x.under(RDetail).mid(x.under(RDetail).indexOf("Form1099RDistributionCd"));
    EXPECT_EQ(after, (QStringList{"Form1099RDistributionCd", "Form1099RDistributionCd", "IRASEPSIMPLEInd",
                                  "FATCAFilingRequirementInd"}));
}

TEST(IrisTransmission, ANegativeAmountIsRefusedNotWritten) {
    EXPECT_THROW(irisTransmission(2025, Form::R, fund(), {payee("Ann", "Jones", "-1", "0")}, "u"), FieldError);
    EXPECT_THROW(irisTransmission(2025, Form::R, fund(), {payee("Ann", "Jones", "1", "-0.01")}, "u"), FieldError);
    EXPECT_THROW(irisTransmission(2025, Form::Int, fund(), {payee("Ann", "Jones", "-5", "0")}, "u"), FieldError);
}

TEST(IrisTransmission, AnEmptyPayeeListStillGivesAWholeDocumentWithZeroCounts) {
    const Parsed x = parse(irisTransmission(2025, Form::R, fund(), {}, "u"));
    ASSERT_TRUE(x.wellFormed);
    EXPECT_EQ(x.one(QString(Manifest) + "/TotalRecipientFormCnt"), "0");
    EXPECT_EQ(x.one(QString(Header) + "/TotalReportedRcpntFormCnt"), "0");
    EXPECT_EQ(x.one(QString(Header) + "/IRSubmission1FormTotals/Form1099RTotalAmtGrp/GrossDistributionAmt"), "0.00");
    EXPECT_TRUE(x.paths.contains("IRTransmission/IRSubmission1Grp/IRSubmission1Detail"));
    EXPECT_EQ(x.paths.count(RDetail), 0);
    EXPECT_TRUE(irisFindings(Form::R, fund(), {}, 2025).contains("There is no return to transmit."));
}

// The fund's own texts go into the transmission as typed: what XML reserves is escaped, and
// what XML 1.0 cannot carry at all (a control character, half of a surrogate pair) is left out
// rather than breaking the document.
TEST(IrisTransmission, AnyCharacterOfTheFundsTextsLeavesAWellFormedDocument) {
    Payer p = fund();
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    p.email = QString("a&b<c>\"d'e") + QChar(0x01) + QChar(0x0B) + "f\u00e9" + smile + QChar(0xD800) +
              "g" + QChar(0xFFFF) + "h";
    const QByteArray xml = irisTransmission(2025, Form::R, p, three(), "u&<");
    const Parsed x = parse(xml);
    ASSERT_TRUE(x.wellFormed) << xml.left(400).toStdString();
    EXPECT_EQ(x.one(QString(Manifest) + "/TransmitterGrp/ContactEmailAddressTxt"),
              QString("a&b<c>\"d'ef\u00e9") + smile + "gh");
    EXPECT_EQ(x.one(QString(Manifest) + "/UniqueTransmissionId"), "u&<:IRIS:DG5AB::A");
    EXPECT_TRUE(xml.contains("<ContactEmailAddressTxt>a&amp;b&lt;c&gt;&quot;d'ef"));
    // Every element after it is whole.
    EXPECT_EQ(x.paths.count(RDetail), 3);
    EXPECT_TRUE(xml.endsWith("</IRTransmission>\n"));
}

TEST(IrisTransmission, MatchesTheGoldenFile) {
    Payer p = fund();
    p.testFile = true;
    QList<Payee> payees = three();
    payees[0].lastName = "O'Brien, Jr.";
    payees[1].zip = "62521-0001";
    payees[2].address = "4 Oak Ave. #3";
    const QByteArray xml = irisTransmission(2025, Form::R, p, payees, "3f2504e0-4f89-41d3-9a0c-0305e82c3301");
    const QString path = QDir(PENSION_GOLDEN_DIR).filePath("iris_1099r_2025.xml");
    if (qEnvironmentVariableIntValue("PENSION_UPDATE_GOLDEN") == 1) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(xml);
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    EXPECT_EQ(QString::fromUtf8(f.readAll()).toStdString(), QString::fromUtf8(xml).toStdString());
}

// --- findings ---

TEST(IrisFindings, AFileableFundAndPayeesHaveNone) {
    EXPECT_EQ(irisFindings(Form::R, fund(), three(), 2025), QStringList());
    EXPECT_EQ(irisFindings(Form::Int, fund(), three(), 2025), QStringList());
}

TEST(IrisFindings, EachUnfileablePayeeIsListedByName) {
    Payee foreign = payee("Jean", "Tremblay", "1", "0");
    foreign.state = "QC";
    foreign.zip = "H2X 1Y4";
    Payee dots = payee("...", "123", "1", "0");
    Payee shortZip = payee("Ann", "Jones", "1", "0");
    shortZip.zip = "6252";
    shortZip.tin = "123-45-678";
    Payee negative = payee("Bob", "Brown", "1", "0");
    negative.withheld = Decimal::fromString("-2.00");
    negative.distributionCode = " ";
    const QStringList f = irisFindings(Form::R, fund(), {foreign, dots, shortZip, negative}, 2025);
    const QStringList expected = {
        "Tremblay, Jean (account 4711): the state \"QC\" is not a US state; a foreign address cannot be filed.",
        "Tremblay, Jean (account 4711): the ZIP code \"H2X 1Y4\" does not have 5 or 9 digits.",
        "123, ... (account 4711): the first name has no letters left to file.",
        "123, ... (account 4711): the last name has no letters left to file.",
        "Jones, Ann (account 4711): the ZIP code \"6252\" does not have 5 or 9 digits.",
        "Brown, Bob (account 4711): the federal tax withheld -2.00 is below zero.",
        "Brown, Bob (account 4711): the distribution code is missing.",
    };
    EXPECT_EQ(f, expected);
}

TEST(IrisFindings, AnEmptyAddressOrCityIsListed) {
    Payee p = payee("Ann", "Jones", "1", "0");
    p.address = " # ";
    p.city = "12";
    EXPECT_EQ(irisFindings(Form::Int, fund(), {p}, 2025),
              (QStringList{"Jones, Ann (account 4711): the address has no letters or digits left to file.",
                           "Jones, Ann (account 4711): the city has no letters left to file."}));
}

TEST(IrisFindings, TheFundsCodesAreChecked) {
    Payer p = fund();
    p.irisTcc.clear();
    p.softwareId.clear();
    // A blank TCC is the pre-filing checks' to name; the software id only the transmission needs.
    EXPECT_EQ(irisFindings(Form::R, p, three(), 2025),
              (QStringList{"Fund settings: the IRIS Software ID is missing."}));

    p.irisTcc = "AB-12";
    p.softwareId = "24A0001234";
    EXPECT_EQ(irisFindings(Form::R, p, three(), 2025),
              (QStringList{"Fund settings: the IRIS TCC \"AB-12\" is not 5 letters and digits.",
                           "Fund settings: the IRIS Software ID \"24A0001234\" does not begin with 25, the last two "
                           "digits of tax year 2025."}));
    EXPECT_EQ(irisFindings(Form::R, p, three(), 2024).size(), 1) << "the same id is right for 2024";
    p.softwareId = "25A00012345";
    EXPECT_EQ(irisFindings(Form::R, p, three(), 2025).last(),
              "Fund settings: the IRIS Software ID \"25A00012345\" is not up to 10 letters and digits.");
    p.softwareId = "09X";
    p.irisTcc = "DG5AB";
    EXPECT_EQ(irisFindings(Form::R, p, three(), 2109), QStringList());
}

TEST(IrisFindings, TheFundsNameAddressAndContactAreChecked) {
    Payer p = fund();
    p.name = "., ";
    p.state = "ON";
    p.zip = "K1A";
    p.contact = "1.";
    p.phone = "555-0199";
    EXPECT_EQ(irisFindings(Form::R, p, three(), 2025),
              (QStringList{"Fund settings: the fund's name has no letters or digits left to file.",
                           "Fund settings: the state \"ON\" is not a US state; a foreign address cannot be filed.",
                           "Fund settings: the ZIP code \"K1A\" does not have 5 or 9 digits.",
                           "Fund settings: the manager's name has no letters left to file.",
                           "Fund settings: the telephone \"555-0199\" does not have 10 digits."}));
    // What is blank, or a TIN of the wrong length, the pre-filing checks name once; not here again.
    p = fund();
    p.ein = "12-345678";
    p.name = p.address = p.city = p.state = p.zip = p.contact = p.phone = p.email = p.irisTcc = "";
    Payee blank = payee("", "", "1", "0");
    blank.tin = "123";
    blank.address = blank.city = blank.state = blank.zip = "";
    EXPECT_EQ(irisFindings(Form::R, p, {blank}, 2025), QStringList());
}

TEST(IrisFindings, UnfileablePayeesAreStillWrittenNeverDropped) {
    Payee foreign = payee("Jean", "Tremblay", "1", "0");
    foreign.state = "QC";
    const Parsed x = parse(irisTransmission(2025, Form::R, fund(), {foreign, payee("Ann", "Jones", "2", "0")}, "u"));
    EXPECT_EQ(x.paths.count(RDetail), 2);
    EXPECT_EQ(x.texts.value(QString(RDetail) + "/RecipientDetail/PersonName/PersonLastNm"),
              (QStringList{"Tremblay", "Jones"}));
}
