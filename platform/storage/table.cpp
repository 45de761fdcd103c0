#include "table.h"

#include "../text.h"
#include "faults.h"
#include "insertstatement.h"

#include <QSqlError>
#include <memory>
#include <unordered_map>

namespace storage {
namespace {
bool isText(const FieldDef &f) { return f.type == FieldType::String || f.type == FieldType::Memo; }

// upper() of both engines folds the ASCII letters only; a key value folded further (É for é)
// would not meet its own record again, and a walk past such a name would read it for ever.
QString upperAscii(QString s) {
    for (QChar &c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
    return s;
}

} // namespace

int FileDef::fieldIndex(const QString &field) const {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int FileDef::keyIndex(const QString &key) const {
    for (int i = 0; i < keys.size(); ++i)
        if (keys[i].name.compare(key, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

Table::Table(Database &db, const FileDef &def) : m_db(db), m_def(def) {
    QStringList cols{"rec_pos", "rec_ver"};
    for (const FieldDef &f : m_def.fields) cols << sqlName(f.name);
    m_select = cols.join(", ");
    clearBuffer();
}

Table::~Table() {
    close();
    m_queries.clear();
    m_shaped.clear();
}

void Table::clearBuffer() {
    row.clear();
    for (const FieldDef &f : m_def.fields) {
        switch (f.type) {
        case FieldType::Long:
        case FieldType::Byte: row << QVariant(0); break;
        case FieldType::Decimal: row << QVariant(qint64(0)); break;
        default: row << QVariant(QString()); break;
        }
    }
    pos = 0;
    version = 0;
}

bool Table::open() {
    clearError();
    if (m_open) return true;
    if (!m_db.exists(m_def)) {
        setError(FileNotFound, m_def.name);
        return false;
    }
    m_db.addUser(m_def.name);
    m_open = true;
    return true;
}

void Table::close() {
    if (!m_open) return;
    m_insert.reset();
    m_queries.clear();
    m_shaped.clear();
    m_buffer.clear();
    m_db.removeUser(m_def.name);
    m_open = false;
}

QVariant Table::bindValue(int field, const QVariant &v) const {
    const FieldDef &f = m_def.fields[field];
    // A value that is already as it is stored goes as it is: batches store millions of them.
    const QMetaType type = v.metaType();
    switch (f.type) {
    case FieldType::Long:
        if (type == QMetaType::fromType<int>()) return v;
        return QVariant(qint32(v.toLongLong()));
    case FieldType::Byte:
        if (type == QMetaType::fromType<int>() && quint32(v.toInt()) <= 255) return v;
        return QVariant(int(quint8(v.toInt())));
    case FieldType::Decimal:
        if (type == QMetaType::fromType<qint64>()) return v;
        return QVariant(v.toLongLong());
    // Text is never NULL in the file: an empty field is an empty string.
    case FieldType::String:
        if (type == QMetaType::fromType<QString>()) {
            const QString &text = *static_cast<const QString *>(v.constData());
            if (!text.isNull() && text.size() <= f.size && !text.endsWith(u' ')) return v;
        }
        return QVariant(clip(v.toString().left(f.size)) + QLatin1String(""));
    default:
        if (type == QMetaType::fromType<QString>() && !static_cast<const QString *>(v.constData())->isNull()) return v;
        return QVariant(v.toString() + QLatin1String(""));
    }
}

void Table::load(const QSqlQuery &q, Fetched &into) const {
    into.pos = q.value(0).toLongLong();
    into.version = q.value(1).toLongLong();
    into.row.resize(m_def.fields.size());
    for (int i = 0; i < m_def.fields.size(); ++i) into.row[i] = fromColumn(m_def.fields[i], q.value(i + 2));
}

QVariant Table::fromColumn(const FieldDef &f, const QVariant &v) {
    switch (f.type) {
    case FieldType::Long:
    case FieldType::Byte: return v.toInt();
    case FieldType::Decimal: return v.toLongLong();
    default: return v.toString();
    }
}

QString Table::colExpr(const KeyPart &p) const {
    const FieldDef &f = m_def.fields[p.field];
    return m_def.keys[m_key].upper && isText(f) ? "upper(" + sqlName(f.name) + ")" : sqlName(f.name);
}

QVariant Table::keyValue(const KeyPart &p, const QVariant &v) const {
    QVariant b = bindValue(p.field, v);
    if (m_def.keys[m_key].upper && isText(m_def.fields[p.field])) return upperAscii(b.toString());
    return b;
}

bool Table::writeRefused() {
    clearError();
    if (!m_open) {
        setError(FileNotOpen, m_def.name);
        return true;
    }
    return !m_db.writable();
}

void Table::writeFailed(const QSqlQuery &q) {
    m_db.recordError(q.lastError());
    m_db.noteFailure();
}

bool Table::readFailure() {
    m_failed = true;
    return false;
}

bool Table::add() {
    if (writeRefused()) return false;
    if (!m_insert) m_insert = std::make_unique<InsertStatement>(m_db, m_def);
    InsertStatement &insert = *m_insert;
    const int n = m_def.fields.size();
    Row values(n);
    for (int i = 0; i < n; ++i) values[i] = bindValue(i, row[i]);
    if (!insert.exec(values)) {
        if (!insert.declined()) m_db.noteFailure();
        return false;
    }
    pos = insert.position();
    version = 1;
    row.swap(values);
    remember();
    return true;
}

bool Table::put() {
    if (writeRefused()) return false;
    if (pos == 0) {
        setError(RecordNotFound, m_def.name);
        return false;
    }
    // Only the fields that differ from the record as it was read are written, so indexes over
    // unchanged fields are left alone; the version check makes the result the same as writing all.
    const int n = m_def.fields.size();
    const bool known = m_read.pos == pos && m_read.version == version && m_read.row.size() == n;
    QList<int> changed;
    QVariantList values;
    for (int i = 0; i < n; ++i) {
        QVariant v = bindValue(i, row[i]);
        if (!known || v != m_read.row[i]) {
            changed << i;
            values << v;
        }
        row[i] = v;
    }
    QStringList sets;
    for (int i : changed) sets << sqlName(m_def.fields[i].name) + " = ?";
    sets << "rec_ver = rec_ver + 1";
    QSqlQuery *q = cachedQuery(QString("UPDATE %1 SET %2 WHERE rec_pos = ? AND rec_ver = ?")
                                   .arg(sqlName(m_def.name), sets.join(", ")));
    if (!q) return false;
    int b = 0;
    for (const QVariant &v : values) q->bindValue(b++, v);
    q->bindValue(b++, pos);
    q->bindValue(b, version);
    if (!q->exec()) {
        writeFailed(*q);
        return false;
    }
    if (q->numRowsAffected() == 0) {
        setError(RecordChanged, m_def.name);
        return false;
    }
    ++version;
    remember();
    return true;
}

void Table::remember() { m_read = Fetched{pos, version, row}; }

bool Table::remove() {
    if (writeRefused()) return false;
    // Prepared once: batches delete thousands of records.
    QSqlQuery *q = shaped(shape(Delete), [&] {
        return QString("DELETE FROM %1 WHERE rec_pos = ? AND rec_ver = ?").arg(sqlName(m_def.name));
    });
    if (!q) return false;
    q->bindValue(0, pos);
    q->bindValue(1, version);
    if (!q->exec()) {
        writeFailed(*q);
        return false;
    }
    if (q->numRowsAffected() == 0) {
        setError(RecordChanged, m_def.name);
        return false;
    }
    pos = 0;
    version = 0;
    return true;
}

// Runs a query for one record and puts it in the buffer; RecordNotFound when there is none.
bool Table::readOne(QSqlQuery &q) {
    if (faults::readRefused(m_def.name)) return readFailure();
    if (!q.exec()) {
        m_db.recordError(q.lastError());
        return readFailure();
    }
    if (!q.next()) {
        const QSqlError error = q.lastError();
        q.finish();
        if (error.isValid()) {
            m_db.recordError(error);
            return readFailure();
        }
        setError(RecordNotFound, m_def.name);
        return false;
    }
    Fetched f;
    load(q, f);
    q.finish();
    row = f.row, pos = f.pos, version = f.version;
    remember();
    return true;
}

bool Table::getPosition(qint64 recordPos) {
    clearError();
    m_failed = false;
    QSqlQuery *q = shaped(shape(Position), [&] {
        return QString("SELECT %1 FROM %2 WHERE rec_pos = ?").arg(m_select, sqlName(m_def.name));
    });
    if (!q) return readFailure();
    q->bindValue(0, recordPos);
    return readOne(*q);
}

bool Table::get(int key) {
    clearError();
    m_failed = false;
    int saved = m_key;
    m_key = key;
    const KeyDef &k = m_def.keys[key];
    // Prepared once per key: batches look records up by key thousands of times.
    QSqlQuery *q = shaped(shape(Get), [&] {
        QStringList where;
        for (const KeyPart &p : k.parts) where << colExpr(p) + " = ?";
        return QString("SELECT %1 FROM %2 WHERE %3 ORDER BY rec_pos LIMIT 1")
            .arg(m_select, sqlName(m_def.name), where.join(" AND "));
    });
    if (q)
        for (int i = 0; i < k.parts.size(); ++i) q->bindValue(i, keyValue(k.parts[i], row[k.parts[i].field]));
    m_key = saved;
    if (!q) return readFailure();
    return readOne(*q);
}

qint64 Table::count() {
    QSqlQuery q(m_db.sql());
    if (!q.exec("SELECT COUNT(*) FROM " + sqlName(m_def.name)) || !q.next()) {
        m_db.recordError(q.lastError());
        return 0;
    }
    return q.value(0).toLongLong();
}

bool Table::empty() {
    clearError();
    m_buffer.clear();
    if (!m_db.writable()) return false;
    if (m_db.exec("DELETE FROM " + sqlName(m_def.name))) return true;
    m_db.noteFailure();
    return false;
}

void Table::set(int key, int components) {
    m_key = key;
    static const KeyDef recordOrder;
    const KeyDef &k = key >= 0 ? m_def.keys[key] : recordOrder;
    int n = components < 0 ? int(k.parts.size()) : std::min<int>(components, k.parts.size());
    m_start.clear();
    for (int i = 0; i < n; ++i) m_start << keyValue(k.parts[i], row[k.parts[i].field]);
    m_inclusive = true;
    m_direction = 0;
    m_exhausted = false;
    m_failed = false;
    m_pending.reset();
    m_chunk = 16;
    m_buffer.clear();
}

void Table::setLast(int key) { set(key, 0); }

void Table::setRecordOrder() { set(RecordOrder, 0); }

void Table::setFromCurrent(int key, bool inclusive) {
    set(key, -1);
    m_start << pos;
    m_inclusive = inclusive;
}

bool Table::next() { return read(+1); }
bool Table::previous() { return read(-1); }

bool Table::read(int direction) {
    clearError();
    m_failed = false;
    if (m_key < RecordOrder) {
        setError(RecordNotFound, m_def.name);
        return false;
    }
    if (m_direction != direction) {
        if (m_direction != 0 && pos != 0) {
            // Turning round: continue from the record in the buffer, not from the read-ahead.
            int key = m_key;
            setFromCurrent(key);
        }
        m_direction = direction;
        m_buffer.clear();
        m_pending.reset();
        m_exhausted = false;
        m_chunk = 16;
    }
    if (m_buffer.empty()) {
        if (!m_pending && !m_exhausted) fetch(direction, m_chunk);
        if (m_buffer.empty()) {
            // Reading on after a failure tries the record that failed again.
            if (m_pending) {
                setError(m_pending->code, m_pending->driverText, m_pending->driverCode);
                m_pending.reset();
                return readFailure();
            }
            setError(RecordNotFound, m_def.name);
            return false;
        }
    }
    Fetched &f = m_buffer.front();
    row = std::move(f.row);
    pos = f.pos;
    version = f.version;
    remember();
    m_buffer.pop_front();
    return true;
}

// Components a range holds equal are left out of its order: ordering by an expression held
// equal (upper(LASTNAME) = ?) makes SQLite sort the whole range instead of reading the index.
QString Table::orderBy(int direction, int equal) const {
    static const KeyDef recordOrder;
    const KeyDef &k = m_key >= 0 ? m_def.keys[m_key] : recordOrder;
    QStringList order;
    for (int i = equal; i < k.parts.size(); ++i)
        order << colExpr(k.parts[i]) + (((direction > 0) != k.parts[i].descending) ? " ASC" : " DESC");
    order << QString("rec_pos") + (direction > 0 ? " ASC" : " DESC");
    return order.join(", ");
}

// The index ranges that follow the cursor position, nearest first: the records equal to the
// position's prefix (when inclusive), then, component by component from the deepest, those
// strictly beyond it. Each is one ordered index scan.
QList<Table::Range> Table::ranges() const {
    const int m = m_start.size();
    QList<Range> out;
    if (m_inclusive) out << Range{m, -1};
    for (int j = m - 1; j >= 0; --j) out << Range{j, j};
    return out;
}

QString Table::where(const Range &r, int direction) const {
    static const KeyDef recordOrder;
    const KeyDef &k = m_key >= 0 ? m_def.keys[m_key] : recordOrder;
    const int n = k.parts.size();
    auto ascending = [&](int i) { return (direction > 0) != (i < n && k.parts[i].descending); };
    auto expr = [&](int i) { return i < n ? colExpr(k.parts[i]) : QString("rec_pos"); };
    QStringList where;
    for (int i = 0; i < r.equal; ++i) where << expr(i) + " = ?";
    if (r.strict >= 0) where << expr(r.strict) + (ascending(r.strict) ? " > ?" : " < ?");
    return where.isEmpty() ? QString() : " WHERE " + where.join(" AND ");
}

int Table::bind(QSqlQuery &q, const Range &r) const {
    int b = 0;
    for (int i = 0; i < r.equal; ++i) q.bindValue(b++, m_start[i]);
    if (r.strict >= 0) q.bindValue(b++, m_start[r.strict]);
    return b;
}

// Reads up to `limit` records after the cursor position, range by range; a fetch stops at the
// first range that yields records, so a walk that ends with its range (one account's history)
// reads little beyond it. A failure part-way keeps the records read before it; the failure is
// reported when the walk reaches it, and the position stays on the record that failed.
bool Table::fetch(int direction, int limit) {
    static const KeyDef recordOrder;
    const KeyDef &k = m_key >= 0 ? m_def.keys[m_key] : recordOrder;
    int got = 0;
    bool failed = false;
    for (const Range &r : ranges()) {
        QSqlQuery *prepared = shaped(shape(Walk, direction, r), [&] {
            return QString("SELECT %1 FROM %2%3 ORDER BY %4 LIMIT ?")
                .arg(m_select, sqlName(m_def.name), where(r, direction), orderBy(direction, r.equal));
        });
        if (!prepared) {
            failed = true;
            break;
        }
        QSqlQuery &q = *prepared;
        q.bindValue(bind(q, r), limit);
        if (!q.exec()) {
            m_db.recordError(q.lastError());
            failed = true;
            break;
        }
        while (!failed && q.next()) {
            if (faults::readRefused(m_def.name)) {
                failed = true;
                break;
            }
            Fetched f;
            load(q, f);
            m_buffer.push_back(std::move(f));
            ++got;
        }
        // next() is false at the end and on a failure alike; only the error tells them apart.
        if (!failed && q.lastError().isValid()) {
            m_db.recordError(q.lastError());
            failed = true;
        }
        q.finish();
        if (failed || got > 0) break;
    }
    if (failed) m_pending = lastError();
    if (got == 0) {
        if (!failed) m_exhausted = true;
        return !failed;
    }
    // Continue after the last record read, whatever happens to the file meanwhile; a range read
    // to its end starts the next one with a small chunk again.
    const Fetched &last = m_buffer.back();
    m_start.clear();
    for (const KeyPart &p : k.parts) m_start << keyValue(p, last.row[p.field]);
    m_start << last.pos;
    m_inclusive = false;
    m_chunk = got >= limit ? std::min(limit * 4, 1024) : 16;
    return true;
}

qint64 Table::countBefore(int key) {
    setFromCurrent(key);
    qint64 total = 0;
    for (const Range &r : ranges()) {
        QSqlQuery *q = shaped(shape(CountBefore, -1, r), [&] {
            return QString("SELECT COUNT(*) FROM %1%2").arg(sqlName(m_def.name), where(r, -1));
        });
        if (!q) return 0;
        bind(*q, r);
        if (q->exec() && q->next()) total += q->value(0).toLongLong();
        q->finish();
    }
    return total;
}

bool Table::seekRank(int key, qint64 rank) {
    clearError();
    m_failed = false;
    m_key = key;
    QSqlQuery *q = shaped(shape(Rank), [&] {
        return QString("SELECT %1 FROM %2 ORDER BY %3 LIMIT 1 OFFSET ?")
            .arg(m_select, sqlName(m_def.name), orderBy(+1));
    });
    if (!q) return readFailure();
    q->bindValue(0, std::max<qint64>(0, rank));
    return readOne(*q);
}

// Rewrites are kept per statement text: which fields changed decides it.
QSqlQuery *Table::cachedQuery(const QString &sql) {
    auto it = m_queries.find(sql);
    if (it != m_queries.end()) return &it->second;
    QSqlQuery q(m_db.sql());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        m_db.recordError(q.lastError());
        return nullptr;
    }
    return &m_queries.emplace(sql, std::move(q)).first->second;
}

// Walks run the same few shapes again and again: a shape's SQL is built once, when it is first
// needed, and its statement found again without building any text.
quint32 Table::shape(Kind kind, int direction, const Range &r) const {
    return quint32(kind) | quint32(m_key + 2) << 4 | quint32(direction > 0) << 12 |
           quint32(r.equal) << 13 | quint32(r.strict + 1) << 21;
}

template <class Build> QSqlQuery *Table::shaped(quint32 shape, Build build) {
    auto it = m_shaped.find(shape);
    if (it != m_shaped.end()) return &it->second;
    QSqlQuery q(m_db.sql());
    q.setForwardOnly(true);
    if (!q.prepare(build())) {
        m_db.recordError(q.lastError());
        return nullptr;
    }
    return &m_shaped.emplace(shape, std::move(q)).first->second;
}
} // namespace storage
