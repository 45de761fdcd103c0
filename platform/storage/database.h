#pragma once
// One connection to the data directory's database. SQLite by default (one file, WAL, busy
// timeout, so several processes share it); the SQL is kept portable for a PostgreSQL server.
#include "error.h"
#include "filedef.h"

#include <QHash>
#include <QSqlDatabase>
#include <memory>

namespace storage {
class Database {
public:
    static constexpr const char *FileName = "pension.db";
    static constexpr int SchemaVersion = 1;

    enum Create { CreateIfMissing, MustExist };
    // Opens the database of a data directory; nullptr and lastError() on failure: FileNotFound when
    // it is missing and must exist, NotAFund (the file left untouched) when the file is not ours.
    static std::unique_ptr<Database> open(const QString &dataDir, Create create = CreateIfMissing);
    // Whether this station may write the data directory's database (and its journal beside it).
    static bool writable(const QString &dataDir);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QSqlDatabase &sql() { return m_db; }
    QString dataDir() const { return m_dataDir; }
    bool isSqlite() const { return m_sqlite; }

    // Files (tables) and their keys (indexes).
    bool exists(const FileDef &def);
    bool create(const FileDef &def);          // table and every key
    bool recordDeclarationMatches(const FileDef &def);
    bool keysValid(const FileDef &def);
    bool rebuildKeys(const FileDef &def);
    bool sendOption(const FileDef &def, const QString &option); // "Recover=10": nothing to recover here

    // Users per file: the file opens for the first user and closes after the last.
    int users(const QString &file) const { return m_users.value(file); }
    int addUser(const QString &file) { return ++m_users[file]; }
    int removeUser(const QString &file);

    // Transactions nest: only the outermost commits; a rollback anywhere rolls back the whole.
    bool begin();
    bool commit();
    void rollback();
    bool inTransaction() const { return m_depth > 0; }

    int schemaVersion();

    // Runs a statement, recording a driver error in lastError(); for the storage code itself.
    bool exec(const QString &statement);
    static void recordSqlError(const class QSqlError &error, int fallback = FileSystemError);

private:
    Database() = default;
    bool isFund();
    bool migrate();
    QString indexSql(const FileDef &def, const KeyDef &key) const;
    QString indexName(const FileDef &def, const KeyDef &key) const;
    QSqlDatabase m_db;
    QString m_connection, m_dataDir;
    bool m_sqlite = true;
    int m_depth = 0;
    bool m_rollbackOnly = false;
    QHash<QString, int> m_users;
};

// Frames a batch: commits when told, rolls back when it goes out of scope otherwise.
class Transaction {
public:
    explicit Transaction(Database &db) : m_db(db), m_active(db.begin()) {}
    ~Transaction() {
        if (m_active) m_db.rollback();
    }
    bool active() const { return m_active; }
    bool commit() {
        if (!m_active) return false;
        m_active = false;
        return m_db.commit();
    }

private:
    Database &m_db;
    bool m_active;
};
} // namespace storage
