#include "iris.h"

#include "platform/text.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <vector>

namespace Tax {
namespace Iris {
namespace {

// Keeps ASCII letters, digits when asked and the `extra` characters; drops periods, commas and
// apostrophes not in `extra` (the IRS joins "O'Brien" to "OBrien"); turns any other character
// into a blank. Accents are taken off first: "Peña" becomes "Pena". Blanks come out single.
QString kept(const QString &text, bool digits, QStringView extra) {
    QString out;
    // Plain ASCII, as nearly every name and address is, has nothing to take apart.
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    for (QChar c : ascii ? text : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        const char16_t u = c.unicode();
        const bool letter = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
        const bool digit = u >= u'0' && u <= u'9';
        if (letter || (digits && digit) || (u != u' ' && extra.contains(c))) out += c;
        else if (u == u'.' || u == u',' || u == u'\'') continue;
        else out += QLatin1Char(' ');
    }
    return out.simplified();
}

QString cut(const QString &text, int length) { return text.left(length).trimmed(); }

} // namespace

QString personName(const QString &text, int length) { return cut(kept(text, false, u"-"), length); }

QString businessName(const QString &text) { return cut(kept(text, true, u"#-()&'"), BusinessNameLength); }

QString addressLine(const QString &text) {
    // A street line starts with a letter or a digit.
    QString s = kept(text, true, u"-/");
    while (!s.isEmpty() && !s.front().isLetterOrNumber()) s.remove(0, 1);
    return cut(s.trimmed(), AddressLength);
}

QString city(const QString &text) { return cut(kept(text, false, u""), CityLength); }

QString account(const QString &text) { return cut(kept(text, true, u""), AccountLength); }

QString digits(const QString &text) { return digitsOnly(text); }

bool validZip(const QString &digits) { return digits.size() == 5 || digits.size() == 9; }

bool usState(const QString &code) {
    static const QSet<QString> states = {
        "AL", "AK", "AZ", "AR", "CA", "CO", "CT", "DE", "DC", "FL", "GA", "HI", "ID", "IL", "IN",
        "IA", "KS", "KY", "LA", "ME", "MD", "MA", "MI", "MN", "MS", "MO", "MT", "NE", "NV", "NH",
        "NJ", "NM", "NY", "NC", "ND", "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT",
        "VT", "VA", "WA", "WV", "WI", "WY", "AS", "FM", "GU", "MH", "MP", "PW", "PR", "VI", "AA",
        "AE", "AP"};
    return states.contains(code.trimmed().toUpper());
}

QString amount(const Decimal &value) {
    if (value.isNegative()) throw FieldError("negative amount");
    return value.rounded(2).toString();
}

} // namespace Iris

namespace {

const QString Namespace = QStringLiteral("urn:us:gov:treasury:irs:ir");

// The codes of the fund settings, as the intake wants them.
QString code(const QString &text) { return text.trimmed().toUpper(); }

bool lettersAndDigits(const QString &text) {
    static const QRegularExpression re(QStringLiteral("^[A-Z0-9]+$"));
    return re.match(text).hasMatch();
}

// The transmission written straight into text, laid out as an XML stream writer with automatic
// formatting lays it out: each element on a line of its own indented by two blanks a level, a
// text element on one line, an element left empty closed as "<X/>". Text escapes & < > and ",
// and leaves out what XML 1.0 cannot carry (control characters but tab and line ends, U+FFFE,
// U+FFFF, a lone surrogate). A transmission carries tens of thousands of returns; a general
// writer spends most of the run encoding each small piece it writes.
class Writer {
public:
    explicit Writer(QString *out) : m_out(*out) {
        m_out += QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    }
    void open(const char *name) {
        finishStart();
        m_out += QLatin1Char('\n');
        indent();
        m_out += QLatin1Char('<');
        m_out += QLatin1String(name);
        if (m_elements.empty()) m_out += QLatin1String(" xmlns=\"") + Namespace + QLatin1Char('"');
        m_elements.push_back(name);
        m_inStart = m_lastWasStart = true;
    }
    void close() {
        const char *name = m_elements.back();
        m_elements.pop_back();
        if (m_inStart) {
            m_out += QLatin1String("/>");
            m_inStart = m_lastWasStart = false;
            return;
        }
        if (!m_lastWasStart) {
            m_out += QLatin1Char('\n');
            indent();
        }
        m_out += QLatin1String("</");
        m_out += QLatin1String(name);
        m_out += QLatin1Char('>');
        m_lastWasStart = false;
    }
    void text(const char *name, const QString &value) {
        open(name);
        finishStart();
        escaped(value);
        close();
    }
    void number(const char *name, qint64 value) { text(name, QString::number(value)); }
    // Closes what is open and ends the document with a line end.
    void end() {
        while (!m_elements.empty()) close();
        m_out += QLatin1Char('\n');
    }
    void businessName(const QString &name) {
        open("BusinessName");
        text("BusinessNameLine1Txt", Iris::businessName(name));
        close();
    }
    void address(const QString &line, const QString &city, const QString &state, const QString &zip) {
        open("MailingAddressGrp");
        open("USAddress");
        text("AddressLine1Txt", Iris::addressLine(line));
        text("CityNm", Iris::city(city));
        text("StateAbbreviationCd", code(state));
        text("ZIPCd", Iris::digits(zip));
        close();
        close();
    }

private:
    void finishStart() {
        if (!m_inStart) return;
        m_out += QLatin1Char('>');
        m_inStart = false;
    }
    void indent() {
        static const QString blanks(64, QLatin1Char(' '));
        m_out += QStringView(blanks).left(2 * qsizetype(m_elements.size()));
    }
    void escaped(QStringView text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            const char16_t u = c.unicode();
            switch (u) {
            case u'<': m_out += QLatin1String("&lt;"); continue;
            case u'>': m_out += QLatin1String("&gt;"); continue;
            case u'&': m_out += QLatin1String("&amp;"); continue;
            case u'"': m_out += QLatin1String("&quot;"); continue;
            case u'\t':
            case u'\n':
            case u'\r': m_out += c; continue;
            }
            if (u < 0x20 || u == 0xFFFE || u == 0xFFFF) continue;
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                m_out += c;
                m_out += text[++i];
                continue;
            }
            if (c.isSurrogate()) continue;
            m_out += c;
        }
    }
    QString &m_out;
    std::vector<const char *> m_elements;
    bool m_inStart = false, m_lastWasStart = false;
};

void manifest(Writer &w, int year, const Payer &payer, qint64 recipients, const QString &uniqueId) {
    const QString tcc = code(payer.irisTcc);
    w.open("IRTransmissionManifest");
    w.text("SchemaVersionNum", "2.0.3");
    w.text("UniqueTransmissionId", uniqueId + ":IRIS:" + tcc + "::A");
    w.number("TaxYr", year);
    w.text("PriorYearDataInd", "0");
    w.text("TransmissionTypeCd", "O");
    w.text("TestCd", payer.testFile ? "T" : "P");
    w.open("TransmitterGrp");
    w.text("TIN", Iris::digits(payer.ein));
    w.text("TINSubmittedTypeCd", "BUSINESS_TIN");
    w.text("TransmitterControlCd", tcc);
    w.text("ForeignEntityInd", "0");
    w.businessName(payer.name);
    w.open("CompanyGrp");
    w.businessName(payer.name);
    w.address(payer.address, payer.city, payer.state, payer.zip);
    w.close();
    w.open("ContactNameGrp");
    w.text("PersonNm", Iris::personName(payer.contact, Iris::ContactNameLength));
    w.close();
    w.text("ContactEmailAddressTxt", payer.email.trimmed());
    w.text("ContactPhoneNum", Iris::digits(payer.phone));
    w.close();
    w.text("VendorCd", "I");
    w.text("SoftwareId", code(payer.softwareId));
    w.number("TotalIssuerFormCnt", 1);
    w.number("TotalRecipientFormCnt", recipients);
    w.text("PaperSubmissionInd", "0");
    w.text("MediaSourceCd", "M");
    w.text("SubmissionChannelCd", "A2A");
    w.close();
}

void header(Writer &w, int year, Form form, const Payer &payer, const QList<Payee> &payees) {
    const Totals t = totalsOf(form, payees);
    w.open("IRSubmission1Header");
    w.text("SubmissionId", "1");
    w.number("TaxYr", year);
    w.open("IssuerDetail");
    w.text("ForeignEntityInd", "0");
    w.text("TIN", Iris::digits(payer.ein));
    w.text("TINSubmittedTypeCd", "BUSINESS_TIN");
    w.businessName(payer.name);
    w.address(payer.address, payer.city, payer.state, payer.zip);
    w.text("PhoneNum", Iris::digits(payer.phone));
    w.close();
    w.text("FormTypeCd", form == Form::R ? "1099R" : "1099INT");
    w.text("ParentFormTypeCd", "1096");
    w.text("CFSFElectionInd", "0");
    w.number("TotalReportedRcpntFormCnt", t.count);
    w.open("IRSubmission1FormTotals");
    if (form == Form::R) {
        w.open("Form1099RTotalAmtGrp");
        w.text("FederalIncomeTaxWithheldAmt", Iris::amount(t.withheld));
        w.text("GrossDistributionAmt", Iris::amount(t.gross));
        w.text("TaxableAmt", Iris::amount(t.taxable));
    } else {
        w.open("Form1099INTTotalAmtGrp");
        w.text("InterestIncomeAmt", Iris::amount(t.gross));
    }
    w.close();
    w.close();
    w.close();
}

void detail(Writer &w, int year, Form form, const Payee &p, qint64 recordId) {
    w.open(form == Form::R ? "Form1099RDetail" : "Form1099INTDetail");
    w.number("TaxYr", year);
    w.number("RecordId", recordId);
    w.text("VoidInd", "0");
    w.text("CorrectedInd", "0");
    w.open("RecipientDetail");
    w.text("TIN", Iris::digits(p.tin));
    w.text("TINSubmittedTypeCd", "INDIVIDUAL_TIN");
    w.open("PersonName");
    w.text("PersonFirstNm", Iris::personName(p.firstName));
    w.text("PersonLastNm", Iris::personName(p.lastName));
    w.close();
    w.address(p.address, p.city, p.state, p.zip);
    w.close();
    w.text("RecipientAccountNum", Iris::account(p.account));
    if (form == Form::R) {
        w.text("GrossDistributionAmt", Iris::amount(p.gross));
        w.text("TaxableAmt", Iris::amount(p.taxable));
        w.text("TxblAmountNotDeterminedInd", "0");
        w.text("TotalDistributionInd", "0");
        w.text("FederalIncomeTaxWithheldAmt", Iris::amount(p.withheld));
        // Two codes ("7B") are two elements: the intake takes one code per element.
        for (QChar c : code(p.distributionCode))
            if (c != QLatin1Char(' ')) w.text("Form1099RDistributionCd", QString(c));
        w.text("IRASEPSIMPLEInd", "0");
        w.text("FATCAFilingRequirementInd", "0");
    } else {
        w.text("SecondTINNoticeInd", "0");
        w.text("FATCAFilingRequirementInd", "0");
        w.text("InterestIncomeAmt", Iris::amount(p.gross));
    }
    w.close();
}

} // namespace

QByteArray irisTransmission(int year, Form form, const Payer &payer, const QList<Payee> &payees,
                            const QString &uniqueId) {
    QString out;
    Writer w(&out);
    w.open("IRTransmission");
    manifest(w, year, payer, payees.size(), uniqueId);
    w.open("IRSubmission1Grp");
    header(w, year, form, payer, payees);
    w.open("IRSubmission1Detail");
    qint64 recordId = 0;
    for (const Payee &p : payees) detail(w, year, form, p, ++recordId);
    w.close();
    w.close();
    w.close();
    w.end();
    return out.toUtf8();
}

namespace {

// The checks a US mailing address must pass once cleaned; `who` starts each finding.
// A field left blank is the pre-filing checks' to name ("missing"); only what cleaning cannot
// save is listed here, so that no fault is reported twice.
bool given(const QString &text) { return !clip(text).trimmed().isEmpty(); }

void addressFindings(const QString &who, const QString &line, const QString &cityName, const QString &state,
                     const QString &zipCode, QStringList &out) {
    if (given(line) && Iris::addressLine(line).isEmpty())
        out << who + QStringLiteral(": the address has no letters or digits left to file.");
    if (given(cityName) && Iris::city(cityName).isEmpty())
        out << who + QStringLiteral(": the city has no letters left to file.");
    if (given(state) && !Iris::usState(state))
        out << who + QStringLiteral(": the state \"%1\" is not a US state; a foreign address cannot be filed.")
                         .arg(clip(state).trimmed());
    if (given(zipCode) && !Iris::validZip(Iris::digits(zipCode)))
        out << who + QStringLiteral(": the ZIP code \"%1\" does not have 5 or 9 digits.").arg(clip(zipCode).trimmed());
}

void amountFinding(const QString &who, const char *what, const Decimal &value, QStringList &out) {
    if (value.isNegative())
        out << who + QStringLiteral(": the %1 %2 is below zero.").arg(QLatin1String(what), value.toString());
}

void payerFindings(const Payer &payer, int year, QStringList &out) {
    const QString who = QStringLiteral("Fund settings");
    const QString tcc = code(payer.irisTcc), softwareId = code(payer.softwareId);
    if (!tcc.isEmpty() && (tcc.size() != 5 || !lettersAndDigits(tcc)))
        out << who + QStringLiteral(": the IRIS TCC \"%1\" is not 5 letters and digits.").arg(tcc);
    if (softwareId.isEmpty()) out << who + QStringLiteral(": the IRIS Software ID is missing.");
    else if (softwareId.size() > 10 || !lettersAndDigits(softwareId))
        out << who + QStringLiteral(": the IRIS Software ID \"%1\" is not up to 10 letters and digits.").arg(softwareId);
    else if (year > 0) {
        const QString yy = QString::number(year % 100).rightJustified(2, QLatin1Char('0'));
        if (!softwareId.startsWith(yy))
            out << who + QStringLiteral(": the IRIS Software ID \"%1\" does not begin with %2, the last two digits "
                                        "of tax year %3.")
                             .arg(softwareId, yy, QString::number(year));
    }
    if (given(payer.name) && Iris::businessName(payer.name).isEmpty())
        out << who + QStringLiteral(": the fund's name has no letters or digits left to file.");
    addressFindings(who, payer.address, payer.city, payer.state, payer.zip, out);
    if (given(payer.contact) && Iris::personName(payer.contact, Iris::ContactNameLength).isEmpty())
        out << who + QStringLiteral(": the manager's name has no letters left to file.");
    if (given(payer.phone) && Iris::digits(payer.phone).size() != 10)
        out << who + QStringLiteral(": the telephone \"%1\" does not have 10 digits.").arg(clip(payer.phone).trimmed());
}

void payeeFindings(Form form, const Payee &p, QStringList &out) {
    const QString who = QStringLiteral("%1, %2 (account %3)")
                            .arg(clip(p.lastName).trimmed(), clip(p.firstName).trimmed(), clip(p.account).trimmed());
    if (given(p.firstName) && Iris::personName(p.firstName).isEmpty())
        out << who + QStringLiteral(": the first name has no letters left to file.");
    if (given(p.lastName) && Iris::personName(p.lastName).isEmpty())
        out << who + QStringLiteral(": the last name has no letters left to file.");
    addressFindings(who, p.address, p.city, p.state, p.zip, out);
    if (form == Form::R) {
        amountFinding(who, "gross distribution", p.gross, out);
        amountFinding(who, "taxable amount", p.taxable, out);
        amountFinding(who, "federal tax withheld", p.withheld, out);
        if (code(p.distributionCode).isEmpty()) out << who + QStringLiteral(": the distribution code is missing.");
    } else {
        amountFinding(who, "interest", p.gross, out);
    }
}

} // namespace

QStringList irisFindings(Form form, const Payer &payer, const QList<Payee> &payees, int year) {
    QStringList out;
    payerFindings(payer, year, out);
    if (payees.isEmpty()) out << QStringLiteral("There is no return to transmit.");
    for (const Payee &p : payees) payeeFindings(form, p, out);
    return out;
}

} // namespace Tax
