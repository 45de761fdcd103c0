// Before the frame opens: the command line of pension and of every other tool, and which fund
// the program opens (asking before it makes one, refusing a file that is not a fund's).
#include "../support/scripteddialogs.h"
#include "../support/testserver.h"
#include "platform/storage/database.h"
#include "shell/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

class OpenFund : public ::testing::Test {
protected:
    QString fundDir() const { return QDir(dir.path()).filePath("Local565"); }
    QString file() const { return QDir(fundDir()).filePath(storage::Database::FileName); }
    std::unique_ptr<storage::Database> open(bool createWithoutAsking = false) {
        return Startup::openFund(fundDir(), createWithoutAsking, dialogs);
    }
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
};
} // namespace

TEST(StartCommandLine, DataDirectoryAdminAndCreate) {
    Startup::Options o;
    EXPECT_EQ(Startup::parse({}, o), -1);
    EXPECT_EQ(o.dataDir, QDir::currentPath());
    EXPECT_FALSE(o.admin);
    EXPECT_FALSE(o.create);

    EXPECT_EQ(Startup::parse({"/ADMIN", "funds/565", "--create"}, o), -1);
    EXPECT_TRUE(o.admin);
    EXPECT_TRUE(o.create);
    EXPECT_EQ(o.dataDir, QDir::current().absoluteFilePath("funds/565"));
    // An absolute path that starts with "/" is a directory, not a switch.
    EXPECT_EQ(Startup::parse({"/srv/funds/968"}, o), -1);
    EXPECT_EQ(o.dataDir, "/srv/funds/968");
    EXPECT_FALSE(o.admin);
    EXPECT_EQ(Startup::parse({"--", "-odd-name"}, o), -1);
    EXPECT_EQ(o.dataDir, QDir::current().absoluteFilePath("-odd-name"));
}

TEST(StartCommandLine, HelpAndRefusals) {
    CommandLine cl = Startup::commandLine();
    EXPECT_EQ(cl.parse({"--help"}), CommandLine::Help);
    EXPECT_EQ(cl.parse({"DIR", "-h"}), CommandLine::Help);
    EXPECT_TRUE(cl.helpText().startsWith("usage: pension [DATADIR] [/admin] [--create]\n"));
    EXPECT_TRUE(cl.helpText().contains("--create")) << cl.helpText().toStdString();

    EXPECT_EQ(cl.parse({"--admin"}), CommandLine::Error);
    EXPECT_EQ(cl.error(), "unknown option --admin");
    EXPECT_EQ(cl.parse({"-x", "DIR"}), CommandLine::Error);
    EXPECT_EQ(cl.parse({"--create=yes"}), CommandLine::Error);
    EXPECT_EQ(cl.error(), "--create takes no value");
    Startup::Options o;
    EXPECT_EQ(Startup::parse({"A", "B"}, o), 2);
    EXPECT_EQ(Startup::parse({"--bogus"}, o), 2);
    EXPECT_EQ(Startup::parse({"--help"}, o), 0);
}

TEST(StartCommandLine, OptionValuesAreCheckedNumbers) {
    CommandLine cl("tool", "DIR [--members N]", "A tool.");
    cl.addOption("--members", "how many", "N");
    cl.setWordCount(1, 1);
    ASSERT_EQ(cl.parse({"DIR", "--members", "12"}), CommandLine::Run);
    EXPECT_EQ(cl.number("--members", 25), 12);
    ASSERT_EQ(cl.parse({"--members=7", "DIR"}), CommandLine::Run);
    EXPECT_EQ(cl.number("--members", 25), 7);
    ASSERT_EQ(cl.parse({"DIR"}), CommandLine::Run);
    EXPECT_EQ(cl.number("--members", 25), 25);
    EXPECT_TRUE(cl.error().isEmpty());
    ASSERT_EQ(cl.parse({"DIR", "--members", "many"}), CommandLine::Run);
    cl.number("--members", 25);
    EXPECT_EQ(cl.error(), "--members needs a whole number of at least 0, not \"many\"");
    EXPECT_EQ(cl.parse({"DIR", "--members"}), CommandLine::Error);
    EXPECT_EQ(cl.error(), "--members needs a value (--members N)");
    EXPECT_EQ(cl.parse({}), CommandLine::Error);
    EXPECT_EQ(cl.parse({"A", "B"}), CommandLine::Error);
    EXPECT_EQ(cl.error(), "unexpected argument B");
}

TEST_F(OpenFund, NoAnswersOnceAndLeavesNothingBehind) {
    dialogs.answers = {Dlg::No};
    EXPECT_FALSE(open());
    ASSERT_EQ(dialogs.shown.size(), 1);
    const Message &q = dialogs.shown[0];
    EXPECT_EQ(q.text, "There is no fund in " + fundDir() + ". Create a new, empty fund here?");
    EXPECT_EQ(q.icon, Dlg::Question);
    EXPECT_EQ(q.buttons, Dlg::Yes | Dlg::No);
    EXPECT_EQ(q.defaultButton, Dlg::No);
    EXPECT_FALSE(QDir(fundDir()).exists());

    dialogs.answers = {}; // the default button: No
    EXPECT_FALSE(open());
    EXPECT_FALSE(QDir(fundDir()).exists());
}

TEST_F(OpenFund, YesOrTheSwitchCreatesTheFundAndItOpensWithoutQuestionsAfterwards) {
    dialogs.answers = {Dlg::Yes};
    ASSERT_TRUE(open());
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(QFile::exists(file()));
    EXPECT_TRUE(open());
    EXPECT_EQ(dialogs.shown.size(), 1) << "an existing fund opens without a question";

    QDir(fundDir()).removeRecursively();
    EXPECT_TRUE(open(true));
    EXPECT_EQ(dialogs.shown.size(), 1) << "the switch creates without asking";
    EXPECT_TRUE(QFile::exists(file()));
}

TEST_F(OpenFund, AFileThatIsNoFundIsRefusedUnchanged) {
    ASSERT_TRUE(QDir().mkpath(fundDir()));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
        db.setDatabaseName(file());
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec("CREATE TABLE photos (name TEXT)"));
        db.close();
    }
    QSqlDatabase::removeDatabase("other");
    const QByteArray before = contents(file());
    EXPECT_FALSE(open(true));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().text, "The file " + file() + " is not a fund's database.|It has been left as it was.");
    EXPECT_EQ(dialogs.last().icon, Dlg::Error);
    EXPECT_EQ(contents(file()), before);

    QFile::resize(file(), 0);
    EXPECT_FALSE(open(true));
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(QFileInfo(file()).size(), 0);
}

TEST_F(OpenFund, AReadOnlyFundSaysSoAtStart) {
    ASSERT_TRUE(open(true));
    const QByteArray before = contents(file());
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_FALSE(open());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Read-Only Fund ...");
    EXPECT_EQ(dialogs.last().text, "The fund in " + fundDir() + " cannot be changed: " + file() +
                                       " is read-only.|Give this station write access to it and start again.");
    EXPECT_EQ(contents(file()), before);
    QFile::setPermissions(file(), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_TRUE(open());
}

// Every program of the tree answers --help and refuses what it does not know, without taking
// an unknown word for a directory.
namespace {
class Tools : public ::testing::TestWithParam<const char *> {
protected:
    struct Run {
        int exitCode;
        QString out, err;
    };
    Run run(const QStringList &args) {
        QProcess p;
        p.setWorkingDirectory(cwd.path());
        p.start(GetParam(), args);
        EXPECT_TRUE(p.waitForFinished(60000)) << GetParam();
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QTemporaryDir cwd;
};
} // namespace

TEST_P(Tools, AnswerHelpAndRefuseUnknownOptions) {
    const QString name = QFileInfo(GetParam()).fileName();
    Run help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("usage: " + name + " ")) << help.out.toStdString();

    for (const QStringList &args : {QStringList{"--bogus"}, QStringList{"fund", "--bogus"}, QStringList{"-x"}}) {
        Run bad = run(args);
        EXPECT_EQ(bad.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(bad.err.contains("unknown option " + args.last())) << bad.err.toStdString();
        EXPECT_TRUE(bad.err.contains("usage: " + name)) << bad.err.toStdString();
    }
    EXPECT_TRUE(QDir(cwd.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        << "nothing was made of a refused command line";
}

INSTANTIATE_TEST_SUITE_P(EveryProgram, Tools,
                         ::testing::Values(PENSION_PROGRAM, PENSION_GENDATA, PENSION_BACKUP, PENSION_POSTPAYROLL,
                                           PENSION_CHANGEACCT),
                         [](const auto &info) {
                             QString n = QFileInfo(info.param).fileName();
                             return n.replace('-', '_').toStdString();
                         });

INSTANTIATE_TEST_SUITE_P(TaxFiles, Tools, ::testing::Values(PENSION_1099_TOOL));

TEST(ToolArguments, GendataRefusesAValueThatIsNoNumber) {
    QTemporaryDir cwd;
    QProcess p;
    p.setWorkingDirectory(cwd.path());
    p.start(PENSION_GENDATA, {"fund", "--members", "lots"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError()).contains("--members needs a whole number"));
    EXPECT_FALSE(QDir(cwd.path()).exists("fund"));
}

TEST(ToolArguments, PensionTakesOneDataDirectory) {
    QTemporaryDir cwd;
    // One more data directory than it takes is refused before any window opens.
    QProcess p;
    p.setWorkingDirectory(cwd.path());
    p.start(PENSION_PROGRAM, {"a", "b"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError()).contains("one data directory only"));
    EXPECT_TRUE(QDir(cwd.path()).isEmpty());
}

namespace {
void writeIni(const QString &dataDir, const QString &text) {
    QDir().mkpath(dataDir);
    QFile f(QDir(dataDir).filePath("DATABASE.INI"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}
} // namespace

TEST_F(OpenFund, UnusableDatabaseSettingsEndTheStartWithTheirReason) {
    writeIni(fundDir(), "[Database]\r\nDriver=QMYSQL\r\nHost=db\r\nName=fund\r\n");
    EXPECT_FALSE(open(true));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Database Settings ...");
    EXPECT_TRUE(dialogs.last().text.contains("names the database driver QMYSQL")) << dialogs.last().text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file()));
}

TEST_F(OpenFund, AServerThatCannotBeReachedEndsTheStartAndMakesNothing) {
    // A socket folder with no server in it.
    writeIni(fundDir(), QString("[Database]\r\nDriver=QPSQL\r\nHost=%1\r\nPort=1\r\nName=fund\r\n").arg(dir.path()));
    EXPECT_FALSE(open(true));
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Database Server ...");
    EXPECT_TRUE(dialogs.last().text.startsWith("The fund's database could not be opened: cannot connect to the "
                                               "database server for PostgreSQL: fund on "))
        << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.secretPrompts.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(file()));
}

// A fund on the tests' database server (PENSION_TEST_PG): the password asked once at start.
TEST_F(OpenFund, APasswordTheServerWantsIsAskedOnceAndKeptNowhere) {
    if (!TestServer::active()) GTEST_SKIP() << "needs a database server (PENSION_TEST_PG)";
    const QString name = QString("pension_clerk_%1").arg(QCoreApplication::applicationPid());
    QString why;
    ASSERT_TRUE(TestServer::admin("DROP DATABASE IF EXISTS " + name, &why)) << why.toStdString();
    ASSERT_TRUE(TestServer::admin("DROP ROLE IF EXISTS clerk", &why)) << why.toStdString();
    ASSERT_TRUE(TestServer::admin("CREATE ROLE clerk LOGIN PASSWORD 'tellnoone'", &why)) << why.toStdString();
    ASSERT_TRUE(TestServer::admin("CREATE DATABASE " + name + " OWNER clerk", &why)) << why.toStdString();
    writeIni(fundDir(), QString("[Database]\r\nDriver=QPSQL\r\nHost=%1\r\nName=%2\r\nUser=clerk\r\n")
                            .arg(TestServer::socketDir(), name));
    qputenv("PGPASSFILE", QDir(dir.path()).filePath("no-such-file").toUtf8());

    dialogs.secrets = {"guess"};
    EXPECT_FALSE(open(true));
    EXPECT_EQ(dialogs.secretPrompts.size(), 1);
    EXPECT_EQ(dialogs.last().caption, "Database Server ...");
    EXPECT_TRUE(dialogs.last().text.contains("password")) << dialogs.last().text.toStdString();

    dialogs.secrets = {"tellnoone"};
    dialogs.secretPrompts.clear();
    auto db = open(true);
    ASSERT_TRUE(db) << dialogs.last().text.toStdString();
    EXPECT_EQ(dialogs.secretPrompts.size(), 1);
    EXPECT_TRUE(dialogs.secretPrompts[0].contains("clerk")) << dialogs.secretPrompts[0].toStdString();
    EXPECT_EQ(db->location().describe(), "PostgreSQL: " + name + " on " + TestServer::socketDir() + ":5432");
    EXPECT_TRUE(db->location().password.isEmpty());
    EXPECT_FALSE(contents(QDir(fundDir()).filePath("DATABASE.INI")).contains("tellnoone"));
    db.reset();
    TestServer::admin("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
    TestServer::admin("DROP ROLE IF EXISTS clerk");
    qunsetenv("PGPASSFILE");
}
