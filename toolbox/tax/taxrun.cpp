#include "taxrun.h"

#include "platform/picture.h"
#include "platform/storage/database.h"

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
const QString kIrisWritten = QStringLiteral("|The IRIS transmission was written to %1.");
const QString kDollars = QStringLiteral("@n$20.2");
} // namespace

const Vendor &vendor() {
    static const Vendor v{QStringLiteral("PENSION FUND OFFICE SOFTWARE"), QStringLiteral("100 MAIN STREET"),
                          QStringLiteral("SPRINGFIELD"), QStringLiteral("IL"), QStringLiteral("62701"),
                          QStringLiteral("SUPPORT DESK"), QStringLiteral("(217)555-0100")};
    return v;
}

const QString &fileName() { return kFileName; }
const QString &irisFileName() { return kIrisFileName; }
const QString &rTotalsCaption() { return kRCaption; }
const QString &intTotalsCaption() { return kIntCaption; }

QString rTotalsText(const Decimal &gross, const Decimal &tax, qint64 members, const QString &irisPath) {
    QString s = kTotalDist + Picture::format(gross, kDollars) + kTotalTax + Picture::format(tax, kDollars) +
                kTotalMembers + QString::number(members);
    if (!irisPath.isEmpty()) s += kIrisWritten.arg(irisPath);
    return s;
}

QString intTotalsText(const Decimal &reported, const QString &irisPath) {
    QString s = kTotalInterest + Picture::format(reported, kDollars) + QStringLiteral(".");
    if (!irisPath.isEmpty()) s += kIrisWritten.arg(irisPath);
    return s;
}

TaxRun::TaxRun(storage::Database &db) : m_db(db) {}

bool TaxRun::fail(const QString &why) {
    m_error = why;
    m_result = RunResult();
    return false;
}

bool TaxRun::gather(Form form, int year, const QList<qint32> &accounts) {
    m_result = RunResult();
    m_result.form = form;
    m_result.year = year;
    return form == Form::R ? gatherR(accounts) : gatherInt(accounts);
}

bool TaxRun::gatherR(const QList<qint32> &) { return true; }
bool TaxRun::gatherInt(const QList<qint32> &) { return true; }

QList<Finding> TaxRun::findings() const { return {}; }
QByteArray TaxRun::fileBytes() const { return {}; }
QByteArray TaxRun::irisBytes(const QString &) const { return {}; }
bool TaxRun::write(const QString &, const QString &) { return false; }

QString TaxRun::totalsText() const {
    return m_result.form == Form::R
               ? rTotalsText(m_result.FOUNDAMT1, m_result.FOUNDAMT2, m_result.reported(), m_irisPath)
               : intTotalsText(m_result.TEMP1, m_irisPath);
}

QString TaxRun::totalsCaption() const { return m_result.form == Form::R ? kRCaption : kIntCaption; }

} // namespace Tax
