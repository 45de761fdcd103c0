#pragma once
// The standard update form, apart from its widgets: the request (insert, change, delete, view),
// the status line, automatic numbering, duplicate keys, changes by another station, retry and
// cancel questions. Windows bind their controls to record() and call save(), cancel(), remove().
#include "data/requests.h"
#include "platform/dialogs.h"
#include "platform/storage/datafile.h"

#include <QHash>
#include <functional>

struct FormConfig {
    QString fileName;              // the file's name in the standard warnings ("Withdraw")
    QHash<int, QString> keyNames;  // unique keys checked before writing, with their names
                                   // for the duplicate-key warning ("Code Order")
    int autoNumberField = -1;      // numbered on insert: this field gets the last value + 1
    int autoNumberKey = -1;        // ... read through this key, and the record is added at once
    int cancelWarning = 33;        // 33 "save the changes?", 23 "sure you want to cancel?",
                                   // 0 Cancel closes without asking
    bool askAnother = false;       // after an insert, warning 37 offers another record
    // The window's own checks before writing (a message and false keeps the form open).
    std::function<bool(class FormLogic &)> validate;
    // Why the record may not be deleted, or a message without text when it may. Asked before the
    // delete question and again inside the delete's database transaction, on the record as it is
    // in the file then.
    std::function<Message(class FormLogic &)> deleteRefusal;
    // The delete question in place of the standard "Confirm Delete"; Yes or OK deletes.
    std::function<Message(class FormLogic &)> deleteQuestion;
    // Why the record may not be written as it stands (another record holds its account number or
    // SSN), or a message without text when it may. For an insert it is asked inside the add's
    // transaction under the file's add lock, so that no other station can add the same values
    // between the check and the add; its message is shown once the transaction has ended.
    std::function<Message(class FormLogic &)> conflict;
    // Numbers a new record takes when it is added (an internal id: the highest + 1), given in the
    // add's transaction under the same lock; false when they cannot be read.
    std::function<bool(class FormLogic &)> numberNew;
    // The values a new record starts with (proposals the user may change; not a change to ask
    // about on Cancel).
    std::function<void(class FormLogic &)> newRecord;
};

class FormLogic {
public:
    enum Outcome { Stay, Completed, Cancelled };

    FormLogic(storage::Table &table, Dialogs &dialogs, FormConfig config, int request);

    // Prepares the request: reads the record at `pos` for change, delete and view; for an insert
    // starts from `primed` (cleared when empty) and numbers it. False when the form cannot open
    // (the numbering was given up or the record cannot be read).
    bool open(qint64 pos = 0, const storage::Row &primed = {});

    int request() const { return m_request; }
    QString statusText() const; // "View Record", "Record will be Added", "Record will be Changed"
    storage::Row &record() { return m_record; }
    const storage::Row &record() const { return m_record; }
    QVariant value(const QString &field) const;
    void setValue(const QString &field, const QVariant &value);
    qint64 position() const { return m_pos; }
    storage::Database &database() { return m_table.database(); }
    bool hasChanges() const { return m_record != m_original; }
    // Whether the last failed save was refused for a duplicate key (the form refocuses it).
    int refusedKey() const { return m_refusedKey; }
    // After another station's change was found: the record now holds that station's values.
    bool reloadedFromOtherStation() const { return m_reloaded; }

    Outcome save();   // OK / Save
    Outcome cancel(bool changed = false); // Cancel or closing the window; `changed`: ask even
                                          // when the record looks unchanged
    Outcome remove(); // the delete request: confirm, then delete

    template <class R> R get() const {
        R r;
        R::layout().fromRow(r, m_record);
        return r;
    }
    template <class R> void set(const R &r) { R::layout().toRow(r, m_record); }

private:
    bool reserveNumber();
    bool reserveOnce();
    int takenKey();
    Message refusalOf();
    bool showRefusal(const Message &refusal);
    Outcome insert();
    Outcome change();
    enum DeleteResult { Deleted, Refused, DeleteFailed };
    DeleteResult deleteOnce();
    void discardReservation();

    storage::Table &m_table;
    Dialogs &m_dialogs;
    FormConfig m_config;
    int m_request;
    storage::Row m_record, m_original;
    qint64 m_pos = 0;
    qint64 m_version = 0;
    bool m_reserved = false;
    int m_refusedKey = -1;
    bool m_reloaded = false;
};
