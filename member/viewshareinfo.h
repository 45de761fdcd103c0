#pragma once
// The account view: one member's transactions, oldest first, with a running balance.
#include "data/records.h"

#include <QWidget>

namespace AccountView {
struct Line {
    Trans tra;
    Decimal balance; // after this transaction
};
struct History {
    QList<Line> lines;
    Decimal balance{0, 2}; // GETBALANCE over all records
    QString error;          // the database's reason when the history could not be read whole
};
History history(storage::Database &db, qint32 acct);
// "Payroll", "Dividend", ... for the built-in types; the code's description otherwise.
QString typeName(storage::Database &db, qint32 type);
} // namespace AccountView

class QLabel;
class QLineEdit;
class QTableWidget;

class ViewShareInfoWindow : public QWidget {
    Q_OBJECT
public:
    explicit ViewShareInfoWindow(QWidget *parent = nullptr);
    void showAccount(qint32 acct);
    QTableWidget *table() const { return m_table; }
    QLabel *header() const { return m_member; }
    QLabel *balance() const { return m_balance; }

private:
    void pickMember();
    QLineEdit *m_acct;
    QLabel *m_member, *m_balance;
    QTableWidget *m_table;
};

void VIEWSHAREINFO();
