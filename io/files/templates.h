#pragma once
// Templates: exporting chosen display objects with the inputs they show,
// and loading a template, choosing project inputs for its inputs and
// creating its objects.
#include <cstdint>
#include <vector>

#include "platform/graphics/bitmap_view.h"

// Starts a template file (its thumbnail is the project frame at the
// timeline's time); 0, -21 or -82.
int TemplateExportOpen(const wchar_t* path);
// One input record (project input, name in the template); 0, -21 (no file
// open, no name, a time filler), -41, -40 (128 inputs already).
int TemplateExportAddInput(uint32_t input, const char16_t* name);
// One display-object record under the name; 0, -21, -41, -40.
int TemplateExportAddDispObj(uint32_t object, const char16_t* name);
// Writes the end marker and puts the file in place; 0, -21 or -82 (the
// file is then dropped).
int TemplateExportClose();
// Drops the file being written: nothing is left at its path, and a file
// that was there before stays as it was.
void TemplateExportAbort();

// Whether a project input of type p can stand for a template input of type
// t: the same kind, or a join of it; a video also gives sound.
bool TemplateInputFits(uint32_t t, uint32_t p);

// Drops what was loaded and reads a template; with previewOnly only its
// header and thumbnail. 0; -21, -22, -80, -81, -83, -84, -85.
int TemplateImportLoad(const wchar_t* path, uint32_t input, uint32_t previewOnly);
void TemplateImportClear();
uint32_t TemplateImportGetInputCount();
uint32_t TemplateImportGetInputID(uint32_t n);
// The n-th input's name (64 units) in a buffer the next call overwrites;
// null (-41) past the count.
const char16_t* TemplateImportGetInputName(uint32_t n);
uint32_t TemplateImportGetInputType(uint32_t n);
void TemplateImportSetInputID(uint32_t n, uint32_t input);
// Creates the loaded objects with the chosen inputs; 0, -21 nothing
// loaded, -40 not enough room (nothing created).
int TemplateImportApply();
// A simple-preview slot showing the loaded thumbnail; -1 when none.
int TemplateImportCreatePreview(ImageView view, uint32_t width, uint32_t height);
// The loaded thumbnail (180 x 120 x 3, rows top first, B, G, R), or empty.
std::vector<uint8_t> TemplateImportGetThumbnail();
