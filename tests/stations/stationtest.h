#pragma once
// The several-station tests run on the embedded file, or on a PostgreSQL server when
// PENSION_TEST_PGHOST names one (a host, or the directory of its socket; PENSION_TEST_PGPORT and
// PENSION_TEST_PGUSER as needed): each test then has a database of its own on it, named in its
// data directory's DATABASE.INI, so that the station processes find it as a station would.
#include "../support/tempdata.h"

class StationTest : public DataTest {
protected:
    void SetUp() override;
    void TearDown() override;
    static bool onServer();
    QString engine() const { return db && !db->isSqlite() ? "PostgreSQL" : "SQLite"; }

private:
    QString m_serverDb;
};
