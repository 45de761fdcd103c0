#include "diskettecopy.h"

#include "platform/dialogs.h"
#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Tax {
namespace {
const QString kInsertCaption = QStringLiteral("Create Diskette ...");
const QString kInsert = QStringLiteral("Please Insert A Blank Formated Diskette Into Drive A.");
const QString kCopyError = QStringLiteral(
    "Error Copying File To Diskette.  Please Make Sure That You Have A Formatted Diskette In Drive.");
const QString kCopyErrorTail =
    QStringLiteral("|Press <OK> To Continue Or <CANCEL> To Stop Diskette Creation.");
const QString kAnotherR = QStringLiteral("1099-R Electronic File Created.|Create Another Diskette?");
const QString kAnotherRCaption = QStringLiteral("1099-R File ...");
const QString kAnotherInt = QStringLiteral("1099-INT Electronic File Created.|Create Another Diskette?");
const QString kAnotherIntCaption = QStringLiteral("1099-INT File ...");
const QString kYesNo = QStringLiteral("Yes|No");
// Without a drive A: the copies go to a folder.
const QString kCopyErrorCaption = QStringLiteral("Copy Error ...");
const QString kPickFolder = QStringLiteral("Choose The Folder For Copies Of The 1099 Electronic Files");
const QString kToFolder = QStringLiteral("The Electronic Files Will Be Copied To %1.|"
                                         "Press <OK> To Copy Them Or <CANCEL> To Stop.");
const QString kFolderError = QStringLiteral("Error Copying File To %1.  %2");
const QString kNoDrive = QStringLiteral(
    "There Is No Drive A: On This Computer.|Please Choose The Folder The Electronic Files Are "
    "Copied To; It Is Remembered For The Next Runs.");
const QString kSameFolder = QStringLiteral(
    "The Electronic Files Are Written In That Folder.|Please Choose Another Folder For The Copies.");
} // namespace

DisketteCopy::DisketteCopy(Dialogs &dialogs, Form form, const QStringList &files, const QString &iniPath)
    : drive(defaultDrive()), m_dialogs(dialogs), m_form(form), m_files(files), m_iniPath(iniPath) {}

QString DisketteCopy::defaultDrive() {
#ifdef Q_OS_WIN
    const QString a = QStringLiteral("A:/");
    if (QDir(a).exists()) return a;
#endif
    return {};
}

bool DisketteCopy::chooseTarget() {
    if (!drive.isEmpty()) {
        m_target = drive;
        m_toDrive = true;
        return true;
    }
    m_toDrive = false;
    m_target = IniFile::get(m_iniPath, IniSection, IniFolderKey);
    if (!m_target.isEmpty() && QFileInfo(m_target).isDir()) return true;
    // The folder is asked for once; a remembered one that has gone is asked for again.
    const QString written = m_files.isEmpty() ? QString() : QFileInfo(m_files.first()).canonicalPath();
    // Beside the data directory, so that accepting the proposal is not refused at once.
    QString start = m_target;
    if (start.isEmpty()) {
        m_dialogs.message(kInsertCaption, kNoDrive);
        start = QFileInfo(written).absolutePath();
    }
    for (;;) {
        m_target = m_dialogs.folderName(kPickFolder, start);
        if (m_target.isEmpty()) return false;
        if (QFileInfo(m_target).canonicalFilePath() != written) break;
        m_dialogs.message(kInsertCaption, kSameFolder);
    }
    IniFile::put(m_iniPath, IniSection, IniFolderKey, m_target);
    return true;
}

bool DisketteCopy::copyAll(QString &reason) const {
    for (const QString &source : m_files) {
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly)) {
            reason = in.errorString();
            return false;
        }
        const QByteArray bytes = in.readAll();
        // The new copy replaces an older one only when it is whole.
        QSaveFile out(QDir(m_target).filePath(QFileInfo(source).fileName()));
        if (in.error() != QFileDevice::NoError || !out.open(QIODevice::WriteOnly) ||
            out.write(bytes) != bytes.size() || !out.commit()) {
            reason = in.error() != QFileDevice::NoError ? in.errorString() : out.errorString();
            return false;
        }
    }
    return true;
}

bool DisketteCopy::askInsert() {
    const QString text = m_toDrive ? kInsert : kToFolder.arg(QDir::toNativeSeparators(m_target));
    return m_dialogs.message(kInsertCaption, text, Dlg::Exclamation, Dlg::Ok | Dlg::Cancel) == Dlg::Ok;
}

bool DisketteCopy::reportFailure(const QString &reason) {
    const QString text =
        (m_toDrive ? kCopyError : kFolderError.arg(QDir::toNativeSeparators(m_target), reason)) +
        kCopyErrorTail;
    return m_dialogs.message(kCopyErrorCaption, text, Dlg::Information, Dlg::Ok | Dlg::Cancel) == Dlg::Ok;
}

void DisketteCopy::run() {
    m_copies = 0;
    if (!chooseTarget()) return;
    enum { Finished = 0, Ask = 1, Copied = 3 };
    int TMP = Ask;
    while (TMP != Finished) {
        if (!askInsert()) {
            TMP = Finished;
            break;
        }
        // OK copies again after a failure; Cancel goes back to the insert question.
        bool copied = false;
        for (;;) {
            QString reason;
            if (copyAll(reason)) {
                copied = true;
                break;
            }
            if (!reportFailure(reason)) break;
        }
        if (!copied) continue;
        TMP = Copied;
        ++m_copies;
        const bool r = m_form == Form::R;
        TMP = m_dialogs.ask(r ? kAnotherRCaption : kAnotherIntCaption, r ? kAnotherR : kAnotherInt,
                            Dlg::Question, kYesNo) == 1
                  ? Ask
                  : Finished;
    }
}

} // namespace Tax
