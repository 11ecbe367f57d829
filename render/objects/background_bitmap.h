#pragma once
// The background bitmap of a display object (the picture of an embedded
// image): import from an image file, export as BMP, clear, options, a
// preview of it alone, and a snapshot of an object drawn alone. The block
// holds a DispBitmapHeader and Width x Height pixels, bottom row first,
// straight alpha (it is file data).
#include "platform/graphics/bitmap_view.h"

#include <cstdint>

// Decodes the image file into the object's bitmap block; 0 or a negative
// code (-41 / -21 bad object, the decoder's code, -22 too large).
int DispObjBitmapImport(uint32_t object, const wchar_t* path);
// Writes the bitmap as a 32-bit BMP; 0, -41 / -21, -1 no bitmap, -82.
int DispObjBitmapExport(uint32_t object, const wchar_t* path);
int DispObjBitmapClear(uint32_t object);
// Low 7 bits of the bitmap's options (bit 0 keep the aspect ratio); 255
// when the object or its bitmap is missing.
uint32_t DispObjBitmapGetOptions(uint32_t object);
int DispObjBitmapSetOptions(uint32_t object, uint8_t options);
// A new embedded-image object holding the file's picture; its index, or -1
// (the object is removed again).
int32_t DispObjAddEImageFromFile(const wchar_t* path);
// A simple-preview slot showing the bitmap alone; the slot or -1.
int DispObjBitmapSimplePreview(uint32_t object, ImageView view, uint32_t width, uint32_t height);
// Draws the object alone at the time, at its size in the current render
// set-up's frame (720 x 480 without one), into a 32-bit BMP with straight
// alpha; 0 or a negative code.
int DispObjExportSnapshot(uint32_t object, const wchar_t* path, float time);
