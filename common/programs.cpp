#include "programs.h"

#include "app.h"
#include "platform/inifile.h"
#include "windowstate.h"

#include <QCoreApplication>
#include <QDir>

namespace Programs {
namespace {
QString quoted(const QString &s) { return "\"" + s + "\""; }
} // namespace

QString command(const QString &key, const QString &fallback) {
    QString v = IniFile::get(pensionIniPath(), "Programs", key);
    return v.isEmpty() ? fallback : v;
}

QString defaultBackup() {
    QString tool = QDir(QCoreApplication::applicationDirPath()).filePath("pension-backup");
    return quoted(tool) + " " + quoted(QDir(App::dataDir()).absolutePath());
}

QString backup() { return command("Backup", defaultBackup()); }
} // namespace Programs
