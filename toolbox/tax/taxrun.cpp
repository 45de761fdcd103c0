#include "taxrun.h"

#include "data/records.h"
#include "iris.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/storage/database.h"
#include "platform/storage/keyrange.h"
#include "platform/text.h"
#include "platform/textfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QUuid>
#include <algorithm>
#include <optional>

namespace Tax {

namespace {
const QString kFileName = QStringLiteral("IRSTAX.");
const QString kIrisFileName = QStringLiteral("IRSTAX.xml");
const QString kRCaption = QStringLiteral("1099-R File Total ...");
const QString kIntCaption = QStringLiteral("1099-INT File Total ...");
const QString kTotalDist = QStringLiteral("Total Dist: ");
const QString kTotalTax = QStringLiteral("|Total Tax: ");
const QString kTotalMembers = QStringLiteral("|Total Members Reported: ");
const QString kTotalInterest = QStringLiteral("Total Interest Posted: ");
const QString kDollars = QStringLiteral("@n$20.2");
const QString kCodeMark = QStringLiteral("(CODE -");

// Our own texts: where the XML went, and why a run stopped.
const QString kIrisWritten = QStringLiteral("|The IRIS transmission was written to %1.");
const QString kReadFailed =
    QStringLiteral("The %1 file could not be read, so nothing was written.  Error: %2.");
const QString kNoSettings =
    QStringLiteral("The fund settings are missing, so nothing was written.  Fill them in first.");
const QString kNoYear = QStringLiteral("The year for 1099s (\"%1\") is not a year, so nothing was "
                                       "written.  Correct it in the fund settings.");
const QString kNotWritable =
    QStringLiteral("%1 could not be written, so no file was changed.  Error: %2.");
const QString kHalfWritten =
    QStringLiteral("%1 could not be written (%2); %3 was put back as it was before the run.");
const QString kNotRestored = QStringLiteral(
    "%1 could not be written (%2), and %3 was already replaced and could not be put back (%4).");
const QString kFieldError = QStringLiteral(
    "The amounts of %1 cannot be written into the file (%2), so nothing was written.");

// Pre-filing findings.
const QString kPayer = QStringLiteral("Payer");
const QString kTransmission = QStringLiteral("XML transmission");
const QString kNoEin = QStringLiteral("The employer identification number is not 9 digits.");
const QString kNoPayerName = QStringLiteral("The fund's name is missing.");
const QString kNoPayerAddress =
    QStringLiteral("The fund's address, city, state or ZIP code is missing.");
const QString kNoTcc =
    QStringLiteral("The transmitter control code for the 750-byte file is missing.");
const QString kNoIrisTcc = QStringLiteral("The IRIS transmitter control code is missing.");
const QString kNoContact =
    QStringLiteral("The contact name, telephone or e-mail address is missing.");
const QString kBadTin = QStringLiteral("The Social Security Number \"%1\" is not 9 digits.");
const QString kInvalidTin =
    QStringLiteral("The Social Security Number \"%1\" is not one the IRS issues.");
const QString kNoName = QStringLiteral("The first or last name is missing.");
const QString kNoAddress = QStringLiteral("The street, city, state or ZIP code is missing.");
const QString kTaxOverGross =
    QStringLiteral("The tax withheld (%1) is more than the gross distribution (%2).");
const QString kBadCode = QStringLiteral("The distribution code \"%1\" is not one the IRS accepts.");
const QString kMoney = QStringLiteral("@n$-15.2");

// The distribution codes of the 1099-R.
const QString kIrsCodes = QStringLiteral("123456789ABCDEFGHJKLMNPQRSTUW");

// The text of the code in a transaction's description: after "(Code -" and its blanks, up to
// the ")" that closes it; empty when the description carries none. A withdrawal ends in
// "(Code -  X)", a transfer to the custodian in "(Code - S)".
std::optional<QString> codeOf(const QString &description) {
    const QString upper = clip(description).toUpper();
    const qsizetype p = upper.indexOf(kCodeMark);
    if (p < 0) return std::nullopt;
    QString code = upper.mid(p + kCodeMark.size() + 1, 2);
    const qsizetype close = code.indexOf(QLatin1Char(')'));
    if (close >= 0) code.truncate(close);
    return code.trimmed();
}

QString partName(const MemberCU &m) {
    return (clip(m.LASTNAME) + QStringLiteral(", ") + clip(m.FIRSTNAME)).left(40);
}

QString who(const Payee &p) {
    return clip(p.lastName) + QStringLiteral(", ") + clip(p.firstName) +
           QStringLiteral(" (account ") + p.account + QLatin1Char(')');
}

bool blank(const QString &s) {
    return s.trimmed().isEmpty();
}

// The numbers the Social Security Administration never issues.
bool issuable(const QString &digits) {
    const QString area = digits.left(3), group = digits.mid(3, 2), serial = digits.mid(5, 4);
    return area != QLatin1String("000") && area != QLatin1String("666") &&
           !area.startsWith(QLatin1Char('9')) && group != QLatin1String("00") &&
           serial != QLatin1String("0000");
}

bool acceptedCode(const QString &code) {
    if (code.isEmpty() || code.size() > 2) return false;
    for (QChar c : code)
        if (!kIrsCodes.contains(c)) return false;
    return code.size() == 1 || code[0] != code[1];
}

// One withdrawal code as the run uses it.
struct WithdrawCode {
    QString OLDCODE, NEWCODE;
    bool ADDTOFILE = false;
};

// One qualifying transaction of a member's tax year.
struct TransEntry {
    Decimal AMOUNT;
    qint32 DATE = 0, TIME = 0, TRANSTYPE = 0;
    QString DESCRIPTION;
    qint64 position = 0;
};

// A member's transactions of the tax year of the types a run counts, through the account key
// from 31 December back to 1 January, newest first. Prepared once for the whole run; only the
// fields the run needs are read, so an index carrying them answers alone.
class YearWalk {
public:
    YearWalk(storage::DataFile<Trans> &tra, int year, const QVariantList &types,
             const QStringList &fields)
        : m_range(tra, Trans::Acct_Key, 1, fields), m_tra(tra),
          m_first(Clock::dayNumber(year, 1, 1)), m_last(Clock::dayNumber(year, 12, 31)) {
        m_range.only(QStringLiteral("TRANSTYPE"), types);
    }
    template <class Visit> bool walk(qint32 acct, Visit visit) {
        if (!m_range.select({acct}, m_last, m_first)) return false;
        while (m_range.next()) visit(m_tra.rec);
        return !m_range.failed();
    }

private:
    storage::DataRange<Trans> m_range;
    storage::DataFile<Trans> &m_tra;
    qint32 m_first, m_last;
};

// The entries with equal keys summed into the first of them, in the order first met.
template <class T, class KeyOf, class Add>
QList<T> consolidated(const QList<T> &entries, KeyOf keyOf, Add add) {
    QList<T> out;
    QHash<decltype(keyOf(entries.first())), qsizetype> at;
    for (const T &e : entries) {
        const auto key = keyOf(e);
        if (const auto found = at.constFind(key); found != at.cend()) {
            add(out[*found], e);
            continue;
        }
        at.insert(key, out.size());
        out << e;
    }
    return out;
}

Payee payeeOf(const MemberCU &m) {
    Payee p;
    p.tin = clip(m.SSNUM);
    p.account = QString::number(m.ACCTNUM);
    p.firstName = clip(m.FIRSTNAME);
    p.lastName = clip(m.LASTNAME);
    p.address = clip(m.ADDR1);
    p.city = clip(m.CITY);
    p.state = clip(m.STATE);
    p.zip = clip(m.ZIP);
    p.gross = p.taxable = p.withheld = Decimal(0, 2);
    return p;
}

} // namespace

const Vendor &vendor() {
    static const Vendor v{QStringLiteral("PENSION FUND OFFICE SOFTWARE"),
                          QStringLiteral("100 MAIN STREET"),
                          QStringLiteral("SPRINGFIELD"),
                          QStringLiteral("IL"),
                          QStringLiteral("62701"),
                          QStringLiteral("SUPPORT DESK"),
                          QStringLiteral("(217)555-0100")};
    return v;
}

const QString &fileName() {
    return kFileName;
}
const QString &irisFileName() {
    return kIrisFileName;
}
const QString &rTotalsCaption() {
    return kRCaption;
}
const QString &intTotalsCaption() {
    return kIntCaption;
}

QString rTotalsText(const Decimal &gross, const Decimal &tax, qint64 members,
                    const QString &irisPath) {
    QString s = kTotalDist + Picture::format(gross, kDollars) + kTotalTax +
                Picture::format(tax, kDollars) + kTotalMembers + QString::number(members);
    if (!irisPath.isEmpty()) s += kIrisWritten.arg(QDir::toNativeSeparators(irisPath));
    return s;
}

QString intTotalsText(const Decimal &reported, const QString &irisPath) {
    QString s = kTotalInterest + Picture::format(reported, kDollars) + QStringLiteral(".");
    if (!irisPath.isEmpty()) s += kIrisWritten.arg(QDir::toNativeSeparators(irisPath));
    return s;
}

TaxRun::TaxRun(storage::Database &db) : m_db(db) {}

bool TaxRun::fail(const QString &why) {
    m_error = why;
    const Form form = m_result.form;
    m_result = RunResult();
    m_result.form = form;
    return false;
}

bool TaxRun::gather(Form form, int year, const QList<qint32> &accounts) {
    m_result = RunResult();
    m_result.form = form;
    m_error.clear();
    m_filePath.clear();
    m_irisPath.clear();

    storage::DataFile<CUInfo> cui(m_db);
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<Trans> tra(m_db);
    storage::DataFile<Withdraw> wit(m_db);
    auto readFailed = [this](const storage::FileDef &def) {
        return fail(kReadFailed.arg(def.name, storage::lastErrorText()));
    };
    for (auto *file : {&cui.table(), &mem.table(), &tra.table(), &wit.table()})
        if (!file->open()) return readFailed(file->def());
    // One read snapshot, not a write transaction: every form from the same state of the fund,
    // while the other stations go on posting.
    storage::ReadSnapshot snapshot(m_db);

    if (!cui.first()) return cui.failed() ? readFailed(cui.def()) : fail(kNoSettings);
    const CUInfo &CUI = cui.rec;
    if (year == 0) {
        bool ok = false;
        year = clip(CUI.YEARFOR1099).trimmed().toInt(&ok);
        if (!ok || year < 1900 || year > 9999) return fail(kNoYear.arg(clip(CUI.YEARFOR1099)));
    }
    m_result.year = year;
    Payer &payer = m_result.payer;
    payer.ein = digitsOnly(CUI.EIN);
    payer.transmitterCode = clip(CUI.TRANSCODE);
    payer.name = clip(CUI.NAME);
    payer.address = clip(CUI.ADDRESS1);
    payer.city = clip(CUI.CITY);
    payer.state = clip(CUI.STATE);
    payer.zip = clip(CUI.ZIP);
    payer.contact = clip(CUI.MANAGER);
    payer.phone = clip(CUI.PHONE);
    payer.email = clip(CUI.EMAILADDRESS);
    payer.testFile = CUI.TESTFILEFOR1099 != 0;
    payer.irisTcc = clip(CUI.IRISTCC);
    payer.softwareId = clip(CUI.SOFTWAREID);

    QList<WithdrawCode> codes;
    if (form == Form::R) {
        for (bool more = wit.first(); more; more = wit.next())
            codes << WithdrawCode{clip(wit.rec.CODE), clip(wit.rec.IRSCODE),
                                  wit.rec.ADDTOIRSFILE != 0};
        if (wit.failed()) return readFailed(wit.def());
        std::stable_sort(
            codes.begin(), codes.end(),
            [](const WithdrawCode &a, const WithdrawCode &b) { return a.OLDCODE < b.OLDCODE; });
    }

    const QSet<qint32> only(accounts.begin(), accounts.end());
    // 1099-R: tax, withdrawals and the rollover and hardship codes; 1099-INT: the interest.
    YearWalk yearOf =
        form == Form::R
            ? YearWalk(tra, year, {TransType::Tax, TransType::Withdrawal, 23, 24, 26},
                       {"TRANSDATE", "TRANSAMOUNT", "TRANSTYPE", "DESC", "TRANSTIME"})
            : YearWalk(tra, year, {2, TransType::Dividend}, {"TRANSAMOUNT", "TRANSTYPE"});
    const qint64 total = progress ? mem.count() : 0;
    qint64 done = 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();

    QList<Payee> brecq;
    QList<DiskLine> diskrpt;
    RunResult &r = m_result;
    QList<TransEntry> transq;

    // The members in name order, only the fields the run uses.
    storage::DataRange<MemberCU> byName(
        mem, MemberCU::Name_Key, 0,
        {"ACCTNUM", "LASTNAME", "FIRSTNAME", "ADDR1", "CITY", "STATE", "ZIP", "SSNUM"});
    if (!byName.selectAll()) return readFailed(mem.def());
    while (byName.next()) {
        ++done;
        if (progress && sinceProgress.elapsed() >= 20) {
            progress(done, total);
            sinceProgress.restart();
        }
        const MemberCU &MEM = mem.rec;
        if (!only.isEmpty() && !only.contains(MEM.ACCTNUM)) continue;

        if (form == Form::Int) {
            Decimal sum(0, 2);
            if (!yearOf.walk(MEM.ACCTNUM, [&](const Trans &t) { sum += t.TRANSAMOUNT; }))
                return readFailed(tra.def());
            r.AMOUNT += sum;
            if (sum >= Decimal(1000, 2)) {
                Payee p = payeeOf(MEM);
                p.gross = sum;
                brecq << p;
                DiskLine d;
                d.PARTNAME = partName(MEM);
                d.SSNUM = QString::number(MEM.ACCTNUM);
                d.TOTALDIST = sum;
                d.TOTALTAX = d.TOTALTAXABLEAMOUNT = Decimal(0, 2);
                d.ACCTNUM = MEM.ACCTNUM;
                diskrpt << d;
                r.TEMP1 += sum;
            }
            continue;
        }

        transq.clear();
        if (!yearOf.walk(MEM.ACCTNUM, [&](const Trans &t) {
                transq << TransEntry{t.TRANSAMOUNT, t.TRANSDATE, t.TRANSTIME,
                                     t.TRANSTYPE,   t.DESC,      tra.position()};
            }))
            return readFailed(tra.def());
        if (transq.isEmpty()) continue;
        // Newest first; of entries made at the same moment the later entered comes first, so a
        // withdrawal is met before the tax that was posted with it.
        std::sort(transq.begin(), transq.end(), [](const TransEntry &a, const TransEntry &b) {
            if (a.DATE != b.DATE) return a.DATE > b.DATE;
            if (a.TIME != b.TIME) return a.TIME > b.TIME;
            return a.position > b.position;
        });

        const Payee base = payeeOf(MEM);
        // Adds a group's record under the IRS code of its withdrawal code, when that code goes
        // into the file at all.
        auto append = [&](const QString &code, const Decimal &gross, const Decimal &taxable,
                          const Decimal &tax) {
            for (const WithdrawCode &w : codes) {
                if (w.OLDCODE.toUpper() != code) continue;
                if (!w.ADDTOFILE) return;
                const QString irs = w.NEWCODE.left(2).toUpper().trimmed();
                Payee p = base;
                p.gross = gross;
                p.taxable = taxable;
                p.withheld = tax;
                p.distributionCode = irs;
                brecq << p;
                DiskLine d;
                d.PARTNAME = partName(MEM);
                d.SSNUM = clip(MEM.SSNUM);
                d.TOTALDIST = gross;
                d.TOTALTAX = tax;
                d.TOTALTAXABLEAMOUNT = taxable;
                d.DT = irs;
                d.ACCTNUM = MEM.ACCTNUM;
                diskrpt << d;
                r.FOUNDAMT1 += gross;
                r.FOUNDAMT2 += tax;
                return;
            }
        };
        Decimal temp1(0, 2), temp2(0, 2), temp3(0, 2);
        QString code;
        bool codeFlag = false;
        auto emitGroup = [&] {
            if (temp1.sign() > 0 || temp2.sign() > 0)
                append(code, temp1 + temp2, temp1 + temp2, temp2);
            if (temp3.sign() > 0) append(QStringLiteral("G"), temp3, Decimal(0, 2), Decimal(0, 2));
            temp1 = temp2 = temp3 = Decimal(0, 2);
        };
        for (const TransEntry &e : transq) {
            if (const std::optional<QString> c = codeOf(e.DESCRIPTION)) {
                if (codeFlag) emitGroup();
                codeFlag = true;
                code = *c;
            }
            if (code == QLatin1String("R") || code == QLatin1String("S")) continue;
            if (e.TRANSTYPE == TransType::Tax)
                temp2 -= e.AMOUNT;
            else if (code == QLatin1String("G"))
                temp3 -= e.AMOUNT;
            else
                temp1 -= e.AMOUNT;
        }
        emitGroup();
    }
    if (byName.failed()) return readFailed(mem.def());

    if (form == Form::Int) {
        r.lines = diskrpt;
        r.payees = brecq;
        if (progress) progress(total, total);
        return true;
    }
    // One line per payee and code, in the order first met: the diskette report by SSN, the file
    // by account number.
    r.lines = consolidated(
        diskrpt, [](const DiskLine &d) { return qMakePair(clip(d.SSNUM), clip(d.DT)); },
        [](DiskLine &into, const DiskLine &d) {
            into.TOTALDIST += d.TOTALDIST;
            into.TOTALTAX += d.TOTALTAX;
            into.TOTALTAXABLEAMOUNT += d.TOTALTAXABLEAMOUNT;
        });
    r.payees = consolidated(
        brecq, [](const Payee &p) { return qMakePair(p.account, p.distributionCode); },
        [](Payee &into, const Payee &p) {
            into.gross += p.gross;
            into.withheld += p.withheld;
            into.taxable += p.taxable;
        });
    if (progress) progress(total, total);
    return true;
}

QList<Finding> TaxRun::findings() const {
    QList<Finding> out;
    const Payer &payer = m_result.payer;
    auto payerFinding = [&](const QString &what) { out << Finding{kPayer, what, 0}; };
    if (digitsOnly(payer.ein).size() != 9) payerFinding(kNoEin);
    if (blank(payer.name)) payerFinding(kNoPayerName);
    if (blank(payer.address) || blank(payer.city) || blank(payer.state) || blank(payer.zip))
        payerFinding(kNoPayerAddress);
    if (blank(payer.transmitterCode)) payerFinding(kNoTcc);
    if (blank(payer.irisTcc)) payerFinding(kNoIrisTcc);
    if (blank(payer.contact) || blank(payer.phone) || blank(payer.email)) payerFinding(kNoContact);

    for (const Payee &p : m_result.payees) {
        const qint32 acct = p.account.toInt();
        auto finding = [&](const QString &what) { out << Finding{who(p), what, acct}; };
        const QString tin = digitsOnly(p.tin);
        if (tin.size() != 9)
            finding(kBadTin.arg(p.tin));
        else if (!issuable(tin))
            finding(kInvalidTin.arg(p.tin));
        if (blank(p.firstName) || blank(p.lastName)) finding(kNoName);
        if (blank(p.address) || blank(p.city) || blank(p.state) || blank(p.zip))
            finding(kNoAddress);
        if (m_result.form == Form::R) {
            if (p.withheld > p.gross)
                finding(kTaxOverGross.arg(Picture::format(p.withheld, kMoney).trimmed(),
                                          Picture::format(p.gross, kMoney).trimmed()));
            if (!acceptedCode(p.distributionCode)) finding(kBadCode.arg(p.distributionCode));
        }
    }
    for (const QString &f : irisFindings(m_result.form, payer, m_result.payees, m_result.year))
        out << Finding{kTransmission, f, 0};
    return out;
}

QByteArray TaxRun::fileBytes() const {
    try {
        return FixedWidth::encode(
            fileRecords(m_result.year, m_result.form, m_result.payer, vendor(), m_result.payees)
                .join(QString()));
    } catch (const FieldError &) {
        return {};
    }
}

QByteArray TaxRun::irisBytes(const QString &uniqueId) const {
    const QString id =
        uniqueId.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : uniqueId;
    return irisTransmission(m_result.year, m_result.form, m_result.payer, m_result.payees, id);
}

bool TaxRun::write(const QString &dir, const QString &uniqueId) {
    m_error.clear();
    m_filePath.clear();
    m_irisPath.clear();
    // A payee whose amounts cannot be written stops the run before any file is touched.
    for (const Payee &p : m_result.payees) {
        try {
            payeeRecord(m_result.year, m_result.form, p, 3);
        } catch (const FieldError &e) {
            m_error = kFieldError.arg(who(p), QString::fromLatin1(e.what()));
            return false;
        }
    }
    const QByteArray file = fileBytes();
    const QByteArray iris = irisBytes(uniqueId);
    const QDir out(dir);
    const QString filePath = out.filePath(kFileName), irisPath = out.filePath(kIrisFileName);

    QSaveFile first(filePath), second(irisPath);
    auto refuse = [this](const QString &path, const QString &why) {
        m_error = kNotWritable.arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    if (!first.open(QIODevice::WriteOnly) || first.write(file) != file.size())
        return refuse(filePath, first.errorString());
    if (!second.open(QIODevice::WriteOnly) || second.write(iris) != iris.size())
        return refuse(irisPath, second.errorString());

    // The previous 750-byte file, to put back should its XML companion fail at the last step.
    std::optional<QByteArray> previous;
    if (QFile old(filePath); old.exists()) {
        if (!old.open(QIODevice::ReadOnly)) return refuse(filePath, old.errorString());
        previous = old.readAll();
    }
    if (!first.commit()) return refuse(filePath, first.errorString());
    if (!second.commit()) {
        const QString why = second.errorString();
        QString restoreError;
        if (previous) {
            QSaveFile back(filePath);
            if (!back.open(QIODevice::WriteOnly) || back.write(*previous) != previous->size() ||
                !back.commit())
                restoreError = back.errorString();
        } else if (!QFile::remove(filePath)) {
            restoreError = QStringLiteral("it could not be removed");
        }
        m_error = restoreError.isEmpty()
                      ? kHalfWritten.arg(QDir::toNativeSeparators(irisPath), why,
                                         QDir::toNativeSeparators(filePath))
                      : kNotRestored.arg(QDir::toNativeSeparators(irisPath), why,
                                         QDir::toNativeSeparators(filePath), restoreError);
        return false;
    }
    m_filePath = filePath;
    m_irisPath = irisPath;
    return true;
}

QString TaxRun::totalsText() const {
    return m_result.form == Form::R ? rTotalsText(m_result.FOUNDAMT1, m_result.FOUNDAMT2,
                                                  m_result.reported(), m_irisPath)
                                    : intTotalsText(m_result.TEMP1, m_irisPath);
}

QString TaxRun::totalsCaption() const {
    return m_result.form == Form::R ? kRCaption : kIntCaption;
}

} // namespace Tax
