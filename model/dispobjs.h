#pragma once
// The display-object facade: 256 objects plus a temporary one (index 256),
// each with a base record, the current record (base with the timeline
// segments in force applied), a parameter block and a background bitmap.
#include <cstdint>

#include "model/disp_records.h"

// Adds an object of that type bound to the input (255 none); its index, or
// 0xFFFFFFFF (-40 table full). Types 71 and 72 become gauges with presets.
uint32_t DispObjAdd(uint32_t type, uint32_t input);
// Removes the object; withMembers 1 removes a group's members too, 0 frees them.
int DispObjRemove(uint32_t object, uint32_t withMembers);
// Removes the objects that show the input (with wholeGroup, their groups),
// except those whose segments switch to another input.
int DispObjRemoveInput(uint32_t input, uint32_t wholeGroup);
uint32_t DispObjDuplicate(uint32_t object);
int DispObjRename(uint32_t object, const char16_t* name);
uint32_t DispObjFind(const char16_t* name); // case-insensitive; 0xFFFFFFFF none
uint32_t DispObjCount();

// Getters answer with copies taken under the access lock, in the calling
// thread's own buffers (reply_copy.h): valid until that thread has made a
// few more calls of the same getter; never changed by another thread.

// A copy of the current record (its Param and Bitmap pointers lead into the
// engine table: read those blocks through DispObjGetParam).
const DispStruct* DispObjGet(uint32_t object);
int DispObjSet(uint32_t object, const DispStruct* record);
// A copy of the parameter block (zero-padded to the largest record) in one
// buffer of the calling thread, reused by its next call.
void* DispObjGetParam(uint32_t object);
int DispObjSetParam(uint32_t object, const void* record);
// A copy of the name.
const char16_t* DispObjGetName(uint32_t object);
uint8_t DispObjGetType(uint32_t object);
int DispObjSetInput(uint32_t object, uint32_t input);
int DispObjSetDataField(uint32_t object, const char16_t* field);
// Moves past the nearest object with the same parent (a group with its
// members): direction > 0 towards higher indexes; toEnd to the end of that order.
int DispObjChangeOrder(uint32_t object, int direction, uint32_t toEnd);
int DispObjGroupCalcPosSize(uint32_t object);
int DispObjGroupChangePosSize(uint32_t object);
// Scripted objects keep no output log: records -1 and returns null.
const wchar_t* DispObjEnhancedGetLog(uint32_t object, uint32_t script);

// Presets of a new gauge of gauge type 0 generic, 1 speedometer, 2 tachometer.
void DispObjGaugeInit(GaugeParam* param, uint32_t gaugeType);
// The colour with R, G and B moved by the offsets and clamped; top byte kept.
uint32_t ColorAddRGB(uint32_t color, int32_t red, int32_t green, int32_t blue);
// The darker second colour the editors derive from a colour (a bar's
// shading from its fill); top byte kept.
inline uint32_t ColorDerivedSecond(uint32_t color) { return ColorAddRGB(color, -60, -64, -56); }
