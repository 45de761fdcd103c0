#include "locals.h"

#include "common/browseprocedure.h"

namespace LocalRules {
BrowseConfig browse() {
    BrowseConfig c;
    c.caption = "Browse Local Information";
    c.objectName = "BROWSELOCALS";
    c.tabs = {{"Name", LocInfo::Name_Key.index, "Name:", "NAME", false},
              {"Number", LocInfo::LocalNum_Key.index, "Local Number:", "LOCALNUM", false}};
    c.columns = {column<LocInfo>("Local Number", 10, [](const LocInfo &l) { return l.LOCALNUM; }),
                 column<LocInfo>("Name", 40, [](const LocInfo &l) { return l.NAME; }),
                 column<LocInfo>("City", 20, [](const LocInfo &l) { return l.CITY; }),
                 column<LocInfo>("Phone", 16, [](const LocInfo &l) { return l.PHONE; })};
    c.closeText = "E&xit";
    return c;
}

FormConfig form() {
    FormConfig f;
    f.fileName = "LocInfo";
    f.autoNumberField = LocInfo::layout().def().fieldIndex("AUTONUM");
    f.autoNumberKey = LocInfo::AutoNum_Key.index;
    return f;
}
} // namespace LocalRules

LocalForm::LocalForm(storage::Table &table, int request, QWidget *parent)
    : FormWindow(table, LocalRules::form(), request, "Edit Local Information", parent) {
    addText("Name:", "NAME");
    addText("Local Number:", "LOCALNUM");
    addAddress("ADDRESS1", "ADDRESS2", "CITY", "STATE", "ZIP");
    addPattern("Phone Number:", "PHONE", "@P(###) ###-####P");
    addPattern("Fax Number:", "FAX", "@P(###) ###-####P");
}

void BROWSELOCALS() {
    runBrowse<LocInfo>(LocalRules::browse(), [](storage::Table &t, int request, QWidget *parent) {
        return std::unique_ptr<FormWindow>(new LocalForm(t, request, parent));
    });
}
