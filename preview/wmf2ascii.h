#pragma once
// Report pages as plain text: the text records of each page file are laid on a grid of six lines
// and twelve and a half columns to the inch, and the lines are written to a text file.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class Dialogs;

namespace pagetext {

inline constexpr int LineWidth = 255;
inline constexpr int DefaultLines = 150;
inline constexpr int ReadSize = 512; // each record is read this far; longer texts are cut

struct TextRecord {
    qint16 x = 0;
    qint16 y = 0;
    QByteArray text; // Windows-1252, trailing blanks and a final NUL removed
};

// The text records of a page file, walked as the text output walks them; `ok` false when the
// file cannot be read.
QList<TextRecord> records(const QString &pageFile, int *unitsPerInch = nullptr,
                       bool *ok = nullptr);
// The grid line (1-based) and column (1-based) where a record lands.
int lineOf(int y, int unitsPerInch);
int columnOf(int x, int unitsPerInch);
// The page's lines, clipped: `linesPerPage` of them, or with 0 the 150-line grid without its
// empty lines.
QList<QByteArray> lines(const QString &pageFile, int linesPerPage);

} // namespace pagetext

// Writes the pages of `pageQueue` to the text file `fileName`. A name starting with "~" is only a
// proposal for the save dialog. `linesPerPage` 0 drops the empty lines of every page. Returns the
// file written; empty when the dialog was cancelled or the file could not be written (said in a
// message).
QString WMF2ASCII(const QString &fileName, const QStringList &pageQueue, qint32 linesPerPage,
                  Dialogs &dialogs);
