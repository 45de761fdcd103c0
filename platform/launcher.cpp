#include "launcher.h"

#include <QProcess>

namespace {
std::function<bool(const QString &)> &starter() {
    static std::function<bool(const QString &)> s;
    return s;
}
std::function<int(const QString &)> &runner() {
    static std::function<int(const QString &)> r;
    return r;
}
} // namespace

namespace Launcher {
bool start(const QString &commandLine) {
    if (starter()) return starter()(commandLine);
    QStringList parts = QProcess::splitCommand(commandLine.trimmed());
    if (parts.isEmpty()) return false;
    QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

void setStarter(std::function<bool(const QString &)> s) { starter() = std::move(s); }

int run(const QString &commandLine) {
    if (runner()) return runner()(commandLine);
    QStringList parts = QProcess::splitCommand(commandLine.trimmed());
    if (parts.isEmpty()) return -1;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(parts.takeFirst(), parts);
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit)
        return -1;
    return p.exitCode();
}

void setRunner(std::function<int(const QString &)> r) { runner() = std::move(r); }
} // namespace Launcher
