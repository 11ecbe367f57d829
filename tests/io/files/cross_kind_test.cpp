// Each reader handed a valid file of another of our kinds: refused with its
// code, nothing changed.
#include <cstring>

#include "base/error.h"
#include "io/files/profile.h"
#include "io/files/project_files.h"
#include "io/files/style.h"
#include "io/files/style_format.h"
#include "io/files/templates.h"
#include "model/dispobj_table.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "files_fixture.h"

namespace {

class CrossKindTest : public FilesTest {
protected:
  void SetUp() override {
    FilesTest::SetUp();
    BuildSmallProject();
    ASSERT_EQ(ProjectSave(WPath("p.qvp").c_str()), 0);
    ASSERT_EQ(DispObjExportStyle(1, WPath("s.qvo").c_str()), 0);
    ASSERT_EQ(TemplateExportOpen(WPath("t.qvt").c_str()), 0);
    ASSERT_EQ(TemplateExportAddDispObj(1, u"Shape"), 0);
    ASSERT_EQ(TemplateExportClose(), 0);
    ASSERT_EQ(InputExportDataProfile(0, WPath("c.qvlc").c_str()), 0);
  }
  void TearDown() override {
    TemplateImportClear();
    FilesTest::TearDown();
  }
};

TEST_F(CrossKindTest, EveryReaderRefusesTheOthers) {
  const ProjectImage before = CaptureModel();
  for (const char* other : {"s.qvo", "t.qvt", "c.qvlc"})
    EXPECT_EQ(ProjectOpen(WPath(other).c_str()), -84) << other;
  for (const char* other : {"p.qvp", "t.qvt", "c.qvlc"})
    EXPECT_EQ(DispObjImportStyle(1, WPath(other).c_str(), kStyleApply), -84) << other;
  for (const char* other : {"p.qvp", "s.qvo", "c.qvlc"}) {
    EXPECT_EQ(TemplateImportLoad(WPath(other).c_str(), kNoInput, 0), -84) << other;
    EXPECT_EQ(TemplateImportLoad(WPath(other).c_str(), kNoInput, 1), -84) << other;
  }
  // A profile is text: a file without its marker line reads as no profile.
  for (const char* other : {"p.qvp", "s.qvo", "t.qvt"})
    EXPECT_EQ(InputImportDataProfile(0, WPath(other).c_str()), -81) << other;
  ExpectSameProject(before, CaptureModel());
}

TEST_F(CrossKindTest, StyleWithAHugeBitmapClaimIsRefused) {
  StyleImage style;
  style.Object = *DispTableEntry(1);
  DispBitmapHeader header{};
  header.Width = 0x10000;
  header.Height = 0x10000;
  std::memcpy(style.Object.Bitmap.data(), &header, sizeof(header));
  std::vector<uint8_t> bytes;
  ASSERT_EQ(StyleEncode(style, bytes), 0);
  ASSERT_TRUE(WriteFileBytes(Path("huge.qvo"), bytes));
  const std::vector<uint8_t> bitmap = DispTableEntry(1)->Bitmap;
  EXPECT_EQ(DispObjImportStyle(1, WPath("huge.qvo").c_str(), kStyleApply), -81);
  EXPECT_EQ(DispTableEntry(1)->Bitmap, bitmap);
}

} // namespace
