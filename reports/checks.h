#pragma once
// "Participant Checks": a check for the net amount of every withdrawal (type -3) posted in a
// period that has none yet (a void check does not count), numbered from a first number (proposed: the last used + 1), and
// recorded in the Checks file once the pages went to the printer. "Participant Checks Renumber":
// a printed run's numbers moved to a new first number (the printer jammed), all or nothing; a
// void check keeps its number. A printed check can be voided there too.
//
// The fields sit where the check stock wants them; PENSION.INI moves them (see formlayout.h):
//   [Checks]  Form=10,-5   Fund=..  Number=..  Date=..  Payee=..  Figures=..  Words=..  Address=..
//             Memo=..  Stub=..   (hundredths of an inch, "right,down")
#include "reportwindow.h"

#include <QPoint>
#include <array>

class QLineEdit;
class QPushButton;

namespace Checks {
// "One Thousand Two Hundred Thirty-Four and 56/100"; "Zero and 00/100" for nothing; empty for a
// negative amount or one of a billion dollars or more (no check is written for either).
QString amountInWords(const Decimal &amount);

enum class Field { Fund, Number, Date, Payee, Figures, Words, Address, Memo, Stub };
inline constexpr int FieldCount = int(Field::Stub) + 1;
struct Layout {
    std::array<QPoint, FieldCount> at; // thousandths of an inch from the page corner
    QPoint operator[](Field f) const { return at[size_t(f)]; }
};
// The built-in positions moved by the [Checks] offsets of the INI at `iniPath`.
Layout layout(const QString &iniPath, QStringList *refused);
// The last check number used + 1 (1 for the first check); false when the file could not be read.
bool proposedNumber(storage::Database &db, qint32 &number);
} // namespace Checks

// One check to write: the withdrawal it pays, its amounts and its payee.
struct PendingCheck {
    qint32 CHECKNUM = 0, ACCTNUM = 0, TRANSDATE = 0, TRANSTIME = 0;
    Decimal GROSS{0, 2}, TAX{0, 2}, FEE{0, 2}, NET{0, 2};
    QString PAYEE;
    QStringList ADDRESS; // the payee's address block
};

class ParticipantChecks : public ReportLogic {
public:
    ParticipantChecks(storage::Database &db, Dialogs &dialogs);
    ~ParticipantChecks() override;

    qint32 FROMDATE = 0, TODATE = 0; // the withdrawals' dates
    qint32 CHECKDATE = 0;            // printed on the checks; 0 = today
    qint32 FIRSTCHECK = 0;           // 0 = the proposed number

    // Runs the report; when its pages reached the printer the checks are recorded (one
    // transaction) so that they are not written again. False when nothing was recorded.
    bool printChecks();
    QList<PendingCheck> CHECKS; // of the last run, numbered

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    bool step(ReportRun &run) override;

private:
    bool gather(ReportRun &run);
    bool record();
    void draw(report::Report &page, const PendingCheck &c);
    Checks::Layout m_layout;
    QStringList m_fund; // the fund's name and address
    int m_next = 0;
};

class ParticipantChecksWindow : public ReportWindow {
    Q_OBJECT
public:
    ParticipantChecksWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ParticipantChecks &logic() { return m_logic; }
    QLineEdit *fromDate() const { return m_from; }
    QLineEdit *toDate() const { return m_to; }
    QLineEdit *checkDate() const { return m_date; }
    QLineEdit *firstCheck() const { return m_first; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    ParticipantChecks m_logic;
    QLineEdit *m_from, *m_to, *m_date, *m_first;
};

// Gives the checks numbered FROM..TO the numbers from NEWFIRST on, in their order.
class CheckRenumber {
public:
    CheckRenumber(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}
    qint32 FROM = 0, TO = 0, NEWFIRST = 0;
    // One transaction; false (said why) leaves every number as it was.
    bool renumber();
    int RENUMBERED = 0;

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
};

// Voids a printed check (spoiled, lost, stopped): it stays on file under its number, which stays
// used, and its withdrawal is due a check again.
class CheckVoid {
public:
    CheckVoid(storage::Database &db, Dialogs &dialogs) : m_db(db), m_dialogs(dialogs) {}
    qint32 CHECKNUM = 0;
    // Asks first (No is the default); one transaction. False (said why) changes nothing.
    bool voidCheck();

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
};

class CheckRenumberWindow : public ReportWindow {
    Q_OBJECT
public:
    CheckRenumberWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    CheckRenumber &logic() { return m_logic; }
    QLineEdit *from() const { return m_from; }
    QLineEdit *to() const { return m_to; }
    QLineEdit *newFirst() const { return m_new; }
    QLineEdit *voidNumber() const { return m_void; }
    QPushButton *voidButton() const { return m_voidButton; }
    // What the Void button does: false when the number was refused or nothing was voided.
    bool voidCheck();

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &) override {}
    void runReport() override;

private:
    CheckRenumber m_logic;
    QLineEdit *m_from, *m_to, *m_new, *m_void;
    QPushButton *m_voidButton;
};

void PRINTCHECKS();
void CHECKRENUMBERWINDOW();
