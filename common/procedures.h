#pragma once
// Procedures started by name from the frame's menu. Each library registers the procedures it
// exports; a name nobody registered shows the "Procedure not defined" warning.
#include <QString>
#include <functional>

namespace Procedures {
using Procedure = std::function<void()>;
void add(const QString &name, Procedure procedure);
bool has(const QString &name);
// Runs the procedure; false (after the warning) when no procedure of that name exists.
bool run(const QString &name);

// Registers a procedure at load time: static Procedures::Registration r("BROWSEWITH", BROWSEWITH);
struct Registration {
    Registration(const QString &name, Procedure procedure) { add(name, std::move(procedure)); }
};
} // namespace Procedures
