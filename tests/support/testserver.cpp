#include "testserver.h"

#include "platform/inifile.h"
#include "platform/storage/location.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace TestServer {
namespace {
const char *const kAdmin = "pension-test-admin";
std::atomic<int> g_next{0};

QString iniPath(const QString &dataDir) { return QDir(dataDir).filePath(storage::Location::IniName); }
} // namespace

QString socketDir() { return qEnvironmentVariable("PENSION_TEST_PG"); }
bool active() { return !socketDir().isEmpty(); }

bool admin(const QString &statement, QString *why) {
    if (!QSqlDatabase::contains(kAdmin)) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", kAdmin);
        db.setHostName(socketDir());
        db.setDatabaseName("postgres");
        db.setUserName("postgres");
    }
    QSqlDatabase db = QSqlDatabase::database(kAdmin);
    if (!db.isOpen() && !db.open()) {
        if (why) *why = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    if (q.exec(statement)) return true;
    if (why) *why = q.lastError().text();
    return false;
}

bool prepare(const QString &dataDir, QString *why) {
    if (!active()) return true;
    const QString name = QString("pension_t%1_%2").arg(QCoreApplication::applicationPid()).arg(g_next++);
    if (!admin("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)", why) ||
        // An office server's usual default, a language's collation: the fund's key order must
        // not depend on it.
        !admin("CREATE DATABASE " + name +
                   " TEMPLATE template0 ENCODING 'UTF8' LOCALE_PROVIDER icu ICU_LOCALE 'en-US' LC_COLLATE 'C' LC_CTYPE 'C'",
               why))
        return false;
    IniFile ini(iniPath(dataDir));
    ini.setValue("Database", "Driver", "QPSQL");
    ini.setValue("Database", "Host", socketDir());
    ini.setValue("Database", "Name", name);
    ini.setValue("Database", "User", "postgres");
    if (ini.save()) return true;
    if (why) *why = "cannot write " + iniPath(dataDir);
    return false;
}

void release(const QString &dataDir) {
    if (!active()) return;
    const storage::Location l = storage::Location::of(dataDir);
    if (l.isServer() && l.name.startsWith("pension_t")) admin("DROP DATABASE IF EXISTS " + l.name + " WITH (FORCE)");
}
} // namespace TestServer
