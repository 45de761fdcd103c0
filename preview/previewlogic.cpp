#include "previewlogic.h"

#include "platform/inifile.h"
#include "platform/textfile.h"
#include "wmf2ascii.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace previewlogic {

namespace {
const char *const Section = "DISPLAY STRINGS 2.0";

struct Default {
    const char *key;
    const char *text;
};
const Default kTexts[] = {
    {"Window Title", "Report Preview"},
    {"FullWidthTip", "Full WIDTH View"},
    {"FullHeightTip", "Full HEIGHT View"},
    {"ZoomPctValTip", "Current Display %"},
    {"FirstPageTip", "First Page"},
    {"PrevPageTip", "Previous Page"},
    {"NextPageTip", "Next Page"},
    {"LastPageTip", "Last Page"},
    {"PageNoTip", "Page Number shown"},
    {"PagesToPrintTip", "Pages to Print: ALL or Ranges (ie. 1-2,5,7,12-15)"},
    {"PrintThisPageTip", "Print THIS Page"},
    {"PrintTip", "Printing Options..."},
    {"ExitTip", "Exit without printing"},
    {"CopiesTip", "Number of Copies to Print"},
    {"TextOutTip", "TEXT File Output"},
    {"Extra1Tip", "Extra Function 1"},
    {"Extra2Tip", "Extra Function 2"},
    {"Extra3Tip", "Extra Function 3"},
    {"SearchTip", "Search for..."},
    {"PrintStayTip", "Toggle Stay after Printing"},
    {"PagesToPrintErrorText", "is invalid!"},
    {"PagesToPrintErrorHdg", "Error"},
    {"PagesToPrintValue", "All"},
    {"PageOFprompt", "of"},
    {"PagesToPrintPrompt", "Pages to Print"},
    {"PageNoPrompt", "Page"},
    {"ZoomPctPrompt", "Zoom Pct"},
    {"CopiesPrompt", "Copies"},
    {"PmenuStr", "&Menu"},
    {"PmenuFullHeightStr", "Full &Height"},
    {"PmenuFullWidthStr", "Full &Width"},
    {"PmenuZoomPctStr", "&Zoom Percent"},
    {"PmenuFirstPageStr", "F&irst Page"},
    {"PmenuPrevPageStr", "Pr&evious Page"},
    {"PmenuNextPageStr", "&Next Page"},
    {"PmenuLastPageStr", "&Last Page"},
    {"PmenuPrintPageStr", "P&rint Page"},
    {"PmenuGoToPageStr", "&GoTo Page"},
    {"PmenuPagesToPrintStr", "Pages &to Print"},
    {"PmenuCopiesStr", "C&opies"},
    {"PmenuPrintStr", "&Print"},
    {"PmenuExitStr", "E&xit"},
    {"PmenuTextOutStr", "&Text Out"},
    {"SearchCaption", "Find..."},
    {"SearchPrompt", "Search for:"},
    {"SearchCaseOption", "Match Case"},
    {"SearchCancelButton", "Cancel"},
    {"SearchBeginButton", "Begin"},
    {"SearchNoHitText", "Search string not found in this report!"},
    {"SearchNoHitHdr", "No Match!"},
    {"SearchHitText1", "Search string found on"},
    {"SearchHitText2", "pages.||Press F3 for NEXT page|Press F2 for PREVIOUS page||Press OK to begin|"},
    {"SearchHitHdr", "Search Completed..."},
};
} // namespace

QList<int> zoomSteps() {
    QList<int> steps;
    for (const QString &s : QStringLiteral("25|50|75|100|125|150|175|200|225|250").split('|')) steps << s.toInt();
    return steps;
}

Texts::Texts(const QString &iniFile) : m_ini(iniFile.trimmed().isEmpty() ? QString(DefaultIni) : iniFile.trimmed()) {}

QString Texts::operator[](const char *key) const {
    for (const Default &d : kTexts)
        if (qstrcmp(d.key, key) == 0) return IniFile::get(m_ini, Section, key, QString::fromLatin1(d.text));
    return IniFile::get(m_ini, Section, key);
}

QString iconFile(const QString &iniFile, const char *key) {
    return IniFile::get(iniFile, QStringLiteral("Preview Icons"), QString::fromLatin1(key)).trimmed();
}

bool parsePages(const QString &entry, int pageCount, const QString &allWord, QList<PageRange> *ranges) {
    ranges->clear();
    const QString text = entry.trimmed();
    if (text.compare(allWord.trimmed(), Qt::CaseInsensitive) == 0) {
        if (pageCount > 0) ranges->append({1, pageCount});
        return true;
    }
    for (QChar c : text)
        if (!c.isDigit() && c != ',' && c != '-') return false;
    QList<PageRange> out;
    for (const QString &part : text.split(',')) {
        const QStringList ends = part.split('-');
        if (ends.size() > 2) return false;
        PageRange r;
        r.FROM = ends[0].toInt();
        r.THRU = ends.size() == 2 ? ends[1].toInt() : r.FROM;
        if (r.THRU < r.FROM) r.THRU = r.FROM;
        if (r.FROM == 0 || r.THRU == 0 || r.FROM > pageCount || r.THRU > pageCount) return false;
        out << r;
    }
    std::stable_sort(out.begin(), out.end(), [](const PageRange &a, const PageRange &b) { return a.FROM < b.FROM; });
    *ranges = out;
    return true;
}

QString pagesError(const QString &entry, const Texts &texts) {
    return '"' + entry + "\" " + texts["PagesToPrintErrorText"];
}

QList<bool> deletedPages(const QList<PageRange> &ranges, int pageCount) {
    QList<bool> deleted(pageCount, true);
    for (const PageRange &r : ranges)
        for (int p = r.FROM; p <= r.THRU && p <= pageCount; ++p) deleted[p - 1] = false;
    return deleted;
}

QStringList chosenPages(const QStringList &pageQueue, const QList<bool> &deleted) {
    QStringList out;
    for (int i = 0; i < pageQueue.size(); ++i)
        if (i >= deleted.size() || !deleted[i]) out << pageQueue[i];
    return out;
}

QList<int> searchPages(const QStringList &pageQueue, const QString &text, bool matchCase) {
    QByteArray wanted = FixedWidth::encode(text);
    if (!matchCase) wanted = wanted.toUpper();
    QList<int> hits;
    if (wanted.isEmpty()) return hits;
    for (int i = 0; i < pageQueue.size(); ++i)
        for (const pagetext::TextRecord &r : pagetext::records(pageQueue[i]))
            if ((matchCase ? r.text : r.text.toUpper()).contains(wanted)) {
                hits << i + 1;
                break;
            }
    return hits;
}

QString searchHitText(int pages, const Texts &texts) {
    return texts["SearchHitText1"] + ' ' + QString::number(pages) + ' ' + texts["SearchHitText2"];
}

int fitFactor(int available, int image) {
    if (image <= 0) return 100;
    return std::clamp(int(qint64(available) * 100 / image), 1, 999);
}

Placement readPlacement(const QString &iniFile) {
    const QString s = QStringLiteral("PreviewPlacement");
    Placement p;
    p.active = IniFile::get(iniFile, s, "Activate", "NO").trimmed().toUpper() == "YES";
    if (!p.active) return p;
    const int x = std::max(0, IniFile::get(iniFile, s, "Xpos", "-1").toInt());
    const int y = std::max(0, IniFile::get(iniFile, s, "Ypos", "-1").toInt());
    p.rect = QRect(x, y, IniFile::get(iniFile, s, "Width").toInt(), IniFile::get(iniFile, s, "Height").toInt());
    return p;
}

void writePlacement(const QString &iniFile, const QRect &rect) {
    IniFile ini(iniFile);
    const QString s = QStringLiteral("PreviewPlacement");
    ini.setValue(s, "Xpos", QString::number(rect.x()));
    ini.setValue(s, "Ypos", QString::number(rect.y()));
    ini.setValue(s, "Height", QString::number(rect.height()));
    ini.setValue(s, "Width", QString::number(rect.width()));
    ini.save();
}

namespace {
const char *const Settings = "PreviewSettings";
}

QString readZoom(const QString &iniFile) {
    return IniFile::get(iniFile, Settings, "Zoom").trimmed();
}

void writeZoom(const QString &iniFile, const QString &zoom) {
    IniFile::put(iniFile, Settings, "Zoom", zoom);
}

QString lastFolder(const QString &iniFile) {
    return IniFile::get(iniFile, Settings, "LastFolder").trimmed();
}

void setLastFolder(const QString &iniFile, const QString &savedFile) {
    IniFile::put(iniFile, Settings, "LastFolder", QFileInfo(savedFile).absolutePath());
}

QString inLastFolder(const QString &iniFile, const QString &proposal) {
    const QString folder = lastFolder(iniFile);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return proposal;
    return QDir(folder).filePath(QFileInfo(proposal).fileName());
}

QString savedText(const QString &file) {
    return QStringLiteral("Saved as ") + QDir::toNativeSeparators(file);
}

QString notWrittenText(const QString &file, const QString &reason) {
    QString text = QDir::toNativeSeparators(file) + QStringLiteral(" could not be written.");
    if (!reason.isEmpty()) text += QStringLiteral("||") + reason;
    return text;
}

void dropUnchosen(QStringList &pageQueue, const QList<bool> &deleted) {
    QStringList kept;
    for (int i = 0; i < pageQueue.size(); ++i) {
        const bool drop = i < deleted.size() && deleted[i];
        if (drop && (!QFile::exists(pageQueue[i]) || QFile::remove(pageQueue[i]))) continue;
        kept << pageQueue[i];
    }
    pageQueue = kept;
}

} // namespace previewlogic
