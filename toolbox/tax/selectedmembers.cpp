#include "selectedmembers.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/windows.h"
#include "data/records.h"
#include "electronicfile.h"
#include "platform/dialogs.h"
#include "platform/storage/error.h"
#include "platform/text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Tax {
namespace {
const QString kTitle = QStringLiteral("Selected Members IRS Reporting ...");
const QString kTitleLine = QStringLiteral(
    "Print writes the 1099-R file, the diskette report and the forms for the members listed "
    "below only.");
const QString kAccountColumn = QStringLiteral("Account Number");
const QString kNameColumn = QStringLiteral("Member Name");
const QString kPrint = QStringLiteral("&Print");
const QString kCancel = QStringLiteral("&Cancel");
const QString kAddMember = QStringLiteral("Add Member");
const QString kRemoveMember = QStringLiteral("Remove Member");
const QString kAddTitle = QStringLiteral("Add Member To Queue ...");
const QString kAddPrompt = QStringLiteral("Member Account Number:");
const QString kAdd = QStringLiteral("&Add");
const QString kBlankCaption = QStringLiteral("Blank Account Number ...");
const QString kBlank = QStringLiteral("Can not add member without Account Number.");
const QString kDuplicateCaption = QStringLiteral("Account Number Duplicated ...");
const QString kDuplicate = QStringLiteral("Member Account Number Already In Queue.");
const QString kNotFoundCaption = QStringLiteral("Account Number Not Found ...");
const QString kNotFound =
    QStringLiteral("Member account number was not found.  Please try another account number.");
const QString kNotSelectedCaption = QStringLiteral("Member Not Selected ...");
const QString kNotSelected = QStringLiteral("You must first selected a member from the list to delete.");
// A member file that cannot be read is not a missing member.
const QString kUnreadableCaption = QStringLiteral("Member File Error ...");
const QString kUnreadable = QStringLiteral("The member file could not be read.  Error: %1.");

// The account number as the number it names; 0 when it names none.
qint32 accountOf(const QString &typed) {
    bool ok = false;
    const qint64 v = typed.trimmed().toLongLong(&ok);
    return ok && v > 0 && v <= INT32_MAX ? qint32(v) : 0;
}
} // namespace

QList<SelectedMember> &SELECTEDMEMBERSQUEUE() {
    static QList<SelectedMember> queue;
    return queue;
}

SelectedMembers::SelectedMembers(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}

bool SelectedMembers::add(const QString &accountNumber) {
    const QString typed = clip(accountNumber).trimmed();
    if (typed.isEmpty()) {
        m_dialogs.message(kBlankCaption, kBlank);
        return false;
    }
    const qint32 acct = accountOf(typed);
    // "007" and "7" are one member: compared as numbers.
    for (const SelectedMember &m : SELECTEDMEMBERSQUEUE())
        if (m.ACCOUNTNUMBER == typed || (acct != 0 && accountOf(m.ACCOUNTNUMBER) == acct)) {
            m_dialogs.message(kDuplicateCaption, kDuplicate);
            return false;
        }
    storage::DataFile<MemberCU> mem(m_db);
    if (!mem.open()) {
        m_dialogs.message(kUnreadableCaption, kUnreadable.arg(storage::lastErrorText()), Dlg::Error);
        return false;
    }
    bool found = false;
    if (acct != 0) {
        mem.clear();
        mem.rec.ACCTNUM = acct;
        found = mem.get(MemberCU::AcctNum_Key) && mem.rec.ACCTNUM == acct;
        if (!found && mem.failed()) {
            m_dialogs.message(kUnreadableCaption, kUnreadable.arg(storage::lastErrorText()), Dlg::Error);
            return false;
        }
    }
    if (!found) {
        m_dialogs.message(kNotFoundCaption, kNotFound);
        return false;
    }
    SELECTEDMEMBERSQUEUE().append(
        {QString::number(acct), clip(mem.rec.FIRSTNAME) + ' ' + clip(mem.rec.LASTNAME)});
    return true;
}

bool SelectedMembers::remove(int row) {
    if (row < 0 || row >= SELECTEDMEMBERSQUEUE().size()) {
        m_dialogs.message(kNotSelectedCaption, kNotSelected);
        return false;
    }
    SELECTEDMEMBERSQUEUE().removeAt(row);
    return true;
}

void SelectedMembers::cancel() { SELECTEDMEMBERSQUEUE().clear(); }

QList<qint32> SelectedMembers::accounts() const {
    QList<qint32> out;
    for (const SelectedMember &m : SELECTEDMEMBERSQUEUE()) out << accountOf(m.ACCOUNTNUMBER);
    return out;
}

void SelectedMembers::print() {
    if (!printEnabled()) return;
    ElectronicFile run(m_db, m_dialogs, Form::R);
    run.setAccounts(accounts());
    if (prepareRun) prepareRun(run);
    run.run();
}

// --- the add window ------------------------------------------------------------------------

AddMemberWindow::AddMemberWindow(SelectedMembers &logic, QWidget *parent)
    : QDialog(parent), m_logic(logic) {
    setWindowTitle(kAddTitle);
    auto *layout = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *prompt = new QLabel(kAddPrompt);
    m_entry = new QLineEdit;
    m_entry->setObjectName(QStringLiteral("ACCOUNTNUMBER"));
    m_entry->setMaxLength(20);
    prompt->setBuddy(m_entry);
    row->addWidget(prompt);
    row->addWidget(m_entry);
    layout->addLayout(row);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_add = new QPushButton(kAdd);
    m_cancel = new QPushButton(kCancel);
    m_add->setDefault(true);
    m_add->setAutoDefault(true);
    m_cancel->setAutoDefault(false);
    buttons->addWidget(m_add);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_add, &QPushButton::clicked, this, &AddMemberWindow::add);
    connect(m_cancel, &QPushButton::clicked, this, &AddMemberWindow::reject);
    m_entry->setFocus();
}

void AddMemberWindow::add() {
    if (m_logic.add(m_entry->text())) {
        accept();
        return;
    }
    m_entry->clear();
    m_entry->setFocus();
}

// --- the main window -------------------------------------------------------------------------

SelectedMembersWindow::SelectedMembersWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_logic(db, dialogs) {
    setWindowTitle(kTitle);
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(kTitleLine);
    m_title->setWordWrap(true);
    layout->addWidget(m_title);
    m_list = new QTableWidget(0, 2);
    m_list->setHorizontalHeaderLabels({kAccountColumn, kNameColumn});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 140);
    layout->addWidget(m_list);
    auto *buttons = new QHBoxLayout;
    for (const QString &text : {kAddMember, kRemoveMember, kPrint, kCancel}) {
        auto *b = new QPushButton(text);
        b->setAutoDefault(false);
        m_buttons << b;
        buttons->addWidget(b);
        if (text == kRemoveMember) buttons->addStretch();
    }
    layout->addLayout(buttons);
    connect(button(kAddMember), &QPushButton::clicked, this, &SelectedMembersWindow::addMember);
    connect(button(kRemoveMember), &QPushButton::clicked, this, &SelectedMembersWindow::removeMember);
    connect(button(kPrint), &QPushButton::clicked, this, &SelectedMembersWindow::print);
    connect(button(kCancel), &QPushButton::clicked, this, &SelectedMembersWindow::reject);
    runAdd = [](AddMemberWindow &w) { Windows::call(&w); };
    m_logic.prepareRun = [this](ElectronicFile &run) { attachWaitWindow(run, this); };
    refresh();
    resize(560, 400);
    button(kAddMember)->setFocus(); // the list starts with adding
}

QPushButton *SelectedMembersWindow::button(const QString &text) const {
    for (QPushButton *b : m_buttons)
        if (b->text() == text) return b;
    return nullptr;
}

void SelectedMembersWindow::refresh() {
    const auto &queue = SELECTEDMEMBERSQUEUE();
    const int current = m_list->currentRow();
    m_list->setRowCount(int(queue.size()));
    for (int i = 0; i < queue.size(); ++i)
        Windows::fillRow(m_list, i, {queue[i].ACCOUNTNUMBER, queue[i].MEMBERNAME});
    if (!queue.isEmpty()) m_list->selectRow(qBound(0, current, int(queue.size()) - 1));
    button(kPrint)->setEnabled(m_logic.printEnabled());
}

void SelectedMembersWindow::addMember() {
    AddMemberWindow add(m_logic, this);
    runAdd(add);
    refresh();
    if (!SELECTEDMEMBERSQUEUE().isEmpty()) m_list->selectRow(int(SELECTEDMEMBERSQUEUE().size()) - 1);
}

void SelectedMembersWindow::removeMember() {
    const bool highlighted = m_list->selectionModel()->hasSelection();
    if (m_logic.remove(highlighted ? m_list->currentRow() : -1)) refresh();
}

void SelectedMembersWindow::print() {
    if (!m_logic.printEnabled()) return;
    m_logic.print();
    accept();
}

void SelectedMembersWindow::reject() {
    m_logic.cancel();
    QDialog::reject();
}

} // namespace Tax

void SELECTEDMEMBERSIRSREPORTING() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<MemberCU> mem(db);
    if (!CHECKOPEN(mem, d)) return;
    Tax::SelectedMembersWindow window(db, d);
    Windows::call(&window);
}
