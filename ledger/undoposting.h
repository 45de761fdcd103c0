#pragma once
// "Undo Dividend Posting ...": removes every dividend transaction (type -5, and code 2) of one
// dividend date, for all accounts.
#include "data/records.h"
#include "platform/dialogs.h"

#include <QWidget>
#include <functional>

class UndoPostingLogic {
public:
    struct Values {
        qint32 DATE = 0;
        QString PERCENTAGE; // "n% Completed" while removing
    };

    UndoPostingLogic(storage::Database &db, Dialogs &dialogs);

    Values LOC;
    // Told every ~20 ms during the scan, so the window can repaint.
    std::function<void()> progress;
    // Told once the operator has confirmed, before the scan starts.
    std::function<void()> started;
    // Records removed by the last undo.
    int removed = 0;

    void open(); // the date starts at today
    // "&Undo": true when the posting was removed (the date is cleared).
    bool undo();

    // Whether a transaction belongs to a dividend posting.
    static bool isDividend(const Trans &t) {
        return t.TRANSTYPE == TransType::Dividend || t.TRANSTYPE == 2;
    }
    static const QString &removingText();

private:
    storage::Database &m_db;
    Dialogs &m_dialogs;
};

class QLabel;
class QLineEdit;
class QPushButton;

class UndoPostingWindow : public QWidget {
    Q_OBJECT
public:
    UndoPostingWindow(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    UndoPostingLogic &logic() { return m_logic; }
    QLineEdit *date() const { return m_date; }
    QPushButton *undoButton() const { return m_undo; }
    QPushButton *exitButton() const { return m_exit; }
    QLabel *removingText() const { return m_removing; }
    QLabel *percentText() const { return m_percent; }

    void undo();

private:
    void refresh();
    void setRemoving(bool removing);
    UndoPostingLogic m_logic;
    QLineEdit *m_date;
    QLabel *m_removing, *m_percent;
    QPushButton *m_undo, *m_exit;
};

void UNDOPOSTING();
