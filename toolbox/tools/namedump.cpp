#include "namedump.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/pacer.h"
#include "common/windows.h"
#include "data/lookups.h"
#include "platform/clock.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "toolbox/toolboxglobals.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Name And Address Dump ....");
const QString kDoneCaption = QStringLiteral("Done ...");
const QString kDone = QStringLiteral("Dump Completed.");
const QString kBrowseCaption = QStringLiteral("Select Destination ...");
const QString kBrowseFilter = QStringLiteral("*.dmp");
const QString kNotWritten = QStringLiteral("The dump file %1 could not be written: %2.");
const QString kReadFailed = QStringLiteral(
    "The members or their balances could not be read; no dump file was written.  Error: %1.");
const QString kDatePicture = QStringLiteral("@d2");
const QString kBalancePicture = QStringLiteral("@n-20.2");

// A date column: mm/dd/yyyy, or blanks when there is no date.
QString dateText(qint32 day) { return day > 0 ? Picture::format(qint64(day), kDatePicture) : QString(); }
} // namespace

void NameAddressDump::Columns::setAll(bool on) {
    LOCALCODE = DATECLOSED = ACCTNUM = LASTNAME = FIRSTNAME = ADDRESSLINE1 = ADDRESSLINE2 = CITY =
        STATE = ZIP = BIRTHDATE = DATEJOINED = SSNUM = on;
}

NameAddressDump::NameAddressDump(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}

QString NameAddressDump::line(const MemberCU &m, const Columns &c, const Decimal *balance,
                              qint32 balanceDate) {
    QString out(LineWidth, ' ');
    auto put = [&](bool on, int pos, int width, const QString &text) {
        if (on) out.replace(pos, width, FixedWidth::left(clip(text), width));
    };
    put(c.ACCTNUM, 0, 10, QString::number(m.ACCTNUM));
    put(c.FIRSTNAME, 10, 40, m.FIRSTNAME);
    put(c.LASTNAME, 50, 40, m.LASTNAME);
    put(c.ADDRESSLINE1, 90, 40, m.ADDR1);
    put(c.ADDRESSLINE2, 130, 40, m.ADDR2);
    put(c.CITY, 170, 40, m.CITY);
    put(c.STATE, 210, 2, m.STATE);
    put(c.ZIP, 212, 10, m.ZIP);
    put(c.SSNUM, 222, 11, m.SSNUM);
    put(c.BIRTHDATE, 233, 10, dateText(m.BIRTHDATE));
    put(c.DATEJOINED, 243, 10, dateText(m.DATEJOINED));
    put(c.LOCALCODE, 253, 10, QString::number(m.LOCALCODE));
    put(c.DATECLOSED, 263, 10, dateText(m.DATECLOSED));
    if (balance) {
        put(true, 273, 10, dateText(balanceDate));
        // Right-aligned in the first 20 of the column's 25 characters.
        put(true, 283, 20, FixedWidth::right(Picture::format(*balance, kBalancePicture), 20));
    }
    return out;
}

bool NameAddressDump::included(const MemberCU &m) const {
    return m.DATECLOSED == 0 || (m.DATECLOSED > 0 && LOC.CLOSEDACCOUNTS);
}

bool NameAddressDump::createDumpFile(const QString &path) {
    membersWritten = 0;
    auto readFailed = [&] {
        m_dialogs.message(kCaption, kReadFailed.arg(storage::lastErrorText()), Dlg::Error);
        return false;
    };
    auto notWritten = [&](const QString &why) {
        m_dialogs.message(kCaption, kNotWritten.arg(path, why), Dlg::Error);
        return false;
    };
    if (LOC.BALANCES && LOC.BALANCEDATE <= 0) {
        Entries::notADate(m_dialogs, Picture::format(qint64(LOC.BALANCEDATE), kDatePicture));
        return false;
    }
    storage::DataFile<MemberCU> mem(m_db);
    if (!mem.open()) return readFailed();
    storage::ReadSnapshot snapshot(m_db); // the whole file from one state of the fund
    FixedWidthFile out(path);
    if (!out.open()) return notWritten(out.errorString());
    const qint64 total = mem.count();
    qint64 counter = 0;
    mem.setStart(MemberCU::Name_Key);
    while (mem.next()) {
        ++counter;
        LOC.NAME = clip(mem.rec.FIRSTNAME) + " " + clip(mem.rec.LASTNAME);
        LOC.PERCENTAGE = total > 0 ? int(std::min<qint64>(counter * 100 / total, 100)) : 0;
        if (changed) changed();
        if (!included(mem.rec)) continue;
        Decimal balance(0, 2), preYtd, ytd;
        if (LOC.BALANCES && !GETBALANCE(m_db, QString::number(mem.rec.ACCTNUM), balance, preYtd, ytd,
                                        LOC.BALANCEDATE))
            return readFailed();
        out.writeLine(line(mem.rec, LOC.columns, LOC.BALANCES ? &balance : nullptr, LOC.BALANCEDATE),
                      LineWidth);
        ++membersWritten;
    }
    if (mem.failed()) return readFailed();
    if (!out.commit()) return notWritten(out.errorString());
    m_dialogs.message(kDoneCaption, kDone, Dlg::Exclamation);
    return true;
}

NameAddressDumpWindow::NameAddressDumpWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs), m_dialogs(dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("NAMEADDRESSDUMP");
    setWindowTitle(kCaption);
    auto box = [](const QString &text, const QString &name) {
        auto *b = new QCheckBox(text);
        b->setObjectName(name);
        return b;
    };
    const QList<QPair<QString, QString>> columns{
        {" Local Code", "LOC:LOCALCODE"},       {" Date Closed", "LOC:DATECLOSED"},
        {" Account Number", "LOC:ACCTNUM"},     {" Last Name", "LOC:LASTNAME"},
        {" First Name", "LOC:FIRSTNAME"},       {" Address Line #1", "LOC:ADDRESSLINE1"},
        {" Address Line #2", "LOC:ADDRESSLINE2"}, {" City", "LOC:CITY"},
        {" State", "LOC:STATE"},                {" ZipCode", "LOC:ZIP"},
        {" Birth Date", "LOC:BIRTHDATE"},       {" Join Date", "LOC:DATEJOINED"},
        {" Social Security Number", "LOC:SSNUM"}};
    auto *grid = new QGridLayout;
    for (int i = 0; i < columns.size(); ++i) {
        m_columns << box(columns[i].first, columns[i].second);
        grid->addWidget(m_columns.last(), i / 2, i % 2);
    }
    m_closed = box(" Include closed accounts", "LOC:CLOSEDACCOUNTS");
    m_balances = box(" Include Balances", "LOC:BALANCES");
    m_balanceLabel = new QLabel("Balance as of:");
    m_balanceDate = new QLineEdit;
    m_balanceDate->setObjectName("LOC:BALANCEDATE");
    Entries::setDate(m_balanceDate, kDatePicture);
    auto *balanceRow = new QHBoxLayout;
    balanceRow->addWidget(m_balances);
    balanceRow->addWidget(m_balanceLabel);
    balanceRow->addWidget(m_balanceDate);
    balanceRow->addStretch(1);
    m_fileName = new QLineEdit(ToolboxGLO().FILENAME);
    m_fileName->setObjectName("GLO:FILENAME");
    m_fileName->setMaxLength(255);
    auto *browse = new QPushButton("...");
    browse->setObjectName("Browse");
    browse->setToolTip("Browse");
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_fileName, 1);
    pathRow->addWidget(browse);
    m_nameLabel = new QLabel("Processing Member:");
    m_name = new QLabel;
    m_name->setObjectName("LOC:NAME");
    m_percent = new QProgressBar;
    m_percent->setObjectName("LOC:PERCENTAGE");
    m_percent->setRange(0, 100);
    m_percent->setTextVisible(false);
    m_percentText = new QLabel;
    m_percentText->setObjectName("LOC:PERCENTAGESTRING");
    auto *progress = new QHBoxLayout;
    progress->addWidget(m_nameLabel);
    progress->addWidget(m_name, 1);
    progress->addWidget(m_percent);
    progress->addWidget(m_percentText);
    m_create = new QPushButton("&Create Dump File");
    auto *cancel = new QPushButton("Cancel");
    auto *checkAll = new QPushButton("&Check All");
    auto *uncheckAll = new QPushButton("&UnCheck All");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(checkAll);
    buttons->addWidget(uncheckAll);
    buttons->addStretch(1);
    buttons->addWidget(m_create);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_closed);
    layout->addLayout(balanceRow);
    layout->addWidget(new QLabel("File Name and Path (Name of File you want to create):"));
    layout->addLayout(pathRow);
    layout->addLayout(progress);
    layout->addLayout(buttons);
    for (QWidget *w : std::initializer_list<QWidget *>{m_balanceLabel, m_balanceDate, m_nameLabel, m_name,
                                                       m_percent, m_percentText})
        w->hide();
    connect(browse, &QPushButton::clicked, this, &NameAddressDumpWindow::browse);
    connect(checkAll, &QPushButton::clicked, this, [this] { setAll(true); });
    connect(uncheckAll, &QPushButton::clicked, this, [this] { setAll(false); });
    connect(m_balances, &QCheckBox::toggled, this, &NameAddressDumpWindow::balancesToggled);
    connect(m_create, &QPushButton::clicked, this, &NameAddressDumpWindow::create);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_fileName, &QLineEdit::textChanged, this, [](const QString &t) { ToolboxGLO().FILENAME = t; });
    // Once per member; the window system gets its turn now and then.
    auto pacer = std::make_shared<Pacer>();
    m_logic.changed = [this, pacer] {
        m_name->setText(m_logic.LOC.NAME);
        m_percent->setValue(m_logic.LOC.PERCENTAGE);
        m_percentText->setText(QString("%1%").arg(m_logic.LOC.PERCENTAGE));
        if (pacer->due()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

NameAddressDumpWindow::~NameAddressDumpWindow() { Entries::detachEntries(this); }

QCheckBox *NameAddressDumpWindow::check(const QString &objectName) const {
    return findChild<QCheckBox *>(objectName);
}

void NameAddressDumpWindow::browse() {
    const QString chosen = m_dialogs.saveFileName(kBrowseCaption, ToolboxGLO().FILENAME, kBrowseFilter);
    if (!chosen.isEmpty()) m_fileName->setText(chosen.left(255));
}

void NameAddressDumpWindow::setAll(bool on) {
    for (QCheckBox *b : m_columns) b->setChecked(on);
}

void NameAddressDumpWindow::balancesToggled(bool on) {
    m_balanceLabel->setVisible(on);
    m_balanceDate->setVisible(on);
    if (!on) return;
    m_balanceDate->setText(Picture::format(qint64(Clock::today()), kDatePicture));
    m_balanceDate->setFocus();
    m_balanceDate->selectAll();
}

void NameAddressDumpWindow::readSwitches() {
    NameAddressDump::Columns &c = m_logic.LOC.columns;
    bool *fields[] = {&c.LOCALCODE, &c.DATECLOSED, &c.ACCTNUM,   &c.LASTNAME,   &c.FIRSTNAME,
                      &c.ADDRESSLINE1, &c.ADDRESSLINE2, &c.CITY, &c.STATE, &c.ZIP,
                      &c.BIRTHDATE, &c.DATEJOINED, &c.SSNUM};
    for (int i = 0; i < m_columns.size(); ++i) *fields[i] = m_columns[i]->isChecked();
    m_logic.LOC.CLOSEDACCOUNTS = m_closed->isChecked();
    m_logic.LOC.BALANCES = m_balances->isChecked();
}

void NameAddressDumpWindow::create() {
    readSwitches();
    if (m_logic.LOC.BALANCES &&
        !Entries::readDate(m_dialogs, m_balanceDate->text(), m_logic.LOC.BALANCEDATE))
        return;
    m_create->setEnabled(false);
    for (QWidget *w : std::initializer_list<QWidget *>{m_nameLabel, m_name, m_percent, m_percentText})
        w->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const bool done = m_logic.createDumpFile(m_fileName->text());
    m_create->setEnabled(true);
    if (done) QTimer::singleShot(0, this, &QWidget::close);
}

void NAMEADDRESSDUMP() {
    storage::DataFile<MemberCU> mem(App::db());
    storage::DataFile<Trans> tra(App::db());
    if (!CHECKOPEN(mem, App::dialogs()) || !CHECKOPEN(tra, App::dialogs())) return;
    Windows::start(new NameAddressDumpWindow(App::db(), App::dialogs()));
}
