#pragma once
// The entry of the engine-side test programs: every test process gets its
// own temporary folder (session log, undo files, generated media) and the
// calling thread as the main thread.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/main_thread.h"

struct TestProcessSetup {
  // Sound goes to SDL's dummy driver, which needs no sound card.
  bool dummySound = false;
  // The folder and what the tests left in it go at the end.
  bool removeFolder = false;
};

inline int RunTestsInOwnFolder(int argc, char** argv, const char* program, TestProcessSetup setup = {}) {
  std::string dir = std::string("/tmp/qv-") + program + "-test-XXXXXX";
  const bool made = mkdtemp(dir.data()) != nullptr;
  if (made) setenv("TMPDIR", dir.c_str(), 1);
  if (setup.dummySound) setenv("SDL_AUDIODRIVER", "dummy", 1);
  MainThreadMarkCurrent();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  if (made && setup.removeFolder) std::filesystem::remove_all(dir, ignored);
  return result;
}
