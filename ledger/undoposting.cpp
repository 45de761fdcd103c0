#include "undoposting.h"

#include "common/app.h"
#include "common/checkopen.h"
#include "common/enhancedfocus.h"
#include "common/windows.h"
#include "platform/clock.h"
#include "platform/picture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Undo Dividend Posting ...");
const QString kQuestion = QStringLiteral("Are You Sure You Want To Undo This Dividend Posting?");
const QString kCanceledCaption = QStringLiteral("Undo Canceled ...");
const QString kCanceled = QStringLiteral("Undo Dividend Posting CANCELED !");
const QString kFinishedCaption = QStringLiteral("Finished ...");
const QString kFinished = QStringLiteral("Dividend Posting Removed.  Press <OK> To Continue.");
const QString kRemoving = QStringLiteral("Removing Dividend Posting .  Please Wait ....");
const QString kCompleted = QStringLiteral("% Completed");
const QString kPrompt = QStringLiteral("Dividend Date:");
// Checks of our own.
const QString kNoDate = QStringLiteral("Please enter the Dividend Date of the posting to remove.");
const QString kFailed =
    QStringLiteral("The dividend posting could not be removed; nothing was removed.  Error: %1.");

const QString kDate = QStringLiteral("@d2");

} // namespace

UndoPostingLogic::UndoPostingLogic(storage::Database &db, Dialogs &dialogs)
    : m_db(db), m_dialogs(dialogs) {}

const QString &UndoPostingLogic::removingText() {
    return kRemoving;
}

void UndoPostingLogic::open() {
    LOC = Values();
    LOC.DATE = Clock::today();
}

bool UndoPostingLogic::undo() {
    removed = 0;
    if (LOC.DATE <= 0) {
        m_dialogs.message(kCaption, kNoDate, Dlg::Warning);
        return false;
    }
    if (m_dialogs.message(kCaption, kQuestion, Dlg::Warning, Dlg::Yes | Dlg::No, Dlg::No) !=
        Dlg::Yes) {
        m_dialogs.message(kCanceledCaption, kCanceled, Dlg::Information);
        return false;
    }
    if (started) started();

    // The records of the date are found through the date key (not a pass over the whole file),
    // without holding the write lock; the deletes then run in one short database transaction, so
    // that other stations' postings do not wait and a failure leaves the posting whole.
    storage::DataFile<Trans> tra(m_db);
    bool ok = tra.open();
    QList<qint64> found;
    if (ok) {
        QElapsedTimer sinceProgress;
        sinceProgress.start();
        tra.rec.TRANSDATE = LOC.DATE;
        tra.rec.TRANSTYPE = std::numeric_limits<qint32>::min();
        tra.set(Trans::DateType_Key);
        while (tra.next() && tra.rec.TRANSDATE == LOC.DATE) {
            if (isDividend(tra.rec)) found << tra.position();
            if (progress && sinceProgress.elapsed() >= 20) {
                progress();
                sinceProgress.restart();
            }
        }
        // A date whose records could not all be read is not half undone.
        ok = !tra.failed();
        LOC.PERCENTAGE = QString::number(100) + kCompleted;
        if (progress) progress();
    }
    int deleted = 0;
    if (ok) {
        storage::Transaction batch(m_db);
        ok = batch.active();
        for (qint64 p : found) {
            if (!ok) break;
            // Read again inside the transaction: a record changed since the scan is judged anew,
            // one deleted meanwhile is already gone.
            if (!tra.getPosition(p)) {
                ok = storage::lastError().code == storage::RecordNotFound;
                continue;
            }
            if (tra.rec.TRANSDATE != LOC.DATE || !isDividend(tra.rec)) continue;
            ok = tra.remove();
            ++deleted;
        }
        ok = ok && batch.commit();
    }
    if (!ok) {
        const QString error = storage::lastErrorText();
        LOC.PERCENTAGE.clear();
        m_dialogs.message(kCaption, kFailed.arg(error), Dlg::Error);
        return false;
    }
    removed = deleted;
    m_dialogs.message(kFinishedCaption, kFinished, Dlg::Information);
    LOC.PERCENTAGE.clear();
    LOC.DATE = 0;
    return true;
}

UndoPostingWindow::UndoPostingWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_logic(db, dialogs) {
    EnhancedFocusClassType::install(this);
    setObjectName("UNDOPOSTING");
    setWindowTitle(kCaption);
    m_date = new QLineEdit;
    m_date->setObjectName("LOC:DATE");
    m_date->setPlaceholderText("mm/dd/yyyy");
    m_date->setMaximumWidth(120);
    m_removing = new QLabel(kRemoving);
    m_percent = new QLabel;
    m_percent->setObjectName("LOC:PERCENTAGE");
    m_undo = new QPushButton("&Undo");
    m_exit = new QPushButton("&Exit");

    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(new QLabel(kPrompt));
    dateRow->addWidget(m_date);
    dateRow->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_undo);
    buttons->addWidget(m_exit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(dateRow);
    layout->addWidget(m_removing);
    layout->addWidget(m_percent);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(m_undo, &QPushButton::clicked, this, &UndoPostingWindow::undo);
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);
    m_logic.started = [this] {
        setRemoving(true);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_logic.progress = [this] {
        m_percent->setText(m_logic.LOC.PERCENTAGE);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_logic.open();
    refresh();
    setRemoving(false);
    resize(380, 180);
}

void UndoPostingWindow::refresh() {
    m_date->setText(Picture::format(qint64(m_logic.LOC.DATE), kDate));
    m_percent->setText(m_logic.LOC.PERCENTAGE);
}

void UndoPostingWindow::setRemoving(bool removing) {
    m_undo->setVisible(!removing);
    m_exit->setVisible(!removing);
    m_removing->setVisible(removing);
    m_percent->setVisible(removing);
}

void UndoPostingWindow::undo() {
    bool ok = false;
    const qint32 day = Picture::deformatDate(m_date->text(), kDate, &ok);
    m_logic.LOC.DATE = ok ? day : 0;
    m_logic.undo();
    setRemoving(false);
    refresh();
}

void UNDOPOSTING() {
    storage::Database &db = App::db();
    Dialogs &d = App::dialogs();
    storage::DataFile<Trans> tra(db);
    if (!CHECKOPEN(tra, d)) return;
    Windows::start(new UndoPostingWindow(db, d));
}
