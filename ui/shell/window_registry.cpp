#include "ui/shell/window_registry.h"

#include <QCoreApplication>
#include <QThread>
#include <exception>

#include "ui/dispobj/wcDispObjBackground.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/dispobj/wcDispObjEnhEdit.h"
#include "ui/dispobj/wcDispObjGaugeDesign.h"
#include "ui/dispobj/wcDispObjToolbox.h"
#include "ui/input/wcInputCrop.h"
#include "ui/input/wcInputEdit.h"
#include "ui/input/wcInputSetLap.h"
#include "ui/input/wcInputSync.h"
#include "ui/input/wcInputSync2.h"
#include "ui/input/wcInputTrim.h"
#include "ui/input/wcLapList.h"
#include "ui/input/wcTimeline.h"
#include "ui/input/wcTimelineEdit.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/wcAbout.h"
#include "ui/shell/wcCreateStatus.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcPreview.h"
#include "ui/shell/wcProject.h"
#include "ui/shell/wcProjectWiz.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"
#include "ui/shell/wcTemplateConfig.h"
#include "ui/shell/wcTemplateCreate.h"
#include "ui/shell/wcTemplateLoad.h"
#include "ui/shell/wcTemplateMenu.h"
#include "ui/shell/wcTip.h"
#include "ui/shell/wcTransfer.h"
#include "ui/shell/wcUpload.h"

WindowRegistry::WindowRegistry() = default;

// The constructors are open to the registry alone, which make_unique is not.
template <typename Window>
void WindowRegistry::make(std::unique_ptr<Window>& slot) {
  slot.reset(new Window());
}

// Every registry slot, in the order of the launch; the last three belong to
// the main layout.
template <typename Registry, typename Visit>
void WindowRegistry::inOrder(Registry& registry, Visit visit) {
  visit(registry.main_);
  visit(registry.createVideo_);
  visit(registry.createStatus_);
  visit(registry.upload_);
  visit(registry.about_);
  visit(registry.preview_);
  visit(registry.project_);
  visit(registry.recovery_);
  visit(registry.inputEdit_);
  visit(registry.inputCrop_);
  visit(registry.inputSetLap_);
  visit(registry.inputSync_);
  visit(registry.inputTrim_);
  visit(registry.lapList_);
  visit(registry.dispObjEdit_);
  visit(registry.dispObjBackground_);
  visit(registry.dispObjToolbox_);
  visit(registry.dispObjGaugeDesign_);
  visit(registry.templateMenu_);
  visit(registry.templateLoad_);
  visit(registry.templateConfig_);
  visit(registry.templateCreate_);
  visit(registry.timeline_);
  visit(registry.timelineEdit_);
  visit(registry.tip_);
  visit(registry.transfer_);
  visit(registry.projectWiz_);
  visit(registry.inputSync2_);
  visit(registry.dispObjEnhEdit_);
}

WindowRegistry::~WindowRegistry() {
  // Each slot is empty before its window ends, so a window that ends after
  // it finds it gone rather than half destroyed.
  inOrder(*this, [](auto& slot) { slot.reset(); });
  splash_.reset();
}

bool WindowRegistry::Create() {
  if (created_) return createdAll_;
  created_ = true;
  try {
    inOrder(*this, [](auto& slot) { make(slot); });
    createdAll_ = true;
  } catch (const std::exception& e) {
    qWarning("WindowLoadFail!");
    qWarning("%s", e.what());
  }
  QThread* gui = QCoreApplication::instance() != nullptr ? QCoreApplication::instance()->thread() : nullptr;
  for (WindowController* controller : All()) {
    // Made here, but their windows, timers and slots live on the GUI thread.
    if (controller != nullptr && gui != nullptr && controller->thread() != gui) controller->moveToThread(gui);
  }
  return createdAll_;
}

wcSplash* WindowRegistry::CreateSplash() {
  if (!splash_) make(splash_);
  return splash_.get();
}

std::vector<WindowController*> WindowRegistry::All() const {
  std::vector<WindowController*> all;
  inOrder(*this, [&all](const auto& slot) { all.push_back(slot.get()); });
  return all;
}

// Each controller carries its class's name ("wcMain" for "wndMain").
WindowController* WindowRegistry::Find(const QString& name) const {
  if (!name.startsWith("wnd")) return nullptr;
  const QString nib = "wc" + name.mid(3);
  for (WindowController* controller : All()) {
    if (controller != nullptr && controller->nibName() == nib) return controller;
  }
  return nullptr;
}
