#include "windowstate.h"

#include "app.h"
#include "platform/inifile.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QWidget>

namespace {
bool resizable(const QWidget *w) { return w->minimumSize() != w->maximumSize(); }
// An MDI child's geometry belongs to its sub-window frame.
QWidget *frameOf(QWidget *w) {
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget())) return sub;
    return w;
}
} // namespace

QString pensionIniPath() { return App::iniPath("PENSION.INI"); }

void INISAVEWINDOW(QWidget *window, const QString &iniFile, const QString &section) {
    QWidget *w = frameOf(window);
    IniFile ini(iniFile);
    bool max = w->isMaximized(), min = w->isMinimized();
    ini.setValue(section, "Maximize", max ? "Yes" : "No");
    ini.setValue(section, "Minimize", min ? "Yes" : "No");
    bool normal = !max && !min;
    ini.setValue(section, "XPos", normal ? QString::number(w->x()) : QString());
    ini.setValue(section, "YPos", normal ? QString::number(w->y()) : QString());
    bool size = normal && resizable(w);
    ini.setValue(section, "Width", size ? QString::number(w->width()) : QString());
    ini.setValue(section, "Height", size ? QString::number(w->height()) : QString());
    ini.save();
}

void INIRESTOREWINDOW(QWidget *window, const QString &iniFile, const QString &section) {
    QWidget *w = frameOf(window);
    IniFile ini(iniFile);
    QString max = ini.value(section, "Maximize");
    if (max != "Yes" && max != "No") return; // nothing saved yet
    bool okX = false, okY = false;
    int x = ini.value(section, "XPos").toInt(&okX), y = ini.value(section, "YPos").toInt(&okY);
    if (okX && okY) w->move(x, y);
    bool okW = false, okH = false;
    int width = ini.value(section, "Width").toInt(&okW), height = ini.value(section, "Height").toInt(&okH);
    if (resizable(w) && okW && okH && width > 0 && height > 0) w->resize(width, height);
    if (max == "Yes") w->showMaximized();
    else if (w->isMaximized()) w->showNormal();
}
