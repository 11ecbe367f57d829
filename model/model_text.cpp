#include "model/model_text.h"

#include <cstdio>

void FieldCopy(char16_t* dest, size_t capacity, const char16_t* text) {
  size_t i = 0;
  if (text != nullptr)
    for (; i + 1 < capacity && text[i] != 0; ++i) dest[i] = text[i];
  for (size_t k = i; k < capacity; ++k) dest[k] = 0;
}

void FieldCopy(char16_t* dest, size_t capacity, const std::u16string& text) {
  FieldCopy(dest, capacity, text.c_str());
}

std::u16string FieldString(const char16_t* field, size_t capacity) {
  size_t length = 0;
  while (length < capacity && field[length] != 0) ++length;
  return std::u16string(field, length);
}

std::u16string NumberedName(const std::u16string& base, int number, size_t capacity) {
  char suffix[32];
  std::snprintf(suffix, sizeof(suffix), " - %03d", number);
  std::u16string tail(suffix, suffix + std::char_traits<char>::length(suffix));
  std::u16string head = base;
  if (head.size() + tail.size() > capacity - 1) head.resize(capacity - 1 - tail.size());
  return head + tail;
}
