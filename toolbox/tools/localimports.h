#pragma once
// The member lists that locals 667, 33 and 968 send as comma-separated files. They add members
// to the member file (667 updates the members it already has, 33 counts them); every member
// they create carries the local's number. Each runs in one database transaction after its
// file has been read and checked.
#include "imports.h"

#include <QDialog>
#include <QWidget>

// IMPORTDATAFOR667 and IMPORTDATAFOR33: the window's three display lines and the run.
class LocalListImport : public Imports::ImportRun {
public:
    LocalListImport(storage::Database &db, Dialogs &dialogs, qint32 local);

    struct Values {
        QString DISPLAYSTRING, DISPLAYSTRING2, DISPLAYSTRING3;
    } LOC;
    // The display lines changed.
    std::function<void()> changed;

    // True when the members were written (or there was nothing to write).
    bool run();
    qint32 local() const { return m_local; }
    QString fileName() const;

    qint64 imported = 0;   // data lines taken, duplicates included
    qint64 added = 0;
    qint64 duplicates = 0;
    qint64 updated = 0;    // duplicates of 667 rewritten with the list's values

private:
    void display();
    qint32 m_local;
};

// IMPORTDATAFOR968.
class Import968 : public Imports::ImportRun {
public:
    using ImportRun::ImportRun;
    // The question, then the import; false when cancelled or refused.
    bool run();
    qint64 added = 0;
    qint64 skipped = 0; // members whose account or SSN the member file already has
};

class QLabel;
class QPushButton;

// "Import 667 Data ..." / "Import 33 Data"
class LocalListImportWindow : public QDialog {
    Q_OBJECT
public:
    LocalListImportWindow(storage::Database &db, Dialogs &dialogs, qint32 local, QWidget *parent = nullptr);
    LocalListImport &logic() { return m_logic; }
    QPushButton *importButton() const { return m_import; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *continueButton() const { return m_continue; }
    QLabel *displayLine(int n) const { return m_lines[n]; }
    void startImport();

protected:
    void reject() override;

private:
    void refresh();
    LocalListImport m_logic;
    QLabel *m_lines[3];
    QPushButton *m_import, *m_cancel, *m_continue;
    bool m_running = false;
};

// "Import 968 Data from CSV file ..."
class Import968Window : public QWidget {
    Q_OBJECT
public:
    Import968Window(storage::Database &db, Dialogs &dialogs, QWidget *parent = nullptr);
    Import968 &logic() { return m_logic; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    Import968 m_logic;
    QPushButton *m_ok, *m_cancel;
};

void IMPORTDATAFOR667();
void IMPORTDATAFOR33();
void IMPORTDATAFOR968();
