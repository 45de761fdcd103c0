#pragma once
// NAMEADDRESSDUMP: the member list as a fixed-width text file of 308-character lines, with the
// columns the operator ticks and, on request, each member's balance as of a date.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QWidget>
#include <functional>

class NameAddressDump {
public:
    static constexpr int LineWidth = 308;

    // Which columns are filled; a column switched off is left blank.
    struct Columns {
        bool LOCALCODE = false, DATECLOSED = false, ACCTNUM = false, LASTNAME = false,
             FIRSTNAME = false, ADDRESSLINE1 = false, ADDRESSLINE2 = false, CITY = false,
             STATE = false, ZIP = false, BIRTHDATE = false, DATEJOINED = false, SSNUM = false;
        void setAll(bool on);
    };
    struct Values {
        Columns columns;
        bool CLOSEDACCOUNTS = false; // " Include closed accounts"
        bool BALANCES = false;       // " Include Balances"
        qint32 BALANCEDATE = 0;
        QString NAME;       // the member being written
        int PERCENTAGE = 0; // 0 to 100
    } LOC;

    NameAddressDump(storage::Database &db, Dialogs &dialogs);

    // One line of the file; `balance` only when balances are asked for.
    static QString line(const MemberCU &m, const Columns &columns, const Decimal *balance,
                        qint32 balanceDate);
    // Whether the member is written: open ones always, closed ones on request.
    bool included(const MemberCU &m) const;

    // "&Create Dump File": writes `path` anew and says so. A file that cannot be written or a
    // failed read is reported, and leaves any earlier file of that name as it was.
    bool createDumpFile(const QString &path);

    // The member shown or the percentage changed.
    std::function<void()> changed;
    qint64 membersWritten = 0;

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
};

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "Name And Address Dump ...."
class NameAddressDumpWindow : public QWidget {
    Q_OBJECT
public:
    NameAddressDumpWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    ~NameAddressDumpWindow() override;
    NameAddressDump &logic() { return m_logic; }
    QCheckBox *check(const QString &objectName) const;
    QLineEdit *fileName() const { return m_fileName; }
    QLineEdit *balanceDate() const { return m_balanceDate; }
    QPushButton *createButton() const { return m_create; }

    void browse();
    void setAll(bool on);
    void balancesToggled(bool on);
    void create();

private:
    void readSwitches();
    NameAddressDump m_logic;
    Dialogs &m_dialogs;
    QList<QCheckBox *> m_columns;
    QCheckBox *m_closed, *m_balances;
    QLabel *m_balanceLabel, *m_nameLabel, *m_name, *m_percentText;
    QLineEdit *m_fileName, *m_balanceDate;
    QProgressBar *m_percent;
    QPushButton *m_create;
};

void NAMEADDRESSDUMP();
