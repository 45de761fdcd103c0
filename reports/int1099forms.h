#pragma once
// "Participant 1099-INT Forms": a recipient form for every member the 1099-INT file reports for
// the fund's year for 1099s (interest of 10.00 or more), gathered by the same 1099 run, so the
// forms and the file cannot disagree. The positions fit the stationery through PENSION.INI, as
// the 1099-R forms' do (see formlayout.h):
//   [1099INT Layout]  Form=10,-5  Payer=..  PayerTIN=..  RecipientTIN=..  RecipientName=..
//                     RecipientAddress=..  Account=..  Interest=..
#include "reportwindow.h"
#include "toolbox/tax/taxrun.h"

#include <QPoint>
#include <array>
#include <memory>

namespace Int1099 {
enum class Field { Payer, PayerTIN, RecipientTIN, RecipientName, RecipientAddress, Account, Interest };
inline constexpr int FieldCount = int(Field::Interest) + 1;
struct Layout {
    std::array<QPoint, FieldCount> at; // thousandths of an inch from the page corner
    QPoint operator[](Field f) const { return at[size_t(f)]; }
};
Layout layout(const QString &iniPath, QStringList *refused);
} // namespace Int1099

class Int1099Forms : public ReportLogic {
public:
    Int1099Forms(storage::Database &db, Dialogs &dialogs);
    ~Int1099Forms() override;

    int YEAR = 0; // 0 = the fund's year for 1099s
    // The members of the last run, in the order printed.
    const QList<Tax::Payee> &payees() const { return m_payees; }

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    bool step(ReportRun &run) override;

private:
    void draw(report::Report &page, const Tax::Payee &p);
    Int1099::Layout m_layout;
    Tax::Payer m_payer;
    QList<Tax::Payee> m_payees;
    int m_next = 0;
};

class Int1099FormsWindow : public ReportWindow {
    Q_OBJECT
public:
    Int1099FormsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    Int1099Forms &logic() { return m_logic; }

protected:
    bool readChoices() override { return true; }
    void storeChoices(ReportChoices &) override {}
    void runReport() override;

private:
    Int1099Forms m_logic;
};

void PRINT1099INT();
