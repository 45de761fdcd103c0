#include "database.h"

#include "faults.h"
#include "netfs.h"

#include <QAtomicInt>
#include <QDir>
#include <QSqlDriver>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace storage {
namespace {
QAtomicInt g_connections;

const QString WriteInSnapshotText =
    QStringLiteral("nothing can be written while a run reads the fund as one snapshot");

void restoreError(const Error &e) {
    if (e.code) setError(e.code, e.driverText, e.driverCode);
    else clearError();
}

QString lostText() {
    return "the connection to the database server was lost; nothing of the unfinished work was written";
}
} // namespace

void Database::recordSqlError(const QSqlError &error, int fallback) {
    setError(Dialect::errorCode(error, fallback), Dialect::errorText(error), error.nativeErrorCode().toInt());
}

void Database::recordError(const QSqlError &error) {
    recordSqlError(error);
    if (lastError().code == ConnectionLost || !connected()) setError(ConnectionLost, lostText());
}

std::unique_ptr<Database> Database::open(const QString &dataDir, Create create) {
    return open(Location::of(dataDir), create);
}

std::unique_ptr<Database> Database::open(const Location &location, Create create) {
    clearError();
    if (!location.usable()) {
        setError(BadSettings, location.problem);
        return nullptr;
    }
    std::unique_ptr<Database> db(new Database);
    db->m_location = location;
    db->m_location.password.clear(); // needed only to connect
    db->m_dialect = &Dialect::of(location.engine);
    db->m_connection = QString("pension-%1").arg(g_connections.fetchAndAddRelaxed(1));
    if (location.isServer()) return openServer(std::move(db), location.password, create);
    return openFile(std::move(db), create);
}

std::unique_ptr<Database> Database::openFile(std::unique_ptr<Database> db, Create create) {
    const QString dataDir = db->m_location.dataDir;
    const QString file = QDir(dataDir).filePath(FileName);
    const bool existed = QFileInfo::exists(file);
    if (!existed && create == MustExist) {
        setError(FileNotFound, "there is no " + QString(FileName) + " in " + QDir(dataDir).absolutePath());
        return nullptr;
    }
    if (!QDir(dataDir).exists() && !QDir().mkpath(dataDir)) {
        setError(AccessDenied, "cannot create the data directory " + dataDir);
        return nullptr;
    }
    db->m_db = QSqlDatabase::addDatabase("QSQLITE", db->m_connection);
    db->m_db.setDatabaseName(file);
    db->m_db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db->m_db.open()) {
        recordSqlError(db->m_db.lastError());
        return nullptr;
    }
    const QVariant handle = db->m_db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
        db->m_sqliteHandle = *static_cast<sqlite3 *const *>(handle.constData());
    // Before anything below writes to it: another program's file is never turned into a fund.
    if (existed && !db->isFund()) return nullptr;
    // WAL lets readers and one writer of other processes work side by side; FULL sync keeps
    // every committed posting through a power cut.
    // A generous page cache and memory-mapped reads keep key walks off the system calls.
    // On a network share WAL's shared memory and mapped reads are not safe between stations:
    // there the file keeps a rollback journal under the ordinary file locks.
    db->m_networkShare = netfs::isNetworkShare(dataDir);
    const bool journal = db->m_networkShare
                             ? db->exec("PRAGMA locking_mode=NORMAL") && db->exec("PRAGMA journal_mode=DELETE") &&
                                   db->exec("PRAGMA mmap_size=0")
                             : db->exec("PRAGMA journal_mode=WAL") &&
                                   db->exec(QString("PRAGMA mmap_size=%1").arg(MappedBytes));
    if (!journal || !db->exec("PRAGMA synchronous=FULL") || !db->exec("PRAGMA cache_size=-65536") ||
        !db->migrate())
        return nullptr;
    return db;
}

std::unique_ptr<Database> Database::openServer(std::unique_ptr<Database> db, const QString &password,
                                               Create create) {
    const Location &l = db->m_location;
    db->m_db = QSqlDatabase::addDatabase(db->m_dialect->driver, db->m_connection);
    db->m_db.setHostName(l.host);
    db->m_db.setPort(l.port);
    db->m_db.setDatabaseName(l.name);
    if (!l.user.isEmpty()) db->m_db.setUserName(l.user);
    if (!password.isEmpty()) db->m_db.setPassword(password);
    db->m_db.setConnectOptions("connect_timeout=10;application_name=pension");
    if (!db->m_db.open()) {
        const QSqlError e = db->m_db.lastError();
        setError(ConnectionLost, "cannot connect to the database server for " + l.describe() + ": " +
                                     Dialect::errorText(e).trimmed());
        return nullptr;
    }
    // A write waits as long for another station's lock as on the file, then is refused.
    if (!db->exec(QString("SET lock_timeout = %1").arg(BusyTimeoutMs))) return nullptr;
    bool otherTables = false;
    if (!db->hasFund(otherTables)) {
        if (lastError().code) return nullptr;
        if (otherTables) {
            setError(NotAFund, "the database " + l.name + " on " + l.host + " holds another program's tables");
            return nullptr;
        }
        if (create == MustExist) {
            setError(FileNotFound, "there is no fund in the database " + l.name + " on " + l.host);
            return nullptr;
        }
    }
    if (!db->migrate()) return nullptr;
    return db;
}

bool Database::hasFund(bool &otherTables) {
    clearError();
    otherTables = false;
    QSqlQuery q(m_db);
    q.prepare(m_dialect->tableCount);
    q.addBindValue("pension_meta");
    if (!q.exec() || !q.next()) {
        recordError(q.lastError());
        return false;
    }
    if (q.value(0).toInt() > 0) return true;
    QSqlQuery any(m_db);
    if (!any.exec(m_dialect->tableTotal) ||
        !any.next()) {
        recordError(any.lastError());
        return false;
    }
    otherTables = any.value(0).toInt() > 0;
    return false;
}

Database::~Database() {
    while (m_depth > 0) rollback();
    while (m_readDepth > 0) endRead();
    m_prepared.clear(); // before the connection they belong to goes
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

bool Database::exec(const QString &statement) {
    QSqlQuery q(m_db);
    if (!q.exec(statement)) {
        recordError(q.lastError());
        return false;
    }
    return true;
}

bool Database::isFund() {
    QSqlQuery q(m_db);
    bool ran = q.prepare(m_dialect->tableCount);
    q.addBindValue("pension_meta");
    if (!ran || !q.exec()) {
        // 26: SQLite found no database in the file at all.
        if (q.lastError().nativeErrorCode() == "26")
            setError(NotAFund, QString(FileName) + " in " + dataDir() + " is not a database");
        else
            recordSqlError(q.lastError());
        return false;
    }
    if (q.next() && q.value(0).toInt() == 1) return true;
    setError(NotAFund, QString(FileName) + " in " + dataDir() + " is not a fund's database");
    return false;
}

bool Database::writable(const QString &dataDir) {
    // A server's rights are the server's to grant; nothing in the directory is written.
    if (Location::of(dataDir).isServer()) return true;
    const QFileInfo file(QDir(dataDir).filePath(FileName));
    // The write bits count even for an administrator, whom the system would let write anyway.
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (file.exists() && (!file.isWritable() || !(file.permissions() & writeBits))) return false;
    // The journal and the shared-memory index are written beside the file.
    return QFileInfo(QDir(dataDir).absolutePath()).isWritable();
}

bool Database::migrate() {
    int version = schemaVersion();
    if (version > SchemaVersion) {
        setError(InvalidRecordDeclaration,
                 QString("the data was written by a newer program (schema %1)").arg(version));
        return false;
    }
    if (version == SchemaVersion) return true;
    // Step by step from the stored version, every step in the one transaction: a fund is either
    // brought all the way up or left exactly as it was. A new fund's first table and its version
    // go in together, so that no half-made fund is left; its files are made in the current
    // layout as they are opened, so it needs no step.
    Transaction t(*this);
    if (!t.active()) return false;
    if (!exec("CREATE TABLE IF NOT EXISTS pension_meta (name TEXT PRIMARY KEY, value TEXT NOT NULL)"))
        return false;
    if (version > 0)
        for (int next = version + 1; next <= SchemaVersion; ++next)
            if (!upgradeTo(next)) return false;
    QSqlQuery q(m_db);
    q.prepare(version == 0 ? "INSERT INTO pension_meta (name, value) VALUES ('schema_version', ?)"
                           : "UPDATE pension_meta SET value = ? WHERE name = 'schema_version'");
    q.addBindValue(QString::number(SchemaVersion));
    if (!q.exec()) {
        recordSqlError(q.lastError());
        return false;
    }
    return t.commit();
}

// Drops a key's index and makes it again with `columns`, when the file was ever made.
bool Database::replaceIndex(const QString &table, const QString &key, const QString &columns) {
    bool found = false;
    if (!tableExists(table, found)) return false;
    if (!found) return true;
    const QString index = sqlName(table + "_" + key);
    return exec("DROP INDEX IF EXISTS " + index) &&
           exec(QString("CREATE INDEX %1 ON %2 (%3)").arg(index, sqlName(table), columns));
}

// What each version changed in the stored files. The names are those the files had then, and
// stay as they are here even if a later layout renames them.
bool Database::upgradeTo(int version) {
    switch (version) {
    case 2: // the fund settings gain the IRIS transmitter control code and software id, blank
        return addColumn("CUInfo", FieldDef{"IRISTCC", FieldType::String, 5}) &&
               addColumn("CUInfo", FieldDef{"SOFTWAREID", FieldType::String, 10});
    case 3: // the account/date key carries each transaction's type and amount, so that walks
            // and sums over one account read the index alone
        return replaceIndex("Trans", "Acct_Key",
                            "\"ACCTNUM\", \"TRANSDATE\" DESC, rec_pos, \"TRANSTYPE\", \"TRANSAMOUNT\"");
    default: return true;
    }
}

// A file that was never made is made later in the current layout; a column already there (a
// fund made by a program that had the field before the version was raised) is kept as it is.
bool Database::addColumn(const QString &table, const FieldDef &field) {
    bool found = false;
    if (!tableExists(table, found)) return false;
    if (!found) return true;
    QStringList have;
    if (!columns(table, have)) return false;
    if (have.contains(field.name, Qt::CaseInsensitive)) return true;
    return exec(QString("ALTER TABLE %1 ADD COLUMN %2 %3")
                    .arg(sqlName(table), sqlName(field.name), m_dialect->columnType(field)));
}

bool Database::catalog(const char *statement, const QString &table, QStringList &into) {
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(statement)) {
        recordError(q.lastError());
        return false;
    }
    q.addBindValue(table);
    if (!q.exec()) {
        recordError(q.lastError());
        return false;
    }
    while (q.next()) into << q.value(0).toString();
    if (q.lastError().isValid()) {
        recordError(q.lastError());
        return false;
    }
    return true;
}

bool Database::tableExists(const QString &table, bool &found) {
    QStringList n;
    if (!catalog(m_dialect->tableCount, table, n) || n.isEmpty()) return false;
    found = n.first().toInt() > 0;
    return true;
}

bool Database::columns(const QString &table, QStringList &into) {
    return catalog(m_dialect->columnNames, table, into);
}

int Database::schemaVersion() {
    QSqlQuery q(m_db);
    if (!q.exec("SELECT value FROM pension_meta WHERE name = 'schema_version'") || !q.next())
        return 0;
    return q.value(0).toInt();
}

// Files are made far more rarely than opened: what is known to exist is remembered, and only
// a file not seen yet (perhaps made by another station since) is looked up again.
bool Database::exists(const FileDef &def) {
    const QString name = def.name.toLower();
    if (m_tables.contains(name)) return true;
    bool found = false;
    if (!tableExists(def.name, found) || !found) return false;
    m_tables.insert(name);
    return true;
}

QString Database::indexName(const FileDef &def, const KeyDef &key) const {
    return def.name + "_" + key.name;
}

QString Database::indexSql(const FileDef &def, const KeyDef &key) const {
    QStringList cols;
    for (const KeyPart &p : key.parts) {
        const FieldDef &f = def.fields[p.field];
        bool text = f.type == FieldType::String || f.type == FieldType::Memo;
        QString c = key.upper && text ? "upper(" + sqlName(f.name) + ")" : sqlName(f.name);
        cols << c + (p.descending ? " DESC" : "");
    }
    // Duplicates keep their order of entry; a unique key needs no tie-break.
    if (!key.unique) cols << "rec_pos";
    for (int f : key.include) cols << sqlName(def.fields[f].name);
    return QString("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(key.unique ? "UNIQUE " : "", sqlName(indexName(def, key)), sqlName(def.name), cols.join(", "));
}

bool Database::create(const FileDef &def) {
    QStringList cols;
    cols << m_dialect->positionColumn;
    cols << "rec_ver INTEGER NOT NULL DEFAULT 1";
    for (const FieldDef &f : def.fields) cols << sqlName(f.name) + " " + m_dialect->columnType(f);
    Transaction t(*this);
    if (!exec(QString("CREATE TABLE %1 (%2)").arg(sqlName(def.name), cols.join(", ")))) return false;
    for (const KeyDef &k : def.keys)
        if (!exec(indexSql(def, k))) return false;
    if (!t.commit()) return false;
    // Inside an outer batch the file exists only once that commits; a rollback forgets it.
    m_tables.insert(def.name.toLower());
    return true;
}

bool Database::recordDeclarationMatches(const FileDef &def) {
    QStringList have;
    if (!columns(def.name, have)) return false;
    for (const FieldDef &f : def.fields)
        if (!have.contains(f.name, Qt::CaseInsensitive)) return false;
    return have.contains("rec_pos", Qt::CaseInsensitive) && have.contains("rec_ver", Qt::CaseInsensitive);
}

bool Database::keysValid(const FileDef &def) {
    QStringList have;
    if (!catalog(m_dialect->indexNames, def.name, have)) return false;
    for (const KeyDef &k : def.keys)
        if (!have.contains(indexName(def, k), Qt::CaseInsensitive)) return false;
    return true;
}

bool Database::rebuildKeys(const FileDef &def) {
    Transaction t(*this);
    for (const KeyDef &k : def.keys) {
        if (!exec("DROP INDEX IF EXISTS " + sqlName(indexName(def, k)))) return false;
        if (!exec(indexSql(def, k))) return false;
    }
    return t.commit();
}

bool Database::dropKeys(const FileDef &def) {
    for (const KeyDef &k : def.keys)
        if (!exec("DROP INDEX IF EXISTS " + sqlName(indexName(def, k)))) return false;
    return true;
}

bool Database::sendOption(const FileDef &, const QString &) { return true; }

int Database::removeUser(const QString &file) {
    int n = m_users.value(file);
    if (n <= 1) {
        m_users.remove(file);
        return 0;
    }
    return m_users[file] = n - 1;
}

bool Database::begin() {
    if (m_depth++ > 0) return writable();
    m_rollbackOnly = false;
    m_broken = m_began = m_attempt = false;
    m_cause = Error{};
    if (m_readDepth > 0) {
        setError(AccessDenied, WriteInSnapshotText);
        m_broken = true;
        m_cause = lastError();
        return false;
    }
    // IMMEDIATE takes the write lock up front, so two stations queue instead of deadlocking.
    if (faults::beginRefused() || !exec(m_dialect->begin)) {
        m_broken = true;
        m_cause = lastError();
        return false;
    }
    m_began = true;
    return true;
}

// Both engines say whether the connection is inside a transaction. SQLite may roll back by
// itself (a full disk, an I/O error); PostgreSQL marks the transaction failed after any failed
// statement, and a dropped connection holds nothing at all.
bool Database::lost() {
    if (m_sqliteHandle) return sqlite3_get_autocommit(static_cast<sqlite3 *>(m_sqliteHandle)) != 0;
    if (isSqlite()) return false;
    PGconn *conn = server();
    // Active: a read's last rows are still to be fetched, inside the transaction.
    const auto status = conn ? PQtransactionStatus(conn) : PQTRANS_UNKNOWN;
    return status != PQTRANS_INTRANS && status != PQTRANS_ACTIVE;
}

// The server connection, while Qt still holds it open (it lets go of one the server dropped).
PGconn *Database::server() {
    if (isSqlite() || !m_db.isOpen()) return nullptr;
    const QVariant handle = m_db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "pg_conn*") != 0) return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

// Whether there is a transaction to end with ROLLBACK: on PostgreSQL a failed one still needs
// it before the connection takes another statement.
bool Database::holdsTransaction() {
    if (m_sqliteHandle) return !lost();
    if (isSqlite()) return m_began;
    PGconn *conn = server();
    const auto status = conn ? PQtransactionStatus(conn) : PQTRANS_UNKNOWN;
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

bool Database::connected() {
    if (isSqlite()) return true;
    PGconn *conn = server();
    return conn && PQstatus(conn) == CONNECTION_OK;
}

bool Database::writable() {
    if (m_depth == 0) {
        if (m_readDepth == 0) return true;
        setError(AccessDenied, WriteInSnapshotText);
        return false;
    }
    if (!m_broken && lost()) {
        m_broken = true;
        m_cause = Error{FileSystemError, errorText(FileSystemError), 0,
                        "the database abandoned the batch's transaction"};
    }
    if (!m_broken) return true;
    restoreError(m_cause);
    return false;
}

void Database::noteFailure() {
    if (m_depth == 0 || m_broken) return;
    if (!connected()) setError(ConnectionLost, lostText());
    // A server fails the whole transaction on any failed statement (its state may still read
    // "active" while the failed statement's result is drained).
    if (m_sqliteHandle ? lost() : true) {
        m_broken = true;
        m_cause = lastError();
    }
}

bool Database::commit() {
    if (m_depth == 0) return false;
    if (m_depth > 1) {
        --m_depth;
        return !m_rollbackOnly && writable();
    }
    const bool usable = writable(); // while still framed, so a lost transaction is noticed
    m_depth = 0;
    if (!usable) {
        const Error cause = m_cause;
        if (m_began && holdsTransaction()) exec("ROLLBACK");
        m_broken = m_began = m_attempt = false;
        m_tables.clear();
        restoreError(cause);
        return false;
    }
    m_began = m_attempt = false;
    if (m_rollbackOnly) {
        exec("ROLLBACK");
        m_tables.clear();
        return false;
    }
    if (!exec("COMMIT")) {
        Error e = lastError();
        if (holdsTransaction()) exec("ROLLBACK");
        m_tables.clear();
        restoreError(e);
        return false;
    }
    return true;
}

bool Database::beginRead() {
    if (m_readDepth++ > 0) return m_readBegan;
    const Error before = lastError();
    // The snapshot is taken by the first read, so one is made at once.
    if (!exec(m_dialect->beginRead))
        return false;
    QSqlQuery q(m_db);
    if (!q.exec("SELECT value FROM pension_meta WHERE name = 'schema_version'")) {
        recordSqlError(q.lastError());
        const Error e = lastError();
        exec("ROLLBACK");
        restoreError(e);
        return false;
    }
    q.finish();
    m_readBegan = true;
    restoreError(before);
    return true;
}

void Database::endRead() {
    if (m_readDepth == 0 || --m_readDepth > 0) return;
    if (!m_readBegan) return;
    m_readBegan = m_attempt = false;
    // Nothing was written: ending it either way lets go of the snapshot; the run's own error stays.
    const Error e = lastError();
    exec("ROLLBACK");
    restoreError(e);
}

bool Database::beginAttempt() {
    if (!m_dialect->failureEndsTransaction || m_attempt || !(m_began || m_readBegan)) return false;
    const Error before = lastError();
    m_attempt = exec("SAVEPOINT pension_attempt");
    restoreError(before);
    return m_attempt;
}

void Database::endAttempt(bool failed) {
    if (!m_attempt) return;
    m_attempt = false;
    const Error e = lastError();
    if (!failed) {
        exec("RELEASE SAVEPOINT pension_attempt");
    } else if (!exec("ROLLBACK TO SAVEPOINT pension_attempt") && !connected()) {
        return; // the connection's loss is the error now
    }
    restoreError(e);
}

QSqlQuery *Database::prepared(const QString &id, const QString &sql) {
    auto it = m_prepared.find(id);
    if (it != m_prepared.end()) return &it->second;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        recordSqlError(q.lastError());
        return nullptr;
    }
    return &m_prepared.emplace(id, std::move(q)).first->second;
}

void Database::rollback() {
    if (m_depth == 0) return;
    if (--m_depth > 0) {
        m_rollbackOnly = true;
        return;
    }
    Error e = lastError();
    // Nothing to roll back when the transaction never began or the database ended it already.
    // (A begin refused inside a read snapshot began nothing: the snapshot stays.)
    if (m_began && holdsTransaction()) exec("ROLLBACK");
    m_broken = m_began = m_attempt = false;
    m_tables.clear(); // a file made inside the batch is gone again
    restoreError(e); // keep the error that caused the rollback
}
} // namespace storage
