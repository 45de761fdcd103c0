#pragma once
// The fund's settings record, the prompts of the members' user-defined fields, the about window.
#include "common/formwindow.h"

namespace Settings {
// The position of the single record of CUInfo / Misc, added blank (prompts "MISC1" ... "MISC6")
// on a new installation; 0 when the file cannot be used.
qint64 fundSettingsRecord(storage::Table &cui);
qint64 promptsRecord(storage::Table &mis);
// "Savings Vestrel 2.0" or "Pension Vestrel 2.0".
QString aboutTitle(qint32 local, const QString &localDesc);
} // namespace Settings

// "Credit Union Information"
class FundSettingsForm : public FormWindow {
    Q_OBJECT
public:
    explicit FundSettingsForm(storage::Table &table, QWidget *parent = nullptr);
};

// "Edit Misc Prompts"
class MiscPromptsForm : public FormWindow {
    Q_OBJECT
public:
    explicit MiscPromptsForm(storage::Table &table, QWidget *parent = nullptr);
};

void EDITCUINFO();
void EDITMISCPROMPTS();
void ABOUT();
