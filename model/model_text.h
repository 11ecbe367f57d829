#pragma once
// Small helpers for the fixed UTF-16 fields of the model records.
#include <cstddef>
#include <cstdint>
#include <string>

// Copies at most capacity - 1 units and always terminates.
void FieldCopy(char16_t* dest, size_t capacity, const char16_t* text);
void FieldCopy(char16_t* dest, size_t capacity, const std::u16string& text);
// Forces the last unit of a field to 0 so a field never runs past its end.
inline void FieldTerminate(char16_t* field, size_t capacity) { field[capacity - 1] = 0; }
// The field as a string, read no further than its capacity.
std::u16string FieldString(const char16_t* field, size_t capacity);
// "base - %03d" cut so that it fits a field of capacity units.
std::u16string NumberedName(const std::u16string& base, int number, size_t capacity);
