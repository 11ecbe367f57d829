#pragma once
// A fresh TMPDIR for one test, so the engine's log, snapshots and other
// fixed-name files never meet those of a parallel test process. The folder
// and what the test left in it go with the object, and TMPDIR comes back.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "support/scoped_env.h"
#include "support/temp_folder.h"

class TestTempDir {
public:
  explicit TestTempDir(const std::string& name) {
    path_ = MakeTempFolder("qv-" + name + "-test");
    tmpdir_ = std::make_unique<ScopedEnv>("TMPDIR", path_);
  }
  ~TestTempDir() {
    tmpdir_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TestTempDir(const TestTempDir&) = delete;
  TestTempDir& operator=(const TestTempDir&) = delete;

  const std::string& path() const { return path_; }
  // The engine's private folder inside it.
  std::string privateFolder() const { return path_ + "/quelvatron-" + std::to_string(geteuid()); }
  std::string privateFile(const std::string& name) const { return privateFolder() + "/" + name; }

private:
  std::string path_;
  std::unique_ptr<ScopedEnv> tmpdir_;
};
