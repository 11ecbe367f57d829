#pragma once
// Display-object records as the project, style and template files store
// them: the common record up to its block fields, byte for byte, then each
// block as a u32 length and its bytes. Also the checks every reader applies
// to a loaded object before it reaches the model.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/files/byte_io.h"
#include "model/dispobj_table.h"
#include "model/record_check.h"

// The stored part of DispStruct: everything before ParamSize.
constexpr size_t kDispRecordBytes = offsetof(DispStruct, ParamSize);
static_assert(kDispRecordBytes == 328);
// Largest background bitmap a file may carry (pixels per side).
constexpr uint32_t kMaxBitmapSide = 16384;

void PutDispRecord(ByteWriter& out, const DispStruct& record);
// Reads the stored part; block sizes and pointers come back zero.
bool GetDispRecord(ByteReader& in, DispStruct& record);

// An object's base record and blocks (no segments).
void PutDispObject(ByteWriter& out, const DispObjEntry& entry);
bool GetDispObject(ByteReader& in, DispObjEntry& entry);

// Empty, or a DispBitmapHeader and exactly Width x Height pixels.
bool BitmapBlockValid(const std::vector<uint8_t>& block);
// Empty, or the size of the type's parameter record.
bool ParamBlockValid(uint32_t type, const std::vector<uint8_t>& block);
// Type known, blocks valid, numbers in range; text fields terminated and the
// parameter record sanitised in place. False when the object cannot be
// taken; a number out of range is also named in fault.
bool DispObjectCheck(DispObjEntry& entry, RecordFault* fault = nullptr);
