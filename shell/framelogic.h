#pragma once
// The frame's rules, apart from its widgets: which fund the installation keeps, the titles,
// which menus show, the status-bar texts and the external programs.
#include <QString>

namespace Frame {
// Savings mode: locals 667, 33 and 968, and local 565's savings fund (its marker description).
bool isSavingsMode(qint32 local, const QString &localDesc);

struct MenuVisibility {
    bool schwabTransfer = false; // "Schwab Transfer"
    bool schwabExport = false;   // "&Schwab Data Export"
    bool fees = false;           // "Fees"
};
MenuVisibility menuVisibility(qint32 local, const QString &localDesc);

QString frameTitle(qint32 local, const QString &localDesc, const QString &label);
QString splashTitle(qint32 local, const QString &localDesc);

QString statusDate(qint32 day);   // "Tuesday, December 8, 2026"
QString statusTime(qint32 time);  // "2:05PM"

// External programs, configurable under [Programs] in PENSION.INI.
QString calculatorCommand();
QString backupCommand();        // started before the backup question
QString backupOnCloseCommand(); // started after the frame has closed, when the user said Yes
// The entries defined hidden show when [Menus] ShowHidden=Yes.
bool showHiddenEntries();

inline const QString BackupCaption = QStringLiteral("Backup Data");
inline const QString BackupQuestion =
    QStringLiteral("This will Backup/Restore Pension Data.|Do you wish to continue?");
} // namespace Frame
