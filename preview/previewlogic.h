#pragma once
// The preview window's rules, apart from its widgets: its texts and their INI overrides, the
// pages-to-print entry, searching the pages, fitting a page into the window, the window's
// remembered place, and trimming the page queue before a print.
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class Dialogs;

namespace previewlogic {

inline constexpr char DefaultIni[] = "PRVWRPTS.INI";
inline constexpr int MaxZoom = 250;
// The zoom list's steps, in percent.
QList<int> zoomSteps();

// Every text of the window from the INI file's "DISPLAY STRINGS 2.0" section, or its default.
class Texts {
public:
    explicit Texts(const QString &iniFile = {});
    QString operator[](const char *key) const;
    QString iniFile() const { return m_ini; }

private:
    QString m_ini;
};

// A button's icon file named in "Preview Icons"; empty keeps the built-in one.
QString iconFile(const QString &iniFile, const char *key);

struct PageRange {
    int FROM = 0;
    int THRU = 0;
};

// Reads the pages-to-print entry: the all-pages word (any case) or ranges "1-2,5,7,12-15".
// False when the entry is invalid; `ranges` are then empty. A range written high to low, "3-1",
// is taken as its first page.
bool parsePages(const QString &entry, int pageCount, const QString &allWord, QList<PageRange> *ranges);
// The message for an invalid entry: the entry in double quotes, a blank and the error text.
QString pagesError(const QString &entry, const Texts &texts);
// For each page (index 0 = page 1), whether it lies outside every range.
QList<bool> deletedPages(const QList<PageRange> &ranges, int pageCount);
// The pages chosen, in page order.
QStringList chosenPages(const QStringList &pageQueue, const QList<bool> &deleted);

// The page numbers (1-based) on which one text record contains `text`.
QList<int> searchPages(const QStringList &pageQueue, const QString &text, bool matchCase);
// The search result as the message shows it.
QString searchHitText(int pages, const Texts &texts);

// A fit factor in hundredths: available / image size, kept within 0.01 and 9.99.
int fitFactor(int available, int image);

// Where the window was left, from the "PreviewPlacement" section; `active` false when the
// section does not ask for it.
struct Placement {
    bool active = false;
    QRect rect;
};
Placement readPlacement(const QString &iniFile);
void writePlacement(const QString &iniFile, const QRect &rect);

// What the user last chose in a preview, kept in the "PreviewSettings" section: the zoom
// ("Width", "Height", "Page" for the whole page, or a percent; empty when never chosen) and the
// folder the last file was saved in.
QString readZoom(const QString &iniFile);
void writeZoom(const QString &iniFile, const QString &zoom);
QString lastFolder(const QString &iniFile);
void setLastFolder(const QString &iniFile, const QString &savedFile);
// A proposed file name moved into the last folder used, when there is one.
QString inLastFolder(const QString &iniFile, const QString &proposal);

// The texts about a file the preview writes: saved (for the status line), or not written.
QString savedText(const QString &file);
inline constexpr char FileErrorCaption[] = "File Error ...";
QString notWrittenText(const QString &file, const QString &reason);

// Removes the pages not chosen from the queue and their files; a file that cannot be removed
// keeps its entry. Then applies the copies.
void dropUnchosen(QStringList &pageQueue, const QList<bool> &deleted);

} // namespace previewlogic
