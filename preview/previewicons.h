#pragma once
// The preview's own button pictures, drawn here so that every machine shows the same ones:
// no icon theme is needed, and the style's stock pictures have no printer and no pin.
#include <QIcon>

namespace previewicons {

QIcon print();         // a printer with its sheet out
QIcon printThisPage(); // the same printer, one numbered sheet
// The push-pin: lying beside the board when off (the window closes after printing), pushed
// into it when on (the window stays).
QIcon pushPin();

} // namespace previewicons
