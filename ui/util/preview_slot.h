#pragma once
// A simple preview as a window holds it: none until one is made, drawn and
// closed only while held, and closed once.
#include <cstdint>

class PreviewSlot {
public:
  // Takes what a SimplePreviewCreate routine returned; a negative result
  // (no slot made) holds none.
  void hold(int created);
  bool isHeld() const { return slot_ != kNone; }
  // SimplePreviewDraw on the held slot (inputTime: the time is the input's own).
  void draw(uint32_t inputTime, uint32_t quality, float time) const;
  void redraw() const;
  void close();

private:
  static constexpr uint32_t kNone = 0xFFFFFFFF;
  uint32_t slot_ = kNone;
};
