#pragma once
// Engine start and end as the program's entry installs them: the windows
// start the engine during the launch and end it on the way out, while the
// start-up that wires every subsystem together lives above them (app/).
struct EngineLifecycle {
  int (*start)(int apiMode) = nullptr;
  int (*end)() = nullptr;
  // The end for a desktop session that ends with unsaved changes.
  int (*endKeepingRecovery)() = nullptr;
};

void EngineLifecycleInstall(const EngineLifecycle& lifecycle);
// Null members until installed; a launch without a start fails as a failed
// engine start does.
const EngineLifecycle& InstalledEngineLifecycle();
