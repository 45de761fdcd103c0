#include "browsewindow.h"

#include "app.h"
#include "enhancedfocus.h"
#include "checkopen.h"
#include "windows.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kScrollRange = 1000;
}

BrowseWindow::BrowseWindow(storage::Database &db, const storage::FileDef &file, BrowseConfig config,
                           bool selectMode, QWidget *parent)
    : QWidget(parent), m_table(std::make_unique<storage::Table>(db, file)), m_config(std::move(config)),
      m_select(selectMode) {
    EnhancedFocusClassType::install(this);
    setObjectName(m_config.objectName);
    setWindowTitle(m_config.caption);
    m_list = new BrowseList(*m_table, this);
    m_list->setColumns(m_config.columns);
    m_list->setFilter(m_config.filter);

    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabBar;
    for (const BrowseTab &t : m_config.tabs) m_tabs->addTab(t.title);
    m_tabs->setVisible(m_config.showTabs);
    layout->addWidget(m_tabs);

    auto *locatorRow = new QHBoxLayout;
    m_locatorPrompt = new QLabel;
    m_locator = new QLineEdit;
    m_locator->setObjectName("locator");
    locatorRow->addWidget(m_locatorPrompt);
    locatorRow->addWidget(m_locator, 1);
    layout->addLayout(locatorRow);

    auto *body = new QHBoxLayout;
    m_view = new QTableView;
    m_view->setModel(m_list);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    m_view->verticalHeader()->setDefaultSectionSize(m_config.rowLines * m_view->fontMetrics().lineSpacing() + 8);
    // Widths in characters of the widest kind a column holds (digits in numbers, SSNs, dates).
    int charWidth = std::max(m_view->fontMetrics().averageCharWidth(), m_view->fontMetrics().horizontalAdvance(QLatin1Char('0')));
    for (int i = 0; i < m_config.columns.size(); ++i)
        m_view->setColumnWidth(i, std::clamp(m_config.columns[i].width, 3, 60) * charWidth + 12);
    m_scroll = new QScrollBar(Qt::Vertical);
    m_scroll->setRange(0, kScrollRange);
    m_scroll->setPageStep(kScrollRange / 10);
    body->addWidget(m_view, 1);
    body->addWidget(m_scroll);
    layout->addLayout(body, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto addButton = [&](const QString &text, auto slot) {
        auto *b = new QPushButton(text);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        m_buttons << b;
        return b;
    };
    addButton("&Select", &BrowseWindow::selectRecord)->setVisible(m_select);
    addButton("&Add", &BrowseWindow::insertRecord)->setVisible(m_config.allowInsert);
    addButton("&Edit", &BrowseWindow::changeRecord)->setVisible(m_config.allowChange);
    addButton("&Delete", &BrowseWindow::deleteRecord)->setVisible(m_config.allowDelete);
    addButton(m_config.closeText, &QWidget::close);
    layout->addLayout(buttons);

    connect(m_view, &QTableView::clicked, this, [this](const QModelIndex &i) {
        m_locatorPending = false; // the row chosen by hand counts, not what was typed before
        m_list->setCurrent(i.row());
        syncView();
    });
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &i) {
        m_locatorPending = false;
        m_list->setCurrent(i.row());
        if (m_select) selectRecord();
        else if (m_config.allowChange) changeRecord();
    });
    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { contextMenu()->popup(m_view->viewport()->mapToGlobal(p)); });
    connect(m_tabs, &QTabBar::currentChanged, this, &BrowseWindow::setTab);
    connect(m_locator, &QLineEdit::textEdited, this, [this](const QString &t) {
        if (!m_config.tabs.value(m_tabs->currentIndex()).onAccept) locate(t);
        else m_locatorPending = true;
    });
    connect(m_locator, &QLineEdit::returnPressed, this, [this] { locate(m_locator->text()); });
    m_locator->installEventFilter(this);
    connect(m_scroll, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: m_list->down(); break;
        case QAbstractSlider::SliderSingleStepSub: m_list->up(); break;
        case QAbstractSlider::SliderPageStepAdd: m_list->pageDown(); break;
        case QAbstractSlider::SliderPageStepSub: m_list->pageUp(); break;
        case QAbstractSlider::SliderToMinimum: m_list->first(); break;
        case QAbstractSlider::SliderToMaximum: m_list->last(); break;
        default: return;
        }
        m_locatorPending = false;
        syncView();
    });
    connect(m_scroll, &QScrollBar::sliderReleased, this, [this] {
        m_locatorPending = false;
        qint64 n = m_list->count();
        if (m_scroll->value() >= kScrollRange) m_list->last();
        else m_list->jumpToRank(n * m_scroll->value() / kScrollRange);
        syncView();
    });

    resize(720, 440);
    m_ready = CHECKOPEN(*m_table, App::dialogs());
    if (m_ready) {
        setTab(0);
    }
}

BrowseWindow::~BrowseWindow() = default;

QPushButton *BrowseWindow::button(const QString &text) const {
    for (QPushButton *b : m_buttons)
        if (b->text() == text) return b;
    return nullptr;
}

QMenu *BrowseWindow::contextMenu() {
    if (!m_menu) m_menu = new QMenu(this);
    m_menu->clear();
    bool any = m_list->currentEntry() != nullptr;
    if (m_select) m_menu->addAction("&Select", this, &BrowseWindow::selectRecord)->setEnabled(any);
    if (m_config.allowInsert) m_menu->addAction("&Add", this, &BrowseWindow::insertRecord);
    if (m_config.allowChange) m_menu->addAction("&Edit", this, &BrowseWindow::changeRecord)->setEnabled(any);
    if (m_config.allowDelete) m_menu->addAction("&Delete", this, &BrowseWindow::deleteRecord)->setEnabled(any);
    return m_menu;
}

void BrowseWindow::setTab(int index) {
    if (index < 0 || index >= m_config.tabs.size()) return;
    if (m_tabs->currentIndex() != index) {
        m_tabs->setCurrentIndex(index); // comes back here through the signal
        return;
    }
    const BrowseTab &t = m_config.tabs[index];
    const BrowseList::Entry *current = m_list->currentEntry();
    BrowseList::Entry keep = current ? *current : BrowseList::Entry{};
    m_list->setKey(t.key);
    if (keep.pos) m_list->showRecord(keep.row, keep.pos);
    else m_list->first();
    m_locatorPrompt->setText(t.locatorPrompt);
    m_locatorPrompt->setVisible(!t.locatorPrompt.isEmpty());
    m_locator->setVisible(!t.locatorPrompt.isEmpty());
    m_locator->clear();
    m_locatorPending = false;
    int f = m_table->def().fieldIndex(t.locatorField);
    if (f >= 0 && m_table->def().fields[f].type == storage::FieldType::String)
        m_locator->setMaxLength(m_table->def().fields[f].size);
    syncView();
    if (m_shown) focusLocator();
}

// Typing goes to the locator of the current order, else to the list.
void BrowseWindow::focusLocator() {
    if (!m_locator->isHidden()) m_locator->setFocus(Qt::OtherFocusReason);
    else m_view->setFocus(Qt::OtherFocusReason);
}

void BrowseWindow::applyTypedLocator() {
    if (!m_locatorPending) return;
    locate(m_locator->text());
}

void BrowseWindow::locate(const QString &text) {
    m_locatorPending = false;
    const BrowseTab &t = m_config.tabs.value(m_tabs->currentIndex());
    int f = m_table->def().fieldIndex(t.locatorField);
    if (f < 0) return;
    m_table->clearBuffer();
    storage::Row values = m_table->row;
    if (m_table->def().fields[f].type == storage::FieldType::String) {
        if (text.trimmed().isEmpty() && t.onAccept) return;
        values[f] = text;
    } else {
        qint64 n = text.trimmed().toLongLong();
        if (n == 0 && t.onAccept) return; // 0 does not move the list
        values[f] = n;
    }
    m_list->locate(values, 1);
    syncView();
}

void BrowseWindow::syncView() {
    int row = m_list->current();
    if (row >= 0) m_view->selectRow(row);
    else m_view->clearSelection();
    updateButtons();
    // The thumb follows the page, computed after the moves have settled.
    QTimer::singleShot(50, this, [this] {
        qint64 n = m_list->count();
        m_scroll->blockSignals(true);
        m_scroll->setValue(n > 0 ? int(m_list->rankOfTop() * kScrollRange / n) : 0);
        m_scroll->blockSignals(false);
    });
}

void BrowseWindow::updateButtons() {
    bool any = m_list->currentEntry() != nullptr;
    if (QPushButton *b = button("&Select")) b->setEnabled(any && m_select);
    if (QPushButton *b = button("&Edit")) b->setEnabled(any);
    if (QPushButton *b = button("&Delete")) b->setEnabled(any);
}

void BrowseWindow::runForm(int request) {
    if (!m_config.form) return;
    for (;;) {
        const BrowseList::Entry *current = m_list->currentEntry();
        if (request != Request::InsertRecord && !current) return;
        qint64 pos = current ? current->pos : 0;
        // The neighbour that takes the place of a deleted record.
        std::optional<BrowseList::Entry> neighbour;
        if (request == Request::DeleteRecord) {
            int i = m_list->current();
            const auto &rows = m_list->entries();
            if (i + 1 < rows.size()) neighbour = rows[i + 1];
            else if (i > 0) neighbour = rows[i - 1];
        }
        VCRRequest() = VCR::None;
        GlobalRequest() = request;
        int response = m_config.form(request, pos);
        GlobalRequest() = Request::None;
        const int vcr = VCRRequest();
        VCRRequest() = VCR::None;
        if (response == Response::RequestCompleted) {
            if (request == Request::DeleteRecord) {
                if (neighbour) m_list->showRecord(neighbour->row, neighbour->pos);
                else m_list->first();
            } else if (m_table->getPosition(pos)) {
                m_list->showRecord(m_table->row, pos);
            } else {
                m_list->refresh();
            }
        } else {
            m_list->refresh();
        }
        syncView();
        if (response != Response::RequestCompleted || vcr == VCR::None) return;
        // The form asked to go on: to another record, or to a new one.
        switch (vcr) {
        case VCR::Forward: if (!m_list->down()) return; break;
        case VCR::Backward: if (!m_list->up()) return; break;
        case VCR::PageForward: if (!m_list->pageDown()) return; break;
        case VCR::PageBackward: if (!m_list->pageUp()) return; break;
        case VCR::First: m_list->first(); break;
        case VCR::Last: m_list->last(); break;
        case VCR::Insert: request = Request::InsertRecord; break;
        default: return;
        }
        if (vcr != VCR::Insert) request = Request::ChangeRecord;
        syncView();
    }
}

// Each request acts on the record the typed locator value leads to, Enter pressed or not.
void BrowseWindow::insertRecord() {
    applyTypedLocator();
    if (m_config.allowInsert) runForm(Request::InsertRecord);
}
void BrowseWindow::changeRecord() {
    applyTypedLocator();
    if (m_config.allowChange) runForm(Request::ChangeRecord);
}
void BrowseWindow::deleteRecord() {
    applyTypedLocator();
    if (m_config.allowDelete) runForm(Request::DeleteRecord);
}

void BrowseWindow::selectRecord() {
    applyTypedLocator();
    const BrowseList::Entry *current = m_list->currentEntry();
    if (!m_select || !current) return;
    if (m_config.select) m_config.select(current->row);
    m_response = Response::RequestCompleted;
    close();
}

void BrowseWindow::fitPage() {
    int rowHeight = m_view->verticalHeader()->defaultSectionSize();
    int rows = std::max(1, m_view->viewport()->height() / std::max(1, rowHeight));
    if (rows != m_list->pageSize()) {
        m_list->setPageSize(rows);
        if (m_ready) {
            m_list->refresh();
            syncView();
        }
    }
}

void BrowseWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    fitPage();
}

void BrowseWindow::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    focusLocator();
}

bool BrowseWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Wheel && watched == m_view->viewport()) {
        auto *w = static_cast<QWheelEvent *>(event);
        int steps = w->angleDelta().y() / 40;
        for (int i = 0; i < std::abs(steps); ++i) steps > 0 ? m_list->up() : m_list->down();
        m_locatorPending = false;
        syncView();
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == m_locator) {
        // The list moves from the locator too, so the hands stay on the keys.
        if (moveByKey(static_cast<QKeyEvent *>(event)->key())) return true;
    }
    if (event->type() == QEvent::KeyPress && watched == m_view) {
        auto *k = static_cast<QKeyEvent *>(event);
        if (moveByKey(k->key())) return true;
        bool handled = true;
        switch (k->key()) {
        case Qt::Key_Home: m_list->first(); break;
        case Qt::Key_End: m_list->last(); break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_select) selectRecord();
            else changeRecord();
            return true;
        case Qt::Key_Insert: insertRecord(); return true;
        case Qt::Key_Delete: deleteRecord(); return true;
        default: handled = false;
        }
        if (handled) {
            m_locatorPending = false; // moved by hand
            syncView();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Line and page keys move the list, from the locator as from the list itself.
bool BrowseWindow::moveByKey(int key) {
    switch (key) {
    case Qt::Key_Down: m_list->down(); break;
    case Qt::Key_Up: m_list->up(); break;
    case Qt::Key_PageDown: m_list->pageDown(); break;
    case Qt::Key_PageUp: m_list->pageUp(); break;
    default: return false;
    }
    m_locatorPending = false; // moved by hand
    syncView();
    return true;
}

void BrowseWindow::closeEvent(QCloseEvent *event) {
    if (m_response != Response::RequestCompleted)
        m_response = !m_select && m_config.closeCompletes ? Response::RequestCompleted : Response::RequestCancelled;
    GlobalResponse() = m_response;
    QWidget::closeEvent(event);
}

int BrowseWindow::run(BrowseWindow *window) {
    if (!window->ready()) {
        delete window;
        GlobalResponse() = Response::RequestCancelled;
        return Response::RequestCancelled;
    }
    if (!window->selectMode()) {
        Windows::start(window);
        return Response::RequestCompleted;
    }
    QDialog dialog(App::mdiArea() ? App::mdiArea()->window() : nullptr);
    dialog.setWindowTitle(window->windowTitle());
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(window);
    dialog.resize(window->size());
    QObject::connect(window, &QObject::destroyed, &dialog, &QDialog::reject);
    // The embedded browse closing (Select or its close button) ends the dialog.
    struct Watcher : QObject {
        QDialog *d;
        explicit Watcher(QDialog *d) : d(d) {}
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() == QEvent::Close) QTimer::singleShot(0, d, &QDialog::accept);
            return false;
        }
    } watcher(&dialog);
    window->installEventFilter(&watcher);
    dialog.exec();
    int response = window->response();
    GlobalResponse() = response;
    return response;
}
