#include "io/files/project_image.h"

#include <cmath>
#include <utility>

#include "model/input_media.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "model/model.h"
#include "model/param_check.h"
#include "model/record_check.h"
#include "model/timeline_apply.h"
#include "media/input_handler.h"

void ProjectImageCapture(ProjectImage& image) {
  image.Settings = ProjectSettingsRaw();
  ProjectSettingsClamp(image.Settings);
  const float time = DispTableTime();
  image.TimelineTime = std::isfinite(time) && time > 0 ? time : 0;
  image.Inputs.resize(InputTableCount());
  for (uint32_t i = 0; i < image.Inputs.size(); ++i) {
    image.Inputs[i].Main = *InputTableMain(i);
    image.Inputs[i].Data = *InputTableData(i);
    image.Inputs[i].Adjust = *InputTableAdjust(i);
    MainStructClamp(image.Inputs[i].Main);
    DataStructClamp(image.Inputs[i].Data);
    AdjustStructClamp(image.Inputs[i].Adjust);
  }
  const uint32_t count = DispTableCount();
  image.Objects.clear();
  image.Objects.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    image.Objects.push_back(*DispTableEntry(i));
    DispObjEntry& entry = image.Objects.back();
    DispStructClamp(entry.Base);
    ParamClamp(entry.Base.Type, entry.Param.data(), entry.Param.size());
    for (DispSegment& segment : entry.Segments) {
      DispStructClamp(segment.Values);
      ParamClamp(entry.Base.Type, segment.Param.data(), segment.Param.size());
    }
  }
}

namespace {

void ReopenMedia(uint32_t input, const MainStruct& saved) {
  if (!InputHasMedia(input)) return;
  MainStruct& main = *InputTableMain(input);
  main.OpenFailed = 0;
  if (InputHandlerOpen(input) >= 0) return;
  // A missing or changed file must not cost the user the project: the
  // input stays as saved and is marked for the input window to fix.
  InputHandlerClose(input);
  main = saved;
  main.OpenFailed = 1;
}

} // namespace

void ProjectImageInstall(ProjectImage& image) {
  ModelCloseInputs();
  ModelClear();
  ProjectSettingsRaw() = image.Settings;
  for (const ProjectInputImage& input : image.Inputs) {
    const uint32_t index = InputStoreAppend();
    if (index == kNoInput) break; // counts were checked when the file was read
    *InputTableMain(index) = input.Main;
    *InputTableData(index) = input.Data;
    *InputTableAdjust(index) = input.Adjust;
  }
  for (DispObjEntry& object : image.Objects) {
    const uint32_t index = DispTableAppend();
    if (index == kNoDispObj) break;
    DispObjEntry& entry = *DispTableEntry(index);
    entry = std::move(object);
    entry.Used = true;
  }
  DispTableSetTime(image.TimelineTime);
  DispTableApplyAll();
  for (uint32_t i = 0; i < image.Inputs.size() && i < InputTableCount(); ++i)
    ReopenMedia(i, image.Inputs[i].Main);
}
