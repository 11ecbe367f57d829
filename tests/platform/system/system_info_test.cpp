#include "platform/system/system_info.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

#include "base/log.h"
#include "base/message_box.h"
#include "base/text.h"
#include "platform/system/system_test_dir.h"

namespace {

struct VersionCase {
  const char* release;
  int result;
  int flag108;
  int flag109;
};

class OsVersionTest : public ::testing::Test {
protected:
  void SetUp() override {
    AppMessageBoxInstall([this](const std::wstring& text, int flags) {
      shown = text;
      shownFlags = flags;
      return kMbOk;
    });
  }
  void TearDown() override { AppMessageBoxInstall(nullptr); }
  std::wstring shown;
  int shownFlags = -1;
  SystemTestDir dir;
};

TEST_F(OsVersionTest, ReleaseTextsDecideFlagsAndRefusal) {
  const VersionCase cases[] = {
      {"3.2.0", -1, 0, 0},          {"2.6.32-754.el6.x86_64", -1, 0, 0}, {"3.9.11", -1, 0, 0},
      {"3.10.0-1160.el7", 0, 0, 0}, {"3.19", 0, 0, 0},                   {"4.0", 0, 1, 1},
      {"6.1.0-13-amd64", 0, 1, 1},  {"10.2.3", 0, 1, 1},                 {"5", 0, 0, 0},
      {"", 0, 0, 0},                {nullptr, 0, 0, 0},
  };
  for (const VersionCase& c : cases) {
    MacVerAtLeast108 = 7;
    MacVerAtLeast109 = 7;
    shown.clear();
    std::string name = c.release != nullptr ? c.release : "(null)";
    EXPECT_EQ(CheckOsVersionText(c.release), c.result) << name;
    EXPECT_EQ(MacVerAtLeast108, c.flag108) << name;
    EXPECT_EQ(MacVerAtLeast109, c.flag109) << name;
    EXPECT_EQ(shown.empty(), c.result == 0) << name;
  }
}

TEST_F(OsVersionTest, RefusalNamesTheLinuxFloorWithTheErrorIcon) {
  EXPECT_EQ(CheckOsVersionText("3.2.0"), -1);
  EXPECT_EQ(shown, L"This application requires Linux 3.10 or newer.");
  EXPECT_EQ(shownFlags, 16);
}

TEST_F(OsVersionTest, RunningKernelPassesAndIsLogged) {
  ASSERT_EQ(LogOpen(Utf8ToWide(dir.path()).c_str()), 0);
  uint32_t major = 0, minor = 0;
  EXPECT_EQ(GetMacVersion(&major, &minor, nullptr), 0);
  EXPECT_GE(major, 3u);
  EXPECT_EQ(CheckMacVer(), 0);
  EXPECT_TRUE(shown.empty());
  LogClose();
  std::string log = ReadWholeFile(dir.path() + "/QV2-log.csv");
  EXPECT_NE(log.find("Linux version " + std::to_string(major) + "." + std::to_string(minor) + "."), std::string::npos)
      << log;
  EXPECT_NE(log.find("CPU Count: "), std::string::npos);
  EXPECT_NE(log.find(" GB\""), std::string::npos);
}

TEST(SystemInfoTest, ComputerNameFitsOrIsRefused) {
  char expected[256] = {};
  ASSERT_EQ(gethostname(expected, sizeof expected - 1), 0);
  char buffer[256];
  uint32_t length = sizeof buffer;
  ASSERT_EQ(GetComputerName(buffer, &length), 1);
  EXPECT_STREQ(buffer, expected);
  EXPECT_EQ(length, std::strlen(expected));

  uint32_t tight = static_cast<uint32_t>(std::strlen(expected)); // no room for the terminator
  EXPECT_EQ(GetComputerName(buffer, &tight), 0);
  EXPECT_EQ(tight, std::strlen(expected)) << "left unchanged";
  EXPECT_EQ(GetComputerName(nullptr, &length), 0);
  EXPECT_EQ(GetComputerName(buffer, nullptr), 0);
}

TEST(SystemInfoTest, ProcessIdAndSleep) {
  EXPECT_EQ(GetProcessID(), static_cast<int32_t>(getpid()));
  SleepMs(0);
  auto start = std::chrono::steady_clock::now();
  SleepMs(20);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

TEST(SystemInfoTest, StatusCodesAreLoggedWithTheirText) {
  SystemTestDir dir;
  ASSERT_EQ(LogOpen(Utf8ToWide(dir.path()).c_str()), 0);
  LogOSStatus(2);
  LogOSStatus(-13);
  LogOSStatus(987654);
  LogOSStatus(INT32_MIN);
  LogClose();
  std::string log = ReadWholeFile(dir.path() + "/QV2-log.csv");
  EXPECT_NE(log.find("\"OSStatus 2: No such file or directory\""), std::string::npos) << log;
  EXPECT_NE(log.find("\"OSStatus -13: Permission denied\""), std::string::npos);
  EXPECT_EQ(log.find("987654"), std::string::npos);
  EXPECT_EQ(log.find("OSStatus -2147483648"), std::string::npos);
}

} // namespace
