#include "support/golden.h"

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

std::string goldenPath(const std::string& area, const std::string& name) {
  return std::string(QV_TEST_SOURCE_DIR) + "/golden/" + area + "/" + name + ".png";
}

int channelDiff(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 32; shift += 8)
    d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return d;
}

} // namespace

std::string ScreenshotDir() {
  char exe[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::filesystem::path dir = n > 0 ? std::filesystem::path(std::string(exe, n)).parent_path()
                                    : std::filesystem::temp_directory_path();
  dir /= "screenshots";
  std::filesystem::create_directories(dir);
  return dir.string();
}

bool WriteFramePng(const std::vector<uint32_t>& frame, int width, int height, const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return false;
  cairo_surface_flush(s);
  auto* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < height; ++y)
    std::memcpy(data + static_cast<size_t>(y) * stride, frame.data() + static_cast<size_t>(height - 1 - y) * width,
                static_cast<size_t>(width) * 4);
  cairo_surface_mark_dirty(s);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

std::string CompareGolden(const std::string& name, const std::vector<uint32_t>& frame, int width,
                          int height, int threshold, double fraction) {
  return CompareGoldenIn("render", name, frame, width, height, threshold, fraction);
}

std::string CompareGoldenIn(const std::string& area, const std::string& name, const std::vector<uint32_t>& frame,
                            int width, int height, int threshold, double fraction) {
  WriteFramePng(frame, width, height, ScreenshotDir() + "/" + name + ".png");
  const std::string path = goldenPath(area, name);
  const char* update = std::getenv("QV_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    return WriteFramePng(frame, width, height, path) ? "" : "cannot write " + path;
  }
  cairo_surface_t* g = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(g) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(g);
    return "no golden image " + path + " (QV_UPDATE_GOLDEN=1 makes it)";
  }
  std::string result;
  if (cairo_image_surface_get_width(g) != width || cairo_image_surface_get_height(g) != height) {
    result = "size differs from " + path;
  } else {
    cairo_surface_flush(g);
    const auto* data = cairo_image_surface_get_data(g);
    const int stride = cairo_image_surface_get_stride(g);
    long differing = 0;
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
      const uint32_t* mine = frame.data() + static_cast<size_t>(height - 1 - y) * width;
      for (int x = 0; x < width; ++x)
        if (channelDiff(row[x], mine[x]) > threshold) ++differing;
    }
    const double share = double(differing) / (double(width) * height);
    if (share > fraction)
      result = name + ": " + std::to_string(differing) + " pixels differ (" + std::to_string(share * 100) + "%)";
  }
  cairo_surface_destroy(g);
  return result;
}
