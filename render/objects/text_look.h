#pragma once
// The drawing look of a text record at a scale (frame pixels per base unit).
#include "model/disp_records.h"
#include "platform/graphics/text_raster.h"

TextLook TextLookFor(const TextStruct& text, double scale);
