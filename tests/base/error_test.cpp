#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/error_codes.h"
#include "base/log.h"
#include "base/main_thread.h"
#include "base/message_box.h"
#include "base_temp_dir.h"

namespace {

struct ShownBox {
  std::wstring text;
  int flags = -1;
};

class ErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LogOpen(dir_.WidePath().c_str()), 0);
    MainThreadMarkCurrent();
    AppMessageBoxInstall([this](const std::wstring& text, int flags) {
      shown_.push_back({text, flags});
      return 1;
    });
    ErrorSet(0, "*NO LOG*");
  }
  void TearDown() override {
    AppMessageBoxInstall(nullptr);
    LogClose();
  }
  std::string Log() const { return ReadWholeFile(dir_.File("QV2-log.csv")); }

  BaseTempDir dir_;
  std::vector<ShownBox> shown_;
};

}  // namespace

TEST_F(ErrorTest, SetRecordsCodeAndLocation) {
  EXPECT_EQ(ErrorSet(-81, "InputAdd"), -81);
  EXPECT_EQ(ErrorGetLast(), -81);
  char location[64];
  ErrorGetLastLocation(location, sizeof location);
  EXPECT_STREQ(location, "InputAdd");
  EXPECT_EQ(ErrorSet(0, "InputAdd"), 0);
  EXPECT_EQ(ErrorGetLast(), 0);
}

TEST_F(ErrorTest, LocationKeepsAtMost63Characters) {
  std::string longName(100, 'n');
  ErrorSet(-1, longName.c_str());
  char location[128];
  ErrorGetLastLocation(location, sizeof location);
  EXPECT_EQ(std::string(location), std::string(63, 'n'));
  char small[5];
  ErrorGetLastLocation(small, sizeof small);
  EXPECT_STREQ(small, "nnnn");
  ErrorGetLastLocation(nullptr, 10);
  ErrorSet(-1, nullptr);
  ErrorGetLastLocation(location, sizeof location);
  EXPECT_STREQ(location, "");
}

TEST_F(ErrorTest, NonZeroCodesAreLogged) {
  ErrorSet(-80, "-[MediaMacQT Open:]");
  ErrorSet(92, "ProjectOpen");
  EXPECT_NE(Log().find(R"(,"[Code] -80 '-[MediaMacQT Open:]'")"), std::string::npos) << Log();
  EXPECT_NE(Log().find(R"(,"[Code] 92 'ProjectOpen'")"), std::string::npos) << Log();
}

TEST_F(ErrorTest, ZeroAndNoLogNameAreNotLogged) {
  ErrorSet(0, "Quiet");
  ErrorSet(-21, "*NO LOG*");
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(Log(), "");
}

TEST_F(ErrorTest, TableIsSortedUniqueAndComplete) {
  ASSERT_GT(ErrorTableSize(), 0);
  for (int i = 1; i < ErrorTableSize(); ++i) {
    EXPECT_LT(ErrorTableCode(i - 1), ErrorTableCode(i)) << i;
  }
  const int everyCode[] = {kErrFailed,  kErrNotReady,  kErrName,       kErrSegmentExists,
                           kErrLocked,  kErrAlreadyRunning, kErrTimeout,   kErrBadArg,     kErrNoMemory,
                           kErrNoObject, kErrNoThread, kErrTableFull,  kErrIndex,
                           kErrOpen,    kErrRead,      kErrWrite,      kErrIntegrity,
                           kErrHeader,  kErrNewer,     kErrEndOfData,  kErrNetwork,
                           kErrNoData,  kErrUnsupported, kErrSegmentTime, kErrStopped,
                           kNoticeProjectConverted, kNoticeProjectConvertedNoTimeline,
                           kNoticeMultiPart, kNoticeRecoveryCrashed, kNoticeRecoveryRunning};
  for (int code : everyCode) {
    const wchar_t* text = ErrorTableLookup(code);
    ASSERT_NE(text, nullptr) << code;
    EXPECT_GT(std::wcslen(text), 3u) << code;
  }
  EXPECT_EQ(ErrorTableLookup(0), nullptr);
}

TEST_F(ErrorTest, TextsTheMediaLayerRelyOn) {
  EXPECT_STREQ(ErrorGetText(-21), L"Invalid parameter");
  EXPECT_STREQ(ErrorGetText(-22), L"Out of memory");
  EXPECT_STREQ(ErrorGetText(-81), L"Unable to read file");
  EXPECT_STREQ(ErrorGetText(-89), L"End of file");
  EXPECT_STREQ(ErrorGetText(-141), L"Unrecognized or unsupported file format");
  EXPECT_STREQ(ErrorGetText(-20), L"Timeout");
  EXPECT_STREQ(ErrorGetText(-23), L"Object creation failed");
  EXPECT_STREQ(ErrorGetText(-12), L"This object cannot be changed.");
}

TEST_F(ErrorTest, UnknownCodesGetAGenericText) {
  const wchar_t* first = ErrorGetText(-12345);
  const wchar_t* second = ErrorGetText(777);
  EXPECT_STREQ(first, L"Unknown error (-12345)");
  EXPECT_STREQ(second, L"Unknown error (777)");
}

TEST_F(ErrorTest, ShowLastAddsCodeAndLocationForErrors) {
  ErrorSet(-80, "ProjectOpen");
  ErrorShowLast();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].flags, 16);
  EXPECT_EQ(shown_[0].text, std::wstring(ErrorGetText(-80)) +
                                L"\n\nError Code: -80\nLocation: ProjectOpen");
}

TEST_F(ErrorTest, ShowLastShowsNoticesWithTheInformationIcon) {
  ErrorSet(93, "ProjectOpen");
  ErrorShowLast();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].flags, 64);
  EXPECT_EQ(shown_[0].text, ErrorGetText(93));
}

TEST_F(ErrorTest, ShowLastShowsNothingForZero) {
  ErrorSet(0, "Fine");
  ErrorShowLast();
  EXPECT_TRUE(shown_.empty());
}

TEST_F(ErrorTest, ShowGivesTheTextWithoutLocation) {
  ErrorSet(-80, "Elsewhere");
  ErrorShow(-12);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].flags, 16);
  EXPECT_EQ(shown_[0].text, L"This object cannot be changed.\n\nError Code: -12");
  ErrorShowAt(-22, "Somewhere");
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].text, L"Out of memory\n\nError Code: -22\nLocation: Somewhere");
}

TEST_F(ErrorTest, MessageShowLogsAndShowsWithTheFlags) {
  MessageShow(L"System too \"old\"", 16);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].flags, 16);
  EXPECT_EQ(shown_[0].text, L"System too \"old\"");
  EXPECT_NE(Log().find(R"(,"[Disp] 'System too ""old""'")"), std::string::npos) << Log();
  MessageShow(nullptr, 16);
  EXPECT_EQ(shown_.size(), 1u);
}

// A result recorded on another thread (a render or decoding thread) never
// replaces the one this thread is about to show.
TEST_F(ErrorTest, EachThreadKeepsItsOwnLastResult) {
  ErrorSet(-80, "ProjectOpen");
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([t] {
      std::string name = "Routine" + std::to_string(t);
      for (int i = 0; i < 500; ++i) {
        ErrorSet(i % 2 == 0 ? 0 : -(t + 1), name.c_str());
        char location[64];
        ErrorGetLastLocation(location, sizeof location);
        ASSERT_EQ(ErrorGetLast(), i % 2 == 0 ? 0 : -(t + 1));
        ASSERT_EQ(std::string(location), name);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  char location[64];
  ErrorGetLastLocation(location, sizeof location);
  EXPECT_EQ(ErrorGetLast(), -80);
  EXPECT_EQ(std::string(location), "ProjectOpen");
  ErrorShowLast();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_NE(shown_[0].text.find(L"Location: ProjectOpen"), std::wstring::npos);
}
