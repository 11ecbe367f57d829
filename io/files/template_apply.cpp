// Creating a loaded template's display objects in the project.
#include <algorithm>
#include <map>
#include <mutex>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "io/files/template_state.h"
#include "io/files/templates.h"
#include "model/dispobj_internal.h"
#include "model/input_table.h"
#include "model/model_text.h"

namespace {

// The project input chosen for the template input the object showed when
// it was exported; none when that input was not in the template or the
// choice is no input of this project.
uint8_t MapInput(const TemplateImage& image, uint8_t original) {
  if (original == kNoInput) return kNoInput;
  for (const TemplateInput& input : image.Inputs) {
    if (input.Original != original) continue;
    return input.Chosen < InputTableCount() ? static_cast<uint8_t>(input.Chosen) : kNoInput;
  }
  return kNoInput;
}

// The export window lists objects from the top of the drawing down, groups
// before their members, and files keep that order; every record carries its
// index in the exporting project, which is its place in the drawing.
std::vector<const TemplateObject*> DrawingOrder(const TemplateImage& image) {
  std::vector<const TemplateObject*> order;
  for (const TemplateObject& object : image.Objects) order.push_back(&object);
  std::stable_sort(order.begin(), order.end(),
                   [](const TemplateObject* a, const TemplateObject* b) { return a->Original < b->Original; });
  return order;
}

int Apply(const TemplateImage& image) {
  if (DispTableCount() + image.Objects.size() > kMaxDispObjs) return -40;
  std::map<uint32_t, uint32_t> made; // exported index -> new index
  std::vector<uint32_t> created;
  for (const TemplateObject* record : DrawingOrder(image)) {
    const TemplateObject& object = *record;
    const uint32_t index = DispTableAppend();
    if (index == kNoDispObj) return -40;
    DispObjEntry& entry = *DispTableEntry(index);
    entry.Base = object.Object.Base;
    entry.Param = object.Object.Param;
    entry.Bitmap = object.Object.Bitmap;
    FieldCopy(entry.Base.Name, kNameLength, u""); // not a clash with itself
    FieldCopy(entry.Base.Name, kNameLength, DispUniqueName(FieldString(object.Object.Base.Name, kNameLength)));
    entry.Base.InputID = MapInput(image, object.Object.Base.InputID);
    made[object.Original] = index;
    created.push_back(index);
  }
  for (uint32_t index : created) {
    DispObjEntry& entry = *DispTableEntry(index);
    const auto parent = made.find(entry.Base.ParentObject);
    entry.Base.ParentObject = parent != made.end() && parent->second != index ? parent->second : kNoDispObj;
  }
  // A damaged file could make groups hold each other: such a ring is cut.
  for (uint32_t index : created) {
    uint32_t at = index;
    size_t steps = 0;
    while (at != kNoDispObj && steps++ <= created.size()) at = DispTableEntry(at)->Base.ParentObject;
    if (at != kNoDispObj) DispTableEntry(index)->Base.ParentObject = kNoDispObj;
    DispTableSync(index);
  }
  return 0;
}

} // namespace

int TemplateImportApply() {
  TemplateLoaded& state = TemplateState();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.image) return ErrorSet(-21, "TemplateImportApply");
  ChangeAccess access("TemplateImportApply");
  const int code = Apply(*state.image);
  if (code == 0) LogPrintf(L"Template applied: %d display objects", static_cast<int>(state.image->Objects.size()));
  return ErrorSet(code, "TemplateImportApply");
}
