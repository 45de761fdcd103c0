#pragma once
// The conversion imports from the fund's former system: the member master (IMPORTMEMBERS), the
// account history with its opening balances (IMPORTTRANS) and the transaction codes
// (IMPORTTRANSCODES). Each replaces its whole target file, so each runs in one database
// transaction after its input has been read and checked: a refused file, a failed write or a
// killed process leaves the previous data.
#include "imports.h"

class MemberImport : public Imports::ImportRun {
public:
    using ImportRun::ImportRun;
    // True when MemberCU was replaced.
    bool run();
    qint64 stored = 0;
};

class TransImport : public Imports::ImportRun {
public:
    using ImportRun::ImportRun;
    // True when Trans was replaced (history and opening balances together).
    bool run();
    qint64 stored = 0;
    qint64 balancesAdded = 0;
};

class TransCodeImport : public Imports::ImportRun {
public:
    using ImportRun::ImportRun;
    bool run();
    qint64 stored = 0;
};

void IMPORTMEMBERS();
void IMPORTTRANS();
void IMPORTTRANSCODES();
