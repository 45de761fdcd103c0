#pragma once
// Keyed access to one data file through a record buffer: set a position in a key's order and
// read next/previous, get by key or by record position, add, put, delete, count, empty.
// Reads stream in growing chunks of ordered queries, so a walk never loads the whole file.
#include "database.h"
#include "insertstatement.h"

#include <QSqlQuery>
#include <deque>
#include <map>
#include <optional>
#include <unordered_map>

namespace storage {
class Table {
public:
    Table(Database &db, const FileDef &def);
    ~Table();
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    const FileDef &def() const { return m_def; }
    Database &database() { return m_db; }

    // The record buffer and the identity of the record it was read from (0 = none).
    Row row;
    qint64 pos = 0;
    qint64 version = 0;
    void clearBuffer();

    // Counted open/close: the first user opens, the last one closes.
    bool open();
    void close();
    bool isOpen() const { return m_open; }

    bool add();                 // inserts the buffer; sets pos and version
    bool put();                 // rewrites pos if nobody changed it since it was read
    bool remove();              // deletes pos if nobody changed it since it was read
    bool get(int key);          // first record whose key equals the buffer's key values
    bool getPosition(qint64 recordPos);
    bool watchAndReget() { return getPosition(pos); } // re-reads the buffer's record
    qint64 count();
    bool empty();

    // Positions before the first record at or after the buffer's values of the key's first
    // `components` parts (all parts when -1) in that key's order; 0 = the start of the file.
    void set(int key, int components = -1);
    // Positions at the end of the key's order: previous() reads the last record first.
    void setLast(int key);
    // Record order (the order of entry), for files without keys: next() reads the first record.
    static constexpr int RecordOrder = -1;
    void setRecordOrder();
    // Positions just after (next) or before (previous) the buffer's record in the key's order;
    // with `inclusive` the record itself is read first.
    void setFromCurrent(int key, bool inclusive = false);
    // How many records come before the buffer's record in the key's order.
    qint64 countBefore(int key);
    // Reads the record of a rank (0 = first) in the key's order into the buffer.
    bool seekRank(int key, qint64 rank);
    // A read that returns false either found no (more) records, lastError() RecordNotFound, or
    // failed: then failed() is true and lastError() holds the database's reason. A walk that
    // meets a failure must stop and say so; it has not seen the rest of the file.
    bool next();
    bool previous();
    bool failed() const { return m_failed; }

private:
    friend class KeyRange;
    struct Fetched {
        qint64 pos = 0, version = 0;
        Row row;
    };
    // An index range after the cursor: the position's first `equal` values equal, then (when
    // `strict` >= 0) that value strictly beyond. Its SQL depends only on this shape.
    struct Range {
        int equal;
        int strict;
    };
    QList<Range> ranges() const;
    QString where(const Range &r, int direction) const;
    int bind(QSqlQuery &q, const Range &r) const; // the range's values; returns the next index
    // The statements a table runs, each prepared once and found by its shape: what it does, the
    // key, the direction and the range.
    enum Kind { Walk, CountBefore, Get, Position, Rank, Delete };
    quint32 shape(Kind kind, int direction = 0, const Range &r = Range{0, -1}) const;
    template <class Build> QSqlQuery *shaped(quint32 shape, Build build);
    QString orderBy(int direction, int equal = 0) const;
    bool read(int direction);
    bool fetch(int direction, int limit);
    QVariant keyValue(const KeyPart &p, const QVariant &v) const;
    QString colExpr(const KeyPart &p) const;
    QString m_select; // every column, in the order load() reads them
    void load(const QSqlQuery &q, Fetched &into) const;
    static QVariant fromColumn(const FieldDef &f, const QVariant &v);
    QVariant bindValue(int field, const QVariant &v) const;
    QSqlQuery *cachedQuery(const QString &sql);
    void remember();
    bool readOne(QSqlQuery &q); // nullptr (and lastError) when it cannot prepare
    bool readFailure();         // marks the last read as failed; returns false
    bool writeRefused();        // the file is closed or the batch's transaction is gone
    void writeFailed(const QSqlQuery &q);

    Database &m_db;
    FileDef m_def;
    bool m_open = false;

    // Cursor: the position (key values, then record position) and how it was set.
    int m_key = -2; // no order set yet; RecordOrder (-1) or a key index
    QVariantList m_start;       // up to parts + 1 values; the last may be the record position
    bool m_inclusive = true;
    bool m_atEnd = false;       // setLast: nothing lies after the position
    int m_direction = 0;        // +1 reading forward, -1 backward, 0 not yet read
    bool m_exhausted = false;
    bool m_failed = false;
    std::optional<Error> m_pending; // a fetch failure, reported after the records read before it
    int m_chunk = 16;
    std::deque<Fetched> m_buffer;
    std::unique_ptr<InsertStatement> m_insert; // prepared by the first add
    Fetched m_read; // the buffer's record as last read or written, for writing only what changed
    std::map<QString, QSqlQuery> m_queries;       // rewrites, by their text
    std::unordered_map<quint32, QSqlQuery> m_shaped; // reads, by shape
};
} // namespace storage
