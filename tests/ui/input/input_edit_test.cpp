// The input properties window: its groups and texts by input type, the
// sound and picture rules through the real controls, preview zoom and
// dragging of the crop, and a keyed and brightened picture as the engine
// draws it.
#include <QApplication>
#include <QButtonGroup>
#include <QMouseEvent>
#include <QCheckBox>
#include <QColorDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include "io/files/undo.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSColorWellCustom.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/input/input_fixture.h"
#include "ui/input/wcInputEdit.h"

namespace {

struct Seen {
  bool sound = false, picture = false, preview = false, trim = false;
  QString info, times, title;
  int height = 0;
};

AdjustStruct AdjustOf(uint32_t input) { return *InputGetAdjust(input); }

void SetAdjust(uint32_t input, const std::function<void(AdjustStruct&)>& change) {
  AdjustStruct record = AdjustOf(input);
  change(record);
  ASSERT_EQ(InputSetAdjust(input, &record), 0);
}

QColor PixelOf(const QImage& image, double fx, double fy) {
  return image.pixelColor(static_cast<int>(image.width() * fx), static_cast<int>(image.height() * fy));
}

} // namespace

class InputEditTest : public InputWindowTest {
protected:
  wcInputEdit* Editor() { return app->windows().wndInputEdit(); }

  // Opens the input from the main window, notes what the window shows and
  // cancels.
  Seen Look(uint32_t input, const QString& shot = QString()) {
    Seen seen;
    Play({{"wcInputEdit", [&](WindowController* w) {
             seen.sound = Child<QGroupBox>(w, "AudioGroup")->isVisible();
             seen.picture = Child<QGroupBox>(w, "PictureGroup")->isVisible();
             seen.preview = Child<QWidget>(w, "PreviewColumn")->isVisible();
             seen.trim = Child<QPushButton>(w, "Trim")->isVisible();
             seen.info = Child<QLabel>(w, "FileInfoLabel")->text();
             seen.times = Child<QLabel>(w, "FileTimesLabel")->text();
             seen.title = w->window()->windowTitle();
             seen.height = w->window()->height();
             if (!shot.isEmpty()) Shot(w, shot);
           }}});
    main->InputEdit(input);
    return seen;
  }
};

TEST_F(InputEditTest, GroupsAndTextsFollowTheInputType) {
  const uint32_t video = Add(MakeTestVideo(File("clip.mp4")));
  const uint32_t sound = Add(MakeTestWav(File("sound.wav")));
  const uint32_t picture = Add(MakeTestPng(File("still.png")));
  const uint32_t log = Add(MakeTestNmea(File("track.nmea")));
  const uint32_t filler = InputAddSpecial(kSpecialFiller);
  const uint32_t join = InputAddSpecial(kSpecialJoinVideo);
  const uint32_t before = Add(MakeTestVideo(File("part1.mp4")));
  const uint32_t member = Add(MakeTestVideo(File("part2.mp4")));
  SetParentJoin(before, join);
  SetParentJoin(member, join);
  InputUpdateJoin(kNoInput);
  for (uint32_t input : {video, sound, picture, log, filler, join, member}) ASSERT_NE(input, kNoInput);

  Seen v = Look(video, "input-edit-video");
  EXPECT_EQ(v.title, "Configure Input File: clip.mp4");
  EXPECT_TRUE(v.sound && v.picture && v.preview && v.trim);
  EXPECT_EQ(v.info, "Type: Video\nLength: 00:00:01.00\nPicture Size: 64 x 32");
  EXPECT_EQ(v.times, "Starting Time: 00:00:00.00\nEnding Time: 00:00:01.00\nOffset Within Project: 00:00:00.00");

  Seen s = Look(sound, "input-edit-audio");
  EXPECT_TRUE(s.sound && s.trim);
  EXPECT_FALSE(s.picture || s.preview);
  EXPECT_EQ(s.info, "Type: Audio\nLength: 00:00:01.00\n");

  Seen p = Look(picture, "input-edit-image");
  EXPECT_TRUE(p.picture && p.preview);
  EXPECT_FALSE(p.sound || p.trim);
  EXPECT_EQ(p.info, "Type: Image\nPicture Size: 64 x 48");
  EXPECT_EQ(p.times, "") << "no length and no offset: no time lines";

  Seen d = Look(log);
  EXPECT_FALSE(d.sound || d.picture || d.preview);
  EXPECT_TRUE(d.trim);
  EXPECT_TRUE(d.info.startsWith("Type: Data\nLength: 00:00:19.")) << d.info.toStdString();

  Seen f = Look(filler, "input-edit-filler");
  EXPECT_EQ(f.info, "Type: None\n");
  EXPECT_EQ(f.times, "");
  EXPECT_FALSE(f.sound || f.picture || f.preview || f.trim);
  EXPECT_LT(f.height, v.height / 2) << "the window shrinks to the file group";

  Seen j = Look(join);
  EXPECT_EQ(j.info, "Type: Join\n");
  EXPECT_TRUE(j.preview);
  EXPECT_FALSE(j.sound || j.picture);

  Seen m = Look(member);
  EXPECT_TRUE(m.times.endsWith("Offset Within Join: 00:00:01.00")) << m.times.toStdString();

  // Only cancels so far: the engine holds what it held, nothing is modified.
  EXPECT_FALSE(main->ProjectModified());
  EXPECT_EQ(modalRuns.size(), 7u);
}

TEST_F(InputEditTest, SoundAndPictureRulesHoldThroughTheControls) {
  const uint32_t video = Add(MakeTestVideo(File("clip.mp4")));
  const uint32_t still = Add(Picture("hd.png", 1920, 1080));
  SetAdjust(video, [](AdjustStruct& a) {
    a.Balance = 37;
    a.Rotation = 90.0005f;
    a.Colorize = 0x01FF0000;
    a.Volume = 80;
  });
  Play({{"wcInputEdit", [](WindowController* w) {
           auto* balanceText = Child<NSTextLabelCustom>(w, "AudioBalanceText");
           EXPECT_EQ(balanceText->text(), "63% Left");
           QTest::keyClick(Child<RealSlider>(w, "AudioBalanceSlider")->knob(), Qt::Key_Right);
           EXPECT_EQ(balanceText->text(), "62% Left");
           QTest::mouseClick(balanceText, Qt::LeftButton);
           EXPECT_EQ(balanceText->text(), "Center");
           EXPECT_TRUE(Child<QRadioButton>(w, "Rotate1")->isChecked()) << "0.0005 from 90 is the 90 cell";

           auto* volume = Child<TextField>(w, "AudioVolumeText");
           auto* mute = Child<QCheckBox>(w, "AudioMuteCheck");
           Type(volume, "0");
           EXPECT_TRUE(mute->isChecked());
           Click(mute);
           EXPECT_EQ(volume->text(), "100") << "mute off restores 100, not the earlier 80";
           Type(Child<TextField>(w, "AudioVolumeText"), "500");
           EXPECT_EQ(volume->text(), "200") << "held by the stepper";
           Type(volume, "100");

           Type(Child<TextField>(w, "RotateAmountText"), "90.002");
           EXPECT_TRUE(Child<QRadioButton>(w, "Rotate4")->isChecked());
           EXPECT_EQ(Child<TextField>(w, "RotateAmountText")->text(), "90.002");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputEdit(video);
  AdjustStruct stored = AdjustOf(video);
  EXPECT_EQ(stored.Balance, 100);
  EXPECT_EQ(stored.Volume, 100);
  EXPECT_FLOAT_EQ(stored.Rotation, 90.002f);
  EXPECT_EQ(stored.Colorize, 0x01FF0000u) << "colorize passes through unchanged";
  EXPECT_TRUE(main->ProjectModified());

  // The picture's own rules on a 1920 x 1080 still, whose sound fields pass through.
  SetAdjust(still, [](AdjustStruct& a) {
    a.Rotation = -0.0005f;
    a.Volume = 50;
  });
  Play({{"wcInputEdit", [](WindowController* w) {
           EXPECT_TRUE(Child<QRadioButton>(w, "Rotate0")->isChecked());
           Type(Child<TextField>(w, "CropTopText"), "600");
           Type(Child<TextField>(w, "CropBottomText"), "500");
           EXPECT_EQ(Child<TextField>(w, "CropTopText")->text(), "539");
           EXPECT_EQ(Child<TextField>(w, "CropBottomText")->text(), "539");
           Type(Child<TextField>(w, "CropLeftText"), "5000");
           EXPECT_EQ(Child<TextField>(w, "CropLeftText")->text(), "1919") << "held to W - 1";
           Type(Child<TextField>(w, "CropLeftText"), "0");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputEdit(still);
  stored = AdjustOf(still);
  EXPECT_EQ(stored.CropTop, 539);
  EXPECT_EQ(stored.CropBottom, 539);
  EXPECT_EQ(stored.Rotation, 0.0f) << "None stores exactly 0";
  EXPECT_EQ(stored.Volume, 50);

  // Cancel takes every live write back through the main window's undo.
  Play({{"wcInputEdit", [](WindowController* w) {
           QTest::keyClick(Child<RealSlider>(w, "BrightnessSlider")->knob(), Qt::Key_End);
           EXPECT_EQ(Child<NSTextLabelCustom>(w, "BrightnessText")->text(), "200%");
           EXPECT_EQ(InputGetAdjust(static_cast<wcInputEdit*>(w)->OurIndex())->Brightness, 200) << "written live";
           Click(Child<QPushButton>(w, "CancelButton"));
         }}});
  main->InputEdit(still);
  EXPECT_EQ(AdjustOf(still).Brightness, 100);
  EXPECT_EQ(AdjustOf(still).CropTop, 539);
}

TEST_F(InputEditTest, ZoomAndDragMoveTheCropOnThePreview) {
  const uint32_t still = Add(Picture("hd.png", 1920, 1080));
  auto crop = [still]() {
    const AdjustStruct a = AdjustOf(still);
    return std::vector<int>{a.CropLeft, a.CropRight, a.CropTop, a.CropBottom};
  };
  std::vector<std::vector<int>> seen;
  bool cropWindowOpened = false;
  Play({{"wcInputEdit",
         [&](WindowController* w) {
           auto* in = Child<QPushButton>(w, "CropZoomIn");
           auto* out = Child<QPushButton>(w, "CropZoomOut");
           Click(in);
           seen.push_back(crop());
           Click(in);
           seen.push_back(crop());
           Click(out);
           Click(out);
           seen.push_back(crop());
           Click(in);
           // Dragged 500 points to the left: more of the right side shows.
           auto* view = Child<NSImageViewCustom>(w, "PreviewImage");
           QTest::mousePress(view, Qt::LeftButton, {}, QPoint(250, 100));
           QTest::mouseMove(view, QPoint(100, 100));
           QTest::mouseMove(view, QPoint(-250, 90));
           QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(-250, 90));
           seen.push_back(crop());
           // Gestures follow the main window's option.
           main->SetGestures(false);
           view->magnifyWithEvent(QPointF(10, 10), 0.5, 1.0);
           seen.push_back(crop());
           main->SetGestures(true);
           view->magnifyWithEvent(QPointF(20, 20), -0.05, 2.0);
           seen.push_back(crop());
           Shot(w, "input-edit-picture");
           for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                     QEvent::MouseButtonRelease}) {
             const QPointF at(50, 50);
             QMouseEvent click(type, at, view->mapToGlobal(at), Qt::LeftButton,
                               type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(view, &click);
           }
           Click(Child<QPushButton>(w, "OkButton"));
         }},
        {"wcInputCrop", [&](WindowController*) { cropWindowOpened = true; }}});
  main->InputEdit(still);
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0], (std::vector<int>{96, 96, 54, 54}));
  EXPECT_EQ(seen[1], (std::vector<int>{182, 182, 103, 103})) << "5 % of the 1728 x 972 left visible";
  EXPECT_EQ(seen[2], (std::vector<int>{0, 0, 0, 0})) << "the steppers hold at 0";
  EXPECT_EQ(seen[3], (std::vector<int>{192, 0, 64, 44})) << "the visible size stays 1728 x 972";
  EXPECT_EQ(seen[4], seen[3]) << "gestures off";
  EXPECT_EQ(seen[5], (std::vector<int>{96, 0, 10, 0})) << "a pinch zooms out";
  EXPECT_TRUE(cropWindowOpened) << "a double click opens the crop window";
}

TEST_F(InputEditTest, AKeyedAndDarkenedPictureIsWhatTheEngineDraws) {
  const uint32_t still = Add(Picture("keyed.png", 64, 48, QColor(0, 255, 0), QColor(200, 60, 60)));
  ASSERT_EQ(DispObjAdd(kDispVideo, still), 0u);
  QImage inWindow;
  Play({{"wcInputEdit", [&](WindowController* w) {
           Click(Child<QCheckBox>(w, "ChromaEnabledCheck"));
           EXPECT_TRUE(Child<QGroupBox>(w, "ChromaGroup")->isEnabled());
           // The key colour picked in the shared panel.
           Click(Child<QPushButton>(w, "ChromaColorChoose"));
           auto* well = Child<NSColorWellCustom>(w, "ChromaColor");
           ASSERT_TRUE(well->isActive());
           NSColorWellCustom::sharedPanel()->setCurrentColor(QColor(0, 250, 0));
           EXPECT_EQ(InputGetAdjust(still)->ChromaGreen, 250);
           auto* brightness = Child<RealSlider>(w, "BrightnessSlider")->knob();
           QTest::keyClick(brightness, Qt::Key_Home);
           for (int i = 0; i < 50; ++i) QTest::keyClick(brightness, Qt::Key_Right);
           EXPECT_EQ(Child<NSTextLabelCustom>(w, "BrightnessText")->text(), "50%");
           inWindow = Child<NSImageViewCustom>(w, "PreviewImage")->image();
           Shot(w, "input-edit-chroma");
           Click(Child<QPushButton>(w, "OkButton"));
         }}});
  main->InputEdit(still);
  ASSERT_FALSE(inWindow.isNull());
  ASSERT_TRUE(MainPreviewWaitIdle(30000));
  Settle();
  const QImage project = main->PreviewImage()->image();
  ASSERT_FALSE(project.isNull());
  for (const QImage& picture : {inWindow, project}) {
    const QColor keyed = PixelOf(picture, 0.3, 0.5);
    const QColor kept = PixelOf(picture, 0.7, 0.5);
    EXPECT_LT(keyed.green(), std::max(keyed.red(), keyed.blue()) + 40) << "the green half is keyed out";
    EXPECT_GT(kept.red(), 60);
    EXPECT_LT(kept.red(), 160) << "the red half is darkened to half";
    EXPECT_GT(kept.red(), kept.green() + 20) << "and stays red";
  }
}

TEST_F(InputEditTest, FileGroupRenamesChangesFilesAndShowsThePlace) {
  const std::string placed = File("placed.mp4");
  ASSERT_TRUE(MakeIndexVideo(placed, 10, 64, 32, "10", "-c:v libx264 -preset ultrafast -pix_fmt yuv420p", "",
                             "-metadata location=\"+48.8566+002.3522/\""));
  const uint32_t video = Add(placed);
  Add(MakeTestWav(File("taken.wav")));
  const std::string wider = MakeTestPng(File("wider.png"));
  const std::string garbage = MakeTestGarbage(File("garbage.mp4"));

  Play({{"wcInputEdit", [&](WindowController* w) {
           auto* place = Child<NSTextLabelCustom>(w, "GeoLocationLabel");
           ASSERT_TRUE(place->isVisible());
           EXPECT_FALSE(place->text().isEmpty());
           QTest::mouseClick(place, Qt::LeftButton);
           EXPECT_FALSE(Child<RealStepper>(w, "TrackStepper")->isVisible()) << "one track: no choice";

           // A file no reader takes: the input keeps its own.
           panelAnswers = {{QString::fromStdString(garbage)}};
           Click(Child<QPushButton>(w, "ChangeFileButton"));
           EXPECT_EQ(CountMessages(L"Error Code"), 1);
           EXPECT_TRUE(Child<QLabel>(w, "FileNameLabel")->text().endsWith("placed.mp4"));
           // Another file: the window shows what the engine made of it.
           panelAnswers = {{QString::fromStdString(wider)}};
           Click(Child<QPushButton>(w, "ChangeFileButton"));
           EXPECT_TRUE(Child<QLabel>(w, "FileInfoLabel")->text().startsWith("Type: Image"));
           EXPECT_FALSE(Child<QGroupBox>(w, "AudioGroup")->isVisible());

           // A name another input has keeps the window open with the name typed.
           auto* name = Child<TextField>(w, "NameText");
           name->setText("taken.wav");
           Click(Child<QPushButton>(w, "OkButton"));
           EXPECT_TRUE(w->window()->isVisible());
           EXPECT_EQ(CountMessages(L"Error Code"), 2);
           name->setText("Paris");
           Click(Child<QPushButton>(w, "OkButton"));
           EXPECT_FALSE(w->window()->isVisible());
         }}});
  main->InputEdit(video);
  ASSERT_EQ(openedUrls.size(), 1u);
  EXPECT_EQ(openedUrls[0].path(), "/maps");
  EXPECT_EQ(openedUrls[0].query(), "ll=48.8566000,2.3522000&q=48.8566000,2.3522000");
  EXPECT_EQ(InputName(video), "Paris");
  EXPECT_EQ(InputGetType(video), kInputImage);
  EXPECT_EQ(main->InputFileNames().front(), "Paris") << "the list follows";
  EXPECT_TRUE(Setting("InputDir").toString().startsWith("file://"));
}
