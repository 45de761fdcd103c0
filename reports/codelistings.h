#pragma once
// The lists of the fund's tables: the union locals (by name or by number) and the transaction
// codes (by code or by description, each a debit or a credit). They have nothing to choose; their
// window only prints or closes, so that the menu never drops the user straight into a question.
#include "data/records.h"
#include "reportlogic.h"
#include "reportwindow.h"

#include <memory>

class LocalListing : public ReportLogic {
public:
    enum class Order { Name, Number };
    LocalListing(storage::Database &db, Dialogs &dialogs, Order order);
    ~LocalListing() override;
    int COUNT = 0;

    // Local numbers in number order: "99" before "565" before "1000"; a number that is not
    // all digits after the numbers, in text order.
    static bool numberBefore(const QString &a, const QString &b);

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    void startDrawing(ReportRun &run) override;
    bool step(ReportRun &run) override;
    void end(ReportRun &run) override;

private:
    Order m_order;
    std::unique_ptr<storage::DataFile<LocInfo>> m_loc;
    std::unique_ptr<Listing> m_listing;
    QList<LocInfo> m_byNumber;
    qsizetype m_next = -1; // -1 until the locals are read (number order)
};

class TransCodeListing : public ReportLogic {
public:
    enum class Order { Code, Description };
    TransCodeListing(storage::Database &db, Dialogs &dialogs, Order order);
    ~TransCodeListing() override;
    int COUNT = 0;

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    void startDrawing(ReportRun &run) override;
    bool step(ReportRun &run) override;
    void end(ReportRun &run) override;

private:
    Order m_order;
    std::unique_ptr<storage::DataFile<TransDesc>> m_tds;
    std::unique_ptr<Listing> m_listing;
};

// The window of a list without choices: the report's title, Print and Close.
class TableListingWindow : public ReportWindow {
    Q_OBJECT
public:
    TableListingWindow(storage::Database &db, Dialogs &dialogs, const QString &title,
                       const QString &procedure, std::unique_ptr<ReportLogic> logic,
                       QWidget *parent = nullptr);
    ReportLogic &logic() { return *m_logic; }

protected:
    bool readChoices() override { return true; }
    void storeChoices(ReportChoices &) override {}
    void runReport() override { m_logic->run(); }

private:
    std::unique_ptr<ReportLogic> m_logic;
};

void LOCALBYNAMERPT();
void LOCALBYNUMBERRPT();
void TRANSDESCBYCODE();
void TRANSDESCBYDESC();
