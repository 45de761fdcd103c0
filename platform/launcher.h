#pragma once
// Starting external programs without waiting for them; no exit code is read.
#include <QString>
#include <functional>

namespace Launcher {
// Splits `commandLine` like a shell would and starts it detached; false when it could not start.
bool start(const QString &commandLine);
// Tests replace the real start to see what would have been run.
void setStarter(std::function<bool(const QString &)> starter);
} // namespace Launcher
