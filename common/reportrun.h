#pragma once
// The frame every report runs in: its dialog texts from the report INI file, the preview
// question, a progress window while the report's own loop draws the pages, cancelling (with a
// look at the pages so far), then the preview or the printer.
//
// A previewed report goes into its preview window as soon as its first page is finished; the
// rest is made while the user reads, the window's status line showing the progress and Cancel.
// The "of" page counts are written when the last page exists.
#include "platform/report/report.h"
#include "preview/printpreview.h"

#include <QString>
#include <functional>

class Dialogs;

// The dialog texts of a report run, each from section "DISPLAY STRINGS 2.0" or its default.
struct PreviewStrings {
    QString ProgWinTitlePrvw, ProgWinTitlePrnt, ProgWinPctText, ProgWinRecText, ProgWinUsrText;
    QString PrinterDlgTitle, AskPrvwDialogTitle, AskPrvwDialogText;
    QString CancelAreYouSureTitle, CancelAreYouSureText, CancelPrvwPartialTitle, CancelPrvwPartialText;
    QString NoDfltPrtrTitle, NoDfltPrtrText, NothingToPrvwTitle, NothingToPrvwText;
    QString NothingToPrntTitle, NothingToPrntText, AsciiOutTitle, AsciiOutMasks;
    QString DynLblErrTitle, DynLblErrText1, DynLblErrText2;
    QString ButtonYesNoCancel, ButtonYesNo, ButtonYes, ButtonYesNoIgnore, ButtonOk;
};

// Loads the texts from `IniToUse` ("WIN.INI" when blank); the other three are the defaults of the
// progress window's user text and of the preview question's title and text.
PreviewStrings FILLPREVIEWINISTRINGS(const QString &IniToUse, const QString &WindowMessage,
                                     const QString &PreviewDialogTitle, const QString &PreviewDialogText);

class ReportRun {
public:
    // Failed: a page could not be written (the run stopped) or the printer refused the pages;
    // the user has been told which.
    enum Outcome { Cancelled, Previewed, Printed, Nothing, Failed };

    explicit ReportRun(Dialogs &dialogs);

    // What the report procedure sets before run().
    QString name;                 // the print job's title
    QString windowMessage;        // the progress window's user text
    QString iniFile = QStringLiteral("PRVWRPTS.INI");
    QString iniPath() const; // where iniFile is: in the data directory unless it names a folder
    qint64 recordsToProcess = 0;
    int recordsPerCycle = 25;
    bool pageOfPages = false;     // patch the page count into "?PP?" before output
    int copies = 1;
    PreviewOptions previewOptions;
    // Opens the report's files once the question is answered; false ends the run.
    std::function<bool(ReportRun &)> open;
    // The report's loop: called on every timer event until it returns false (all done). It draws
    // into report() and calls recordDone() after each record.
    std::function<bool(ReportRun &)> loop;
    // Called once when the loop has finished (totals, the last footer).
    std::function<void(ReportRun &)> finish;

    // Where the pages go; tests replace them. `preview` takes the finished pages (returning 1 to
    // print them); left unset, the live preview window shows them as they are made. `print`
    // defaults to the report printer and returns false when nothing was printed, after saying why.
    std::function<qint32(QStringList &pages, const PreviewOptions &)> preview;
    std::function<bool(const QStringList &pages)> print;
    // The live preview window while it is open.
    PrintPreview *livePreview() const { return m_live; }

    Outcome run();

    report::Report &report() { return *m_report; }
    const PreviewStrings &strings() const { return m_strings; }
    bool previewing() const { return m_preview; }
    void recordDone();
    int percent() const { return m_percent; }
    int redraws() const { return m_redraws; }
    qint64 recordsProcessed() const { return m_processed; }
    QString percentText() const;
    // The operator pressed Cancel (or Esc) in the progress window.
    void cancel();
    // The loop met a failure it has already reported (a file that could not be read): the run
    // ends at once, and nothing is previewed or printed.
    void stop();

private:
    enum State { Running, Completed, Stopped, PartialPreview, WriteFailed };
    // One turn of the report's loop, noting how the run stands afterwards.
    void advance();
    // The rest of the run in the live preview, which already has the first page.
    void livePreviewRun();
    // The last page ended and the page counts written; false (WriteFailed) when a page failed.
    bool finalPages();
    void output();
    void pageNotWritten(bool shown = false);

    Dialogs &m_dialogs;
    PreviewStrings m_strings;
    std::unique_ptr<report::Report> m_report;
    bool m_preview = false;
    State m_state = Running;
    qint64 m_processed = 0;
    int m_percent = 0;
    int m_redraws = 0;
    std::function<void()> m_redraw;
    Outcome m_outcome = Cancelled;
    PrintPreview *m_live = nullptr;
};
