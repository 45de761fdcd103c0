#include "app.h"

#include <QDir>

namespace {
struct State {
    QString dataDir;
    storage::Database *db = nullptr;
    Dialogs *dialogs = nullptr;
    bool admin = false;
    QMdiArea *mdi = nullptr;
    QString startPrinter;
};
State &state() {
    static State s;
    return s;
}
} // namespace

GlobalVars &GLO() {
    static GlobalVars g;
    return g;
}

ModuleVars &MOD() {
    static ModuleVars m;
    return m;
}

namespace App {
void setDataDir(const QString &dir) { state().dataDir = dir; }
QString dataDir() { return state().dataDir; }
QString iniPath(const QString &name) {
    return QDir::isAbsolutePath(name) ? name : QDir(state().dataDir).filePath(name);
}
void setDatabase(storage::Database *db) { state().db = db; }
storage::Database &db() { return *state().db; }
bool hasDatabase() { return state().db != nullptr; }
void setDialogs(Dialogs *d) { state().dialogs = d; }
Dialogs &dialogs() {
    static QtDialogs fallback;
    return state().dialogs ? *state().dialogs : fallback;
}
void setAdmin(bool admin) { state().admin = admin; }
bool admin() { return state().admin; }
void setStartPrinter(const QString &name) { state().startPrinter = name; }
QString startPrinter() { return state().startPrinter; }
void setMdiArea(QMdiArea *area) { state().mdi = area; }
QMdiArea *mdiArea() { return state().mdi; }
} // namespace App
