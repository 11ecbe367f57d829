#pragma once
// Display-object styles: export, import (by mode), listing a folder, and
// the preview picture of the last mode-100 import.
#include <cstdint>
#include <vector>

#include "platform/graphics/bitmap_view.h"

constexpr uint32_t kStyleApply = 0;        // parameter record and bitmap
constexpr uint32_t kStyleApplyPlace = 1;   // also X, Y, Width, Height
constexpr uint32_t kStyleTest = 99;        // only: a style of the object's type?
constexpr uint32_t kStylePreviewOnly = 100; // only: load the preview picture

// object 0xFFFFFFFF with modes 0 and 1 creates an object of the style's
// type and returns its index. 0 or more; -21, -41, -80, -81, -83, -84 (a
// style of another type: "Incorrect object header ID"), -85, -40.
[[nodiscard]] int DispObjImportStyle(uint32_t object, const wchar_t* path, uint32_t mode);
// 0, or -21 / -41 / -82.
int DispObjExportStyle(uint32_t object, const wchar_t* path);
// The style files of the folder holding the object's type (any type for
// 0xFFFFFFFF), sorted by name, at most 256; returns their number.
int DispObjListStyleInit(uint32_t object, const wchar_t* folder);
// The n-th listed file name with its extension; "" past the count.
const wchar_t* DispObjListStyleGet(uint32_t n);
// A simple-preview slot showing the style-preview picture scaled to the
// view; -1 when the last mode-100 import loaded no picture.
int DispObjStylePreviewDraw(ImageView view, uint32_t width, uint32_t height);
// The style-preview picture (120 x 120 x 3, rows top first, B, G, R), or
// empty; for tests and the toolbox.
std::vector<uint8_t> DispObjStylePreviewGetPicture();
