#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"

namespace {

// The formatter's numbers must read exactly as the C library prints them.
std::wstring Narrow(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return std::wstring(buffer, buffer + std::strlen(buffer));
}

int FormatInto(wchar_t* buffer, size_t capacity, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int written = WcsPrintfV(buffer, capacity, format, args);
  va_end(args);
  return written;
}

}  // namespace

TEST(FormatTest, LowerSTakesWideText) {
  EXPECT_EQ(WcsFormat(L"[%s]", L"wide \u00e9\U0001F600"), L"[wide \u00e9\U0001F600]");
  EXPECT_EQ(WcsFormat(L"[%ls]", L"also wide"), L"[also wide]");
}

TEST(FormatTest, UpperSTakesUtf8Text) {
  EXPECT_EQ(WcsFormat(L"[%S]", "utf8 \xc3\xa9 \xf0\x9f\x98\x80"), L"[utf8 \u00e9 \U0001F600]");
  EXPECT_EQ(WcsFormat(L"[%hs]", "narrow"), L"[narrow]");
  EXPECT_EQ(WcsFormat(L"[%lS]", L"wide again"), L"[wide again]");
}

TEST(FormatTest, MalformedUtf8ArgumentBecomesReplacementCharacters) {
  EXPECT_EQ(WcsFormat(L"%S", "a\xff" "b\xc3"), L"a\uFFFDb\uFFFD");
}

TEST(FormatTest, PrecisionBoundsReadingOfUnterminatedArrays) {
  // Fixed name fields of records may be full, without a terminator; the
  // sanitizer catches a read past them.
  const char narrow[4] = {'a', 'b', 'c', 'd'};
  const wchar_t wide[3] = {L'x', L'y', L'z'};
  EXPECT_EQ(WcsFormat(L"%.4S|%.3s", narrow, wide), L"abcd|xyz");
  const char cutSequence[2] = {'q', '\xe2'};
  EXPECT_EQ(WcsFormat(L"%.1S", cutSequence), L"q");
}

TEST(FormatTest, NullStringsPrintAsNull) {
  EXPECT_EQ(WcsFormat(L"%s|%S", static_cast<const wchar_t*>(nullptr),
                      static_cast<const char*>(nullptr)),
            L"(null)|(null)");
}

TEST(FormatTest, StringWidthAndPrecision) {
  EXPECT_EQ(WcsFormat(L"[%6s]", L"ab"), L"[    ab]");
  EXPECT_EQ(WcsFormat(L"[%-6S]", "ab"), L"[ab    ]");
  EXPECT_EQ(WcsFormat(L"[%.3s]", L"abcdef"), L"[abc]");
  EXPECT_EQ(WcsFormat(L"[%.2S]", "\xc3\xa9\xc3\xa9\xc3\xa9"), L"[\u00e9\u00e9]");
  EXPECT_EQ(WcsFormat(L"[%*s]", 4, L"x"), L"[   x]");
  EXPECT_EQ(WcsFormat(L"[%*s]", -4, L"x"), L"[x   ]");
  EXPECT_EQ(WcsFormat(L"[%.*s]", 2, L"xyz"), L"[xy]");
}

TEST(FormatTest, IntegersMatchTheCLibrary) {
  EXPECT_EQ(WcsFormat(L"%d %i %5d %-5d| %05d %+d", -42, 7, 42, 42, 42, 3),
            Narrow("%d %i %5d %-5d| %05d %+d", -42, 7, 42, 42, 42, 3));
  EXPECT_EQ(WcsFormat(L"%u %x %X %o %#x %#o", 4000000000u, 255u, 255u, 8u, 255u, 8u),
            Narrow("%u %x %X %o %#x %#o", 4000000000u, 255u, 255u, 8u, 255u, 8u));
  EXPECT_EQ(WcsFormat(L"%lld %llu %ld", LLONG_MIN, ULLONG_MAX, -5L),
            Narrow("%lld %llu %ld", LLONG_MIN, ULLONG_MAX, -5L));
  EXPECT_EQ(WcsFormat(L"%zu %jd %hd %hhd %hhu", size_t{123}, intmax_t{-9}, 70000, 300, 300),
            Narrow("%zu %jd %hd %hhd %hhu", size_t{123}, intmax_t{-9}, 70000, 300, 300));
  EXPECT_EQ(WcsFormat(L"%*d|%-*d|", 6, 1, 6, 2), L"     1|2     |");
}

TEST(FormatTest, FloatingPointMatchesTheCLibrary) {
  EXPECT_EQ(WcsFormat(L"%f %.2f %8.3f %e %E %g %G", 3.14159, 2.005, -1.5, 12345.678, 0.00012,
                      1e-10, 1e20),
            Narrow("%f %.2f %8.3f %e %E %g %G", 3.14159, 2.005, -1.5, 12345.678, 0.00012, 1e-10,
                   1e20));
  EXPECT_EQ(WcsFormat(L"%.01f GB", 15.96), L"16.0 GB");
  EXPECT_EQ(WcsFormat(L"%.03f", 1.0f), L"1.000");
  EXPECT_EQ(WcsFormat(L"%.*f", 1, 2.25), Narrow("%.*f", 1, 2.25));
  EXPECT_EQ(WcsFormat(L"%Lf", 1.5L), L"1.500000");
}

TEST(FormatTest, CharactersPointersAndPercent) {
  EXPECT_EQ(WcsFormat(L"%c%c%3c%-3c|", L'A', 0x20AC, L'b', L'c'), L"A\u20AC  bc  |");
  int value = 0;
  EXPECT_EQ(WcsFormat(L"%p", static_cast<void*>(&value)), Narrow("%p", static_cast<void*>(&value)));
  EXPECT_EQ(WcsFormat(L"100%% done"), L"100% done");
}

TEST(FormatTest, UnknownConversionIsCopiedAsWritten) {
  EXPECT_EQ(WcsFormat(L"a %y b %d", 5), L"a %y b 5");
  EXPECT_EQ(WcsFormat(L"trailing %"), L"trailing %");
  EXPECT_EQ(WcsFormat(L"trailing %-5"), L"trailing %-5");
}

TEST(FormatTest, PercentNWritesNothing) {
  int target = 77;
  EXPECT_EQ(WcsFormat(L"ab%ncd", &target), L"abcd");
  EXPECT_EQ(target, 77);
}

TEST(FormatTest, NullFormatGivesEmptyText) {
  wchar_t buffer[kFormatMaxChars + 1];
  buffer[0] = L'x';
  EXPECT_EQ(WcsPrintf(buffer, nullptr), 0);
  EXPECT_EQ(buffer[0], 0);
}

TEST(FormatTest, OutputIsCutAt4095WithoutOverrun) {
  std::wstring longText(5000, L'q');
  std::vector<wchar_t> buffer(kFormatMaxChars + 200, L'#');
  int written = WcsPrintf(buffer.data(), L"<%s>", longText.c_str());
  EXPECT_EQ(written, kFormatMaxChars);
  EXPECT_EQ(buffer[0], L'<');
  EXPECT_EQ(buffer[kFormatMaxChars - 1], L'q');
  EXPECT_EQ(buffer[kFormatMaxChars], 0);
  for (size_t i = kFormatMaxChars + 1; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], L'#') << i;
}

TEST(FormatTest, HugeWidthsAndPrecisionsAreCut) {
  EXPECT_EQ(WcsFormat(L"%10000d", 1).size(), static_cast<size_t>(kFormatMaxChars));
  EXPECT_EQ(WcsFormat(L"%.9999f", 1.0).size(), static_cast<size_t>(kFormatMaxChars));
  EXPECT_EQ(WcsFormat(L"%99999999999999999999s", L"x").size(),
            static_cast<size_t>(kFormatMaxChars));
  EXPECT_EQ(WcsFormat(L"%*d", INT_MIN, 5).size(), static_cast<size_t>(kFormatMaxChars));
}

TEST(FormatTest, SmallCapacityIsRespected) {
  wchar_t buffer[10];
  for (wchar_t& unit : buffer) unit = L'#';
  EXPECT_EQ(FormatInto(buffer, 8, L"%s and more", L"abcdef"), 7);
  EXPECT_EQ(std::wstring(buffer), L"abcdef ");
  EXPECT_EQ(buffer[8], L'#');
  EXPECT_EQ(FormatInto(buffer, 0, L"x"), 0);
  EXPECT_EQ(buffer[8], L'#');
}

TEST(FormatTest, ManyArgumentsInOrder) {
  EXPECT_EQ(WcsFormat(L"%s=%d %S=%.1f %c %u", L"a", 1, "b", 2.5, L'c', 3u), L"a=1 b=2.5 c 3");
}
