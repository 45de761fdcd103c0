#include "withdrawcodes.h"

#include "common/browseprocedure.h"
#include "common/riupdate.h"

namespace {
const QString kFileName = QStringLiteral("Withdraw");
}

namespace WithdrawRules {
QString addToIrsFile(quint8 flag) { return flag ? "Yes" : "No"; }

BrowseConfig browse() {
    BrowseConfig c;
    c.caption = "Browse Withdrawal Codes ...";
    c.objectName = "BROWSEWITH";
    c.tabs = {{"Code", Withdraw::CodeKeyOrder.index, "Code:", "CODE", false}};
    c.showTabs = false;
    c.columns = {column<Withdraw>("Code", 4, [](const Withdraw &w) { return w.CODE.left(1); }),
                 column<Withdraw>("Description", 50, [](const Withdraw &w) { return w.DESCRIPTION.left(100); }),
                 column<Withdraw>("IRS Code", 8, [](const Withdraw &w) { return w.IRSCODE.left(1); }),
                 column<Withdraw>("Add To IRS File", 14, [](const Withdraw &w) { return addToIrsFile(w.ADDTOIRSFILE); })};
    c.closeText = "Close";
    return c;
}

FormConfig form() {
    FormConfig f;
    f.fileName = kFileName;
    f.keyNames = {{Withdraw::CodeKeyOrder.index, "Code Order"}};
    f.cancelWarning = 33;
    return f;
}
} // namespace WithdrawRules

EditWithForm::EditWithForm(storage::Table &table, int request, QWidget *parent)
    : FormWindow(table, WithdrawRules::form(), request, "Update Records...", parent) {
    addText("Code:", "CODE", "Code of Withdrawal");
    addText("IRS Code:", "IRSCODE");
    addCheck(" Add To IRS File", "ADDTOIRSFILE");
    addText("Description:", "DESCRIPTION", "Description of Withdrawal");
    addMemo("Instructions:", "Instructions", "Instructions");
}

int EDITWITH(storage::Table &table, qint64 &pos, QWidget *parent) {
    EditWithForm form(table, GlobalRequest(), parent);
    int response = form.run(pos);
    pos = form.position();
    GlobalResponse() = response;
    return response;
}

void BROWSEWITH() {
    runBrowse<Withdraw>(WithdrawRules::browse(), [](storage::Table &t, int request, QWidget *parent) {
        return std::unique_ptr<FormWindow>(new EditWithForm(t, request, parent));
    });
}

int RIUPDATE_WITHDRAW(storage::DataFile<Withdraw> &file, Dialogs &dialogs, bool fromForm) {
    return RI::update(file, dialogs, fromForm, kFileName);
}

int RIDELETE_WITHDRAW(storage::DataFile<Withdraw> &file, Dialogs &dialogs) {
    return RI::remove(file, dialogs, kFileName);
}
