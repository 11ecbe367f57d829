#pragma once
// Helpers shared by the input routines (internal to the model). Callers
// hold the access lock.
#include <cstdint>
#include <string>
#include <vector>

#include "model/input_records.h"

// 0, -21 for 255 (and 0xFFFFFFFF), -41 for an index not below the count.
int InputCheckIndex(uint32_t input);
bool InputIsJoin(uint32_t input);
bool InputNameTaken(const std::u16string& name, uint32_t except);
// The name when free, else the first free "name - %03d".
std::u16string InputUniqueName(const std::u16string& name);
// The smaller of length and trim end, minus trim start (never below 0).
float InputTrimmedLength(const MainStruct& main);
// Lays out one join (and the joins that hold it); nothing for other inputs.
void InputLayJoin(uint32_t input);
// Direct members of a join, in table order.
std::vector<uint32_t> InputMembers(uint32_t join);
// The input and, for a join, its members (recursively), highest index first.
std::vector<uint32_t> InputWithMembers(uint32_t input);
// Takes the entry out of the table and renumbers join parents and display
// object references (media slots are the caller's business).
void InputEraseEntry(uint32_t input);
// Swaps two entries and every reference to them.
void InputSwapEntries(uint32_t a, uint32_t b);
// True when making parent the join of input would be valid (no cycle).
bool InputParentValid(uint32_t input, uint32_t parent);
