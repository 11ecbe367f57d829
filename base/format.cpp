// The engine's printf: "%s" takes engine wide text and "%S" UTF-8 text (the
// reverse of glibc's wide printf), so formats are interpreted here rather
// than handed to vswprintf. Numbers go through snprintf with the same spec.
#include <sys/types.h>

#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/utf_codec.h"

namespace {

// Collects output up to a fixed number of characters and drops the rest.
class BoundedOutput {
 public:
  BoundedOutput(wchar_t* buffer, size_t limit) : buffer_(buffer), limit_(limit) {}
  void Put(wchar_t ch) {
    if (count_ < limit_) buffer_[count_++] = ch;
  }
  void PutRepeated(wchar_t ch, size_t times) {
    for (size_t i = 0; i < times && count_ < limit_; ++i) Put(ch);
  }
  bool Full() const { return count_ >= limit_; }
  size_t Count() const { return count_; }

 private:
  wchar_t* buffer_;
  size_t limit_;
  size_t count_ = 0;
};

enum class Length { kNone, kChar, kShort, kLong, kLongLong, kIntMax, kSize, kPtrDiff, kLongDouble };

struct Spec {
  std::string flags;
  bool leftAlign = false;
  int width = -1;
  int precision = -1;
  Length length = Length::kNone;
  wchar_t conversion = 0;
};

// Widths and precisions beyond the output limit cannot show anyway.
int ClampField(long value) {
  if (value > kFormatMaxChars) return kFormatMaxChars;
  return static_cast<int>(value);
}

int ReadNumber(const wchar_t*& p) {
  long value = 0;
  while (*p >= L'0' && *p <= L'9') {
    if (value <= kFormatMaxChars) value = value * 10 + (*p - L'0');
    ++p;
  }
  return ClampField(value);
}

void ReadFlags(const wchar_t*& p, Spec& spec) {
  while (*p == L'-' || *p == L'+' || *p == L' ' || *p == L'#' || *p == L'0') {
    if (*p == L'-') spec.leftAlign = true;
    spec.flags.push_back(static_cast<char>(*p));
    ++p;
  }
}

void ReadWidthAndPrecision(const wchar_t*& p, Spec& spec, va_list& args) {
  if (*p == L'*') {
    int width = va_arg(args, int);
    if (width < 0) {
      spec.leftAlign = true;
      spec.flags.push_back('-');
      width = width == INT32_MIN ? kFormatMaxChars : -width;
    }
    spec.width = ClampField(width);
    ++p;
  } else if (*p >= L'0' && *p <= L'9') {
    spec.width = ReadNumber(p);
  }
  if (*p != L'.') return;
  ++p;
  if (*p == L'*') {
    int precision = va_arg(args, int);
    spec.precision = precision < 0 ? -1 : ClampField(precision);
    ++p;
  } else {
    spec.precision = ReadNumber(p);
  }
}

void ReadLength(const wchar_t*& p, Spec& spec) {
  switch (*p) {
    case L'h':
      ++p;
      spec.length = Length::kShort;
      if (*p == L'h') {
        spec.length = Length::kChar;
        ++p;
      }
      break;
    case L'l':
      ++p;
      spec.length = Length::kLong;
      if (*p == L'l') {
        spec.length = Length::kLongLong;
        ++p;
      }
      break;
    case L'q':
      ++p;
      spec.length = Length::kLongLong;
      break;
    case L'j':
      ++p;
      spec.length = Length::kIntMax;
      break;
    case L'z':
      ++p;
      spec.length = Length::kSize;
      break;
    case L't':
      ++p;
      spec.length = Length::kPtrDiff;
      break;
    case L'L':
      ++p;
      spec.length = Length::kLongDouble;
      break;
    default:
      break;
  }
}

// Pads a piece of text of `length` characters to the field width.
template <typename EmitText>
void EmitPadded(BoundedOutput& out, const Spec& spec, size_t length, EmitText emitText) {
  size_t pad = spec.width > 0 && static_cast<size_t>(spec.width) > length ? spec.width - length : 0;
  if (!spec.leftAlign) out.PutRepeated(L' ', pad);
  emitText();
  if (spec.leftAlign) out.PutRepeated(L' ', pad);
}

void EmitWideString(BoundedOutput& out, const Spec& spec, const wchar_t* text) {
  if (text == nullptr) text = L"(null)";
  size_t length = 0;
  size_t maxLength = spec.precision >= 0 ? static_cast<size_t>(spec.precision) : SIZE_MAX;
  while (length < maxLength && text[length] != 0) ++length;
  EmitPadded(out, spec, length, [&] {
    for (size_t i = 0; i < length && !out.Full(); ++i) out.Put(text[i]);
  });
}

void EmitUtf8String(BoundedOutput& out, const Spec& spec, const char* text) {
  if (text == nullptr) text = "(null)";
  std::wstring decoded;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t maxLength = spec.precision >= 0 ? static_cast<size_t>(spec.precision) : SIZE_MAX;
  // Decoding stops once more could not be shown, and reads no further than
  // the precision needs (the text may be a fixed array without terminator).
  // The decoder stops at the terminator, which is no continuation byte.
  size_t enough = static_cast<size_t>(kFormatMaxChars) + 1;
  while (decoded.size() < maxLength && decoded.size() < enough && *bytes != 0) {
    size_t consumed = 0;
    decoded.push_back(static_cast<wchar_t>(Utf8DecodeOne(bytes, SIZE_MAX, consumed)));
    bytes += consumed;
  }
  Spec plain = spec;
  plain.precision = -1;
  EmitWideString(out, plain, decoded.c_str());
}

void EmitChar(BoundedOutput& out, const Spec& spec, wchar_t ch) {
  EmitPadded(out, spec, 1, [&] { out.Put(ch); });
}

std::string NarrowSpec(const Spec& spec, const char* lengthText, char conversion) {
  std::string text = "%" + spec.flags;
  if (spec.width >= 0) text += std::to_string(spec.width);
  if (spec.precision >= 0) text += "." + std::to_string(spec.precision);
  text += lengthText;
  text.push_back(conversion);
  return text;
}

template <typename Value>
void EmitNumber(BoundedOutput& out, const Spec& spec, const char* lengthText, Value value) {
  std::string format = NarrowSpec(spec, lengthText, static_cast<char>(spec.conversion));
  int needed = std::snprintf(nullptr, 0, format.c_str(), value);
  if (needed <= 0) return;
  std::vector<char> text(static_cast<size_t>(needed) + 1);
  std::snprintf(text.data(), text.size(), format.c_str(), value);
  // snprintf's numeric output is plain ASCII.
  for (int i = 0; i < needed && !out.Full(); ++i) out.Put(static_cast<unsigned char>(text[i]));
}

void EmitSigned(BoundedOutput& out, const Spec& spec, va_list& args) {
  switch (spec.length) {
    case Length::kLong:
      EmitNumber(out, spec, "l", va_arg(args, long));
      break;
    case Length::kLongLong:
      EmitNumber(out, spec, "ll", va_arg(args, long long));
      break;
    case Length::kIntMax:
      EmitNumber(out, spec, "j", va_arg(args, intmax_t));
      break;
    case Length::kSize:
      EmitNumber(out, spec, "z", va_arg(args, ssize_t));
      break;
    case Length::kPtrDiff:
      EmitNumber(out, spec, "t", va_arg(args, ptrdiff_t));
      break;
    case Length::kShort:
      EmitNumber(out, spec, "", static_cast<int>(static_cast<short>(va_arg(args, int))));
      break;
    case Length::kChar:
      EmitNumber(out, spec, "", static_cast<int>(static_cast<signed char>(va_arg(args, int))));
      break;
    default:
      EmitNumber(out, spec, "", va_arg(args, int));
      break;
  }
}

void EmitUnsigned(BoundedOutput& out, const Spec& spec, va_list& args) {
  switch (spec.length) {
    case Length::kLong:
      EmitNumber(out, spec, "l", va_arg(args, unsigned long));
      break;
    case Length::kLongLong:
      EmitNumber(out, spec, "ll", va_arg(args, unsigned long long));
      break;
    case Length::kIntMax:
      EmitNumber(out, spec, "j", va_arg(args, uintmax_t));
      break;
    case Length::kSize:
      EmitNumber(out, spec, "z", va_arg(args, size_t));
      break;
    case Length::kPtrDiff:
      EmitNumber(out, spec, "t", va_arg(args, ptrdiff_t));
      break;
    case Length::kShort:
      EmitNumber(out, spec, "",
                 static_cast<unsigned>(static_cast<unsigned short>(va_arg(args, unsigned))));
      break;
    case Length::kChar:
      EmitNumber(out, spec, "",
                 static_cast<unsigned>(static_cast<unsigned char>(va_arg(args, unsigned))));
      break;
    default:
      EmitNumber(out, spec, "", va_arg(args, unsigned));
      break;
  }
}

void EmitFloating(BoundedOutput& out, const Spec& spec, va_list& args) {
  if (spec.length == Length::kLongDouble) {
    EmitNumber(out, spec, "L", va_arg(args, long double));
  } else {
    EmitNumber(out, spec, "", va_arg(args, double));
  }
}

// Formats one conversion; returns false for an unknown one, which is then
// copied as written.
bool EmitConversion(BoundedOutput& out, const Spec& spec, va_list& args) {
  switch (spec.conversion) {
    case L'd':
    case L'i':
      EmitSigned(out, spec, args);
      return true;
    case L'u':
    case L'x':
    case L'X':
    case L'o':
      EmitUnsigned(out, spec, args);
      return true;
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G':
    case L'a':
    case L'A':
      EmitFloating(out, spec, args);
      return true;
    case L'c':
    case L'C':
      EmitChar(out, spec, static_cast<wchar_t>(va_arg(args, wint_t)));
      return true;
    case L's':
      if (spec.length == Length::kShort) {
        EmitUtf8String(out, spec, va_arg(args, const char*));
      } else {
        EmitWideString(out, spec, va_arg(args, const wchar_t*));
      }
      return true;
    case L'S':
      if (spec.length == Length::kLong) {
        EmitWideString(out, spec, va_arg(args, const wchar_t*));
      } else {
        EmitUtf8String(out, spec, va_arg(args, const char*));
      }
      return true;
    case L'p':
      EmitNumber(out, spec, "", va_arg(args, void*));
      return true;
    case L'n':
      // Writing through an argument pointer is never honoured.
      (void)va_arg(args, void*);
      return true;
    default:
      return false;
  }
}

}  // namespace

int WcsPrintfV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args) {
  if (buffer == nullptr || capacity == 0) return 0;
  size_t limit = capacity - 1;
  if (limit > static_cast<size_t>(kFormatMaxChars)) limit = kFormatMaxChars;
  BoundedOutput out(buffer, limit);
  if (format == nullptr) format = L"";
  va_list work;
  va_copy(work, args);
  const wchar_t* p = format;
  while (*p != 0 && !out.Full()) {
    if (*p != L'%') {
      out.Put(*p++);
      continue;
    }
    const wchar_t* start = p++;
    if (*p == L'%') {
      out.Put(L'%');
      ++p;
      continue;
    }
    Spec spec;
    ReadFlags(p, spec);
    ReadWidthAndPrecision(p, spec, work);
    ReadLength(p, spec);
    spec.conversion = *p;
    if (*p == 0 || !EmitConversion(out, spec, work)) {
      while (start < p && !out.Full()) out.Put(*start++);
      if (*p == 0) break;
      out.Put(*p);
    }
    ++p;
  }
  va_end(work);
  buffer[out.Count()] = 0;
  return static_cast<int>(out.Count());
}

int WcsPrintf(wchar_t* buffer, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int written = WcsPrintfV(buffer, static_cast<size_t>(kFormatMaxChars) + 1, format, args);
  va_end(args);
  return written;
}

std::wstring WcsFormat(const wchar_t* format, ...) {
  std::vector<wchar_t> buffer(static_cast<size_t>(kFormatMaxChars) + 1);
  va_list args;
  va_start(args, format);
  int written = WcsPrintfV(buffer.data(), buffer.size(), format, args);
  va_end(args);
  return std::wstring(buffer.data(), static_cast<size_t>(written));
}
