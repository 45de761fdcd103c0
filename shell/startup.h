#pragma once
// Before the frame opens: the program's command line and the fund it works on. A directory
// without a fund gets one only when the user (or the --create switch) says so; a file that is
// not a fund's database, and a fund that cannot be written, end the start with a message.
#include "platform/cmdline.h"
#include "platform/storage/database.h"

#include <memory>

class Dialogs;

namespace Startup {
struct Options {
    QString dataDir; // absolute; the current directory when none is given
    bool admin = false;  // "/admin"
    bool create = false; // --create: a missing fund is created without asking
};

// pension [DATADIR] [/admin] [--create]
CommandLine commandLine();
// Parses the arguments (without the program's name) into `options`; -1 when the program should
// start, otherwise the exit code (the help or the refusal has been printed).
int parse(const QStringList &arguments, Options &options);

QString noFundQuestion(const QString &dataDir); // "There is no fund in DIR. Create ... here?"
// Shown once per start when the fund's file lies on a network share.
QString networkShareWarning(const QString &dataDir);

// Opens the fund of `dataDir`, asking before one is created; nullptr when the program must end
// (the reason has been shown through `dialogs`). A fund on a network share opens with a warning
// that several stations should use a database server.
std::unique_ptr<storage::Database> openFund(const QString &dataDir, bool createWithoutAsking, Dialogs &dialogs);
} // namespace Startup
