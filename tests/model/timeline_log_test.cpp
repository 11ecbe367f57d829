// The timeline's moves are written to the session log.
#include <cstdlib>
#include <string>

#include "base/log.h"
#include "base/text.h"
#include "model/dispobjs.h"
#include "model_fixture.h"
#include "support/read_file.h"
#include "support/temp_folder.h"

namespace {

class TimelineLogTest : public ModelTest {
protected:
  void SetUp() override {
    ModelTest::SetUp();
    dir_ = MakeTempFolder("qv-timeline-log");
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(LogOpen(Utf8ToWide(dir_).c_str()), 0);
  }
  void TearDown() override {
    LogClose();
    std::system(("rm -rf '" + dir_ + "'").c_str());
    ModelTest::TearDown();
  }
  std::string LogText() {
    return ReadWholeFile(WideToUtf8(LogGetPath()));
  }
  std::string dir_;
};

TEST_F(TimelineLogTest, AddMoveAndShiftAreLogged) {
  const uint32_t object = DispObjAdd(kDispText, kNoInput);
  ASSERT_EQ(TimelineDispObjAdd(object, 5), 0u);
  ASSERT_EQ(TimelineDispObjSetStart(object, 0, 6.5f), 0);
  ASSERT_EQ(TimelineDispObjSetStart(object, kFirstSegment, 1), 0);
  ASSERT_EQ(TimelineDispObjShift(object, 0, 0.25f), 0);
  const std::string log = LogText();
  EXPECT_NE(log.find("Add DispObj[0] timeline segment (at 5.000)"), std::string::npos) << log;
  EXPECT_NE(log.find("Move DispObj[0] timeline segment [0] (from 5.000 to 6.500)"),
            std::string::npos);
  EXPECT_NE(log.find("Move DispObj[0] timeline segment [Initial] (from 0.000 to 1.000)"),
            std::string::npos);
  EXPECT_NE(log.find("Shift DispObj[0] timeline segment [0] (from 6.500 to 6.750)"),
            std::string::npos);
}

} // namespace
