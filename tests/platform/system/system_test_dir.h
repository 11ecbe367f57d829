#pragma once
// A fresh TMPDIR for one test of the system services (support/test_temp_dir.h).
#include "support/read_file.h"
#include "support/test_temp_dir.h"

struct SystemTestDir : TestTempDir {
  SystemTestDir() : TestTempDir("system") {}
};
