#pragma once
// The program's fatal stop: an error the operator may end the program on, or carry on past.
#include "platform/dialogs.h"

#include <QString>

// Shows `text` with an error icon and the buttons Abort and Ignore. Abort ends the program
// (HALT with `text` as its status); Ignore returns, and the caller carries on as it sees fit.
void FATALSTOP(Dialogs &dialogs, const QString &text);

// The caption of the fatal-stop box.
inline const QString FatalStopCaption = QStringLiteral("Program Error ...");
