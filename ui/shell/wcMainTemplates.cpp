// The main window's template commands: the template menu in its four
// modes, the data template step that follows a data-log template, loading
// a template file with its input mapping, the data template's options,
// Import and Create Template, and the data template items of the inputs
// menu. The engine loads and applies templates; the template windows let
// the user choose.
#include <QFileInfo>
#include <atomic>
#include <memory>

#include "base/error.h"
#include "base/main_thread.h"
#include "base/message_box.h"
#include "io/files/templates.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/input/wcLapList.h"
#include "ui/seams/main_thread_qt.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/selected_input.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcProjectWiz.h"
#include "ui/shell/wcTemplateConfig.h"
#include "ui/shell/wcTemplateCreate.h"
#include "ui/shell/wcTemplateLoad.h"
#include "ui/shell/wcTemplateMenu.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

// Runs the job on the GUI thread and waits for it there; from any other
// thread the job is posted and the caller sleeps in steps of 0.1 s.
int onGuiThread(const std::function<int()>& job) {
  if (IsGuiThread()) return job();
  auto done = std::make_shared<std::atomic<bool>>(false);
  auto result = std::make_shared<std::atomic<int>>(-1);
  MainThreadPost([job, done, result]() {
    result->store(job());
    done->store(true);
  });
  while (!done->load()) RunLoopWait(0.1);
  return result->load();
}

void detachPropertyWindow() {
  CallWindowIfVisible(AppWindows().wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject, -1);
}

void reloadLapList() { CallWindowIfVisible(AppWindows().wndLapList(), &wcLapList::ReloadInputs); }

bool isDataInput(uint32_t type) { return type == kInputData || type == kInputJoinData; }

} // namespace

void wcMain::InstallTemplateCommands() {
  templateMenuCommand_ = [this](int mode, uint32_t input) { TemplateMenu(mode, input); };
  templateAddCommand_ = [this](const QString& path) { return TemplateAdd(path); };
  SetListCommand("InputMenuAddTemplate", [this]() { InputLoadTemplate_Clicked(); });
  SetListCommand("InputMenuConfigTemplate", [this]() { InputConfigTemplate_Clicked(); });
}

int wcMain::TemplateMenu(int mode, uint32_t input, bool noCancel) {
  return onGuiThread([this, mode, input, noCancel]() {
    wcTemplateMenu* menu = AppWindows().wndTemplateMenu();
    if (menu == nullptr) return -1;
    detachPropertyWindow();
    menu->SetMode(static_cast<uint32_t>(mode), input, noCancel);
    RunModalForWindow(menu);
    if (!menu->Success()) {
      PreviewRefresh();
      // A blank new project: the wizard walks through setting it up.
      if (mode == 0) ShowProjectWizardIfWanted();
      return -1;
    }
    reloadLapList();
    if (mode == 1 || mode == 3) {
      TemplateConfig(input, true);
    } else if (mode == 0 && menu->NewDataProject()) {
      TemplateMenuAutoData(true);
    }
    PreviewRefresh();
    return 0;
  });
}

void wcMain::TemplateMenuAutoData(bool noCancel) {
  const uint32_t count = InputCount();
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t type = InputGetType(i);
    if (type == kInputJoinData || (type == kInputData && InputGetParent(i) == i)) {
      TemplateMenu(1, i, noCancel);
      return;
    }
  }
}

void wcMain::TemplateConfig(uint32_t input, bool noCancel) {
  wcTemplateConfig* options = AppWindows().wndTemplateConfig();
  if (options == nullptr) return;
  detachPropertyWindow();
  options->SetData(input, noCancel);
  RunModalForWindow(options);
}

int wcMain::TemplateAdd(const QString& path, uint32_t input, bool replaceInputObjects) {
  return onGuiThread([this, path, input, replaceInputObjects]() {
    if (TemplateImportLoad(NSStringToWStr(path).c_str(), input, 0) < 0) {
      ErrorShowLast();
      return -1;
    }
    // One checkpoint before the first change, so that one Undo takes the
    // whole template back, the input's old objects included.
    UndoSave();
    setProjectModified(true);
    if (replaceInputObjects) DispObjRemoveInput(input, 1);
    if (input == kNoInput) {
      wcTemplateLoad* mapping = AppWindows().wndTemplateLoad();
      if (mapping != nullptr) {
        mapping->SetData();
        RunModalForWindow(mapping);
      }
      if (mapping == nullptr || !mapping->Success()) {
        UndoToggle();
        UndoSave();
        TemplateImportClear();
        InputRefresh(kNoInput);
        DispObjRefresh(kNoDispObj);
        return -2;
      }
    }
    detachPropertyWindow();
    const int applied = TemplateImportApply();
    TemplateImportClear();
    if (applied < 0) ErrorShowLast();
    InputRefresh(kNoInput);
    DispObjRefresh(kNoDispObj);
    PreviewRefresh();
    reloadLapList();
    return applied < 0 ? -1 : 0;
  });
}

void wcMain::ImportTemplate() { TemplateMenu(2, kNoInput); }

void wcMain::ExportTemplate() {
  if (DispObjCount() == 0) {
    AppMessageBox(L"This project has no display objects to export as a template. Please create some.", 48);
    return;
  }
  RunModalForWindow(AppWindows().wndTemplateCreate());
}

void wcMain::InputLoadTemplate_Clicked() {
  const uint32_t input = FirstSelectedInputOrWarn(SelectedInputNames(), L"Please select the input that you want to apply the template for.");
  if (input == kNoInput) return;
  InputLoadDataTemplate(input);
}

void wcMain::InputLoadDataTemplate(uint32_t input) {
  if (!isDataInput(InputGetType(input))) {
    AppMessageBox(L"Please select a data input.", 48);
    return;
  }
  UndoSave();
  ErrorSet(0, "InputLoadDataTemplate");
  if (TemplateMenu(1, input) < 0) {
    if (ErrorGetLast() != 0) ErrorShowLast();
    return;
  }
  setProjectModified(true);
  DispObjRefresh(kNoDispObj);
  PreviewRefresh();
}

void wcMain::InputConfigTemplate_Clicked() {
  const uint32_t input = FirstSelectedInputOrWarn(SelectedInputNames(), L"Please select the input that you want to configure the template for.");
  if (input == kNoInput) return;
  if (!isDataInput(InputGetType(input))) {
    AppMessageBox(L"Please select a data input.", 48);
    return;
  }
  UndoSave();
  TemplateConfig(input);
  setProjectModified(true);
  DispObjRefresh(kNoDispObj);
  PreviewRefresh();
}

void wcMain::ShowProjectWizardIfWanted() {
  bool wanted = true;
  UserDefaultsReadBool("UseProjectWizard", wanted);
  if (wcProjectWiz* wizard = AppWindows().wndProjectWiz(); wanted && wizard != nullptr) wizard->showWindow();
}

bool wcMain::OpenProjectFromMenu(const QString& path) { return reloadProject(path, true); }
