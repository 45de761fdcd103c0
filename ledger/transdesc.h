#pragma once
// Transaction codes: their list, their form and the rules of the Debit/Credit boxes.
#include "common/browsewindow.h"
#include "common/formwindow.h"
#include "data/records.h"

class QCheckBox;

namespace TransDescRules {
// "CREDIT" when the code adds to an account, "DEBIT" when it takes from it.
QString debitCredit(quint8 positive);
// TRD:POSITIVE after Save: Debit checked 0, Credit checked 1, neither: unchanged.
quint8 positiveAfterSave(bool debit, bool credit, quint8 previous);
BrowseConfig browse();
FormConfig form();
} // namespace TransDescRules

// "Edit Transaction Description"
class TransDescForm : public FormWindow {
    Q_OBJECT
public:
    TransDescForm(storage::Table &table, int request, QWidget *parent = nullptr);
    QCheckBox *debit() const { return m_debit; }
    QCheckBox *credit() const { return m_credit; }

protected:
    void loaded() override;
    void storing() override;

private:
    QCheckBox *m_debit, *m_credit;
};

void BROWSETRANSDESC();
