// Entry of the render test program: every test process gets its own
// temporary folder (log and undo files), the dummy sound driver and the
// calling thread as the main thread.
#include "base/main_thread.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  std::string dir = "/tmp/qv-render-test-XXXXXX";
  const bool made = mkdtemp(dir.data()) != nullptr;
  if (made) setenv("TMPDIR", dir.c_str(), 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  MainThreadMarkCurrent();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  if (made) std::filesystem::remove_all(dir, ignored);
  return result;
}
