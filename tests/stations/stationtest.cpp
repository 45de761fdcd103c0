#include "stationtest.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QAtomicInt g_made;

// Runs one statement on the server's maintenance database.
bool onMaintenance(const QString &statement, QString &error) {
    const QString connection = "stations-maintenance";
    bool ok = false;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase("QPSQL", connection);
        admin.setHostName(qEnvironmentVariable("PENSION_TEST_PGHOST"));
        admin.setPort(qEnvironmentVariableIntValue("PENSION_TEST_PGPORT") ? qEnvironmentVariableIntValue("PENSION_TEST_PGPORT") : 5432);
        admin.setUserName(qEnvironmentVariable("PENSION_TEST_PGUSER"));
        admin.setDatabaseName("postgres");
        if (admin.open()) {
            QSqlQuery q(admin);
            ok = q.exec(statement);
            if (!ok) error = q.lastError().text();
        } else {
            error = admin.lastError().text();
        }
        admin.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}
} // namespace

bool StationTest::onServer() { return !qEnvironmentVariableIsEmpty("PENSION_TEST_PGHOST"); }

void StationTest::SetUp() {
    DataTest::SetUp();
    if (!onServer() || HasFatalFailure()) return;
    App::setDatabase(nullptr);
    db.reset();
    m_serverDb = QString("stations_%1_%2").arg(QCoreApplication::applicationPid()).arg(g_made.fetchAndAddRelaxed(1));
    QString error;
    ASSERT_TRUE(onMaintenance("CREATE DATABASE " + m_serverDb, error)) << error.toStdString();
    QFile ini(QDir(dataDir()).filePath("DATABASE.INI"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    QString text = "[Database]\nDriver=QPSQL\nHost=" + qEnvironmentVariable("PENSION_TEST_PGHOST") + "\nName=" + m_serverDb + "\n";
    if (!qEnvironmentVariableIsEmpty("PENSION_TEST_PGPORT")) text += "Port=" + qEnvironmentVariable("PENSION_TEST_PGPORT") + "\n";
    if (!qEnvironmentVariableIsEmpty("PENSION_TEST_PGUSER")) text += "User=" + qEnvironmentVariable("PENSION_TEST_PGUSER") + "\n";
    ini.write(text.toUtf8());
    ini.close();
    db = storage::Database::open(dataDir());
    ASSERT_TRUE(db) << storage::lastErrorText().toStdString();
    ASSERT_FALSE(db->isSqlite());
    App::setDatabase(db.get());
}

void StationTest::TearDown() {
    DataTest::TearDown();
    if (m_serverDb.isEmpty()) return;
    QString error;
    EXPECT_TRUE(onMaintenance("DROP DATABASE IF EXISTS " + m_serverDb + " WITH (FORCE)", error)) << error.toStdString();
}
