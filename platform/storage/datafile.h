#pragma once
// Typed data files: a record struct (MemberCU) with its layout, and a DataFile<R> whose buffer
// `rec` the code reads and writes by field name (MEM.ACCTNUM), as the record buffers of the files.
#include "../decimal.h"
#include "table.h"

#include <functional>
#include <initializer_list>

namespace storage {
// A key of record type R, named in the record struct: MemberCU::AcctNum_Key.
template <class R> struct Key {
    int index;
    const char *name;
};

template <class R> class Layout {
public:
    Layout(const QString &name, const QString &prefix) {
        m_def.name = name;
        m_def.prefix = prefix;
    }
    Layout &Long(const char *name, qint32 R::*m) {
        add(name, FieldType::Long, 4, 0);
        m_get << [m](const R &r) { return QVariant(r.*m); };
        m_set << [m](R &r, const QVariant &v) { r.*m = qint32(v.toLongLong()); };
        return *this;
    }
    Layout &Byte(const char *name, quint8 R::*m) {
        add(name, FieldType::Byte, 1, 0);
        m_get << [m](const R &r) { return QVariant(int(r.*m)); };
        m_set << [m](R &r, const QVariant &v) { r.*m = quint8(v.toInt()); };
        return *this;
    }
    Layout &String(const char *name, int width, QString R::*m) {
        add(name, FieldType::String, width, 0);
        m_get << [m](const R &r) { return QVariant(r.*m); };
        m_set << [m](R &r, const QVariant &v) { r.*m = v.toString(); };
        return *this;
    }
    Layout &Dec(const char *name, int bytes, Decimal R::*m, int places = 2) {
        add(name, FieldType::Decimal, bytes, places);
        m_get << [m, places](const R &r) { return QVariant((r.*m).unitsAt(places)); };
        m_set << [m, places](R &r, const QVariant &v) { r.*m = Decimal(v.toLongLong(), places); };
        return *this;
    }
    Layout &Memo(const char *name, QString R::*m) {
        FieldDef f{name, FieldType::Memo, 0, 0, -1};
        m_def.fields << f;
        m_get << [m](const R &r) { return QVariant(r.*m); };
        m_set << [m](R &r, const QVariant &v) { r.*m = v.toString(); };
        return *this;
    }
    // Fields by name; "-TRANSDATE" for a descending component.
    Layout &key(const char *name, std::initializer_list<const char *> fields, bool upper = false,
                bool unique = false) {
        KeyDef k{name, {}, upper, unique, {}};
        for (const char *f : fields) {
            QString s = QString::fromLatin1(f);
            bool desc = s.startsWith('-');
            int idx = m_def.fieldIndex(desc ? s.mid(1) : s);
            Q_ASSERT(idx >= 0);
            k.parts << KeyPart{idx, desc};
        }
        m_def.keys << k;
        return *this;
    }
    // Fields the last key's index carries as well (not part of its order).
    Layout &including(std::initializer_list<const char *> fields) {
        for (const char *f : fields) m_def.keys.last().include << m_def.fieldIndex(f);
        return *this;
    }

    const FileDef &def() const { return m_def; }
    void toRow(const R &r, Row &row) const {
        row.resize(m_get.size());
        for (int i = 0; i < m_get.size(); ++i) row[i] = m_get[i](r);
    }
    void fromRow(R &r, const Row &row) const {
        for (int i = 0; i < m_set.size() && i < row.size(); ++i) m_set[i](r, row[i]);
    }

private:
    void add(const char *name, FieldType type, int size, int places) {
        m_def.fields << FieldDef{name, type, size, places, m_def.recordSize};
        m_def.recordSize += size;
    }
    FileDef m_def;
    QList<std::function<QVariant(const R &)>> m_get;
    QList<std::function<void(R &, const QVariant &)>> m_set;
};

// R provides: static const Layout<R> &layout();
template <class R> class DataFile {
public:
    explicit DataFile(Database &db) : m_table(db, R::layout().def()) {}
    static const FileDef &def() { return R::layout().def(); }

    R rec; // the record buffer

    Table &table() { return m_table; }
    Database &database() { return m_table.database(); }
    bool open() { return m_table.open(); }
    void close() { m_table.close(); }
    bool isOpen() const { return m_table.isOpen(); }

    void clear() {
        rec = R();
        m_table.clearBuffer();
    }
    bool add() { return push() && m_table.add() && pull(); }
    bool put() { return push() && m_table.put() && pull(); }
    bool remove() { return m_table.remove(); }
    bool get(Key<R> key) { return push() && m_table.get(key.index) && pull(); }
    bool getPosition(qint64 p) { return m_table.getPosition(p) && pull(); }
    bool reget() { return m_table.watchAndReget() && pull(); }
    qint64 position() const { return m_table.pos; }
    qint64 count() { return m_table.count(); }
    bool empty() { return m_table.empty(); }

    void set(Key<R> key, int components = -1) {
        push();
        m_table.set(key.index, components);
    }
    void setStart(Key<R> key) { m_table.set(key.index, 0); }
    // The first record in order of entry: the single record of a settings file.
    bool first() {
        m_table.setRecordOrder();
        return next();
    }
    void setFromCurrent(Key<R> key, bool inclusive = false) {
        push();
        m_table.setFromCurrent(key.index, inclusive);
    }
    bool next() { return m_table.next() && pull(); }
    bool previous() { return m_table.previous() && pull(); }
    // The last read failed (not merely found nothing): see Table::failed().
    bool failed() const { return m_table.failed(); }

private:
    bool push() {
        R::layout().toRow(rec, m_table.row);
        return true;
    }
    bool pull() {
        R::layout().fromRow(rec, m_table.row);
        return true;
    }
    Table m_table;
};
} // namespace storage
