#pragma once
// Where a fund's database lives: the SQLite file in the data directory, or a database on a
// PostgreSQL server named by the data directory's DATABASE.INI:
//
//   [Database]
//   Driver=QPSQL
//   Host=server.local        (a host name, or the directory of the server's local socket)
//   Port=5432                (optional)
//   Name=pension
//   User=office              (optional: the station's login name)
//
// The password is never written in the INI: libpq finds it in the user's password file, or the
// program asks for it once at start and hands it over here for the session.
#include <QString>

namespace storage {
struct Location {
    enum Engine { SQLite, PostgreSQL };
    static constexpr const char *IniName = "DATABASE.INI";
    static constexpr int DefaultPort = 5432;

    Engine engine = SQLite;
    QString dataDir; // always: the fund's INI files live here whatever the engine
    QString host;
    int port = DefaultPort;
    QString name;
    QString user;
    QString password; // for this session only
    QString problem;  // why DATABASE.INI cannot be used; empty when it can

    // Reads DATABASE.INI of the data directory; without one (or without a Driver) the SQLite
    // file serves. A file that names an unknown driver or lacks a field says so in `problem`.
    static Location of(const QString &dataDir);
    static Location sqlite(const QString &dataDir);
    bool usable() const { return problem.isEmpty(); }
    bool isServer() const { return engine == PostgreSQL; }
    // "SQLite: /funds/local12/pension.db", "PostgreSQL: pension on db.local:5432".
    QString describe() const;
};
} // namespace storage
