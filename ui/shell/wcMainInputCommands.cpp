// The main window's commands on the selected inputs: the buttons beside the
// inputs list, the list's menu items and double click, configure, trim, the
// option button, duplicate, remove, reorder, time fillers, the sync tools
// and rename. Join is in wcMainInputJoin.cpp, the exports in
// wcMainInputExport.cpp.
#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPushButton>
#include <algorithm>

#include "base/error.h"
#include "base/message_box.h"
#include "base/text.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/preview/main_preview.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/input/wcInputCrop.h"
#include "ui/input/wcInputEdit.h"
#include "ui/input/wcInputSetLap.h"
#include "ui/input/wcInputSync.h"
#include "ui/input/wcInputSync2.h"
#include "ui/input/wcInputTrim.h"
#include "ui/input/wcLapList.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kWarning = 48;
constexpr int kYesNo = 36;
constexpr int kYesNoCancel = 35;
// An index no row has: a refresh that keeps no selection.
constexpr uint32_t kNoListSelection = 0xFFFFFFFF;

uint32_t findInput(const QString& name) { return InputFind(name.toStdU16String().c_str()); }

bool isJoin(uint32_t type) { return type >= kInputJoinVideo && type <= kInputJoinData; }

void warn(const wchar_t* text) { AppMessageBox(text, kWarning); }

} // namespace

QWidget* wcMain::makeInputButtons(QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(4);
  struct Button {
    const char* name;
    const char* title;
    const char* tip;
    void (wcMain::*action)();
  };
  // Four to a row, as the objects list below has them.
  const Button buttons[] = {
      {"InputAdd", "Add...", "Add files to the project", &wcMain::AddInput},
      {"InputRemove", "Remove", "Remove the selected inputs", &wcMain::InputRemove_Pressed},
      {"InputEdit", "Configure", "Properties, picture and sound of the selected input", &wcMain::InputEdit_Pressed},
      {"InputTrim", "Trim", "Choose the part of the file the project uses", &wcMain::InputTrim_Pressed},
      {"InputJoin", "Join", "Join the selected inputs end to end, or take them apart", &wcMain::InputJoin_Pressed},
      {"InputMoveUp", "Up", "Move the selected inputs up", &wcMain::InputMoveUp_Pressed},
      {"InputMoveDown", "Down", "Move the selected inputs down", &wcMain::InputMoveDown_Pressed},
      {"InputSync", "Quick Sync", "Line the selected input up with the others", &wcMain::InputSync_Pressed},
  };
  int column = 0;
  int row = 0;
  for (const Button& b : buttons) {
    auto* button = new QPushButton(b.title, panel);
    button->setObjectName(b.name);
    button->setToolTip(b.tip);
    connect(button, &QPushButton::clicked, this, b.action);
    grid->addWidget(button, row, column);
    if (++column == 4) {
      column = 0;
      ++row;
    }
  }
  return panel;
}

void wcMain::installInputCommands() {
  SetListCommand("InputFilesDoubleClicked", [this]() { InputEdit_Pressed(); });
  SetListCommand("InputMenuConfig", [this]() { InputEdit_Pressed(); });
  SetListCommand("InputMenuTrim", [this]() { InputTrim_Pressed(); });
  SetListCommand("InputMenuDuplicate", [this]() { InputDuplicate_Clicked(); });
  SetListCommand("InputMenuSync", [this]() { InputSync_Pressed(); });
  SetListCommand("InputMenuSync2", [this]() { InputSync2_Pressed(); });
  SetListCommand("InputMenuAddFiller", [this]() { InputAddTimeFiller_Clicked(); });
  SetListCommand("InputMenuSnapshot", [this]() { InputExportSnapshot_Clicked(); });
  SetListCommand("InputMenuExportAudio", [this]() { InputExportAudio_Clicked(); });
  SetListCommand("InputMenuRename", [this]() { InputRename_Clicked(); });
  SetListCommand("InputMenuRemove", [this]() { InputRemove_Pressed(); });
}

uint32_t wcMain::firstSelectedInput() const {
  const QStringList names = SelectedInputNames();
  return names.isEmpty() ? kNoInput : findInput(names.front());
}

void wcMain::stopPreviewPlayback() {
  PreviewStop();
  if (playButton_ != nullptr) setButtonFace(playButton_, "PlayImage");
}

// What every input window leaves behind: the preview, the property window
// and the lap list follow the model again.
void wcMain::afterInputWindow() {
  PreviewRefresh();
  const QStringList objects = SelectedDispObjNames();
  const uint32_t first = objects.isEmpty() ? kNoDispObj : DispObjFind(objects.front().toStdU16String().c_str());
  CallWindowIfVisible(AppWindows().wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject,
                      static_cast<int>(first));
  CallWindowIfVisible(AppWindows().wndLapList(), &wcLapList::UpdateLapList);
}

void wcMain::InputEdit_Pressed() {
  const QStringList names = SelectedInputNames();
  if (names.isEmpty()) return warn(L"Please select an input to configure.");
  const uint32_t input = findInput(names.front());
  const uint32_t type = InputGetType(input);
  if (input != kNoInput && isJoin(type)) {
    return warn(L"Joined inputs cannot be configured as a whole. Please select an individual element and "
                L"configure that instead.");
  }
  if (input != kNoInput && type == kInputFiller) return InputTrim_Pressed();
  InputEdit(input);
}

void wcMain::InputEdit(uint32_t input) {
  if (input == kNoInput) return warn(L"Please select an input to configure.");
  auto* editor = NeededWindow(AppWindows().wndInputEdit());
  if (editor == nullptr) return;
  stopPreviewPlayback();
  QuickSyncSettle();
  UndoSave();
  if (!editor->SetInputFile(input, previewTime_)) return;
  RunModalForWindow(editor);
  if (editor->Success()) {
    setProjectModified(true);
    InputRefresh(kNoInput);
  } else if (UndoToggle() != 0) {
    // The window's live changes could not be taken back: say so.
    ErrorShowLast();
  } else {
    UndoSave();
  }
  afterInputWindow();
}

void wcMain::InputTrim_Pressed() {
  const QStringList names = SelectedInputNames();
  if (names.isEmpty()) return warn(L"Please select an input to trim.");
  const uint32_t input = findInput(names.front());
  if (input == kNoInput) return ErrorShowLast();
  InputTrim(input);
}

void wcMain::InputTrim(uint32_t input) {
  if (input == kNoInput) return warn(L"Please select an input to trim.");
  const uint32_t type = InputGetType(input);
  if (type == kInputImage) return warn(L"Image files have no time index and cannot be trimmed.");
  if (isJoin(type)) {
    return warn(L"Joined inputs cannot be trimmed as a whole. Please select an individual element and trim "
                L"that instead.");
  }
  auto* trim = NeededWindow(AppWindows().wndInputTrim());
  if (trim == nullptr) return;
  QuickSyncSettle();
  UndoSave();
  if (!trim->SetInput(input)) return;
  RunModalForWindow(trim);
  setProjectModified(true);
  PreviewRefresh();
}

void wcMain::InputOpt1_Pressed() {
  InputOpt1((QGuiApplication::keyboardModifiers() & Qt::ControlModifier) != 0);
}

void wcMain::InputOpt1(bool controlHeld) {
  const QStringList names = SelectedInputNames();
  const uint32_t input = names.isEmpty() ? kNoInput : findInput(names.front());
  if (!names.isEmpty() && input == kNoInput) return ErrorShowLast();
  const uint32_t type = InputGetType(input);
  if (input == kNoInput || (type != kInputVideo && type != kInputData))
    return warn(L"Please select a Video or Data input to use this button.");
  if (type == kInputVideo) {
    auto* crop = NeededWindow(AppWindows().wndInputCrop());
    if (crop == nullptr) return;
    QuickSyncSettle();
    UndoSave();
    if (!crop->SetInput(input, previewTime_)) return;
    RunModalForWindow(crop);
    setProjectModified(true);
    PreviewRefresh();
    return;
  }
  if (controlHeld) {
    const int answer = AppMessageBox(L"Do you want to set the Start/Finish point at the currently displayed "
                                     L"position?\n\nClick 'No' to see a menu where you can select the point to use.",
                                     kYesNoCancel);
    if (answer == kMbYes) return runListCommand("InputMenuLapSetManual");
    if (answer != kMbNo) return;
  }
  auto* setLap = NeededWindow(AppWindows().wndInputSetLap());
  if (setLap == nullptr) return;
  QuickSyncSettle();
  UndoSave();
  setLap->SetInput(static_cast<int>(input));
  RunModalForWindow(setLap);
  setProjectModified(true);
  PreviewRefresh();
  CallWindowIfVisible(AppWindows().wndLapList(), &wcLapList::SetInput, static_cast<int>(input));
}

void wcMain::InputDuplicate_Clicked() {
  const QStringList names = SelectedInputNames();
  if (names.isEmpty()) return warn(L"Please select the item(s) that you want to duplicate.");
  QuickSyncSettle();
  UndoSave();
  uint32_t last = kNoInput;
  for (const QString& name : names) {
    last = InputDuplicate(findInput(name));
    if (last == kNoInput) {
      ErrorShowLast();
      break;
    }
  }
  InputRefresh(kNoInput);
  InputSelect(last);
  setProjectModified(true);
  PreviewRefresh();
}

void wcMain::InputRemove_Pressed() {
  const QStringList names = SelectedInputNames();
  if (names.isEmpty()) return warn(L"Please select the input file(s) that you want to remove.");
  const std::wstring question =
      names.size() == 1
          ? WcsFormat(L"Are you sure you want to remove '%s' and all associated display objects?",
                      NSStringToWStr(names.front()).c_str())
          : WcsFormat(L"Are you sure you want to remove the %d selected inputs and all associated display objects?",
                      static_cast<int>(names.size()));
  if (AppMessageBox(question.c_str(), kYesNo) != kMbYes) return;
  if (AppDelegate::IsWindowVisible(AppWindows().wndInputSync()))
    return warn(L"Please close the synchronization tool before removing input(s).");
  const bool wasPlaying = PreviewIsPlayingNow();
  stopPreviewPlayback();
  QuickSyncSettle();
  UndoSave();
  for (const QString& name : names) {
    // Looked up afresh: a removal renumbers the inputs after it, and a join
    // takes its members with it.
    const uint32_t input = findInput(name);
    if (input == kNoInput) continue;
    const bool member = InputGetParent(input) != input;
    const int removed = InputRemove(input, member ? 0 : 1);
    resetLapList();
    if (removed != 0) {
      ErrorShowLast();
      break;
    }
  }
  setProjectModified(true);
  InputRefresh(kNoInput);
  DispObjRefresh(kNoDispObj);
  PreviewRefresh(false, wasPlaying);
}

void wcMain::InputMoveUp_Pressed() { moveSelectedInputs(1); }

void wcMain::InputMoveDown_Pressed() { moveSelectedInputs(-1); }

void wcMain::moveSelectedInputs(int direction) {
  QStringList names = SelectedInputNames();
  if (names.isEmpty()) return warn(L"Please select the input that you want to move.");
  QuickSyncSettle();
  UndoSave();
  // Down goes from the last selected up, so that neighbours keep their order.
  if (direction < 0) std::reverse(names.begin(), names.end());
  wcLapList* lapList = AppWindows().wndLapList();
  for (const QString& name : names) {
    const uint32_t input = findInput(name);
    // Status 10, no neighbour to swap with, leaves the list as it is.
    (void)InputChangeOrder(input, direction);
    if (AskWindowIfVisible(lapList, &wcLapList::OurInputID, static_cast<int>(kNoInput)) == static_cast<int>(input))
      resetLapList();
  }
  InputRefresh(kNoInput);
  setProjectModified(true);
  PreviewRefresh();
}

void wcMain::InputAddTimeFiller_Clicked() {
  const uint32_t first = firstSelectedInput();
  if (SelectedInputNames().isEmpty()) return;
  QuickSyncSettle();
  UndoSave();
  // A join, or the join holding the selected member; a free input has none.
  uint32_t join = first;
  if (!isJoin(InputGetType(first))) {
    const uint32_t parent = InputGetParent(first);
    join = parent == first ? kNoInput : parent;
  }
  const uint32_t filler = InputAddSpecial(kSpecialFiller);
  if (filler == kNoInput) {
    ErrorShowLast();
  } else if (join != kNoInput) {
    MainStruct record = *InputGetMain(filler);
    record.ParentJoin = static_cast<uint8_t>(join);
    if (InputSetMain(filler, &record) != 0) ErrorShowLast();
    InputUpdateJoin(join);
  }
  InputRefresh(kNoInput);
  setProjectModified(true);
  PreviewRefresh();
}

void wcMain::InputSync_Pressed() {
  if (InputCount() == 0) return warn(L"Please add input files to this project first.");
  auto* sync = NeededWindow(AppWindows().wndInputSync());
  if (sync == nullptr) return;
  sync->SetInput(static_cast<int>(firstSelectedInput()));
  sync->showWindow();
}

void wcMain::InputSync2_Pressed() {
  if (InputCount() == 0) return warn(L"Please add input files to this project first.");
  auto* sync2 = NeededWindow(AppWindows().wndInputSync2());
  if (sync2 == nullptr) return;
  // Its own previews and playback take the place of the main preview's.
  stopPreviewPlayback();
  // Its edit is kept or dropped as the user says, not dropped unasked.
  QuickSyncSettle();
  sync2->SetInput(static_cast<int>(firstSelectedInput()));
  RunModalForWindow(sync2);
}

void wcMain::InputRename_Clicked() {
  const QStringList names = SelectedInputNames();
  if (names.isEmpty()) return warn(L"Please select the input that you want to rename.");
  const uint32_t input = findInput(names.front());
  const char16_t* current = InputGetName(input);
  if (current == nullptr || current[0] == 0) return;
  const std::wstring currentName = Utf16ToWide(current);
  const wchar_t* answer = AppInputBox(L"Enter new name for input", currentName.c_str());
  if (answer == nullptr || answer[0] == 0) return;
  QuickSyncSettle();
  const int renamed = InputRename(input, WideToUtf16(answer).c_str());
  if (renamed != 0) ErrorShowLast();
  if (renamed < 0) return;
  setProjectModified(true);
  InputRefresh(kNoListSelection);
  InputSelect(input);
  const QStringList objects = SelectedDispObjNames();
  const uint32_t object = objects.isEmpty() ? kNoDispObj : DispObjFind(objects.front().toStdU16String().c_str());
  CallWindowIfVisible(AppWindows().wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject, static_cast<int>(object));
  CallWindowIfVisible(AppWindows().wndLapList(), &wcLapList::ReloadInputs);
}
