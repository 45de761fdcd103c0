// pension-backup DATADIR [TARGET]: writes a consistent copy of the data directory's database
// while other stations may have it open (SQLite's VACUUM INTO reads one snapshot).
// Without TARGET the copy goes to DATADIR/backups/pension-YYYYMMDD-HHMMSS.db.
#include "platform/cmdline.h"
#include "platform/storage/database.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-backup", "DATADIR [TARGET]",
                   "Writes a consistent copy of the fund's database in DATADIR to TARGET (default:\n"
                   "DATADIR/backups/pension-YYYYMMDD-HHMMSS.db), also while stations are working.");
    cl.setWordCount(1, 2);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    const QStringList args = cl.words();
    QDir dir(args[0]);
    QString source = dir.filePath(storage::Database::FileName);
    if (!QFile::exists(source)) {
        std::fprintf(stderr, "no database in %s\n", qPrintable(dir.absolutePath()));
        return 1;
    }
    QString target = args.size() == 2 ? args[1] : QString();
    if (target.isEmpty()) {
        dir.mkpath("backups");
        target = dir.filePath("backups/pension-" +
                              QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".db");
    }
    if (QFile::exists(target)) {
        std::fprintf(stderr, "%s exists already\n", qPrintable(target));
        return 1;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "backup");
        db.setDatabaseName(source);
        db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000;QSQLITE_OPEN_READONLY");
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare("VACUUM INTO ?");
            q.addBindValue(target);
            ok = q.exec();
            if (!ok) std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(db.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("backup");
    if (ok) std::printf("%s\n", qPrintable(target));
    return ok ? 0 : 1;
}
