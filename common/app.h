#pragma once
// What the whole program shares: the data directory and its database, the user's seat, the
// program-wide variables set once when the frame opens, and the "/admin" switch.
#include "platform/dialogs.h"
#include "platform/storage/database.h"

#include <QString>

class QMdiArea;

// Program-wide variables (one copy for all windows), filled once by the frame.
struct GlobalVars {
    qint32 LOCAL = 0;  // number of the union local of this installation
    QString PATH;      // the data directory, as the installation lookup found it
    QString LOCALNUM;  // the local's description; compared with the savings-fund marker
};
GlobalVars &GLO();

struct ModuleVars {
    QString LOCALNUM; // the local's short label, shown in the frame title and on the splash
};
ModuleVars &MOD();

namespace App {
// Set up by main() (or a test) before any window opens.
void setDataDir(const QString &dir);
QString dataDir();
// Where a fund's INI file ("PENSION.INI", "PRVWRPTS.INI", ...) is read and written: a name
// without a folder, or a relative one, lives in the data directory, never the current one.
QString iniPath(const QString &name);
void setDatabase(storage::Database *db);
storage::Database &db();
bool hasDatabase();
void setDialogs(Dialogs *dialogs);
Dialogs &dialogs();
// "/admin" on the command line lifts the same-month rule of posting and withdrawal dates.
void setAdmin(bool admin);
bool admin();
// The printer that was current when the program started; reports print there by default.
void setStartPrinter(const QString &name);
QString startPrinter();
// Where "start" windows open as children of the frame; nullptr before the frame exists.
void setMdiArea(QMdiArea *area);
QMdiArea *mdiArea();
} // namespace App
