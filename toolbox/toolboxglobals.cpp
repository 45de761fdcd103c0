#include "toolboxglobals.h"

ToolboxGlobals &ToolboxGLO() {
    static ToolboxGlobals g;
    return g;
}
