#pragma once
// The standard update form's window: prompts and entries bound to the record's fields, the
// status line, OK and Cancel. The rules live in FormLogic; a window adds its fields and, where
// it has rules of its own, overrides loaded() and storing().
#include "formlogic.h"

#include <QDialog>
#include <functional>
#include <memory>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class FormWindow : public QDialog {
    Q_OBJECT
public:
    FormWindow(storage::Table &table, FormConfig config, int request, const QString &caption,
               QWidget *parent = nullptr);
    ~FormWindow() override;

    // Opens the request on the record at `pos` (insert: a new record primed with `primed`),
    // runs the window and returns the GlobalResponse value. The record's position afterwards is
    // in position().
    int run(qint64 pos = 0, const storage::Row &primed = {});
    // run() in two steps: prepare() opens the request and fills the entries (false: the form
    // cannot open); response() is the outcome once OK or Cancel ended the form.
    bool prepare(qint64 pos = 0, const storage::Row &primed = {});
    int response() const { return m_response; }
    qint64 position() const { return m_logic->position(); }
    FormLogic &logic() { return *m_logic; }
    QString statusText() const;

    // Field entries, in tab order.
    QLineEdit *addText(const QString &prompt, const QString &field, const QString &tip = {});
    QLineEdit *addPattern(const QString &prompt, const QString &field, const QString &picture,
                          const QString &tip = {});
    QLineEdit *addNumber(const QString &prompt, const QString &field, int digits, const QString &tip = {});
    // A whole number kept between min and max (min <= 0 <= max); keys that would leave the range
    // are refused as typed.
    QLineEdit *addNumberInRange(const QString &prompt, const QString &field, qint64 min, qint64 max,
                                const QString &tip = {});
    QLineEdit *addDate(const QString &prompt, const QString &field, const QString &tip = {});
    // An amount of a DECIMAL field, typed with its places ("1,234.50", "$25") and shown in
    // `picture` (by default the field's digits, grouped: "1,234.50").
    QLineEdit *addDecimal(const QString &prompt, const QString &field, const QString &picture = {},
                          const QString &tip = {});
    // "Address 1:", "Address 2:", "City:", "State:", "Zip Code:" over the given fields.
    void addAddress(const QString &line1, const QString &line2, const QString &city, const QString &state,
                    const QString &zip);
    class QCheckBox *addCheck(const QString &text, const QString &field, const QString &tip = {});
    class QPlainTextEdit *addMemo(const QString &prompt, const QString &field, const QString &tip = {});
    void addRow(const QString &prompt, QWidget *widget);
    // Long forms: the rows that follow go into a new column to the right, or under all columns
    // across the form's width.
    void newColumn();
    void belowColumns();
    void setButtonTexts(const QString &ok, const QString &cancel);
    // Buttons that save and go on to the browse's next, prior, first or last record, a page on,
    // or a new record (forms called from a browse).
    void enableNavigation();
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Shows the form as a child window of the frame instead of modally (single-record settings
    // windows): prepare() first.
    void startModeless();
    // Keeps the window's place in PENSION.INI under `section`.
    void setPlaceSection(const QString &section) { m_placeSection = section; }

    // Presses OK / Cancel as the user does (also for tests).
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    virtual void loaded() {}  // the record's values are in the entries
    virtual void storing() {} // about to copy the entries back into the record
    void loadEntries();
    // False when an entry cannot be read (with a message when `report`).
    bool storeEntries(bool report = true);

private:
    struct Binding {
        QString field;
        QWidget *widget;
        std::function<void(const QVariant &)> load;
        std::function<bool(QVariant &, bool report)> store; // false: the entry cannot be read
    };
    void finish(FormLogic::Outcome outcome);
    void bindNumber(const QString &prompt, const QString &field, QLineEdit *edit, qint64 min, qint64 max,
                    const QString &tip);
    static QFormLayout *newFormLayout();

    std::unique_ptr<FormLogic> m_logic;
    storage::Table &m_table;
    QList<Binding> m_bindings;
    class QVBoxLayout *m_body;
    class QHBoxLayout *m_columns;
    QFormLayout *m_form; // where rows go
    QLabel *m_status;
    class QHBoxLayout *m_foot;
    QPushButton *m_ok, *m_cancel;
    int m_response = Response::RequestCancelled;
    QString m_placeSection;
};
