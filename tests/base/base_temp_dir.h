#pragma once
// A fresh private folder for one test, also made the process's TMPDIR so the
// engine's fixed-name files never meet those of a parallel test process.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/read_file.h"
#include "support/temp_folder.h"

class BaseTempDir {
 public:
  BaseTempDir() {
    const char* previous = std::getenv("TMPDIR");
    if (previous != nullptr) previous_ = previous;
    path_ = MakeTempFolder("qv-base-test");
    setenv("TMPDIR", path_.c_str(), 1);
  }
  ~BaseTempDir() {
    // The folder goes away, so TMPDIR must not keep naming it.
    if (previous_.empty()) {
      unsetenv("TMPDIR");
    } else {
      setenv("TMPDIR", previous_.c_str(), 1);
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  BaseTempDir(const BaseTempDir&) = delete;
  BaseTempDir& operator=(const BaseTempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::wstring WidePath() const { return std::filesystem::path(path_).wstring(); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string previous_;
  std::string path_;
};
