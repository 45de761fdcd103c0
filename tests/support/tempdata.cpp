#include "tempdata.h"

#include "common/warnings.h"
#include "platform/clock.h"
#include "platform/storage/faults.h"
#include "testserver.h"

void DataTest::SetUp() {
    m_dir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_dir->isValid());
    QString why;
    ASSERT_TRUE(TestServer::prepare(m_dir->path(), &why)) << why.toStdString();
    db = storage::Database::open(m_dir->path());
    ASSERT_TRUE(db) << storage::lastError().driverText.toStdString();
    App::setDataDir(m_dir->path());
    App::setDatabase(db.get());
    App::setDialogs(&dialogs);
    setHaltHandler([](const QString &status) { throw Halted(status); });
}

void DataTest::TearDown() {
    App::setDatabase(nullptr);
    App::setDialogs(nullptr);
    setHaltHandler(nullptr);
    Clock::setToday(std::nullopt);
    Clock::setClock(std::nullopt);
    if (db) storage::faults::clear(*db);
    db.reset();
    if (m_dir) TestServer::release(m_dir->path());
}

std::unique_ptr<storage::Database> DataTest::openSecond() { return storage::Database::open(m_dir->path()); }
