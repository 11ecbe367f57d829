// Camera recordings split into parts, found in a folder of empty files.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "model/inputs.h"
#include "model/multipart_scan.h"
#include "model_fixture.h"
#include "support/temp_folder.h"

namespace {

class MultiPartTest : public ModelTest {
protected:
  void SetUp() override {
    ModelTest::SetUp();
    const std::string dir = MakeTempFolder("qv-multipart");
    ASSERT_FALSE(dir.empty());
    folder_ = dir + "/";
  }
  void TearDown() override {
    std::system(("rm -rf '" + folder_ + "'").c_str());
    ModelTest::TearDown();
  }
  void Touch(const std::string& name) {
    FILE* file = std::fopen((folder_ + name).c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
  }
  std::wstring Path(const std::string& name) { return Utf8ToWide(folder_ + name); }
  std::string folder_;
};

TEST_F(MultiPartTest, FindsThePartsOfOneRecordingInOrder) {
  for (const char* name : {"GP020042.MP4", "GOPR0042.MP4", "GP010042.MP4", "GP040042.MP4",
                           "GP030043.MP4", "GOPR0043.MP4"})
    Touch(name);
  EXPECT_EQ(InputCheckMultiPart(Path("GP010042.MP4").c_str()), kMultiPartFound);
  const std::vector<std::wstring>& parts = MultiPartFound();
  ASSERT_EQ(parts.size(), 3u); // part 3 is missing: part 4 is not counted
  EXPECT_EQ(parts[0], Path("GOPR0042.MP4"));
  EXPECT_EQ(parts[1], Path("GP010042.MP4"));
  EXPECT_EQ(parts[2], Path("GP020042.MP4"));
}

TEST_F(MultiPartTest, ASingleFileIsNoSet) {
  Touch("GOPR0043.MP4");
  Touch("GP020043.MP4"); // part 1 missing
  EXPECT_EQ(InputCheckMultiPart(Path("GOPR0043.MP4").c_str()), 0);
  EXPECT_TRUE(MultiPartFound().empty());
}

TEST_F(MultiPartTest, LowerCaseNamesAreFound) {
  Touch("gopr0007.mp4");
  Touch("gp010007.mp4");
  EXPECT_EQ(InputCheckMultiPart(Path("gopr0007.mp4").c_str()), kMultiPartFound);
  ASSERT_EQ(MultiPartFound().size(), 2u);
  EXPECT_EQ(MultiPartFound()[1], Path("gp010007.mp4"));
}

TEST_F(MultiPartTest, OtherNamesAreNoCameraParts) {
  Touch("GOPR0042.MP4");
  Touch("GP010042.MP4");
  for (const char* name : {"GOPR042.MP4", "GOPR00420.MP4", "GOPRA042.MP4", "GP0100042.MP4",
                           "clip.mp4", "GOPR0042.MOV"})
    EXPECT_EQ(InputCheckMultiPart(Path(name).c_str()), 0) << name;
  EXPECT_EQ(InputCheckMultiPart(nullptr), 0);
}

TEST_F(MultiPartTest, AllEightFollowingPartsAreTaken) {
  Touch("GOPR1234.MP4");
  for (int part = 1; part <= 9; ++part) {
    char name[32];
    std::snprintf(name, sizeof(name), "GP%02d1234.MP4", part);
    Touch(name);
  }
  EXPECT_EQ(InputCheckMultiPart(Path("GOPR1234.MP4").c_str()), kMultiPartFound);
  EXPECT_EQ(MultiPartFound().size(), 9u);
}

TEST_F(MultiPartTest, SetThatCannotBeOpenedLeavesNoJoin) {
  Touch("GOPR0042.MP4");
  Touch("GP010042.MP4");
  // Empty files are no media: nothing is added and the join goes again.
  EXPECT_EQ(InputAddMultiPart(Path("GOPR0042.MP4").c_str()), kNoInput);
  EXPECT_LT(ErrorGetLast(), 0);
  EXPECT_EQ(InputCount(), 0u);
}

} // namespace
