#pragma once
// Update and delete helpers of a data file with a browse and form: they report failures with
// the standard warnings and, for a record changed by another station, show the other version.
#include "platform/dialogs.h"
#include "platform/storage/datafile.h"
#include "warnings.h"

namespace RI {
enum UpdateResult { Done = 0, Failed = 1, ChangedElsewhere = 2 };

// Rewrites the buffer. 2: another station changed the record; its version is now in the buffer.
template <class R>
int update(storage::DataFile<R> &file, Dialogs &dialogs, bool fromForm, const QString &fileName) {
    qint64 position = file.position();
    if (file.put()) return Done;
    const int code = storage::lastError().code;
    RISAVEERROR(&file.database());
    if (code == storage::RecordChanged) {
        if (fromForm) STANDARDWARNING(dialogs, 38);
        else STANDARDWARNING(dialogs, 15, "Record Changed by Another Station");
        file.getPosition(position);
        return ChangedElsewhere;
    }
    STANDARDWARNING(dialogs, 15, fileName);
    return Failed;
}

// Deletes the buffer's record, as it stands now in the file.
template <class R>
int remove(storage::DataFile<R> &file, Dialogs &dialogs, const QString &fileName) {
    if (file.reget() && file.remove()) return Done;
    RISAVEERROR(&file.database());
    STANDARDWARNING(dialogs, 17, fileName);
    return Failed;
}
} // namespace RI
