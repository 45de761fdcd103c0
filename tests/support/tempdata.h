#pragma once
// A fresh data directory with its database for one test, wired into the program's shared state.
#include "common/app.h"
#include "printers.h"
#include "scripteddialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class DataTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Another station on the same data directory: its own connection.
    std::unique_ptr<storage::Database> openSecond();
    QString dataDir() const { return m_dir->path(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<storage::Database> db;
    ScriptedDialogs dialogs;
};
