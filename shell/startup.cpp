#include "startup.h"

#include "common/warnings.h"
#include "platform/dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace Startup {
namespace {
QString shown(const QString &path) { return QDir::toNativeSeparators(QDir(path).absolutePath()); }
const QString kShareCaption = QStringLiteral("Fund on a Network Share ...");
} // namespace

CommandLine commandLine() {
    CommandLine cl("pension", "[DATADIR] [/admin] [--create]",
                   "The fund office's program, on the fund in DATADIR (default: the current directory).\n"
                   "/admin lifts the same-month rule on payroll posting dates and withdrawal dates.");
    cl.addOption("--create", "create a new, empty fund in DATADIR without asking when it has none");
    cl.setWordCount(0, 2);
    return cl;
}

int parse(const QStringList &arguments, Options &options) {
    CommandLine cl = commandLine();
    const int rc = cl.handle(arguments);
    if (rc >= 0) return rc;
    options = Options{};
    options.create = cl.isSet("--create");
    QStringList dirs;
    for (const QString &word : cl.words()) {
        if (word.compare("/admin", Qt::CaseInsensitive) == 0) options.admin = true;
        else dirs << word;
    }
    if (dirs.size() > 1) return cl.refuse(QString("one data directory only, not %1 and %2").arg(dirs[0], dirs[1]));
    options.dataDir = QDir(dirs.isEmpty() ? QDir::currentPath() : dirs.first()).absolutePath();
    return -1;
}

namespace {
QString noFundAt(const QString &place) { return "There is no fund in " + place + ". Create a new, empty fund here?"; }
QString notAFund(const QString &what) { return what + " is not a fund's database.|It has been left as it was."; }
// Whether the server turned the connection down for want of a (right) password.
bool wantsPassword(const QString &reason) { return reason.contains("password", Qt::CaseInsensitive); }
} // namespace

QString networkShareWarning(const QString &dataDir) {
    return "The fund in " + shown(dataDir) +
           " is on a network share.|It is kept without a write-ahead log there, which is safe while "
           "one station works at a time. For several stations working at once, keep the fund on a "
           "database server: see \"Several workstations\" in README.md.";
}

QString noFundQuestion(const QString &dataDir) { return noFundAt(shown(dataDir)); }

// On a database server the password is asked once, when the server wants one that the user's
// password file does not give; it lives in the Location for this start only.
std::unique_ptr<storage::Database> openFund(const QString &dataDir, bool createWithoutAsking, Dialogs &dialogs) {
    using storage::Database;
    storage::Location location = storage::Location::of(dataDir);
    if (!location.usable()) {
        dialogs.message("Database Settings ...", "The fund cannot be opened: " + location.problem + ".", Dlg::Error);
        return nullptr;
    }
    const bool server = location.isServer();
    const QString file = shown(QDir(dataDir).filePath(Database::FileName));
    // Told before anything is opened, rather than by every save that fails.
    if (!server && QFileInfo::exists(file) && !Database::writable(dataDir)) {
        dialogs.message("Read-Only Fund ...",
                        "The fund in " + shown(dataDir) + " cannot be changed: " + file +
                            " is read-only.|Give this station write access to it and start again.",
                        Dlg::Error);
        return nullptr;
    }
    std::unique_ptr<Database> db = Database::open(location, Database::MustExist);
    if (!db && server && storage::lastError().code == storage::ConnectionLost && wantsPassword(storage::lastErrorText())) {
        location.password = dialogs.secret("Database Server ...",
                                           "The password of " + (location.user.isEmpty() ? QString("your login") : location.user) +
                                               " for " + location.describe() + ":");
        if (location.password.isEmpty()) return nullptr;
        db = Database::open(location, Database::MustExist);
    }
    if (!db && storage::lastError().code == storage::FileNotFound) {
        const QString question = server ? noFundAt(location.describe()) : noFundQuestion(dataDir);
        if (!createWithoutAsking &&
            dialogs.message("New Fund ...", question, Dlg::Question, Dlg::Yes | Dlg::No, Dlg::No) != Dlg::Yes)
            return nullptr;
        db = Database::open(location, Database::CreateIfMissing);
    }
    if (!db && storage::lastError().code == storage::NotAFund) {
        dialogs.message("Not a Fund ...", notAFund(server ? "The database " + location.describe() : "The file " + file),
                        Dlg::Error);
        return nullptr;
    }
    if (!db && server) {
        dialogs.message("Database Server ...",
                        "The fund's database could not be opened: " + storage::lastErrorText() +
                            ".|Nothing was changed. Check the server and " + location.IniName + " and start again.",
                        Dlg::Error);
        return nullptr;
    }
    if (!db) {
        dialogs.message("File Access Error",
                        "The data directory " + shown(dataDir) + " could not be opened.  Error: " + ERRORTEXT() + ".",
                        Dlg::Error);
        return nullptr;
    }
    static bool shareWarned = false; // once per start, whichever fund is opened
    if (db->onNetworkShare() && !shareWarned) {
        shareWarned = true;
        dialogs.message(kShareCaption, networkShareWarning(dataDir), Dlg::Warning);
    }
    return db;
}
} // namespace Startup
