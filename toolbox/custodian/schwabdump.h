#pragma once
// "Schwab Data Dump ...": the monthly contribution file for the custodian, one 234-character
// line per member with the payroll deposits of the month and of the year up to the ending date,
// and a trailer with the month's total.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QElapsedTimer>
#include <QHash>
#include <QWidget>
#include <functional>

namespace Custodian {
// The custodian's settings, kept in the data directory with the fund's other INI files: where
// the file goes ([Directory] Path, FileName) and the plan's identifier at the custodian
// ([Plan] PlanID, up to six characters).
inline const QString IniName = QStringLiteral("SCHWAB.INI");
inline const QString DirectorySection = QStringLiteral("Directory");
inline const QString PlanSection = QStringLiteral("Plan");
inline const QString PlanIdKey = QStringLiteral("PlanID");
inline constexpr int PlanIdWidth = 6;
} // namespace Custodian

class SchwabDump {
public:
    static constexpr int LineWidth = 234;

    struct Values {
        QString DIRECTORYNAME, FILENAME;
        qint32 ENDINGDATE = 0;
        QString MEMBERNAME; // the member being written
        int PERCENTAGE = 0;
    };

    SchwabDump(storage::Database &db, Dialogs &dialogs);

    Values LOC;
    // Told once the file is being written, and every ~20 ms while it is.
    std::function<void()> started, progress;

    // The directory and file name from the INI file; the ending date at the end of this month.
    void open();
    // Directory and file name joined.
    QString outputPath() const;
    // "&Create Dump File": true when the whole file was written (and "Dump Completed." said).
    // A file that cannot be made or written, or members that cannot be read, leave no file.
    bool create();

    // What the last file held.
    qint64 membersWritten = 0;
    Decimal GRANDTOTAL{0, 2};

private:
    bool refuse(const QString &text, Dlg::Icon icon = Dlg::Warning);
    QString planId(bool &ok);
    struct Totals {
        Decimal month{0, 2}, year{0, 2};
    };
    // Every account's payroll deposits in the ending date's month and in its year up to that
    // date, in one pass in date order: the history lies on disk month by month, so this reads
    // the year in order instead of seeking once a month for every member.
    bool contributions(storage::DataFile<Trans> &tra, QHash<qint32, Totals> &totals);
    void keepAlive();

    storage::Database &m_db;
    Dialogs &m_dialogs;
    QElapsedTimer m_sinceProgress;
};

class QLabel;
class QLineEdit;
class QPushButton;

class SchwabDumpWindow : public QWidget {
    Q_OBJECT
public:
    SchwabDumpWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ~SchwabDumpWindow() override;
    SchwabDump &logic() { return m_logic; }
    QLineEdit *field(const QString &name) const;
    QPushButton *createButton() const { return m_create; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *memberText() const { return m_member; }

    void browse();
    void create();

private:
    void refresh();
    void setWriting(bool writing);
    SchwabDump m_logic;
    Dialogs &m_dialogs;
    QLineEdit *m_directory, *m_fileName, *m_endingDate;
    QLabel *m_memberPrompt, *m_member, *m_percent;
    QPushButton *m_browse, *m_create, *m_cancel;
};

void SCHWABDUMP();
