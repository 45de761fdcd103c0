#pragma once
// Members: their list (BROWSEMEMBERS, also the member lookup of payroll and withdrawals) and
// their form with every field of the member record.
#include "common/browsewindow.h"
#include "common/formwindow.h"
#include "data/records.h"

namespace MemberRules {
// The local of this installation, proposed for a new member.
qint32 installationLocal();
BrowseConfig browse();
FormConfig form();
// Refuses an account number or SSN that another member has; the message, or empty when fine.
QString duplicateOf(storage::Database &db, const MemberCU &m, qint64 ownPos);
// The internal number of a new member: the highest on file + 1. Read it in the transaction that
// adds the member, under the member file's add lock.
bool nextMemberId(storage::Database &db, qint32 &id);
// "Delete member 1026 Newman, Alice?"
Message deleteQuestion(const MemberCU &m);
// Why a member may not be deleted: its account holds transactions, whose money would be left
// without an owner. A message without text when it may go.
Message deleteRefusal(storage::Database &db, const MemberCU &m);
// The prompts of the six user-defined fields, from the Misc record ("Misc1:" when unnamed).
QStringList miscPrompts(storage::Database &db);
} // namespace MemberRules

// "Edit Participant Information"
class MemberForm : public FormWindow {
    Q_OBJECT
public:
    MemberForm(storage::Table &table, int request, QWidget *parent = nullptr);
};

void BROWSEMEMBERS();
