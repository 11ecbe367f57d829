#pragma once
// The numbers of the per-type parameter records must be finite: renderers
// scale, divide and convert with them, and a nan in a gauge's range or a
// text's size reaches every frame. The readers refuse a stored block with
// one; the writers store 0 instead.
#include <cstddef>
#include <cstdint>

#include "model/record_check.h"

// The first field of a block of the kind `type` holding nan or inf, in
// record order; fields the block is too short to hold are not read.
RecordFault ParamCheck(uint32_t type, const uint8_t* block, size_t size);
// Every such field set to 0.
void ParamClamp(uint32_t type, uint8_t* block, size_t size);
