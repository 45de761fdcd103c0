#pragma once
// The tests' database server: when PENSION_TEST_PG names the socket directory of a throw-away
// PostgreSQL server (tests/scripts/pgserver.sh), every data directory a test makes gets a fresh
// database of its own there, named by its DATABASE.INI; otherwise the SQLite file serves.
#include <QString>

namespace TestServer {
bool active();
QString socketDir();
// Makes a database for the data directory and writes its DATABASE.INI; false (with a reason for
// the test's failure message in `why`) when the server refuses. Nothing to do without a server.
bool prepare(const QString &dataDir, QString *why = nullptr);
// Drops the data directory's database, whoever is still connected.
void release(const QString &dataDir);
// Runs one statement on the server's maintenance database, as its administrator.
bool admin(const QString &statement, QString *why = nullptr);
} // namespace TestServer
