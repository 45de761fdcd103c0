#pragma once
// Replays a page file on any QPainter: the preview's screen, a QPrinter, a QPdfWriter.
#include "wmf.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;

namespace report {

// Text to mark wherever a page shows it, as a search hit is marked: a background behind the text.
struct TextMark {
    QString text;
    Qt::CaseSensitivity caseSensitivity = Qt::CaseInsensitive;
    QColor color = QColor(255, 255, 0);
};

// Draws `page` scaled so that the whole page fills `target`, with `mark` behind every occurrence
// of its text. False when the page is unreadable.
bool play(QPainter &painter, const wmf::Page &page, const QRectF &target,
          const TextMark *mark = nullptr);
bool playFile(QPainter &painter, const QString &pageFile, const QRectF &target);
// The page's size in inches; empty when the file is not a placeable metafile.
QSizeF pageInches(const wmf::Page &page);

// Prints the page files on `device`, one device page each, placed at the device's origin at their
// true size. With `sizeFromPages`, the device's page size is set from the first page and its
// margins to 0 (what a PDF wants; a printer keeps the paper it was given). Every page is read
// before the device is opened, so a failure prints nothing: false when the device cannot be
// opened, or when a page cannot be read (`unreadablePage` then holds its place in the list,
// counted from 1).
bool printPages(QPagedPaintDevice &device, const QStringList &pageFiles, bool sizeFromPages = true,
                int *unreadablePage = nullptr);

} // namespace report
