#pragma once
// The fund's settings record, the prompts of the members' user-defined fields, the about window.
#include "common/formwindow.h"

#include <QValidator>

namespace Settings {
// The position of the single record of CUInfo / Misc, added blank (prompts "MISC1" ... "MISC6")
// on a new installation; 0 when the file cannot be used.
qint64 fundSettingsRecord(storage::Table &cui);
qint64 promptsRecord(storage::Table &mis);
// "Savings Vestrel 2.0" or "Pension Vestrel 2.0".
QString aboutTitle(qint32 local, const QString &localDesc);

// The codes the IRS issues (the IRIS TCC and software id): upper-case letters and digits only;
// lower case is raised as it is typed, anything else refused.
class CodeValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};
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
