#pragma once
// Writing a name into a record's fixed UTF-16 field.
#include <cstring>

inline void SetField16(char16_t* field, const char16_t* name, int capacity = 64) {
  std::memset(field, 0, capacity * sizeof(char16_t));
  for (int i = 0; name[i] && i < capacity - 1; ++i) field[i] = name[i];
}
