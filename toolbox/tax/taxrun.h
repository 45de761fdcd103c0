#pragma once
// One 1099 run without windows: gathers the payees of the tax year from the fund's data files
// (1099-R: the withdrawals grouped by their code; 1099-INT: the interest credited), checks what
// the IRS would refuse, and writes "IRSTAX." and its XML transmission "IRSTAX.xml".
// The windows and the pension-1099 tool share it.
#include "disklines.h"
#include "taxrecords.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace storage {
class Database;
}

namespace Tax {

// The software vendor named in the transmitter record.
const Vendor &vendor();

// The file names, in the directory the run writes to.
const QString &fileName();     // "IRSTAX."
const QString &irisFileName(); // "IRSTAX.xml"

// A reason not to file as it stands: who it is about and what is wrong.
struct Finding {
    QString who;        // "Payer", or the payee as "LAST, FIRST (account N)"
    QString what;       // one readable sentence
    qint32 account = 0; // the payee's account number; 0 for the payer and the transmission
};

// What a run found. Amounts are in dollars and cents.
struct RunResult {
    Form form = Form::R;
    int year = 0;
    Payer payer;
    QList<Payee> payees;     // the B records, in file order
    QList<DiskLine> lines;   // the diskette-report lines (one per SSN and code) in the same order
    Decimal FOUNDAMT1{0, 2}; // 1099-R: gross distribution reported
    Decimal FOUNDAMT2{0, 2}; // 1099-R: tax withheld reported
    Decimal TEMP1{0, 2};     // 1099-INT: interest reported (10.00 or more per member)
    Decimal AMOUNT{0, 2};    // 1099-INT: interest credited to every member ("Total Dividend Paid")
    qint64 reported() const { return payees.size(); }
};

class TaxRun {
public:
    explicit TaxRun(storage::Database &db);

    // Told every ~20 ms while members are read, so a window can repaint and show progress
    // (members read so far, of all).
    std::function<void(qint64 done, qint64 total)> progress;

    // Reads the fund settings, the withdrawal codes, the members in name order and their
    // transactions of the tax year. `year` 0 takes the fund's year for 1099s; `accounts`, when
    // not empty, limits the run to those members. False when anything could not be read:
    // error() says why, and the result is empty.
    bool gather(Form form, int year = 0, const QList<qint32> &accounts = {});
    const RunResult &result() const { return m_result; }
    const QString &error() const { return m_error; }

    // The pre-filing checks on the payer and every payee, then what the XML transmission cannot
    // carry. They change no figure.
    QList<Finding> findings() const;

    // The 750-byte file: every record followed by CR LF, Windows-1252.
    QByteArray fileBytes() const;
    // The XML transmission of the same returns; `uniqueId` empty makes a new UUID.
    QByteArray irisBytes(const QString &uniqueId = {}) const;

    // Writes both files into `dir`. Each is written under a temporary name and renamed, so a
    // failed write leaves the previous files as they were. False with error() on a failure.
    bool write(const QString &dir, const QString &uniqueId = {});
    // The paths written by the last write().
    QString filePath() const { return m_filePath; }
    QString irisFilePath() const { return m_irisPath; }

    // The totals message of the run ("|" breaks lines) and its caption.
    QString totalsText() const;
    QString totalsCaption() const;

private:
    bool gatherR(const QList<qint32> &accounts);
    bool gatherInt(const QList<qint32> &accounts);
    bool fail(const QString &why);

    storage::Database &m_db;
    RunResult m_result;
    QString m_error, m_filePath, m_irisPath;
};

// The totals messages, for a window that shows them from its own figures; with `irisPath` they
// also say where the XML transmission was written.
QString rTotalsText(const Decimal &gross, const Decimal &tax, qint64 members,
                    const QString &irisPath = {});
QString intTotalsText(const Decimal &reported, const QString &irisPath = {});
const QString &rTotalsCaption();   // "1099-R File Total ..."
const QString &intTotalsCaption(); // "1099-INT File Total ..."

} // namespace Tax
