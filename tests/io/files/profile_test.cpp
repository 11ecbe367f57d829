// Data-channel profiles: every field round-trips, older forms are read,
// and files that are no profile change nothing.
#include <cmath>
#include <cstring>

#include "base/error.h"
#include "base/text.h"
#include "io/files/profile.h"
#include "io/files/profile_fields.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "files_fixture.h"

namespace {

class ProfileTest : public FilesTest {
protected:
  void SetUp() override {
    FilesTest::SetUp();
    ASSERT_EQ(InputAddSpecial(kSpecialFiller), 0u);
  }
};

// Every byte of the record set to something that is not a default, with
// text that needs quoting and encoding.
DataStruct OddRecord() {
  DataStruct d;
  std::memset(&d, 0, sizeof(d));
  const char16_t* texts[] = {u"Zeit \"s\"", u"100% Längengrad", u"緯度", u"Alt 😀 m", u"Acc\tTab",
                             u"Lap=1", u"Speed # kmh", u"Kurs", u"U/min", u"Gang", u"Quer",
                             u"Längs", u"Custom é", u"Source \"x\"", u"C2", u"%41", u"C3",
                             u"", u"C4", u"In4", u"Gas %"};
  char16_t* fields[] = {d.Time, d.PosX, d.PosY, d.PosZ, d.GpsAcc, d.Lap, d.Speed, d.Heading, d.RPM,
                        d.Gear, d.GForceX, d.GForceY, d.CustomName, d.CustomInput, d.CustomName2,
                        d.CustomInput2, d.CustomName3, d.CustomInput3, d.CustomName4, d.CustomInput4,
                        d.Throttle};
  for (size_t i = 0; i < std::size(fields); ++i) Str16CopyN(fields[i], texts[i], kNameLength - 1);
  d.TimeUnits = 0.001f;
  d.GpsAccConv = 1.0f / 3.0f;
  d.SpeedConv = 1.609344f;
  d.HeadingAdjust = -12.75f;
  d.LapX = -122.41941550000001;
  d.LapY = 37.774929499999999;
  d.LapTolX = 1e-5;
  d.LapTolY = 2.5e-300;
  d.LapHeading = -1.0f;
  d.LapHeadTol = 30.0f;
  d.LapManual = 0x83;
  d.HeadingFlip = 1;
  d.IgnoreFirstLaps = 3;
  d.BoostSampleRate = 7;
  d.CustomOp = 1;
  d.CustomOp2 = 2;
  d.CustomOp3 = 4;
  d.CustomOp4 = 5;
  d.CustomNum = 3.14159274f;
  d.CustomNum2 = -0.0f;
  d.CustomNum3 = 1e30f;
  d.CustomNum4 = 7;
  d.CustomReserved = 0xDEADBEEF;
  d.CustomReserved2 = 1;
  d.CustomReserved3 = 2;
  d.CustomReserved4 = 0xFFFFFFFF;
  d.GearAdjust = -3;
  d.Reserved1[0] = 1;
  d.Reserved1[1] = 2;
  d.Reserved1[2] = 255;
  d.Reserved2 = 42;
  return d;
}

TEST_F(ProfileTest, EveryFieldRoundTrips) {
  const DataStruct odd = OddRecord();
  ASSERT_EQ(InputSetData(0, &odd), 0);
  ASSERT_EQ(InputExportDataProfile(0, WPath("odd.qvlc").c_str()), 0);
  DataStruct plain;
  std::memset(&plain, 0, sizeof(plain));
  plain.TimeUnits = 5;
  ASSERT_EQ(InputSetData(0, &plain), 0);
  ASSERT_EQ(InputImportDataProfile(0, WPath("odd.qvlc").c_str()), 0);
  EXPECT_EQ(0, std::memcmp(InputGetData(0), &odd, sizeof(DataStruct)));
  // The file is UTF-8 text as documented.
  const std::vector<uint8_t> bytes = ReadFileBytes(Path("odd.qvlc"));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.rfind("QVLC2\n#", 0), 0u);
  EXPECT_NE(text.find("Time = \"Zeit %22s%22\"\n"), std::string::npos);
  EXPECT_NE(text.find("PosX = \"100%25 L\xC3\xA4ngengrad\"\n"), std::string::npos);
  EXPECT_NE(text.find("GpsAcc = \"Acc%09Tab\"\n"), std::string::npos);
}

TEST_F(ProfileTest, EveryFieldHasItsOwnKey) {
  // Each key alone changes exactly its field.
  size_t count = 0;
  const ProfileField* fields = ProfileFields(&count);
  size_t covered = 0;
  for (size_t i = 0; i < count; ++i) {
    covered += fields[i].kind == ProfileKind::kText ? 128
               : fields[i].kind == ProfileKind::kF64 ? 8
               : fields[i].kind == ProfileKind::kBytes3 ? 3
               : fields[i].kind == ProfileKind::kU8 || fields[i].kind == ProfileKind::kI8 ? 1
                                                                                          : 4;
  }
  EXPECT_EQ(covered, sizeof(DataStruct));
}

TEST_F(ProfileTest, OlderFormsAndCaseInsensitiveKeys) {
  DataStruct before = *InputGetData(0);
  ASSERT_TRUE(WriteFileBytes(Path("old.qvlc"), std::vector<uint8_t>(
      {'Q', 'V', 'L', 'C', '\r', '\n', 's', 'p', 'e', 'e', 'd', ' ', '=', ' ', '"', 'G', 'P', 'S',
       ' ', '1', '0', '0', '%', '"', '\r', '\n', 'L', 'A', 'P', 'X', '=', '1', '.', '5', '\n'})));
  ASSERT_EQ(InputImportDataProfile(0, WPath("old.qvlc").c_str()), 0);
  EXPECT_EQ(std::u16string(InputGetData(0)->Speed), u"GPS 100%");
  EXPECT_EQ(InputGetData(0)->LapX, 1.5);
  const std::string conf = "LoggerConf.2\nrpm = Engine\nunknown = 3\nGearAdjust = 900\n";
  ASSERT_TRUE(WriteFileBytes(Path("conf.txt"), std::vector<uint8_t>(conf.begin(), conf.end())));
  ASSERT_EQ(InputImportDataProfile(0, WPath("conf.txt").c_str()), 0);
  EXPECT_EQ(std::u16string(InputGetData(0)->RPM), u"Engine");
  EXPECT_EQ(InputGetData(0)->GearAdjust, before.GearAdjust); // 900 does not fit
}

TEST_F(ProfileTest, LongTextIsCutInsideTheField) {
  std::string text = "QVLC2\n#\n#\nTime = \"";
  for (int i = 0; i < 100; ++i) text += "\xC3\xA4";
  text += "\"\n";
  ASSERT_TRUE(WriteFileBytes(Path("long.qvlc"), std::vector<uint8_t>(text.begin(), text.end())));
  ASSERT_EQ(InputImportDataProfile(0, WPath("long.qvlc").c_str()), 0);
  EXPECT_EQ(std::u16string(InputGetData(0)->Time).size(), 63u);
  EXPECT_EQ(InputGetData(0)->Time[63], 0);
}

TEST_F(ProfileTest, BadInputChangesNothing) {
  const DataStruct odd = OddRecord();
  ASSERT_EQ(InputSetData(0, &odd), 0);
  ASSERT_TRUE(WriteFileBytes(Path("empty.qvlc"), {}));
  EXPECT_EQ(InputImportDataProfile(0, WPath("empty.qvlc").c_str()), -81);
  EXPECT_STREQ(ErrorGetText(ErrorGetLast()), L"Unable to read file");
  EXPECT_EQ(InputImportDataProfile(0, WPath("missing.qvlc").c_str()), -80);
  EXPECT_EQ(InputImportDataProfile(0, Utf8ToWide(Dir()).c_str()), -80);
  ASSERT_TRUE(WriteFileBytes(Path("other.qvlc"), {'R', 'I', 'F', 'F', '\n', 'T', 'i', 'm', 'e', '=', '1'}));
  EXPECT_EQ(InputImportDataProfile(0, WPath("other.qvlc").c_str()), -81);
  std::string huge = "QVLC2\n";
  huge.resize((1 << 20) + 1, '#');
  ASSERT_TRUE(WriteFileBytes(Path("huge.qvlc"), std::vector<uint8_t>(huge.begin(), huge.end())));
  EXPECT_EQ(InputImportDataProfile(0, WPath("huge.qvlc").c_str()), -81);
  EXPECT_EQ(InputImportDataProfile(5, WPath("empty.qvlc").c_str()), -41);
  EXPECT_EQ(InputImportDataProfile(255, WPath("empty.qvlc").c_str()), -21);
  EXPECT_EQ(InputExportDataProfile(0, WPath("no-folder/x.qvlc").c_str()), -82);
  EXPECT_EQ(InputExportDataProfile(9, WPath("x.qvlc").c_str()), -41);
  // Every truncation of a real profile reads without harm.
  ASSERT_EQ(InputExportDataProfile(0, WPath("odd.qvlc").c_str()), 0);
  const std::vector<uint8_t> file = ReadFileBytes(Path("odd.qvlc"));
  for (size_t size = 0; size < file.size(); size += 7) {
    ASSERT_TRUE(WriteFileBytes(Path("cut.qvlc"), std::vector<uint8_t>(file.begin(), file.begin() + size)));
    const int code = InputImportDataProfile(0, WPath("cut.qvlc").c_str());
    EXPECT_TRUE(code == 0 || (size < 6 && code == -81)) << size;
  }
  EXPECT_EQ(0, std::memcmp(InputGetData(0), &odd, sizeof(DataStruct)));
}

} // namespace
