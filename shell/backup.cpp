// pension-backup DATADIR [TARGET]: writes a consistent copy of the data directory's database
// while other stations may have it open, as one SQLite fund file whatever the engine: SQLite's
// VACUUM INTO reads one snapshot of the file; a server's fund is copied from one snapshot into
// a new fund file. Without TARGET the copy goes to DATADIR/backups/pension-YYYYMMDD-HHMMSS.db.
// Either one restores with pension-copy.
#include "data/fundcopy.h"
#include "platform/cmdline.h"
#include "platform/storage/database.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {
bool backupFile(const QString &source, const QString &target) {
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
    return ok;
}

// The fund is copied into a fund file in a folder of its own beside the target, which takes its
// name only once it is complete: a failed backup leaves no file that looks like one.
bool backupServer(const QString &dataDir, const QString &target) {
    QTemporaryDir work(QFileInfo(target).absoluteDir().filePath(".pension-backup-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot write in %s\n", qPrintable(QFileInfo(target).absolutePath()));
        return false;
    }
    FundCopy copy(dataDir, work.path());
    if (copy.run() != FundCopy::Copied) {
        std::fprintf(stderr, "%s\n", qPrintable(copy.error()));
        return false;
    }
    // Closing the copy's last connection folds its write-ahead log into the file; a log left
    // over would hold part of the copy.
    const QString file = QDir(work.path()).filePath(storage::Database::FileName);
    if (QFile::exists(file + "-wal") || !QFile::rename(file, target)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-backup", "DATADIR [TARGET]",
                   "Writes a consistent copy of the fund's database in DATADIR to TARGET (default:\n"
                   "DATADIR/backups/pension-YYYYMMDD-HHMMSS.db), also while stations are working.\n"
                   "The copy is an SQLite fund file whatever the fund's engine; pension-copy restores it.");
    cl.setWordCount(1, 2);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    const QStringList args = cl.words();
    QDir dir(args[0]);
    const storage::Location location = storage::Location::of(args[0]);
    if (!location.usable()) {
        std::fprintf(stderr, "%s\n", qPrintable(location.problem));
        return 1;
    }
    QString source = dir.filePath(storage::Database::FileName);
    if (!location.isServer() && !QFile::exists(source)) {
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
    const bool ok = location.isServer() ? backupServer(args[0], target) : backupFile(source, target);
    if (ok) std::printf("%s\n", qPrintable(target));
    return ok ? 0 : 1;
}
