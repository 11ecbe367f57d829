#pragma once
// Golden images: frames written as PNG and compared with a tolerance;
// QV_UPDATE_GOLDEN=1 rewrites the goldens.
#include <cstdint>
#include <string>
#include <vector>

// Writes a bottom-up premultiplied frame as a PNG; false on failure.
bool WriteFramePng(const std::vector<uint32_t>& frame, int width, int height, const std::string& path);
// Compares the frame with tests/golden/render/<name>.png: pixels whose
// largest channel difference is above `threshold` may make up at most
// `fraction` of the image. Also writes the frame next to the test binary
// (screenshots/<name>.png) for a look. An empty string when it matches,
// else why not.
std::string CompareGolden(const std::string& name, const std::vector<uint32_t>& frame, int width,
                          int height, int threshold = 40, double fraction = 0.004);
// The same against tests/golden/<area>/<name>.png ("render", "ui").
std::string CompareGoldenIn(const std::string& area, const std::string& name, const std::vector<uint32_t>& frame,
                            int width, int height, int threshold = 40, double fraction = 0.004);
// Folder of the written frames (beside the test program).
std::string ScreenshotDir();
