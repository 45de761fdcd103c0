#include "reportrun.h"

#include "app.h"
#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "preview/printerhelpers.h"

#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

PreviewStrings FILLPREVIEWINISTRINGS(const QString &IniToUse, const QString &WindowMessage,
                                     const QString &PreviewDialogTitle, const QString &PreviewDialogText) {
    const QString ini = IniToUse.trimmed().isEmpty() ? QStringLiteral("WIN.INI") : IniToUse.trimmed();
    const IniFile file(ini);
    const QString section = QStringLiteral("DISPLAY STRINGS 2.0");
    auto get = [&](const char *key, const QString &fallback, int width = 64) {
        return file.value(section, QString::fromLatin1(key), fallback).left(width);
    };
    PreviewStrings s;
    s.ProgWinTitlePrvw = get("ProgWinTitlePrvw", "Generating Report");
    s.ProgWinTitlePrnt = get("ProgWinTitlePrnt", "Printing Report");
    s.ProgWinPctText = get("ProgWinPctText", "% Completed");
    s.ProgWinRecText = get("ProgWinRecText", "Records Read");
    s.ProgWinUsrText = get("ProgWinUsrText", WindowMessage);
    s.PrinterDlgTitle = get("PrinterDlgTitle", "Report Destination");
    s.AskPrvwDialogTitle = get("AskPrvwDialogTitle", PreviewDialogTitle);
    s.AskPrvwDialogText = get("AskPrvwDialogText", PreviewDialogText);
    s.CancelAreYouSureTitle = get("CancelAreYouSureTitle", "Question");
    s.CancelAreYouSureText = get("CancelAreYouSureText", "Are you sure you want to CANCEL this Report?");
    s.CancelPrvwPartialTitle = get("CancelPrvwPartialTitle", "Question");
    s.CancelPrvwPartialText =
        get("CancelPrvwPartialText", "Report Cancellation Requested!||Preview Report generated so far?", 128);
    s.NoDfltPrtrTitle = get("NoDfltPrtrTitle", "WARNING!");
    s.NoDfltPrtrText = get("NoDfltPrtrText",
                           "Warning:  No DEFAULT Printer Driver Found!||Printing may not occur correctly (or at "
                           "all)|without a Default printer assigned.||Use CONTROL PANEL (PRINTERS) to set a|printer "
                           "as your Default.||Continue with report anyway?",
                           256);
    s.NothingToPrvwTitle = get("NothingToPrvwTitle", "NOTE...");
    s.NothingToPrvwText = get("NothingToPrvwText", "Nothing to Preview.");
    s.NothingToPrntTitle = get("NothingToPrntTitle", "NOTE...");
    s.NothingToPrntText = get("NothingToPrntText", "Nothing to Print.");
    s.AsciiOutTitle = get("AsciiOutTitle", "Save to what Filename?");
    s.AsciiOutMasks = get("AsciiOutMasks", "Text|*.TXT|All Files|*.*");
    s.DynLblErrTitle = get("DynLblErrTitle", "Problem!");
    s.DynLblErrText1 = get("DynLblErrText1", "Sorry!||");
    s.DynLblErrText2 = get("DynLblErrText2", "||Does not support paper type:");
    s.ButtonYesNoCancel = get("ButtonYesNoCancel", "&Yes|&No|&Cancel");
    s.ButtonYesNo = get("ButtonYesNo", "&Yes|&No");
    s.ButtonYes = get("ButtonYes", "&Yes");
    s.ButtonYesNoIgnore = get("ButtonYesNoIgnore", "&Yes|&No|&Ignore");
    s.ButtonOk = get("ButtonOk", "&Ok");
    return s;
}

namespace {
const QString kReportErrorCaption = QStringLiteral("Report Error ...");
const QString kPageNotWritten =
    QStringLiteral("Page %1 of the report could not be written:|%2||"
                   "The report was stopped; none of it was shown or printed.");
const QString kShownPageNotWritten =
    QStringLiteral("Page %1 of the report could not be written:|%2||"
                   "The report was stopped and its preview closed; none of it was printed.");
const QString kCancel = QStringLiteral("Cancel");

// The progress window: thermometer, the caller's text, the percent and Cancel. Esc and closing
// the window ask to cancel like the button does.
class ProgressWindow : public QDialog {
public:
    std::function<void()> onCancel;
    QProgressBar *bar;
    QLabel *percent;

    ProgressWindow(const QString &title, const QString &userText) {
        setWindowTitle(title);
        bar = new QProgressBar(this);
        bar->setRange(0, 100);
        bar->setTextVisible(false);
        percent = new QLabel(this);
        auto *cancel = new QPushButton(kCancel, this);
        connect(cancel, &QPushButton::clicked, this, [this] { onCancel(); });
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(bar);
        if (!userText.trimmed().isEmpty()) layout->addWidget(new QLabel(userText, this));
        layout->addWidget(percent);
        layout->addWidget(cancel, 0, Qt::AlignHCenter);
        setMinimumWidth(300);
    }
    void reject() override { onCancel(); }
};
} // namespace

ReportRun::ReportRun(Dialogs &dialogs) : m_dialogs(dialogs) {
    print = [this](const QStringList &pages) {
        return printOnReportPrinter(pages, name, m_dialogs);
    };
}

QString ReportRun::iniPath() const { return App::iniPath(iniFile); }

QString ReportRun::percentText() const {
    return QStringLiteral("%1").arg(m_percent, 3) + m_strings.ProgWinPctText;
}

void ReportRun::recordDone() {
    ++m_processed;
    const int percent = recordsToProcess > 0 ? int(std::min<qint64>(100, m_processed * 100 / recordsToProcess)) : 0;
    if (percent == m_percent) return;
    m_percent = percent;
    ++m_redraws;
    if (m_redraw) m_redraw();
}

void ReportRun::cancel() {
    if (m_state != Running) return;
    if (m_dialogs.ask(m_strings.CancelAreYouSureTitle, m_strings.CancelAreYouSureText, Dlg::Question,
                      m_strings.ButtonYesNo) != 1)
        return;
    const bool generated = m_report && (!m_report->pages().isEmpty() || m_report->pageOpen());
    if (!m_preview || !generated) {
        m_state = Stopped;
        return;
    }
    switch (m_dialogs.ask(m_strings.CancelPrvwPartialTitle, m_strings.CancelPrvwPartialText, Dlg::Question,
                          m_strings.ButtonYesNoIgnore)) {
    case 1: m_state = PartialPreview; break;
    case 2: m_state = Stopped; break;
    default: break; // Ignore: the report goes on
    }
}

void ReportRun::stop() {
    if (m_state == Running) m_state = Stopped;
}

ReportRun::Outcome ReportRun::run() {
    m_strings = FILLPREVIEWINISTRINGS(iniPath(), windowMessage, QStringLiteral("Preview"),
                                      QStringLiteral("Do you wish to PREVIEW this Report?"));
    const QString cwd = QDir::currentPath();
    reportPrinter().setCopyCount(1);
    m_state = Running;
    m_processed = 0;
    m_percent = 0;
    m_redraws = 0;
    m_outcome = Cancelled;

    const int answer = m_dialogs.ask(m_strings.AskPrvwDialogTitle, m_strings.AskPrvwDialogText, Dlg::Question,
                                     m_strings.ButtonYesNoCancel, 1);
    if (answer != 1 && answer != 2) return Cancelled;
    m_preview = answer == 1;
    if (open && !open(*this)) return Cancelled;
    m_report = std::make_unique<report::Report>();

    // The progress window until the first page is finished; a preview goes on in its window.
    const bool live = m_preview && !preview;
    {
        ProgressWindow window(m_preview ? m_strings.ProgWinTitlePrvw : m_strings.ProgWinTitlePrnt,
                              m_strings.ProgWinUsrText);
        window.percent->setText(percentText());
        m_redraw = [&] {
            window.bar->setValue(m_percent);
            window.percent->setText(percentText());
        };
        QTimer timer;
        window.onCancel = [&] {
            timer.stop(); // no record runs while the questions are open
            cancel();
            if (m_state == Running) timer.start(0);
            else window.accept();
        };
        QObject::connect(&timer, &QTimer::timeout, &window, [&] {
            advance();
            if (m_state != Running || (live && !m_report->pages().isEmpty())) {
                timer.stop();
                window.accept();
            }
        });
        timer.start(0);
        window.exec();
        m_redraw = nullptr;
    }
    QDir::setCurrent(cwd);
    if (live && m_state == Running) {
        livePreviewRun();
        QDir::setCurrent(cwd);
    } else {
        output();
    }
    m_report.reset(); // the page files go with it
    return m_outcome;
}

void ReportRun::advance() {
    const bool more = m_state == Running && loop && loop(*this);
    if (m_state == Running && !more) {
        m_state = Completed;
        if (finish) finish(*this);
    }
    // A page left out would make the rest look complete: the run stops at the first one.
    if (m_report->failed()) m_state = WriteFailed;
}

void ReportRun::livePreviewRun() {
    QStringList &pages = m_report->pages();
    PrintPreview window(pages, 100, previewOptions, iniPath(), m_dialogs);
    m_live = &window;
    window.beginGenerating(kCancel);
    m_redraw = [&] { window.setProgress(m_percent, percentText()); };
    m_redraw();
    QTimer timer;
    // The pages are final: numbered in the window, or the window closes on a page not written.
    auto conclude = [&] {
        timer.stop();
        if (m_state == Stopped) return window.exit();
        if (!finalPages()) return window.exit();
        window.endGenerating(m_state == Completed);
    };
    QObject::connect(&window, &PrintPreview::cancelRequested, &window, [&] {
        timer.stop();
        cancel();
        if (m_state == Running) timer.start(0);
        else conclude();
    });
    QObject::connect(&timer, &QTimer::timeout, &window, [&] {
        advance();
        window.pagesAdded();
        if (m_state != Running) conclude();
    });
    timer.start(0);
    const int answer = window.exec();
    timer.stop();
    m_redraw = nullptr;
    m_live = nullptr;
    if (m_state == WriteFailed) return pageNotWritten(true);
    if (m_state == Stopped) return; // cancelled without a look at the pages, or the loop failed
    // Closing the window while the report is still being made stops it: the pages were seen.
    if (m_state == Running) m_state = Stopped;
    m_outcome = Previewed;
    if (answer == 1 && !pages.isEmpty()) m_outcome = print(pages) ? Printed : Failed;
    pages.clear();
}

bool ReportRun::finalPages() {
    if (!m_report->endPage() || m_report->failed()) {
        m_state = WriteFailed;
        return false;
    }
    if (pageOfPages && !m_report->pages().isEmpty())
        ASSGNPGOFPG({}, {}, m_report->pages(), true, 4, false, false, false, 0, m_dialogs);
    return true;
}

void ReportRun::pageNotWritten(bool shown) {
    m_dialogs.message(kReportErrorCaption,
                      (shown ? kShownPageNotWritten : kPageNotWritten)
                          .arg(m_report->failedPage())
                          .arg(m_report->error()),
                      Dlg::Error);
    m_outcome = Failed;
}

void ReportRun::output() {
    if (m_state == WriteFailed) return pageNotWritten();
    const bool toPreview = m_preview && (m_state == Completed || m_state == PartialPreview);
    const bool toPrinter = !m_preview && m_state == Completed;
    if (!toPreview && !toPrinter) return;
    if (!finalPages()) return pageNotWritten();
    QStringList &pages = m_report->pages();
    if (pages.isEmpty()) {
        if (toPreview) m_dialogs.ask(m_strings.NothingToPrvwTitle, m_strings.NothingToPrvwText, Dlg::Information, m_strings.ButtonOk);
        else m_dialogs.ask(m_strings.NothingToPrntTitle, m_strings.NothingToPrntText, Dlg::Information, m_strings.ButtonOk);
        m_outcome = Nothing;
        return;
    }
    if (toPreview) {
        m_outcome = Previewed;
        // The preview has already trimmed the queue to the chosen pages and their copies.
        const qint32 answer = preview ? preview(pages, previewOptions)
                                      : PRINTPREVIEW(pages, 100, previewOptions, iniPath(), m_dialogs);
        if (answer != 1) return;
    } else {
        applyCopies(pages, copies);
    }
    if (!pages.isEmpty()) m_outcome = print(pages) ? Printed : Failed;
    pages.clear();
}
