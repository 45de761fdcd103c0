#include "contractors.h"

#include "common/browseprocedure.h"
#include "platform/picture.h"
#include "platform/text.h"

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

FormConfig form() {
    FormConfig f;
    f.fileName = "Contractor";
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
