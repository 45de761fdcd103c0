#pragma once
// Withdrawals: the list of withdrawals being prepared with their tax, fee and net amount, and
// their posting as tax (-1), fee (-2) and withdrawal (-3) transactions.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QWidget>
#include <memory>

struct WithdrawalLine {
    QString NAME;
    qint32 WITHDATE = 0;
    Decimal TOTALTOWITHDRAWAL{0, 2}; // net paid out
    Decimal ADMINFEE{0, 2};
    Decimal TAX{0, 2};
    QString CODE;
    QString DESCRIPTION;
    QString ACCTNUM;
};

class WithdrawalLogic {
public:
    // The values on the window.
    struct Values {
        QString SSNUM, NAME;
        quint8 WITHDRAWALFLAG = 0;
        Decimal TOTALTOWITHDRAW{0, 2}, ADMINFEE{0, 2}, TAXPERC{0, 4};
        QString DESCRIPTION, CODE;
        qint32 WITHDATE = 0;
        Decimal GRANDTOTAL{0, 2}, BALANCE{0, 2}, PREYTD{0, 2}, YTD{0, 2};
        QString ACCTNUM;
    };

    // The entries as typed, and the one refused when they cannot all be taken.
    struct Typed {
        QString total, fee, taxPerc, date;
    };
    enum class Entry { Total, Fee, TaxPerc, Date };

    // Digits and places of the amount entries (the total DECIMAL(11,2), the fee DECIMAL(7,2)).
    static constexpr int TotalDigits = 11, FeeDigits = 7, Places = 2;

    WithdrawalLogic(storage::Database &db, Dialogs &dialogs, bool admin);

    Values LOC;
    QList<WithdrawalLine> WITHDRAWALQUEUE;
    MemberCU MEM;          // the member last read
    bool memberFound = false;

    // Opening: the fund's default fee and tax percentage, today's date, an empty list.
    void open();
    // Takes the typed entries into the values and returns those that cannot be taken (an amount
    // with more digits than its field, a rate that is not a whole percent from 0 to 100, a date
    // that is no date): their values stay as they were. With `report` the first of them is
    // refused with a message and the rest are not looked at.
    QList<Entry> take(const Typed &typed, bool report);
    // The date as typed (a blank or impossible date is refused, after a message with `report`).
    bool takeDate(const QString &typed, bool report);
    // A typed SSN was accepted: reads the member and proposes the balance as the total unless
    // the member must withdraw everything anyway. False when no member has that SSN.
    bool ssnAccepted();
    // A member picked from the member list.
    void memberPicked(const MemberCU &member);
    // The fee entry got the focus: the member of LOC.SSNUM is read again; false (after the
    // "not found" message) sends the focus back to the SSN.
    bool feeFocused();
    // Whether the total and the "Withdrawal All" box may be changed (not for a member who must
    // withdraw everything).
    bool fullWithdrawalForced() const { return memberFound && MEM.WITHDRAWALFLAG != 0; }
    // "Withdrawal All" belongs to the member in hand: it needs one, and it is dropped, with the
    // balance it brought as the total, when another member (or none) is taken up.
    void setWithdrawAll(bool all);
    void codePicked(const Withdraw &code);
    // The date was accepted: false (after its message) when it is out of range.
    bool dateAccepted();
    // The tax rate is a whole percent from 0 to 100: false after a message.
    bool taxRateAccepted();

    // Tax of a gross amount: (gross - fee) x percent / 100, to the cent.
    static Decimal tax(const Decimal &gross, const Decimal &fee, const Decimal &percent);
    // "&Withdrawal": adds a line from the values; false (after a message) when it cannot.
    bool addLine();
    // "&Delete" of the line at `index` (-1: none selected).
    bool deleteLine(int index);
    // "&Post": every line with a positive net, in one database transaction, once the dates
    // pass their checks again (the day may have moved on since the lines were added). Under
    // "/admin" a line's tax and fee take the line's own date, so that they stay in its year.
    bool post();

private:
    bool dateInRange(qint32 day);
    bool readMember(const QString &ssn);
    void dropWithdrawAll();
    bool lookUpBalance(); // false (after saying so) when the balance could not be read
    void recomputeGrandTotal();
    storage::Database &m_db;
    Dialogs &m_dialogs;
    bool m_admin;
    // Members are read by SSN again and again while lines are entered: one file for the window.
    std::unique_ptr<storage::DataFile<MemberCU>> m_members;
};

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Withdrawal ..."
class WithdrawalWindow : public QWidget {
    Q_OBJECT
public:
    WithdrawalWindow(storage::Database &db, Dialogs &dialogs, bool admin, QWidget *parent = nullptr);
    ~WithdrawalWindow() override;
    WithdrawalLogic &logic() { return m_logic; }
    QLineEdit *field(const QString &name) const;
    QPushButton *button(const QString &text) const;
    QTableWidget *list() const { return m_list; }
    QCheckBox *withdrawAll() const { return m_all; }

    void pickMember();
    void pickCode();
    void acceptSsn();
    void enterFee();
    void addLine();
    void deleteLine();
    void post();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Entries -> values; with `report`, false (the refused entry has the focus) when one cannot
    // be taken.
    bool store(bool report = false);
    QLineEdit *entry(WithdrawalLogic::Entry e) const;
    void refresh(); // values -> entries, list and buttons
    WithdrawalLogic m_logic;
    QLineEdit *m_ssn, *m_name, *m_total, *m_fee, *m_taxPerc, *m_description, *m_code, *m_date, *m_grand;
    QCheckBox *m_all;
    QTableWidget *m_list;
    QList<QPushButton *> m_buttons;
    QList<WithdrawalLogic::Entry> m_unread; // entries whose text could not be taken
};

void WITHDRAWAL();
