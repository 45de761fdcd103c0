#pragma once
// Contractors: the list of employers and their form.
#include "common/browsewindow.h"
#include "common/formwindow.h"
#include "data/records.h"

namespace ContractorRules {
// City, state and ZIP under the first address line: "SPRINGFIELD, IL 62701", at most 30 characters.
QString CSZ(const Contractor &c);
// A phone or fax number through its pattern, digits past ten as an extension; blank when empty.
QString phone(const QString &stored);
BrowseConfig browse();
FormConfig form();
// A contractor that payroll records (PayData, PayBreak, PayBackup) refer to keeps its number, so
// that no new contractor inherits its payroll history; the standard referential-integrity
// warning naming the first such file, or a message without text when it may go.
Message deleteRefusal(storage::Database &db, const Contractor &c);
} // namespace ContractorRules

// "Edit Contractor Information"
class ContractorForm : public FormWindow {
    Q_OBJECT
public:
    ContractorForm(storage::Table &table, int request, QWidget *parent = nullptr);
};

void BROWSECONTRACTORINFO();
