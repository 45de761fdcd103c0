#include "cmdline.h"

#include <algorithm>
#include <cstdio>

CommandLine::CommandLine(const QString &tool, const QString &synopsis, const QString &about)
    : m_tool(tool), m_synopsis(synopsis), m_about(about) {}

void CommandLine::addOption(const QString &name, const QString &help, const QString &valueName) {
    m_options << Option{name, help, valueName};
}

void CommandLine::setWordCount(int min, int max) {
    m_minWords = min;
    m_maxWords = max;
}

const CommandLine::Option *CommandLine::find(const QString &name) const {
    for (const Option &o : m_options)
        if (o.name == name) return &o;
    return nullptr;
}

CommandLine::Result CommandLine::parse(const QStringList &arguments) {
    m_set.clear();
    m_values.clear();
    m_words.clear();
    m_error.clear();
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnded || !arg.startsWith('-')) {
            m_words << arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") return Help;
        const int eq = arg.indexOf('=');
        const QString name = eq < 0 ? arg : arg.left(eq);
        const Option *o = find(name);
        if (!o) {
            m_error = QString("unknown option %1").arg(arg);
            return Error;
        }
        QString value;
        if (!o->valueName.isEmpty()) {
            if (eq >= 0) {
                value = arg.mid(eq + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                m_error = QString("%1 needs a value (%1 %2)").arg(name, o->valueName);
                return Error;
            }
        } else if (eq >= 0) {
            m_error = QString("%1 takes no value").arg(name);
            return Error;
        }
        m_set << name;
        m_values << value;
    }
    if (m_words.size() < m_minWords) {
        m_error = "too few arguments";
        return Error;
    }
    if (m_maxWords >= 0 && m_words.size() > m_maxWords) {
        m_error = QString("unexpected argument %1").arg(m_words.value(m_maxWords));
        return Error;
    }
    return Run;
}

bool CommandLine::isSet(const QString &name) const { return m_set.contains(name); }

QString CommandLine::value(const QString &name) const {
    const int i = m_set.lastIndexOf(name);
    return i < 0 ? QString() : m_values[i];
}

int CommandLine::number(const QString &name, int fallback, int min) {
    if (!isSet(name)) return fallback;
    bool ok = false;
    const int n = value(name).toInt(&ok);
    if (!ok || n < min) {
        if (m_error.isEmpty()) m_error = QString("%1 needs a whole number of at least %2, not \"%3\"").arg(name).arg(min).arg(value(name));
        return fallback;
    }
    return n;
}

QString CommandLine::usage() const { return "usage: " + m_tool + " " + m_synopsis; }

QString CommandLine::helpText() const {
    QString text = usage() + "\n\n" + m_about + "\n\nOptions:\n";
    QStringList left;
    for (const Option &o : m_options) left << o.name + (o.valueName.isEmpty() ? "" : " " + o.valueName);
    left << "--help";
    int width = 0;
    for (const QString &l : left) width = std::max(width, int(l.size()));
    for (int i = 0; i < left.size(); ++i) {
        const QString help = i < m_options.size() ? m_options[i].help : QStringLiteral("show this help and exit");
        text += "  " + left[i].leftJustified(width + 2) + help + "\n";
    }
    return text;
}

int CommandLine::refuse(const QString &error) {
    m_error = error;
    std::fprintf(stderr, "%s: %s\n%s\nTry '%s --help' for more.\n", qPrintable(m_tool), qPrintable(error),
                 qPrintable(usage()), qPrintable(m_tool));
    return 2;
}

int CommandLine::handle(const QStringList &arguments) {
    switch (parse(arguments)) {
    case Help:
        std::fputs(qPrintable(helpText()), stdout);
        return 0;
    case Error: return refuse(m_error);
    case Run: break;
    }
    return -1;
}
