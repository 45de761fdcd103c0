#pragma once
// The union locals: their list and form.
#include "common/browsewindow.h"
#include "common/formwindow.h"
#include "data/records.h"

namespace LocalRules {
BrowseConfig browse();
FormConfig form();
} // namespace LocalRules

// "Edit Local Information"
class LocalForm : public FormWindow {
    Q_OBJECT
public:
    LocalForm(storage::Table &table, int request, QWidget *parent = nullptr);
};

void BROWSELOCALS();
