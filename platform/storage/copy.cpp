#include "copy.h"

#include "faults.h"
#include "table.h"

#include <QSqlError>
#include <QSqlQuery>

namespace storage {
namespace {
// Both engines take at least 999 parameters in one statement.
constexpr int MaxParameters = 999;

// What the copy says differently to each engine: nothing but a word of quiet while keys are
// rebuilt, and how record positions continue after the copied ones (SQLite's counter follows
// the positions written by itself; a server's sequence must be told).
struct CopySql {
    const char *quiet;             // for the rest of the transaction; nullptr: nothing to say
    const char *continuePositions; // %1: the table; nullptr: nothing to say
};
const CopySql &copySql(const Database &db) {
    static const CopySql sqlite{nullptr, nullptr};
    static const CopySql server{
        "SET LOCAL client_min_messages = warning",
        "SELECT setval(pg_get_serial_sequence('%1', 'rec_pos'), COALESCE(MAX(rec_pos), 0) + 1, false) FROM %1"};
    return db.isSqlite() ? sqlite : server;
}

// Whether a file was ever made; nullopt (lastError) when the database could not say, which is
// never taken for a file without records.
std::optional<bool> made(Database &db, const FileDef &def) {
    clearError();
    if (db.exists(def)) return true;
    if (lastError()) return std::nullopt;
    return false;
}

bool failedQuery(Database &db, const QSqlQuery &q) {
    db.recordError(q.lastError());
    return false;
}

// Writes records with their positions and versions, many to a statement: one round trip to a
// server per statement, not per record.
class BulkInsert {
public:
    BulkInsert(Database &db, const FileDef &def)
        : m_db(db), m_def(def), m_columns(def.fields.size() + 2),
          m_perStatement(std::max(1, MaxParameters / m_columns)) {}

    bool add(qint64 pos, qint64 version, const Row &row) {
        m_values << pos << version;
        for (const QVariant &v : row) m_values << v;
        return ++m_rows < m_perStatement || flush();
    }
    bool flush() {
        if (m_rows == 0) return true;
        if (!m_db.writable()) return false;
        // A full batch reuses one prepared statement; the last, shorter one gets its own.
        const bool full = m_rows == m_perStatement;
        std::optional<QSqlQuery> &q = full ? m_full : m_tail;
        if (!q || (!full && m_tailRows != m_rows)) {
            q.emplace(m_db.sql());
            if (!q->prepare(statement(m_rows))) return failedQuery(m_db, *q);
            if (!full) m_tailRows = m_rows;
        }
        for (int i = 0; i < m_values.size(); ++i) q->bindValue(i, m_values[i]);
        if (!q->exec()) {
            failedQuery(m_db, *q);
            m_db.noteFailure();
            return false;
        }
        m_values.clear();
        m_rows = 0;
        return true;
    }

private:
    QString statement(int rows) const {
        QStringList cols{"rec_pos", "rec_ver"};
        for (const FieldDef &f : m_def.fields) cols << sqlName(f.name);
        const QString one = "(" + QStringList(m_columns, "?").join(", ") + ")";
        return QString("INSERT INTO %1 (%2) VALUES %3")
            .arg(sqlName(m_def.name), cols.join(", "), QStringList(rows, one).join(", "));
    }

    Database &m_db;
    const FileDef &m_def;
    const int m_columns, m_perStatement;
    int m_rows = 0, m_tailRows = -1;
    QVariantList m_values;
    std::optional<QSqlQuery> m_full, m_tail;
};

// Leaves the target's file there, empty and without keys, in the current layout.
bool emptyForLoad(Database &to, const FileDef &def) {
    bool present = to.exists(def);
    if (present && !to.recordDeclarationMatches(def)) {
        if (!to.exec("DROP TABLE " + sqlName(def.name))) return false;
        present = false;
    }
    if (present ? !to.exec("DELETE FROM " + sqlName(def.name)) : !to.create(def)) return false;
    return to.dropKeys(def);
}

// Streams the source file in record order; nullopt (lastError) when a read failed.
std::optional<qint64> copyRecords(Database &from, Database &to, const FileDef &def) {
    const std::optional<bool> present = made(from, def);
    if (!present) return std::nullopt;
    if (!*present) return 0;
    Table source(from, def);
    if (!source.open()) return std::nullopt;
    BulkInsert insert(to, def);
    qint64 n = 0;
    source.setRecordOrder();
    while (source.next()) {
        if (!insert.add(source.pos, source.version, source.row)) return std::nullopt;
        ++n;
    }
    if (source.failed() || !insert.flush()) return std::nullopt;
    return n;
}

// Records added after the copy are positioned after every copied one.
bool continuePositions(Database &to, const FileDef &def) {
    const char *statement = copySql(to).continuePositions;
    if (!statement) return true;
    QSqlQuery q(to.sql());
    if (!q.exec(QString(statement).arg(sqlName(def.name)))) {
        failedQuery(to, q);
        to.noteFailure();
        return false;
    }
    return true;
}

bool copyMeta(Database &from, Database &to) {
    QSqlQuery read(from.sql());
    read.setForwardOnly(true);
    if (!read.exec("SELECT name, value FROM pension_meta ORDER BY name")) return failedQuery(from, read);
    if (!to.exec("DELETE FROM pension_meta")) return false;
    QSqlQuery write(to.sql());
    if (!write.prepare("INSERT INTO pension_meta (name, value) VALUES (?, ?)")) return failedQuery(to, write);
    while (read.next()) {
        write.bindValue(0, read.value(0));
        write.bindValue(1, read.value(1));
        if (!write.exec()) {
            failedQuery(to, write);
            to.noteFailure();
            return false;
        }
    }
    if (read.lastError().isValid()) return failedQuery(from, read);
    return true;
}
} // namespace

qint64 CopyResult::total() const {
    qint64 n = 0;
    for (qint64 r : records) n += r;
    return n;
}

std::optional<qint64> recordCount(Database &db, const FileDef &def) {
    const std::optional<bool> present = made(db, def);
    if (!present) return std::nullopt;
    if (!*present) return 0;
    QSqlQuery q(db.sql());
    if (faults::readRefused(def.name)) return std::nullopt;
    if (!q.exec("SELECT COUNT(*) FROM " + sqlName(def.name)) || !q.next()) {
        failedQuery(db, q);
        return std::nullopt;
    }
    return q.value(0).toLongLong();
}

std::optional<GroupSums> sumsBy(Database &db, const FileDef &def, int groupField, int sumField) {
    GroupSums sums;
    const std::optional<bool> present = made(db, def);
    if (!present) return std::nullopt;
    if (!*present) return sums;
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    // A server's sum of BIGINT is a NUMERIC: read exactly, as text, never through a double.
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    const QString group = sqlName(def.fields[groupField].name);
    if (!q.exec(QString("SELECT %1, SUM(%2) FROM %3 GROUP BY %1 ORDER BY %1")
                    .arg(group, sqlName(def.fields[sumField].name), sqlName(def.name)))) {
        failedQuery(db, q);
        return std::nullopt;
    }
    while (q.next()) {
        if (faults::readRefused(def.name)) return std::nullopt;
        sums << qMakePair(q.value(0).toLongLong(), q.value(1).toLongLong());
    }
    if (q.lastError().isValid()) {
        failedQuery(db, q);
        return std::nullopt;
    }
    return sums;
}

CopyResult copyFiles(Database &from, Database &to, const QList<const FileDef *> &files,
                     const CopyOptions &options) {
    CopyResult result;
    auto fail = [&](const QString &what) {
        result.status = CopyResult::Failed;
        result.error = what + ": " + lastErrorText();
        result.records.clear();
        return result;
    };
    ReadSnapshot snapshot(from);
    if (!snapshot.active()) return fail("the source could not be read");
    Transaction batch(to);
    if (!batch.active()) return fail("the target could not be written");
    if (const char *quiet = copySql(to).quiet; quiet && !to.exec(quiet))
        return fail("the target could not be written");

    for (const FileDef *def : files) {
        const std::optional<qint64> held = recordCount(to, *def);
        if (!held) return fail("the target's " + def->name + " could not be read");
        result.targetRecords += *held;
    }
    if (result.targetRecords > 0 && !options.replace) {
        result.status = CopyResult::TargetHoldsFund;
        return result;
    }

    for (const FileDef *def : files) {
        if (!emptyForLoad(to, *def)) return fail("the target's " + def->name + " could not be emptied");
        const std::optional<qint64> n = copyRecords(from, to, *def);
        if (!n) return fail(def->name + " could not be copied");
        // Keys are built once over the whole file: much faster than keeping them up to date.
        if (!to.rebuildKeys(*def)) return fail("the keys of " + def->name + " could not be built");
        result.records << *n;
        if (options.copied) options.copied(*def, *n);
    }
    if (!copyMeta(from, to)) return fail("the schema version could not be copied");
    for (const FileDef *def : files)
        if (!continuePositions(to, *def)) return fail("the record positions of " + def->name + " could not be set");
    QString why;
    if (options.verify && !options.verify(why)) {
        batch.rollback();
        result.status = CopyResult::Failed;
        result.error = why;
        result.records.clear();
        return result;
    }
    if (!batch.commit()) return fail("the copy could not be committed");
    result.status = CopyResult::Copied;
    return result;
}
} // namespace storage
