// Entry of the end-to-end test program: every test process gets its own
// temporary folder (session log, undo files, generated media, removed at
// the end), the dummy sound driver and the calling thread as the main
// thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/main_thread.h"

int main(int argc, char** argv) {
  std::string dir = "/tmp/qv-e2e-test-XXXXXX";
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

