#pragma once
// "Participant Labels": mailing labels on sheet stock, across then down, starting at any position
// of a partly used first sheet; each label the member's name and address without blank lines.
#include "reportwindow.h"

#include <QPoint>
#include <memory>

class QComboBox;
class QSpinBox;

// A sheet of labels, in thousandths of an inch on a letter page.
struct LabelStock {
    QString name;
    int columns, rows;
    int left, top;       // the first label's top-left corner
    int pitchX, pitchY;  // from one label's corner to the next one's
    int width, height;   // of one label
    int perSheet() const { return columns * rows; }
    // The top-left corner of position `slot` (0 = top left, across then down).
    QPoint place(int slot) const;
};

namespace Labels {
// 3 x 10 address labels (the default), 2 x 10, 2 x 7.
const QList<LabelStock> &stocks();
} // namespace Labels

class MailingLabels : public ReportLogic {
public:
    MailingLabels(storage::Database &db, Dialogs &dialogs);
    ~MailingLabels() override;

    MemberSelection selection;
    int STOCK = 0;         // index in Labels::stocks()
    int STARTPOSITION = 1; // 1-based position of the first label on the first sheet

    int COUNT = 0;

protected:
    QString reportName() const override;
    QString heading() const override;
    bool begin(ReportRun &run) override;
    bool step(ReportRun &run) override;

private:
    std::unique_ptr<storage::DataFile<MemberCU>> m_mem;
    std::unique_ptr<MemberWalk> m_walk;
};

class LabelsWindow : public ReportWindow {
    Q_OBJECT
public:
    LabelsWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    MailingLabels &logic() { return m_logic; }
    QComboBox *stock() const { return m_stock; }
    QSpinBox *startPosition() const { return m_start; }

protected:
    bool readChoices() override;
    void storeChoices(ReportChoices &choices) override;
    void runReport() override;

private:
    void stockChanged();
    MailingLabels m_logic;
    QComboBox *m_stock;
    QSpinBox *m_start;
};

void MEMLABWIN();
