#pragma once
// A fresh TMPDIR for one test so the engine's log, snapshots and crash
// extract never meet those of a parallel test process.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>

#include "support/scoped_env.h"

class AppTestDir {
public:
  AppTestDir() {
    char pattern[] = "/tmp/qv-app-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr) path_ = pattern;
    tmpdir_ = std::make_unique<ScopedEnv>("TMPDIR", path_);
  }
  ~AppTestDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  AppTestDir(const AppTestDir&) = delete;
  AppTestDir& operator=(const AppTestDir&) = delete;

  const std::string& path() const { return path_; }
  // The engine's private folder inside it.
  std::string engineFolder() const { return path_ + "/quelvatron-" + std::to_string(geteuid()); }
  std::string engineFile(const std::string& name) const { return engineFolder() + "/" + name; }

private:
  std::string path_;
  std::unique_ptr<ScopedEnv> tmpdir_; // the old TMPDIR comes back with the folder's end
};

inline std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream data;
  data << in.rdbuf();
  return data.str();
}

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}
