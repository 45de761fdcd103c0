#include "launcher.h"

#include <QProcess>

namespace {
std::function<bool(const QString &)> &starter() {
    static std::function<bool(const QString &)> s;
    return s;
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
} // namespace Launcher
