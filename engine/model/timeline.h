#pragma once
// Timed change segments of display objects. Segment 0xFFFFFFFF is the
// object's own start and base record; 0 to count-1 follow in start order.
#include <cstdint>

#include "engine/model/disp_records.h"

uint32_t TimelineDispObjGetCount(uint32_t object);
float TimelineDispObjGetStart(uint32_t object, uint32_t segment);
uint32_t TimelineDispObjAdd(uint32_t object, float time);
int TimelineDispObjRemove(uint32_t object, uint32_t segment);
int TimelineDispObjSetStart(uint32_t object, uint32_t segment, float time);
int TimelineDispObjShift(uint32_t object, uint32_t segment, float delta);
uint32_t TimelineDispObjGetChanged(uint32_t object, uint32_t segment);
int TimelineDispObjSetChanged(uint32_t object, uint32_t segment, uint32_t mask,
                              uint32_t replace);
int TimelineDispObjZeroCount(uint32_t object);

// Makes the current table the base records with every segment starting at
// or before the time applied in order; the time is kept as the timeline's
// current time, where later edits land. Takes the write access.
int TimelineApply(float time);
float TimelineGetTime();
