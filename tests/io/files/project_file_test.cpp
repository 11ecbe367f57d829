// Project files: a full round trip, media reopened on open, and files
// refused without touching the open project.
#include <cstring>

#include "base/error.h"
#include "base/text.h"
#include "io/files/project_files.h"
#include "io/files/project_format.h"
#include "model/dispobjs.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model/project.h"
#include "files_fixture.h"
#include "media/input_handler.h"

namespace {

class ProjectFileTest : public FilesTest {};

TEST_F(ProjectFileTest, EveryRecordSurvivesSaveAndOpen) {
  BuildRichProject(Dir());
  const ProjectImage before = CaptureModel();
  ASSERT_EQ(before.Inputs.size(), 8u);
  ASSERT_EQ(before.Objects.size(), 18u);
  ASSERT_EQ(ProjectSave(WPath("rich.qvp").c_str()), 0);
  ASSERT_EQ(ProjectNew(), 0);
  ASSERT_EQ(InputCount(), 0u);
  ASSERT_EQ(ProjectOpen(WPath("rich.qvp").c_str()), 0);
  ExpectSameProject(before, CaptureModel());
  // Saving the reopened project gives the same bytes again.
  ASSERT_EQ(ProjectSave(WPath("again.qvp").c_str()), 0);
  EXPECT_EQ(ReadFileBytes(Path("rich.qvp")), ReadFileBytes(Path("again.qvp")));
}

TEST_F(ProjectFileTest, OpenReopensMediaAndMarksMissingFiles) {
  BuildRichProject(Dir());
  ASSERT_EQ(ProjectSave(WPath("p.qvp").c_str()), 0);
  ASSERT_EQ(ProjectNew(), 0);
  ASSERT_EQ(ProjectOpen(WPath("p.qvp").c_str()), 0);
  EXPECT_NE(InputHandlerGetAudioFormat(0), nullptr); // the WAV plays again
  EXPECT_EQ(InputGetMain(0)->OpenFailed, 0);
  EXPECT_EQ(InputGetMain(2)->OpenFailed, 1);
  // The sound file goes away: the project still opens, the input is marked.
  ASSERT_EQ(ProjectNew(), 0);
  ASSERT_EQ(std::remove(Path("ramp.wav").c_str()), 0);
  ASSERT_EQ(ProjectOpen(WPath("p.qvp").c_str()), 0);
  EXPECT_EQ(InputCount(), 8u);
  EXPECT_EQ(InputGetMain(0)->OpenFailed, 1);
  EXPECT_EQ(InputGetType(0), kInputAudio);
  EXPECT_EQ(InputHandlerGetAudioFormat(0), nullptr);
}

TEST_F(ProjectFileTest, TruncationAtEveryOffsetIsRefused) {
  BuildSmallProject();
  ASSERT_EQ(ProjectSave(WPath("small.qvp").c_str()), 0);
  const std::vector<uint8_t> file = ReadFileBytes(Path("small.qvp"));
  ASSERT_GT(file.size(), 1000u);
  const ProjectImage before = CaptureModel();
  const std::string cut = Path("cut.qvp");
  for (size_t size = 0; size < file.size(); ++size) {
    ASSERT_TRUE(WriteFileBytes(cut, std::vector<uint8_t>(file.begin(), file.begin() + size)));
    const int code = ProjectOpen(Utf8ToWide(cut).c_str());
    ASSERT_LT(code, 0) << size;
    ASSERT_EQ(code, ErrorGetLast());
    ASSERT_EQ(InputCount(), before.Inputs.size()) << size;
    ASSERT_EQ(DispObjCount(), before.Objects.size()) << size;
  }
  ExpectSameProject(before, CaptureModel());
}

TEST_F(ProjectFileTest, EveryFlippedBitIsRefused) {
  BuildSmallProject();
  ASSERT_EQ(ProjectSave(WPath("small.qvp").c_str()), 0);
  const std::vector<uint8_t> file = ReadFileBytes(Path("small.qvp"));
  for (size_t i = 0; i < file.size(); ++i) {
    std::vector<uint8_t> damaged = file;
    damaged[i] ^= static_cast<uint8_t>(1u << (i % 8));
    ProjectImage image;
    ASSERT_LT(ProjectDecode(damaged.data(), damaged.size(), image), 0) << i;
  }
  const ProjectImage before = CaptureModel();
  std::vector<uint8_t> damaged = file;
  damaged[file.size() / 2] ^= 0x10;
  ASSERT_TRUE(WriteFileBytes(Path("flip.qvp"), damaged));
  EXPECT_EQ(ProjectOpen(WPath("flip.qvp").c_str()), -83);
  ExpectSameProject(before, CaptureModel());
}

std::vector<uint8_t> Sealed(std::vector<uint8_t> file) {
  ProjectSealCrc(file);
  return file;
}

void PutU32(std::vector<uint8_t>& file, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST_F(ProjectFileTest, HugeCountsAndLengthsAreRefused) {
  BuildSmallProject();
  ProjectImage image = CaptureModel();
  std::vector<uint8_t> file;
  ASSERT_EQ(ProjectEncode(image, file), 0);
  ProjectImage out;
  ASSERT_EQ(ProjectDecode(file.data(), file.size(), out), 0);
  std::vector<uint8_t> bad = file;
  PutU32(bad, 16, 0xFFFFFFFF); // sections
  bad = Sealed(bad);
  EXPECT_EQ(ProjectDecode(bad.data(), bad.size(), out), -81);
  bad = file;
  PutU32(bad, 36, 0x7FFFFFFF); // first section's length
  bad = Sealed(bad);
  EXPECT_EQ(ProjectDecode(bad.data(), bad.size(), out), -81);
  bad = file;
  PutU32(bad, 4, 0xFFFFFFF0); // header size
  bad = Sealed(bad);
  EXPECT_EQ(ProjectDecode(bad.data(), bad.size(), out), -81);
  // 129 inputs: one more than the table holds.
  image.Inputs.resize(129, image.Inputs[1]);
  ASSERT_EQ(ProjectEncode(image, file), 0);
  EXPECT_EQ(ProjectDecode(file.data(), file.size(), out), -81);
  // Too many segments on one object.
  image = CaptureModel();
  image.Objects[1].Segments.resize(64, image.Objects[1].Segments[0]);
  ASSERT_EQ(ProjectEncode(image, file), 0);
  EXPECT_EQ(ProjectDecode(file.data(), file.size(), out), -81);
}

TEST_F(ProjectFileTest, BrokenReferencesAreRefusedBeforeTheProjectChanges) {
  BuildSmallProject();
  const ProjectImage before = CaptureModel();
  auto refused = [&](ProjectImage image) {
    std::vector<uint8_t> file;
    ASSERT_EQ(ProjectEncode(image, file), 0);
    ASSERT_TRUE(WriteFileBytes(Path("bad.qvp"), file));
    EXPECT_EQ(ProjectOpen(WPath("bad.qvp").c_str()), -81);
    ExpectSameProject(before, CaptureModel());
  };
  ProjectImage image = before;
  image.Inputs[0].Main.ParentJoin = 0; // itself
  refused(image);
  image = before;
  image.Inputs[0].Main.ParentJoin = 1; // a filler is no join
  refused(image);
  image = before;
  image.Objects[0].Base.InputID = 7;
  refused(image);
  image = before;
  image.Objects[0].Base.ParentObject = 1;
  image.Objects[1].Base.ParentObject = 0;
  refused(image);
  image = before;
  image.Objects[0].Param.resize(10);
  refused(image);
  image = before;
  image.Objects[1].Bitmap.pop_back();
  refused(image);
  image = before;
  image.Objects[1].Segments[0].Start = image.Objects[1].Base.OffsetTime;
  refused(image);
  image = before;
  image.Inputs[1].Main.Type = 9;
  refused(image);
  image = before;
  image.Settings.SpeedUnit = 0;
  refused(image);
}

TEST_F(ProjectFileTest, MagicsAndVersions) {
  BuildSmallProject();
  ProjectImage image = CaptureModel();
  std::vector<uint8_t> file;
  ASSERT_EQ(ProjectEncode(image, file), 0);
  ProjectImage out;
  auto decodeWith = [&](const char* magic, uint32_t revision) {
    std::vector<uint8_t> f = file;
    std::memcpy(f.data(), magic, 4);
    PutU32(f, 8, revision);
    f = Sealed(f);
    return ProjectDecode(f.data(), f.size(), out);
  };
  EXPECT_EQ(decodeWith("QVP2", 1), 0);
  EXPECT_EQ(decodeWith("QVPX", 1), 0);
  EXPECT_EQ(decodeWith("QVQP", 1), 0);
  EXPECT_EQ(decodeWith("QVP3", 1), -85);
  EXPECT_EQ(decodeWith("QVP2", 2), -85);
  EXPECT_EQ(decodeWith("QVP1", 1), -84);
  EXPECT_EQ(decodeWith("RIFF", 1), -84);
}

TEST_F(ProjectFileTest, FilesOfOtherKindsAreRefused) {
  BuildRichProject(Dir());
  const ProjectImage before = CaptureModel();
  EXPECT_EQ(ProjectOpen(WPath("ramp.wav").c_str()), -84);
  EXPECT_EQ(ProjectOpen(WPath("picture.bmp").c_str()), -84);
  EXPECT_EQ(ProjectOpen(WPath("missing.qvp").c_str()), -80);
  EXPECT_EQ(ProjectOpen(Utf8ToWide(Dir()).c_str()), -80);
  ASSERT_TRUE(WriteFileBytes(Path("empty.qvp"), {}));
  EXPECT_EQ(ProjectOpen(WPath("empty.qvp").c_str()), -81);
  EXPECT_EQ(ProjectOpen(nullptr), -21);
  std::vector<uint8_t> noise(5000);
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
  ASSERT_TRUE(WriteFileBytes(Path("noise.qvp"), noise));
  EXPECT_LT(ProjectOpen(WPath("noise.qvp").c_str()), 0);
  ExpectSameProject(before, CaptureModel());
}

TEST_F(ProjectFileTest, UnknownSectionsAreSkipped) {
  BuildSmallProject();
  const ProjectImage before = CaptureModel();
  std::vector<uint8_t> file;
  ASSERT_EQ(ProjectEncode(before, file), 0);
  // A section of a later revision in front of the end marker.
  const std::vector<uint8_t> extra = {'N', 'E', 'W', '!', 3, 0, 0, 0, 1, 2, 3};
  file.insert(file.end() - 8, extra.begin(), extra.end());
  PutU32(file, 12, static_cast<uint32_t>(file.size()));
  uint32_t sections = file[16] | file[17] << 8;
  PutU32(file, 16, sections + 1);
  ASSERT_TRUE(WriteFileBytes(Path("later.qvp"), Sealed(file)));
  ASSERT_EQ(ProjectNew(), 0);
  ASSERT_EQ(ProjectOpen(WPath("later.qvp").c_str()), 0);
  ExpectSameProject(before, CaptureModel());
}

} // namespace
