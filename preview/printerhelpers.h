#pragma once
// Small routines around printing a report: the total page count patched into finished pages,
// extra sets of pages for copies, what the report printer supports, its paper sizes and
// resolutions, the printing status window, a clipboard bitmap saved as a file.
//
// The Windows driver's device-mode record and capability lists are answered from Qt's printing
// (QPrinter, QPrinterInfo, QPageSize) through PrinterDriver, so tests can put a printer of their
// own in its place.
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

class Dialogs;
class QPrinter;
class QWidget;

// The printer settings the helpers read and write, under their Windows names.
struct DevMode {
    QString DMDEVICENAME; // at most 32 characters
    quint32 DMFIELDS = 0; // which of the settings below the printer supports (bits below)
    qint16 DMORIENTATION = 1; // 1 portrait, 2 landscape
    qint16 DMPAPERSIZE = 0;   // Windows paper code; 256 = user-defined size
    qint16 DMPAPERLENGTH = 0; // tenths of a millimetre
    qint16 DMPAPERWIDTH = 0;
    qint16 DMSCALE = 100;
    qint16 DMCOPIES = 1;
    qint16 DMDEFAULTSOURCE = 0;
    qint16 DMPRINTQUALITY = 0; // x resolution in dots per inch
    qint16 DMCOLOR = 1;        // 1 monochrome, 2 colour
    qint16 DMDUPLEX = 1;       // 1 simplex, 2 long edge, 3 short edge
    qint16 DMYRESOLUTION = 0;
    qint16 DMTTOPTION = 0;
    qint16 DMCOLLATE = 0;      // 1 when the printer collates its copies
    QString DMFORMNAME;
};

namespace DM {
enum Field : quint32 {
    Orientation = 0x0001, PaperSize = 0x0002, PaperLength = 0x0004, PaperWidth = 0x0008,
    Scale = 0x0010, Copies = 0x0100, DefaultSource = 0x0200, PrintQuality = 0x0400,
    Color = 0x0800, Duplex = 0x1000, YResolution = 0x2000, TTOption = 0x4000, Collate = 0x8000
};
inline constexpr qint16 UserPaper = 256;
} // namespace DM

// Printer property numbers callers ask SUPPORTED about.
namespace PROPPRINT {
enum : qint32 {
    Paper = 31489, PaperHeight = 31490, PaperWidth = 31491, Percent = 31492, Copies = 31493,
    PaperBin = 31494, Resolution = 31495, Color = 31496, Duplex = 31497, YResolution = 31498,
    FontMode = 31499, Orientation = 31519, Collate = 31526
};
}

struct Paper {
    qint16 code = 0; // Windows paper code
    QString name;
};

class PrinterDriver {
public:
    virtual ~PrinterDriver() = default;
    virtual QList<Paper> papers() const = 0;
    virtual QList<QPoint> resolutions() const = 0; // (x, y) dots per inch, in the driver's order
    virtual DevMode devMode() const = 0;
    virtual void setDevMode(const DevMode &mode) = 0;
};

// The printer reports go to; the system's default printer until told otherwise.
QPrinter &reportPrinter();
void setReportPrinterName(const QString &printerName);
// The driver of the report printer. Tests install their own; nullptr returns to the real one.
PrinterDriver &printerDriver();
void setPrinterDriver(PrinterDriver *driver);

// Replaces `findText` by `replacement` in page files: with `allPages`, "?PP?" by the page count on
// every page; otherwise, with no option flag set, in the page at `pageNumber` (1-based) only.
void ASSGNPGOFPG(const QString &findText, const QString &replacement, const QStringList &pageQueue,
                 bool allPages, qint32 textLength, bool option1, bool option2, bool option3,
                 qint32 pageNumber, Dialogs &dialogs);
// Patches the first occurrence of `find` in one file by `replacement` (same length); reading
// in overlapping blocks so that a text split between two blocks is found. False when the file
// cannot be opened.
bool patchFile(const QString &path, const QByteArray &find, const QByteArray &replacement);

// Appends copies 2..n of the pages when the printer cannot make them itself.
void HANDLECOPIES(QStringList &pageQueue, qint32 copies);
// Whether the report printer makes copies itself: it can, and it is not set to collate them
// (collated sets are sent as pages instead).
bool printerMakesCopies();
// Prepares `copies` copies one way only: a printer that makes copies itself is told the count
// and the queue is left alone; any other is told one copy and the queue gets the extra sets.
void applyCopies(QStringList &pageQueue, qint32 copies);
// Prints the pages on the report printer as one job (titled `jobName` unless empty), each from
// the corner of its own sheet. A failure prints nothing and is said in a message; false then.
bool printOnReportPrinter(const QStringList &pages, const QString &jobName, Dialogs &dialogs);
// 1 when the report printer supports the property, 0 when not, -1 for no printer property.
qint16 SUPPORTED(qint32 property);
// The name of paper `code` (empty when the printer lacks it); with code 0, lists every paper
// into `list` ("  1 - Letter") and returns the last name.
QString PAPERSUPPORT(qint16 code, QStringList *list = nullptr);
// Switches the report printer to the last resolution its driver lists; returns how many it lists.
qint32 SetPrinterDraftMode();
// Mode 1 starts `commandLine`; any other mode closes our window titled `title` (or the printing
// status window when `flag` is set).
void SHOWPRINTERSTATUS(const QString &commandLine, const QString &title, qint32 mode, bool flag);
// Writes the clipboard's bitmap as a .BMP file; returns the name written, or empty.
QString SaveClipToFile(const QString &fileName, bool ask, Dialogs &dialogs);
// The file bytes for a device-independent bitmap (header, colours, bits); empty unless the
// bitmap has the 40-byte header.
QByteArray bitmapFile(const QByteArray &dib);

// The preview window's text-output button, published while a preview is open; 0 otherwise.
qint64 GETPREVIEWTEXTBUTTONHANDLE();
void setPreviewTextButton(QWidget *button);
QWidget *previewTextButton(qint64 handle);
