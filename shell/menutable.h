#pragma once
// The frame's menu tree, in order: what each entry shows and what it does.
#include <QList>
#include <QString>

namespace Frame {
enum class Kind { Menu, Submenu, EndSubmenu, Entry, Separator };
// Start: the procedure opens a window of its own (an MDI child) and returns; the frame stays usable.
// Call: the procedure runs its window modally, so the frame waits until it returns.
// External: another program is started without waiting.
enum class How { Start, Call, External };

struct MenuItem {
    Kind kind;
    QString text;
    QString action; // procedure name, or "Calculator" / "Backup" for external programs
    How how = How::Start;
    bool hidden = false; // defined hidden
    QString id = {};     // for entries the frame shows or hides at start-up
};

const QList<MenuItem> &menuTable();

inline const QString SchwabTransferId = QStringLiteral("SchwabTransfer");
inline const QString SchwabExportId = QStringLiteral("SchwabExport");
inline const QString FeesId = QStringLiteral("Fees");
} // namespace Frame
