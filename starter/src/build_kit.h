#pragma once
// Small tools for making display objects through the engine facade: place
// an object in a box of the frame (percent of the output frame), name it,
// and edit its parameter record whole.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "model/dispobjs.h"

struct Box {
  float x, y, w, h; // percent of the output frame
};
// Output frames run from 4:3 to 16:9, and texts and round instruments are
// sized by the frame's height: what sits side by side must fit on a 4:3
// frame, and spreads apart on wider ones. One percent of the height is this
// much of the width on a 4:3 frame.
constexpr float kNarrowWidthPerHeight = 0.75f;
// A box for a round instrument (dial, G-force plot) h percent of the
// frame's height: square on a 4:3 frame. On wider frames the box grows
// wider and the instrument, drawn in its smaller side, keeps its size and
// its centre.
inline Box Round(float x, float y, float h) { return {x, y, h * kNarrowWidthPerHeight, h}; }

// The object of that type for the input, placed and named; its index, or
// kNoDispObj.
uint32_t Place(uint32_t type, uint32_t input, Box box, std::u16string_view name);
void SetTransparency(uint32_t object, uint8_t percent);
void SetText(char16_t* field, size_t units, std::u16string_view text);

template <typename T> T ParamOf(uint32_t object) {
  T param;
  std::memcpy(&param, DispObjGetParam(object), sizeof param);
  return param;
}
template <typename T> void SetParam(uint32_t object, const T& param) { DispObjSetParam(object, &param); }
// Edits the object's parameter record in place.
template <typename T, typename F> void Edit(uint32_t object, F change) {
  T param = ParamOf<T>(object);
  change(param);
  SetParam(object, param);
}

constexpr uint32_t kOff = 0xFF000000;
constexpr double kAutoMin = 99999999.9;
constexpr double kAutoMax = -99999999.9;
