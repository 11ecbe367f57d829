// Output renders through the writer: a generated video with a shape and a
// text object over it, read back from the MP4.
#include "render/render_fixture.h"

#include "base/error.h"
#include "base/text.h"
#include "model/inputs.h"
#include "model/project.h"
#include "render/compositor/compositor.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"
#include "support/media_fixtures.h"
#include "support/wait_until.h"
#include "support/writer_clip.h"

#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

int diff(const Rgb& a, int r, int g, int b) {
  return std::max({std::abs(a.r - r), std::abs(a.g - g), std::abs(a.b - b)});
}

} // namespace

class OutputRenderTest : public RenderTest {
protected:
  // Renders the project to `file` (width x height, 25 fps, until `end`)
  // with a progress view of viewW x viewH; the last picture it showed.
  ViewImage RenderWithProgressView(const std::string& file, uint32_t width, uint32_t height, uint32_t kbit,
                                   uint32_t quality, float end, uint32_t viewW, uint32_t viewH) {
    std::mutex mutex;
    std::vector<ViewImage> shown;
    int view = 0;
    ViewRegister(&view, [&](const ViewImage& image) {
      std::lock_guard lock(mutex);
      shown.push_back(image);
    });
    // Set up first here, so that even a very quick render has a display.
    EXPECT_EQ(MainPreviewInitNoRender(&view, viewW, viewH), 0);
    EXPECT_EQ(OutputHandlerCreate(Utf8ToWide(TempPath(file)).c_str(), 8, width, height, 3, 44100, kbit, 128,
                                  quality, 25.0f, 0.0f, 0.0f, end),
              0);
    EXPECT_TRUE(WaitOutputIdle(60000));
    EXPECT_TRUE(MainPreviewWaitIdle(5000));
    RenderEnd();
    MainPreviewEnd();
    ViewUnregister(&view);
    std::lock_guard lock(mutex);
    return shown.empty() ? ViewImage{} : shown.back();
  }
};

TEST_F(OutputRenderTest, VideoWithShapeAndTextIsWrittenWithBothInPlace) {
  const std::string source = TempPath("source.mp4");
  ASSERT_TRUE(MakeIndexVideo(source, 75, 640, 360, "25", "-c:v libx264 -pix_fmt yuv420p -g 10"));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(source)).c_str());
  ASSERT_NE(input, 255u);
  AddObject(kDispVideo, input, 0, 0, 100, 100);
  AddShape(4, 0x00D000, 0xFF000000, 0, 80, 60, 15, 30);     // over the grey patch
  AddText("QV", 0xFFFFFF, 60, 52, 60, 20, 30, 1);            // over the blue patch
  const std::string out = TempPath("out.mp4");
  // 642 wide: the output is rounded down to 640.
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, 642, 360, 3, 44100, 4000, 128, 0,
                                25.0f, 0.0f, 0.0f, 356400.0f),
            0);
  EXPECT_EQ(RenderGetWidth(), 640u);
  ASSERT_TRUE(WaitOutputIdle(120000)) << "render stuck at " << OutputHandlerGetTime() << " s";
  EXPECT_EQ(OutputHandlerGetResult(), 0);
  // Past the last frame's time: the end, reached.
  EXPECT_FLOAT_EQ(OutputHandlerGetTime(), ProjectGetLength(0));
  RenderEnd();

  MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened);
  EXPECT_EQ(probe.width, 640);
  EXPECT_EQ(probe.height, 360);
  ASSERT_GE(probe.pictures.size(), 70u);
  EXPECT_LE(probe.pictures.size(), 76u);
  const DecodedPicture& p = probe.pictures[37];
  EXPECT_NEAR(ReadIndexBlocks(p), 37, 1); // the input's frame of that time
  // Every frame is the one drawn for its time, not a later one drawn into
  // its buffer while the encoder still read it.
  const int first = ReadIndexBlocks(probe.pictures[0]);
  for (size_t n = 1; n < probe.pictures.size(); ++n)
    EXPECT_EQ(ReadIndexBlocks(probe.pictures[n]), first + static_cast<int>(n)) << "output frame " << n;
  EXPECT_LE(diff(p.At(560, 270), 0x00, 0xD0, 0x00), 40); // the shape
  EXPECT_LE(diff(p.At(620, 200), 128, 128, 128), 40);   // grey patch beside it
  EXPECT_LE(diff(p.At(60, 300), 255, 0, 0), 40);        // red patch
  int white = 0;
  for (int y = 216; y < 324; ++y)
    for (int x = 333; x < 461; ++x)
      if (diff(p.At(x, y), 255, 255, 255) < 60) ++white;
  EXPECT_GT(white, 300); // the text's glyphs in its box
}

TEST_F(OutputRenderTest, WriterThatCannotOpenFailsTheCreate) {
  AddShape(4, 0xFF0000, 0xFF000000, 0, 0, 0, 50, 50);
  const std::wstring path = Utf8ToWide(TempPath("no-such-folder/out.mp4"));
  EXPECT_LT(OutputHandlerCreate(path.c_str(), 8, 320, 240, 3, 44100, 1000, 128, 0, 25.0f, 0.0f,
                                0.0f, 1.0f),
            0);
  EXPECT_EQ(OutputHandlerIsBusy(), 0);
  EXPECT_EQ(OutputHandlerCreate(nullptr, 8, 320, 240, 3, 44100, 1000, 128, 0, 25.0f, 0, 0, 1), -21);
}

TEST_F(OutputRenderTest, StopFinishesTheFramesWrittenSoFar) {
  AddShape(4, 0xFF0000, 0xFF000000, 0, 0, 0, 50, 50);
  const std::string out = TempPath("stopped.mp4");
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, 320, 240, 3, 44100, 1000, 128, 5,
                                25.0f, 0.0f, 0.0f, 600.0f),
            0);
  ASSERT_TRUE(WaitUntil([] { return OutputHandlerGetTime() >= 0.5f; }, std::chrono::seconds(120)))
      << "the render stands at " << OutputHandlerGetTime() << " s";
  OutputHandlerStop();
  ASSERT_TRUE(WaitOutputIdle(30000));
  RenderEnd();
  MediaProbe probe = ProbeMedia(out, false);
  ASSERT_TRUE(probe.opened);
  EXPECT_GT(probe.duration, 0.3);
  EXPECT_LT(probe.duration, 100.0);
}

TEST_F(OutputRenderTest, NotReadyWithoutRenderWorkers) {
  RenderWorkersEnd();
  const std::wstring path = Utf8ToWide(TempPath("x.mp4"));
  EXPECT_EQ(OutputHandlerCreate(path.c_str(), 8, 320, 240, 3, 44100, 1000, 128, 0, 25.0f, 0, 0, 1),
            -2);
  ASSERT_EQ(RenderWorkersInit(), 0);
}

TEST_F(OutputRenderTest, AudioObjectSoundsWithItsVolume) {
  const std::string wav = TempPath("ramp.wav");
  ASSERT_TRUE(WriteWav16(wav, 22050, 2, MakeRampPcm16(22050 * 3, 2)));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(wav)).c_str());
  ASSERT_NE(input, 255u);
  const uint32_t audio = AddObject(kDispAudio, input, 0, 0, 10, 10);
  // Silent for the first half second by the object's timeline.
  Edit(audio, [](DispStruct& r) { r.OffsetTime = 0.5f; });
  const std::string out = TempPath("sound.mp4");
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, 160, 120, 3, 44100, 500, 128, 5,
                                25.0f, 0.0f, 0.0f, 1.5f),
            0);
  ASSERT_TRUE(WaitOutputIdle(60000));
  EXPECT_EQ(OutputHandlerGetResult(), 0);
  RenderEnd();
  MediaProbe probe = ProbeMedia(out, false);
  ASSERT_TRUE(probe.opened);
  ASSERT_EQ(probe.audioStreams, 1);
  ASSERT_GT(probe.sampleRate, 0);
  EXPECT_LT(SoundRms(probe.sound, probe.sampleRate, 0.05, 0.4), 0.01);
  EXPECT_GT(SoundRms(probe.sound, probe.sampleRate, 0.7, 1.3), 0.08);
}

TEST_F(OutputRenderTest, ProgressViewShowsTheFramesBeingWritten) {
  AddShape(4, 0x00FF00, 0xFF000000, 0, 0, 0, 100, 100);
  const ViewImage last = RenderWithProgressView("progress.mp4", 320, 240, 1000, 5, 1.0f, 80, 60);
  ASSERT_FALSE(last.rgba.empty());
  EXPECT_EQ(last.width, 80u);
  EXPECT_EQ(last.rgbAt(40, 30) >> 8 & 0xFF, 0xFFu); // green, scaled down
}

// Over a video that fills the frame the writer gets the video's own
// planes; the progress display still shows the frame, upright and in its
// colours, with the objects over it.
TEST_F(OutputRenderTest, ProgressViewShowsTheVideoFramesUprightInTheirColours) {
  const std::string source = TempPath("patches.mp4");
  ASSERT_TRUE(MakeIndexVideo(source, 25, 640, 360, "25", "-c:v libx264 -pix_fmt yuv420p"));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(source)).c_str());
  ASSERT_NE(input, 255u);
  AddObject(kDispVideo, input, 0, 0, 100, 100);
  AddShape(4, 0x00D000, 0xFF000000, 0, 0, 0, 25, 25); // green over the top-left corner
  const ViewImage last = RenderWithProgressView("progress.mp4", 640, 360, 2000, 0, 356400.0f, 160, 90);
  ASSERT_FALSE(last.rgba.empty());
  ASSERT_EQ(last.width, 160u);
  ASSERT_EQ(last.height, 90u);
  auto at = [&](int x, int y) {
    const uint32_t c = last.rgbAt(x, y);
    return Rgb{static_cast<int>(c >> 16), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c & 0xFF)};
  };
  EXPECT_LE(diff(at(15, 75), 255, 0, 0), 40);     // red patch, bottom left
  EXPECT_LE(diff(at(155, 50), 128, 128, 128), 40); // grey patch, right
  EXPECT_LE(diff(at(10, 10), 0x00, 0xD0, 0x00), 40); // the shape
}

namespace {

// Frame `index` of the file as raw 4:2:0 planes, by the ffmpeg tool.
std::vector<uint8_t> RawPlanes(const std::string& file, int index, const std::string& out) {
  if (!RunFfmpeg("-i " + file + " -vf trim=start_frame=" + std::to_string(index) +
                 " -frames:v 1 -f rawvideo -pix_fmt yuv420p " + out))
    return {};
  return ReadBytes(out);
}

} // namespace

// An HD video under the objects reaches the file as it was decoded: the
// same Y, Cb and Cr (up to the encoder's loss), not converted to 32-bit
// pixels with one matrix and back with another.
TEST_F(OutputRenderTest, HdVideoKeepsItsOwnPictureUnderTheObjects) {
  constexpr int kW = 1280, kH = 720;
  const std::string source = TempPath("hd.mp4");
  ASSERT_TRUE(MakeIndexVideo(source, 10, kW, kH, "25", "-c:v libx264 -pix_fmt yuv420p -qp 0"));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(source)).c_str());
  ASSERT_NE(input, 255u);
  AddObject(kDispVideo, input, 0, 0, 100, 100);
  AddShape(4, 0x00D000, 0xFF000000, 0, 80, 5, 15, 20); // top right, over the index blocks' row
  const std::string out = TempPath("hd-out.mp4");
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, kW, kH, 3, 44100, 20000, 128, 0, 25.0f, 0.0f,
                                0.0f, 356400.0f),
            0);
  ASSERT_TRUE(WaitOutputIdle(120000));
  ASSERT_EQ(OutputHandlerGetResult(), 0);
  RenderEnd();
  const std::vector<uint8_t> a = RawPlanes(source, 5, TempPath("a.yuv"));
  const std::vector<uint8_t> b = RawPlanes(out, 5, TempPath("b.yuv"));
  const size_t luma = static_cast<size_t>(kW) * kH;
  ASSERT_EQ(a.size(), luma * 3 / 2);
  ASSERT_EQ(b.size(), a.size());
  // The colour patches of the bottom half, at their middles: luma and both
  // chroma planes.
  for (int patch = 0; patch < 4; ++patch) {
    const int x = kW / 8 + patch * kW / 4, y = kH * 3 / 4;
    const size_t yAt = static_cast<size_t>(y) * kW + x;
    const size_t cAt = static_cast<size_t>(y / 2) * (kW / 2) + x / 2;
    EXPECT_NEAR(b[yAt], a[yAt], 3) << "luma, patch " << patch;
    EXPECT_NEAR(b[luma + cAt], a[luma + cAt], 3) << "Cb, patch " << patch;
    EXPECT_NEAR(b[luma * 5 / 4 + cAt], a[luma * 5 / 4 + cAt], 3) << "Cr, patch " << patch;
  }
  // The shape is there (green: luma well above the patches' row below it).
  const size_t shapeAt = static_cast<size_t>(kH * 15 / 100) * kW + kW * 87 / 100;
  EXPECT_NEAR(b[shapeAt], 16 + 219 * (0.7152 * 0xD0 / 255.0), 8);
}

// Still pictures have no length: the whole project of them is refused
// before a file is written, and once the project has a length the render
// ends there.
TEST_F(OutputRenderTest, StillPicturesRenderTheProjectLengthOrNothing) {
  const std::string picture = TempPath("still.png");
  ASSERT_TRUE(RunFfmpeg("-f lavfi -i color=c=blue:s=160x120 -frames:v 1 " + picture));
  const uint32_t input = InputAdd(WideToUtf16(Utf8ToWide(picture)).c_str());
  ASSERT_NE(input, 255u);
  AddObject(kDispVideo, input, 0, 0, 100, 100);
  ASSERT_EQ(ProjectGetLength(0), 0.0f);
  const std::string out = TempPath("stills.mp4");
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, 160, 120, 3, 44100, 500, 128, 5, 25.0f, 0.0f, 0.0f,
                                  kRenderToProjectEnd),
              kErrNothingToRender);
    EXPECT_EQ(OutputHandlerIsBusy(), 0);
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  ProjectSetLength(1.2f);
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, 160, 120, 3, 44100, 500, 128, 5, 25.0f, 0.0f, 0.0f,
                                kRenderToProjectEnd),
            0);
  ASSERT_TRUE(WaitOutputIdle(60000)) << "render stuck at " << OutputHandlerGetTime() << " s";
  EXPECT_EQ(OutputHandlerGetResult(), 0);
  EXPECT_FLOAT_EQ(OutputHandlerGetTime(), 1.2f);
  RenderEnd();
  const MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened);
  EXPECT_NEAR(probe.duration, 1.2, 0.05);
  EXPECT_EQ(probe.pictures.size(), 30u);
}
