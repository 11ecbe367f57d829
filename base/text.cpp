#include "base/text.h"

#include <locale.h>
#include <wctype.h>

#include <array>
#include <atomic>
#include <cwctype>
#include <memory>

#include "base/utf_codec.h"

namespace {

constexpr int kRingSize = 256;
constexpr int kLastUnit = kTextBufferUnits - 1;
// UTF-8 of 1023 characters can take four bytes each.
constexpr int kNarrowBufferBytes = kTextBufferUnits * 4;

// Each call claims the next buffer through an atomic counter, so concurrent
// callers never share a buffer until the ring wraps.
template <typename Unit, int kUnits>
class TextRing {
 public:
  Unit* Next() {
    unsigned index = next_.fetch_add(1, std::memory_order_relaxed) % kRingSize;
    return buffers_[index].data();
  }

 private:
  std::atomic<unsigned> next_{0};
  std::array<std::array<Unit, kUnits>, kRingSize> buffers_{};
};

TextRing<wchar_t, kTextBufferUnits>& Utf16ToWRing() {
  static auto* ring = new TextRing<wchar_t, kTextBufferUnits>();
  return *ring;
}
TextRing<char16_t, kTextBufferUnits>& WToUtf16Ring() {
  static auto* ring = new TextRing<char16_t, kTextBufferUnits>();
  return *ring;
}
TextRing<wchar_t, kTextBufferUnits>& Utf8ToWRing() {
  static auto* ring = new TextRing<wchar_t, kTextBufferUnits>();
  return *ring;
}
TextRing<char, kNarrowBufferBytes>& WToUtf8Ring() {
  static auto* ring = new TextRing<char, kNarrowBufferBytes>();
  return *ring;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Decodes one UTF-16 character starting at text[i] and advances i. A high
// surrogate without its low half becomes a blank; a lone low half is skipped
// (returns false).
bool DecodeUtf16(const char16_t* text, size_t& i, char32_t& out) {
  char16_t unit = text[i++];
  if (IsHighSurrogate(unit)) {
    if (IsLowSurrogate(text[i])) {
      out = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i] - 0xDC00);
      ++i;
    } else {
      out = U' ';
    }
    return true;
  }
  if (IsLowSurrogate(unit)) return false;
  out = unit;
  return true;
}

// Writes the UTF-16 form of ch into out (room for 2); returns the units used.
size_t EncodeUtf16(char32_t ch, char16_t* out) {
  if (ch < 0x10000) {
    out[0] = static_cast<char16_t>(ch);
    return 1;
  }
  ch -= 0x10000;
  out[0] = static_cast<char16_t>(0xD800 + (ch >> 10));
  out[1] = static_cast<char16_t>(0xDC00 + (ch & 0x3FF));
  return 2;
}

// Writes the terminated wide text as UTF-16 into at most capacity units (a
// pair that would straddle the end is dropped whole); returns the units used.
size_t EncodeWideUtf16(const wchar_t* text, char16_t* out, size_t capacity) {
  size_t count = 0;
  for (size_t i = 0; text[i] != 0; ++i) {
    char16_t units[2];
    const size_t used = EncodeUtf16(SanitizeScalar(text[i]), units);
    if (count + used > capacity) break;
    for (size_t k = 0; k < used; ++k) out[count++] = units[k];
  }
  return count;
}

}  // namespace

const wchar_t* StrUtf16ToW(const char16_t* text) {
  wchar_t* out = Utf16ToWRing().Next();
  size_t count = 0;
  if (text != nullptr) {
    size_t i = 0;
    while (text[i] != 0 && count < static_cast<size_t>(kLastUnit)) {
      char32_t ch = 0;
      if (DecodeUtf16(text, i, ch)) out[count++] = static_cast<wchar_t>(ch);
    }
  }
  out[count] = 0;
  return out;
}

const char16_t* StrWToUtf16(const wchar_t* text) {
  char16_t* out = WToUtf16Ring().Next();
  const size_t count = text != nullptr ? EncodeWideUtf16(text, out, static_cast<size_t>(kLastUnit)) : 0;
  out[count] = 0;
  return out;
}

const wchar_t* StrUtf8ToW(const char* text) {
  wchar_t* out = Utf8ToWRing().Next();
  size_t count = 0;
  if (text != nullptr) {
    // The decoder stops at the terminator (no continuation byte), so the
    // text is read no further than the characters kept.
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    while (*bytes != 0 && count < static_cast<size_t>(kLastUnit)) {
      size_t consumed = 0;
      out[count++] = static_cast<wchar_t>(Utf8DecodeOne(bytes, SIZE_MAX, consumed));
      bytes += consumed;
    }
  }
  out[count] = 0;
  return out;
}

const char* StrWToUtf8(const wchar_t* text) {
  char* out = WToUtf8Ring().Next();
  size_t count = 0;
  if (text != nullptr) {
    for (size_t i = 0; text[i] != 0 && i < static_cast<size_t>(kLastUnit); ++i) {
      count += Utf8EncodeOne(SanitizeScalar(text[i]), out + count);
    }
  }
  out[count] = 0;
  return out;
}

std::wstring Utf8ToWide(const std::string& text) {
  std::wstring result;
  result.reserve(text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  size_t remaining = text.size();
  while (remaining > 0) {
    size_t consumed = 0;
    result.push_back(static_cast<wchar_t>(Utf8DecodeOne(bytes, remaining, consumed)));
    bytes += consumed;
    remaining -= consumed;
  }
  return result;
}

namespace {

// Wide text in another encoding, one scalar at a time (at most MaxUnits
// units each); a value that is no scalar becomes U+FFFD.
template <class Text, size_t MaxUnits, size_t (*Encode)(char32_t, typename Text::value_type*)>
Text EncodeWide(const std::wstring& text) {
  Text result;
  result.reserve(text.size());
  typename Text::value_type units[MaxUnits];
  for (wchar_t ch : text) result.append(units, Encode(SanitizeScalar(ch), units));
  return result;
}

}  // namespace

std::string WideToUtf8(const std::wstring& text) { return EncodeWide<std::string, 4, Utf8EncodeOne>(text); }

std::u16string WideToUtf16(const std::wstring& text) { return EncodeWide<std::u16string, 2, EncodeUtf16>(text); }

std::wstring Utf16ToWide(const std::u16string& text) {
  std::wstring result;
  result.reserve(text.size());
  // c_str() guarantees the terminator that DecodeUtf16 may peek at.
  const char16_t* units = text.c_str();
  size_t i = 0;
  while (i < text.size()) {
    char32_t ch = 0;
    if (units[i] == 0) {
      result.push_back(0);
      ++i;
      continue;
    }
    if (DecodeUtf16(units, i, ch)) result.push_back(static_cast<wchar_t>(ch));
  }
  return result;
}

void Str16CopyN(char16_t* dest, const char16_t* src, size_t n) {
  if (dest == nullptr || n == 0) return;
  if (src == nullptr) {
    dest[0] = 0;
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    dest[i] = src[i];
    if (src[i] == 0) return;
  }
}

void Str16CopyNW(char16_t* dest, const wchar_t* src, size_t n) {
  if (dest == nullptr || n == 0) return;
  if (src == nullptr) {
    dest[0] = 0;
    return;
  }
  const size_t count = EncodeWideUtf16(src, dest, n);
  if (count < n) dest[count] = 0;
}

namespace {

// Case folding must not depend on the process locale, which stays "C" (ASCII
// only) unless the user interface sets another.
locale_t FoldingLocale() {
  static locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

char32_t FoldCase(char32_t unit) {
  locale_t locale = FoldingLocale();
  auto wide = static_cast<wint_t>(unit);
  return static_cast<char32_t>(locale != nullptr ? towlower_l(wide, locale) : std::towlower(wide));
}

int CompareUnits(const char16_t* a, const char16_t* b, bool foldCase) {
  static const char16_t kEmpty[1] = {0};
  if (a == nullptr) a = kEmpty;
  if (b == nullptr) b = kEmpty;
  for (size_t i = 0;; ++i) {
    char32_t ua = a[i];
    char32_t ub = b[i];
    if (foldCase) {
      ua = FoldCase(ua);
      ub = FoldCase(ub);
    }
    if (ua != ub) return ua < ub ? -1 : 1;
    if (ua == 0) return 0;
  }
}

}  // namespace

int Str16Cmp(const char16_t* a, const char16_t* b) { return CompareUnits(a, b, false); }

int Str16CaseCmp(const char16_t* a, const char16_t* b) { return CompareUnits(a, b, true); }

size_t Str16Len(const char16_t* text) {
  if (text == nullptr) return 0;
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

wchar_t* WcsTrim(wchar_t* text) {
  if (text == nullptr) return text;
  size_t start = 0;
  while (text[start] == L' ' || text[start] == L'\t') ++start;
  size_t length = 0;
  while (text[start + length] != 0) ++length;
  while (length > 0 && std::iswspace(static_cast<wint_t>(text[start + length - 1]))) --length;
  for (size_t i = 0; i < length; ++i) text[i] = text[start + i];
  text[length] = 0;
  return text;
}
