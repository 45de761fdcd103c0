#include "checkopen.h"

#include "warnings.h"

using namespace storage;

bool CHECKOPEN(Table &file, Dialogs &dialogs, bool overrideCreate) {
    if (file.isOpen()) return true;
    Database &db = file.database();
    const FileDef &def = file.def();
    if (db.users(def.name) > 0) return file.open();

    if (!db.exists(def)) {
        if (!overrideCreate) {
            setError(FileNotFound, def.name);
            STANDARDWARNING(dialogs, 22, def.name);
            return false;
        }
        if (!db.create(def)) {
            STANDARDWARNING(dialogs, 4, def.name);
            return false;
        }
        if (!file.open()) {
            STANDARDWARNING(dialogs, 5, def.name);
            return false;
        }
        return true;
    }
    if (!db.recordDeclarationMatches(def)) {
        setError(InvalidRecordDeclaration, def.name);
        STANDARDWARNING(dialogs, 1, def.name);
        return false;
    }
    if (!db.keysValid(def)) {
        setError(KeysNeedRebuilding, def.name);
        if (STANDARDWARNING(dialogs, 2, def.name) != Dlg::Yes) return false;
        if (!db.rebuildKeys(def)) {
            STANDARDWARNING(dialogs, 3, def.name);
            return false;
        }
    }
    if (file.open()) return true;
    if (lastError().code == FileLocked) {
        // A lock left by a crashed program: ask the engine to recover it and try once more.
        db.sendOption(def, "Recover=10");
        if (file.open()) return true;
    }
    STANDARDWARNING(dialogs, 30, def.name);
    HALT("Disk Error");
    return false;
}
