#pragma once
// Update and delete helpers of a data file with a browse and form: they report failures with
// the standard warnings and, for a record changed by another station, show the other version.
#include "platform/dialogs.h"
#include "platform/storage/datafile.h"

namespace RI {
enum UpdateResult { Done = 0, Failed = 1, ChangedElsewhere = 2 };

// Rewrites the table's buffer. 2: another station changed the record; its version is now in
// the buffer. 1: another error, reported.
int update(storage::Table &file, Dialogs &dialogs, bool fromForm, const QString &fileName);
// As update() after the rewrite of the record at `position` failed with lastError(): for a caller
// that wrote inside its own transaction and reports once that has ended.
int updateFailed(storage::Table &file, Dialogs &dialogs, bool fromForm, const QString &fileName,
                 qint64 position);
// Deletes the buffer's record as it stands now in the file. 1: an error, reported.
int remove(storage::Table &file, Dialogs &dialogs, const QString &fileName);

template <class R>
int update(storage::DataFile<R> &file, Dialogs &dialogs, bool fromForm, const QString &fileName) {
    R::layout().toRow(file.rec, file.table().row);
    int result = update(file.table(), dialogs, fromForm, fileName);
    R::layout().fromRow(file.rec, file.table().row);
    return result;
}

template <class R> int remove(storage::DataFile<R> &file, Dialogs &dialogs, const QString &fileName) {
    return remove(file.table(), dialogs, fileName);
}
} // namespace RI
