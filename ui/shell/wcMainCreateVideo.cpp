// Main-window commands that reach beyond it: Create Video (the preview
// stopped, the output window run, the preview rebuilt and, when asked, the
// computer shut down), the lap list and the start/finish point taken from
// the preview, and the bridge to the timeline window.
#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <algorithm>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/input_records.h"
#include "model/inputs.h"
#include "media/datalog/datalog_queries.h"
#include "media/datalog/query.h"
#include "render/preview/main_preview.h"
#include "ui/input/wcLapList.h"
#include "ui/input/wcTimeline.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/session_power.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/selected_input.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr float kDefaultHeadingTolerance = 30.0f; // degrees
constexpr float kSmallestHeadingTolerance = 0.1f;
constexpr double kSpanPartForTolerance = 40.0;
constexpr uint8_t kLapSetByUser = 0x01;
constexpr uint8_t kLapTypedByHand = 0x80;

// A fortieth of the log's span, never negative and never more than a
// quarter of it.
double positionTolerance(double span) {
  return std::clamp(span / kSpanPartForTolerance, 0.0, std::max(0.0, span / 4.0));
}

} // namespace

// The toolbar buttons and the inputs menu's lap items.
void wcMain::makeCreateVideoCommands(QToolBar* bar) {
  auto add = [this, bar](const char* name, const QString& title, void (wcMain::*command)()) {
    QAction* action = bar->addAction(title);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, command);
  };
  add("CreateVideoButton", "Create Video", &wcMain::CreateVideo_Pressed);
  add("LapsButton", "Laps", &wcMain::Laps_Pressed);
  add("TimelineButton", "Timeline", &wcMain::Timeline_Pressed);
  if (inputFilesMenu_ != nullptr) {
    QAction* laps = inputFilesMenu_->addAction("Laps...");
    laps->setObjectName("InputMenuLaps");
    connect(laps, &QAction::triggered, this, &wcMain::InputLaps_Clicked);
  }
  SetListCommand("InputMenuLapSetManual", [this]() { InputLapSetManual_Clicked(); });
}

void wcMain::CreateVideo(bool upload) {
  if (DispObjCount() == 0) {
    AppMessageBox(L"Please add display objects to this project first", 48);
    return;
  }
  PreviewStop();
  // An unsaved project is rendered as it is, whatever the answer.
  if (ProjectModified() && AppMessageBox(L"Do you want to save the current project?", 36) == kMbYes)
    SaveProject();
  KillPreviewTimer();
  wcCreateVideo* output = AppWindows().wndCreateVideo();
  if (output != nullptr) {
    output->setUploadRequested(upload);
    RunModalForWindow(output);
  }
  // The output took over the render set-up: the preview's comes back,
  // stopped as the command left it (its set-up's first frame may still be
  // drawing, which must not count as playback).
  SetPreviewArea(false, 0, 0);
  PreviewRefresh(false, false);
  CreatePreviewTimer();
  if (output != nullptr && output->RenderCompleteShutdown()) shutDownAfterRender();
}

// The user left the machine to go down by itself: when it does not, the
// finished video and the reason are told instead of nothing at all.
void wcMain::shutDownAfterRender() {
  QString why;
  if (SystemShutdown(&why)) return;
  if (why.isEmpty()) why = "The system gave no reason.";
  const QString text = "The video file is complete, but the computer was not shut down: the system refused the "
                       "request.\n\n" + why;
  AppMessageBox(NSStringToWStr(text).c_str(), 48);
}

void wcMain::Laps_Pressed() {
  if (InputCount() == 0) {
    AppMessageBox(L"Please add a data input file to the project first.", 64);
    return;
  }
  const QStringList names = SelectedInputNames();
  const uint32_t input = names.isEmpty() ? kNoInput : InputFind(names.front().toStdU16String().c_str());
  auto* lapList = NeededWindow(AppWindows().wndLapList());
  if (lapList == nullptr) return;
  lapList->SetInput(static_cast<int>(input));
  lapList->showWindow();
}

// The start/finish line where the preview stands: the log's position and
// heading at the preview time, with tolerances from the log's extent.
void wcMain::InputLapSetManual_Clicked() {
  const uint32_t input = FirstSelectedInputOrWarn(SelectedInputNames(), L"Please select the input that you want to set the start/finish point for.");
  if (input == kNoInput) return;
  if (InputGetType(input) != kInputData) {
    AppMessageBox(L"Please select a data input.", 48);
    return;
  }
  const DataStruct* stored = InputGetData(input);
  if (stored == nullptr) {
    ErrorShowLast();
    return;
  }
  // Outside the log every position is its first or last one: no line there.
  const float at = static_cast<float>(previewTime_);
  const double logTime = InputHandlerGetDataTypeValue(input, 0, kQueryTime, at);
  if (logTime < 0.0 || logTime > InputGetLength(input, 1)) {
    AppMessageBox(L"The preview is outside the data of this input. Please move the preview to a time "
                  L"when the start/finish line is crossed.",
                  48);
    return;
  }
  DataStruct data = *stored;
  UndoSave();
  data.LapX = InputHandlerGetDataTypeValue(input, 0, kQueryPosX, at);
  data.LapY = InputHandlerGetDataTypeValue(input, 0, kQueryPosY, at);
  data.LapHeading = static_cast<float>(InputHandlerGetDataTypeValue(input, 0, kQueryHeading, at));
  data.LapManual = static_cast<uint8_t>((data.LapManual | kLapSetByUser) & ~kLapTypedByHand);
  data.LapTolX = positionTolerance(InputHandlerGetDataTypeValue(input, 1, kQuerySpanX, 0.0f));
  data.LapTolY = positionTolerance(InputHandlerGetDataTypeValue(input, 1, kQuerySpanY, 0.0f));
  if (data.LapHeadTol < kSmallestHeadingTolerance) data.LapHeadTol = kDefaultHeadingTolerance;
  InputSetData(input, &data);
  setProjectModified(true);
  PreviewRefresh();
  CallWindowIfVisible(AppWindows().wndLapList(), &wcLapList::SetInput, static_cast<int>(input));
}

void wcMain::Timeline_Pressed() {
  auto* timeline = NeededWindow(AppWindows().wndTimeline());
  if (timeline == nullptr) return;
  timeline->SetData();
  timeline->showWindow();
}

void wcMain::TimelineClearSelection() {
  CallWindowIfVisible(AppWindows().wndTimeline(), &wcTimeline::ClearSelection);
}

void wcMain::TimelineRefreshView() {
  CallWindowIfVisible(AppWindows().wndTimeline(), &wcTimeline::RefreshView);
}
