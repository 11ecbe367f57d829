#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>

#include "base/identity.h"
#include "base/util.h"

TEST(UtilTest, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(RoundToInt(0.5), 1);
  EXPECT_EQ(RoundToInt(1.5), 2);
  EXPECT_EQ(RoundToInt(2.5), 3);
  EXPECT_EQ(RoundToInt(-0.5), -1);
  EXPECT_EQ(RoundToInt(-1.5), -2);
  EXPECT_EQ(RoundToInt(-2.5), -3);
  EXPECT_EQ(RoundToInt(2.4999), 2);
  EXPECT_EQ(RoundToInt(-2.4999), -2);
  EXPECT_EQ(RoundToInt(0.0), 0);
  EXPECT_EQ(RoundToIntF(0.5f), 1);
  EXPECT_EQ(RoundToIntF(-0.5f), -1);
  EXPECT_EQ(RoundToIntF(29.97f * 1000.0f), 29970);
  EXPECT_EQ(RoundToIntF(-7.5f), -8);
  EXPECT_EQ(RoundToInt64(4294967296.5), INT64_C(4294967297));
  EXPECT_EQ(RoundToInt64(-4294967296.5), INT64_C(-4294967297));
}

TEST(UtilTest, RoundingJustBelowAHalfStaysDown) {
  // Adding 0.5 in floating point would carry these up.
  EXPECT_EQ(RoundToInt(0.49999999999999994), 0);
  EXPECT_EQ(RoundToIntF(0.49999997f), 0);
  EXPECT_EQ(RoundToInt(-0.49999999999999994), 0);
}

TEST(UtilTest, RoundingSaturatesOutOfRange) {
  EXPECT_EQ(RoundToInt(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToInt(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToIntF(std::numeric_limits<float>::infinity()),
            std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundToInt(std::nan("")), 0);
  EXPECT_EQ(RoundToInt64(1e30), std::numeric_limits<int64_t>::max());
}

TEST(UtilTest, StrToRealReadsSignsBlanksAndThousandsSeparators) {
  EXPECT_DOUBLE_EQ(StrToReal("1,234.5"), 1234.5);
  EXPECT_DOUBLE_EQ(StrToReal("1,000,000"), 1000000.0);
  EXPECT_DOUBLE_EQ(StrToReal(" \t -12.25"), -12.25);
  EXPECT_DOUBLE_EQ(StrToReal("+3"), 3.0);
  EXPECT_DOUBLE_EQ(StrToReal(".5"), 0.5);
  EXPECT_DOUBLE_EQ(StrToReal("7."), 7.0);
  EXPECT_DOUBLE_EQ(StrToReal("5,5"), 55.0);
}

TEST(UtilTest, StrToRealKeepsAtMostNineFractionDigits) {
  EXPECT_DOUBLE_EQ(StrToReal("0.1234567891"), 0.123456789);
  EXPECT_DOUBLE_EQ(StrToReal("2.99999999999"), 2.999999999);
  EXPECT_DOUBLE_EQ(StrToReal("1.0000000019e1"), 10.00000001);
}

TEST(UtilTest, StrToRealReadsExponents) {
  EXPECT_DOUBLE_EQ(StrToReal("1.5e3"), 1500.0);
  EXPECT_DOUBLE_EQ(StrToReal("2E-2"), 0.02);
  EXPECT_DOUBLE_EQ(StrToReal("-4e+1"), -40.0);
  EXPECT_DOUBLE_EQ(StrToReal("1e"), 1.0);
  EXPECT_DOUBLE_EQ(StrToReal("1e+"), 1.0);
  EXPECT_DOUBLE_EQ(StrToReal("3e2x"), 300.0);
  EXPECT_TRUE(std::isinf(StrToReal("1e999999999999")));
  EXPECT_DOUBLE_EQ(StrToReal("1e-999999999999"), 0.0);
}

TEST(UtilTest, StrToRealStopsAtOtherCharacters) {
  EXPECT_DOUBLE_EQ(StrToReal("12abc"), 12.0);
  EXPECT_DOUBLE_EQ(StrToReal("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(StrToReal("1 2"), 1.0);
  EXPECT_DOUBLE_EQ(StrToReal("12.5,6"), 12.5);
  EXPECT_DOUBLE_EQ(StrToReal("abc"), 0.0);
  EXPECT_DOUBLE_EQ(StrToReal("--5"), 0.0);
  EXPECT_DOUBLE_EQ(StrToReal("e5"), 0.0);
  EXPECT_DOUBLE_EQ(StrToReal(""), 0.0);
  EXPECT_DOUBLE_EQ(StrToReal(nullptr), 0.0);
}

TEST(UtilTest, TimeTextToSecondsReadsAllForms) {
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"1:02:03"), 3723.0f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"2:30"), 150.0f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"90"), 90.0f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"12.75"), 12.75f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"1,5"), 1.5f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"0:01,25"), 1.25f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"01:02:05.46"), 3725.46f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L" 1:00"), 60.0f);
}

TEST(UtilTest, TimeTextToSecondsRefusesNullEmptyAndLongTexts) {
  EXPECT_EQ(TimeTextToSeconds(nullptr), 0.0f);
  EXPECT_EQ(TimeTextToSeconds(L""), 0.0f);
  std::wstring longest = std::wstring(62, L'0') + L"5";
  EXPECT_FLOAT_EQ(TimeTextToSeconds(longest.c_str()), 5.0f);
  std::wstring tooLong = std::wstring(63, L'0') + L"5";
  EXPECT_EQ(TimeTextToSeconds(tooLong.c_str()), 0.0f);
  EXPECT_EQ(TimeTextToSeconds(L"\u00e9:\u20ac"), 0.0f);
}

TEST(UtilTest, TimeTextToSecondsIsCappedAt356400) {
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"99:00:00"), 356400.0f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"100:00:00"), 356400.0f);
  EXPECT_FLOAT_EQ(TimeTextToSeconds(L"1e9"), 356400.0f);
}

TEST(UtilTest, SecondsToTimeTextExamples) {
  EXPECT_STREQ(SecondsToTimeText(3725.456f), L"01:02:05.46");
  EXPECT_STREQ(SecondsToTimeText(59.996f), L"00:01:00.00");
  EXPECT_STREQ(SecondsToTimeText(59.999f), L"00:01:00.00");
  EXPECT_STREQ(SecondsToTimeText(-3.0f), L"00:00:00.00");
  EXPECT_STREQ(SecondsToTimeText(3600.0f), L"01:00:00.00");
  EXPECT_STREQ(SecondsToTimeText(3599.999f), L"01:00:00.00");
  EXPECT_STREQ(SecondsToTimeText(0.0f), L"00:00:00.00");
  EXPECT_STREQ(SecondsToTimeText(356400.0f), L"99:00:00.00");
  EXPECT_STREQ(SecondsToTimeText(std::nanf("")), L"00:00:00.00");
}

TEST(UtilTest, SecondsToTimeTextBuffersRotate) {
  const wchar_t* first = SecondsToTimeText(1.0f);
  const wchar_t* second = SecondsToTimeText(2.0f);
  EXPECT_NE(first, second);
  EXPECT_STREQ(first, L"00:00:01.00");
  EXPECT_STREQ(second, L"00:00:02.00");
}

TEST(UtilTest, TimeTextNormalize) {
  EXPECT_STREQ(TimeTextNormalize(L"1:5"), L"00:01:05.00");
  EXPECT_STREQ(TimeTextNormalize(L"65,5"), L"00:01:05.50");
  EXPECT_STREQ(TimeTextNormalize(L"1:2:3.456"), L"01:02:03.46");
  EXPECT_STREQ(TimeTextNormalize(nullptr), L"00:00:00.00");
}

// Confined to fewer cores (taskset), the count is theirs.
TEST(UtilTest, ProcessorCountIsTheCoresThisProcessMayRunOn) {
  long online = sysconf(_SC_NPROCESSORS_ONLN);
  ASSERT_GE(online, 1);
  cpu_set_t all;
  ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
  EXPECT_EQ(GetProcessorCount(), CPU_COUNT(&all));
  EXPECT_LE(GetProcessorCount(), online);
  if (CPU_COUNT(&all) < 2) return;
  cpu_set_t one;
  CPU_ZERO(&one);
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
    if (CPU_ISSET(cpu, &all)) {
      CPU_SET(cpu, &one);
      break;
    }
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  const int confined = GetProcessorCount();
  ASSERT_EQ(sched_setaffinity(0, sizeof all, &all), 0);
  EXPECT_EQ(confined, 1);
}

TEST(UtilTest, ClockIsMonotonic) {
  uint64_t startMs = TimeGetMs();
  double startSeconds = TimeGetSeconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(25));
  EXPECT_GE(TimeGetMs() - startMs, 25u);
  EXPECT_GE(TimeGetSeconds() - startSeconds, 0.025);
}

TEST(IdentityTest, ProductVersionAndBuild) {
  AppInitIdentity();
  EXPECT_STREQ(GetAppName(), L"Quelvatron");
  EXPECT_STREQ(GetAppVersion(), L"2.9.6b");
  EXPECT_STREQ(GetAppBuildString(), L"20140204");
  EXPECT_EQ(GetAppBuildNumber(), 20140204u);
}
