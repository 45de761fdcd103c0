#pragma once
// The administration fees charged on withdrawals in a period ("Fees" menu).
#include "data/records.h"

#include <QWidget>

namespace AdminFees {
struct Listing {
    QList<Trans> fees; // by date, then account
    Decimal total{0, 2};
    QString error; // the database's reason when the fees could not all be read
};
// Every fee transaction (type -2) dated from `from` to `to`, both included.
Listing list(storage::Database &db, qint32 from, qint32 to);
} // namespace AdminFees

class QLineEdit;
class QLabel;
class QTableWidget;

class AdministrationFeesWindow : public QWidget {
    Q_OBJECT
public:
    explicit AdministrationFeesWindow(QWidget *parent = nullptr);
    void show(qint32 from, qint32 to); // fills the list for a period
    QTableWidget *table() const { return m_table; }
    QLabel *total() const { return m_total; }

private:
    void showTyped();
    QLineEdit *m_from, *m_to;
    QTableWidget *m_table;
    QLabel *m_total;
};

void ADMINISTRATIONFEES();
