#include "platform/graphics/font_map.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string mapped(const char* name) { return FontMapName(name); }
std::string helvetica() { return mapped("Helvetica"); }
} // namespace

TEST(FontMap, InstalledPostScriptNameMatchesExactly) {
  const char* found = nullptr;
  EXPECT_EQ(FontCheckName("LiberationSans", &found), 1);
  EXPECT_STREQ(found, "LiberationSans");
  EXPECT_EQ(FontExists("LiberationSans", 1), 1);
}

TEST(FontMap, FamilyResolvesToAnotherPostScriptName) {
  const char* found = nullptr;
  EXPECT_EQ(FontCheckName("Liberation Sans", &found), 0);
  EXPECT_STREQ(found, "LiberationSans");
  EXPECT_EQ(FontExists("Liberation Sans", 0), 1);
  EXPECT_EQ(FontExists("Liberation Sans", 1), 0);
}

TEST(FontMap, WindowsNamesLandOnTheirStandIns) {
  EXPECT_EQ(mapped("Arial"), "LiberationSans");
  EXPECT_EQ(mapped("Microsoft Sans Serif"), "LiberationSans");
  EXPECT_EQ(mapped("Arial Black"), "LiberationSans-Bold");
  EXPECT_EQ(mapped("Courier New"), "LiberationMono");
  EXPECT_EQ(mapped("Times New Roman"), "LiberationSerif");
}

TEST(FontMap, TableIgnoresCase) {
  // Tahoma is not installed; its substitute (Geneva) is not either, so the
  // stand-in of the table entry is used.
  EXPECT_EQ(mapped("tahoma"), mapped("Tahoma"));
  EXPECT_FALSE(mapped("tahoma").empty());
}

TEST(FontMap, UnknownNonAsciiAndOverlongNamesFallBackToHelvetica) {
  ASSERT_FALSE(helvetica().empty());
  EXPECT_EQ(mapped("Segoe UI"), helvetica());
  EXPECT_EQ(mapped("Caf\xc3\xa9 Sans"), helvetica());
  const char* found = reinterpret_cast<const char*>(1);
  EXPECT_EQ(FontCheckName("Caf\xc3\xa9 Sans", &found), 0);
  EXPECT_STREQ(found, "");
  std::string longName(400, 'x');
  EXPECT_EQ(mapped(longName.c_str()), helvetica());
  EXPECT_EQ(FontExists(nullptr, 0), 0);
}

TEST(FontMap, FaceFromPostScriptName) {
  FontFace face;
  ASSERT_TRUE(FontFaceFromPostScript("LiberationSans-Bold", &face));
  EXPECT_EQ(face.family, "Liberation Sans");
  EXPECT_EQ(face.weight, 700);
  EXPECT_FALSE(face.italic);
  EXPECT_FALSE(FontFaceFromPostScript("NoSuchFont-Bold", &face));
}
