#pragma once
// What the file-producing and file-reading windows of the toolbox share: the path last used
// (GLO:FILENAME), so that each window's entry shows it.
#include <QString>

struct ToolboxGlobals {
    QString FILENAME; // up to 255 characters
};

ToolboxGlobals &ToolboxGLO();
