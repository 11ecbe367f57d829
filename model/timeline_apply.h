#pragma once
// Segment mechanics shared by the display-object and timeline routines.
#include <cstdint>

#include "model/dispobj_table.h"

// Copies the fields the segment's mask selects (and its blocks) into record.
void SegmentApplyTo(DispStruct& record, DispSegment& segment);
// Copies the fields of mask from source into the segment's values (blocks
// not included).
void SegmentTakeFields(DispSegment& segment, const DispStruct& source, uint32_t mask);
// Mask bits whose fields differ between a and b (blocks not compared).
uint32_t RecordDiffMask(const DispStruct& a, const DispStruct& b);
// Copies the fields of mask from source into dest (blocks not included).
void RecordCopyFields(DispStruct& dest, const DispStruct& source, uint32_t mask);
// Index of the last segment starting at or before time; -1 for none.
int SegmentInForce(const DispObjEntry& entry, float time);
// Base plus the segments in force at time, into entry.Current.
void DispEntryApply(DispObjEntry& entry, float time);
void DispTableClear();
