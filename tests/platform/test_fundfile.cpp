// Which files the storage layer accepts as a fund: another program's database or an empty file
// is refused and left exactly as it was; a missing one is created only when asked for.
#include "platform/storage/database.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void write(const QString &path, const QByteArray &data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Another program's SQLite database, in the rollback-journal mode SQLite starts in.
void makeForeignDatabase(const QString &path) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE recipes (name TEXT, minutes INTEGER)"));
        ASSERT_TRUE(q.exec("INSERT INTO recipes VALUES ('bread', 240)"));
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
}

class FundFile : public ::testing::Test {
protected:
    QString file() const { return QDir(dir.path()).filePath(storage::Database::FileName); }
    QTemporaryDir dir;
};
} // namespace

TEST_F(FundFile, AnotherProgramsDatabaseIsRefusedAndLeftUnchanged) {
    makeForeignDatabase(file());
    const QByteArray before = contents(file());
    ASSERT_FALSE(before.isEmpty());
    EXPECT_FALSE(storage::Database::open(dir.path()));
    EXPECT_EQ(storage::lastError().code, storage::NotAFund);
    EXPECT_EQ(contents(file()), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{storage::Database::FileName});
}

TEST_F(FundFile, AnEmptyFileOrOneThatIsNoDatabaseIsRefusedAndLeftUnchanged) {
    for (const QByteArray &data : {QByteArray(), QByteArray("member list\r\n1001,Anderson\r\n")}) {
        write(file(), data);
        EXPECT_FALSE(storage::Database::open(dir.path())) << data.constData();
        EXPECT_EQ(storage::lastError().code, storage::NotAFund) << data.constData();
        EXPECT_EQ(contents(file()), data);
    }
}

TEST_F(FundFile, AFundOpensAgainAndAMissingOneIsCreatedOnlyWhenAsked) {
    const QString missing = QDir(dir.path()).filePath("typo/fund");
    EXPECT_FALSE(storage::Database::open(missing, storage::Database::MustExist));
    EXPECT_EQ(storage::lastError().code, storage::FileNotFound);
    EXPECT_FALSE(QDir(dir.path()).exists("typo")) << "nothing is made for a fund that is not there";

    ASSERT_TRUE(storage::Database::open(missing, storage::Database::CreateIfMissing));
    EXPECT_TRUE(QFile::exists(QDir(missing).filePath(storage::Database::FileName)));
    auto again = storage::Database::open(missing, storage::Database::MustExist);
    ASSERT_TRUE(again) << storage::lastErrorText().toStdString();
    EXPECT_EQ(again->schemaVersion(), storage::Database::SchemaVersion);
}

TEST_F(FundFile, AReadOnlyFundIsToldApart) {
    ASSERT_TRUE(storage::Database::open(dir.path()));
    EXPECT_TRUE(storage::Database::writable(dir.path()));
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_FALSE(storage::Database::writable(dir.path()));
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(storage::Database::writable(dir.path()));
}
