#pragma once
// The entry of the engine-side test programs: every test process gets its
// own temporary folder (session log, undo files, generated media) and the
// calling thread as the main thread.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/main_thread.h"
#include "support/temp_folder.h"

struct TestProcessSetup {
  // Sound goes to SDL's dummy driver, which needs no sound card.
  bool dummySound = false;
  // The folder and what the tests left in it go at the end even when a
  // test failed (big media nobody reads).
  bool removeFolder = false;
};

// The test process's own folder, as made at its start (empty if none).
inline std::string& TestProcessFolder() {
  static std::string folder;
  return folder;
}

// Makes $TMPDIR/qv-<program>-test-XXXXXX the process's own folder and its
// TMPDIR; its name, or the base when it could not be made.
inline std::string MakeOwnFolder(const char* program) {
  const std::string dir = MakeTempFolder(std::string("qv-") + program + "-test");
  if (dir.empty()) return TempBase();
  setenv("TMPDIR", dir.c_str(), 1);
  TestProcessFolder() = dir;
  return dir;
}

// The process's own folder goes when its tests passed; after a failure it
// stays for a look at what the tests left there.
inline void EndOwnFolder(int result, bool always = false) {
  const std::string& dir = TestProcessFolder();
  if (dir.empty()) return;
  if (result != 0 && !always) {
    std::fprintf(stderr, "The test folder %s is kept.\n", dir.c_str());
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

inline int RunTestsInOwnFolder(int argc, char** argv, const char* program, TestProcessSetup setup = {}) {
  MakeOwnFolder(program);
  if (setup.dummySound) setenv("SDL_AUDIODRIVER", "dummy", 1);
  MainThreadMarkCurrent();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  EndOwnFolder(result, setup.removeFolder);
  return result;
}
