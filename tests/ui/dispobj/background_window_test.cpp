// The background bitmap window: what an object without a picture offers,
// import, rotation and zoom with their labels, the chroma key, export,
// clear and drops; the round trip through an outside image editor (a
// script standing in for it) in a private folder, refused while one runs
// and dropped when the window closed first; and the general panel's
// button that opens the window inside one undo checkpoint.
#include <sys/stat.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "model/disp_records.h"
#include "media/bmp_file.h"
#include "render/objects/background_bitmap.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/dispobj/wcDispObjBackground.h"
#include "ui/support/rendered_frame.h"
#include "ui/support/window_shots.h"
#include "ui/util/ui_utils.h"

namespace {

// A width x height picture of one colour (0xRRGGBB) as a 32-bit BMP.
std::string WritePicture(const std::string& path, uint32_t rgb, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0xFF000000u | rgb);
  EXPECT_EQ(BmpWriteFile(NSStringToWStr(QString::fromStdString(path)), reinterpret_cast<const uint8_t*>(pixels.data()),
                         width, height, 32, false),
            0);
  return path;
}

struct Picture {
  uint32_t width = 0, height = 0, firstPixel = 0;
};

Picture PictureOf(uint32_t object) {
  const DispStruct* record = DispObjGet(object);
  if (record == nullptr || record->Bitmap == nullptr || record->BitmapSize < sizeof(DispBitmapHeader)) return {};
  DispBitmapHeader head;
  std::memcpy(&head, record->Bitmap, sizeof head);
  uint32_t pixel = 0;
  std::memcpy(&pixel, record->Bitmap + sizeof head, 4);
  return {head.Width, head.Height, pixel & 0xFFFFFF};
}

} // namespace

class BackgroundWindowTest : public DispObjTest {
protected:
  void SetUp() override {
    DispObjTest::SetUp();
    object = DispObjAdd(kDispVideo, kNoInput);
    red = WritePicture(File("red.bmp"), 0xD02020, 64, 32);
    blue = WritePicture(File("blue.bmp"), 0x2040E0, 16, 16);
  }
  wcDispObjBackground* Window() const { return app->windows().wndDispObjBackground(); }
  // The window as the general panel opens it, shown.
  wcDispObjBackground* Open() {
    wcDispObjBackground* w = Window();
    EXPECT_TRUE(w->SetData(static_cast<int>(object)));
    w->showWindow();
    return w;
  }
  // A script standing in for the image editor: it notes the file it was
  // given, waits until the test lets it go, then saves the blue picture
  // over the file, as a user saving in an editor would.
  void UseScriptEditor() {
    script = File("editor.sh");
    std::ofstream out(script);
    out << "#!/bin/sh\nfor file; do :; done\necho \"$file\" >> '" << File("editor.log") << "'\n"
        << "while [ ! -e '" << File("go") << "' ]; do sleep 0.02; done\n"
        << "cp '" << blue << "' \"$file\"\n";
    out.close();
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    SetSetting("ImageEditor", QString::fromStdString("\"" + script + "\" --edit %f"));
  }
  // The file the editor was handed; empty until it has started.
  std::string EditedPath() const {
    std::ifstream log(File("editor.log"));
    std::string line;
    std::getline(log, line);
    return line;
  }
  void LetEditorFinish() { std::ofstream(File("go")).put('1'); }

  uint32_t object = 0;
  std::string red, blue, script;
};

TEST_F(BackgroundWindowTest, PictureImportedTurnedKeyedExportedAndCleared) {
  wcDispObjBackground* w = Open();
  // No picture: only Import and the whole-object preview are of use.
  EXPECT_TRUE(w->NoImageLabel->isVisible());
  EXPECT_FALSE(w->PreviewImage->isVisible());
  EXPECT_TRUE(w->ImportButton->isEnabled());
  EXPECT_TRUE(w->PreviewAllCheck->isEnabled());
  for (QWidget* control : std::initializer_list<QWidget*>{w->ExportButton, w->EditButton, w->ClearButton,
                                                          w->KeepRatioCheck, w->RotateSlider, w->ZoomSlider,
                                                          w->ChromaEnabledCheck, w->ChromaColorRangeText})
    EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
  w->PreviewAllCheck->click();
  EXPECT_TRUE(w->PreviewImage->isVisible());
  EXPECT_TRUE(SpinUntil([w]() { return w->PreviewImage->framesReceived() > 0; }));
  w->PreviewAllCheck->click();

  panelAnswers = {{QString::fromStdString(red)}};
  w->ImportButton->click();
  const Picture imported = PictureOf(object);
  EXPECT_EQ(imported.width, 64u);
  EXPECT_EQ(imported.height, 32u);
  EXPECT_EQ(imported.firstPixel, 0xD02020u);
  EXPECT_TRUE(w->PreviewImage->isVisible());
  EXPECT_FALSE(w->NoImageLabel->isVisible());
  EXPECT_TRUE(w->ClearButton->isEnabled());
  EXPECT_EQ(QDir::cleanPath(QUrl(Setting("InputDir").toString()).toLocalFile()), QString::fromStdString(tempDir));

  // The slider reads the clockwise turn that is stored and drawn.
  w->RotateSlider->knob()->setFocus();
  for (int i = 0; i < 60; ++i) QTest::keyClick(w->RotateSlider->knob(), Qt::Key_Right);
  EXPECT_EQ(w->RotateLabel->text(), QString::fromUtf8("Rotate: 30.0\u00B0"));
  EXPECT_FLOAT_EQ(DispObjGet(object)->BitmapRotate, 30.0f);
  SaveWindowShot(w->window(), "background_window");
  QTest::mouseClick(w->RotateLabel, Qt::LeftButton);
  EXPECT_FLOAT_EQ(DispObjGet(object)->BitmapRotate, 0.0f);
  EXPECT_EQ(w->RotateLabel->text(), QString::fromUtf8("Rotate: 0.0\u00B0"));
  w->ZoomSlider->knob()->setFocus();
  for (int i = 0; i < 10; ++i) QTest::keyClick(w->ZoomSlider->knob(), Qt::Key_Right);
  EXPECT_FLOAT_EQ(DispObjGet(object)->BitmapZoom, 1.5f);
  EXPECT_EQ(w->ZoomLabel->text(), "Zoom: 1.5");
  QTest::mouseClick(w->ZoomLabel, Qt::LeftButton);
  EXPECT_FLOAT_EQ(DispObjGet(object)->BitmapZoom, 0.0f);

  // The key keeps its colour while it is off.
  EXPECT_FALSE(w->ChromaColorRangeText->isEnabled());
  w->ChromaEnabledCheck->click();
  EXPECT_EQ(DispObjGet(object)->BitmapChroma, 0x0000FF00u);
  EXPECT_TRUE(w->ChromaColorRangeText->isEnabled());
  w->ChromaColorRangeText->setFocus();
  w->ChromaColorRangeText->selectAll();
  QTest::keyClicks(w->ChromaColorRangeText, "40");
  QTest::keyClick(w->ChromaColorRangeText, Qt::Key_Return);
  EXPECT_EQ(DispObjGet(object)->BitmapChromaCRange, 40);
  QTest::mouseClick(w->ChromaBrightRangeStepper->upArrow(), Qt::LeftButton);
  EXPECT_EQ(DispObjGet(object)->BitmapChromaBRange, 33);
  EXPECT_EQ(w->ChromaBrightRangeText->text(), "33");
  w->ChromaEnabledCheck->click();
  EXPECT_EQ(DispObjGet(object)->BitmapChroma, 0xFF00FF00u);
  w->KeepRatioCheck->click();
  EXPECT_EQ(DispObjBitmapGetOptions(object), 1u);

  const std::string exported = File("out/back.bmp");
  std::filesystem::create_directories(File("out"));
  panelAnswers = {{QString::fromStdString(exported)}};
  w->ExportButton->click();
  MediaImageData image{};
  ASSERT_EQ(BmpReadFile(NSStringToWStr(QString::fromStdString(exported)), &image), 0);
  EXPECT_EQ(image.Header.biWidth, 64);
  MediaImageDataFree(&image);

  // A file dropped on the window replaces the picture.
  QMimeData drop;
  drop.setUrls({QUrl::fromLocalFile(QString::fromStdString(blue))});
  EXPECT_EQ(w->draggingEntered(&drop), Qt::CopyAction);
  EXPECT_TRUE(w->prepareForDragOperation(&drop));
  EXPECT_FALSE(w->performDragOperation(&drop));
  EXPECT_EQ(PictureOf(object).width, 16u);

  answers = {kMbNo};
  w->ClearButton->click();
  EXPECT_EQ(LastMessage(), L"Are you sure you want to remove the background image?");
  EXPECT_EQ(LastFlags(), 36);
  EXPECT_EQ(PictureOf(object).width, 16u);
  answers = {kMbYes};
  w->ClearButton->click();
  EXPECT_EQ(PictureOf(object).width, 0u);
  EXPECT_TRUE(w->NoImageLabel->isVisible());
  w->OkButton->click();
  EXPECT_FALSE(w->window()->isVisible());
}

TEST_F(BackgroundWindowTest, TheOutsideEditorRoundTripUsesAPrivateFolderAndRunsOnce) {
  ASSERT_EQ(DispObjBitmapImport(object, NSStringToWStr(QString::fromStdString(red)).c_str()), 0);
  UseScriptEditor();
  wcDispObjBackground* w = Open();
  // The waiting label keeps its room: nothing under it moves as it comes and goes.
  const auto placesBelow = [w]() {
    QCoreApplication::processEvents();
    std::vector<QPoint> places;
    const std::initializer_list<QWidget*> below{w->PreviewAllCheck, w->ZoomSlider, w->ChromaEnabledCheck,
                                                w->OkButton};
    for (QWidget* widget : below)
      places.push_back(widget->mapTo(w->window(), QPoint(0, 0)));
    places.push_back(QPoint(w->window()->width(), w->window()->height()));
    return places;
  };
  const std::vector<QPoint> before = placesBelow();
  w->EditButton->click();
  EXPECT_TRUE(w->EditRunning());
  EXPECT_TRUE(w->EditWaitingLabel->isVisible());
  EXPECT_EQ(placesBelow(), before);
  EXPECT_GT(w->EditWaitingLabel->height(), 0);
  ASSERT_TRUE(SpinUntil([this]() { return !EditedPath().empty(); }));
  const std::filesystem::path edited = EditedPath();
  EXPECT_EQ(edited.filename(), "QV2-DispObjBackground.bmp");
  struct stat folder {};
  ASSERT_EQ(stat(edited.parent_path().c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  // The exported picture is what the editor opens.
  MediaImageData image{};
  ASSERT_EQ(BmpReadFile(edited.wstring(), &image), 0);
  EXPECT_EQ(image.Header.biWidth, 64);
  MediaImageDataFree(&image);

  messages.clear();
  w->EditButton->click();
  EXPECT_EQ(LastMessage(), L"Image editor is already running. Please close that application before trying again.");
  EXPECT_EQ(LastFlags(), 48);
  EXPECT_TRUE(w->EditRunning());

  LetEditorFinish();
  ASSERT_TRUE(SpinUntil([w]() { return !w->EditRunning(); }));
  EXPECT_EQ(PictureOf(object).width, 16u);
  EXPECT_EQ(PictureOf(object).firstPixel, 0x2040E0u);
  EXPECT_FALSE(w->EditWaitingLabel->isVisible());
  EXPECT_EQ(placesBelow(), before);
  EXPECT_FALSE(std::filesystem::exists(edited.parent_path()));
  EXPECT_EQ(messages.size(), 1u);
  w->OkButton->click();
}

TEST_F(BackgroundWindowTest, ClosingTheWindowWhileEditingKeepsThePicture) {
  ASSERT_EQ(DispObjBitmapImport(object, NSStringToWStr(QString::fromStdString(red)).c_str()), 0);
  UseScriptEditor();
  wcDispObjBackground* w = Open();
  w->EditButton->click();
  ASSERT_TRUE(SpinUntil([this]() { return !EditedPath().empty(); }));
  const std::filesystem::path edited = EditedPath();
  w->OkButton->click();
  LetEditorFinish();
  ASSERT_TRUE(SpinUntil([w]() { return !w->EditRunning(); }));
  EXPECT_EQ(PictureOf(object).width, 64u);
  EXPECT_FALSE(std::filesystem::exists(edited.parent_path()));
  // The next session may start.
  std::filesystem::remove(File("go"));
  std::filesystem::remove(File("editor.log"));
  w = Open();
  w->EditButton->click();
  EXPECT_TRUE(w->EditRunning());
  // Importing another picture meanwhile wins over the editor's.
  panelAnswers = {{QString::fromStdString(red)}};
  w->ImportButton->click();
  LetEditorFinish();
  ASSERT_TRUE(SpinUntil([w]() { return !w->EditRunning(); }));
  EXPECT_EQ(PictureOf(object).width, 64u);
  w->OkButton->click();
}

TEST_F(BackgroundWindowTest, TheGeneralPanelOpensItInsideOneCheckpoint) {
  Select({object});
  main->DispObjEdit(true);
  auto* general = static_cast<vcDispObjGeneral*>(Editor()->Panel(kPanelGeneral));
  ASSERT_TRUE(general->BackgroundButton->isVisible());
  SetSetting("ImageEditor", QString::fromStdString(File("no-such-editor")));
  onModal = [this](WindowController* controller) {
    auto* w = static_cast<wcDispObjBackground*>(controller);
    w->showWindow();
    panelAnswers = {{QString::fromStdString(red)}};
    w->ImportButton->click();
    // An editor that cannot be started says why and ends the session.
    w->EditButton->click();
    EXPECT_TRUE(SpinUntil([w]() { return !w->EditRunning(); }));
    EXPECT_NE(LastMessage().find(L"The image editor could not be started"), std::wstring::npos);
    w->OkButton->click();
    return 0;
  };
  main->setProjectModified(false);
  general->BackgroundButton->click();
  EXPECT_EQ(modalRuns, std::vector<QString>{"wcDispObjBackground"});
  EXPECT_EQ(PictureOf(object).width, 64u);
  EXPECT_TRUE(main->ProjectModified());
  app->menuAction("mnuEditUndo")->trigger();
  EXPECT_EQ(PictureOf(object).width, 0u);
}

// Moved right, the rotation slider turns the picture right (clockwise) in
// the rendered frame: the right half of a red-and-blue picture ends below
// the left half; moved left, above it.
TEST_F(BackgroundWindowTest, TheRotateSliderTurnsThePictureTheWayItMoves) {
  std::vector<uint32_t> halves(64 * 32);
  for (size_t i = 0; i < halves.size(); ++i) halves[i] = i % 64 < 32 ? 0xFFD02020u : 0xFF2040E0u;
  const std::string path = File("halves.bmp");
  ASSERT_EQ(BmpWriteFile(NSStringToWStr(QString::fromStdString(path)), reinterpret_cast<const uint8_t*>(halves.data()),
                         64, 32, 32, false),
            0);
  Place(object, 30, 20, 40, 60);
  wcDispObjBackground* w = Open();
  panelAnswers = {{QString::fromStdString(path)}};
  w->ImportButton->click();
  auto centre = [](const QImage& frame, bool blue) {
    return PixelsWhere(frame, [blue](QColor c) { return blue ? c.blue() > 150 && c.red() < 100 : c.red() > 150 && c.blue() < 100; }).center();
  };
  w->RotateSlider->knob()->setFocus();
  // Half a degree a step: from the middle, 180 steps either way.
  for (const auto& [key, below] : {std::pair{Qt::Key_Right, true}, std::pair{Qt::Key_Left, false}}) {
    QTest::mouseClick(w->RotateLabel, Qt::LeftButton);
    for (int i = 0; i < 180; ++i) QTest::keyClick(w->RotateSlider->knob(), key);
    EXPECT_FLOAT_EQ(DispObjGet(object)->BitmapRotate, below ? 90.0f : -90.0f);
    const QImage frame = RenderedFrame(0);
    const QPoint red = centre(frame, false), blue = centre(frame, true);
    EXPECT_NEAR(red.x(), blue.x(), 3);
    EXPECT_EQ(blue.y() > red.y(), below) << "red at " << red.y() << ", blue at " << blue.y();
  }
  w->close();
}
