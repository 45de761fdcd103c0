#pragma once
// Replays a page file on any QPainter: the preview's screen, a QPrinter, a QPdfWriter.
#include "wmf.h"

#include <QRectF>
#include <QSizeF>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;

namespace report {

// Draws `page` scaled so that the whole page fills `target`. False when the page is unreadable.
bool play(QPainter &painter, const wmf::Page &page, const QRectF &target);
bool playFile(QPainter &painter, const QString &pageFile, const QRectF &target);
// The page's size in inches; empty when the file is not a placeable metafile.
QSizeF pageInches(const wmf::Page &page);

// Prints the page files on `device`, one device page each, placed at the device's origin at their
// true size. With `sizeFromPages`, the device's page size is set from the first page and its
// margins to 0 (what a PDF wants; a printer keeps the paper it was given).
bool printPages(QPagedPaintDevice &device, const QStringList &pageFiles, bool sizeFromPages = true);

} // namespace report
