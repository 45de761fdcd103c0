#include "report.h"

#include "platform/textfile.h"
#include "wmf.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QTemporaryDir>

namespace report {

QString installedFamily(const QString &face) {
    static QHash<QString, QString> cache;
    const QString key = face.trimmed().toLower();
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    // Metric-compatible families first, so text measured here lines up when printed elsewhere.
    QStringList candidates;
    if (key == "arial" || key == "helvetica" || key == "ms sans serif")
        candidates = {"Liberation Sans", "Arimo", "DejaVu Sans"};
    else if (key == "courier new" || key == "courier")
        candidates = {"Liberation Mono", "Cousine", "DejaVu Sans Mono"};
    else if (key == "times new roman" || key == "times")
        candidates = {"Liberation Serif", "Tinos", "DejaVu Serif"};
    QString found = face;
    const QStringList installed = QFontDatabase::families();
    for (const QString &c : candidates)
        if (installed.contains(c)) {
            found = c;
            break;
        }
    cache.insert(key, found);
    return found;
}

QFont qtFont(const QString &face, int emUnits, bool bold, bool italic, bool underline) {
    QFont font(installedFamily(face));
    font.setPixelSize(std::max(1, emUnits));
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

int emUnits(const Font &font) { return (font.points * UnitsPerInch + 36) / 72; }

qreal textWidth(const QString &text, const Font &font) {
    return QFontMetricsF(qtFont(font.face, emUnits(font), font.bold, font.italic)).horizontalAdvance(text);
}

int lineHeight(const Font &font) {
    return qRound(QFontMetricsF(qtFont(font.face, emUnits(font), font.bold, font.italic)).height());
}

Report::Report(QSize pageSize) : m_size(pageSize), m_dir(std::make_unique<QTemporaryDir>()) {}

Report::~Report() = default; // the temporary folder removes itself and the pages in it

bool Report::isValid() const { return m_dir->isValid(); }
QString Report::folder() const { return m_dir->path(); }

int Report::pageNumber() const { return m_written + 1; }

void Report::beginPage() {
    if (m_writer) return;
    m_writer = std::make_unique<wmf::PageWriter>(m_size.width(), m_size.height(), UnitsPerInch);
    m_writer->setTextColor(Qt::black);
    m_fonts.clear();
    m_pens.clear();
    m_brushes.clear();
    m_font = m_pen = m_brush = -1;
}

bool Report::endPage() {
    if (!m_writer) return true;
    const QByteArray bytes = m_writer->finish();
    m_writer.reset();
    ++m_written;
    const QString name = QDir(folder()).filePath(QStringLiteral("page%1.wmf").arg(m_written, 5, 10, QChar('0')));
    QFile file(name);
    const bool written = isValid() && file.open(QIODevice::WriteOnly) &&
                         file.write(bytes) == bytes.size() && file.flush();
    if (!written) {
        if (m_failedPage == 0) {
            m_failedPage = m_written;
            m_error = isValid() ? QDir::toNativeSeparators(name) + QStringLiteral(": ") +
                                      file.errorString()
                                : m_dir->errorString();
        }
        return false;
    }
    m_pages << name;
    return true;
}

void Report::selectFont(const Font &font) {
    int slot = -1;
    for (const auto &f : m_fonts)
        if (f.first == font) slot = f.second;
    if (slot < 0) {
        wmf::LogFont lf;
        lf.height = qint16(-emUnits(font));
        lf.weight = font.bold ? 700 : 400;
        lf.italic = font.italic;
        lf.underline = font.underline;
        lf.face = font.face;
        slot = m_writer->createFont(lf);
        m_fonts.append({font, slot});
    }
    if (slot != m_font) m_writer->selectObject(slot);
    m_font = slot;
}

void Report::selectPen(int thickness) {
    int slot = -1;
    for (const auto &p : m_pens)
        if (p.first == thickness) slot = p.second;
    if (slot < 0) {
        slot = m_writer->createPen(thickness, Qt::black);
        m_pens.append({thickness, slot});
    }
    if (slot != m_pen) m_writer->selectObject(slot);
    m_pen = slot;
}

void Report::selectBrush(const QColor &fill) {
    const QRgb key = fill.isValid() ? fill.rgba() | 0xFF000000u : 0u;
    int slot = -1;
    for (const auto &b : m_brushes)
        if (b.first == key) slot = b.second;
    if (slot < 0) {
        slot = m_writer->createBrush(fill.isValid() ? fill : QColor(Qt::white), !fill.isValid());
        m_brushes.append({key, slot});
    }
    if (slot != m_brush) m_writer->selectObject(slot);
    m_brush = slot;
}

void Report::text(int x, int y, const QString &text, const Font &font, Align align, int width, bool clip) {
    beginPage();
    selectFont(font);
    int left = x;
    if (width > 0 && align != Align::Left) {
        const int w = qRound(textWidth(text, font));
        left = align == Align::Right ? x + width - w : x + (width - w) / 2;
    }
    const QByteArray bytes = FixedWidth::encode(text);
    if (clip && width > 0) {
        const QRect box(x, y, width, lineHeight(font));
        m_writer->textOut(left, y, bytes, &box);
    } else {
        m_writer->textOut(left, y, bytes);
    }
}

void Report::line(int x1, int y1, int x2, int y2, int thickness) {
    beginPage();
    selectPen(thickness);
    m_writer->moveTo(x1, y1);
    m_writer->lineTo(x2, y2);
}

void Report::box(int x, int y, int width, int height, int thickness, const QColor &fill) {
    beginPage();
    selectPen(thickness);
    selectBrush(fill);
    m_writer->rectangle(x, y, x + width, y + height);
}

BandReport::BandReport(Report &report, int top, int bottom)
    : m_report(report), m_top(top), m_bottom(bottom), m_y(top) {}

void BandReport::openPage() {
    m_report.beginPage();
    m_open = true;
    m_y = m_top;
    if (m_header.draw) m_header.draw(m_report, m_y);
    m_y += m_header.height;
}

void BandReport::closePage() {
    if (!m_open) return;
    if (m_footer.draw) m_footer.draw(m_report, m_bottom - m_footer.height);
    m_report.endPage();
    m_open = false;
}

void BandReport::print(const Band &band, int keepRoom) {
    const int limit = m_bottom - m_footer.height;
    if (m_open && m_y + band.height + keepRoom > limit && m_y > m_top + m_header.height) closePage();
    if (!m_open) openPage();
    if (band.draw) band.draw(m_report, m_y);
    m_y += band.height;
}

void BandReport::breakPage() { closePage(); }

bool BandReport::finish() {
    closePage();
    return !m_report.failed();
}

} // namespace report
