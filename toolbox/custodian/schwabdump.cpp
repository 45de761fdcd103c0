#include "schwabdump.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/entries.h"
#include "common/windows.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/picture.h"
#include "platform/text.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Schwab Data Dump ...");
const QString kDoneCaption = QStringLiteral("Done");
const QString kDone = QStringLiteral("Dump Completed.");
const QString kBrowseCaption = QStringLiteral("Select Destination ...");
const QString kPathKey = QStringLiteral("Path");
const QString kFileNameKey = QStringLiteral("FileName");
// Ours: what keeps a file from being made, and what the office is told then.
const QString kNoDirectory = QStringLiteral("Please choose the directory for the dump file.");
const QString kNoFileName = QStringLiteral("Please enter the name of the dump file.");
const QString kNoEndingDate = QStringLiteral("Please enter the payroll ending date.");
const QString kNoPlanId = QStringLiteral(
    "The fund's plan identifier at the custodian is not set.  Enter it (at most %1 characters) as "
    "%2 in section [%3] of %4.  No file was written.");
const QString kPlanIdTooLong = QStringLiteral(
    "The plan identifier \"%1\" in %2 is longer than %3 characters.  No file was written.");
const QString kCannotWrite =
    QStringLiteral("The dump file %1 could not be written: %2.  No file was written.");
const QString kReadFailed = QStringLiteral(
    "The members or their transactions could not be read.  No file was written.  Error: %1.");

const QString kDate = QStringLiteral("@d2");
const QString kCountry = QStringLiteral("United States of America");
const QString kDetailId = QStringLiteral("100"), kTrailerId = QStringLiteral("101");

QString field(const QString &text, int width) { return FixedWidth::left(text, width); }
QString amount(const Decimal &value) { return FixedWidth::cents(value, 11); }
// MMDDYYYY; blanks for no date.
QString date(qint32 day) { return field(Picture::format(qint64(day), kDate).remove('/'), 8); }
QString firstCommaBlank(const QString &text) {
    QString s = clip(text);
    const qsizetype comma = s.indexOf(',');
    if (comma >= 0) s[comma] = ' ';
    return s;
}

QString detailLine(const QString &plan, const MemberCU &mem, const Decimal &month,
                   const Decimal &year) {
    // The first name up to and including its first blank; the letter after it is the middle
    // initial.
    const QString first = clip(mem.FIRSTNAME).toUpper();
    const qsizetype blank = first.indexOf(' ');
    const QString given = blank < 0 ? first : first.left(blank + 1);
    const QString middle = blank < 0 ? QString() : first.mid(blank + 1, 1);
    return kDetailId + field(plan, 6) + field(mem.SSNUM, 11) +
           field(firstCommaBlank(mem.LASTNAME).toUpper(), 20) + field(given, 15) +
           field(middle, 1) + amount(month) + amount(year) +
           field(firstCommaBlank(mem.ADDR1), 30) + field(firstCommaBlank(mem.ADDR2), 30) +
           field(clip(mem.CITY), 30) + field(mem.STATE, 2) + field(clip(mem.ZIP), 10) +
           field(kCountry, 30) + date(mem.BIRTHDATE) + date(mem.DATEJOINED) +
           date(mem.DATECLOSED);
}

QString trailerLine(const QString &plan, qint32 endingDate, const Decimal &total) {
    return kTrailerId + field(plan, 6) + date(endingDate) + amount(total);
}
} // namespace

SchwabDump::SchwabDump(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}

void SchwabDump::open() {
    const IniFile ini(App::iniPath(Custodian::IniName));
    LOC = Values();
    LOC.DIRECTORYNAME = ini.value(Custodian::DirectorySection, kPathKey).left(255);
    LOC.FILENAME = ini.value(Custodian::DirectorySection, kFileNameKey).left(255);
    LOC.ENDINGDATE = Clock::lastDayOfMonth(Clock::today());
}

QString SchwabDump::outputPath() const {
    return QDir(clip(LOC.DIRECTORYNAME)).filePath(clip(LOC.FILENAME));
}

bool SchwabDump::refuse(const QString &text, Dlg::Icon icon) {
    m_dialogs.message(kCaption, text, icon);
    return false;
}

QString SchwabDump::planId(bool &ok) {
    const QString path = App::iniPath(Custodian::IniName);
    const QString id = clip(IniFile(path).value(Custodian::PlanSection, Custodian::PlanIdKey));
    ok = false;
    if (id.trimmed().isEmpty())
        refuse(kNoPlanId.arg(Custodian::PlanIdWidth)
                   .arg(Custodian::PlanIdKey, Custodian::PlanSection, path));
    else if (id.size() > Custodian::PlanIdWidth)
        refuse(kPlanIdTooLong.arg(id, path).arg(Custodian::PlanIdWidth));
    else
        ok = true;
    return id;
}

bool SchwabDump::contributions(storage::DataFile<Trans> &tra, QHash<qint32, Totals> &totals) {
    const qint32 end = LOC.ENDINGDATE;
    const qint32 monthStart = Clock::firstDayOfMonth(end);
    totals.clear();
    tra.clear();
    tra.rec.TRANSDATE = Clock::dayNumber(Clock::year(end), 1, 1);
    tra.set(Trans::DateType_Key, 1);
    while (tra.next() && tra.rec.TRANSDATE <= end) {
        if (tra.rec.TRANSTYPE != TransType::Payroll) continue;
        Totals &t = totals[tra.rec.ACCTNUM];
        t.year += tra.rec.TRANSAMOUNT;
        if (tra.rec.TRANSDATE >= monthStart) t.month += tra.rec.TRANSAMOUNT;
        keepAlive();
    }
    return !tra.failed();
}

void SchwabDump::keepAlive() {
    if (progress && m_sinceProgress.elapsed() >= 20) {
        progress();
        m_sinceProgress.restart();
    }
}

bool SchwabDump::create() {
    if (clip(LOC.DIRECTORYNAME).isEmpty()) return refuse(kNoDirectory);
    if (clip(LOC.FILENAME).isEmpty()) return refuse(kNoFileName);
    if (LOC.ENDINGDATE <= 0) return refuse(kNoEndingDate);
    bool planOk = false;
    const QString plan = planId(planOk);
    if (!planOk) return false;

    IniFile ini(App::iniPath(Custodian::IniName));
    ini.setValue(Custodian::DirectorySection, kPathKey, clip(LOC.DIRECTORYNAME));
    ini.setValue(Custodian::DirectorySection, kFileNameKey, clip(LOC.FILENAME));
    ini.save();

    membersWritten = 0;
    GRANDTOTAL = Decimal(0, 2);
    storage::DataFile<MemberCU> mem(m_db);
    storage::DataFile<Trans> tra(m_db);
    if (!CHECKOPEN(mem, m_dialogs) || !CHECKOPEN(tra, m_dialogs)) return false;
    storage::ReadSnapshot snapshot(m_db); // the whole file from one state of the fund
    const QString path = outputPath();
    // Written under a temporary name and put in place only when complete.
    FixedWidthFile out(path);
    if (!out.open()) return refuse(kCannotWrite.arg(QDir::toNativeSeparators(path), out.errorString()), Dlg::Error);
    if (started) started();
    m_sinceProgress.start();

    const qint64 total = mem.count();
    const int endingYear = Clock::year(LOC.ENDINGDATE);
    qint64 processed = 0;
    Decimal grand(0, 2);
    auto readFailed = [&] {
        LOC.MEMBERNAME.clear();
        return refuse(kReadFailed.arg(storage::lastErrorText()), Dlg::Error);
    };
    QHash<qint32, Totals> totals;
    if (!contributions(tra, totals)) return readFailed();
    mem.setStart(MemberCU::Name_Key);
    while (mem.next()) {
        const MemberCU &MEM = mem.rec;
        LOC.MEMBERNAME = (clip(MEM.FIRSTNAME) + " " + clip(MEM.LASTNAME)).left(100);
        ++processed;
        LOC.PERCENTAGE = total > 0 ? int(std::min<qint64>(100, processed * 100 / total)) : 100;
        keepAlive();
        // Members closed before the ending date's year are no longer the custodian's.
        if (MEM.DATECLOSED > 0 && Clock::year(MEM.DATECLOSED) < endingYear) continue;
        const Totals t = totals.value(MEM.ACCTNUM);
        grand += t.month;
        out.writeLine(detailLine(plan, MEM, t.month, t.year), LineWidth);
        ++membersWritten;
    }
    if (mem.failed()) return readFailed();
    out.writeLine(trailerLine(plan, LOC.ENDINGDATE, grand), LineWidth);
    if (!out.commit())
        return refuse(kCannotWrite.arg(QDir::toNativeSeparators(path), out.errorString()), Dlg::Error);
    GRANDTOTAL = grand;
    m_dialogs.message(kDoneCaption, kDone, Dlg::Information);
    return true;
}

// The window.

SchwabDumpWindow::SchwabDumpWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs), m_dialogs(dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("SCHWABDUMP");
    setWindowTitle(kCaption);
    auto line = [](const QString &name) {
        auto *e = new QLineEdit;
        e->setObjectName(name);
        return e;
    };
    m_directory = line("GLO:DIRECTORYNAME");
    m_directory->setMaxLength(255);
    m_fileName = line("GLO:FILENAME");
    m_fileName->setMaxLength(255);
    m_endingDate = line("LOC:ENDINGDATE");
    m_endingDate->setMaximumWidth(120);
    Entries::setDate(m_endingDate, kDate);
    m_browse = new QPushButton("&Browse");
    m_create = new QPushButton("&Create Dump File");
    m_cancel = new QPushButton("Cancel");
    m_memberPrompt = new QLabel("Processing Member:");
    m_member = new QLabel;
    m_member->setObjectName("LOC:MEMBERNAME");
    m_percent = new QLabel;
    m_percent->setObjectName("LOC:PERCENTAGE");

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(EnhancedFocusClassType::IndicatorRoom);
    form->addWidget(new QLabel("Select Directory For Dump File:"), 0, 0, 1, 2);
    form->addWidget(m_directory, 1, 0);
    form->addWidget(m_browse, 1, 1);
    form->addWidget(new QLabel("File Name:"), 2, 0, 1, 2);
    form->addWidget(m_fileName, 3, 0);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(new QLabel("Payroll Ending Date:"));
    dateRow->addWidget(m_endingDate);
    dateRow->addStretch(1);
    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_memberPrompt);
    progressRow->addWidget(m_member, 1);
    progressRow->addWidget(m_percent);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_create);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(dateRow);
    layout->addLayout(progressRow);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(m_browse, &QPushButton::clicked, this, &SchwabDumpWindow::browse);
    connect(m_create, &QPushButton::clicked, this, &SchwabDumpWindow::create);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    auto show = [this] {
        m_member->setText(m_logic.LOC.MEMBERNAME);
        m_percent->setText(QString::number(m_logic.LOC.PERCENTAGE) + "%");
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_logic.started = [this, show] {
        setWriting(true);
        show();
    };
    m_logic.progress = show;
    m_logic.open();
    refresh();
    setWriting(false);
    resize(480, 220);
}

SchwabDumpWindow::~SchwabDumpWindow() { Entries::detachEntries(this); }

QLineEdit *SchwabDumpWindow::field(const QString &name) const { return findChild<QLineEdit *>(name); }

void SchwabDumpWindow::refresh() {
    m_directory->setText(m_logic.LOC.DIRECTORYNAME);
    m_fileName->setText(m_logic.LOC.FILENAME);
    m_endingDate->setText(Picture::format(qint64(m_logic.LOC.ENDINGDATE), kDate));
}

void SchwabDumpWindow::setWriting(bool writing) {
    for (QWidget *w : {static_cast<QWidget *>(m_memberPrompt), static_cast<QWidget *>(m_member),
                       static_cast<QWidget *>(m_percent)})
        w->setVisible(writing);
    m_create->setEnabled(!writing);
}

void SchwabDumpWindow::browse() {
    const QString dir = m_dialogs.folderName(kBrowseCaption, m_directory->text());
    if (!dir.isEmpty()) m_directory->setText(QDir::toNativeSeparators(dir));
}

void SchwabDumpWindow::create() {
    qint32 ending = 0;
    if (!Entries::readDate(m_dialogs, m_endingDate->text(), ending)) {
        m_endingDate->setFocus();
        return;
    }
    m_logic.LOC.DIRECTORYNAME = m_directory->text();
    m_logic.LOC.FILENAME = m_fileName->text();
    m_logic.LOC.ENDINGDATE = ending;
    const bool done = m_logic.create();
    setWriting(false);
    if (done) close();
}

void SCHWABDUMP() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<MemberCU> mem(db);
    storage::DataFile<Trans> tra(db);
    storage::DataFile<LocInfo> loc(db);
    if (!CHECKOPEN(mem, d) || !CHECKOPEN(tra, d) || !CHECKOPEN(loc, d)) return;
    Windows::start(new SchwabDumpWindow(db, d));
}
