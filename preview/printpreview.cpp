#include "printpreview.h"

#include "platform/dialogs.h"
#include "platform/inifile.h"
#include "platform/report/player.h"
#include "previewicons.h"
#include "printerhelpers.h"
#include "wmf2ascii.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

// The page image: the page file drawn at the current factor with a frame just outside it.
class PageView : public QWidget {
public:
    explicit PageView(QWidget *parent) : QWidget(parent) { setAutoFillBackground(false); }

    void load(const QString &file) {
        m_page = wmf::readFile(file);
        const QSizeF inches = report::pageInches(m_page);
        m_natural = inches.isEmpty() ? QSize(850, 1100)
                                     : QSize(qRound(inches.width() * logicalDpiX()), qRound(inches.height() * logicalDpiY()));
        update();
    }
    QSize natural() const { return m_natural; }
    // Marks the text wherever the page shows it; empty text marks nothing.
    void setMark(const QString &text, Qt::CaseSensitivity cs) {
        m_mark.text = text;
        m_mark.caseSensitivity = cs;
        update();
    }
    void setFactor(int hundredths) {
        m_size = QSize(m_natural.width() * hundredths / 100, m_natural.height() * hundredths / 100);
        setFixedSize(m_size + QSize(4, 4));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        const QRect page(2, 2, m_size.width(), m_size.height());
        p.fillRect(page, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(page.adjusted(-1, -1, 0, 0));
        report::play(p, m_page, page, m_mark.text.isEmpty() ? nullptr : &m_mark);
    }

private:
    wmf::Page m_page;
    report::TextMark m_mark;
    QSize m_natural{850, 1100};
    QSize m_size{850, 1100};
};

namespace {
const QString kWaiting =
    QStringLiteral("The report is still being made: this follows as soon as its last page is done.");
const QString kNotDone = QStringLiteral("The report was cancelled: nothing was done with it.");

QString printerTitle() {
    const QPrinter &p = reportPrinter();
    const QPrinterInfo info(p);
    const QString device = p.printerName().isEmpty() ? QStringLiteral("PDF") : p.printerName();
    // Qt names no port; where the printer stands (or its output file) takes its place.
    QString port = info.isNull() ? p.outputFileName() : info.location();
    if (port.isEmpty()) port = info.isNull() ? QStringLiteral("FILE:") : p.printerName();
    return QStringLiteral("   [") + device + QStringLiteral(" on ") + port + ']';
}
} // namespace

PrintPreview::PrintPreview(QStringList &pageQueue, int zoom, const PreviewOptions &options, const QString &iniFile,
                           Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_queue(pageQueue), m_pages(pageQueue), m_options(options), m_texts(iniFile),
      m_dialogs(dialogs), m_requestedZoom(std::clamp(zoom, 1, previewlogic::MaxZoom)) {
    setWindowTitle(m_texts["Window Title"] + printerTitle());
    const QString winIcon = previewlogic::iconFile(m_texts.iniFile(), "PreviewWinICO");
    if (!winIcon.isEmpty()) setWindowIcon(QIcon(winIcon));

    auto *bar = new QHBoxLayout;
    bar->setSpacing(3);
    auto *menuButton = new QToolButton(this);
    menuButton->setObjectName("menu");
    menuButton->setText(m_texts["PmenuStr"]);
    connect(menuButton, &QToolButton::clicked, this, [this, menuButton] {
        QMenu *menu = popupMenu(true);
        menu->exec(menuButton->mapToGlobal(QPoint(0, menuButton->height())));
        menu->deleteLater();
    });
    bar->addWidget(menuButton);

    auto *fullW = addButton("fullWidth", "FullWidthTip", "FullWidthICO",
                            standard(QStyle::SP_ToolBarHorizontalExtensionButton));
    connect(fullW, &QToolButton::clicked, this, &PrintPreview::fullWidth);
    bar->addWidget(fullW);
    auto *fullH = addButton("fullHeight", "FullHeightTip", "FullHeightICO",
                            standard(QStyle::SP_ToolBarVerticalExtensionButton));
    connect(fullH, &QToolButton::clicked, this, &PrintPreview::fullHeight);
    bar->addWidget(fullH);

    bar->addWidget(new QLabel(m_texts["ZoomPctPrompt"], this));
    m_zoom = new QComboBox(this);
    m_zoom->setEditable(true);
    for (int step : previewlogic::zoomSteps()) m_zoom->addItem(QString::number(step));
    m_zoom->setToolTip(m_texts["ZoomPctValTip"]);
    connect(m_zoom, &QComboBox::textActivated, this, [this](const QString &t) { setZoom(t.toInt()); });
    bar->addWidget(m_zoom);

    const struct {
        const char *name, *tip, *icon;
        QStyle::StandardPixmap pixmap;
        void (PrintPreview::*slot)();
    } nav[] = {{"first", "FirstPageTip", "FirstPageICO", QStyle::SP_MediaSkipBackward, &PrintPreview::firstPage},
               {"previous", "PrevPageTip", "PrevPageICO", QStyle::SP_MediaSeekBackward, &PrintPreview::previousPage}};
    for (const auto &n : nav) {
        auto *b = addButton(n.name, n.tip, n.icon, standard(n.pixmap));
        connect(b, &QToolButton::clicked, this, n.slot);
        bar->addWidget(b);
    }
    bar->addWidget(new QLabel(m_texts["PageNoPrompt"], this));
    m_pageNo = new QSpinBox(this);
    m_pageNo->setToolTip(m_texts["PageNoTip"]);
    m_pageNo->setKeyboardTracking(false);
    connect(m_pageNo, &QSpinBox::valueChanged, this, [this](int v) { showPage(v); });
    bar->addWidget(m_pageNo);
    m_of = new QLabel(this);
    bar->addWidget(m_of);
    updateCount();
    const struct {
        const char *name, *tip, *icon;
        QStyle::StandardPixmap pixmap;
        void (PrintPreview::*slot)();
    } nav2[] = {{"next", "NextPageTip", "NextPageICO", QStyle::SP_MediaSeekForward, &PrintPreview::nextPage},
                {"last", "LastPageTip", "LastPageICO", QStyle::SP_MediaSkipForward, &PrintPreview::lastPage}};
    for (const auto &n : nav2) {
        auto *b = addButton(n.name, n.tip, n.icon, standard(n.pixmap));
        connect(b, &QToolButton::clicked, this, n.slot);
        bar->addWidget(b);
    }

    bar->addStretch();
    auto *bar2 = new QHBoxLayout;
    bar2->setSpacing(3);
    auto *thisPage = addButton("printThisPage", "PrintThisPageTip", "PrintThisPageICO",
                               previewicons::printThisPage());
    connect(thisPage, &QToolButton::clicked, this, &PrintPreview::printThisPage);
    bar2->addWidget(thisPage);
    bar2->addWidget(new QLabel(m_texts["PagesToPrintPrompt"], this));
    m_pagesToPrint = new QLineEdit(m_texts["PagesToPrintValue"], this);
    m_pagesToPrint->setToolTip(m_texts["PagesToPrintTip"]);
    bar2->addWidget(m_pagesToPrint);
    bar2->addWidget(new QLabel(m_texts["CopiesPrompt"], this));
    m_copies = new QSpinBox(this);
    m_copies->setRange(1, 999);
    m_copies->setToolTip(m_texts["CopiesTip"]);
    bar2->addWidget(m_copies);
    auto *printB = addButton("print", "PrintTip", "PrintICO", previewicons::print());
    connect(printB, &QToolButton::clicked, this, &PrintPreview::print);
    bar2->addWidget(printB);
    auto *text =
        addButton("textOut", "TextOutTip", "", standard(QStyle::SP_FileDialogDetailedView));
    connect(text, &QToolButton::clicked, this, &PrintPreview::textOut);
    text->setVisible(m_options.showTextOut && m_options.allowPrint);
    bar2->addWidget(text);
    setPreviewTextButton(text);
    auto *find = addButton("search", "SearchTip", "", standard(QStyle::SP_FileDialogContentsView));
    connect(find, &QToolButton::clicked, this, &PrintPreview::openSearch);
    bar2->addWidget(find);
    auto *pdf = new QToolButton(this);
    pdf->setObjectName("savePdf");
    pdf->setText(tr("Save as PDF"));
    pdf->setToolTip(tr("Save the pages to print as a PDF file"));
    connect(pdf, &QToolButton::clicked, this, &PrintPreview::saveAsPdf);
    bar2->addWidget(pdf);
    m_pin = addButton("pushPin", "PrintStayTip", "", previewicons::pushPin());
    m_pin->setCheckable(true);
    bar2->addWidget(m_pin);
    const char *extras[] = {"Extra1Tip", "Extra2Tip", "Extra3Tip"};
    for (int i = 0; i < 3; ++i) {
        auto *b = addButton(extras[i], extras[i], "", standard(QStyle::SP_ArrowRight));
        b->setText(QString::number(i + 1));
        b->setVisible(bool(m_options.extra[i]));
        if (m_options.extra[i]) connect(b, &QToolButton::clicked, this, m_options.extra[i]);
        bar2->addWidget(b);
    }
    auto *exitB = addButton("exit", "ExitTip", "CloseICO", standard(QStyle::SP_DialogCloseButton));
    connect(exitB, &QToolButton::clicked, this, &PrintPreview::exit);
    exitB->setVisible(m_options.showExit);
    bar2->addWidget(exitB);
    bar2->addStretch();

    for (const char *name : {"printThisPage", "print"}) button(name)->setEnabled(m_options.allowPrint);
    m_copies->setEnabled(m_options.allowPrint);

    m_view = new PageView(this);
    m_view->setCursor(Qt::CrossCursor);
    m_view->installEventFilter(this);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = popupMenu(false);
        menu->exec(m_view->mapToGlobal(at));
        menu->deleteLater();
    });
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);

    m_status = new QStatusBar(this);
    m_status->setSizeGripEnabled(false);
    m_progressText = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    m_progress->setMaximumWidth(200);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName("cancelReport");
    connect(m_cancel, &QPushButton::clicked, this, &PrintPreview::cancelRequested);
    for (QWidget *w : {static_cast<QWidget *>(m_progressText), static_cast<QWidget *>(m_progress),
                       static_cast<QWidget *>(m_cancel)}) {
        m_status->addPermanentWidget(w);
        w->hide();
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(bar2);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_status);

    resize(900, 700);
    const previewlogic::Placement placement = previewlogic::readPlacement(m_texts.iniFile());
    m_placementActive = placement.active;
    if (placement.active) {
        move(placement.rect.topLeft());
        if (placement.rect.width() > 0 && placement.rect.height() > 0) resize(placement.rect.size());
    }

    if (!m_pages.isEmpty()) m_view->load(m_pages.first());
    if (m_options.fullHeight) m_mode = Mode::Height;
    updateView();
    updateNavigation();
}

PrintPreview::~PrintPreview() { setPreviewTextButton(nullptr); }

QToolButton *PrintPreview::addButton(const char *name, const char *tipKey, const char *iconKey,
                                     const QIcon &icon) {
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setToolTip(m_texts[tipKey]);
    const QString file = *iconKey ? previewlogic::iconFile(m_texts.iniFile(), iconKey) : QString();
    b->setIcon(file.isEmpty() ? icon : QIcon(file));
    return b;
}

QIcon PrintPreview::standard(QStyle::StandardPixmap pixmap) const {
    return style()->standardIcon(pixmap);
}

QToolButton *PrintPreview::button(const char *name) const { return findChild<QToolButton *>(name); }

bool PrintPreview::stayAfterPrinting() const { return m_pin->isChecked(); }
void PrintPreview::setStayAfterPrinting(bool stay) { m_pin->setChecked(stay); }

void PrintPreview::computeFits() {
    const QSize avail = m_scroll->viewport()->size() - QSize(8, 8);
    m_fitWidth = previewlogic::fitFactor(avail.width() - m_scroll->verticalScrollBar()->sizeHint().width(),
                                         m_view->natural().width());
    m_fitHeight = previewlogic::fitFactor(avail.height(), m_view->natural().height());
}

void PrintPreview::showPage(int page) {
    if (m_pages.isEmpty() || page < 1 || page > pageCount()) return;
    if (page != m_page) m_view->load(m_pages[page - 1]);
    m_page = page;
    updateView();
    updateNavigation();
}

void PrintPreview::updateView() {
    if (m_mode == Mode::Width) m_factor = m_fitWidth;
    else if (m_mode == Mode::Height) m_factor = m_fitHeight;
    m_factor = std::min(m_factor, previewlogic::MaxZoom);
    m_view->setFactor(m_factor);
    const QSignalBlocker block(m_zoom);
    m_zoom->setCurrentText(QString::number(m_factor));
    // The cursor tells what a click does: zoom in while the page is smaller than its true size.
    m_view->setCursor(m_factor < 100 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void PrintPreview::updateNavigation() {
    const bool first = m_page <= 1, last = m_page >= pageCount();
    button("first")->setEnabled(!first);
    button("previous")->setEnabled(!first);
    button("next")->setEnabled(!last);
    button("last")->setEnabled(!last);
    const QSignalBlocker block(m_pageNo);
    m_pageNo->setValue(m_page);
}

void PrintPreview::fullWidth() {
    m_zoomChoice = QStringLiteral("Width");
    m_mode = Mode::Width;
    computeFits();
    updateView();
}

void PrintPreview::fullHeight() {
    m_zoomChoice = QStringLiteral("Height");
    m_mode = Mode::Height;
    computeFits();
    updateView();
}

void PrintPreview::setZoom(int percent) {
    if (percent <= 0) return;
    m_mode = Mode::Factor;
    m_factor = std::min(percent, previewlogic::MaxZoom);
    m_zoomChoice = QString::number(m_factor);
    updateView();
}

void PrintPreview::toggleZoom() {
    computeFits();
    if (m_factor < 100) {
        setZoom(100);
    } else {
        setZoom(std::min(m_fitWidth, m_fitHeight));
        m_zoomChoice = QStringLiteral("Page");
    }
}

void PrintPreview::nextHit() {
    if (m_hits.isEmpty()) {
        QApplication::beep();
        return;
    }
    m_hit = std::min(m_hit + 1, int(m_hits.size()));
    showPage(m_hits[m_hit - 1]);
}

void PrintPreview::previousHit() {
    if (m_hits.isEmpty()) {
        QApplication::beep();
        return;
    }
    m_hit = std::max(m_hit - 1, 1);
    showPage(m_hits[m_hit - 1]);
}

void PrintPreview::search(const QString &text, bool matchCase) {
    if (!whenComplete([this, text, matchCase] { search(text, matchCase); })) return;
    m_hits = previewlogic::searchPages(m_pages, text, matchCase);
    m_hit = 0;
    m_view->setMark(m_hits.isEmpty() ? QString() : text,
                    matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    if (m_hits.isEmpty()) {
        m_dialogs.message(m_texts["SearchNoHitHdr"], m_texts["SearchNoHitText"], Dlg::Exclamation);
        return;
    }
    m_dialogs.message(m_texts["SearchHitHdr"], previewlogic::searchHitText(int(m_hits.size()), m_texts),
                      Dlg::Information);
    nextHit();
}

void PrintPreview::openSearch() {
    QDialog find(this);
    find.setWindowTitle(m_texts["SearchCaption"]);
    auto *edit = new QLineEdit(&find);
    edit->setMaxLength(30);
    auto *matchCase = new QCheckBox(m_texts["SearchCaseOption"], &find);
    auto *buttons = new QDialogButtonBox(&find);
    buttons->addButton(m_texts["SearchBeginButton"], QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(m_texts["SearchCancelButton"], QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &find, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &find, &QDialog::reject);
    auto *layout = new QVBoxLayout(&find);
    layout->addWidget(new QLabel(m_texts["SearchPrompt"], &find));
    layout->addWidget(edit);
    layout->addWidget(matchCase);
    layout->addWidget(buttons);
    if (find.exec() == QDialog::Accepted) search(edit->text(), matchCase->isChecked());
}

bool PrintPreview::validatePages() {
    QList<previewlogic::PageRange> ranges;
    if (previewlogic::parsePages(m_pagesToPrint->text(), pageCount(), m_texts["PagesToPrintValue"], &ranges))
        return true;
    m_dialogs.message(m_texts["PagesToPrintErrorHdg"], previewlogic::pagesError(m_pagesToPrint->text(), m_texts),
                      Dlg::Exclamation);
    return false;
}

QList<bool> PrintPreview::chosen() const {
    QList<previewlogic::PageRange> ranges;
    previewlogic::parsePages(m_pagesToPrint->text(), pageCount(), m_texts["PagesToPrintValue"], &ranges);
    return previewlogic::deletedPages(ranges, pageCount());
}

void PrintPreview::print() {
    if (!whenComplete([this] { print(); })) return;
    if (m_pages.isEmpty() || !m_options.allowPrint || !validatePages()) return;
    QPrinter &printer = reportPrinter();
    if (!m_options.skipPrinterDialog) {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Select Printer..."));
        dialog.setMinMax(1, pageCount());
        printer.setPrintRange(QPrinter::AllPages);
        if (dialog.exec() != QDialog::Accepted) return;
        setWindowTitle(m_texts["Window Title"] + printerTitle());
        if (printer.printRange() == QPrinter::PageRange) {
            m_pagesToPrint->setText(QString::number(printer.fromPage()) + '-' + QString::number(printer.toPage()));
            if (!validatePages()) return;
        }
        if (SUPPORTED(PROPPRINT::Copies) == 1) m_copies->setValue(printer.copyCount());
    }
    const QList<bool> deleted = chosen();
    if (stayAfterPrinting()) {
        QStringList pages = previewlogic::chosenPages(m_pages, deleted);
        applyCopies(pages, m_copies->value());
        if (printOnReportPrinter(pages, {}, m_dialogs))
            m_pagesToPrint->setText(m_texts["PagesToPrintValue"]);
        return;
    }
    previewlogic::dropUnchosen(m_queue, deleted);
    applyCopies(m_queue, m_copies->value());
    done(1);
}

void PrintPreview::printThisPage() {
    // The page's "of" count is written only when the last page exists.
    if (!whenComplete([this] { printThisPage(); })) return;
    if (m_pages.isEmpty() || !m_options.allowPrint) return;
    QStringList page{m_pages[m_page - 1]};
    applyCopies(page, 1);
    printOnReportPrinter(page, {}, m_dialogs);
}

void PrintPreview::textOut() {
    if (!whenComplete([this] { textOut(); })) return;
    if (!validatePages()) return;
    QString file = m_options.textFile;
    if (file.startsWith('~'))
        file = '~' + previewlogic::inLastFolder(m_texts.iniFile(), file.mid(1));
    saved(WMF2ASCII(file, previewlogic::chosenPages(m_pages, chosen()), m_options.linesPerPage,
                    m_dialogs));
}

void PrintPreview::saveAsPdf() {
    if (!whenComplete([this] { saveAsPdf(); })) return;
    if (!validatePages()) return;
    const QString name = m_dialogs.saveFileName(
        tr("Save as PDF"),
        previewlogic::inLastFolder(m_texts.iniFile(), QStringLiteral("REPORT.PDF")),
        tr("PDF Files|*.PDF|All Files|*.*"));
    if (name.isEmpty()) return;
    QPdfWriter writer(name);
    writer.setCreator(QCoreApplication::applicationName());
    if (!report::printPages(writer, previewlogic::chosenPages(m_pages, chosen()))) {
        m_dialogs.message(QString::fromLatin1(previewlogic::FileErrorCaption),
                          previewlogic::notWrittenText(name, {}), Dlg::Error);
        return;
    }
    saved(name);
}

void PrintPreview::saved(const QString &file) {
    if (file.isEmpty()) return;
    previewlogic::setLastFolder(m_texts.iniFile(), file);
    m_status->showMessage(previewlogic::savedText(file));
}

void PrintPreview::exit() { done(2); }

void PrintPreview::updateCount() {
    const QSignalBlocker block(m_pageNo);
    m_pageNo->setRange(1, std::max(1, pageCount()));
    m_of->setText(m_texts["PageOFprompt"] + ' ' + QString::number(pageCount()));
}

bool PrintPreview::whenComplete(std::function<void()> action) {
    if (!m_generating) return true;
    m_waiting = std::move(action);
    m_status->showMessage(kWaiting);
    return false;
}

void PrintPreview::beginGenerating(const QString &cancelText) {
    m_generating = true;
    m_cancel->setText(cancelText);
    for (QWidget *w : {static_cast<QWidget *>(m_progressText), static_cast<QWidget *>(m_progress),
                       static_cast<QWidget *>(m_cancel)})
        w->show();
}

void PrintPreview::setProgress(int percent, const QString &text) {
    m_progress->setValue(percent);
    m_progressText->setText(text);
}

void PrintPreview::pagesAdded() {
    const qsizetype had = m_pages.size();
    if (m_queue.size() <= had) return;
    m_pages += m_queue.mid(had);
    if (had == 0) {
        m_page = 1;
        m_view->load(m_pages.first());
        computeFits();
        updateView();
    }
    updateCount();
    updateNavigation();
}

void PrintPreview::endGenerating(bool complete) {
    m_generating = false;
    for (QWidget *w : {static_cast<QWidget *>(m_progressText), static_cast<QWidget *>(m_progress),
                       static_cast<QWidget *>(m_cancel)})
        w->hide();
    // The files now carry their page counts: the page shown is read again.
    m_pages = m_queue;
    m_page = std::clamp(m_page, 1, std::max(1, pageCount()));
    if (!m_pages.isEmpty()) m_view->load(m_pages[m_page - 1]);
    updateView();
    updateCount();
    updateNavigation();
    std::function<void()> waiting = std::move(m_waiting);
    m_waiting = nullptr;
    m_status->clearMessage();
    if (!waiting) return;
    if (complete) waiting();
    else m_status->showMessage(kNotDone);
}

void PrintPreview::done(int result) {
    if (m_placementActive) previewlogic::writePlacement(m_texts.iniFile(), geometry());
    if (!m_zoomChoice.isEmpty()) previewlogic::writeZoom(m_texts.iniFile(), m_zoomChoice);
    m_zoomChoice.clear();
    m_placementActive = false;
    setPreviewTextButton(nullptr);
    QDialog::done(result == 1 ? 1 : 2);
}

QMenu *PrintPreview::popupMenu(bool fromButton) {
    auto *menu = new QMenu(this);
    const bool first = m_page <= 1, last = m_page >= pageCount();
    auto add = [&](const char *key, auto action, bool enabled = true) {
        QAction *a = menu->addAction(m_texts[key]);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, action);
        return a;
    };
    add("PmenuFullHeightStr", [this] { fullHeight(); });
    add("PmenuFullWidthStr", [this] { fullWidth(); });
    add("PmenuZoomPctStr", [this] { m_zoom->setFocus(); });
    add("PmenuFirstPageStr", [this] { firstPage(); }, !first);
    add("PmenuPrevPageStr", [this] { previousPage(); }, !first);
    add("PmenuNextPageStr", [this] { nextPage(); }, !last);
    add("PmenuLastPageStr", [this] { lastPage(); }, !last);
    add("PmenuPrintPageStr", [this] { printThisPage(); }, fromButton && m_options.allowPrint);
    add("PmenuGoToPageStr", [this] { m_pageNo->setFocus(); }, pageCount() >= 2);
    add("PmenuPagesToPrintStr", [this] { m_pagesToPrint->setFocus(); });
    add("PmenuCopiesStr", [this] { m_copies->setFocus(); }, m_options.allowPrint);
    add("PmenuPrintStr", [this] { print(); }, m_options.allowPrint);
    add("PmenuExitStr", [this] { exit(); }, m_options.showExit);
    if (m_options.allowPrint) add("PmenuTextOutStr", [this] { textOut(); }, m_options.showTextOut);
    add("SearchTip", [this] { openSearch(); });
    return menu;
}

void PrintPreview::keyPressEvent(QKeyEvent *event) {
    QScrollBar *v = m_scroll->verticalScrollBar();
    const int step = std::max(1, qRound((v->maximum() - v->minimum() + v->pageStep()) / 25.5));
    switch (event->key()) {
    case Qt::Key_Up:
        if (v->value() <= v->minimum() && m_page > 1) {
            previousPage();
            v->setValue(v->maximum());
        } else {
            v->setValue(v->value() - step);
        }
        return;
    case Qt::Key_Down:
        if (v->value() >= v->maximum() && m_page < pageCount()) {
            nextPage();
            v->setValue(v->minimum());
        } else {
            v->setValue(v->value() + step);
        }
        return;
    case Qt::Key_F1: {
        // The help file named in the settings; a help context has no meaning outside Windows help.
        const QString help = IniFile::get(m_texts.iniFile(), "PREVIEW HELP 2.0", "PreviewHelp").trimmed();
        if (!help.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(help));
        return;
    }
    case Qt::Key_F3: nextHit(); return;
    case Qt::Key_F2: previousHit(); return;
    case Qt::Key_Space: toggleZoom(); return;
    case Qt::Key_Escape:
        if (m_options.escCloses) exit();
        return;
    default: QDialog::keyPressEvent(event);
    }
}

bool PrintPreview::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_view && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        toggleZoom();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PrintPreview::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_fitted) return;
    // The fits need the laid-out window, so the first one waits for the window to show.
    m_fitted = true;
    layout()->activate();
    computeFits();
    // The zoom the user chose last time, unless the caller asks for one.
    const QString kept = previewlogic::readZoom(m_texts.iniFile());
    if (m_mode == Mode::Factor && !m_options.useZoom) {
        if (kept.compare(QLatin1String("Width"), Qt::CaseInsensitive) == 0)
            m_mode = Mode::Width;
        else if (kept.compare(QLatin1String("Height"), Qt::CaseInsensitive) == 0)
            m_mode = Mode::Height;
    }
    if (m_mode == Mode::Factor) {
        const int percent = kept.toInt();
        m_factor = m_options.useZoom ? m_requestedZoom
                   : percent > 0     ? std::min(percent, previewlogic::MaxZoom)
                                     : std::min(m_fitWidth, m_fitHeight);
    }
    updateView();
}

void PrintPreview::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    computeFits();
    if (m_mode != Mode::Factor) updateView();
}

qint32 PRINTPREVIEW(QStringList &pageQueue, qint32 zoom, const PreviewOptions &options, const QString &iniFile,
                    Dialogs &dialogs) {
    PrintPreview window(pageQueue, zoom, options, iniFile, dialogs);
    return window.exec() == 1 ? 1 : 2;
}
