// The preview transport: play and pause, stop, the time slider, the time and
// length entries, sound, the preview settings and the picture snapshot.
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QUrl>
#include <algorithm>

#include "base/error.h"
#include "base/message_box.h"
#include "base/util.h"
#include "io/files/undo.h"
#include "model/project.h"
#include "render/preview/main_preview.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcPreview.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kMaxTimeTextChars = 63;

// What the engine's time reader takes: one to three fields split by ":",
// each a number with "." or "," as the decimal point. Blank is 0.
bool timeTextReadable(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return true;
  if (text.size() > kMaxTimeTextChars) return false;
  static const QRegularExpression form(
      R"(^\s*\d*(?:[.,]\d*)?\s*(?::\s*\d*(?:[.,]\d*)?\s*){0,2}$)");
  static const QRegularExpression digit(R"(\d)");
  if (!form.match(trimmed).hasMatch()) return false;
  // Every field needs a digit: "1::2" or ":" is no time.
  for (const QString& field : trimmed.split(':')) {
    if (!field.contains(digit)) return false;
  }
  return true;
}

// Asks for a time; false for Cancel or a text that is no time (said so).
bool askTime(const wchar_t* prompt, double current, float& seconds) {
  const wchar_t* answer = AppInputBox(prompt, SecondsToTimeText(static_cast<float>(current)));
  if (answer == nullptr) return false;
  std::wstring text = answer;
  if (!timeTextReadable(WStrToNSString(text.c_str()))) {
    AppMessageBox(L"The time entered could not be read. Please enter it as hh:mm:ss.nn or as a number of seconds.",
                  48);
    return false;
  }
  seconds = TimeTextToSeconds(text.c_str());
  return true;
}

QString outputDirDefault() { return UserDefaultsReadFolder("OutputDir"); }

} // namespace

void wcMain::PlayButton_Pressed() {
  const bool playing = PreviewIsPlayingNow();
  PreviewStop();
  if (playing) {
    setButtonFace(playButton_, "PlayImage");
    return;
  }
  PreviewSetVolume(static_cast<uint32_t>(std::clamp(previewVolume_, 0, 100)));
  if (previewTime_ >= projectLength_) previewTime_ = 0;
  PreviewPlay(static_cast<uint32_t>(std::clamp(previewOptions_.quality, 0, 5)), static_cast<float>(previewTime_),
              static_cast<float>(previewOptions_.frameRate));
  setButtonFace(playButton_, "PauseImage");
}

void wcMain::StopButton_Pressed() {
  scrolling_ = true;
  PreviewStop();
  previewTime_ = 0;
  setButtonFace(playButton_, "PlayImage");
  scrolling_ = false;
  // Not "go on if playing": the engine is still drawing the stop frame and
  // would count as playing, so playback would start again from 0.
  PreviewRefresh(false, false);
}

void wcMain::PreviewTimeSlider_Changed(bool released) {
  if (previewTimeSlider_ == nullptr) return;
  scrolling_ = true;
  previewTime_ = std::clamp(previewTimeSlider_->value() / 1000.0, 0.0, std::max(projectLength_, 0.0));
  PreviewRefresh(previewOptions_.fastSeek && !released);
  scrolling_ = false;
}

void wcMain::PreviewTimeButton_Pressed() {
  float seconds = 0;
  if (!askTime(L"Enter time to seek to...\n(hh:mm:ss.nn)", previewTime_, seconds)) return;
  scrolling_ = true;
  previewTime_ = std::clamp(static_cast<double>(seconds), 0.0, std::max(projectLength_, 0.0));
  PreviewTrackbarUpdate();
  PreviewRefresh();
  scrolling_ = false;
}

void wcMain::ProjectLengthButton_Pressed() {
  float seconds = 0;
  if (!askTime(L"Enter the desired project length...\n (set to zero or blank to use automatic length)",
               projectLength_, seconds))
    return;
  scrolling_ = true;
  UndoSave();
  projectLength_ = seconds;
  ProjectSetLength(seconds);
  setProjectModified(true);
  previewTime_ = std::clamp(previewTime_, 0.0, std::max(projectLength_, 0.0));
  PreviewTrackbarUpdate();
  PreviewRefresh();
  scrolling_ = false;
}

// Unmuting always comes back at full volume.
void wcMain::MuteButton_Pressed() { SetPreviewVolume(previewVolume_ != 0 ? 0 : 100, true); }

void wcMain::VolumeStepper_Changed() {
  if (volumeStepper_ != nullptr) SetPreviewVolume(volumeStepper_->value(), true);
}

void wcMain::PreviewSettings_Pressed() {
  PreviewStop();
  RunModalForWindow(NeededWindow(AppWindows().wndPreview()));
}

void wcMain::ExportPreview() {
  QString path = FileDialogSave(window(), "Save Snapshot...", outputDirDefault(), QString(), {"bmp"});
  if (path.isEmpty()) return;
  int result = MainPreviewExportSnapshot(NSStringToWStr(path).c_str());
  UserDefaultsWrite("OutputDir", QUrl::fromLocalFile(QFileInfo(path).path() + "/").toString());
  if (result != 0) ErrorShowLast();
}

// The mark buttons are hidden and the engine's mark hook does nothing.
void wcMain::PreviewMarkStartButton_Pressed() { ProjectSetMark(0); }
void wcMain::PreviewMarkEndButton_Pressed() { ProjectSetMark(1); }
