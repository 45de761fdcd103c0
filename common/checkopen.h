#pragma once
// Opening a data file with the standard checks: create it when allowed, rebuild damaged keys on
// request, and end the application with the standard warnings when the file cannot be used.
#include "platform/dialogs.h"
#include "platform/storage/datafile.h"

// Returns true when the file is open. The checks run for the file's first user only.
bool CHECKOPEN(storage::Table &file, Dialogs &dialogs, bool overrideCreate = true);

template <class R>
bool CHECKOPEN(storage::DataFile<R> &file, Dialogs &dialogs, bool overrideCreate = true) {
    return CHECKOPEN(file.table(), dialogs, overrideCreate);
}
