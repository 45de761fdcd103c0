#include "settings.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/warnings.h"
#include "common/windows.h"
#include "data/records.h"
#include "framelogic.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

namespace {
FormConfig singleRecord(const QString &file) {
    FormConfig f;
    f.fileName = file;
    f.cancelWarning = 0; // Cancel closes without writing
    return f;
}

// Keeps the table (and its open file) alive as long as the form that edits it.
template <class Form> void startForm(const storage::FileDef &def, qint64 (*record)(storage::Table &)) {
    auto table = std::make_shared<storage::Table>(App::db(), def);
    if (!CHECKOPEN(*table, App::dialogs())) return;
    qint64 pos = record(*table);
    if (pos == 0) {
        STANDARDWARNING(App::dialogs(), 35, def.name);
        return;
    }
    auto *form = new Form(*table);
    QObject::connect(form, &QObject::destroyed, [table] {});
    if (form->prepare(pos)) form->startModeless();
    else delete form;
}
} // namespace

namespace Settings {
QValidator::State CodeValidator::validate(QString &input, int &) const {
    input = input.toUpper();
    for (QChar c : input)
        if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))))
            return Invalid;
    return Acceptable;
}

namespace {
// The settings file's single record, added with `fill` when there is none yet. Looked for and
// added under the file's add lock, so two stations opening the settings at once make one record.
qint64 theRecord(storage::Table &file, const std::function<void(storage::Table &)> &fill) {
    storage::Transaction batch(file.database());
    if (!batch.active() || !file.database().serializeAdds(file.def())) return 0;
    file.setRecordOrder();
    if (file.next()) return batch.commit() ? file.pos : 0;
    if (file.failed()) return 0; // a record that cannot be read is not a missing one
    file.clearBuffer();
    fill(file);
    return file.add() && batch.commit() ? file.pos : 0;
}
} // namespace

qint64 fundSettingsRecord(storage::Table &cui) {
    return theRecord(cui, [](storage::Table &) {});
}

qint64 promptsRecord(storage::Table &mis) {
    return theRecord(mis, [](storage::Table &t) {
        for (int i = 0; i < 6; ++i) t.row[i] = QString("MISC%1").arg(i + 1);
    });
}

QString aboutTitle(qint32 local, const QString &localDesc) {
    return Frame::isSavingsMode(local, localDesc) ? "Savings Vestrel 2.0" : "Pension Vestrel 2.0";
}
} // namespace Settings

FundSettingsForm::FundSettingsForm(storage::Table &table, QWidget *parent)
    : FormWindow(table, singleRecord("CUInfo"), Request::ChangeRecord, "Credit Union Information", parent) {
    setObjectName("EDITCUINFO");
    setPlaceSection("EditCUinfo");
    addText("Credit Union Name:", "NAME");
    addAddress("ADDRESS1", "ADDRESS2", "CITY", "STATE", "ZIP");
    addPattern("Phone:", "PHONE", "@P(###) ###-####P");
    addDecimal("Administration Fee:", "ADMINFEE", "@n$15.2");
    addNumberInRange("Tax Percentage:", "TAXPERC", 0, CUInfo::TaxPercentMax,
                     "Federal tax withheld on withdrawals, in whole percent");
    addText("Manager:", "MANAGER");
    addText("Transmitter Control Code:", "TRANSCODE");
    for (auto [prompt, field] : {std::pair{"IRIS TCC:", "IRISTCC"}, std::pair{"IRIS Software ID:", "SOFTWAREID"}}) {
        QLineEdit *code = addText(prompt, field);
        code->setValidator(new Settings::CodeValidator(code));
    }
    addText("EIN:", "EIN");
    addText("Year For 1099:", "YEARFOR1099");
    addText("Email Address:", "EMAILADDRESS");
    addDecimal("Dormant Amount:", "DORMANTAMOUNT");
    addCheck(" Test File For 1099", "TESTFILEFOR1099");
}

MiscPromptsForm::MiscPromptsForm(storage::Table &table, QWidget *parent)
    : FormWindow(table, singleRecord("Misc"), Request::ChangeRecord, "Edit Misc Prompts", parent) {
    setObjectName("EDITMISCPROMPTS");
    setPlaceSection("EditMiscPrompts");
    for (int i = 1; i <= 6; ++i) addText(QString("Misc%1 Name:").arg(i), QString("MISC%1NAME").arg(i));
    setButtonTexts("&OK", "&Cancel");
}

void EDITCUINFO() { startForm<FundSettingsForm>(CUInfo::layout().def(), &Settings::fundSettingsRecord); }

void EDITMISCPROMPTS() { startForm<MiscPromptsForm>(Misc::layout().def(), &Settings::promptsRecord); }

void ABOUT() {
    auto *about = new QDialog;
    EnhancedFocusClassType::install(about);
    about->setObjectName("ABOUT");
    about->setWindowTitle("About Pension Vestrel");
    auto *layout = new QVBoxLayout(about);
    auto *title = new QLabel(Settings::aboutTitle(GLO().LOCAL, GLO().LOCALNUM));
    title->setObjectName("LOC:TITLESTRING");
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 8);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto *close = new QPushButton("&Close");
    QObject::connect(close, &QPushButton::clicked, about, &QDialog::accept);
    // Which database serves this station: the file, or which server.
    auto *engine = new QLabel(App::db().location().describe());
    engine->setObjectName("ENGINE");
    engine->setAlignment(Qt::AlignCenter);
    engine->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(engine);
    layout->addWidget(close, 0, Qt::AlignCenter);
    about->resize(320, 140);
    Windows::start(about);
    QObject::connect(about, &QDialog::finished, about, [about] {
        if (auto *sub = about->parentWidget()) sub->close();
    });
}
