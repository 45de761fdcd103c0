#pragma once
// Starting external programs: detached without waiting, or run to their end.
#include <QString>
#include <functional>

namespace Launcher {
// Splits `commandLine` like a shell would and starts it detached; false when it could not start.
bool start(const QString &commandLine);
// Tests replace the real start to see what would have been run.
void setStarter(std::function<bool(const QString &)> starter);

// Runs `commandLine` and waits for it to end: its exit code, or -1 when it could not start or
// crashed. The caller's event loop does not run meanwhile.
int run(const QString &commandLine);
// Tests replace the real run; the function returns the exit code to report.
void setRunner(std::function<int(const QString &)> runner);
} // namespace Launcher
