#include "formwindow.h"

#include "app.h"
#include "entries.h"
#include "windows.h"
#include "windowstate.h"
#include "enhancedfocus.h"
#include "entries.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kDatePicture = QStringLiteral("@d2");
} // namespace

FormWindow::FormWindow(storage::Table &table, FormConfig config, int request, const QString &caption,
                       QWidget *parent)
    : QDialog(parent), m_logic(std::make_unique<FormLogic>(table, App::dialogs(), std::move(config), request)),
      m_table(table) {
    EnhancedFocusClassType::install(this);
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    m_body = layout;
    m_columns = new QHBoxLayout;
    layout->addLayout(m_columns);
    m_form = newFormLayout();
    m_columns->addLayout(m_form);
    m_status = new QLabel;
    m_status->setObjectName("status");
    m_status->setText(statusText());
    auto *buttons = new QDialogButtonBox;
    m_ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &FormWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FormWindow::reject);
    auto *foot = new QHBoxLayout;
    m_foot = foot;
    foot->addWidget(m_status, 1);
    foot->addWidget(buttons);
    layout->addLayout(foot);
}

void FormWindow::enableNavigation() {
    const int request = m_logic->request();
    if (request != Request::ChangeRecord && request != Request::InsertRecord) return;
    // Save, then go on to another record of the browse (or a new one).
    const struct {
        const char *text, *tip;
        int vcr;
    } moves[] = {{"|<", "Go to the First Page", VCR::First},        {"<<", "Go to the Prior Page", VCR::PageBackward},
                 {"<", "Go to the Prior Record", VCR::Backward},    {">", "Go to the Next Record", VCR::Forward},
                 {">>", "Go to the Next Page", VCR::PageForward},   {">|", "Go to the Last Page", VCR::Last},
                 {"+", "Insert a new Record", VCR::Insert}};
    int at = 0;
    for (const auto &m : moves) {
        if (request == Request::InsertRecord && m.vcr != VCR::Insert) continue;
        auto *b = new QPushButton(QString::fromLatin1(m.text));
        b->setToolTip(QString::fromLatin1(m.tip));
        b->setFixedWidth(32);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        const int vcr = m.vcr;
        connect(b, &QPushButton::clicked, this, [this, vcr] {
            VCRRequest() = vcr;
            accept();
            if (result() != QDialog::Accepted) VCRRequest() = VCR::None;
        });
        m_foot->insertWidget(at++, b);
    }
}

FormWindow::~FormWindow() = default;

QFormLayout *FormWindow::newFormLayout() {
    auto *form = new QFormLayout;
    form->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    return form;
}

void FormWindow::newColumn() {
    m_form = newFormLayout();
    m_columns->addSpacing(2 * EnhancedFocusClassType::IndicatorRoom);
    m_columns->addLayout(m_form);
}

void FormWindow::belowColumns() {
    m_form = newFormLayout();
    m_body->insertLayout(m_body->indexOf(m_columns) + 1, m_form);
}

QString FormWindow::statusText() const { return m_logic->statusText(); }

void FormWindow::setButtonTexts(const QString &ok, const QString &cancel) {
    m_ok->setText(ok);
    m_cancel->setText(cancel);
}

void FormWindow::addRow(const QString &prompt, QWidget *widget) {
    if (m_logic->request() == Request::ViewRecord) widget->setEnabled(false);
    m_form->addRow(prompt, widget);
}

QLineEdit *FormWindow::addText(const QString &prompt, const QString &field, const QString &tip) {
    auto *edit = new QLineEdit;
    int i = m_table.def().fieldIndex(field);
    if (i >= 0 && m_table.def().fields[i].type == storage::FieldType::String)
        edit->setMaxLength(m_table.def().fields[i].size);
    edit->setToolTip(tip);
    edit->setObjectName(field);
    m_bindings << Binding{field, edit, [edit](const QVariant &v) { edit->setText(v.toString()); },
                          [edit](QVariant &v, bool) {
                              v = clip(edit->text());
                              return true;
                          }};
    addRow(prompt, edit);
    return edit;
}

QLineEdit *FormWindow::addPattern(const QString &prompt, const QString &field, const QString &picture,
                                  const QString &tip) {
    auto *edit = new QLineEdit;
    Entries::setPattern(edit, picture);
    edit->setToolTip(tip);
    edit->setObjectName(field);
    m_bindings << Binding{field, edit,
                          [edit, picture](const QVariant &v) {
                              QString s = v.toString();
                              edit->setText(s.contains(QRegularExpression("\\d")) ? Picture::applyPattern(s, picture) : QString());
                          },
                          [edit](QVariant &v, bool) {
                              static const QRegularExpression nonDigits("\\D");
                              QString shown = edit->displayText();
                              QString digits = QString(shown).remove(nonDigits);
                              // The same digits as stored: the stored text stays as it is.
                              if (digits == v.toString().remove(nonDigits)) return true;
                              // Blank when no digit was typed; no dangling separator ("62701-").
                              QString text = clip(shown);
                              while (!text.isEmpty() && (text.back() == '-' || text.back() == ' ')) text.chop(1);
                              v = digits.isEmpty() ? QString() : text;
                              return true;
                          }};
    addRow(prompt, edit);
    return edit;
}

QLineEdit *FormWindow::addNumber(const QString &prompt, const QString &field, int digits, const QString &tip) {
    auto *edit = new QLineEdit;
    edit->setMaxLength(digits + 1);
    int i = m_table.def().fieldIndex(field);
    bool isByte = i >= 0 && m_table.def().fields[i].type == storage::FieldType::Byte;
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(isByte ? QString("\\d{0,%1}").arg(digits) : QString("-?\\d{0,%1}").arg(digits)), edit));
    const qint64 max = isByte ? 255 : std::numeric_limits<qint32>::max();
    const qint64 min = isByte ? 0 : std::numeric_limits<qint32>::min();
    bindNumber(prompt, field, edit, min, max, tip);
    return edit;
}

QLineEdit *FormWindow::addNumberInRange(const QString &prompt, const QString &field, qint64 min, qint64 max,
                                        const QString &tip) {
    auto *edit = new QLineEdit;
    edit->setMaxLength(int(std::max(QString::number(min).size(), QString::number(max).size())));
    edit->setValidator(new WholeNumberValidator(min, max, edit));
    bindNumber(prompt, field, edit, min, max, tip);
    return edit;
}

void FormWindow::bindNumber(const QString &prompt, const QString &field, QLineEdit *edit, qint64 min, qint64 max,
                            const QString &tip) {
    edit->setAlignment(Qt::AlignRight);
    edit->setToolTip(tip);
    edit->setObjectName(field);
    m_bindings << Binding{field, edit, [edit](const QVariant &v) { edit->setText(QString::number(v.toLongLong())); },
                          [edit, prompt, min, max](QVariant &v, bool report) {
                              qint64 n = 0;
                              if (!Entries::readWholeNumber(edit->text(), min, max, &n)) {
                                  if (!report) return false;
                                  Entries::outOfRange(App::dialogs(), prompt, min, max);
                                  edit->setFocus();
                                  return false;
                              }
                              v = n;
                              return true;
                          }};
    addRow(prompt, edit);
}

QLineEdit *FormWindow::addDate(const QString &prompt, const QString &field, const QString &tip) {
    auto *edit = new QLineEdit;
    edit->setMaxLength(10);
    edit->setPlaceholderText("mm/dd/yyyy");
    Entries::setDate(edit, kDatePicture);
    edit->setToolTip(tip);
    edit->setObjectName(field);
    m_bindings << Binding{field, edit,
                          [edit](const QVariant &v) { edit->setText(Picture::format(v.toLongLong(), kDatePicture)); },
                          [edit](QVariant &v, bool report) {
                              bool ok = false;
                              qint32 day = Picture::deformatDate(edit->text(), kDatePicture, &ok);
                              if (!ok) {
                                  if (!report) return false;
                                  Entries::notADate(App::dialogs(), edit->text());
                                  edit->setFocus();
                                  return false;
                              }
                              v = day;
                              return true;
                          }};
    addRow(prompt, edit);
    return edit;
}

QLineEdit *FormWindow::addDecimal(const QString &prompt, const QString &field, const QString &picture,
                                  const QString &tip) {
    auto *edit = new QLineEdit;
    const storage::FieldDef &f = m_table.def().fields[m_table.def().fieldIndex(field)];
    const int places = f.places, digits = f.digits();
    edit->setValidator(Entries::amountValidator(digits - places, places, true, edit));
    edit->setAlignment(Qt::AlignRight);
    edit->setToolTip(tip);
    edit->setObjectName(field);
    // Without a picture of its own: the field's digits with a sign, grouped in thousands.
    const int whole = digits - places;
    const QString shown = !picture.isEmpty() ? picture
                                             : QString("@n-%1.%2").arg(whole + (whole - 1) / 3 + places + 2).arg(places);
    Entries::setAmount(edit, shown);
    m_bindings << Binding{field, edit,
                          [edit, places, shown](const QVariant &v) {
                              edit->setText(Picture::format(Decimal(v.toLongLong(), places), shown).trimmed());
                          },
                          [edit, places, digits, prompt](QVariant &v, bool report) {
                              Decimal d;
                              if (!Entries::readAmount(edit->text(), digits, places, &d)) {
                                  if (!report) return false;
                                  Entries::tooManyDigits(App::dialogs(), prompt, digits - places);
                                  edit->setFocus();
                                  return false;
                              }
                              v = d.units();
                              return true;
                          }};
    addRow(prompt, edit);
    return edit;
}

void FormWindow::addAddress(const QString &line1, const QString &line2, const QString &city,
                            const QString &state, const QString &zip) {
    addText("Address 1:", line1);
    addText("Address 2:", line2);
    addText("City:", city);
    addText("State:", state);
    addPattern("Zip Code:", zip, "@P#####-####P");
}

QCheckBox *FormWindow::addCheck(const QString &text, const QString &field, const QString &tip) {
    auto *box = new QCheckBox(text);
    box->setToolTip(tip);
    box->setObjectName(field);
    m_bindings << Binding{field, box, [box](const QVariant &v) { box->setChecked(v.toInt() != 0); },
                          [box](QVariant &v, bool) {
                              v = box->isChecked() ? 1 : 0;
                              return true;
                          }};
    addRow(QString(), box);
    return box;
}

QPlainTextEdit *FormWindow::addMemo(const QString &prompt, const QString &field, const QString &tip) {
    auto *edit = new QPlainTextEdit;
    edit->setToolTip(tip);
    edit->setObjectName(field);
    edit->setTabChangesFocus(true);
    m_bindings << Binding{field, edit, [edit](const QVariant &v) { edit->setPlainText(v.toString()); },
                          [edit](QVariant &v, bool) {
                              v = edit->toPlainText();
                              return true;
                          }};
    addRow(prompt, edit);
    return edit;
}

void FormWindow::loadEntries() {
    for (const Binding &b : m_bindings) b.load(m_logic->value(b.field));
    loaded();
}

bool FormWindow::storeEntries(bool report) {
    storing();
    bool all = true;
    for (const Binding &b : m_bindings) {
        QVariant v = m_logic->value(b.field);
        if (!b.store(v, report)) {
            if (report) return false;
            all = false; // an entry that cannot be read stays as it was
            continue;
        }
        // An entry that shows the stored value unchanged keeps the stored value as it is.
        if (v.toString() != m_logic->value(b.field).toString()) m_logic->setValue(b.field, v);
    }
    return all;
}

bool FormWindow::prepare(qint64 pos, const storage::Row &primed) {
    m_response = Response::RequestCancelled;
    if (!m_logic->open(pos, primed)) return false;
    if (!m_placeSection.isEmpty()) INIRESTOREWINDOW(this, pensionIniPath(), m_placeSection);
    m_status->setText(statusText());
    loadEntries();
    return true;
}

int FormWindow::run(qint64 pos, const storage::Row &primed) {
    if (!prepare(pos, primed)) return Response::RequestCancelled;
    if (m_logic->request() == Request::DeleteRecord) {
        // A delete is confirmed and carried out without showing the form.
        FormLogic::Outcome o = m_logic->remove();
        return o == FormLogic::Completed ? Response::RequestCompleted : Response::RequestCancelled;
    }
    exec();
    return m_response;
}

// Typing starts in the first entry, and Tab goes through the entries before OK and Cancel.
void FormWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    QWidget *previous = nullptr, *first = nullptr;
    for (const Binding &b : m_bindings) {
        if (previous) setTabOrder(previous, b.widget);
        previous = b.widget;
        if (!first && b.widget->isEnabled() && b.widget->focusPolicy() != Qt::NoFocus) first = b.widget;
    }
    if (previous) {
        setTabOrder(previous, m_ok);
        setTabOrder(m_ok, m_cancel);
    }
    QWidget *focused = focusWidget();
    if (first && (!focused || focused == m_ok || focused == m_cancel)) first->setFocus();
}

void FormWindow::startModeless() {
    setModal(false);
    QMdiSubWindow *sub = Windows::start(this, m_placeSection);
    // A finished form takes its child-window frame with it.
    connect(this, &QDialog::finished, this, [this, sub] {
        if (sub) sub->close();
        else close();
    });
}

void FormWindow::finish(FormLogic::Outcome outcome) {
    if (outcome == FormLogic::Stay) {
        if (m_logic->reloadedFromOtherStation()) loadEntries();
        int key = m_logic->refusedKey();
        if (key >= 0) {
            // Back on the entry of the refused key's first field.
            QString field = m_table.def().fields[m_table.def().keys[key].parts.first().field].name;
            for (const Binding &b : m_bindings)
                if (b.field == field) b.widget->setFocus();
        }
        return;
    }
    m_response = outcome == FormLogic::Completed ? Response::RequestCompleted : Response::RequestCancelled;
    if (!m_placeSection.isEmpty()) INISAVEWINDOW(this, pensionIniPath(), m_placeSection);
    QDialog::done(outcome == FormLogic::Completed ? QDialog::Accepted : QDialog::Rejected);
}

void FormWindow::accept() {
    if (m_logic->request() == Request::ViewRecord) {
        finish(FormLogic::Cancelled);
        return;
    }
    if (!storeEntries()) return;
    finish(m_logic->save());
}

void FormWindow::reject() {
    // Cancelling never stops at an entry that cannot be read; such an entry counts as a change.
    bool unreadable = m_logic->request() != Request::ViewRecord && !storeEntries(false);
    FormLogic::Outcome o = m_logic->cancel(unreadable);
    if (o == FormLogic::Stay && !m_bindings.isEmpty()) m_bindings.first().widget->setFocus();
    finish(o);
}
