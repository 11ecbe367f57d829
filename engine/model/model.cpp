// Start, end and reset of the model tables.
#include "engine/model/model.h"

#include "base/log.h"
#include "engine/model/input_store.h"
#include "engine/model/project_settings.h"
#include "engine/model/timeline_apply.h"

int ModelInit() {
  DispTableClear();
  InputStoreClear();
  ProjectSettingsInit();
  return 0;
}

void ModelEnd() {
  // Frees every parameter, bitmap and segment block.
  DispTableClear();
  InputStoreClear();
}

void ModelClear() {
  DispTableClear();
  InputStoreClear();
  ProjectSettingsReset();
}
