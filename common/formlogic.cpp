#include "formlogic.h"

#include "riupdate.h"
#include "warnings.h"

#include <algorithm>

using namespace storage;

FormLogic::FormLogic(Table &table, Dialogs &dialogs, FormConfig config, int request)
    : m_table(table), m_dialogs(dialogs), m_config(std::move(config)), m_request(request) {}

QString FormLogic::statusText() const {
    switch (m_request) {
    case Request::InsertRecord: return "Record will be Added";
    case Request::ChangeRecord: return "Record will be Changed";
    default: return "View Record";
    }
}

QVariant FormLogic::value(const QString &field) const {
    int i = m_table.def().fieldIndex(field);
    return i >= 0 ? m_record[i] : QVariant();
}

void FormLogic::setValue(const QString &field, const QVariant &value) {
    int i = m_table.def().fieldIndex(field);
    if (i >= 0) m_record[i] = value;
}

bool FormLogic::open(qint64 pos, const Row &primed) {
    if (m_request == Request::InsertRecord) {
        m_table.clearBuffer();
        if (!primed.isEmpty()) m_table.row = primed;
        m_record = m_table.row;
        if (primed.isEmpty() && m_config.newRecord) m_config.newRecord(*this);
        if (m_config.autoNumberField >= 0 && !reserveNumber()) return false;
        m_original = m_record;
        return true;
    }
    if (!m_table.getPosition(pos)) {
        STANDARDWARNING(m_dialogs, 35, m_config.fileName);
        return false;
    }
    m_record = m_original = m_table.row;
    m_pos = m_table.pos;
    m_version = m_table.version;
    return true;
}

// Reads the highest number in the numbering key, takes the next one and adds the record at
// once, in one transaction under the file's add lock, so that another station can neither take
// the same number nor read the same highest one meanwhile. When that fails the user decides
// whether to try again.
bool FormLogic::reserveNumber() {
    for (;;) {
        {
            Transaction batch(m_table.database());
            if (batch.active() && m_table.database().serializeAdds(m_table.def())) {
                m_table.row = m_record;
                m_table.set(m_config.autoNumberKey, 0);
                qint64 next = 1;
                if (m_table.previous()) {
                    // Numbers start at 1 even when only codes of 0 or below are on file.
                    next = std::max<qint64>(m_table.row[m_config.autoNumberField].toLongLong() + 1, 1);
                } else if (m_table.failed()) {
                    batch.rollback();
                    STANDARDWARNING(m_dialogs, 35, m_config.fileName);
                    return false;
                }
                m_table.row = m_record;
                m_table.row[m_config.autoNumberField] = next;
                if (m_table.add() && batch.commit()) {
                    m_record = m_table.row;
                    m_pos = m_table.pos;
                    m_version = m_table.version;
                    m_reserved = true;
                    return true;
                }
            }
        }
        if (STANDARDWARNING(m_dialogs, 25) != Dlg::Retry) return false;
    }
}

void FormLogic::discardReservation() {
    if (!m_reserved) return;
    m_table.row = m_record;
    m_table.pos = m_pos;
    m_table.version = m_version;
    if (!m_table.watchAndReget() || !m_table.remove()) {
        RISAVEERROR(&m_table.database());
        STANDARDWARNING(m_dialogs, 17, m_config.fileName);
    }
    m_reserved = false;
}

// The first unique key whose values another record already holds, or -1.
int FormLogic::takenKey() {
    for (auto it = m_config.keyNames.constBegin(); it != m_config.keyNames.constEnd(); ++it) {
        m_table.row = m_record;
        if (m_table.get(it.key()) && m_table.pos != m_pos) return it.key();
    }
    return -1;
}

// Why the record may not be written as it stands, asked inside the batch under the add lock: a
// unique key another record holds (m_refusedKey) or the window's own conflict rule.
Message FormLogic::refusalOf() {
    m_refusedKey = takenKey();
    if (m_refusedKey < 0 && m_config.conflict) return m_config.conflict(*this);
    return {};
}

// Shows that refusal once the batch has ended; false when there was none.
bool FormLogic::showRefusal(const Message &refusal) {
    if (m_refusedKey >= 0) {
        STANDARDWARNING(m_dialogs, 24, m_config.keyNames.value(m_refusedKey));
        return true;
    }
    if (refusal.text.isEmpty()) return false;
    m_dialogs.show(refusal);
    return true;
}

FormLogic::Outcome FormLogic::save() {
    m_reloaded = false;
    m_refusedKey = -1;
    if ((m_request == Request::InsertRecord || m_request == Request::ChangeRecord) &&
        m_config.validate && !m_config.validate(*this))
        return Stay;
    switch (m_request) {
    case Request::InsertRecord: return insert();
    case Request::ChangeRecord: return change();
    case Request::DeleteRecord: return remove();
    default: return Completed;
    }
}

// The duplicate checks, the new record's numbers and the add are one transaction under the
// file's add lock: two stations adding the same values at once leave one record, and the other
// is refused with the same message as if it had come later. Messages wait until the
// transaction has ended, never while other stations wait for it.
FormLogic::Outcome FormLogic::insert() {
    if (m_reserved) {
        // The numbered record was added at opening: write the entered values over it.
        Outcome o = change();
        if (o == Completed) m_reserved = false;
        return o;
    }
    const Row entered = m_record;
    Message refusal;
    bool added = false, numbersRead = true;
    {
        Transaction batch(m_table.database());
        if (batch.active() && m_table.database().serializeAdds(m_table.def())) {
            refusal = refusalOf();
            if (m_refusedKey >= 0 || !refusal.text.isEmpty()) {
                batch.rollback();
            } else if (m_config.numberNew && !(numbersRead = m_config.numberNew(*this))) {
                batch.rollback();
            } else {
                m_table.row = m_record;
                added = m_table.add() && batch.commit();
            }
        }
    }
    if (showRefusal(refusal)) return Stay;
    if (!added) {
        // Nothing was added: the form keeps what was typed, without numbers of a lost add.
        m_record = entered;
        const int code = lastError().code;
        RISAVEERROR(&m_table.database());
        if (!numbersRead) STANDARDWARNING(m_dialogs, 35, m_config.fileName);
        else if (code == DuplicateKey) STANDARDWARNING(m_dialogs, 24, m_config.keyNames.value(0));
        else STANDARDWARNING(m_dialogs, 14);
        return Stay;
    }
    m_pos = m_table.pos;
    m_version = m_table.version;
    m_record = m_original = m_table.row;
    if (m_config.askAnother && STANDARDWARNING(m_dialogs, 37) == Dlg::Yes) VCRRequest() = VCR::Insert;
    return Completed;
}

// As for an add, the duplicate checks and the rewrite are one transaction under the file's add
// lock: another station can neither add nor change a record to the same values in between.
// Messages wait until the transaction has ended. Called for a change and for the numbered record
// an insert added at opening.
FormLogic::Outcome FormLogic::change() {
    for (;;) {
        Message refusal;
        bool written = false;
        storage::Error failure;
        {
            Transaction batch(m_table.database());
            if (batch.active() && m_table.database().serializeAdds(m_table.def())) {
                refusal = refusalOf();
                if (m_refusedKey < 0 && refusal.text.isEmpty()) {
                    m_table.row = m_record;
                    m_table.pos = m_pos;
                    m_table.version = m_version;
                    written = m_table.put() && batch.commit();
                }
            }
            if (!written) failure = lastError();
        }
        if (showRefusal(refusal)) return Stay;
        if (written) {
            m_version = m_table.version;
            m_record = m_original = m_table.row;
            return Completed;
        }
        storage::setError(failure.code, failure.driverText, failure.driverCode);
        if (RI::updateFailed(m_table, m_dialogs, true, m_config.fileName, m_pos) ==
            RI::ChangedElsewhere) {
            // The other station's version is shown; the user decides again on it.
            m_record = m_original = m_table.row;
            m_version = m_table.version;
            m_reloaded = true;
            return Stay;
        }
        int answer = STANDARDWARNING(m_dialogs, 16);
        if (answer == Dlg::Yes) continue;
        return answer == Dlg::No ? Cancelled : Stay;
    }
}

FormLogic::Outcome FormLogic::remove() {
    if (m_config.deleteRefusal) {
        const Message refusal = m_config.deleteRefusal(*this);
        if (!refusal.text.isEmpty()) {
            m_dialogs.show(refusal);
            return Cancelled;
        }
    }
    const int answer = m_config.deleteQuestion ? m_dialogs.show(m_config.deleteQuestion(*this))
                                               : STANDARDWARNING(m_dialogs, 32);
    if (answer != Dlg::Ok && answer != Dlg::Yes) return Cancelled;
    for (;;) {
        const DeleteResult result = deleteOnce();
        if (result == Deleted) return Completed;
        if (result == Refused) return Cancelled;
        int answer = STANDARDWARNING(m_dialogs, 18);
        if (answer == Dlg::Yes) continue;
        return answer == Dlg::No ? Cancelled : Stay;
    }
}

// With a refusal rule the rule is asked again in the same database transaction as the delete,
// so that another station cannot add a reference between the two. Its message is shown after the
// transaction has ended, never while other stations wait for it.
FormLogic::DeleteResult FormLogic::deleteOnce() {
    m_table.pos = m_pos;
    if (!m_config.deleteRefusal)
        return RI::remove(m_table, m_dialogs, m_config.fileName) == RI::Done ? Deleted : DeleteFailed;
    Message refusal;
    {
        storage::Transaction batch(m_table.database());
        if (batch.active() && m_table.watchAndReget()) {
            m_record = m_table.row;
            refusal = m_config.deleteRefusal(*this);
            m_table.pos = m_pos;
            if (refusal.text.isEmpty()) {
                if (RI::remove(m_table, m_dialogs, m_config.fileName) != RI::Done) return DeleteFailed;
                if (batch.commit()) return Deleted;
            }
        }
        if (refusal.text.isEmpty()) {
            RISAVEERROR(&m_table.database());
            STANDARDWARNING(m_dialogs, 17, m_config.fileName);
            return DeleteFailed;
        }
    }
    m_dialogs.show(refusal);
    return Refused;
}

FormLogic::Outcome FormLogic::cancel(bool changed) {
    if (m_request == Request::InsertRecord || m_request == Request::ChangeRecord) {
        if ((changed || hasChanges()) && m_config.cancelWarning != 0) {
            int answer = STANDARDWARNING(m_dialogs, m_config.cancelWarning);
            if (m_config.cancelWarning == 33) {
                if (answer == Dlg::Yes) return save();
                if (answer == Dlg::Cancel) return Stay;
            } else if (answer != Dlg::Yes) {
                return Stay;
            }
        }
    }
    discardReservation();
    return Cancelled;
}
