#pragma once
// What several benchmarks share: a private folder for their files, and the
// frame format the writer routines take.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/media/media_formats.h"

// Made under the temporary folder and removed with everything in it when
// the benchmark ends (kept for a look when QV_BENCH_KEEP is set).

struct BenchDir {
  std::string path;
  explicit BenchDir(const char* name) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
    path = mkdtemp(pattern.data()) ? pattern : std::filesystem::temp_directory_path().string();
  }
  ~BenchDir() {
    std::error_code ignored;
    if (std::getenv("QV_BENCH_KEEP") == nullptr && path != std::filesystem::temp_directory_path().string())
      std::filesystem::remove_all(path, ignored);
  }
  BenchDir(const BenchDir&) = delete;
  BenchDir& operator=(const BenchDir&) = delete;
};

// 32-bit frames of the size, as the render loop hands them to the writer.
inline tagBITMAPINFOHEADER BenchFrameFormat(int32_t width, int32_t height) {
  tagBITMAPINFOHEADER format{};
  format.biSize = 40;
  format.biWidth = width;
  format.biHeight = height;
  format.biPlanes = 1;
  format.biBitCount = 32;
  return format;
}
