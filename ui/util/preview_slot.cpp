#include "ui/util/preview_slot.h"

#include "render/preview/simple_preview.h"

void PreviewSlot::hold(int created) { slot_ = created >= 0 ? static_cast<uint32_t>(created) : kNone; }

void PreviewSlot::draw(uint32_t inputTime, uint32_t quality, float time) const {
  if (isHeld()) SimplePreviewDraw(slot_, inputTime, quality, time);
}

void PreviewSlot::redraw() const {
  if (isHeld()) SimplePreviewRedraw(slot_);
}

void PreviewSlot::close() {
  if (isHeld()) SimplePreviewClose(slot_);
  slot_ = kNone;
}
