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
// once, so that another station cannot take the same number. Three attempts, then the user
// decides whether to try again.
bool FormLogic::reserveNumber() {
    const Row start = m_record;
    for (;;) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            m_table.row = start;
            m_table.set(m_config.autoNumberKey, 0);
            qint64 next = 1;
            if (m_table.previous()) {
                // Numbers start at 1 even when only codes of 0 or below are on file.
                next = std::max<qint64>(m_table.row[m_config.autoNumberField].toLongLong() + 1, 1);
            } else if (lastError().code != RecordNotFound) {
                STANDARDWARNING(m_dialogs, 35, m_config.fileName);
                return false;
            }
            m_table.row = start;
            m_table.row[m_config.autoNumberField] = next;
            if (m_table.add()) {
                m_record = m_table.row;
                m_pos = m_table.pos;
                m_version = m_table.version;
                m_reserved = true;
                return true;
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

// A unique key whose values another record already holds: warning 24 with the key's name.
bool FormLogic::duplicateKey() {
    m_refusedKey = -1;
    for (auto it = m_config.keyNames.constBegin(); it != m_config.keyNames.constEnd(); ++it) {
        m_table.row = m_record;
        if (m_table.get(it.key()) && m_table.pos != m_pos) {
            m_refusedKey = it.key();
            STANDARDWARNING(m_dialogs, 24, it.value());
            return true;
        }
    }
    return false;
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

FormLogic::Outcome FormLogic::insert() {
    if (duplicateKey()) return Stay;
    if (m_reserved) {
        // The numbered record was added at opening: write the entered values over it.
        Outcome o = change();
        if (o == Completed) m_reserved = false;
        return o;
    }
    m_table.row = m_record;
    if (!m_table.add()) {
        int code = lastError().code;
        RISAVEERROR(&m_table.database());
        if (code == DuplicateKey) STANDARDWARNING(m_dialogs, 24, m_config.keyNames.value(0));
        else STANDARDWARNING(m_dialogs, 14);
        return Stay;
    }
    m_pos = m_table.pos;
    m_version = m_table.version;
    m_record = m_original = m_table.row;
    if (m_config.askAnother && STANDARDWARNING(m_dialogs, 37) == Dlg::Yes) VCRRequest() = VCR::Insert;
    return Completed;
}

FormLogic::Outcome FormLogic::change() {
    if (m_request == Request::ChangeRecord && duplicateKey()) return Stay;
    for (;;) {
        m_table.row = m_record;
        m_table.pos = m_pos;
        m_table.version = m_version;
        int result = RI::update(m_table, m_dialogs, true, m_config.fileName);
        if (result == RI::Done) {
            m_version = m_table.version;
            m_record = m_original = m_table.row;
            return Completed;
        }
        if (result == RI::ChangedElsewhere) {
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
