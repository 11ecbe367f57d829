#pragma once
// A fresh TMPDIR for one engine start-up test (support/test_temp_dir.h).
#include <fstream>
#include <string>

#include "support/read_file.h"
#include "support/test_temp_dir.h"

struct AppTestDir : TestTempDir {
  AppTestDir() : TestTempDir("app") {}
};

inline void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}
