#include "electronicfile.h"

#include "common/app.h"
#include "common/windowstate.h"
#include "diskettecopy.h"
#include "disklines.h"
#include "platform/dialogs.h"
#include "prefilingreport.h"
#include "taxreports.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

namespace Tax {
namespace {
const QString kWaitCaptionR = QStringLiteral("1099-R Information ....");
const QString kWaitR = QStringLiteral("Gathering 1099-R Diskette Information.  Please Wait ....");
const QString kWaitCaptionInt = QStringLiteral("1099-INT Information ....");
const QString kWaitInt = QStringLiteral("Gathering 1099-INT Diskette Information.  Please Wait ....");
const QString kDiskReportCaption = QStringLiteral("Diskette Report ...");
const QString kDiskReportQuestion = QStringLiteral("Would You Like To Print The Diskette Report?");
const QString kFormsCaption = QStringLiteral("1099-R Forms ...");
const QString kFormsQuestion = QStringLiteral("Would You Like To Print 1099-R Forms ?");
const QString kYesNo = QStringLiteral("Yes|No");
const QString kContinueCancel = QStringLiteral("Continue|Cancel");
// Of our own: the pre-filing checks, a run for a few members, and files that could not be made.
const QString kSelectedOnly = QStringLiteral("|Only The Members On The Selected Members List Are Reported.");
const QString kFindingsCaption = QStringLiteral("Pre-Filing Checks ...");
const QString kFindingsFound = QStringLiteral(
    "The pre-filing checks found %1 thing(s) the IRS may refuse.|The report that follows lists them.");
const QString kFindingsAsk = QStringLiteral(
    "Press <Continue> To Write The Files As They Are Or <Cancel> To Write Nothing.");
const QString kNotWrittenCaption = QStringLiteral("IRS File Not Written ...");
const QString kNotRead = QStringLiteral("The fund's data could not be read, so no file was written.|%1");
const QString kNotWritten = QStringLiteral("The files could not be written into %1.|%2|Nothing was changed.");
} // namespace

ElectronicFile::ElectronicFile(storage::Database &db, Dialogs &dialogs, Form form)
    : drive(DisketteCopy::defaultDrive()), m_db(db), m_dialogs(dialogs), m_form(form), m_run(db) {
    dir = App::dataDir();
    printFindings = [this](const QList<Finding> &findings) {
        printPreFilingReport(m_dialogs, m_form, m_run.result().payer.name, findings);
    };
    printDiskReport = [this] { DISKETTERPT(m_db, m_dialogs); };
    printForms = [this] { PRINT1099RFORMS(m_db, m_dialogs); };
    printIntReport = [this](const Decimal &reported, const Decimal &paid) {
        INTDISKETTERPT(m_db, m_dialogs, reported, paid);
    };
}

void ElectronicFile::closeWait() {
    if (!m_waiting) return;
    m_waiting = false;
    if (waitClosed) waitClosed();
}

bool ElectronicFile::gather() {
    const bool r = m_form == Form::R;
    QString text = r ? kWaitR : kWaitInt;
    if (!m_accounts.isEmpty()) text += kSelectedOnly;
    m_waiting = true;
    if (waitOpened) waitOpened(r ? kWaitCaptionR : kWaitCaptionInt, text);
    m_run.progress = progress;
    if (m_run.gather(m_form, 0, m_accounts)) return true;
    closeWait();
    m_dialogs.message(kNotWrittenCaption, kNotRead.arg(m_run.error()), Dlg::Error);
    return false;
}

bool ElectronicFile::confirmFindings() {
    const QList<Finding> found = m_run.findings();
    if (found.isEmpty()) return true;
    closeWait();
    // Said first, so that the report's preview question does not come out of nowhere.
    m_dialogs.message(kFindingsCaption, kFindingsFound.arg(found.size()), Dlg::Exclamation);
    printFindings(found);
    return m_dialogs.ask(kFindingsCaption, kFindingsAsk, Dlg::Exclamation, kContinueCancel) == 1;
}

bool ElectronicFile::write() {
    const bool ok = m_run.write(dir);
    closeWait();
    if (!ok)
        m_dialogs.message(kNotWrittenCaption,
                          kNotWritten.arg(QDir::toNativeSeparators(dir), m_run.error()), Dlg::Error);
    return ok;
}

bool ElectronicFile::totals() {
    QString text = m_run.totalsText();
    if (!m_accounts.isEmpty()) text += kSelectedOnly;
    return m_dialogs.ask(m_run.totalsCaption(), text, Dlg::Exclamation, kContinueCancel) == 1;
}

void ElectronicFile::copies() {
    DisketteCopy copy(m_dialogs, m_form, {m_run.filePath(), m_run.irisFilePath()}, pensionIniPath());
    copy.drive = drive;
    copy.run();
    m_copies = copy.copiesMade();
}

void ElectronicFile::reports(bool continued) {
    if (m_form == Form::Int) {
        // The interest list is printed whether or not the diskettes were made.
        printIntReport(m_run.result().TEMP1, m_run.result().AMOUNT);
    } else if (continued) {
        if (m_dialogs.ask(kDiskReportCaption, kDiskReportQuestion, Dlg::Question, kYesNo) == 1)
            printDiskReport();
        if (m_dialogs.ask(kFormsCaption, kFormsQuestion, Dlg::Question, kYesNo) == 1) printForms();
    } else {
        return; // the lines stay for the reports that may be started by name
    }
    DISKRPT().clear();
}

ElectronicFile::Outcome ElectronicFile::run() {
    m_copies = 0;
    DISKRPT().clear(); // a failed run leaves no lines of an earlier one for the reports
    if (!gather()) return NotWritten;
    if (!confirmFindings()) {
        closeWait();
        return StoppedOnFindings;
    }
    if (!write()) return NotWritten;
    DISKRPT() = m_run.result().lines;
    const bool continued = totals();
    if (continued) copies();
    reports(continued);
    return continued ? Done : TotalsCancelled;
}

// --- the wait window ------------------------------------------------------------------------

void attachWaitWindow(ElectronicFile &run, QWidget *parent) {
    struct Wait {
        QPointer<QDialog> box;
        QPointer<QProgressBar> bar;
    };
    auto wait = std::make_shared<Wait>();
    if (!parent && App::mdiArea()) parent = App::mdiArea()->window();
    run.waitOpened = [wait, parent](const QString &caption, const QString &text) {
        auto *box = new QDialog(parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowTitle(caption);
        // Nothing to press while it works: the run is not broken off half-way.
        box->setWindowFlags(box->windowFlags() & ~Qt::WindowCloseButtonHint);
        auto *l = new QVBoxLayout(box);
        l->addWidget(new QLabel(QString(text).replace('|', '\n')));
        wait->bar = new QProgressBar;
        wait->bar->setRange(0, 100);
        l->addWidget(wait->bar);
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
        wait->box = box;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    run.waitClosed = [wait] {
        if (wait->box) wait->box->close();
    };
    run.progress = [wait](qint64 done, qint64 total) {
        if (wait->bar && total > 0) wait->bar->setValue(int(done * 100 / total));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

} // namespace Tax

namespace {
void startRun(Tax::Form form) {
    Tax::ElectronicFile run(App::db(), App::dialogs(), form);
    Tax::attachWaitWindow(run);
    run.run();
}
} // namespace

void CREATEELECTRONICFILE() { startRun(Tax::Form::R); }
void CREATEELECTRONICFILE2() { startRun(Tax::Form::Int); }
