#pragma once
// The few places where SQLite and PostgreSQL want different SQL, in one object; everything else
// in the storage code is standard SQL that both run.
#include "filedef.h"
#include "location.h"

class QSqlError;

namespace storage {
struct Dialect {
    Location::Engine engine;
    const char *driver;        // Qt's driver name
    const char *begin;         // a write transaction; SQLite takes its write lock up front
    const char *beginRead;     // one consistent snapshot for a long read run
    const char *positionColumn;
    // Text compares byte by byte on both engines, so keys come out in the same order.
    const char *textType;
    const char *decimalType;   // integer cents
    const char *tableCount;    // SELECT count(*) of tables named ?
    const char *tableTotal;    // SELECT count(*) of all tables
    const char *indexNames;    // SELECT the names of the indexes of table ?
    const char *columnNames;   // SELECT the column names of table ?
    // An insert that answers the new record position as its one row, and no row instead of a
    // unique-key failure, so a duplicate leaves the batch's transaction usable on every engine.
    bool insertReturnsPosition;
    // Takes a lock until the transaction ends that serialises adds to one file across stations
    // (bound: two integers naming the file); nullptr where the write transaction's own lock does.
    const char *addLock;
    // A failed statement fails the whole transaction around it (so a statement that may fail on
    // its own runs under a savepoint).
    bool failureEndsTransaction;
    // Several forward-only results of one connection may be read side by side, row by row
    // (PostgreSQL's driver streams one result at a time: there a result read beside another is
    // taken whole).
    bool streamsSideBySide;

    static const Dialect &of(Location::Engine engine);
    // SUM(expression) as a whole number, or a failed statement when the sum leaves 64 bits. SQLite
    // fails such a sum by itself and answers an approximate number when a term left them (so no
    // cast here: a cast would turn that back into a wrong whole number); PostgreSQL adds BIGINTs
    // in wider numbers, and the cast refuses a total beyond them.
    QString wholeSum(const QString &expression) const;
    QString columnType(const FieldDef &f) const;
    QString insertSql(const QString &table, const QStringList &columns) const;
    // The program's error code for a failed statement, `fallback` when nothing fits. The two
    // engines' codes never collide (SQLite's are numbers, PostgreSQL's five-character states),
    // so this needs no engine.
    static int errorCode(const QSqlError &error, int fallback);
    // The database's own words for a failure, without PostgreSQL's severity label and detail
    // lines: "database or disk is full" on either engine.
    static QString errorText(const QSqlError &error);
};
} // namespace storage
