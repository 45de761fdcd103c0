#pragma once
// UARSDOWNLOADWINDOW: shows the detail lines of a comma-separated remittance download (name, SSN,
// amount, description) for inspection. It writes nothing.
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class Dialogs;

class UarsDownload {
public:
    static constexpr int MaxFields = 50;
    static constexpr int FieldWidth = 20;
    static constexpr int LineWidth = 500;

    struct Line {
        QString RECORDTYPE; // "H" header, "R" end of remittance, "F" end of file, "D" detail
        QStringList FIELDS; // at most MaxFields values, each clipped and cut to FieldWidth
    };
    struct Row {
        QString NAME, SSN, AMOUNT, DESCRIPTION;
    };
    QList<Line> DATAQUEUE;
    QList<Row> MEMBERQUEUE;
    // Lines of the last processing that had more than MaxFields values (only the first kept).
    int linesCut = 0;

    static Line parse(const QString &text, bool *cut = nullptr);
    // "Process Download File": replaces the lists with the file's. A file that cannot be opened
    // or holds no line leaves them as they were; false then.
    bool process(const QString &path);
    // The note under the list about lines cut; empty when none was.
    QString note() const;
};

class QLabel;
class QLineEdit;
class QTableWidget;

// "UARS Download ...."
class UarsDownloadWindow : public QWidget {
    Q_OBJECT
public:
    explicit UarsDownloadWindow(Dialogs &dialogs, QWidget *parent = nullptr);
    UarsDownload &logic() { return m_logic; }
    QLineEdit *fileName() const { return m_fileName; }
    QTableWidget *list() const { return m_list; }
    QLabel *note() const { return m_note; }

    void choose();
    void process();

private:
    UarsDownload m_logic;
    Dialogs &m_dialogs;
    QLineEdit *m_fileName;
    QTableWidget *m_list;
    QLabel *m_note;
};

void UARSDOWNLOADWINDOW();
