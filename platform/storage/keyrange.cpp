#include "keyrange.h"

#include "faults.h"

#include <QSqlError>

namespace storage {

QList<int> fieldIndexes(const FileDef &def, const QStringList &names) {
    QList<int> out;
    for (const QString &name : names) {
        out << def.fieldIndex(name);
        Q_ASSERT(out.last() >= 0);
    }
    return out;
}

KeyRange::KeyRange(Table &table, int key, int equal, const QList<int> &fields)
    : m_table(table), m_key(key), m_equal(equal), m_fields(fields) {
    Q_ASSERT(key >= 0 && key < table.def().keys.size());
    Q_ASSERT(equal >= 0 && equal < table.def().keys[key].parts.size());
}

void KeyRange::only(int field, const QVariantList &values) {
    m_filterField = field;
    m_filterValues = values;
    m_stretch.reset();
    m_whole.reset();
    m_query = nullptr;
}

bool KeyRange::failure() {
    m_failed = true;
    m_active = false;
    if (m_query) m_query->finish();
    return false;
}

bool KeyRange::prepare(bool whole) {
    const FileDef &def = m_table.def();
    const KeyDef &k = def.keys[m_key];
    auto column = [&](int field) {
        const FieldDef &f = def.fields[field];
        const bool text = f.type == FieldType::String || f.type == FieldType::Memo;
        return k.upper && text ? "upper(" + sqlName(f.name) + ")" : sqlName(f.name);
    };
    QStringList select{"rec_pos"}, where, order;
    // The version is read with the whole record only: it is the one column no index carries.
    if (m_fields.isEmpty()) select << "rec_ver";
    for (int i = 0; i < def.fields.size(); ++i)
        if (m_fields.isEmpty() || m_fields.contains(i)) select << sqlName(def.fields[i].name);
    if (!whole) {
        for (int i = 0; i < m_equal; ++i) where << column(k.parts[i].field) + " = ?";
        const KeyPart &bounded = k.parts[m_equal];
        where << column(bounded.field) + (bounded.descending ? " <= ?" : " >= ?")
              << column(bounded.field) + (bounded.descending ? " >= ?" : " <= ?");
    }
    if (m_filterField >= 0) {
        QStringList marks;
        for (int i = 0; i < m_filterValues.size(); ++i) marks << "?";
        where << sqlName(def.fields[m_filterField].name) + " IN (" + marks.join(", ") + ")";
    }
    for (const KeyPart &p : k.parts)
        order << column(p.field) + (p.descending ? " DESC" : " ASC");
    order << "rec_pos ASC";
    std::optional<QSqlQuery> &q = whole ? m_whole : m_stretch;
    if (!whole) m_bound.clear();
    q.emplace(m_table.database().sql());
    q->setForwardOnly(true);
    if (!q->prepare(QString("SELECT %1 FROM %2%3 ORDER BY %4")
                        .arg(select.join(", "), sqlName(def.name),
                             where.isEmpty() ? QString() : " WHERE " + where.join(" AND "),
                             order.join(", ")))) {
        m_table.database().recordError(q->lastError());
        q.reset();
        return false;
    }
    return true;
}

// Makes the stretch's or the whole key's statement the current one, prepared once.
bool KeyRange::start(bool whole) {
    clearError();
    m_failed = false;
    m_active = false;
    if (m_query) m_query->finish();
    m_query = nullptr;
    if (!m_table.isOpen()) {
        setError(FileNotOpen, m_table.def().name);
        return failure();
    }
    std::optional<QSqlQuery> &q = whole ? m_whole : m_stretch;
    if (!q && !prepare(whole)) return failure();
    m_query = &*q;
    return true;
}

bool KeyRange::selectAll() {
    if (!start(true)) return false;
    int b = 0;
    for (const QVariant &v : m_filterValues) m_query->bindValue(b++, m_table.bindValue(m_filterField, v));
    if (!m_query->exec()) {
        m_table.database().recordError(m_query->lastError());
        return failure();
    }
    m_active = true;
    return true;
}

bool KeyRange::select(const QVariantList &equal, const QVariant &from, const QVariant &to) {
    if (!start(false)) return false;
    const FileDef &def = m_table.def();
    const KeyDef &k = def.keys[m_key];
    auto keyValue = [&](int part, const QVariant &v) {
        const int field = k.parts[part].field;
        const FieldDef &f = def.fields[field];
        const QVariant b = m_table.bindValue(field, v);
        const bool text = f.type == FieldType::String || f.type == FieldType::Memo;
        return k.upper && text ? QVariant(b.toString().toUpper()) : b;
    };
    QVariantList values;
    for (int i = 0; i < m_equal; ++i) values << keyValue(i, equal.value(i));
    values << keyValue(m_equal, from) << keyValue(m_equal, to);
    for (const QVariant &v : m_filterValues) values << m_table.bindValue(m_filterField, v);
    // A statement keeps its values from one run to the next: only those that changed (mostly the
    // account alone) are bound again.
    for (int i = 0; i < values.size(); ++i)
        if (i >= m_bound.size() || values[i] != m_bound[i]) m_query->bindValue(i, values[i]);
    m_bound = values;
    if (!m_query->exec()) {
        m_table.database().recordError(m_query->lastError());
        return failure();
    }
    m_active = true;
    return true;
}

bool KeyRange::next() {
    clearError();
    if (!m_active) {
        setError(RecordNotFound, m_table.def().name);
        return false;
    }
    QSqlQuery &q = *m_query;
    if (!q.next()) {
        // next() is false at the end and on a failure alike; only the error tells them apart.
        if (q.lastError().isValid()) {
            m_table.database().recordError(q.lastError());
            return failure();
        }
        m_active = false;
        q.finish();
        setError(RecordNotFound, m_table.def().name);
        return false;
    }
    if (faults::readRefused(m_table.def().name)) return failure();
    const FileDef &def = m_table.def();
    m_table.clearBuffer();
    m_table.pos = q.value(0).toLongLong();
    int column = 1;
    if (m_fields.isEmpty()) m_table.version = q.value(column++).toLongLong();
    for (int i = 0; i < def.fields.size(); ++i)
        if (m_fields.isEmpty() || m_fields.contains(i))
            m_table.row[i] = Table::fromColumn(def.fields[i], q.value(column++));
    // A whole record may be written back as one read by a walk; a part of one may not.
    if (m_fields.isEmpty()) m_table.remember();
    return true;
}
} // namespace storage
