#pragma once
// The 1099-R for a few members only (a corrected or late return): the user lists the members by
// account number, and Print runs the 1099-R files, diskette report and forms for them alone.
#include "platform/storage/database.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

class Dialogs;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace Tax {

class ElectronicFile;

struct SelectedMember {
    QString ACCOUNTNUMBER; // the member's account number as digits
    QString MEMBERNAME;    // "FIRST LAST"
};

// Kept for the whole program run; only Cancel empties it.
QList<SelectedMember> &SELECTEDMEMBERSQUEUE();

class SelectedMembers {
public:
    SelectedMembers(storage::Database &db, Dialogs &dialogs);

    // "&Add": true when the member was appended (the add window closes); false after saying
    // why (blank, already listed, not found, unreadable), and the entry is to be cleared.
    bool add(const QString &accountNumber);
    // "Remove Member" on row `row` (-1 when none is highlighted); false after saying so.
    bool remove(int row);
    bool printEnabled() const { return !SELECTEDMEMBERSQUEUE().isEmpty(); }
    // "&Cancel": forgets the list.
    void cancel();
    // "&Print": the 1099-R run for the listed accounts only; the list stays.
    void print();

    QList<qint32> accounts() const;

    // Sets up the run that Print starts (the window adds its wait window, tests their seams).
    std::function<void(ElectronicFile &)> prepareRun;

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
};

// "Add Member To Queue ..."
class AddMemberWindow : public QDialog {
    Q_OBJECT
public:
    AddMemberWindow(SelectedMembers &logic, QWidget *parent = nullptr);
    QLineEdit *entry() const { return m_entry; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *cancelButton() const { return m_cancel; }
    void add();

private:
    SelectedMembers &m_logic;
    QLineEdit *m_entry;
    QPushButton *m_add, *m_cancel;
};

// "Selected Members IRS Reporting ..."
class SelectedMembersWindow : public QDialog {
    Q_OBJECT
public:
    SelectedMembersWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    SelectedMembers &logic() { return m_logic; }
    QTableWidget *list() const { return m_list; }
    QLabel *titleLine() const { return m_title; }
    QPushButton *button(const QString &text) const;

    // Opens the add window modally; tests replace how it runs.
    std::function<void(AddMemberWindow &)> runAdd;

    void addMember();
    void removeMember();
    void print();

public slots:
    void reject() override; // "&Cancel", Esc and the close box alike

private:
    void refresh();
    SelectedMembers m_logic;
    QLabel *m_title;
    QTableWidget *m_list;
    QList<QPushButton *> m_buttons;
};

} // namespace Tax

void SELECTEDMEMBERSIRSREPORTING();
