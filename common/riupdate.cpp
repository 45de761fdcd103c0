#include "riupdate.h"

#include "warnings.h"

namespace RI {
int update(storage::Table &file, Dialogs &dialogs, bool fromForm, const QString &fileName) {
    const qint64 position = file.pos;
    if (file.put()) return Done;
    return updateFailed(file, dialogs, fromForm, fileName, position);
}

int updateFailed(storage::Table &file, Dialogs &dialogs, bool fromForm, const QString &fileName,
                 qint64 position) {
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

int remove(storage::Table &file, Dialogs &dialogs, const QString &fileName) {
    if (file.watchAndReget() && file.remove()) return Done;
    RISAVEERROR(&file.database());
    STANDARDWARNING(dialogs, 17, fileName);
    return Failed;
}
} // namespace RI
