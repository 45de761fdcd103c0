#pragma once
// External programs, configurable under [Programs] in PENSION.INI.
#include <QString>

namespace Programs {
// The command set under `key`, or `fallback` when PENSION.INI sets none.
QString command(const QString &key, const QString &fallback);
// Our own backup tool over the fund's data directory: a consistent copy of the database.
QString defaultBackup();
// "Backup": the frame's backup entry and the purge's backup button run it.
QString backup();
} // namespace Programs
