#pragma once
// The report engine: a report draws text, lines and boxes on pages measured in page units
// (thousandths of an inch from the page's top-left corner); every finished page is written as a
// placeable metafile in the report's own temporary folder, and the list of those files in page
// order (the page queue) is what the preview, the printer and the page-to-text routines take.
// Measuring text needs the application's font database, so a QGuiApplication must exist.
#include <QColor>
#include <QFont>
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>

class QTemporaryDir;

namespace wmf {
class PageWriter;
}

namespace report {

inline constexpr int UnitsPerInch = 1000;
// Stands where the total page count goes; the printer helpers patch it once every page exists.
inline constexpr char PageOfPages[] = "?PP?";
inline constexpr QSize Letter{8500, 11000};
inline constexpr QSize LetterLandscape{11000, 8500};

struct Font {
    QString face = QStringLiteral("Arial"); // the face the page names; drawn with an installed equivalent
    int points = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const Font &) const = default;
};

enum class Align { Left, Center, Right };

// The installed family that stands in for a face a page names ("Arial", "Courier New"...).
QString installedFamily(const QString &face);
// A Qt font for `face` whose em height is `emUnits` units (pixels of whatever device draws it).
QFont qtFont(const QString &face, int emUnits, bool bold = false, bool italic = false,
             bool underline = false);
// Em height of a font in page units.
int emUnits(const Font &font);
// Width of `text` and the height of a line in `font`, in page units.
qreal textWidth(const QString &text, const Font &font);
int lineHeight(const Font &font);

class Report {
public:
    explicit Report(QSize pageSize = Letter);
    ~Report(); // removes the page files and the folder
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    bool isValid() const; // false when the temporary folder could not be made
    QSize pageSize() const { return m_size; }
    QString folder() const;

    // Drawing on the current page; the first drawing after endPage() starts the next page.
    // With a width, the text is aligned inside [x, x + width); `clip` cuts it to that box.
    void text(int x, int y, const QString &text, const Font &font = {}, Align align = Align::Left,
              int width = 0, bool clip = false);
    void line(int x1, int y1, int x2, int y2, int thickness = 0);
    void box(int x, int y, int width, int height, int thickness = 0, const QColor &fill = {});
    // Starts a page now, even if nothing is drawn on it yet.
    void beginPage();
    // Writes the current page's file; does nothing when no page is open. False on a write error.
    bool endPage();
    bool pageOpen() const { return m_writer != nullptr; }
    // The page being drawn (the next one when none is open), counted from 1.
    int pageNumber() const;

    // The page queue: one file per finished page, in page order.
    QStringList &pages() { return m_pages; }
    const QStringList &pages() const { return m_pages; }
    bool failed() const { return m_failedPage > 0; }
    // The first page whose file could not be written (0 when none), and why.
    int failedPage() const { return m_failedPage; }
    QString error() const { return m_error; }

private:
    void selectFont(const Font &font);
    void selectPen(int thickness);
    void selectBrush(const QColor &fill);

    QSize m_size;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<wmf::PageWriter> m_writer;
    QStringList m_pages;
    int m_written = 0;
    int m_failedPage = 0;
    QString m_error;
    // What the open page has created and selected.
    QList<QPair<Font, int>> m_fonts;
    QList<QPair<int, int>> m_pens;
    QList<QPair<QRgb, int>> m_brushes; // 0 alpha stands for the hollow brush
    int m_font = -1, m_pen = -1, m_brush = -1;
};

// A band: a strip of the page `height` units tall that draws itself with its top at `top`.
struct Band {
    int height = 0;
    std::function<void(Report &report, int top)> draw;
};

// Lays bands down the page and breaks pages: the page header opens every page, the footer
// closes it at the bottom of the body, and a band that does not fit goes to the next page.
class BandReport {
public:
    // The body runs from `top` to `bottom` (page units), the footer included.
    BandReport(Report &report, int top, int bottom);
    void setPageHeader(const Band &band) { m_header = band; }
    void setPageFooter(const Band &band) { m_footer = band; }
    // Prints a detail, group or totals band. `keepRoom` asks for that much room below it as
    // well, so that a group header is not left alone at the bottom of a page.
    void print(const Band &band, int keepRoom = 0);
    // A group break that starts a new page (the next band opens it).
    void breakPage();
    // Closes the last page with its footer. False when a page file could not be written.
    bool finish();
    int pageNumber() const { return m_report.pageNumber(); }
    int y() const { return m_y; }
    Report &report() { return m_report; }

private:
    void openPage();
    void closePage();

    Report &m_report;
    int m_top, m_bottom;
    int m_y;
    bool m_open = false;
    Band m_header, m_footer;
};

} // namespace report
