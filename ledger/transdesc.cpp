#include "transdesc.h"

#include "common/browseprocedure.h"
#include "platform/picture.h"

#include <QCheckBox>

namespace TransDescRules {
QString debitCredit(quint8 positive) { return positive != 0 ? "CREDIT" : "DEBIT"; }

quint8 positiveAfterSave(bool debit, bool credit, quint8 previous) {
    if (debit) return 0;
    if (credit) return 1;
    return previous;
}

BrowseConfig browse() {
    BrowseConfig c;
    c.caption = "Browse Transaction Descriptions";
    c.objectName = "BROWSETRANSDESC";
    c.tabs = {{"Code", TransDesc::TransCode_Key.index, "Transaction Code:", "TRANSCODE", true},
              {"Description", TransDesc::TransDesc_Key.index, "Transaction Description:", "TRANSDESC", true}};
    c.columns = {column<TransDesc>("Transaction Code", 20, [](const TransDesc &t) { return QString::number(t.TRANSCODE); },
                                   Qt::AlignRight | Qt::AlignVCenter),
                 column<TransDesc>("Transaction Description", 30, [](const TransDesc &t) { return t.TRANSDESC; }),
                 column<TransDesc>("Debit / Credit", 10, [](const TransDesc &t) { return debitCredit(t.POSITIVE); })};
    // The built-in types the program writes itself are not codes of this list.
    const int code = TransDesc::layout().def().fieldIndex("TRANSCODE");
    c.filter = [code](const storage::Row &row) { return row[code].toLongLong() > 0; };
    c.closeText = "&Cancel";
    c.closeCompletes = true;
    return c;
}

FormConfig form() {
    FormConfig f;
    f.fileName = "TransDesc";
    f.keyNames = {{TransDesc::TransCode_Key.index, "Transaction Code Key"}};
    f.autoNumberField = TransDesc::layout().def().fieldIndex("TRANSCODE");
    f.autoNumberKey = TransDesc::TransCode_Key.index;
    return f;
}
} // namespace TransDescRules

TransDescForm::TransDescForm(storage::Table &table, int request, QWidget *parent)
    : FormWindow(table, TransDescRules::form(), request, "Edit Transaction Description", parent) {
    addText("Transaction Description:", "TRANSDESC");
    m_debit = new QCheckBox("Debit");
    m_debit->setObjectName("LOC:DEBIT");
    m_credit = new QCheckBox("Credit");
    m_credit->setObjectName("LOC:CREDIT");
    addRow(QString(), m_debit);
    addRow(QString(), m_credit);
    addNumber("Transaction Code:", "TRANSCODE", 14);
    setButtonTexts("&Save", "&Cancel");
    // The two boxes never stay checked together.
    connect(m_debit, &QCheckBox::toggled, this, [this](bool on) {
        if (on) m_credit->setChecked(false);
    });
    connect(m_credit, &QCheckBox::toggled, this, [this](bool on) {
        if (on) m_debit->setChecked(false);
    });
}

void TransDescForm::loaded() {
    bool credit = logic().value("POSITIVE").toInt() != 0;
    m_credit->setChecked(credit);
    m_debit->setChecked(!credit);
}

void TransDescForm::storing() {
    quint8 previous = quint8(logic().value("POSITIVE").toInt());
    logic().setValue("POSITIVE", TransDescRules::positiveAfterSave(m_debit->isChecked(), m_credit->isChecked(), previous));
}

void BROWSETRANSDESC() {
    runBrowse<TransDesc>(TransDescRules::browse(), [](storage::Table &t, int request, QWidget *parent) {
        return std::unique_ptr<FormWindow>(new TransDescForm(t, request, parent));
    });
}
