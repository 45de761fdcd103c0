#pragma once
// What every report of this module shares: its remembered choices (a section of PENSION.INI in
// the data directory), the run it draws in (the report run: preview question, progress, cancel,
// preview or printer, "nothing to preview"), a failed read that stops it and says so, and the
// tabular page most listings use.
#include "common/reportrun.h"
#include "platform/decimal.h"
#include "platform/inifile.h"
#include "platform/report/report.h"
#include "platform/storage/database.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// The cells of a listing, in the program's pictures: one place for all reports of this module.
namespace Cell {
QString amount(const Decimal &value); // "1,234.56", "-5.00"
QString count(qint64 n);
QString date(qint32 day); // mm/dd/yyyy; blank for no date
} // namespace Cell

// A report window's last choices: section `report` of PENSION.INI in the data directory.
class ReportChoices {
public:
    explicit ReportChoices(const QString &report);
    QString section() const { return m_section; }
    IniFile &ini() { return m_ini; }
    const IniFile &ini() const { return m_ini; }

    QString text(const QString &key, const QString &fallback = {}) const;
    qint32 date(const QString &key, qint32 fallback) const; // kept as mm/dd/yyyy
    bool flag(const QString &key, bool fallback) const;
    qint64 number(const QString &key, qint64 fallback) const;
    void setText(const QString &key, const QString &value);
    void setDate(const QString &key, qint32 day);
    void setFlag(const QString &key, bool on);
    void setNumber(const QString &key, qint64 value);
    bool save() const;

private:
    QString m_section;
    IniFile m_ini;
};

// The logic half of a report: its files, its reading and its drawing. The window hands it the
// choices and calls run(); tests call run() with testHook() set and read the pages as text.
class ReportLogic {
public:
    ReportLogic(storage::Database &db, Dialogs &dialogs);
    virtual ~ReportLogic();
    ReportLogic(const ReportLogic &) = delete;
    ReportLogic &operator=(const ReportLogic &) = delete;

    // Gives the run its name, files, loop and finish. The logic must outlive the run.
    void attach(ReportRun &run);
    ReportRun::Outcome run();
    // A failed read stopped the last run (the user was told).
    bool stopped() const { return m_stopped; }

    // Lets a test take the pages of every report this module runs (replaces preview and print).
    static std::function<void(ReportRun &)> &testHook();

protected:
    virtual QString reportName() const = 0; // the print job's title
    virtual QString heading() const = 0;    // the report's title, also the caption of its messages
    // Opens the files, sets run.recordsToProcess and starts reading; false ends the run (the
    // user has been told why).
    virtual bool begin(ReportRun &run) = 0;
    // Called once when the pages exist, before the first step(): the place to lay out the page.
    virtual void startDrawing(ReportRun &) {}
    // Reads and draws one record; false when there is none left or the run was stopped.
    virtual bool step(ReportRun &run) = 0;
    // After the last record: totals, the last footer. Not called after a failed read.
    virtual void end(ReportRun &) {}
    // After every run, however it ended: the place to let go of what begin() held.
    virtual void runEnded() {}

    // Says that the files could not be read, stops the run and returns false (for step()).
    bool readFailed(ReportRun &run);

    storage::Database &m_db;
    Dialogs &m_dialogs;

private:
    bool m_stopped = false;
    bool m_drawing = false;
    std::optional<storage::ReadSnapshot> m_snapshot; // from the files' opening to the last record
};

// A listing page: the run date and the page number, the heading and its sub-headings centred,
// then column titles over lines of cells. A line is set as one string in a fixed-pitch face, so
// the columns agree on paper and in the text output; up to MaxChars characters fit a line.
class Listing {
public:
    struct Column {
        QString title;
        int width = 10;     // in characters
        bool right = false; // numbers and amounts end at the column's right edge
    };

    static constexpr int MaxChars = 100;

    Listing(report::Report &report, const QString &heading, const QStringList &subheadings,
            const QList<Column> &columns);

    // One detail line; a cell too wide for its column is cut.
    void row(const QStringList &cells);
    // Several lines kept on one page (a member with address lines): each a list of cells.
    void block(const QList<QStringList> &lines);
    // A line of free text from the left margin (a group's title), kept with the next line.
    void title(const QString &text);
    void blank();
    // Totals: a rule, then each label at the left with its value ending at column `column`'s
    // right edge.
    void totals(const QList<QPair<QString, QString>> &lines, int column);
    bool empty() const { return !m_started; }
    // Closes the last page; false when a page file could not be written.
    bool finish();

    // The cells laid out in their columns (each padded or cut to its width, a blank between).
    QString line(const QStringList &cells) const;

private:
    void start();
    void print(const QString &text, bool bold = false, int keepRoom = 0);

    report::BandReport m_bands;
    QString m_heading;
    QStringList m_subheadings;
    QList<Column> m_columns;
    QString m_stamp;
    bool m_started = false;
};
