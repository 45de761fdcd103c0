#pragma once
// The preview window: shows a report's page files one at a time with zoom and navigation, lets
// the user choose pages and copies, print, print the page shown, write text, search, or save the
// chosen pages as PDF.
#include "previewlogic.h"

#include <QDialog>
#include <QPointer>
#include <QStyle>
#include <functional>
#include <QStringList>

class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStatusBar;
class QToolButton;
class PageView;

// What the caller decides about the window (stands for the option words of older callers).
struct PreviewOptions {
    bool allowPrint = true;         // print, copies and print-this-page are offered
    bool escCloses = true;          // Esc closes the window like Exit
    bool skipPrinterDialog = false; // print at once with the report's printer settings
    bool fullHeight = false;        // open with the whole page height in the window
    bool useZoom = false;           // open at the zoom the caller passes instead of a fit
    bool showExit = true;
    bool showTextOut = true;
    qint32 linesPerPage = 0;        // text output grid, 0 = without empty lines
    QString textFile = QStringLiteral("~REPORT.TXT");
    std::function<void()> extra[3]; // the three extra buttons, shown when given
};

class PrintPreview : public QDialog {
    Q_OBJECT
public:
    PrintPreview(QStringList &pageQueue, int zoom, const PreviewOptions &options, const QString &iniFile,
                 Dialogs &dialogs, QWidget *parent = nullptr);
    ~PrintPreview() override;

    int page() const { return m_page; }
    int pageCount() const { return int(m_pages.size()); }
    int zoomPercent() const { return m_factor; }
    bool stayAfterPrinting() const;
    void setStayAfterPrinting(bool stay);

    // The actions of the buttons, menu entries and keys.
    void showPage(int page);
    void firstPage() { showPage(1); }
    void previousPage() { showPage(m_page - 1); }
    void nextPage() { showPage(m_page + 1); }
    void lastPage() { showPage(pageCount()); }
    void fullWidth();
    void fullHeight();
    void setZoom(int percent);
    void toggleZoom();
    void nextHit();
    void previousHit();
    void search(const QString &text, bool matchCase);
    void print();
    void printThisPage();
    void textOut();
    void saveAsPdf();
    void exit();
    // Checks the pages-to-print entry, showing the error when it is invalid.
    bool validatePages();
    QMenu *popupMenu(bool fromButton);

    // A report still being made: its pages come into the queue as they are finished, a progress
    // bar and Cancel stand in the status line, and whatever needs every page (printing, saving,
    // text, searching) waits for the last one.
    void beginGenerating(const QString &cancelText);
    bool generating() const { return m_generating; }
    void setProgress(int percent, const QString &text);
    // The queue has grown: the new pages can be seen.
    void pagesAdded();
    // The pages are final (their page counts written): shows them again as they now are, and
    // does what was waiting when the report is `complete` (not cancelled part-way).
    void endGenerating(bool complete);
    QProgressBar *progressBar() const { return m_progress; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Widgets tests look at.
    QLineEdit *pagesToPrint() const { return m_pagesToPrint; }
    QSpinBox *copies() const { return m_copies; }
    QToolButton *button(const char *name) const;
    QLabel *ofLabel() const { return m_of; }
    QScrollArea *scrollArea() const { return m_scroll; }

signals:
    // Cancel was pressed while the report is being made.
    void cancelRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Mode { Factor, Width, Height };
    QToolButton *addButton(const char *name, const char *tipKey, const char *iconKey,
                           const QIcon &icon);
    QIcon standard(QStyle::StandardPixmap pixmap) const;
    // A file written: confirmed in the status line, its folder kept for the next file dialog.
    void saved(const QString &file);
    void updateView();
    void updateNavigation();
    void computeFits();
    QList<bool> chosen() const;
    void openSearch();
    void updateCount();
    // While generating, keeps `action` for when the last page exists and says so; false then.
    bool whenComplete(std::function<void()> action);

    QStringList &m_queue;
    QStringList m_pages; // what is shown; the queue changes only when printing
    PreviewOptions m_options;
    previewlogic::Texts m_texts;
    Dialogs &m_dialogs;
    int m_page = 1;
    int m_factor = 100;  // hundredths
    int m_fitWidth = 100, m_fitHeight = 100;
    int m_requestedZoom = 100;
    Mode m_mode = Mode::Factor;
    QList<int> m_hits;
    int m_hit = 0;
    bool m_placementActive = false;
    bool m_fitted = false;

    PageView *m_view = nullptr;
    QScrollArea *m_scroll = nullptr;
    QComboBox *m_zoom = nullptr;
    QSpinBox *m_pageNo = nullptr;
    QLabel *m_of = nullptr;
    QLineEdit *m_pagesToPrint = nullptr;
    QSpinBox *m_copies = nullptr;
    QToolButton *m_pin = nullptr;
    QStatusBar *m_status = nullptr;
    QString m_zoomChoice; // what the user chose in this window, kept when it closes
    bool m_generating = false;
    std::function<void()> m_waiting; // asked for while generating
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_progressText = nullptr;
};

// Shows the pages; returns 1 when the user asked to print (the caller prints what is left in the
// queue), otherwise 2.
qint32 PRINTPREVIEW(QStringList &pageQueue, qint32 zoom, const PreviewOptions &options, const QString &iniFile,
                    Dialogs &dialogs);
