#include "location.h"

#include "../inifile.h"

#include <QDir>
#include <QFileInfo>

namespace storage {
namespace {
const char *const kSection = "Database";
constexpr const char *kSqliteFile = "pension.db"; // Database::FileName, kept in step
} // namespace

Location Location::sqlite(const QString &dataDir) {
    Location l;
    l.dataDir = QDir(dataDir).absolutePath();
    return l;
}

Location Location::of(const QString &dataDir) {
    Location l = sqlite(dataDir);
    const QString path = QDir(l.dataDir).filePath(IniName);
    if (!QFileInfo::exists(path)) return l;
    const IniFile ini(path);
    const QString driver = ini.value(kSection, "Driver").trimmed();
    if (driver.isEmpty() || driver.compare("QSQLITE", Qt::CaseInsensitive) == 0) return l;
    const QString shown = QDir::toNativeSeparators(path);
    if (driver.compare("QPSQL", Qt::CaseInsensitive) != 0) {
        l.problem = shown + " names the database driver " + driver + "; only QSQLITE and QPSQL serve a fund";
        return l;
    }
    l.engine = PostgreSQL;
    l.host = ini.value(kSection, "Host").trimmed();
    l.name = ini.value(kSection, "Name").trimmed();
    l.user = ini.value(kSection, "User").trimmed();
    const QString port = ini.value(kSection, "Port").trimmed();
    QStringList missing;
    if (l.host.isEmpty()) missing << "Host";
    if (l.name.isEmpty()) missing << "Name";
    if (!missing.isEmpty()) {
        l.problem = shown + " gives no " + missing.join(" and no ") + " for the database server";
        return l;
    }
    if (!port.isEmpty()) {
        bool ok = false;
        l.port = port.toInt(&ok);
        if (!ok || l.port <= 0 || l.port > 65535) {
            l.problem = shown + " gives the port " + port + ", which is not a port number";
            return l;
        }
    }
    return l;
}

QString Location::describe() const {
    if (engine == SQLite) return "SQLite: " + QDir::toNativeSeparators(QDir(dataDir).filePath(kSqliteFile));
    return QString("PostgreSQL: %1 on %2:%3").arg(name, host).arg(port);
}
} // namespace storage
