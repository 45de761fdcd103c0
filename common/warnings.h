#pragma once
// The numbered standard warnings every window uses for file errors, so their wording is the
// same everywhere, and the saved error they report.
#include "platform/dialogs.h"
#include "platform/storage/error.h"

#include <QString>
#include <functional>

namespace storage {
class Database;
}

// Shows warning `id` with the texts X and Y. Returns the Dlg::Button pressed, 0 for plain notices.
// Halting warnings end the application after their message (see setHaltHandler).
int STANDARDWARNING(Dialogs &dialogs, int id, const QString &text1 = {}, const QString &text2 = {});

// The message a warning would show, without showing it (also used by tests).
Message standardWarningMessage(int id, const QString &text1 = {}, const QString &text2 = {});
// The status text with which a warning ends the application ("Invalid File!"); empty when it
// does not, or (warning 2) only on No.
QString standardWarningHalt(int id);

// Keeps the current file error for the next warning and rolls back an open transaction.
void RISAVEERROR(storage::Database *db = nullptr);
// "Record Changed By Another Station (89)": the saved error, or else the current one.
QString ERRORTEXT();

// Ends the application with a short status text. The default quits the process; tests install
// one that throws instead.
void HALT(const QString &status);
void setHaltHandler(std::function<void(const QString &)> handler);
