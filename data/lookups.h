#pragma once
// The two services every module asks of the data: an account's balance, and which union local
// this installation keeps.
#include "platform/decimal.h"
#include "platform/storage/database.h"

#include <QString>

// Balance of an account: the sum of its Trans amounts dated on or before `asOfDate` (all of them
// when 0). `preYtd` receives the balance at the close of the year before the as-of date's year
// (or today's), `ytd` the movement since then. An account without records has balance 0; false
// (outputs 0, lastError() set) when the database could not be read: the caller must not act on it.
[[nodiscard]] bool GETBALANCE(storage::Database &db, const QString &acctNum, Decimal &balance, Decimal &preYtd,
                Decimal &ytd, qint32 asOfDate = 0);

// The description the savings fund of local 565 carries; the frame compares against it.
inline const QString SavingsFundMarker = QStringLiteral("Local 565 Savings Fund");
// The settings file in the data directory that can name the local explicitly.
inline const QString LocalSettingsFile = QStringLiteral("LOCAL.INI");

// Finds the local from the data directory: LOCAL.INI's [Local] Number, Description and Label
// when present; else the first number in the directory's name ("Local565", "565sav"), a name
// containing "SAV" marking local 565's savings fund. `path` receives the absolute directory.
void GETLOCALFROMPATH(const QString &dataDir, qint32 &local, QString &path, QString &localDesc,
                      QString &label);
