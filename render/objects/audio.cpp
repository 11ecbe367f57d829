// Audio objects (type 11) only carry sound: the render loop mixes their
// input with the object's volume and balance; nothing is drawn.
#include "render/objects/object_render.h"

int RenderAudioObject(const ObjectContext&) { return 0; }
