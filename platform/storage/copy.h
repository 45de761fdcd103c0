#pragma once
// Copies a fund's files from one database into another (the same engine or not), keeping every
// record's position and version, so that record order and the order of duplicates come out as
// they were and a later put still finds the version it read.
#include "database.h"

#include <QPair>
#include <functional>
#include <optional>

namespace storage {
struct CopyOptions {
    // Empty the target's files and write over them; without it a target whose files hold any
    // record is refused before anything is written.
    bool replace = false;
    // Runs after the last record is written, still inside the target's transaction and while the
    // source's snapshot is held: false (with the reason in `why`) rolls the whole copy back.
    std::function<bool(QString &why)> verify;
    // Told after each file, with the number of records copied.
    std::function<void(const FileDef &, qint64 records)> copied;
};

struct CopyResult {
    enum Status { Copied, TargetHoldsFund, Failed };
    Status status = Failed;
    QString error;          // Failed: what went wrong, in a sentence
    qint64 targetRecords = 0; // TargetHoldsFund: how many records the target holds
    QList<qint64> records;  // Copied: per file, in the order given
    qint64 total() const;
};

// Reads `from` in one snapshot (ReadSnapshot) and writes `to` in one transaction: after a
// failure anywhere the target is as it was. Every file of `files` exists in the target afterwards (empty when the
// source has none), and the target's meta data (schema version) is the source's.
CopyResult copyFiles(Database &from, Database &to, const QList<const FileDef *> &files,
                     const CopyOptions &options = {});

// The number of records of a file (0 when the file was never made); nullopt with lastError()
// when it cannot be read.
std::optional<qint64> recordCount(Database &db, const FileDef &def);
// The sum of `sumField` for each value of `groupField`, in ascending order of the group; nullopt
// with lastError() when the file cannot be read. A file never made has no groups.
using GroupSums = QList<QPair<qint64, qint64>>;
std::optional<GroupSums> sumsBy(Database &db, const FileDef &def, int groupField, int sumField);
} // namespace storage
