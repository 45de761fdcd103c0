#include "fatalstop.h"

#include "warnings.h"

void FATALSTOP(Dialogs &dialogs, const QString &text) {
    if (dialogs.message(FatalStopCaption, text, Dlg::Error, Dlg::Abort | Dlg::Ignore, Dlg::Abort) ==
        Dlg::Abort)
        HALT(text);
}
