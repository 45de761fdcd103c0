#pragma once
// Test-only: makes the database fail on demand, as another station's lock, a full disk or a
// damaged page would, so that tests can walk every batch's failure path. The program never
// arms any of these; when nothing is armed each check costs one comparison.
//
//   refuseBegin()            the next begin() fails as if another station held the write lock
//   refuseWrites(db, f, n)   writes to file f succeed n more times, then the database refuses
//                            them (a real SQLite error raised by a temporary trigger); with
//                            `abandon` SQLite also rolls the whole transaction back by itself.
//                            On a server every refusal abandons: PostgreSQL fails the whole
//                            transaction on any failed statement
//   refuseReads(f, n, k)     reads of records of f succeed n more times, then k of them fail
//                            (every later one when k < 0), as a damaged page read on its own
//   meanwhile(f, n, action)  after n reads of records of f, runs action once: another
//                            station's posting in the middle of a run
//   whenJoining(action)      runs action once when a second connection is about to take up a
//                            run's snapshot (SideRead): another station's posting at that moment
//   clear(db)                disarms everything
#include <QString>
#include <functional>

namespace storage {
class Database;
namespace faults {
// The texts the refusals carry: SQLite's own for these conditions.
inline const QString LockedText = QStringLiteral("database is locked");
inline const QString FullText = QStringLiteral("database or disk is full");
inline const QString DamagedText = QStringLiteral("database disk image is malformed");

void refuseBegin(int times = 1);
bool refuseWrites(Database &db, const QString &file, int after, bool abandon = false);
void refuseReads(const QString &file, int after = 0, int times = -1);
void meanwhile(const QString &file, int after, std::function<void()> action);
void whenJoining(std::function<void()> action);
void clear(Database &db);

// For the storage code: true (with lastError() set) when the operation must fail.
bool beginRefused();
bool readRefused(const QString &file);
// For SideRead: the moment a second connection takes up a snapshot.
void joining();
} // namespace faults
} // namespace storage
