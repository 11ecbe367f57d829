#pragma once
// Presets of new display objects (internal to the model).
#include <cstdint>
#include <string>

#include "model/disp_records.h"

// Fills a zeroed parameter block of DispParamSizeForType(type) bytes.
void DispParamInit(void* block, uint32_t type);
// A new object's common record: type 71/72 stored as gauges (30).
void DispRecordInit(DispStruct* record, uint32_t type, uint32_t input);
// The name a new object of that type starts from.
std::u16string DispDefaultName(uint32_t type);
bool DispTypeKnown(uint32_t type);

// Each kind's presets, for the type table.
void DispInitShape(void* block);
void DispInitText(void* block);
void DispInitTextData(void* block);
void DispInitGear(void* block);
void DispInitLapCount(void* block);
void DispInitLapTimer(void* block);
void DispInitEImage(void* block);
void DispInitGauge(void* block);
void DispInitSpeedo(void* block);
void DispInitTacho(void* block);
void DispInitBar(void* block);
void DispInitTimeGraph(void* block);
void DispInitTrackMap(void* block);
void DispInitGForce(void* block);
