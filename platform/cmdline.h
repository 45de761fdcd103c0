#pragma once
// The command line of the program's tools: their own options, --help, and a plain refusal of
// any other word that starts with "-", so that a mistyped option is never taken for a file or
// directory name. "--" ends the options: a name that starts with "-" can follow it.
#include <QList>
#include <QString>
#include <QStringList>

class CommandLine {
public:
    // `synopsis`: what follows the tool's name in the usage line ("[DATADIR] [/admin]");
    // `about`: a line or two on what the tool does.
    CommandLine(const QString &tool, const QString &synopsis, const QString &about);

    // An option without a value ("--demo"), or with one when `valueName` is given ("--members N").
    void addOption(const QString &name, const QString &help, const QString &valueName = {});
    // How many words that are not options the tool takes.
    void setWordCount(int min, int max);

    enum Result { Run, Help, Error };
    Result parse(const QStringList &arguments); // without the program's name

    bool isSet(const QString &name) const;
    QString value(const QString &name) const;
    // The option's value as a whole number of at least `min`; `fallback` when the option is not given.
    // A value that is no such number makes the result an error.
    int number(const QString &name, int fallback, int min = 0);
    QStringList words() const { return m_words; }
    // Why the command line was refused, in a sentence; the caller may also refuse one.
    QString error() const { return m_error; }
    void fail(const QString &error) { m_error = error; }
    QString usage() const;    // "usage: TOOL SYNOPSIS"
    QString helpText() const; // the usage line, what the tool does and every option

    // For main(): parses; on --help prints the help (exit code 0), on an error the reason and
    // the usage line on stderr (exit code 2); -1 when the tool should run.
    int handle(const QStringList &arguments);
    // After a check of its own: prints the refusal as handle() does and returns 2.
    int refuse(const QString &error);

private:
    struct Option {
        QString name, help, valueName;
    };
    const Option *find(const QString &name) const;

    QString m_tool, m_synopsis, m_about;
    QList<Option> m_options;
    int m_minWords = 0, m_maxWords = -1;
    QStringList m_set, m_values, m_words;
    QString m_error;
};
