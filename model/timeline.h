#pragma once
// Timed change segments of display objects. Segment 0xFFFFFFFF is the
// object's own start and base record; 0 to count-1 follow in start order.
#include <cstdint>
#include <mutex>

#include "model/disp_records.h"

uint32_t TimelineDispObjGetCount(uint32_t object);
float TimelineDispObjGetStart(uint32_t object, uint32_t segment);
uint32_t TimelineDispObjAdd(uint32_t object, float time);
int TimelineDispObjRemove(uint32_t object, uint32_t segment);
int TimelineDispObjSetStart(uint32_t object, uint32_t segment, float time);
// Shifts the segment and every later one (0xFFFFFFFF: the object's start,
// at least 0, and every segment), with the group's members. Everything is
// checked first: -200 when a start would fall below 0 or at or before the
// object's start, -11 when a segment moved back would reach the one before
// it; then nothing has moved. -41 for a bad index.
int TimelineDispObjShift(uint32_t object, uint32_t segment, float delta);
uint32_t TimelineDispObjGetChanged(uint32_t object, uint32_t segment);
int TimelineDispObjSetChanged(uint32_t object, uint32_t segment, uint32_t mask,
                              uint32_t replace);
// The segment's mask becomes mask: properties it keeps keep their stored
// values, properties it drops are forgotten, and newly chosen ones start
// with the object's values as they stand when the segment begins (the base
// and the earlier segments), so choosing one changes nothing until the
// user edits it. The first segment (0xFFFFFFFF) is left alone. 0, or -41.
[[nodiscard]] int TimelineDispObjSetMask(uint32_t object, uint32_t segment, uint32_t mask);
int TimelineDispObjZeroCount(uint32_t object);

// Makes the current table the base records with every segment starting at
// or before the time applied in order; the time is kept as the timeline's
// current time, where later edits land. Takes the write access.
int TimelineApply(float time);
// The applied state is one for the whole project, so a draw at a time holds
// the returned lock from its apply to the end of its drawing: a draw at
// another time on another thread (the preview beside a render, a snapshot)
// waits instead of re-applying in between. Take it before the access lock.
[[nodiscard]] std::unique_lock<std::mutex> TimelineApplyForDraw(float time);
float TimelineGetTime();
