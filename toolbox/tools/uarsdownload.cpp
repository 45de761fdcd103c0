#include "uarsdownload.h"

#include "common/app.h"
#include "common/enhancedfocus.h"
#include "common/windows.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "toolbox/toolboxglobals.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("UARS Download ....");
const QString kChooseCaption = QStringLiteral("Choose UARS Download File Name ...");
const QString kChooseFilter = QStringLiteral("All Files|*.*");
const QString kCutNote =
    QStringLiteral("%1 line(s) had more than %2 values; only the first %2 of each are shown.");

// The kind of a line by its first value; anything else is a detail line.
QString kindOf(const QString &first) {
    const QString v = clip(first).toUpper();
    if (v == "HEADER") return "H";
    if (v == "END-OF-REMIT") return "R";
    if (v == "END-OF-FILE") return "F";
    return "D";
}
} // namespace

UarsDownload::Line UarsDownload::parse(const QString &input, bool *cut) {
    const QString text = input.left(LineWidth);
    Line line;
    const qsizetype comma = text.indexOf(',');
    line.RECORDTYPE = kindOf(comma < 0 ? text : text.left(comma));
    QString rest = text;
    if (line.RECORDTYPE != "D") rest = comma < 0 ? QString() : text.mid(comma + 1);
    const QStringList values =
        line.RECORDTYPE != "D" && comma < 0 ? QStringList() : rest.split(',');
    if (cut) *cut = values.size() > MaxFields;
    for (const QString &v : values.mid(0, MaxFields)) line.FIELDS << clip(v).left(FieldWidth);
    return line;
}

bool UarsDownload::process(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QList<Line> lines;
    int cut = 0;
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r')) bytes.chop(1);
        bool tooMany = false;
        lines << parse(FixedWidth::decode(bytes), &tooMany);
        if (tooMany) ++cut;
    }
    if (lines.isEmpty()) return false;
    DATAQUEUE = lines;
    linesCut = cut;
    MEMBERQUEUE.clear();
    auto value = [](const Line &l, int oneBased) { return l.FIELDS.value(oneBased - 1); };
    for (const Line &l : DATAQUEUE)
        if (l.RECORDTYPE == "D") MEMBERQUEUE << Row{value(l, 2), value(l, 1), value(l, 11), value(l, 7)};
    return true;
}

QString UarsDownload::note() const {
    return linesCut > 0 ? kCutNote.arg(linesCut).arg(MaxFields) : QString();
}

UarsDownloadWindow::UarsDownloadWindow(Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_dialogs(dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("UARSDOWNLOADWINDOW");
    setWindowTitle(kCaption);
    m_fileName = new QLineEdit(ToolboxGLO().FILENAME);
    m_fileName->setObjectName("GLO:FILENAME");
    m_fileName->setMaxLength(255);
    auto *choose = new QPushButton("...");
    choose->setObjectName("Choose");
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel("Download File Name:"));
    pathRow->addWidget(m_fileName, 1);
    pathRow->addWidget(choose);
    m_list = new QTableWidget(0, 4);
    m_list->setObjectName("MEMBERQUEUE");
    m_list->setHorizontalHeaderLabels({"Name", "SSN", "Amount", "Description"});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_note = new QLabel;
    m_note->setObjectName("Note");
    m_note->hide();
    auto *processButton = new QPushButton("Process Download File");
    auto *cancel = new QPushButton("&Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(processButton);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(pathRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_note);
    layout->addLayout(buttons);
    connect(choose, &QPushButton::clicked, this, &UarsDownloadWindow::choose);
    connect(processButton, &QPushButton::clicked, this, &UarsDownloadWindow::process);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_fileName, &QLineEdit::textChanged, this, [](const QString &t) { ToolboxGLO().FILENAME = t; });
    resize(640, 420);
}

void UarsDownloadWindow::choose() {
    const QString chosen = m_dialogs.openFileName(kChooseCaption, ToolboxGLO().FILENAME, kChooseFilter);
    if (!chosen.isEmpty()) m_fileName->setText(chosen.left(255));
}

void UarsDownloadWindow::process() {
    if (!m_logic.process(m_fileName->text())) return;
    m_list->setRowCount(int(m_logic.MEMBERQUEUE.size()));
    int row = 0;
    for (const UarsDownload::Row &r : m_logic.MEMBERQUEUE)
        Windows::fillRow(m_list, row++, {r.NAME, r.SSN, r.AMOUNT, r.DESCRIPTION}, {2});
    m_note->setText(m_logic.note());
    m_note->setVisible(!m_logic.note().isEmpty());
}

void UARSDOWNLOADWINDOW() { Windows::start(new UarsDownloadWindow(App::dialogs())); }
