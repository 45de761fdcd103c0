#include "warnings.h"

#include "platform/storage/database.h"

#include <QCoreApplication>
#include <QDebug>
#include <cstdlib>
#include <optional>

namespace {
std::optional<storage::Error> &saved() {
    static std::optional<storage::Error> s;
    return s;
}

std::function<void(const QString &)> &haltHandler() {
    static std::function<void(const QString &)> h;
    return h;
}

QString describe(const storage::Error &e) {
    if ((e.code == 90 || e.code == 100) && !e.driverText.isEmpty())
        return e.driverText + " (" + QString::number(e.driverCode) + ")";
    return e.text + " (" + QString::number(e.code) + ")";
}

enum Kind { Notice, YesNo, YesNoCancel, OkCancel, RetryCancel };

struct WarningDef {
    QString caption;
    QString text;
    bool question = false;
    Kind kind = Notice;
    int defaultButton = Dlg::Ok;
};

WarningDef definition(int id, const QString &X, const QString &Y, const QString &E) {
    switch (id) {
    case 1: return {"Invalid File", "Error: (" + E + ") accessing " + X + ".  Press OK to end this application."};
    case 2: return {"Invalid Key", X + " key file is invalid.  Do you " + "want to rebuild the key?", true, YesNo, Dlg::Yes};
    case 3: return {"Key Rebuild Error", "Error: (" + E + ") repairing key for " + X + ".  Press OK to end this application."};
    case 4: return {"File Creation Error", "Error: (" + E + ") creating " + X + ".  Press OK to end this application."};
    case 5: return {"File Creation Error", "Error: (" + E + ") opening created " + "file:" + X + ".  Press OK to end this application."};
    case 6: return {"Procedure not defined", "The Procedure " + X + " has not " + "been defined."};
    case 7: return {"", "Unable to read keyed record.  Error: " + E + ".  Insert Aborted"};
    case 8: return {"Range Error", "The value of " + X + " must" + " be lower than " + Y + "."};
    case 9: return {"Range Error", "The value of " + X + " must be higher than " + Y + "."};
    case 10: return {"Range Error", "The value of " + X + " must be " + "between " + Y + "."};
    case 11: return {"Field Contents Error", "The value for " + X + " must be " + "found in the " + Y + " file."};
    case 12: return {"Referential Integrity Update Error", "This record is referenced from the file " + X + ".  Linking field(s) have been restricted from change and have been reset to original values."};
    case 13: return {"Referential Integrity Delete Error", "This record is referenced from the file " + X + ".  This record cannot be deleted while" + " these references exist."};
    case 14: return {"Record Insert Error", "An error was experienced during the update of record.  Error: " + E + "."};
    case 15: return {"Update Operation Error", "An error (" + E + ") was experienced" + " when attempting to update a record from the file.  Probable Cause: " + X + "."};
    case 16: return {"Record Update Error", "An error was experienced changing this record.  Do you want to try to save again?", false, YesNoCancel, Dlg::Cancel};
    case 17: return {"Delete Operation Error", "An error (" + E + ") was experienced" + " when attempting to delete a record from the file " + X + "."};
    case 18: return {"Record Update Error", "An error was experienced deleting this record.  Do you want to try to save again?", false, YesNoCancel, Dlg::Cancel};
    case 19: return {"Invalid Request", "This procedure was called to insert a record, however inserts are not allowed for this procedure.  Press OK to return to the calling procedure"};
    case 20: return {"Invalid Request", "This procedure was called to change a record, however changes are not allowed for this procedure.  Press OK to return to the calling procedure"};
    case 21: return {"Invalid Request", "This procedure was called to delete a record, however deletions are not allowed for this procedure.  Press OK to return to the calling procedure"};
    case 22: return {"File Creation Not Allowed", "The File " + X + " " + "was not found, " + "and creation of the file is not allowed.  Press OK to end " + "this application."};
    case 23: return {"Update Cancelled", "Are you sure you want to cancel?", true, YesNo, Dlg::No};
    case 24: return {"Duplicate Key Error", "Adding this record creates a duplicate entry for the key:" + X};
    case 25: return {"Auto Increment Error", "Attempts to automatically number this record have failed.  Error: " + E + ".", false, RetryCancel, Dlg::Cancel};
    case 26: return {"File Load Error", X + " File Load Error.  " + "Error: " + E + "."};
    case 27: return {"Cancel Request", "Are you certain you want to stop loading " + X + "?", true, OkCancel, Dlg::Cancel};
    case 28: return {"File Load Error", X + " File Load Error.  " + "The file you've requested contains no text."};
    case 29:
        if (X == "Down")
            return {"End of File Error", "The end of the viewed file was encountered.  Do you want to start again from the beginning?", true, YesNo, Dlg::Yes};
        return {"Beginning of File Error", "The beginning of the viewed file was encountered.  Do you want to start again from the end of the file?", true, YesNo, Dlg::Yes};
    case 30: return {"File Access Error", "File (" + X + ") could not be " + "opened.  Error: " + E + "."};
    case 31:
        if (X == "Put")
            return {"Process PUT Error", "An error was experienced when making changes to the " + Y + " file.  Error: " + E + "."};
        return {"Process DELETE Error", "An error was experienced when deleting a record from the " + Y + " file.  Error: " + E + "."};
    case 32: return {"Confirm Delete", "You've selected to delete the highlighted record.  Press OK to confirm deletion of this record.", true, OkCancel, Dlg::Cancel};
    case 33: return {"Update Cancelled", "Do you want to save the changes to this record?", true, YesNoCancel, Dlg::No};
    case 34: return {"Transaction Framing Error", "Error: (" + E + ") attempting to frame the " + X + " transaction on " + Y + ".  " + X + " transaction cancelled."};
    case 35: return {"Record Retrieval Error", "Error: (" + E + ") attempting to access a " + "record from the " + X + " file.  Returning to " + "previous window."};
    case 36: return {"View Open Error", "Error: (" + E + ") attempting to open the " + "current VIEW. Filter and Range Limits ignored."};
    case 37: return {"Record Added", "This record has been added to the file. Do you want to add another record?", true, YesNo, Dlg::Yes};
    case 38: return {"Record Was Not Updated", "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall your changes."};
    default: return {};
    }
}

int buttonsOf(Kind k) {
    switch (k) {
    case YesNo: return Dlg::Yes | Dlg::No;
    case YesNoCancel: return Dlg::Yes | Dlg::No | Dlg::Cancel;
    case OkCancel: return Dlg::Ok | Dlg::Cancel;
    case RetryCancel: return Dlg::Retry | Dlg::Cancel;
    default: return Dlg::Ok;
    }
}

// The error behind a warning: the saved one if any, else the current one.
storage::Error currentError() { return saved() ? *saved() : storage::lastError(); }
} // namespace

QString ERRORTEXT() { return describe(currentError()); }

void RISAVEERROR(storage::Database *db) {
    saved() = storage::lastError();
    if (db && db->inTransaction()) db->rollback();
}

Message standardWarningMessage(int id, const QString &text1, const QString &text2) {
    QString X = text1, Y = text2;
    while (X.endsWith(' ')) X.chop(1);
    while (Y.endsWith(' ')) Y.chop(1);
    storage::Error e = currentError();
    WarningDef s = definition(id, X, Y, describe(e));
    if (id == 15 && (e.code == storage::RecordChanged || e.code == storage::NoError))
        s.text = "This record was changed by another station.";
    Message m;
    m.caption = s.caption;
    m.text = s.text;
    m.icon = s.question ? Dlg::Question : Dlg::Warning;
    m.buttons = buttonsOf(s.kind);
    m.defaultButton = s.defaultButton;
    return m;
}

QString standardWarningHalt(int id) {
    switch (id) {
    case 1: return "Invalid File!";
    case 2: return "Invalid Key!";
    case 3: return "Error Rebuilding Key!";
    case 4:
    case 5:
    case 22: return "File Creation Error!";
    default: return {};
    }
}

int STANDARDWARNING(Dialogs &dialogs, int id, const QString &text1, const QString &text2) {
    Message m = standardWarningMessage(id, text1, text2);
    saved().reset(); // the saved error is shown once
    int pressed = dialogs.show(m);
    QString halt = standardWarningHalt(id);
    if (!halt.isEmpty() && (id != 2 || pressed == Dlg::No)) HALT(halt);
    return m.buttons == Dlg::Ok ? 0 : pressed;
}

void setHaltHandler(std::function<void(const QString &)> handler) { haltHandler() = std::move(handler); }

void HALT(const QString &status) {
    if (haltHandler()) {
        haltHandler()(status);
        return;
    }
    qCritical().noquote() << status;
    std::exit(EXIT_FAILURE);
}
