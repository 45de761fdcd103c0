#include "labels.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "memberformat.h"

#include <QComboBox>
#include <QSpinBox>

namespace {
const QString kProcedure = QStringLiteral("MEMLABWIN");
const QString kTitle = QStringLiteral("Participant Labels");
const QString kStockPrompt = QStringLiteral("Label Stock:");
const QString kStartPrompt = QStringLiteral("Start At Label:");
const QString kStockKey = QStringLiteral("Stock");
const QString kStartKey = QStringLiteral("StartPosition");
const QString kBadStart = QStringLiteral("A sheet of these labels has positions 1 to %1.");

const report::Font kLabelFont{QStringLiteral("Courier New"), 9};
// Room inside the label's edges, and a line of text.
constexpr int kPadX = 120, kPadY = 90, kLine = 167;
} // namespace

QPoint LabelStock::place(int slot) const {
    const int col = slot % columns, row = (slot / columns) % rows;
    return {left + col * pitchX, top + row * pitchY};
}

namespace Labels {
const QList<LabelStock> &stocks() {
    static const QList<LabelStock> list{
        {QStringLiteral("3 x 10 (1\" x 2 5/8\")"), 3, 10, 188, 500, 2750, 1000, 2625, 1000},
        {QStringLiteral("2 x 10 (1\" x 4\")"), 2, 10, 156, 500, 4188, 1000, 4000, 1000},
        {QStringLiteral("2 x 7 (1 1/3\" x 4\")"), 2, 7, 156, 833, 4188, 1333, 4000, 1333}};
    return list;
}
} // namespace Labels

MailingLabels::MailingLabels(storage::Database &db, Dialogs &dialogs) : ReportLogic(db, dialogs) {}
MailingLabels::~MailingLabels() = default;

QString MailingLabels::reportName() const { return kProcedure; }
QString MailingLabels::heading() const { return kTitle; }

bool MailingLabels::begin(ReportRun &run) {
    m_mem = std::make_unique<storage::DataFile<MemberCU>>(m_db);
    if (!CHECKOPEN(*m_mem, m_dialogs)) return false;
    run.recordsToProcess = m_mem->count();
    m_walk = std::make_unique<MemberWalk>(*m_mem, selection);
    COUNT = 0;
    return true;
}

bool MailingLabels::step(ReportRun &run) {
    if (!m_walk->next()) return m_walk->failed() ? readFailed(run) : false;
    const LabelStock &stock = Labels::stocks().value(STOCK, Labels::stocks().first());
    const int slot = qBound(1, STARTPOSITION, stock.perSheet()) - 1 + COUNT;
    report::Report &r = run.report();
    // A full sheet is a page; the next label starts the next one.
    if (COUNT > 0 && slot % stock.perSheet() == 0) r.endPage();
    const QPoint at = stock.place(slot % stock.perSheet());
    const QStringList lines = MemberFormat::addressLines(m_mem->rec);
    const int room = (stock.height - 2 * kPadY) / kLine;
    for (int i = 0; i < lines.size() && i < room; ++i)
        r.text(at.x() + kPadX, at.y() + kPadY + i * kLine, lines[i], kLabelFont, report::Align::Left,
               stock.width - 2 * kPadX, true);
    ++COUNT;
    return true;
}

LabelsWindow::LabelsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : ReportWindow(db, dialogs, kTitle, kProcedure, parent), m_logic(db, dialogs) {
    addSelection();
    m_stock = new QComboBox(this);
    m_stock->setObjectName("stock");
    for (const LabelStock &s : Labels::stocks()) m_stock->addItem(s.name);
    m_stock->setCurrentIndex(qBound(0, int(choices().number(kStockKey, 0)), int(Labels::stocks().size()) - 1));
    addRow(kStockPrompt, m_stock);
    m_start = new QSpinBox(this);
    m_start->setObjectName("startPosition");
    addRow(kStartPrompt, m_start);
    stockChanged();
    m_start->setValue(int(choices().number(kStartKey, 1)));
    connect(m_stock, &QComboBox::currentIndexChanged, this, [this] { stockChanged(); });
    finishLayout();
}

void LabelsWindow::stockChanged() {
    m_start->setRange(1, Labels::stocks()[m_stock->currentIndex()].perSheet());
}

bool LabelsWindow::readChoices() {
    const LabelStock &stock = Labels::stocks()[m_stock->currentIndex()];
    if (m_start->value() < 1 || m_start->value() > stock.perSheet()) {
        m_dialogs.message(windowTitle(), kBadStart.arg(stock.perSheet()), Dlg::Exclamation);
        return false;
    }
    m_logic.STOCK = m_stock->currentIndex();
    m_logic.STARTPOSITION = m_start->value();
    m_logic.selection = memberSelection();
    return true;
}

void LabelsWindow::storeChoices(ReportChoices &c) {
    c.setNumber(kStockKey, m_logic.STOCK);
    // The next run starts on a fresh sheet unless told otherwise.
    c.setNumber(kStartKey, 1);
}

void LabelsWindow::runReport() { m_logic.run(); }

void MEMLABWIN() { startReportWindow(new LabelsWindow(App::db(), App::dialogs())); }
