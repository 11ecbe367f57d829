// Groups (type 0) draw nothing themselves: their members are objects of
// their own, drawn in list order.
#include "render/objects/object_render.h"

int RenderGroupObject(const ObjectContext&) { return 0; }
