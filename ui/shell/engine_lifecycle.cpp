#include "ui/shell/engine_lifecycle.h"

namespace {
EngineLifecycle installed;
}

void EngineLifecycleInstall(const EngineLifecycle& lifecycle) { installed = lifecycle; }

const EngineLifecycle& InstalledEngineLifecycle() { return installed; }
