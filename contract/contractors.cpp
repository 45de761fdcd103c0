#include "contractors.h"

#include "common/browseprocedure.h"
#include "common/warnings.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <optional>
#include <type_traits>

namespace {
const QString kPhonePicture = QStringLiteral("@P(###) ###-####P");
} // namespace

namespace ContractorRules {
QString CSZ(const Contractor &c) {
    return (clip(c.CITY) + ", " + clip(c.STATE) + " " + clip(c.ZIP)).left(30);
}

QString phone(const QString &stored) {
    QString digits;
    for (QChar ch : stored)
        if (ch.isDigit()) digits += ch;
    if (digits.isEmpty()) return {};
    QString shown = Picture::applyPattern(digits.left(10), kPhonePicture);
    if (digits.size() > 10) shown += " (" + digits.mid(10) + ")";
    return shown;
}

BrowseConfig browse() {
    BrowseConfig c;
    c.caption = "Browse Contractor Information";
    c.objectName = "BROWSECONTRACTORINFO";
    c.tabs = {{"Contractor Name", Contractor::Name_Key.index, "Contractor Name:", "NAME", false}};
    c.columns = {column<Contractor>("Name", 30, [](const Contractor &r) { return r.NAME.left(30); }),
                 column<Contractor>("Address", 30, [](const Contractor &r) { return r.ADDRESS1 + "\n" + CSZ(r); }),
                 column<Contractor>("Phone Number / Fax Number", 26,
                                    [](const Contractor &r) { return phone(r.PHONE) + "\n" + phone(r.FAX); })};
    c.rowLines = 2;
    c.closeText = "E&xit";
    return c;
}

namespace {
// A failed read answers with its own warning rather than counting as "no reference".
bool readFailed() {
    const int code = storage::lastError().code;
    return code != storage::NoError && code != storage::RecordNotFound;
}

template <class R> std::optional<Message> payLinesReferTo(storage::Database &db, qint32 number, const QString &file) {
    storage::DataFile<R> lines(db);
    if (!lines.open()) return standardWarningMessage(35, file);
    if constexpr (std::is_same_v<R, PayBackup>) {
        lines.rec.CONTRACTOR = number;
        lines.set(PayBackup::ContractorDate_Key, 1);
        if (lines.next() && lines.rec.CONTRACTOR == number) return standardWarningMessage(13, file);
    } else {
        // The saved payroll: a header and its lines, a handful of records.
        lines.setStart(PayBreak::PatNum_Key);
        while (lines.next())
            if (lines.rec.CONTRACTOR == number) return standardWarningMessage(13, file);
    }
    if (readFailed()) return standardWarningMessage(35, file);
    return std::nullopt;
}
} // namespace

Message deleteRefusal(storage::Database &db, const Contractor &c) {
    storage::DataFile<PayData> pay(db);
    if (!pay.open()) return standardWarningMessage(35, "PayData");
    pay.rec.ACCTNUM = c.AUTONUM;
    pay.set(PayData::AcctNumDate, 1);
    if (pay.next() && pay.rec.ACCTNUM == c.AUTONUM) return standardWarningMessage(13, "PayData");
    if (readFailed()) return standardWarningMessage(35, "PayData");
    if (auto m = payLinesReferTo<PayBreak>(db, c.AUTONUM, "PayBreak")) return *m;
    if (auto m = payLinesReferTo<PayBackup>(db, c.AUTONUM, "PayBackup")) return *m;
    return {};
}

FormConfig form() {
    FormConfig f;
    f.fileName = "Contractor";
    f.deleteRefusal = [](FormLogic &logic) { return deleteRefusal(logic.database(), logic.get<Contractor>()); };
    f.autoNumberField = Contractor::layout().def().fieldIndex("AUTONUM");
    f.autoNumberKey = Contractor::AutoNum_Key.index;
    return f;
}
} // namespace ContractorRules

ContractorForm::ContractorForm(storage::Table &table, int request, QWidget *parent)
    : FormWindow(table, ContractorRules::form(), request, "Edit Contractor Information", parent) {
    addText("Name:", "NAME");
    addAddress("ADDRESS1", "ADDRESS2", "CITY", "STATE", "ZIP");
    addPattern("Phone Number:", "PHONE", kPhonePicture);
    addPattern("Fax Number:", "FAX", kPhonePicture);
    addText("Lic Num:", "LICNUM");
    addText("Contact:", "CONTACT", "Person To Contact");
}

void BROWSECONTRACTORINFO() {
    runBrowse<Contractor>(ContractorRules::browse(), [](storage::Table &t, int request, QWidget *parent) {
        return std::unique_ptr<FormWindow>(new ContractorForm(t, request, parent));
    });
}
