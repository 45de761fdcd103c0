#pragma once
// The window half of a report: the member selection (when the report takes members), the
// report's own choices, and Print / Close. Print checks the choices, remembers them in the
// report's section of PENSION.INI and runs the report; the next window opens with them.
#include "memberselection.h"
#include "reportlogic.h"

#include <QGroupBox>
#include <QWidget>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

// All members or one local, open/closed/both, an account range, the order.
class MemberSelectionWidget : public QGroupBox {
    Q_OBJECT
public:
    explicit MemberSelectionWidget(QWidget *parent = nullptr);
    void set(const MemberSelection &selection);
    // The choices as entered; MemberSelection::problem() says whether they can be run.
    MemberSelection selection() const;

    QComboBox *members() const { return m_members; }
    QLineEdit *local() const { return m_local; }
    QComboBox *status() const { return m_status; }
    QLineEdit *fromAccount() const { return m_from; }
    QLineEdit *toAccount() const { return m_to; }
    QComboBox *order() const { return m_order; }

private:
    void enableLocal();
    QComboBox *m_members, *m_status, *m_order;
    QLineEdit *m_local, *m_from, *m_to;
};

class ReportWindow : public QWidget {
    Q_OBJECT
public:
    // `procedure` names the section of PENSION.INI that keeps the choices.
    ReportWindow(storage::Database &db, Dialogs &dialogs, const QString &title,
                 const QString &procedure, QWidget *parent = nullptr);

    QPushButton *printButton() const { return m_print; }
    QPushButton *closeButton() const { return m_close; }
    MemberSelectionWidget *selection() const { return m_selection; } // null without one
    QString procedure() const { return m_choices.section(); }

    // What Print does: false when a choice was refused (said) and nothing ran.
    bool print();

protected:
    // Adds the member selection, as last chosen.
    void addSelection();
    void addRow(const QString &label, QWidget *control);
    // A date entry (mm/dd/yyyy) showing `day`.
    QLineEdit *addDate(const QString &label, qint32 day);
    // The date typed in `edit`; false after "Invalid Date" (a blank entry is refused too unless
    // `blankAllowed`).
    bool readDate(QLineEdit *edit, qint32 &day, bool blankAllowed = false);
    // A period from two date entries; refused (said) when it ends before it begins.
    bool readPeriod(QLineEdit *from, QLineEdit *to, qint32 &fromDay, qint32 &toDay);
    // Call at the end of the subclass's constructor: adds the buttons.
    void finishLayout();
    MemberSelection memberSelection() const;

    // Reads the window's own choices into the logic; false (after saying why) runs nothing.
    virtual bool readChoices() = 0;
    // Writes the window's own choices into the report's section.
    virtual void storeChoices(ReportChoices &choices) = 0;
    virtual void runReport() = 0;

    ReportChoices &choices() { return m_choices; }
    storage::Database &m_db;
    Dialogs &m_dialogs;

private:
    ReportChoices m_choices;
    QFormLayout *m_form;
    MemberSelectionWidget *m_selection = nullptr;
    QPushButton *m_print = nullptr, *m_close = nullptr;
};

// Opens a report window as a child of the frame, its place kept under its procedure's name.
void startReportWindow(ReportWindow *window);
