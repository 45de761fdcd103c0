#pragma once
// What every import shares, so that none of them can lose the fund's data: the input is read
// whole and checked before anything is changed; the writing runs in one database transaction;
// lines that cannot be read as their layout asks are never guessed at but listed in a report
// at the end. Also the reading itself: line breaks of any kind, a UTF-8 byte-order mark or
// UTF-8 text, else Windows-1252, and comma-separated values with quotes.
#include "platform/dialogs.h"
#include "platform/storage/table.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class ReportRun;

namespace Imports {
// A text file read whole into memory: its lines, decoded, by index.
class InputFile {
public:
    // False when the file cannot be opened or read; error() gives the system's reason.
    bool read(const QString &path);
    QString path() const { return m_path; }
    QString name() const;
    QString error() const { return m_error; }
    bool opened() const { return m_opened; } // after a failed read: it opened, then failed

    qsizetype lineCount() const { return qsizetype(m_starts.size()); }
    QString line(qsizetype index) const; // without its line break
    // Why the file is no text that an import can read ("" when it is): empty, binary, UTF-16.
    QString unusable() const;

private:
    QString m_path, m_error;
    QByteArray m_data;
    std::vector<qsizetype> m_starts;
    std::vector<qsizetype> m_lengths;
    qsizetype m_bodyStart = 0;
    bool m_utf8 = false;
    bool m_ascii = true;
    bool m_opened = false;
};

// Text of a fixed-width line from a 1-based column: shorter when the line ends earlier. A view
// into the line: read, never kept.
QStringView column(QStringView line, int from, int width);
// The text without its trailing blanks, as fixed-width fields are kept.
QString clipped(QStringView text);
// A column of digits with blanks around them; false for anything else, blank included.
bool digits(QStringView text, qint64 &value);
// Whether a line holds text past the `width` characters of its record.
bool overlong(QStringView line, int width);
// "line 12: ..." entries for a line that is longer than its record.
QString overlongText(QStringView line, int width);

// One comma-separated line split into its values: a value in double quotes may hold commas and
// doubled quotes. False (with `problem`) when a quote is not closed on its line.
bool splitCsv(const QString &line, QStringList &values, QString *problem = nullptr);

// The lines an import could not read, for the report at the end.
class BadLines {
public:
    static constexpr int Listed = 10000; // beyond this only the number is kept
    // "line 12: why", or with a file named "SHARE.TXT line 12: why".
    void add(qint64 lineNumber, const QString &why, const QString &file = {});
    void clear();
    qint64 count() const { return m_count; }
    const QStringList &lines() const { return m_lines; }

private:
    QStringList m_lines;
    qint64 m_count = 0;
};

enum class Verdict { Take, Skip, Bad };

// The frame of one import: the wait window's hooks, the input file, the checking pass, the
// closing report. Each import adds its own layout and writing.
class ImportRun {
public:
    ImportRun(storage::Database &db, Dialogs &dialogs);
    virtual ~ImportRun() { closeWait(); }

    // The wait window: opened with its title and two texts, given the running text, closed.
    std::function<void(const QString &title, const QString &text1, const QString &text2)> waitOpened;
    std::function<void(const QString &running)> progress;
    std::function<void()> waitClosed;
    // The checking is over and the target has been emptied inside the import's transaction.
    std::function<void()> writing;
    // Lets the window system in; called at most every ~20 ms while an import runs.
    std::function<void()> yield;
    // Given the report run of the bad lines before it runs (tests send its pages elsewhere).
    std::function<void(ReportRun &)> prepareReport;

    BadLines bad;
    qint64 linesRead = 0; // lines of the input file seen by the checking pass
    qint64 taken = 0;     // lines the import takes

protected:
    // Where the input file is: in the data directory under its fixed name, else where the user
    // points to (empty when the user gave none).
    QString locate(const QString &fixedName);
    // Reads and vets the file; false after saying why (the Part's prefix for a file that cannot
    // be opened or read).
    bool load(InputFile &file, const QString &path, const QString &openPrefix, const QString &readPrefix);
    // Runs `parse` over every line (from `first`, 0-based); counts what is taken and lists what
    // is bad. `parse` gets the line's index and sets `why` for a bad line.
    // Bad lines of a second file of the same import are named with `fileTag`.
    qint64 check(const InputFile &file, const std::function<Verdict(qsizetype, QString &)> &parse,
                 qsizetype first = 0, const QString &fileTag = {});
    // Nothing to take: says so (and lists the bad lines); the target was not touched.
    void nothingToTake(const InputFile &file);
    // Opens an import's target, creating it when the fund has none yet; false after saying why.
    bool openTarget(storage::Table &target, const QString &createPrefix, const QString &openPrefix);
    // Inside `batch`: empties the target (dropping its keys too when `dropKeys`, for a bulk load
    // that rebuilds them at its end); false after saying why (the transaction did not begin:
    // the open step's message; the target could not be emptied: the create step's).
    bool emptyTarget(storage::Transaction &batch, storage::Table &target, const QString &openPrefix,
                     const QString &createPrefix, bool dropKeys);
    // A refusal that leaves everything as it was.
    void refuse(const QString &text);
    // A failure while writing: the transaction is already rolled back when this is called.
    void writeFailed(const QString &target, const QString &error);
    // After the import's own closing message: the report of the lines left out, if any.
    void reportBadLines(const QString &fileName);
    void openWait(const QString &title, const QString &text1, const QString &text2);
    void closeWait();
    void tick(const QString &running);

    storage::Database &m_db;
    Dialogs &m_dialogs;

private:
    QElapsedTimer m_pace;
    bool m_waitOpen = false;
};

// The small wait window of an import ("Import Process"), wired to the run's hooks; the run
// lets the window system in (no user input) while it works.
void attachWaitWindow(ImportRun &run);

// Texts of the shared machinery, one place each.
namespace Text {
inline const QString Caption = QStringLiteral("Import Process");
inline const QString Empty = QStringLiteral("%1 is empty.  Nothing was imported and nothing was changed.");
inline const QString NotText = QStringLiteral(
    "%1 is not a text file (line %2 holds the byte %3).  Nothing was imported and nothing was changed.");
inline const QString Utf16 = QStringLiteral(
    "%1 is written in UTF-16; save it as plain text (ANSI or UTF-8).  Nothing was imported and nothing was changed.");
inline const QString NoLine = QStringLiteral(
    "%1 holds no line that can be imported (%2 lines read, %3 could not be read).  Nothing was changed.");
inline const QString WriteFailed = QStringLiteral(
    "The import was stopped; %1 is as it was before.  Error: %2.");
inline const QString SomeBad = QStringLiteral(
    "%1 lines of %2 could not be read and were not imported.  The report that follows lists them.");
inline const QString PickCaption = QStringLiteral("Where is %1?");
inline const QString PickFilter = QStringLiteral("Import files (*.txt *.TXT *.dat *.DAT *.csv *.CSV);;All files (*)");
inline const QString ReportName = QStringLiteral("ImportBadLines");
inline const QString ReportHeading = QStringLiteral("Lines not imported from %1");
} // namespace Text
} // namespace Imports
