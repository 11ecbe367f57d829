#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"

namespace {

constexpr size_t kMaxUnits = kTextBufferUnits - 1;

}  // namespace

TEST(TextTest, NullTextGivesEmptyBuffers) {
  EXPECT_STREQ(StrUtf16ToW(nullptr), L"");
  EXPECT_EQ(StrWToUtf16(nullptr)[0], 0);
  EXPECT_STREQ(StrUtf8ToW(nullptr), L"");
  EXPECT_STREQ(StrWToUtf8(nullptr), "");
}

TEST(TextTest, Utf16SurrogatePairsAreJoined) {
  const char16_t text[] = {u'a', 0xD83D, 0xDE00, u'b', 0};
  EXPECT_STREQ(StrUtf16ToW(text), L"a\U0001F600b");
}

TEST(TextTest, HighSurrogateWithoutLowHalfBecomesBlank) {
  const char16_t followed[] = {u'a', 0xD83D, u'b', 0};
  EXPECT_STREQ(StrUtf16ToW(followed), L"a b");
  const char16_t atEnd[] = {u'a', 0xD83D, 0};
  EXPECT_STREQ(StrUtf16ToW(atEnd), L"a ");
  const char16_t twoHighs[] = {0xD800, 0xD801, 0xDC00, 0};
  EXPECT_STREQ(StrUtf16ToW(twoHighs), L" \U00010400");
}

TEST(TextTest, LoneLowSurrogateIsSkipped) {
  const char16_t text[] = {u'a', 0xDE00, u'b', 0xDC00, 0};
  EXPECT_STREQ(StrUtf16ToW(text), L"ab");
}

TEST(TextTest, WideToUtf16EncodesPairsAndReplacesInvalidValues) {
  const char16_t* out = StrWToUtf16(L"x\U0001F600y");
  EXPECT_EQ(std::u16string(out), std::u16string(u"x\xD83D\xDE00y"));
  const wchar_t invalid[] = {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(0xD800), L'z', 0};
  EXPECT_EQ(std::u16string(StrWToUtf16(invalid)), std::u16string(u"\xFFFD\xFFFDz"));
}

TEST(TextTest, RoundTripThroughUtf16) {
  const wchar_t* original = L"Caf\u00e9 \u65e5\u672c \U0001F3C1 end";
  EXPECT_STREQ(StrUtf16ToW(StrWToUtf16(original)), original);
}

TEST(TextTest, OverlongUtf16InputIsCut) {
  std::u16string text(3000, u'k');
  const wchar_t* out = StrUtf16ToW(text.c_str());
  EXPECT_EQ(std::wcslen(out), kMaxUnits);
}

TEST(TextTest, OverlongWideInputIsCut) {
  std::wstring text(3000, L'k');
  const char16_t* out = StrWToUtf16(text.c_str());
  EXPECT_EQ(Str16Len(out), kMaxUnits);
}

TEST(TextTest, SurrogatePairStraddlingTheLimitIsDroppedWhole) {
  std::wstring text(kMaxUnits - 1, L'a');
  text += L"\U0001F600tail";
  const char16_t* out = StrWToUtf16(text.c_str());
  ASSERT_EQ(Str16Len(out), kMaxUnits - 1);
  EXPECT_EQ(out[kMaxUnits - 2], u'a');

  std::wstring fits(kMaxUnits - 2, L'a');
  fits += L"\U0001F600tail";
  const char16_t* out2 = StrWToUtf16(fits.c_str());
  ASSERT_EQ(Str16Len(out2), kMaxUnits);
  EXPECT_EQ(out2[kMaxUnits - 2], 0xD83D);
  EXPECT_EQ(out2[kMaxUnits - 1], 0xDE00);
}

TEST(TextTest, Utf8DecodesAllLengths) {
  EXPECT_STREQ(StrUtf8ToW("A\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), L"A\u00e9\u20ac\U0001F600");
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_STREQ(StrUtf8ToW("a\xc3"), L"a\uFFFD");              // cut at the end
  EXPECT_STREQ(StrUtf8ToW("\xe2\x82x"), L"\uFFFDx");          // cut before ASCII
  EXPECT_STREQ(StrUtf8ToW("\xc0\xaf"), L"\uFFFD\uFFFD");      // overlong
  EXPECT_STREQ(StrUtf8ToW("\xe0\x80\xaf"), L"\uFFFD");        // overlong, 3 bytes
  EXPECT_STREQ(StrUtf8ToW("\xed\xa0\x80"), L"\uFFFD");        // encoded surrogate
  EXPECT_STREQ(StrUtf8ToW("\xf4\x90\x80\x80"), L"\uFFFD");    // above U+10FFFF
  EXPECT_STREQ(StrUtf8ToW("\xff\xfe"), L"\uFFFD\uFFFD");
  EXPECT_STREQ(StrUtf8ToW("\x80z"), L"\uFFFDz");
}

TEST(TextTest, RandomBytesNeverOverrun) {
  std::mt19937 random(1234);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 3000, '\0');
    for (char& byte : bytes) byte = static_cast<char>(1 + random() % 255);
    const wchar_t* wide = StrUtf8ToW(bytes.c_str());
    ASSERT_LE(std::wcslen(wide), kMaxUnits);
    std::u16string units(random() % 3000, u'\0');
    for (char16_t& unit : units) unit = static_cast<char16_t>(1 + random() % 0xFFFF);
    ASSERT_LE(std::wcslen(StrUtf16ToW(units.c_str())), kMaxUnits);
    std::wstring wideIn(random() % 3000, L'\0');
    for (wchar_t& ch : wideIn) ch = static_cast<wchar_t>(1 + random() % 0x7FFFFFFF);
    ASSERT_LE(Str16Len(StrWToUtf16(wideIn.c_str())), kMaxUnits);
    ASSERT_LE(std::strlen(StrWToUtf8(wideIn.c_str())), 4 * kMaxUnits);
  }
}

TEST(TextTest, RingHands256DistinctBuffersThenWraps) {
  std::set<const wchar_t*> seen;
  const wchar_t* first = StrUtf16ToW(u"first");
  seen.insert(first);
  for (int i = 1; i < 256; ++i) seen.insert(StrUtf16ToW(u"x"));
  EXPECT_EQ(seen.size(), 256u);
  EXPECT_EQ(StrUtf16ToW(u"again"), first);
}

TEST(TextTest, ConcurrentCallersGetTheirOwnBuffers) {
  constexpr int kThreads = 8;
  constexpr int kCallsEach = 32;  // 8 x 32 = one full ring, nothing reused
  std::vector<std::vector<const char16_t*>> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &results] {
      for (int i = 0; i < kCallsEach; ++i) {
        std::wstring text = L"thread " + std::to_wstring(t) + L" call " + std::to_wstring(i);
        results[t].push_back(StrWToUtf16(text.c_str()));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::set<const char16_t*> distinct;
  for (int t = 0; t < kThreads; ++t) {
    for (int i = 0; i < kCallsEach; ++i) {
      distinct.insert(results[t][i]);
      std::wstring expected = L"thread " + std::to_wstring(t) + L" call " + std::to_wstring(i);
      EXPECT_EQ(std::u16string(results[t][i]), WideToUtf16(expected));
    }
  }
  EXPECT_EQ(distinct.size(), static_cast<size_t>(kThreads * kCallsEach));
}

TEST(TextTest, UnboundedConversionsRoundTrip) {
  std::wstring text = L"path/\u00e9\U0001F600/" + std::wstring(5000, L'z');
  EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
  EXPECT_EQ(Utf16ToWide(WideToUtf16(text)), text);
  EXPECT_EQ(WideToUtf8(L"\u00e9"), "\xc3\xa9");
  EXPECT_EQ(Utf8ToWide("\xc3"), L"\uFFFD");
  EXPECT_EQ(Utf16ToWide(std::u16string(u"a\xDC00" u"b")), L"ab");
}

TEST(TextTest, Str16CopyNStopsAtTheLimitWithoutTerminator) {
  char16_t dest[8];
  for (char16_t& unit : dest) unit = u'#';
  Str16CopyN(dest, u"abcdef", 4);
  EXPECT_EQ(std::u16string(dest, 5), std::u16string(u"abcd#"));
  Str16CopyN(dest, u"ab", 8);
  EXPECT_EQ(std::u16string(dest), std::u16string(u"ab"));
  EXPECT_EQ(dest[3], u'd');  // nothing written past the terminator
  Str16CopyN(dest, nullptr, 8);
  EXPECT_EQ(dest[0], 0);
  Str16CopyN(nullptr, u"x", 8);
}

TEST(TextTest, Str16CopyNWConvertsAndKeepsPairsWhole) {
  char16_t dest[6];
  for (char16_t& unit : dest) unit = u'#';
  Str16CopyNW(dest, L"abc", 6);
  EXPECT_EQ(std::u16string(dest), std::u16string(u"abc"));
  for (char16_t& unit : dest) unit = u'#';
  Str16CopyNW(dest, L"abcd\U0001F600", 5);
  EXPECT_EQ(std::u16string(dest, 5), std::u16string(u"abcd\0", 5));
  EXPECT_EQ(dest[5], u'#');
  for (char16_t& unit : dest) unit = u'#';
  Str16CopyNW(dest, L"abc\U0001F600", 5);
  EXPECT_EQ(std::u16string(dest, 5), std::u16string(u"abc\xD83D\xDE00"));
  EXPECT_EQ(dest[5], u'#');
  Str16CopyNW(dest, nullptr, 5);
  EXPECT_EQ(dest[0], 0);
}

TEST(TextTest, ComparisonsAndLength) {
  EXPECT_EQ(Str16Cmp(u"abc", u"abc"), 0);
  EXPECT_EQ(Str16Cmp(u"abc", u"abd"), -1);
  EXPECT_EQ(Str16Cmp(u"abd", u"abc"), 1);
  EXPECT_EQ(Str16Cmp(u"ab", u"abc"), -1);
  EXPECT_EQ(Str16Cmp(nullptr, u""), 0);
  EXPECT_EQ(Str16Cmp(nullptr, u"a"), -1);
  EXPECT_EQ(Str16Cmp(u"\xFFFF", u"a"), 1);  // by unit value, unsigned
  EXPECT_EQ(Str16CaseCmp(u"Speed", u"SPEED"), 0);
  EXPECT_EQ(Str16CaseCmp(u"Speed", u"Speeds"), -1);
  EXPECT_EQ(Str16CaseCmp(u"\u00c9tape \u0394", u"\u00e9TAPE \u03b4"), 0);
  EXPECT_NE(Str16Cmp(u"Speed", u"SPEED"), 0);
  EXPECT_EQ(Str16Len(u"hello"), 5u);
  EXPECT_EQ(Str16Len(nullptr), 0u);
}

TEST(TextTest, WcsTrimStripsBlanksTabsAndTrailingWhiteSpace) {
  wchar_t text[] = L" \t  value with  spaces \t\r\n ";
  EXPECT_STREQ(WcsTrim(text), L"value with  spaces");
  wchar_t newlineFirst[] = L"\nkept";
  EXPECT_STREQ(WcsTrim(newlineFirst), L"\nkept");
  wchar_t blanks[] = L" \t \n";
  EXPECT_STREQ(WcsTrim(blanks), L"");
  wchar_t empty[] = L"";
  EXPECT_STREQ(WcsTrim(empty), L"");
  EXPECT_EQ(WcsTrim(nullptr), nullptr);
}
