#include "base/utf_codec.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

struct LeadInfo {
  size_t length;
  char32_t initial;
  char32_t minimum;
};

bool ReadLead(unsigned char lead, LeadInfo& info) {
  if (lead >= 0xC2 && lead <= 0xDF) {
    info = {2, static_cast<char32_t>(lead & 0x1F), 0x80};
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    info = {3, static_cast<char32_t>(lead & 0x0F), 0x800};
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    info = {4, static_cast<char32_t>(lead & 0x07), 0x10000};
  } else {
    return false;
  }
  return true;
}

}  // namespace

char32_t Utf8DecodeOne(const unsigned char* text, size_t length, size_t& consumed) {
  consumed = length > 0 ? 1 : 0;
  if (length == 0) return 0;
  unsigned char lead = text[0];
  if (lead < 0x80) return lead;
  LeadInfo info{};
  if (!ReadLead(lead, info)) return kReplacementChar;
  char32_t value = info.initial;
  size_t used = 1;
  while (used < info.length) {
    if (used >= length || !IsContinuation(text[used])) {
      // A cut-off sequence: skip what was valid so far, resume at the odd byte.
      consumed = used;
      return kReplacementChar;
    }
    value = (value << 6) | (text[used] & 0x3F);
    ++used;
  }
  consumed = used;
  if (value < info.minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return kReplacementChar;
  }
  return value;
}

char32_t SanitizeScalar(wchar_t ch) {
  auto value = static_cast<unsigned long>(static_cast<unsigned int>(ch));
  if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacementChar;
  return static_cast<char32_t>(value);
}

size_t Utf8EncodeOne(char32_t ch, char* out) {
  if (ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) ch = kReplacementChar;
  if (ch < 0x80) {
    out[0] = static_cast<char>(ch);
    return 1;
  }
  if (ch < 0x800) {
    out[0] = static_cast<char>(0xC0 | (ch >> 6));
    out[1] = static_cast<char>(0x80 | (ch & 0x3F));
    return 2;
  }
  if (ch < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (ch >> 12));
    out[1] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (ch & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (ch >> 18));
  out[1] = static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (ch & 0x3F));
  return 4;
}
