// The wizard's view of a data input: which template options its channels
// support (answered by the data-log model).
#include "base/access_lock.h"
#include "base/error.h"
#include "model/input_table.h"
#include "media/datalog/datalog_queries.h"

uint32_t ProjectWizScanInput(uint32_t input) {
  ReadAccess access("ProjectWizScanInput");
  const uint32_t options = input < InputTableCount() ? DataloggerScanOptions(input) : 0;
  ErrorSet(0, "ProjectWizScanInput");
  return options;
}
