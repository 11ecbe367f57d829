#pragma once
// The crop rules shared by the input properties window and the crop window:
// margins in picture pixels cut from each edge of a W x H picture.
#include <QString>
#include <cstdint>

struct CropMargins {
  int32_t left = 0, right = 0, top = 0, bottom = 0;
};

// Margins that together reach the picture's size leave the middle: both
// become size / 2 - 1 (integer halving, never below 0), on each axis.
CropMargins CropKeepPicture(CropMargins margins, int32_t width, int32_t height);

// Grows (f >= 0) the margins by f of the visible size, or shrinks them by
// -f of the whole picture, each amount rounded half away from zero. The
// result is not held to any range: the steppers that take it do that.
CropMargins CropZoom(CropMargins margins, int32_t width, int32_t height, double fraction);

// The margins after the visible part, as it was at the press, is dragged by
// (dx, dy) picture pixels (positive: the pointer moved right and down on the
// screen): the picture follows the pointer and the visible size stays.
CropMargins CropDrag(CropMargins atPress, int32_t width, int32_t height, double dx, double dy);

// "1280x720", "1280 X 720", "1280, 720" or "1280.720": the numbers around
// the first "x", else "X", else ",", else "." once blanks are removed;
// false when there is no separator.
bool CropParseSize(const QString& text, int32_t* width, int32_t* height);
