// Exports from the selected input: the still frame shown at the preview
// position as a picture file, and its sound from there as a WAV clip.
#include <algorithm>
#include <string>

#include "base/error.h"
#include "base/message_box.h"
#include "base/text.h"
#include "base/util.h"
#include "model/input_timing.h"
#include "model/inputs.h"
#include "media/input_export.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

// 99 hours: the rest of any file.
constexpr float kRestOfFile = 356400.0f;
constexpr float kShortestClip = 0.1f;

// The first selected input of one of the two types, or 255.
uint32_t firstSelectedOf(const QStringList& names, uint32_t typeA, uint32_t typeB) {
  for (const QString& name : names) {
    const uint32_t input = InputFind(name.toStdU16String().c_str());
    const uint32_t type = InputGetType(input);
    if (input != kNoInput && (type == typeA || type == typeB)) return input;
  }
  return kNoInput;
}

// The time in the input's own file that plays at the project time: the
// engine's exports take file times, the preview position is a project time.
// Before the input starts, its first used moment.
float fileTimeAt(uint32_t input, double projectTime) {
  const MainStruct* found = InputGetMain(input);
  if (found == nullptr) return 0;
  const MainStruct main = *found;
  double parentTime = projectTime;
  if (main.ParentJoin != kNoInput) {
    if (const MainStruct* join = InputGetMain(main.ParentJoin)) parentTime = InputLocalTime(*join, projectTime);
  }
  return static_cast<float>(std::max(InputLocalTime(main, parentTime), static_cast<double>(main.TrimStart)));
}

} // namespace

void wcMain::InputExportSnapshot_Clicked() {
  const uint32_t input = firstSelectedOf(SelectedInputNames(), kInputVideo, kInputImage);
  if (input == kNoInput) {
    AppMessageBox(L"Please select the video or image input that you want to snapshot.", 48);
    return;
  }
  const QString path =
      FileDialogSave(window(), "Export Snapshot Image...", UserDefaultsReadFolder("OutputDir"), QString(), {"bmp"});
  if (path.isEmpty()) return;
  const int result = InputExportSnapshot(input, NSStringToWStr(path).c_str(), fileTimeAt(input, previewTime_));
  UserDefaultsWriteFolderOf("OutputDir", path);
  if (result != 0) ErrorShowLast();
}

void wcMain::InputExportAudio_Clicked() {
  const uint32_t input = firstSelectedOf(SelectedInputNames(), kInputVideo, kInputAudio);
  if (input == kNoInput) {
    AppMessageBox(L"Please select the video or audio input that you want to export.", 48);
    return;
  }
  const wchar_t* answer = AppInputBox(L"The exported audio clip will start from the current preview position. "
                                      L"Enter the number of seconds to export, or leave this blank to export the "
                                      L"remainder of the file.",
                                      L"");
  if (answer == nullptr) return;
  std::wstring text = answer;
  const std::wstring trimmed = WcsTrim(text.data());
  float length = kRestOfFile;
  if (!trimmed.empty()) {
    length = TimeTextToSeconds(trimmed.c_str());
    if (!(length > kShortestClip)) {
      AppMessageBox(L"Invalid length entered. Audio export cancelled.", 64);
      return;
    }
  }
  const QString path =
      FileDialogSave(window(), "Export Audio Clip...", UserDefaultsReadFolder("OutputDir"), QString(), {"wav"});
  if (path.isEmpty()) return;
  const int result = InputExportAudio(input, NSStringToWStr(path).c_str(), fileTimeAt(input, previewTime_), length);
  UserDefaultsWriteFolderOf("OutputDir", path);
  if (result != 0) ErrorShowLast();
}
