// Where a fund's database lives: DATABASE.INI of the data directory, read and refused.
#include "platform/storage/database.h"
#include "platform/storage/location.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using storage::Location;

namespace {
class DatabaseIni : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void write(const QByteArray &text) {
        QFile f(QDir(dir.path()).filePath("DATABASE.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};
} // namespace

TEST_F(DatabaseIni, NoFileOrNoDriverMeansTheSqliteFile) {
    Location l = Location::of(dir.path());
    EXPECT_TRUE(l.usable());
    EXPECT_EQ(l.engine, Location::SQLite);
    EXPECT_EQ(l.describe(), "SQLite: " + QDir::toNativeSeparators(QDir(dir.path()).filePath("pension.db")));

    write("[Database]\r\nHost=db.local\r\nName=pension\r\n");
    l = Location::of(dir.path());
    EXPECT_TRUE(l.usable());
    EXPECT_EQ(l.engine, Location::SQLite);

    write("[Database]\r\nDriver=QSQLITE\r\n");
    EXPECT_EQ(Location::of(dir.path()).engine, Location::SQLite);
}

TEST_F(DatabaseIni, AServerIsNamedByItsFieldsInAnyCase) {
    write("; the office server\r\n[database]\r\ndriver=qpsql\r\nHOST=db.local\r\nport=6543\r\nName=fund\r\nUser=clerk\r\n");
    const Location l = Location::of(dir.path());
    ASSERT_TRUE(l.usable()) << l.problem.toStdString();
    EXPECT_EQ(l.engine, Location::PostgreSQL);
    EXPECT_EQ(l.host, "db.local");
    EXPECT_EQ(l.port, 6543);
    EXPECT_EQ(l.name, "fund");
    EXPECT_EQ(l.user, "clerk");
    EXPECT_EQ(l.dataDir, QDir(dir.path()).absolutePath());
    EXPECT_EQ(l.describe(), "PostgreSQL: fund on db.local:6543");

    // The port is optional; so is the user (the station's login).
    write("[Database]\nDriver=QPSQL\nHost=db.local\nName=fund\n");
    const Location d = Location::of(dir.path());
    ASSERT_TRUE(d.usable());
    EXPECT_EQ(d.port, 5432);
    EXPECT_TRUE(d.user.isEmpty());
}

TEST_F(DatabaseIni, AnUnusableFileIsRefusedWithItsReason) {
    struct Case {
        QByteArray text;
        const char *reason;
    } cases[] = {
        {"[Database]\nDriver=QMYSQL\nHost=h\nName=n\n", "names the database driver QMYSQL"},
        {"[Database]\nDriver=QPSQL\nName=n\n", "gives no Host for the database server"},
        {"[Database]\nDriver=QPSQL\nHost=h\n", "gives no Name for the database server"},
        {"[Database]\nDriver=QPSQL\n", "gives no Host and no Name"},
        {"[Database]\nDriver=QPSQL\nHost=h\nName=n\nPort=54x\n", "the port 54x, which is not a port number"},
        {"[Database]\nDriver=QPSQL\nHost=h\nName=n\nPort=70000\n", "the port 70000"},
    };
    for (const Case &c : cases) {
        write(c.text);
        const Location l = Location::of(dir.path());
        EXPECT_FALSE(l.usable()) << c.text.constData();
        EXPECT_TRUE(l.problem.contains(c.reason)) << l.problem.toStdString();
        EXPECT_TRUE(l.problem.contains("DATABASE.INI")) << l.problem.toStdString();
        // Opening says the same and makes nothing, not even the SQLite file.
        EXPECT_FALSE(storage::Database::open(dir.path()));
        EXPECT_EQ(storage::lastError().code, storage::BadSettings);
        EXPECT_EQ(storage::lastErrorText(), l.problem);
        EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("pension.db")));
    }
}

TEST_F(DatabaseIni, AServerThatCannotBeReachedIsSaidSoAndNothingIsMade) {
    // A socket directory with no server in it: refused at once, no network wait.
    write(QString("[Database]\nDriver=QPSQL\nHost=%1\nPort=1\nName=fund\nUser=clerk\n").arg(dir.path()).toUtf8());
    EXPECT_FALSE(storage::Database::open(dir.path()));
    EXPECT_EQ(storage::lastError().code, storage::ConnectionLost);
    const QString text = storage::lastErrorText();
    EXPECT_TRUE(text.startsWith("cannot connect to the database server for PostgreSQL: fund on ")) << text.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("pension.db")));
    // The password is asked for the session and kept nowhere.
    Location l = Location::of(dir.path());
    l.password = "secret";
    EXPECT_FALSE(storage::Database::open(l));
    EXPECT_FALSE(storage::lastErrorText().contains("secret"));
}
