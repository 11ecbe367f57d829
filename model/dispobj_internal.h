#pragma once
// Helpers shared by the display-object routines (internal to the model).
// Callers hold the access lock.
#include <cstdint>
#include <string>
#include <vector>

#include "model/dispobj_table.h"

// 0 for a slot in use (the temporary object only with allowTemp), -21 for
// 0xFFFFFFFF, -41 otherwise.
int DispCheckIndex(uint32_t object, bool allowTemp);
bool DispNameTaken(const std::u16string& name, uint32_t except);
// The name itself when free, else with " - 001", " - 002"... appended.
std::u16string DispUniqueName(const std::u16string& name);
// Direct members of a group, in table order.
std::vector<uint32_t> DispMembers(uint32_t group);
// Stores a whole record as the object's current record: the mask fields in
// the segment in force (or the base), the others in the base. 0 or a code.
int DispRecordEdit(uint32_t object, const DispStruct& record);
// Stores a parameter record of the object's stored size likewise.
int DispParamEdit(uint32_t object, const void* record);
// Drops the marked objects (index < 256), packs the table and renumbers
// group references; members of a dropped group become top-level objects.
void DispTableErase(const std::vector<bool>& remove);
// Reorders the slots in use: order[k] is the old index that goes to k.
void DispTableReorder(const std::vector<uint32_t>& order);
// Input references after an input was removed or two inputs swapped.
void DispTableInputRemoved(uint32_t input);
void DispTableInputsSwapped(uint32_t a, uint32_t b);
// Forces every text field of a parameter record to end inside the record;
// for a scripted object also clears each script after its terminator.
void ParamSanitize(uint32_t type, uint8_t* block, uint32_t size);
// The scripted object's own repair: each script cleared after its
// terminator, its colour and parameter names kept terminated.
void ParamSanitizeScripts(uint8_t* block, uint32_t size);
