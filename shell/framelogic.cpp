#include "framelogic.h"

#include "common/app.h"
#include "common/programs.h"
#include "common/windowstate.h"
#include "data/lookups.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/picture.h"
#include "platform/text.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace Frame {
bool isSavingsMode(qint32 local, const QString &localDesc) {
    return local == 667 || local == 33 || local == 968 || clip(localDesc) == SavingsFundMarker;
}

MenuVisibility menuVisibility(qint32 local, const QString &localDesc) {
    MenuVisibility v;
    if (local == 565) {
        if (clip(localDesc) != SavingsFundMarker) v.schwabTransfer = v.schwabExport = true;
        else v.fees = true;
    } else if (local == 968) {
        v.fees = true;
    }
    return v;
}

QString frameTitle(qint32 local, const QString &localDesc, const QString &label) {
    return (isSavingsMode(local, localDesc) ? "Savings Application -- " : "Pension Application -- ") +
           clip(label);
}

QString splashTitle(qint32 local, const QString &localDesc) {
    return isSavingsMode(local, localDesc) ? "Saving Vestrel" : "Pension Vestrel";
}

QString statusDate(qint32 day) {
    static const QString names[7] = {"Sunday   ", "Monday   ", "Tuesday  ", "Wednesday",
                                     "Thursday ", "Friday   ", "Saturday "};
    return clip(names[Clock::weekday(day)]) + ", " + Picture::format(day, "@d4");
}

QString statusTime(qint32 time) { return Picture::format(time, "@t3"); }

QString calculatorCommand() {
#if defined(Q_OS_WIN)
    const QString fallback = "CALC.EXE";
#elif defined(Q_OS_MACOS)
    const QString fallback = "open -a Calculator";
#else
    QString fallback = "xcalc";
    for (const char *p : {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk", "mate-calc"}) {
        if (!QStandardPaths::findExecutable(p).isEmpty()) {
            fallback = p;
            break;
        }
    }
#endif
    return Programs::command("Calculator", fallback);
}

QString backupCommand() { return Programs::backup(); }
QString backupOnCloseCommand() { return Programs::command("BackupOnClose", Programs::defaultBackup()); }

bool showHiddenEntries() {
    return IniFile::get(pensionIniPath(), "Menus", "ShowHidden").compare("Yes", Qt::CaseInsensitive) == 0;
}
} // namespace Frame
