// A user's whole task through the windows: a new project, a video and a
// data log added, a speedometer, a track map and a lap timer added from
// the toolbox and moved (panel fields, nudges, a drag on the canvas), the
// project saved, opened again and rendered to a file with the objects in
// its frames.
#include <QPushButton>
#include <QToolButton>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "base/text.h"
#include "model/inputs.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "support/media_fixtures.h"
#include "support/writer_clip.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/dispobj/vcDispObjPicture.h"

namespace {

constexpr int kWidth = 320, kHeight = 180, kFrames = 45;

struct Box {
  float x, y, w, h;
  int x0() const { return static_cast<int>(x * kWidth / 100) + 2; }
  int y0() const { return static_cast<int>(y * kHeight / 100) + 2; }
  int x1() const { return static_cast<int>((x + w) * kWidth / 100) - 2; }
  int y1() const { return static_cast<int>((y + h) * kHeight / 100) - 2; }
  int area() const { return (x1() - x0()) * (y1() - y0()); }
};

// Where the user puts the objects: over the colour patches of the index
// frames' bottom half, the right quarter left bare.
constexpr Box kSpeedo{1, 51, 24, 47};
constexpr Box kMap{26, 51, 24, 47};
constexpr Box kTimer{51, 52, 30, 14};
constexpr Box kBare{84, 54, 15, 44};

// A small oval course driven for three seconds, a lap column counting the
// crossings of the line (at 0.4 s and 1.4 s).
std::string WriteCircuit(const std::string& path) {
  std::ofstream out(path);
  out << "Session,Windows test\n\nTime (s),Latitude,Longitude,Speed (km/h),Lap\n";
  for (int i = 0; i <= 60; ++i) {
    const double t = i / 20.0;
    const int lap = t >= 1.4 ? 2 : t >= 0.4 ? 1 : 0;
    const double a = 2 * M_PI * (t - 0.4);
    const double r = 8.0 * (1 + 0.35 * std::cos(2 * a));
    char line[160];
    std::snprintf(line, sizeof line, "%.3f,%.9f,%.9f,%.3f,%d\n", t, 51.5 + r * std::cos(a) / 111320.0,
                  -0.9 + r * std::sin(a) / (111320.0 * std::cos(51.5 * M_PI / 180)), 40 + 30 * std::sin(a), lap);
    out << line;
  }
  return path;
}

int Differing(const DecodedPicture& a, const DecodedPicture& b, const Box& box, int tolerance = 40) {
  int n = 0;
  for (int y = box.y0(); y < box.y1(); ++y)
    for (int x = box.x0(); x < box.x1(); ++x) {
      const Rgb p = a.At(x, y), q = b.At(x, y);
      if (std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)}) > tolerance) ++n;
    }
  return n;
}

} // namespace

class EndToEndTest : public DispObjTest {
protected:
  // The user types the box into the property window's picture panel.
  void PlaceWithPanel(const Box& box) {
    auto* picture = static_cast<vcDispObjPicture*>(Editor()->Panel(kPanelPicture));
    ASSERT_FALSE(picture->isHidden());
    for (auto [field, value] : {std::pair{picture->WidthText, box.w}, std::pair{picture->HeightText, box.h},
                                std::pair{picture->PosXText, box.x}, std::pair{picture->PosYText, box.y}}) {
      field->setText(QString::number(value));
      emit field->changed();
    }
  }
  static bool RenderIdle(int seconds) {
    return SpinUntil([]() { return OutputHandlerIsBusy() == 0; }, seconds * 1000);
  }
};

TEST_F(EndToEndTest, ObjectsAddedAndMovedInTheWindowsAreInTheRenderedFrames) {
  main->NewProject();
  const std::string video = File("onboard.mp4");
  ASSERT_TRUE(MakeIndexVideo(video, kFrames, kWidth, kHeight, "15", "-c:v libx264 -pix_fmt yuv420p -g 15"));
  const std::string log = WriteCircuit(File("circuit.csv"));
  main->AddInputFiles({QString::fromStdString(video), QString::fromStdString(log)});
  ASSERT_EQ(InputCount(), 2u);
  ASSERT_EQ(DispObjCount(), 1u); // the video's picture object
  const uint32_t logInput = 1;

  const uint32_t speedo = AddFromToolbox(kDispSpeedo);
  ASSERT_NE(speedo, kNoDispObj);
  EXPECT_EQ(DispObjGet(speedo)->InputID, logInput);
  ASSERT_EQ(Editor()->OurIndex(), speedo);
  PlaceWithPanel({kSpeedo.x + 2, kSpeedo.y, kSpeedo.w, kSpeedo.h});
  // Two preview pixels to the left, from the panel's arrows.
  auto* picture = static_cast<vcDispObjPicture*>(Editor()->Panel(kPanelPicture));
  picture->MoveAmountText->setText("2");
  emit picture->MoveAmountText->changed();
  const float before = ObjectX(speedo);
  picture->MoveLeftButton->click();
  EXPECT_NEAR(ObjectX(speedo), before - 2 * 100.0 / main->PreviewSize().width(), 0.001);
  PlaceWithPanel(kSpeedo);

  const uint32_t map = AddFromToolbox(kDispTrackMap);
  ASSERT_NE(map, kNoDispObj);
  PlaceWithPanel({kMap.x, kMap.y - 10, kMap.w, kMap.h});
  // Dragged 10 % of the canvas down into place (snapped to whole percent).
  ASSERT_TRUE(WaitIdle());
  const QPointF grab((kMap.x + 5) * main->PreviewSize().width() / 100.0, (kMap.y - 5) * main->PreviewSize().height() / 100.0);
  const QPointF drop = grab + QPointF(0, main->PreviewSize().height() / 10.0);
  main->imageMouseDown(grab);
  ASSERT_EQ(main->DraggedDispObj(), map);
  for (int step = 1; step <= 4; ++step) main->imageMouseDrag(grab + (drop - grab) * step / 4.0);
  main->imageMouseUp(drop);
  EXPECT_NEAR(ObjectY(map), kMap.y, 0.01);

  const uint32_t timer = AddFromToolbox(kDispLapTimer);
  ASSERT_NE(timer, kNoDispObj);
  PlaceWithPanel(kTimer);
  EXPECT_EQ(DispObjCount(), 4u);

  // Saved, a new project, opened again.
  const QString project = QString::fromStdString(File("race.qvp"));
  panelAnswers = {{project}};
  ASSERT_TRUE(main->SaveProjectAs());
  main->NewProject();
  ASSERT_EQ(DispObjCount(), 0u);
  panelAnswers = {{project}};
  main->OpenProject();
  ASSERT_EQ(DispObjCount(), 4u);
  EXPECT_EQ(main->DispObjsTable()->rowCount(), 4);
  EXPECT_EQ(DispObjGetType(speedo), kDispGauge);
  EXPECT_EQ(DispObjGetType(map), kDispTrackMap);
  EXPECT_EQ(DispObjGetType(timer), kDispLapTimer);
  EXPECT_NEAR(ObjectX(map), kMap.x, 0.01);
  EXPECT_NEAR(ObjectY(map), kMap.y, 0.01);

  // Rendered to a file; each object's box differs from the source frame.
  const std::string out = File("race.mp4");
  ASSERT_EQ(OutputHandlerCreate(Utf8ToWide(out).c_str(), 8, kWidth, kHeight, 3, 44100, 1500, 128, 0, 15.0f, 0.0f,
                                0.0f, 356400.0f),
            0);
  ASSERT_TRUE(RenderIdle(120));
  EXPECT_EQ(OutputHandlerGetResult(), 0);
  RenderEnd();
  const MediaProbe rendered = ProbeMedia(out);
  const MediaProbe source = ProbeMedia(video);
  ASSERT_TRUE(rendered.opened && source.opened);
  ASSERT_GE(rendered.pictures.size(), 40u);
  for (size_t k : {size_t{6}, size_t{24}, size_t{38}}) {
    const DecodedPicture& ours = rendered.pictures[k];
    const int index = ReadFrameIndex(ours.bgra.data(), ours.width, ours.height, false);
    ASSERT_GE(index, 0) << "frame " << k;
    const DecodedPicture& under = source.pictures[static_cast<size_t>(index)];
    EXPECT_GT(Differing(ours, under, kSpeedo), kSpeedo.area() / 4) << "speedometer, frame " << k;
    EXPECT_GT(Differing(ours, under, kMap), 100) << "track map, frame " << k;
    EXPECT_GT(Differing(ours, under, kTimer), 40) << "lap timer, frame " << k;
    EXPECT_LT(Differing(ours, under, kBare, 24), kBare.area() / 100) << "bare corner, frame " << k;
  }
  // The data moves on between frames: needle, position, lap time.
  EXPECT_GT(Differing(rendered.pictures[6], rendered.pictures[24], kMap), 10);
  EXPECT_GT(Differing(rendered.pictures[6], rendered.pictures[24], kTimer), 10);
}
