#pragma once
// Withdrawal codes: their list (BROWSEWITH), their form (EDITWITH) and the file's update helpers.
#include "common/browsewindow.h"
#include "common/formwindow.h"
#include "data/records.h"
#include "platform/dialogs.h"

namespace WithdrawRules {
QString addToIrsFile(quint8 flag); // "Yes" / "No"
BrowseConfig browse();
FormConfig form();
} // namespace WithdrawRules

// "Update Records..."
class EditWithForm : public FormWindow {
    Q_OBJECT
public:
    EditWithForm(storage::Table &table, int request, QWidget *parent = nullptr);
};

void BROWSEWITH();
// The form alone, driven by GlobalRequest on the record at `pos`; returns GlobalResponse.
int EDITWITH(storage::Table &table, qint64 &pos, QWidget *parent = nullptr);

// 0 done, 1 error reported, 2 changed by another station (its version now in the buffer).
int RIUPDATE_WITHDRAW(storage::DataFile<Withdraw> &file, Dialogs &dialogs, bool fromForm);
// 0 done, 1 error reported.
int RIDELETE_WITHDRAW(storage::DataFile<Withdraw> &file, Dialogs &dialogs);
// No other file refers to withdrawal codes: nothing to remember before an edit.
inline void RISNAP_WITHDRAW() {}
