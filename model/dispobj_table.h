#pragma once
// Raw access to the display-object table for the engine's own layers
// (project, style and template files, renderer, previews). Callers hold the
// access lock; windows use the facade (dispobjs.h, timeline.h) instead.
#include <cstdint>
#include <vector>

#include "model/disp_records.h"

struct DispSegment {
  float Start = 0;
  uint32_t Mask = 0;   // SegmentMask bits
  DispStruct Values{}; // the fields selected by Mask; its block pointers stay null
  std::vector<uint8_t> Param;  // with kSegParam: a copy of the object's stored size
  std::vector<uint8_t> Bitmap; // with kSegBitmap: the bitmap block in force (may be empty)
};

struct DispObjEntry {
  bool Used = false;
  // Base.ParamSize/Param and Base.BitmapSize/Bitmap describe the two vectors
  // below (DispTableSync keeps them so).
  DispStruct Base{};
  // Base with the segments in force applied; its block pointers point at the
  // blocks in force (base or segment copies).
  DispStruct Current{};
  std::vector<uint8_t> Param;
  std::vector<uint8_t> Bitmap;
  std::vector<DispSegment> Segments; // sorted by Start, at most 63
};

// Slots 0..255 and the temporary object 256; null past them. Slots in use
// are kept packed from 0.
DispObjEntry* DispTableEntry(uint32_t index);
uint32_t DispTableCount();
// Claims the next free slot (zeroed, Used) at the end; kNoDispObj when full.
uint32_t DispTableAppend();
// After a direct edit of Base, the blocks or the segments: fixes the block
// pointers and sizes and recomputes Current at the timeline's time.
void DispTableSync(uint32_t index);
// Recomputes every object's current record at the timeline's time.
void DispTableApplyAll();
// The timeline's current time (where edits land); setting it does not
// re-apply (DispTableApplyAll or TimelineApply does).
float DispTableTime();
void DispTableSetTime(float time);
// A new object's record and blocks with the presets of its type (types 71
// and 72 become gauges) into slot index; no name given.
void DispTableInitObject(uint32_t index, uint32_t type, uint32_t input);
// Fills the temporary object (256) for a preview; returns 256.
uint32_t DispObjTempInit(uint32_t type, uint32_t input);
// Serialises users of the temporary object (previews made from threads).
void DispObjTempLock();
void DispObjTempUnlock();
