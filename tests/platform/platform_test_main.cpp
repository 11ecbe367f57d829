// Entry of the platform test program: every test process gets its own
// temporary folder (log and undo files) and the calling thread as the main
// thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/main_thread.h"

int main(int argc, char** argv) {
  std::string dir = "/tmp/qv-platform-test-XXXXXX";
  if (mkdtemp(dir.data()) != nullptr) setenv("TMPDIR", dir.c_str(), 1);
  MainThreadMarkCurrent();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
