#pragma once
// Remembering where a window was: position, size and maximized state in an INI section.
#include <QString>

class QWidget;

// The program's own INI file, ".\PENSION.INI", kept in the data directory.
QString pensionIniPath();

void INISAVEWINDOW(QWidget *window, const QString &iniFile, const QString &section);
void INIRESTOREWINDOW(QWidget *window, const QString &iniFile, const QString &section);
