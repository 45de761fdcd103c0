#pragma once
// Makes the procedures of the linked modules known to the frame's menu by name.
void registerProcedures();
