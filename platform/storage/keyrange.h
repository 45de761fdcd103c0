#pragma once
// One stretch of a key, read again and again with new values by one statement prepared once:
// the records whose leading key components equal given values and whose next component lies
// between two bounds, in the key's order. Made for runs that read a small stretch for each of
// many members (a member's year of transactions): the read ends with the stretch instead of
// reading on into the next member's records, and with only() and a short list of fields an
// index that carries those fields answers without touching the table.
#include "datafile.h"

#include <optional>

namespace storage {
class KeyRange {
public:
    // `equal` leading components of `key` are matched exactly, the next one by bounds. With
    // `fields` only those fields (and the record position) are read: the other fields of the
    // buffer are left empty and the record's version unknown, so a record read that way must be
    // read again before it is written.
    KeyRange(Table &table, int key, int equal, const QList<int> &fields = {});
    KeyRange(const KeyRange &) = delete;
    KeyRange &operator=(const KeyRange &) = delete;

    // Only the records whose `field` holds one of `values`; set before the first select().
    void only(int field, const QVariantList &values);

    // Positions before the stretch: the leading components equal `equal`, the next one from
    // `from` to `to` inclusive, both given in the key's order (for a descending component the
    // later value first). False when the read could not start: failed() and lastError() say why.
    bool select(const QVariantList &equal, const QVariant &from, const QVariant &to);
    // Positions before the first record of the whole key, for a walk over every record.
    bool selectAll();
    // The next record of the stretch into the table's buffer (row and pos); false at the end
    // of the stretch or on a failure, which failed() tells apart.
    bool next();
    bool failed() const { return m_failed; }

private:
    bool start(bool whole);
    bool prepare(bool whole);
    bool failure();

    Table &m_table;
    int m_key, m_equal;
    QList<int> m_fields;
    int m_filterField = -1;
    QVariantList m_filterValues;
    std::optional<QSqlQuery> m_stretch, m_whole;
    QSqlQuery *m_query = nullptr; // the one last started
    QVariantList m_bound;         // the values the stretch's statement holds
    bool m_active = false, m_failed = false;
};

// The indexes of fields named, for the `fields` of a KeyRange.
QList<int> fieldIndexes(const FileDef &def, const QStringList &names);

// A KeyRange that reads into a data file's record buffer.
template <class R> class DataRange {
public:
    DataRange(DataFile<R> &file, Key<R> key, int equal, const QStringList &fields = {})
        : m_file(file), m_range(file.table(), key.index, equal, fieldIndexes(file.def(), fields)) {}
    void only(const QString &field, const QVariantList &values) {
        m_range.only(m_file.def().fieldIndex(field), values);
    }
    bool select(const QVariantList &equal, const QVariant &from, const QVariant &to) {
        return m_range.select(equal, from, to);
    }
    bool selectAll() { return m_range.selectAll(); }
    bool next() {
        if (!m_range.next()) return false;
        R::layout().fromRow(m_file.rec, m_file.table().row);
        return true;
    }
    bool failed() const { return m_range.failed(); }

private:
    DataFile<R> &m_file;
    KeyRange m_range;
};
} // namespace storage
