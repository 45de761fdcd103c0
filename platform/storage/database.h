#pragma once
// One connection to a fund's database: the SQLite file of the data directory by default (one
// file, WAL, busy timeout, so several processes share it), or a PostgreSQL server named by the
// data directory's DATABASE.INI. The SQL is the same for both but for what Dialect says.
#include "dialect.h"
#include "error.h"
#include "filedef.h"
#include "location.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <map>
#include <memory>

struct pg_conn; // libpq's connection

namespace storage {
class Database {
public:
    static constexpr const char *FileName = "pension.db";
    // The layout version of the stored files; an older fund is brought up to it when opened.
    static constexpr int SchemaVersion = 3;
    // How long a write waits for another station's lock before it is refused.
    static constexpr int BusyTimeoutMs = 10000;
    // How much of the SQLite file a connection reads through memory mapping.
    static constexpr qint64 MappedBytes = 268435456;

    enum Create { CreateIfMissing, MustExist };
    // Opens the database of a data directory; nullptr and lastError() on failure: FileNotFound when
    // it is missing and must exist, NotAFund (the file left untouched) when the file is not ours.
    // The data directory's DATABASE.INI chooses the engine (Location::of).
    static std::unique_ptr<Database> open(const QString &dataDir, Create create = CreateIfMissing);
    // On a server, FileNotFound means the database holds no fund yet, ConnectionLost that the
    // server could not be reached, BadSettings that the location is not usable.
    static std::unique_ptr<Database> open(const Location &location, Create create = CreateIfMissing);
    // Whether this station may write the data directory's database (and its journal beside it).
    static bool writable(const QString &dataDir);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QSqlDatabase &sql() { return m_db; }
    QString dataDir() const { return m_location.dataDir; }
    const Location &location() const { return m_location; }
    const Dialect &dialect() const { return *m_dialect; }
    bool isSqlite() const { return m_location.engine == Location::SQLite; }
    // The embedded file lies on a network filesystem: opened without WAL, and several stations
    // there should share a database server instead.
    bool onNetworkShare() const { return m_networkShare; }

    // Files (tables) and their keys (indexes).
    bool exists(const FileDef &def);
    bool create(const FileDef &def);          // table and every key
    bool recordDeclarationMatches(const FileDef &def);
    bool keysValid(const FileDef &def);
    bool rebuildKeys(const FileDef &def);
    // Drops every key of the file, for a bulk load that rebuilds them once at its end.
    bool dropKeys(const FileDef &def);
    bool sendOption(const FileDef &def, const QString &option); // "Recover=10": nothing to recover here
    // Makes this transaction the only one adding to the file until it ends, so that a check for
    // a duplicate or for the highest number and the add that follows it cannot be interleaved
    // with another station's. Inside a transaction only; false (lastError) outside one, when the
    // batch's transaction is gone, or when the lock cannot be had.
    bool serializeAdds(const FileDef &def);

    // Users per file: the file opens for the first user and closes after the last.
    int users(const QString &file) const { return m_users.value(file); }
    int addUser(const QString &file) { return ++m_users[file]; }
    int removeUser(const QString &file);

    // Transactions nest: only the outermost commits; a rollback anywhere rolls back the whole.
    // A batch whose transaction could not begin, or that the database abandoned part-way (SQLite
    // rolls back by itself on a full disk or an I/O error), stays framed until it ends, and every
    // write inside it is refused with the cause: nothing slips out one record at a time.
    bool begin();
    bool commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }
    // Whether writes may go ahead; when not, lastError() says why the batch's transaction is gone.
    bool writable();
    // Called after a statement failed: notes when the failure cost the transaction.
    void noteFailure();

    // One read transaction for a long run, so that it reads the fund as it was when it began
    // (see ReadSnapshot); counted, the outermost holds it. Writes are refused until it ends.
    bool beginRead();
    void endRead();
    bool inReadSnapshot() const { return m_readDepth > 0 && m_depth == 0; }

    // Around a statement that may fail on its own (a sum beyond 64 bits) inside a transaction or
    // snapshot: see Attempt.
    bool beginAttempt();
    void endAttempt(bool failed);

    // A statement prepared once for this connection and reused by every later call with the
    // same `id`; nullptr (and lastError) when it cannot be prepared. A caller finishes it after
    // reading, so that it holds no read lock.
    QSqlQuery *prepared(const QString &id, const QString &sql);

    int schemaVersion();

    // Runs a statement, recording a driver error in lastError(); for the storage code itself.
    bool exec(const QString &statement);
    static void recordSqlError(const class QSqlError &error, int fallback = FileSystemError);
    // As recordSqlError, and a connection to the server that is gone says so in plain words.
    void recordError(const class QSqlError &error);
    // False once the server connection dropped; the SQLite file is always there.
    bool connected();

private:
    Database() = default;
    static std::unique_ptr<Database> openFile(std::unique_ptr<Database> db, Create create);
    static std::unique_ptr<Database> openServer(std::unique_ptr<Database> db, const QString &password,
                                                Create create);
    bool isFund();
    bool hasFund(bool &otherTables); // a server's database: the fund's tables, or others'
    bool catalog(const char *statement, const QString &table, QStringList &into);
    bool tableExists(const QString &table, bool &found);
    bool columns(const QString &table, QStringList &into);
    bool holdsTransaction();
    ::pg_conn *server();
    bool migrate();
    bool upgradeTo(int version); // one step of migrate(): from version - 1
    bool addColumn(const QString &table, const FieldDef &field);
    bool replaceIndex(const QString &table, const QString &key, const QString &columns);
    bool lost(); // the engine no longer holds the transaction that was begun
    QString indexSql(const FileDef &def, const KeyDef &key) const;
    QString indexName(const FileDef &def, const KeyDef &key) const;
    QSqlDatabase m_db;
    QString m_connection;
    Location m_location;
    const Dialect *m_dialect = &Dialect::of(Location::SQLite);
    bool m_networkShare = false;
    int m_depth = 0;
    bool m_rollbackOnly = false;
    bool m_broken = false; // the batch's transaction failed to begin or was abandoned
    bool m_began = false;  // the engine's transaction was started
    Error m_cause;         // why
    void *m_sqliteHandle = nullptr;
    QHash<QString, int> m_users;
    int m_readDepth = 0;
    bool m_readBegan = false; // the engine's read transaction was started
    bool m_attempt = false;   // a savepoint for a statement that may fail is set
    QSet<QString> m_tables;   // tables known to exist, lower case; a miss asks the database
    std::map<QString, QSqlQuery> m_prepared;
};

// Holds one read transaction while in scope: every read of the run sees the same committed
// state of the fund, whatever other stations post meanwhile. Open the files first. Snapshots
// nest (the outermost holds the transaction); inside a write transaction one is a no-op.
// Writing while one is held is refused with lastError() saying why. When the transaction
// cannot begin, active() is false and the reads go ahead one statement at a time.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Database &db)
        : m_db(db), m_held(!db.inTransaction()), m_active(!m_held || db.beginRead()) {}
    ~ReadSnapshot() {
        if (m_held) m_db.endRead();
    }
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;
    bool active() const { return m_active; }

private:
    Database &m_db;
    bool m_held; // false inside a write transaction: that already reads one state
    bool m_active;
};

// A statement that may fail on its own without costing the transaction or snapshot around it:
// a server fails the whole transaction on any failed statement, so there the statement runs
// under a savepoint that failed() rolls back to. Everything read before stays valid; the run
// goes on in the same snapshot. Elsewhere (SQLite, or outside any transaction) it costs nothing.
class Attempt {
public:
    explicit Attempt(Database &db) : m_db(db), m_set(db.beginAttempt()) {}
    ~Attempt() { end(false); }
    Attempt(const Attempt &) = delete;
    Attempt &operator=(const Attempt &) = delete;
    // The statement failed: back to where the attempt began, the failure's error kept.
    void failed() { end(true); }
    // The statement ran: the savepoint goes.
    void succeeded() { end(false); }

private:
    void end(bool failed) {
        if (m_set) m_db.endAttempt(failed);
        m_set = false;
    }
    Database &m_db;
    bool m_set;
};

// Frames a batch: commits when told, rolls back when it goes out of scope otherwise. A frame
// whose transaction did not begin still frames: its writes are refused, never run one by one.
class Transaction {
public:
    explicit Transaction(Database &db) : m_db(db), m_active(db.begin()) {
        if (!m_active) m_error = lastError();
    }
    ~Transaction() {
        if (m_framed) m_db.rollback();
    }
    // False once the transaction failed to begin or the database abandoned it; error() says why.
    bool active() {
        if (m_active && !m_db.writable()) {
            m_active = false;
            m_error = lastError();
        }
        return m_active;
    }
    const Error &error() const { return m_error; }
    // Ends the batch at once, writing nothing: the lock is let go before any message is shown.
    void rollback() {
        if (!m_framed) return;
        m_framed = m_active = false;
        m_db.rollback();
    }
    bool commit() {
        if (!m_framed) return false;
        m_framed = m_active = false;
        if (m_db.commit()) return true;
        m_error = lastError();
        return false;
    }

private:
    Database &m_db;
    bool m_active;
    bool m_framed = true;
    Error m_error;
};
} // namespace storage
