#pragma once
// The 1099-R and 1099-INT runs as the user meets them: a wait window while the year is read, the
// pre-filing findings as a report with the choice to go on, both files written into the data
// directory, the totals, copies to diskettes and the reports of the run.
#include "platform/decimal.h"
#include "taxrecords.h"
#include "taxrun.h"

#include <QList>
#include <QString>
#include <functional>

class Dialogs;
class QWidget;
namespace storage {
class Database;
}

namespace Tax {

class ElectronicFile {
public:
    ElectronicFile(storage::Database &db, Dialogs &dialogs, Form form);

    // Limits the run to these members (the selected-members window); the messages say so.
    void setAccounts(const QList<qint32> &accounts) { m_accounts = accounts; }

    // Where the files are written: the data directory.
    QString dir;
    // The root of drive A:; empty when the machine has none (the copies then go to a folder).
    QString drive;
    // The wait window: opened with its caption and text, closed once the files are written.
    std::function<void(const QString &caption, const QString &text)> waitOpened;
    std::function<void()> waitClosed;
    std::function<void(qint64 done, qint64 total)> progress;

    // The reports the run prints; the real ones unless a test replaces them.
    std::function<void(const QList<Finding> &)> printFindings;
    std::function<void()> printDiskReport;   // 1099-R diskette report
    std::function<void()> printForms;        // 1099-R forms, in the layout the user chooses
    std::function<void(const Decimal &reported, const Decimal &paid)> printIntReport;

    enum Outcome {
        NotWritten,        // reading or writing failed; the user was told
        StoppedOnFindings, // the user cancelled after the pre-filing findings; nothing written
        TotalsCancelled,   // written; the user stopped at the totals
        Done               // written, copies and reports as the user asked
    };
    Outcome run();

    const TaxRun &taxRun() const { return m_run; }
    int copiesMade() const { return m_copies; }

private:
    bool gather();
    bool confirmFindings();
    bool write();
    bool totals();
    void copies();
    void reports(bool continued);
    void closeWait();

    storage::Database &m_db;
    Dialogs &m_dialogs;
    Form m_form;
    QList<qint32> m_accounts;
    TaxRun m_run;
    bool m_waiting = false;
    int m_copies = 0;
};

// Shows the run's wait window (caption, text and a progress bar) over `parent` while it reads.
void attachWaitWindow(ElectronicFile &run, QWidget *parent = nullptr);

} // namespace Tax

// Started from the menu.
void CREATEELECTRONICFILE();
void CREATEELECTRONICFILE2();
