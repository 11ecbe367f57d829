// Inputs opened through the media layer: real WAV and MP4 files made at run
// time.
#include <string>

#include "base/text.h"
#include "model/dispobjs.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model/multipart_scan.h"
#include "media/input_handler.h"
#include "model_fixture.h"
#include "support/media_fixtures.h"

namespace {

class InputMediaTest : public ModelTest {
protected:
  void SetUp() override {
    ModelTest::SetUp();
    MediaHandlerInit();
  }
  void TearDown() override {
    ModelCloseInputs();
    MediaHandlerEnd();
    ModelTest::TearDown();
  }
  // A WAV of `seconds` at 8000 Hz with `channels` channels.
  static std::u16string Wav(const std::string& name, int seconds, int channels) {
    const std::string path = MediaTestPath(name);
    EXPECT_TRUE(WriteWav16(path, 8000, channels, MakeRampPcm16(8000 * seconds, channels)));
    return WideToUtf16(Utf8ToWide(path));
  }
  static uint32_t Channels(uint32_t input) {
    const AudioFormat* format = InputHandlerGetAudioFormat(input);
    return format != nullptr ? format->nChannels : 0;
  }
};

TEST_F(InputMediaTest, AddedFileIsOpenedAndNamedAfterIt) {
  const uint32_t input = InputAdd(Wav("ramp.wav", 1, 2).c_str());
  ASSERT_EQ(input, 0u);
  EXPECT_EQ(InputGetType(input), kInputAudio);
  EXPECT_EQ(std::u16string(InputGetName(input)), u"ramp.wav");
  EXPECT_NEAR(InputGetLength(input, 1), 1.0, 0.01);
  EXPECT_EQ(Channels(input), 2u);
  EXPECT_EQ(std::u16string(InputGetName(InputAdd(InputGetMain(0)->FilePath))), u"ramp.wav - 001");
}

TEST_F(InputMediaTest, FileThatCannotBeOpenedIsNotAdded) {
  ASSERT_TRUE(WriteBytes(MediaTestPath("empty.mp4"), "", 0));
  const std::u16string path = WideToUtf16(Utf8ToWide(MediaTestPath("empty.mp4")));
  EXPECT_EQ(InputAdd(path.c_str()), kNoInput);
  EXPECT_LT(ErrorGetLast(), 0);
  EXPECT_EQ(InputAdd(u"/nonexistent/clip.mp4"), kNoInput);
  EXPECT_EQ(InputAdd(nullptr), kNoInput);
  EXPECT_EQ(ErrorGetLast(), -21);
  EXPECT_EQ(InputCount(), 0u);
}

TEST_F(InputMediaTest, ChangeFallsBackToTheOldFile) {
  const uint32_t input = InputAdd(Wav("one.wav", 1, 1).c_str());
  const std::u16string before(InputGetMain(input)->FilePath);
  EXPECT_LT(InputChange(input, u"/nonexistent/other.wav"), 0);
  EXPECT_EQ(std::u16string(InputGetMain(input)->FilePath), before);
  EXPECT_EQ(InputGetMain(input)->OpenFailed, 0);
  EXPECT_EQ(Channels(input), 1u);
  ASSERT_EQ(InputChange(input, Wav("two.wav", 2, 2).c_str()), 0);
  EXPECT_NEAR(InputGetLength(input, 1), 2.0, 0.01);
  EXPECT_EQ(Channels(input), 2u);
  EXPECT_EQ(InputChange(input, nullptr), -21);
  EXPECT_EQ(InputChange(3, u"x"), -41);
}

TEST_F(InputMediaTest, SlotsFollowTheirInputsWhenIndexesChange) {
  const uint32_t stereo = InputAdd(Wav("stereo.wav", 1, 2).c_str());
  const uint32_t mono = InputAdd(Wav("mono.wav", 1, 1).c_str());
  ASSERT_EQ(InputChangeOrder(mono, 1), 0);
  EXPECT_EQ(std::u16string(InputGetName(0)), u"mono.wav");
  EXPECT_EQ(Channels(0), 1u);
  EXPECT_EQ(Channels(1), 2u);
  ASSERT_EQ(InputRemove(0, 1), 0);
  EXPECT_EQ(std::u16string(InputGetName(0)), u"stereo.wav");
  EXPECT_EQ(Channels(0), 2u);
  EXPECT_EQ(stereo, 0u);
}

TEST_F(InputMediaTest, DuplicateOpensItsOwnSlot) {
  InputAdd(Wav("clip.wav", 1, 2).c_str());
  const uint32_t copy = InputDuplicate(0);
  ASSERT_EQ(copy, 1u);
  EXPECT_EQ(std::u16string(InputGetName(copy)), u"clip.wav - 001");
  EXPECT_EQ(Channels(copy), 2u);
}

TEST_F(InputMediaTest, SetRecordsReprocessTheInput) {
  const uint32_t input = InputAdd(Wav("set.wav", 1, 2).c_str());
  MainStruct main = *InputGetMain(input);
  main.TrimStart = 0.25f;
  EXPECT_EQ(InputSetMain(input, &main), 0);
  EXPECT_NEAR(InputGetLength(input, 2), 0.75, 0.01);
  AdjustStruct adjust = *InputGetAdjust(input);
  adjust.Volume = 50;
  EXPECT_EQ(InputSetAdjust(input, &adjust), 0);
  EXPECT_EQ(InputGetAdjust(input)->Volume, 50);
  DataStruct data = *InputGetData(input);
  for (char16_t& c : data.Speed) c = u's';
  EXPECT_EQ(InputSetData(input, &data), 0);
  EXPECT_EQ(InputGetData(input)->Speed[kNameLength - 1], 0);
}

TEST_F(InputMediaTest, CameraPartsBecomeOneJoinedVideo) {
  for (const char* name : {"GOPR0042.MP4", "GP010042.MP4"})
    ASSERT_TRUE(MakeIndexVideo(MediaTestPath(name), 10, 64, 48, "10",
                               "-c:v libx264 -pix_fmt yuv420p"));
  const std::wstring first = Utf8ToWide(MediaTestPath("GOPR0042.MP4"));
  ASSERT_EQ(InputCheckMultiPart(first.c_str()), kMultiPartFound);
  const uint32_t join = InputAddMultiPart(first.c_str());
  ASSERT_EQ(join, 0u);
  ASSERT_EQ(InputCount(), 3u);
  EXPECT_EQ(InputGetType(join), kInputJoinVideo);
  EXPECT_EQ(InputGetParent(1), join);
  EXPECT_EQ(InputGetParent(2), join);
  EXPECT_EQ(std::u16string(InputGetName(1)), u"GOPR0042.MP4");
  EXPECT_NEAR(InputGetMain(2)->StartTime, InputGetLength(1, 2), 1e-4);
  EXPECT_NEAR(InputGetLength(join, 1), InputGetLength(1, 2) + InputGetLength(2, 2), 1e-4);
  EXPECT_GT(InputGetLength(join, 1), 1.5);
}

// Part 2 added alone first, with a picture object; then the set from part 1:
// part 2 is taken into the join (not added again) and put after part 1, its
// object following it. Asked again, the set is complete and nothing is added.
TEST_F(InputMediaTest, APartAlreadyAddedJoinsItsSetInItsPlace) {
  const std::string video = "-c:v libx264 -pix_fmt yuv420p";
  ASSERT_TRUE(MakeIndexVideo(MediaTestPath("GOPR0043.MP4"), 10, 160, 96, "10", video));
  ASSERT_TRUE(MakeIndexVideo(MediaTestPath("GP010043.MP4"), 20, 160, 96, "10", video, "", "", 100));
  const std::wstring part1 = Utf8ToWide(MediaTestPath("GOPR0043.MP4"));
  const std::wstring part2 = Utf8ToWide(MediaTestPath("GP010043.MP4"));
  ASSERT_EQ(InputAdd(WideToUtf16(part2).c_str()), 0u);
  const uint32_t object = DispObjAdd(kDispVideo, 0);
  ASSERT_EQ(InputCheckMultiPart(part1.c_str()), kMultiPartFound);
  const uint32_t join = InputAddMultiPart(part1.c_str());
  ASSERT_EQ(InputCount(), 3u);
  ASSERT_EQ(join, 1u);
  const uint32_t first = InputFind(u"GOPR0043.MP4"), second = InputFind(u"GP010043.MP4");
  ASSERT_LT(first, second) << "a join plays its members in table order";
  EXPECT_EQ(InputGetParent(first), join);
  EXPECT_EQ(InputGetParent(second), join);
  EXPECT_EQ(DispObjGet(object)->InputID, second);
  EXPECT_NEAR(InputGetMain(second)->StartTime, 1.0, 0.01);
  EXPECT_NEAR(InputGetLength(join, 1), 3.0, 0.01);
  // Each slot went with its file: the join shows part 1, then part 2.
  for (const auto& [time, index] : {std::pair{0.05, 0}, std::pair{1.05, 100}}) {
    InputFrame frame{};
    ASSERT_EQ(InputHandlerGetFrameRF(join, time, &frame), 0) << time;
    ASSERT_NE(frame.Pixels, nullptr) << time;
    ASSERT_EQ(frame.BytesPerPixel, 4u);
    EXPECT_EQ(ReadFrameIndex(frame.Pixels, 160, 96, frame.FlipVertical == 0), index) << time;
  }

  EXPECT_EQ(InputAddMultiPart(part2.c_str()), join);
  EXPECT_EQ(InputCount(), 3u);
  EXPECT_EQ(InputFind(u"GOPR0043.MP4 - 001"), kNoInput);
}

} // namespace
