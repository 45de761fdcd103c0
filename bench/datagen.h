#pragma once
// Generated fund data for the demo directory and the benchmarks: contractors, members, codes,
// settings, monthly payroll deposits and yearly dividends.
#include "platform/storage/database.h"

#include <QString>
#include <functional>
#include <memory>

struct GenOptions {
    int members = 25;
    int contractors = 5;
    int years = 0;    // whole years of history; when 0, `months` is used
    int months = 6;
    quint32 seed = 1;
    qint32 endDate = 0; // last day of history; 0 = the end of last month
    bool demo = false;  // also fund settings, prompts, users, locals and LOCAL.INI
    std::function<void(const QString &stage)> progress; // told "members" once they are written
};

// Creates the files that are missing and fills them; false with a message on failure.
bool generateData(storage::Database &db, const GenOptions &options, QString *error = nullptr);

// Opens a benchmark's data directory, making its fund when it has none yet (`fresh`: to be
// generated). Its DATABASE.INI, when there is one, puts the fund on a database server.
std::unique_ptr<storage::Database> openDataset(const QString &dir, bool &fresh);

// A benchmark's data directory `name` under PENSION_BENCH_DIR (default: ./bench-data), generated
// with `options` the first time and reused after; the program stops when it cannot be made.
std::unique_ptr<storage::Database> benchDataset(const QString &name, const GenOptions &options);
