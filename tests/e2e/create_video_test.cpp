// The road of "create video" without the windows: a project of a video with
// sound, a circuit log and five objects over the picture is saved, closed,
// opened again and rendered to MP4 through the output handler; the file is
// decoded and checked against its sources.
#include "e2e/e2e_project.h"

#include <cmath>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include "base/text.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "media/datalog/datalog_queries.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "support/media_fixtures.h"
#include "support/writer_clip.h"

namespace {

int Differing(const DecodedPicture& a, const DecodedPicture& b, const E2eBox& box, int tolerance = 40) {
  return DifferingPixels(a, b, box, tolerance);
}

int Area(const E2eBox& box) { return box.Area(kWidth, kHeight); }

int FrameIndex(const DecodedPicture& p) {
  return ReadFrameIndex(p.bgra.data(), p.width, p.height, false);
}

class CreateVideoTest : public E2eProjectTest {
protected:
  // Renders the whole reopened project into the file; the render result.
  int RenderWhole(const std::string& out) {
    const int created = OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, kWidth, kHeight, 3, 44100,
                                            1500, 128, 0, kRate, 0.0f, 0.0f, 356400.0f);
    if (created != 0) return created;
    EXPECT_TRUE(WaitIdle(120)) << "render stuck at " << OutputHandlerGetTime() << " s";
    const int result = OutputHandlerGetResult();
    RenderEnd();
    return result;
  }
};

TEST_F(CreateVideoTest, ReopenedProjectKeepsItsInputsAndLaps) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  EXPECT_NEAR(InputGetLength(videoInput, 1), 3.0, 0.1);
  EXPECT_EQ(DispObjGetType(speedo), 30); // a speedometer is a gauge with its preset
  EXPECT_EQ(DispObjGetType(map), kDispTrackMap);
  EXPECT_EQ(DispObjGetType(lapTimer), kDispLapTimer);
  EXPECT_EQ(DispObjGet(map)->InputID, logInput);
  EXPECT_EQ(DispObjGet(lapTimer)->InputID, logInput);
  // Laps of the log: the line is crossed at the start of each lap.
  for (int lap = 1; lap <= 3; ++lap)
    EXPECT_NEAR(InputHandlerGetDataTypeValue(logInput, 1, 8, static_cast<float>(lap)),
                circuit.lapStart(lap), 0.06)
        << "lap " << lap;
}

TEST_F(CreateVideoTest, RenderedFileIsTheVideoWithTheObjectsOverIt) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  const std::string out = E2eFolder("out") + "/race.mp4";
  ASSERT_EQ(RenderWhole(out), 0);
  EXPECT_EQ(E2eListFolder(E2eFolder("out")), std::vector<std::string>{"race.mp4"});

  const MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened);
  EXPECT_EQ(probe.videoCodec, AV_CODEC_ID_H264);
  EXPECT_EQ(probe.audioCodec, AV_CODEC_ID_AAC);
  EXPECT_EQ(probe.width, kWidth);
  EXPECT_EQ(probe.height, kHeight);
  EXPECT_NEAR(probe.duration, kFrames / kRate, 0.15);
  ASSERT_GE(probe.pictures.size(), static_cast<size_t>(kFrames - 1));
  EXPECT_LE(probe.pictures.size(), static_cast<size_t>(kFrames + 1));
  // Each written frame shows the source frame of its time.
  int misplaced = 0;
  for (size_t k = 0; k < probe.pictures.size(); ++k)
    if (std::abs(FrameIndex(probe.pictures[k]) - static_cast<int>(k)) > 1) ++misplaced;
  EXPECT_EQ(misplaced, 0);

  // Sound: the source's tone throughout.
  ASSERT_EQ(probe.audioStreams, 1);
  ASSERT_GT(probe.sampleRate, 0);
  EXPECT_GT(SoundRms(probe.sound, probe.sampleRate, 0.3, 2.7), 0.05);
  EXPECT_NEAR(ToneFrequency(probe.sound, probe.sampleRate, 0.5, 2.5), 440.0, 15.0);
}

TEST_F(CreateVideoTest, ObjectsAreDrawnWherePlacedAndFollowTheLog) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  const std::string out = E2eFolder("out") + "/race.mp4";
  ASSERT_EQ(RenderWhole(out), 0);
  const MediaProbe probe = ProbeMedia(out);
  const MediaProbe source = ProbeMedia(video);
  ASSERT_TRUE(probe.opened && source.opened);
  ASSERT_GE(probe.pictures.size(), 41u);
  ASSERT_GE(source.pictures.size(), 41u);

  const int frames[] = {6, 24, 40}; // out lap, lap 2, lap 3
  for (int k : frames) {
    const DecodedPicture& ours = probe.pictures[static_cast<size_t>(k)];
    const int index = FrameIndex(ours);
    ASSERT_GE(index, 0) << "frame " << k;
    const DecodedPicture& under = source.pictures[static_cast<size_t>(index)];
    EXPECT_GT(Differing(ours, under, kTextBox), 60) << "text, frame " << k;
    EXPECT_GT(Differing(ours, under, kSpeedoBox), Area(kSpeedoBox) / 4) << "speedometer, frame " << k;
    EXPECT_GT(Differing(ours, under, kMapBox), 150) << "track map, frame " << k;
    EXPECT_GT(Differing(ours, under, kLapTimerBox), 60) << "lap timer, frame " << k;
    EXPECT_GT(Differing(ours, under, kShapeBox), Area(kShapeBox) * 3 / 4) << "shape, frame " << k;
    // Nothing is drawn over the uncovered corner.
    EXPECT_LT(Differing(ours, under, kUncoveredBox, 24), Area(kUncoveredBox) / 100) << "frame " << k;
    const std::string png = E2eFramesDir() + "/create_video_frame_" + std::to_string(k) + ".png";
    EXPECT_TRUE(E2eWritePng(ours.bgra, ours.width, ours.height, png));
  }
  // The picture under the data objects is the same patches in every frame,
  // so what changes there is the data: the needle, the position on the
  // course and the lap time move on; the shape stays put.
  const DecodedPicture& early = probe.pictures[6];
  const DecodedPicture& later = probe.pictures[24];
  EXPECT_GT(Differing(early, later, kSpeedoBox), 20);
  EXPECT_GT(Differing(early, later, kMapBox), 10);
  EXPECT_GT(Differing(early, later, kLapTimerBox), 10);
  EXPECT_LT(Differing(early, later, kShapeBox), 5);
}

// The lap timer holds each finished lap's time (10 s by default), so its
// box stays the same through lap 2 and changes once, at the frame after
// the line is crossed again at 2.3 s; during lap 1 the timer runs.
TEST_F(CreateVideoTest, LapTimerChangesAtTheLapCrossingInTheFile) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  const std::string out = E2eFolder("out") + "/race.mp4";
  ASSERT_EQ(RenderWhole(out), 0);
  const MediaProbe probe = ProbeMedia(out);
  ASSERT_TRUE(probe.opened);
  ASSERT_GE(probe.pictures.size(), 44u);
  const auto& pictures = probe.pictures;
  EXPECT_GT(Differing(pictures[8], pictures[18], kLapTimerBox), 10) << "lap 1 runs";
  const int crossing = static_cast<int>(std::ceil(circuit.lapStart(3) * kRate));
  int changed = -1;
  for (int k = 23; k < 44 && changed < 0; ++k)
    if (Differing(pictures[22], pictures[static_cast<size_t>(k)], kLapTimerBox) > 10) changed = k;
  EXPECT_NEAR(changed, crossing, 1) << "lap 1's time held until lap 2 ends";
  const size_t lastOfLog = static_cast<size_t>(std::floor(circuit.duration() * kRate));
  EXPECT_LT(Differing(pictures[static_cast<size_t>(crossing + 1)], pictures[lastOfLog], kLapTimerBox), 5)
      << "lap 2's time held to the end of the log";
}

// The log ends at 2.8 s, the video at 3 s: in the last frames the data
// objects are gone and the picture under them is the source's again,
// while the text and the shape stay.
TEST_F(CreateVideoTest, DataObjectsEndWithTheirLog) {
  ASSERT_NO_FATAL_FAILURE(BuildSaveAndReopen());
  const std::string out = E2eFolder("out") + "/race.mp4";
  ASSERT_EQ(RenderWhole(out), 0);
  const MediaProbe probe = ProbeMedia(out);
  const MediaProbe source = ProbeMedia(video);
  ASSERT_TRUE(probe.opened && source.opened);
  ASSERT_GE(probe.pictures.size(), 44u);
  const DecodedPicture& ours = probe.pictures[43];
  const int index = FrameIndex(ours);
  ASSERT_GE(index, 40);
  ASSERT_LT(static_cast<size_t>(index), source.pictures.size());
  const DecodedPicture& under = source.pictures[static_cast<size_t>(index)];
  for (const E2eBox& box : {kSpeedoBox, kMapBox, kLapTimerBox})
    EXPECT_LT(Differing(ours, under, box, 24), Area(box) / 100) << "box at " << box.x << "%";
  EXPECT_GT(Differing(ours, under, kTextBox), 60);
  EXPECT_GT(Differing(ours, under, kShapeBox), Area(kShapeBox) * 3 / 4);
}

} // namespace
