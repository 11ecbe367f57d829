#include "ui/input/crop_math.h"

#include <algorithm>
#include <cmath>

#include "base/util.h"
#include "ui/util/ui_utils.h"

namespace {

void keepAxis(int32_t& low, int32_t& high, int32_t size) {
  if (static_cast<int64_t>(low) + high < size) return;
  low = high = std::max(size / 2 - 1, 0);
}

// One axis of a drag: the margin before the visible part.
int32_t dragAxis(int32_t marginAtPress, int32_t visible, int32_t size, double moved) {
  const int64_t candidate = static_cast<int64_t>(marginAtPress) - RoundToInt(moved);
  if (candidate < 0) return 0;
  if (visible + candidate < size) return static_cast<int32_t>(candidate);
  return size - visible;
}

} // namespace

CropMargins CropKeepPicture(CropMargins margins, int32_t width, int32_t height) {
  keepAxis(margins.left, margins.right, width);
  keepAxis(margins.top, margins.bottom, height);
  return margins;
}

CropMargins CropZoom(CropMargins m, int32_t width, int32_t height, double fraction) {
  if (fraction >= 0) {
    const int32_t dx = RoundToInt((width - m.left - m.right) * fraction);
    const int32_t dy = RoundToInt((height - m.top - m.bottom) * fraction);
    return {m.left + dx, m.right + dx, m.top + dy, m.bottom + dy};
  }
  const int32_t dx = RoundToInt(width * -fraction);
  const int32_t dy = RoundToInt(height * -fraction);
  return {m.left - dx, m.right - dx, m.top - dy, m.bottom - dy};
}

CropMargins CropDrag(CropMargins atPress, int32_t width, int32_t height, double dx, double dy) {
  const int32_t visibleWidth = width - atPress.right - atPress.left;
  const int32_t visibleHeight = height - atPress.bottom - atPress.top;
  CropMargins m;
  m.left = dragAxis(atPress.left, visibleWidth, width, dx);
  m.top = dragAxis(atPress.top, visibleHeight, height, dy);
  m.right = width - m.left - visibleWidth;
  m.bottom = height - m.top - visibleHeight;
  return m;
}

bool CropParseSize(const QString& text, int32_t* width, int32_t* height) {
  QString packed = text.trimmed();
  packed.remove(' ');
  packed.remove('\t');
  qsizetype at = -1;
  for (QChar separator : {u'x', u'X', u',', u'.'}) {
    at = packed.indexOf(separator);
    if (at >= 0) break;
  }
  if (at < 0) return false;
  *width = NSStringToInt(packed.left(at));
  *height = NSStringToInt(packed.mid(at + 1));
  return true;
}
