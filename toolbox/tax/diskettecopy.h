#pragma once
// Copying the written information-return files to diskettes, as many as the user asks for. Where
// the machine has no drive A: the copies go to a folder the user picks once; the choice is kept
// in PENSION.INI of the data directory.
#include "taxrecords.h"

#include <QString>
#include <QStringList>

class Dialogs;

namespace Tax {

class DisketteCopy {
public:
    // `files`: the written files, each copied under its own name. `iniPath`: PENSION.INI.
    DisketteCopy(Dialogs &dialogs, Form form, const QStringList &files, const QString &iniPath);

    // The root of drive A:, or empty when the machine has none (the default on this machine is
    // found by defaultDrive(); tests set a folder of their own).
    QString drive;
    static QString defaultDrive();

    // The loop: insert question, copy, "Create Another Diskette?", until the user is done.
    void run();

    int copiesMade() const { return m_copies; }
    QString target() const { return m_target; }

    // Where the remembered folder is kept in PENSION.INI.
    static inline const QString IniSection = QStringLiteral("1099");
    static inline const QString IniFolderKey = QStringLiteral("CopyFolder");

private:
    bool chooseTarget();
    // Copies every file into the target; false with the reason when one of them failed.
    bool copyAll(QString &reason) const;
    bool askInsert();
    bool reportFailure(const QString &reason);

    Dialogs &m_dialogs;
    Form m_form;
    QStringList m_files;
    QString m_iniPath;
    QString m_target;
    bool m_toDrive = false;
    int m_copies = 0;
};

} // namespace Tax
