#include "printerhelpers.h"

#include "platform/dialogs.h"
#include "platform/launcher.h"
#include "platform/picture.h"
#include "platform/report/player.h"
#include "platform/textfile.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPageSize>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace {

const QString kPrintFailedCaption = QStringLiteral("Print Error ...");
const QString kPrinterFailed =
    QStringLiteral("The report could not be printed on %1.||Nothing was printed.");
const QString kPageUnreadable = QStringLiteral(
    "The report could not be printed on %1: page %2 of the printout could not be read.||"
    "Nothing was printed.");

QPrinter *g_printer = nullptr;
PrinterDriver *g_driver = nullptr;
QPointer<QWidget> g_textButton;

qint16 tenthsOfMm(qreal mm) { return qint16(qRound(mm * 10)); }

// Paper names a PDF printer (no real printer installed) offers.
const QPageSize::PageSizeId kPdfPapers[] = {QPageSize::Letter, QPageSize::Legal, QPageSize::Executive,
                                            QPageSize::Tabloid, QPageSize::A3, QPageSize::A4,
                                            QPageSize::A5, QPageSize::B5, QPageSize::Comm10E,
                                            QPageSize::DLE};

// The report printer's driver as Qt's printing describes it.
class QtPrinterDriver : public PrinterDriver {
public:
    QList<Paper> papers() const override {
        QList<Paper> out;
        const QPrinterInfo info(reportPrinter());
        QList<QPageSize> sizes = info.isNull() ? QList<QPageSize>() : info.supportedPageSizes();
        if (info.isNull())
            for (auto id : kPdfPapers) sizes << QPageSize(id);
        for (const QPageSize &s : sizes)
            if (s.windowsId() > 0) out.append({qint16(s.windowsId()), s.name()});
        if (info.isNull() || info.supportsCustomPageSizes()) out.append({DM::UserPaper, QStringLiteral("Custom Size")});
        return out;
    }

    QList<QPoint> resolutions() const override {
        QList<QPoint> out;
        for (int r : reportPrinter().supportedResolutions()) out << QPoint(r, r);
        return out;
    }

    DevMode devMode() const override {
        QPrinter &p = reportPrinter();
        const QPrinterInfo info(p);
        DevMode m;
        m.DMDEVICENAME = p.printerName().left(32);
        m.DMFIELDS = DM::Orientation | DM::TTOption; // Qt turns pages and draws outline fonts everywhere
        if (!papers().isEmpty()) m.DMFIELDS |= DM::PaperSize;
        if (info.isNull() || info.supportsCustomPageSizes()) m.DMFIELDS |= DM::PaperLength | DM::PaperWidth;
        if (p.supportsMultipleCopies()) m.DMFIELDS |= DM::Copies | DM::Collate;
#ifdef Q_OS_WIN
        if (!p.supportedPaperSources().isEmpty()) m.DMFIELDS |= DM::DefaultSource;
#endif // elsewhere Qt cannot list a printer's trays, so the source is not offered
        if (!p.supportedResolutions().isEmpty()) m.DMFIELDS |= DM::PrintQuality | DM::YResolution;
        if (info.isNull() || info.supportedColorModes().contains(QPrinter::Color)) m.DMFIELDS |= DM::Color;
        if (!info.isNull() && info.supportedDuplexModes().size() > 1) m.DMFIELDS |= DM::Duplex;
        // Qt has no print scale: DM::Scale stays unset and the scale reads 100 %.

        const QPageLayout layout = p.pageLayout();
        m.DMORIENTATION = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
        const QPageSize size = layout.pageSize();
        m.DMPAPERSIZE = size.windowsId() > 0 ? qint16(size.windowsId()) : DM::UserPaper;
        const QSizeF mm = size.size(QPageSize::Millimeter);
        m.DMPAPERWIDTH = tenthsOfMm(mm.width());
        m.DMPAPERLENGTH = tenthsOfMm(mm.height());
        m.DMCOPIES = qint16(p.copyCount());
        // Qt's paper sources follow the Windows bin numbers one lower.
        m.DMDEFAULTSOURCE = qint16(int(p.paperSource()) + 1);
        m.DMPRINTQUALITY = qint16(p.resolution());
        m.DMYRESOLUTION = qint16(p.resolution());
        m.DMCOLOR = p.colorMode() == QPrinter::Color ? 2 : 1;
        m.DMDUPLEX = p.duplex() == QPrinter::DuplexShortSide ? 3 : p.duplex() == QPrinter::DuplexNone ? 1 : 2;
        m.DMTTOPTION = 2; // fonts go to the printer as outlines
        m.DMCOLLATE = p.collateCopies() ? 1 : 0;
        m.DMFORMNAME = size.name().left(32);
        return m;
    }

    void setDevMode(const DevMode &m) override {
        QPrinter &p = reportPrinter();
        p.setPageOrientation(m.DMORIENTATION == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
        if (m.DMPAPERSIZE == DM::UserPaper && m.DMPAPERWIDTH > 0 && m.DMPAPERLENGTH > 0)
            p.setPageSize(QPageSize(QSizeF(m.DMPAPERWIDTH / 10.0, m.DMPAPERLENGTH / 10.0), QPageSize::Millimeter));
        else if (m.DMPAPERSIZE > 0 && QPageSize::id(m.DMPAPERSIZE) != QPageSize::Custom)
            p.setPageSize(QPageSize(QPageSize::id(m.DMPAPERSIZE)));
        p.setCopyCount(std::max<int>(1, m.DMCOPIES));
        p.setCollateCopies(m.DMCOLLATE == 1);
        if (m.DMPRINTQUALITY > 0) p.setResolution(m.DMPRINTQUALITY);
        p.setColorMode(m.DMCOLOR == 2 ? QPrinter::Color : QPrinter::GrayScale);
        p.setDuplex(m.DMDUPLEX == 3 ? QPrinter::DuplexShortSide
                    : m.DMDUPLEX == 2 ? QPrinter::DuplexLongSide
                                      : QPrinter::DuplexNone);
    }
};

QtPrinterDriver g_qtDriver;

// The clipboard's device-independent bitmap: Windows hands it over as is; elsewhere it comes
// as a BMP file (whose 14-byte file header is dropped) or as an image written as one.
QByteArray clipboardDib() {
    const QMimeData *m = QApplication::clipboard()->mimeData();
    if (!m) return {};
    for (const QString &f : m->formats())
        if (f.contains(QLatin1String("DeviceIndependentBitmap"))) return m->data(f);
    QByteArray bmp;
    if (m->hasFormat(QStringLiteral("image/bmp"))) {
        bmp = m->data(QStringLiteral("image/bmp"));
    } else if (m->hasImage()) {
        const QImage image = qvariant_cast<QImage>(m->imageData());
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        if (image.isNull() || !image.save(&buffer, "BMP")) return {};
    }
    if (bmp.startsWith("BM")) bmp.remove(0, 14);
    return bmp;
}

qint32 i32(const QByteArray &b, int at) {
    const auto *p = reinterpret_cast<const uchar *>(b.constData()) + at;
    return qint32(quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24));
}

} // namespace

QPrinter &reportPrinter() {
    if (!g_printer) {
        g_printer = new QPrinter(QPrinter::HighResolution);
        const QPrinterInfo def = QPrinterInfo::defaultPrinter();
        if (!def.isNull()) g_printer->setPrinterName(def.printerName());
        qAddPostRoutine([] {
            delete g_printer;
            g_printer = nullptr;
        });
    }
    return *g_printer;
}

void setReportPrinterName(const QString &printerName) { reportPrinter().setPrinterName(printerName); }

PrinterDriver &printerDriver() { return g_driver ? *g_driver : g_qtDriver; }
void setPrinterDriver(PrinterDriver *driver) { g_driver = driver; }

bool patchFile(const QString &path, const QByteArray &find, const QByteArray &replacement) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) return false;
    const qsizetype len = find.size();
    if (len == 0) return true;
    constexpr qint64 Block = 4096;
    qint64 at = 0;
    while (file.seek(at)) {
        QByteArray block = file.read(Block);
        if (block.size() < len) break;
        const qsizetype hit = block.indexOf(find);
        if (hit >= 0) {
            block.replace(hit, len, replacement.left(len));
            file.seek(at);
            file.write(block);
            break;
        }
        if (block.size() < Block) break;
        // The next block overlaps this one by len - 1 bytes, where a split text would start.
        at += block.size() - len + 1;
    }
    return true;
}

void ASSGNPGOFPG(const QString &findText, const QString &replacement, const QStringList &pageQueue,
                 bool allPages, qint32 textLength, bool option1, bool option2, bool option3,
                 qint32 pageNumber, Dialogs &dialogs) {
    auto patch = [&](const QString &file, const QString &find, const QString &with) {
        const QByteArray f = FixedWidth::encode(find);
        const QByteArray w = FixedWidth::encode(FixedWidth::left(with, int(f.size())));
        if (!patchFile(file, f, w)) dialogs.message(file, QStringLiteral("open error"), Dlg::Exclamation);
    };
    if (allPages) {
        const QString count = FixedWidth::right(QString::number(pageQueue.size()), 4);
        for (const QString &file : pageQueue) patch(file, QStringLiteral("?PP?"), count);
    } else if (!option1 && !option2 && !option3) {
        if (pageNumber >= 1 && pageNumber <= pageQueue.size())
            patch(pageQueue[pageNumber - 1], findText.left(textLength), replacement);
    }
}

void HANDLECOPIES(QStringList &pageQueue, qint32 copies) {
    if (copies < 2 || printerMakesCopies()) return;
    const QStringList set = pageQueue;
    for (int copy = 2; copy <= copies; ++copy) pageQueue += set;
}

bool printerMakesCopies() {
    return SUPPORTED(PROPPRINT::Copies) == 1 && printerDriver().devMode().DMCOLLATE != 1;
}

void applyCopies(QStringList &pageQueue, qint32 copies) {
    // Both at once would print every set as often again.
    reportPrinter().setCopyCount(printerMakesCopies() ? std::max(1, copies) : 1);
    HANDLECOPIES(pageQueue, copies);
}

bool printOnReportPrinter(const QStringList &pages, const QString &jobName, Dialogs &dialogs) {
    QPrinter &printer = reportPrinter();
    printer.setFullPage(true);
    if (!jobName.isEmpty()) printer.setDocName(jobName);
    int unreadable = 0;
    if (report::printPages(printer, pages, false, &unreadable)) return true;
    QString where = printer.printerName();
    if (where.isEmpty()) where = QDir::toNativeSeparators(printer.outputFileName());
    if (where.isEmpty()) where = QStringLiteral("the default printer");
    const QString text =
        unreadable > 0 ? kPageUnreadable.arg(where).arg(unreadable) : kPrinterFailed.arg(where);
    dialogs.message(kPrintFailedCaption, text, Dlg::Error);
    return false;
}

qint16 SUPPORTED(qint32 property) {
    static const QPair<qint32, quint32> bits[] = {
        {PROPPRINT::Paper, DM::PaperSize},         {PROPPRINT::Percent, DM::Scale},
        {PROPPRINT::Copies, DM::Copies},           {PROPPRINT::PaperBin, DM::DefaultSource},
        {PROPPRINT::Resolution, DM::PrintQuality}, {PROPPRINT::Color, DM::Color},
        {PROPPRINT::Duplex, DM::Duplex},           {PROPPRINT::YResolution, DM::YResolution},
        {PROPPRINT::FontMode, DM::TTOption},       {PROPPRINT::Orientation, DM::Orientation}};
    if (property == PROPPRINT::PaperHeight || property == PROPPRINT::PaperWidth)
        return PAPERSUPPORT(DM::UserPaper).isEmpty() ? 0 : 1;
    for (const auto &b : bits)
        if (b.first == property) return (printerDriver().devMode().DMFIELDS & b.second) ? 1 : 0;
    return -1;
}

QString PAPERSUPPORT(qint16 code, QStringList *list) {
    QList<Paper> papers = printerDriver().papers();
    if (papers.size() > 150) papers.resize(150); // the driver is asked for at most 150
    QString last;
    for (const Paper &p : papers) {
        const QString name = p.name.left(64);
        if (code != 0) {
            if (p.code == code) return name.left(32);
        } else if (list) {
            list->append(Picture::format(qint64(p.code), QStringLiteral("@n3")) + QStringLiteral(" - ") + name);
            last = name.left(32);
        }
    }
    return last;
}

qint32 SetPrinterDraftMode() {
    // The list is not cut at ten pairs: the last resolution the driver names is the one taken.
    const QList<QPoint> resolutions = printerDriver().resolutions();
    if (resolutions.size() > 1) {
        DevMode m = printerDriver().devMode();
        m.DMPRINTQUALITY = qint16(resolutions.last().x());
        m.DMYRESOLUTION = qint16(resolutions.last().y());
        printerDriver().setDevMode(m);
    }
    return qint32(resolutions.size());
}

void SHOWPRINTERSTATUS(const QString &commandLine, const QString &title, qint32 mode, bool flag) {
    if (mode == 1) {
        Launcher::start(commandLine);
        return;
    }
    // Only this program's own windows can be found and closed; closing stands for WM_CLOSE.
    const QString wanted = flag ? QStringLiteral("* Printing Report...") : title;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == wanted) {
                w->close();
                return;
            }
        QCoreApplication::processEvents();
    }
}

QByteArray bitmapFile(const QByteArray &dib) {
    if (dib.size() < 40 || i32(dib, 0) != 40) return {};
    const qint64 width = i32(dib, 4);
    const qint64 height = qAbs(qint64(i32(dib, 8))); // rows stored top-down have a negative height
    const int bitCount = quint16(i32(dib, 12) >> 16);
    const quint32 compression = quint32(i32(dib, 16));
    const quint32 sizeImage = quint32(i32(dib, 20));
    const quint32 clrUsed = quint32(i32(dib, 32));
    qint64 colors = clrUsed;
    if (colors == 0) colors = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
    const qint64 image = (compression == 1 || compression == 2) ? qint64(sizeImage)
                                                               : ((width * bitCount + 31) / 32) * 4 * height;
    const qint64 bits = 40 + 4 * colors + image;
    if (image < 0 || dib.size() < bits) return {};
    QByteArray out;
    out.reserve(14 + bits);
    out += "BM";
    auto put32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
    };
    put32(quint32(14 + bits));
    put32(0); // two reserved words
    put32(quint32(14 + 40 + 4 * colors));
    out += dib.left(bits);
    return out;
}

QString SaveClipToFile(const QString &fileName, bool ask, Dialogs &dialogs) {
    QString name = fileName;
    if (ask) {
        name = dialogs.saveFileName(QStringLiteral("Save to what Filename"), fileName,
                                    QStringLiteral("Bitmaps|*.BMP|All Files|*.*"));
        if (name.isEmpty()) return {};
    }
    // Qt's clipboard needs no owning window; nothing stays open after reading it.
    const QByteArray bytes = bitmapFile(clipboardDib());
    if (bytes.isEmpty()) return {};
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) return {};
    return name;
}

qint64 GETPREVIEWTEXTBUTTONHANDLE() {
    return g_textButton ? qint64(reinterpret_cast<quintptr>(g_textButton.data())) : 0;
}

void setPreviewTextButton(QWidget *button) { g_textButton = button; }

QWidget *previewTextButton(qint64 handle) {
    return handle != 0 && handle == GETPREVIEWTEXTBUTTONHANDLE() ? g_textButton.data() : nullptr;
}
