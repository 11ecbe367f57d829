#pragma once
// The panel classes of the property window, one per place in its column.
#include <vector>

class DispObjPanel;
class wcDispObjEdit;

// One of each registered panel, in column order (top first).
std::vector<DispObjPanel*> MakeDispObjPanels(wcDispObjEdit* owner);
