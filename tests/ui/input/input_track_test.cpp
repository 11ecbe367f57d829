// The track row of the input properties window: a camera file with two
// sound tracks shows it, and choosing track 2 on its stepper reopens the
// input on that track for the preview and the render.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "base/text.h"
#include "media/input_handler.h"
#include "media/output_handler.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "support/writer_clip.h"
#include "ui/controls/real_stepper.h"
#include "ui/input/input_fixture.h"
#include "ui/input/wcInputEdit.h"

namespace {

constexpr int kLowHz = 440, kHighHz = 1500;

// The input's sound over [from, to) of its own time as a mono mix, through
// the media layer as the preview and the render read it.
std::vector<float> InputSound(uint32_t input, double from, double to) {
  std::vector<float> mono;
  const AudioFormat* format = InputHandlerGetAudioFormat(input);
  if (!format) return mono;
  for (double t = from; t < to - 1e-6; t += 0.04) {
    const uint8_t* data = nullptr;
    const int bytes = InputHandlerGetAudio(input, t, 0.04, &data);
    const auto* s = reinterpret_cast<const int16_t*>(data);
    for (int i = 0; data && i + format->nChannels <= bytes / 2; i += format->nChannels)
      mono.push_back(s[i] / 32768.0f);
  }
  return mono;
}

double InputTone(uint32_t input) {
  const std::vector<float> sound = InputSound(input, 0.5, 1.5);
  return ToneFrequency(sound, static_cast<int>(InputHandlerGetAudioFormat(input)->nSamplesPerSec), 0.0, 1.0);
}

} // namespace

class InputTrackTest : public InputWindowTest {
protected:
  // A camera file: pictures, a low tone on its first sound track and a
  // high one on its second.
  std::string TwoTrackVideo() {
    const std::string path = File("camera.mp4");
    EXPECT_TRUE(MakeIndexVideo(path, 50, 64, 32, "25", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p",
                               "-f lavfi -i sine=frequency=" + std::to_string(kLowHz) +
                                   ":sample_rate=44100:duration=2 -f lavfi -i sine=frequency=" +
                                   std::to_string(kHighHz) + ":sample_rate=44100:duration=2",
                               "-map 0:v -map 1:a -map 2:a -c:a aac"));
    return path;
  }
};

TEST_F(InputTrackTest, SecondSoundTrackChosenOnTheStepperIsPlayedAndRendered) {
  main->NewProject();
  main->AddInputFiles({QString::fromStdString(TwoTrackVideo())}); // with its picture object
  const uint32_t camera = 0, wav = Add(MakeTestWav(File("one.wav")));
  ASSERT_EQ(InputCount(), 2u);
  EXPECT_EQ(InputGetMain(camera)->TrackCount, 2);
  EXPECT_EQ(InputGetMain(wav)->TrackCount, 1);
  EXPECT_NEAR(InputTone(camera), kLowHz, 15);

  // A file of one track hides the row.
  Play({{"wcInputEdit", [&](WindowController* w) {
           for (const char* name : {"TrackLabel", "TrackText", "TrackStepper"})
             EXPECT_FALSE(Child<QWidget>(w, name)->isVisible()) << name;
         }}});
  main->InputEdit(wav);

  Play({{"wcInputEdit", [&](WindowController* w) {
           auto* stepper = Child<RealStepper>(w, "TrackStepper");
           ASSERT_TRUE(stepper->isVisible());
           EXPECT_TRUE(Child<QLabel>(w, "TrackLabel")->isVisible());
           EXPECT_EQ(stepper->minimum(), 1);
           EXPECT_EQ(stepper->maximum(), 2);
           EXPECT_EQ(Child<TextField>(w, "TrackText")->text(), "1");
           QTest::mouseClick(stepper->upArrow(), Qt::LeftButton);
           EXPECT_EQ(InputGetMain(camera)->TrackIndex, 1);
           EXPECT_EQ(Child<TextField>(w, "TrackText")->text(), "2");
           EXPECT_TRUE(stepper->isVisible()) << "the reopened file still has two tracks";
           EXPECT_EQ(stepper->value(), 2);
           Shot(w, "input_edit_track");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputEdit(camera);
  ASSERT_EQ(InputGetMain(camera)->TrackIndex, 1);
  EXPECT_EQ(InputGetMain(camera)->TrackCount, 2);
  EXPECT_NEAR(InputTone(camera), kHighHz, 30) << "the preview hears track 2";

  const std::string out = File("track2.mp4");
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, 64, 32, 3, 44100, 500, 128, 0, 25.0f, 0.0f, 0.0f,
                                356400.0f),
            0);
  ASSERT_TRUE(SpinUntil([]() { return OutputHandlerIsBusy() == 0; }, 120000));
  EXPECT_EQ(OutputHandlerGetResult(), 0);
  RenderEnd();
  const MediaProbe rendered = ProbeMedia(out, false);
  ASSERT_TRUE(rendered.opened);
  EXPECT_NEAR(ToneFrequency(rendered.sound, rendered.sampleRate, 0.3, 1.7), kHighHz, 30) << "the render has track 2";
}
