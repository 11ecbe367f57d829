// What a decoded project must hold before it may replace the open one:
// values in range and references that point at existing entries without
// cycles, so that no later routine indexes past a table.
#include <cmath>
#include <limits>

#include "base/error.h"
#include "io/files/disp_codec.h"
#include "io/files/project_format.h"
#include "model/dispobj_internal.h"
#include "model/model_text.h"
#include "model/param_check.h"

namespace {

bool Finite(float v) { return std::isfinite(v); }

void TerminateData(DataStruct& d) {
  for (char16_t* field : {d.Time, d.PosX, d.PosY, d.PosZ, d.GpsAcc, d.Lap, d.Speed, d.Heading,
                          d.RPM, d.Gear, d.GForceX, d.GForceY, d.CustomName, d.CustomInput,
                          d.CustomName2, d.CustomInput2, d.CustomName3, d.CustomInput3,
                          d.CustomName4, d.CustomInput4, d.Throttle})
    FieldTerminate(field, kNameLength);
}

// The first number of the input records out of its range.
RecordFault InputsFault(const ProjectImage& image) {
  for (const auto& input : image.Inputs) {
    for (RecordFault fault : {MainStructCheck(input.Main), AdjustStructCheck(input.Adjust), DataStructCheck(input.Data)})
      if (fault) return fault;
  }
  return RecordFault{};
}

bool InputsValid(ProjectImage& image) {
  const size_t count = image.Inputs.size();
  for (size_t i = 0; i < count; ++i) {
    MainStruct& main = image.Inputs[i].Main;
    if (main.Type < kInputVideo || main.Type > kInputFiller) return false;
    FieldTerminate(main.Name, kNameLength);
    FieldTerminate(main.FilePath, kPathLength);
    TerminateData(image.Inputs[i].Data);
    // A join parent must be an earlier-checked join; walking up must end.
    uint32_t at = static_cast<uint32_t>(i);
    for (size_t steps = 0; image.Inputs[at].Main.ParentJoin != kNoInput; ++steps) {
      const uint32_t parent = image.Inputs[at].Main.ParentJoin;
      if (parent >= count || parent == at || steps > count) return false;
      const uint8_t type = image.Inputs[parent].Main.Type;
      if (type < kInputJoinVideo || type > kInputJoinData) return false;
      at = parent;
    }
  }
  return true;
}

bool InputRefValid(uint8_t input, size_t inputs) { return input == kNoInput || input < inputs; }

bool SegmentsValid(DispObjEntry& entry, size_t inputs, RecordFault& fault) {
  float previous = entry.Base.OffsetTime;
  for (DispSegment& segment : entry.Segments) {
    if (!Finite(segment.Start) || segment.Start < 0 || segment.Start <= previous) return false;
    previous = segment.Start;
    if ((segment.Mask & ~static_cast<uint32_t>(kSegAll)) != 0) return false;
    if (!segment.Param.empty() &&
        (!(segment.Mask & kSegParam) || segment.Param.size() != entry.Param.size()))
      return false;
    if (!segment.Bitmap.empty() && (!(segment.Mask & kSegBitmap) || !BitmapBlockValid(segment.Bitmap)))
      return false;
    if ((segment.Mask & kSegInput) && !InputRefValid(segment.Values.InputID, inputs)) return false;
    fault = DispStructCheck(segment.Values);
    if (!fault) fault = ParamCheck(entry.Base.Type, segment.Param.data(), segment.Param.size());
    if (fault) return false;
    DispStruct& values = segment.Values;
    FieldTerminate(values.Name, kNameLength);
    FieldTerminate(values.Style, kNameLength);
    values.ParamSize = values.BitmapSize = 0;
    values.Param = values.Bitmap = nullptr;
    if (!segment.Param.empty())
      ParamSanitize(entry.Base.Type, segment.Param.data(), static_cast<uint32_t>(segment.Param.size()));
  }
  return true;
}

bool ObjectsValid(ProjectImage& image, RecordFault& fault) {
  const size_t count = image.Objects.size();
  for (size_t i = 0; i < count; ++i) {
    DispObjEntry& entry = image.Objects[i];
    if (!DispObjectCheck(entry, &fault)) return false;
    if (!InputRefValid(entry.Base.InputID, image.Inputs.size())) return false;
    if (!SegmentsValid(entry, image.Inputs.size(), fault)) return false;
    uint32_t at = static_cast<uint32_t>(i);
    for (size_t steps = 0; image.Objects[at].Base.ParentObject != kNoDispObj; ++steps) {
      const uint32_t parent = image.Objects[at].Base.ParentObject;
      if (parent >= count || parent == at || steps > count) return false;
      at = parent;
    }
  }
  return true;
}

} // namespace

int ProjectValidate(ProjectImage& image, RecordFault* fault) {
  ProjectSettings& s = image.Settings;
  RecordFault found = ProjectSettingsCheck(s);
  if (!found) found = InputsFault(image);
  if (!found && !(Finite(image.TimelineTime) && image.TimelineTime >= 0))
    found = RecordFault{"TimelineTime", image.TimelineTime, 0, std::numeric_limits<float>::max()};
  bool valid = !found && s.SpeedUnit >= kSpeedMph && s.SpeedUnit <= kSpeedMs;
  FieldTerminate(s.UserText, kPathLength);
  valid = valid && InputsValid(image) && ObjectsValid(image, found);
  if (fault != nullptr) *fault = found;
  if (found) return kErrValue;
  return valid ? 0 : kErrRead;
}
