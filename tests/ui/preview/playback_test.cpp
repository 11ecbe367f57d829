// A generated video played in the main window's preview with the real
// engine: the canvas receives the frames and shows them (read back from the
// widget's own picture), and a selected text object is outlined.
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>

#include "model/dispobjs.h"
#include "model/inputs.h"
#include "render/preview/main_preview.h"
#include "support/media_fixtures.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/preview/preview_fixture.h"
#include "ui/shell/wcMain.h"
#include "ui/support/window_shots.h"

namespace {

bool near(QRgb pixel, int r, int g, int b) {
  return std::abs(qRed(pixel) - r) < 48 && std::abs(qGreen(pixel) - g) < 48 && std::abs(qBlue(pixel) - b) < 48;
}

class PlaybackTest : public PreviewTest {
protected:
  void AddVideo() {
    const std::string video = tempDir + "/onboard.mp4";
    ASSERT_TRUE(MakeIndexVideo(video, 90, 320, 240, "30", "-c:v libx264 -pix_fmt yuv420p -g 15",
                               "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=3", "-c:a aac -b:a 96k"));
    main->AddInputFiles({QString::fromStdString(video)});
    ASSERT_EQ(InputCount(), 1u);
    ASSERT_GE(DispObjCount(), 1u);
    ASSERT_TRUE(WaitIdle());
    Settle();
  }
};

} // namespace

TEST_F(PlaybackTest, GeneratedVideoPlaysForOneSecondOnTheCanvas) {
  LaunchMain();
  AddVideo();
  EXPECT_NEAR(main->ProjectLength(), 3.0, 0.1);
  const int before = main->PreviewImage()->framesReceived();
  auto framesShown = [this, before]() { return main->PreviewImage()->framesReceived() - before; };
  QElapsedTimer played;
  played.start();
  main->PlayButton_Pressed();
  ASSERT_TRUE(main->PreviewIsPlayingNow());
  // A second of it, with the canvas taking frame after frame.
  EXPECT_TRUE(SpinUntil([&]() { return PreviewGetTime() >= 1.0f && framesShown() > 10; }))
      << PreviewGetTime() << " s, " << framesShown() << " frames";
  main->PlayButton_Pressed();
  const double wall = static_cast<double>(played.elapsed()) / 1000;
  ASSERT_TRUE(WaitIdle());
  // The timer takes the final time; the stop frame reaches the canvas.
  EXPECT_TRUE(SpinUntil([this]() { return main->PreviewTime() == PreviewGetTime(); }));
  ASSERT_TRUE(MainPreviewWaitIdle(30000));
  Settle();
  EXPECT_GE(main->PreviewTime(), 1.0);
  EXPECT_LE(main->PreviewTime(), wall + 0.1) << "played faster than the clock";

  // What the widget shows: the four patches in the bottom half, and in the
  // top half the index of a frame from well into the clip.
  QImage shown = main->PreviewImage()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(shown.size(), QSize(720, 480));
  const int y = shown.height() * 3 / 4;
  EXPECT_TRUE(near(shown.pixel(shown.width() / 8, y), 255, 0, 0));
  EXPECT_TRUE(near(shown.pixel(shown.width() * 3 / 8, y), 0, 255, 0));
  EXPECT_TRUE(near(shown.pixel(shown.width() * 5 / 8, y), 0, 0, 255));
  EXPECT_TRUE(near(shown.pixel(shown.width() * 7 / 8, y), 128, 128, 128));
  // The clip keeps its 4:3 shape inside the 3:2 picture: read the index
  // within the clip's own columns, from the red patch's left edge to the
  // grey patch's right edge.
  int left = 0, right = shown.width() - 1;
  while (left < shown.width() && !near(shown.pixel(left, y), 255, 0, 0)) ++left;
  while (right > left && !near(shown.pixel(right, y), 128, 128, 128)) --right;
  ASSERT_GT(right - left, 400);
  QImage clip = shown.copy(left, 0, right - left + 1, shown.height());
  const int index = ReadFrameIndex(clip.constBits(), clip.width(), clip.height(), false);
  EXPECT_NEAR(index, main->PreviewTime() * 30, 2) << "the frame of the time it stopped at";
}

TEST_F(PlaybackTest, ASelectedTextObjectIsOutlinedOnThePreview) {
  LaunchMain();
  AddVideo();
  uint32_t text = AddText(8, 58, 40, 16);
  main->DispObjRefresh(0xFFFFFFFF);
  main->setPreviewTime(1.0);
  main->PreviewRefresh();
  ASSERT_TRUE(WaitIdle());
  // Pressed and moved a little: selected, with its outline on the picture.
  main->imageMouseDown(QPointF(200, 316));
  EXPECT_EQ(main->DraggedDispObj(), text);
  main->imageMouseDrag(QPointF(208, 322));
  ASSERT_TRUE(WaitIdle());
  ASSERT_TRUE(MainPreviewWaitIdle(30000));
  Settle();
  const QRect outline = main->PreviewImage()->selectionRect();
  EXPECT_FALSE(outline.isNull());
  QImage canvas = main->PreviewImage()->grab().toImage();
  EXPECT_EQ(canvas.pixel(outline.left(), outline.center().y()), qRgb(0, 122, 255));
  SaveWindowShot(main->mainWindow(), "main-preview");
  main->imageMouseUp(QPointF(208, 322));
}
