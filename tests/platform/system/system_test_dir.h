#pragma once
// A fresh TMPDIR (and HOME-like folder) for one test of the system services.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>

#include "support/scoped_env.h"

class SystemTestDir {
public:
  SystemTestDir() {
    char pattern[] = "/tmp/qv-system-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = pattern;
    tmpdir_ = std::make_unique<ScopedEnv>("TMPDIR", path_);
  }
  ~SystemTestDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  SystemTestDir(const SystemTestDir&) = delete;
  SystemTestDir& operator=(const SystemTestDir&) = delete;

  const std::string& path() const { return path_; }
  std::string privateFolder() const { return path_ + "/quelvatron-" + std::to_string(geteuid()); }

private:
  std::string path_;
  std::unique_ptr<ScopedEnv> tmpdir_; // the old TMPDIR comes back with the folder's end
};

inline std::string ReadSystemTestFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream data;
  data << in.rdbuf();
  return data.str();
}
