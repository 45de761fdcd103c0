#include "procedures.h"

#include "app.h"
#include "warnings.h"

#include <QHash>

namespace {
QHash<QString, Procedures::Procedure> &registry() {
    static QHash<QString, Procedures::Procedure> r;
    return r;
}
} // namespace

namespace Procedures {
void add(const QString &name, Procedure procedure) { registry().insert(name, std::move(procedure)); }
bool has(const QString &name) { return registry().contains(name); }

bool run(const QString &name) {
    auto it = registry().constFind(name);
    if (it == registry().constEnd()) {
        STANDARDWARNING(App::dialogs(), 6, name);
        return false;
    }
    (*it)();
    return true;
}
} // namespace Procedures
