// The trim and crop windows as the main window runs them: times held to the
// file and in order, a time filler's length, the cropped size typed in any
// of its forms, margins held inside the picture, moves, zooms and mouse
// rectangles, and what OK stores.
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/input/input_fixture.h"
#include "ui/input/wcInputCrop.h"

class TrimCropTest : public InputWindowTest {
protected:
  void Select(uint32_t input) {
    main->InputRefresh(input);
    ASSERT_EQ(main->SelectedInputNames(), QStringList({InputName(input)}));
  }
  static QString Text(WindowController* w, const char* name) { return Child<TextField>(w, name)->text(); }
  static QString Label(WindowController* w, const char* name) { return Child<QLabel>(w, name)->text(); }
};

TEST_F(TrimCropTest, TrimTimesStayInTheFileAndInOrder) {
  const std::string path = File("long.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 30, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  const uint32_t video = Add(path);
  Select(video);
  Play({{"wcInputTrim", [](WindowController* w) {
           EXPECT_EQ(w->window()->windowTitle(), "Trim Input File: long.mp4");
           EXPECT_EQ(Label(w, "StartLabel"), "Starting Time in Input File:");
           EXPECT_TRUE(Child<NSImageViewCustom>(w, "StartImage")->isVisible());
           EXPECT_FALSE(Child<QComboBox>(w, "DisplayTypeSelection")->isVisible());
           Type(Child<TextField>(w, "StartText"), "1.5");
           Type(Child<TextField>(w, "EndText"), "1");
           EXPECT_EQ(Text(w, "EndText"), "00:00:01.50") << "an end before the start becomes the start";
           EXPECT_EQ(Label(w, "EffectiveLengthLabel"), "Effective Length: 00:00:00.00");
           Type(Child<TextField>(w, "EndText"), "2.6");
           Type(Child<TextField>(w, "StartText"), "9");
           EXPECT_EQ(Text(w, "StartText"), "00:00:02.60") << "a start after the end becomes the end";
           Click(Child<QPushButton>(w, "StartStepBackward3"));
           Click(Child<QPushButton>(w, "StartStepBackward2"));
           EXPECT_EQ(Text(w, "StartText"), "00:00:01.45");
           Click(Child<QPushButton>(w, "EndStepForward3"));
           EXPECT_EQ(Text(w, "EndText"), "00:00:03.00") << "held to the length";
           QTest::keyClick(Child<RealSlider>(w, "StartSlider")->knob(), Qt::Key_Home);
           EXPECT_EQ(Text(w, "StartText"), "00:00:00.00");
           Shot(w, "trim-video");
           Type(Child<TextField>(w, "StartText"), "0.5");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputTrim_Pressed();
  EXPECT_FLOAT_EQ(InputGetMain(video)->TrimStart, 0.5f);
  EXPECT_FLOAT_EQ(InputGetMain(video)->TrimEnd, 3.0f);
  EXPECT_TRUE(main->ProjectModified());

  // A time filler: its length only.
  const uint32_t filler = InputAddSpecial(kSpecialFiller);
  Select(filler);
  Play({{"wcInputTrim", [](WindowController* w) {
           EXPECT_FALSE(Child<QGroupBox>(w, "StartGroup")->isVisible());
           EXPECT_FALSE(Child<NSImageViewCustom>(w, "EndImage")->isVisible());
           EXPECT_EQ(Label(w, "EndLabel"), "Set Time Filler Length:");
           Type(Child<TextField>(w, "EndText"), "4");
           EXPECT_EQ(Label(w, "EffectiveLengthLabel"), "Effective Length: 00:00:04.00");
           Shot(w, "trim-filler");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputTrim_Pressed();
  EXPECT_FLOAT_EQ(InputGetMain(filler)->TrimStart, 0.0f);
  EXPECT_FLOAT_EQ(InputGetMain(filler)->TrimEnd, 4.0f);

  // A data log previews as a track map first, then as chosen; Cancel keeps the record.
  const uint32_t log = Add(MakeTestNmea(File("track.nmea")));
  const MainStruct before = *InputGetMain(log);
  Select(log);
  int framesBefore = 0;
  Play({{"wcInputTrim", [&](WindowController* w) {
           auto* types = Child<QComboBox>(w, "DisplayTypeSelection");
           EXPECT_TRUE(types->isVisible());
           EXPECT_EQ(types->currentText(), "Track Map");
           auto* end = Child<NSImageViewCustom>(w, "EndImage");
           framesBefore = end->framesReceived();
           types->setCurrentIndex(2);
           emit types->activated(2);
           EXPECT_GT(end->framesReceived(), framesBefore) << "speedometers drawn for both times";
           Type(Child<TextField>(w, "EndText"), "5");
           Click(Child<QPushButton>(w, "CancelButton"));
         }}});
  main->InputTrim_Pressed();
  EXPECT_EQ(InputGetMain(log)->TrimEnd, before.TrimEnd);
}

TEST_F(TrimCropTest, CropSizesMovesZoomsAndRectangles) {
  const std::string path = File("hd.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 2, 1920, 1080, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  const uint32_t video = Add(path);
  ASSERT_EQ(InputGetMain(video)->Width, 1920);
  Select(video);
  std::vector<std::vector<int>> seen;
  auto margins = [](WindowController* w) {
    std::vector<int> m;
    for (const char* side : {"CropLeftText", "CropRightText", "CropTopText", "CropBottomText"})
      m.push_back(Text(w, side).toInt());
    return m;
  };
  Play({{"wcInputCrop", [&](WindowController* w) {
           EXPECT_EQ(Label(w, "PictureSizeLabel"), "Picture Size: 1920 x 1080");
           EXPECT_EQ(Child<RealStepper>(w, "CropTopStepper")->maximum(), 1079);
           EXPECT_EQ(Child<RealStepper>(w, "CropLeftStepper")->maximum(), 1919);
           EXPECT_EQ(Child<RealStepper>(w, "MoveAmountStepper")->maximum(), 1500);
           EXPECT_EQ(Text(w, "MoveAmountText"), "15");
           auto* size = Child<TextField>(w, "CropSizeText");
           Type(size, "1280x720");
           seen.push_back(margins(w));
           Type(size, " 1280 , 720 ");
           seen.push_back(margins(w));
           Type(size, "abc");
           seen.push_back(margins(w));
           Type(Child<TextField>(w, "CropTopText"), "600");
           Type(Child<TextField>(w, "CropBottomText"), "600");
           seen.push_back(margins(w));
           // 20 pixels wide, moved to the right edge and then once more.
           Type(size, "20x1080");
           auto* right = Child<QPushButton>(w, "MoveRightButton");
           Type(Child<TextField>(w, "MoveAmountText"), "1500");
           Click(right);
           Click(right);
           Type(Child<TextField>(w, "MoveAmountText"), "50");
           Click(right);
           seen.push_back(margins(w));
           Click(Child<QPushButton>(w, "MoveLeftButton"));
           seen.push_back(margins(w));
           Type(size, "400x1080");
           Click(Child<QPushButton>(w, "ZoomInButton"));
           seen.push_back(margins(w));
           Click(Child<QPushButton>(w, "ZoomOutButton"));
           Click(Child<QPushButton>(w, "ZoomOutButton"));
           seen.push_back(margins(w));
           // A rectangle dragged over the picture, and one with no height.
           auto* box = Child<NSImageViewCustom>(w, "PreviewBoxImage");
           QTest::mousePress(box, Qt::LeftButton, {}, QPoint(128, 72));
           QTest::mouseMove(box, QPoint(384, 216));
           QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(384, 216));
           seen.push_back(margins(w));
           QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 100));
           QTest::mouseMove(box, QPoint(300, 100));
           QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(300, 100));
           seen.push_back(margins(w));
           static_cast<wcInputCrop*>(w)->imageMouseMove(QPointF(box->width(), 0));
           EXPECT_EQ(Label(w, "MousePositionLabel"), "Mouse Position: 1919 x 1079");
           ShellTest::Settle(); // the rectangle is drawn after the event
           const QImage drawn = box->image();
           ASSERT_FALSE(drawn.isNull());
           const int edge = static_cast<int>(480 * (box->width() / 1920.0));
           EXPECT_EQ(drawn.pixelColor(edge, 150), QColor(0, 122, 255)) << "the crop's left edge in blue";
           Shot(w, "crop");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputOpt1(false);
  ASSERT_EQ(seen.size(), 10u);
  EXPECT_EQ(seen[0], (std::vector<int>{0, 640, 0, 360}));
  EXPECT_EQ(seen[1], seen[0]) << "a comma and blanks read the same";
  EXPECT_EQ(seen[2], seen[0]) << "no separator: nothing changes";
  EXPECT_EQ(seen[3], (std::vector<int>{0, 640, 539, 539}));
  EXPECT_EQ(seen[4], (std::vector<int>{1900, 0, 0, 0})) << "20 pixels wide at the right edge stays";
  EXPECT_EQ(seen[5], (std::vector<int>{1850, 50, 0, 0}));
  EXPECT_EQ(seen[6], (std::vector<int>{1540, 20, 54, 54})) << "5 % of 400 x 1080 on each side";
  EXPECT_EQ(seen[7], (std::vector<int>{1348, 0, 0, 0})) << "96 and 54 off each side, never below 0";
  EXPECT_EQ(seen[8], (std::vector<int>{480, 480, 270, 270}));
  EXPECT_EQ(seen[9], seen[8]) << "a rectangle without height changes nothing";
  const AdjustStruct stored = *InputGetAdjust(video);
  EXPECT_EQ(stored.CropLeft, 480);
  EXPECT_EQ(stored.CropTop, 270);
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcInputCrop"}));

  // An input without a picture size has nothing to crop.
  auto* crop = app->windows().wndInputCrop();
  const uint32_t filler = InputAddSpecial(kSpecialFiller);
  EXPECT_FALSE(crop->SetInput(filler, 0));
  EXPECT_EQ(CountMessages(L"cannot be cropped"), 1);
}

// Up and Down carry the cut-out part the way they point: the rectangle the
// window draws over the picture stands higher after Up, lower after Down,
// and the margins they store agree with it (top counted from the top).
TEST_F(TrimCropTest, CropArrowsMoveTheRectangleTheWayTheyPoint) {
  const std::string path = File("hd.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 2, 1920, 1080, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  const uint32_t video = Add(path);
  Select(video);
  std::vector<int> tops;
  Play({{"wcInputCrop", [&](WindowController* w) {
           auto* box = Child<NSImageViewCustom>(w, "PreviewBoxImage");
           auto rectangleTop = [box]() {
             ShellTest::Settle();
             const QImage drawn = box->image();
             for (int y = 0; y < drawn.height(); ++y)
               if (drawn.pixelColor(drawn.width() / 2, y) == QColor(0, 122, 255)) return y;
             return -1;
           };
           Type(Child<TextField>(w, "CropSizeText"), "960x540");
           Type(Child<TextField>(w, "CropTopText"), "270");
           Type(Child<TextField>(w, "CropBottomText"), "270");
           Type(Child<TextField>(w, "MoveAmountText"), "100");
           tops.push_back(rectangleTop());
           for (const char* button : {"MoveUpButton", "MoveUpButton", "MoveDownButton", "MoveDownButton"}) {
             Click(Child<QPushButton>(w, button));
             tops.push_back(rectangleTop());
           }
           Click(Child<QPushButton>(w, "MoveUpButton"));
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputOpt1(false);
  ASSERT_EQ(tops.size(), 5u);
  EXPECT_GT(tops[0], 0);
  EXPECT_LT(tops[1], tops[0]);
  EXPECT_LT(tops[2], tops[1]);
  EXPECT_GT(tops[3], tops[2]);
  EXPECT_EQ(tops[4], tops[0]);
  EXPECT_EQ(InputGetAdjust(video)->CropTop, 170);
  EXPECT_EQ(InputGetAdjust(video)->CropBottom, 370);
}

TEST_F(TrimCropTest, ANewOpeningShowsNoPositionReadOffThePreviousPicture) {
  const std::string path = File("small.mp4");
  ASSERT_TRUE(MakeIndexVideo(path, 1, 320, 240, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"));
  const uint32_t video = Add(path);
  Select(video);
  std::vector<QString> shown;
  Play({{"wcInputCrop", [&](WindowController* w) {
           shown.push_back(Label(w, "MousePositionLabel"));
           // The pointer passes over the picture, as the user's would.
           auto* box = Child<NSImageViewCustom>(w, "PreviewBoxImage");
           const QPointF at(box->width() / 2.0, box->height() / 2.0);
           QMouseEvent move(QEvent::MouseMove, at, box->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
           QCoreApplication::sendEvent(box, &move);
           shown.push_back(Label(w, "MousePositionLabel"));
           Click(Child<QPushButton>(w, "CancelButton"));
         }}});
  main->InputOpt1(false);
  main->InputOpt1(false);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], "Mouse Position:");
  EXPECT_TRUE(shown[1].startsWith("Mouse Position: 1")) << shown[1].toStdString();
  EXPECT_EQ(shown[2], "Mouse Position:") << "nothing left from the last opening";
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcInputCrop", "wcInputCrop"}));
}
