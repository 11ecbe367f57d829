// Start, end and reset of the model tables.
#include "model/model.h"

#include "base/log.h"
#include "model/input_store.h"
#include "model/project_settings.h"
#include "model/timeline_apply.h"

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
