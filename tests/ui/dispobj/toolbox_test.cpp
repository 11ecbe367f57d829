// The add-object toolbox with the real engine: default inputs per kind,
// the enabling table, closing without a button, and the style page (16 a
// page, cleaned titles, the locale's collation, wheel paging, no preview
// slot left behind).
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include "io/files/style.h"
#include "model/inputs.h"
#include "render/preview/simple_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/support/input_files.h"
#include "ui/util/ui_utils.h"

namespace {

uint32_t AddFile(const std::string& path) { return InputAdd(QString::fromStdString(path).toStdU16String().c_str()); }

// How many simple-preview slots can still be opened (all closed again).
int FreeSlots(NSImageViewCustom* view) {
  std::vector<int> open;
  const std::vector<uint32_t> pixels(64, 0xFF808080);
  for (uint32_t i = 0; i < kSimplePreviewSlots + 1; ++i) {
    const int slot = SimplePreviewCreateForBitmap(view->viewHandle(), 8, 8, pixels.data(), 8, 8, false);
    if (slot < 0) break;
    open.push_back(slot);
  }
  for (int slot : open) SimplePreviewClose(static_cast<uint32_t>(slot));
  return static_cast<int>(open.size());
}

} // namespace

class ToolboxTest : public DispObjTest {
protected:
  // Runs the add command; the user presses the kind's button.
  uint32_t AddThroughToolbox(uint32_t type) {
    onModal = [type](WindowController* w) {
      w->showWindow();
      auto* toolbox = static_cast<wcDispObjToolbox*>(w);
      SpinUntil([w]() { return w->window()->isVisible(); });
      toolbox->TypeButton(type)->click();
      return 0;
    };
    main->DispObjAdd_Pressed();
    onModal = nullptr;
    return Toolbox()->NewIndex();
  }
  bool On(uint32_t type) const { return Toolbox()->TypeButton(type)->isEnabled(); }
  void Choose(uint32_t input) {
    wcDispObjToolbox* t = Toolbox();
    t->InputSelection->setCurrentIndex(input == kNoInput ? 0 : t->InputSelection->findText(QString::fromUtf16(InputGetName(input))));
    t->InputSelection_Changed();
  }
};

TEST_F(ToolboxTest, EachKindTakesTheDefaultInputThatSuitsItAndOpensItsProperties) {
  const uint32_t image = AddFile(MakeTestPng(File("still.png")));
  const uint32_t video = AddFile(MakeTestVideo(File("clip.mp4")));
  const uint32_t data1 = AddFile(MakeTestNmea(File("first.nmea")));
  const uint32_t data2 = AddFile(MakeTestNmea(File("second.nmea")));
  const uint32_t audio = AddFile(MakeTestWav(File("sound.wav")));
  ASSERT_NE(audio, kNoInput);
  (void)image;
  (void)data2;
  main->InputRefresh(kNoInput);

  const uint32_t speedo = AddThroughToolbox(kDispSpeedo);
  ASSERT_NE(speedo, kNoDispObj);
  EXPECT_EQ(DispObjGetType(speedo), kDispGauge);
  EXPECT_EQ(DispObjGet(speedo)->InputID, data1);
  EXPECT_EQ(Toolbox()->InputSelection->currentText(), QString::fromUtf16(InputGetName(data1)));
  // The opener selects the new object and shows its properties.
  EXPECT_EQ(main->SelectedDispObjNames(), QStringList({Name(speedo)}));
  EXPECT_TRUE(AppDelegate::IsWindowVisible(Editor()));
  EXPECT_EQ(Editor()->OurIndex(), speedo);
  EXPECT_TRUE(main->ProjectModified());

  EXPECT_EQ(DispObjGet(AddThroughToolbox(kDispVideo))->InputID, video);
  EXPECT_EQ(DispObjGet(AddThroughToolbox(kDispAudio))->InputID, audio);
  EXPECT_EQ(DispObjGet(AddThroughToolbox(kDispEImage))->InputID, data1);
  EXPECT_EQ(DispObjGet(AddThroughToolbox(kDispShape))->InputID, kNoInput);
  EXPECT_EQ(DispObjGet(AddThroughToolbox(kDispText))->InputID, kNoInput);
  EXPECT_EQ(DispObjGet(AddThroughToolbox(kDispLapTimer))->InputID, data1);
  EXPECT_EQ(modalRuns.size(), 7u);
}

TEST_F(ToolboxTest, BoxesAndButtonsFollowTheChosenInputsType) {
  const uint32_t video = AddFile(MakeTestVideo(File("clip.mp4")));
  const uint32_t audio = AddFile(MakeTestWav(File("sound.wav")));
  const uint32_t image = AddFile(MakeTestPng(File("still.png")));
  const uint32_t data = AddFile(MakeTestNmea(File("log.nmea")));
  const uint32_t filler = InputAddSpecial(kSpecialFiller);
  const uint32_t joinedData = InputAddSpecial(kSpecialJoinData);
  wcDispObjToolbox* t = Toolbox();
  t->SetData(kNoInput);
  EXPECT_EQ(t->InputSelection->count(), 7);
  EXPECT_EQ(t->InputSelection->itemText(0), "(None)");
  EXPECT_FALSE(t->TypeButton(kDispEnhanced)->isVisibleTo(t->window()));

  struct Row {
    uint32_t input;
    bool video, audio, shape, gauge;
  };
  const Row rows[] = {
      {kNoInput, true, true, true, true}, {video, true, true, false, false}, {audio, false, true, false, false},
      {image, true, false, false, false}, {data, false, false, false, true}, {joinedData, false, false, false, true},
      {filler, false, false, false, false},
  };
  for (const Row& row : rows) {
    Choose(row.input);
    EXPECT_EQ(t->NewInputID(), row.input);
    EXPECT_EQ(On(kDispVideo), row.video) << row.input;
    EXPECT_EQ(On(kDispAudio), row.audio) << row.input;
    EXPECT_EQ(On(kDispShape), row.shape) << row.input;
    EXPECT_EQ(On(kDispText), row.shape) << row.input;
    EXPECT_EQ(On(kDispGauge), row.gauge) << row.input;
    EXPECT_EQ(On(kDispTrackMap), row.gauge) << row.input;
  }

  // Opened for a given input: it is chosen.
  t->SetData(audio);
  EXPECT_EQ(t->InputSelection->currentText(), QString::fromUtf16(InputGetName(audio)));
  EXPECT_FALSE(On(kDispGauge));
}

TEST_F(ToolboxTest, ClosingWithoutAButtonAddsNothing) {
  DispObjAdd(kDispText, kNoInput);
  onModal = [](WindowController* w) {
    w->showWindow();
    w->close();
    return 0;
  };
  main->setProjectModified(false);
  main->DispObjAdd_Pressed();
  EXPECT_EQ(Toolbox()->NewIndex(), kNoDispObj);
  EXPECT_EQ(DispObjCount(), 1u);
  EXPECT_FALSE(AppDelegate::IsWindowVisible(Editor()));
  // The add command marks the project modified all the same.
  EXPECT_TRUE(main->ProjectModified());
}

TEST_F(ToolboxTest, SeventeenStylesMakeTwoPagesSortedWithCleanTitles) {
  // Seventeen gauge styles and one of another kind in the style folder.
  const QString folder = ClearStyleFolder();
  const uint32_t source = DispObjAdd(kDispGauge, kNoInput);
  QStringList files = {"Gauge - Blue_Dial  Sport.qvo", "apple.qvo", "Banana.qvo", "cherry - Speed.qvo"};
  for (int i = 4; i < 17; ++i) files << QString("Zeta %1.qvo").arg(i, 2, 10, QChar('0'));
  for (const QString& file : files)
    ASSERT_EQ(DispObjExportStyle(source, NSStringToWStr(folder + "/" + file).c_str()), 0);
  const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
  ASSERT_EQ(DispObjExportStyle(shape, NSStringToWStr(folder + "/A shape.qvo").c_str()), 0);

  wcDispObjToolbox* t = Toolbox();
  t->SetData(kNoInput);
  t->showWindow();
  // A button finishes the gauge; the page is then built for its kind.
  t->AddObject(kDispGauge, kNoInput);
  const uint32_t gauge = t->NewIndex();
  ASSERT_NE(gauge, kNoDispObj);
  t->LoadPreviews(false);
  EXPECT_EQ(t->PreviewCount(), 16);
  EXPECT_FALSE(t->OffsetSlider->isHidden());
  EXPECT_EQ(t->OffsetSlider->minimum(), -1);
  EXPECT_EQ(t->TemplateName(0), "apple");
  EXPECT_EQ(t->TemplateName(1), "Banana");
  EXPECT_EQ(t->TemplateName(2), "cherry");
  EXPECT_EQ(t->TemplateName(3), "Blue Dial Sport");
  EXPECT_EQ(t->PreviewLabel[3]->text(), "Blue Dial Sport");
  EXPECT_EQ(t->LastOffset(), 0);

  // The wheel turns to the second page: files 2 to 17.
  t->scrollWheel(-1.0);
  EXPECT_EQ(t->OffsetSlider->value(), -1);
  EXPECT_EQ(t->LastOffset(), 1);
  EXPECT_EQ(t->TemplateName(0), "Banana");
  EXPECT_EQ(t->TemplateName(15), "Zeta 16");
  t->scrollWheel(-1.0); // already at the last page
  EXPECT_EQ(t->LastOffset(), 1);
  t->scrollWheel(0.5);
  EXPECT_EQ(t->LastOffset(), 0);

  // Picking a slot applies its style and finishes.
  t->LoadItem(3);
  EXPECT_EQ(QString::fromUtf16(DispObjGet(gauge)->Style), "Gauge - Blue_Dial  Sport");
  EXPECT_TRUE(t->StyleSelected());
  EXPECT_EQ(t->PreviewCount(), 0);
  EXPECT_EQ(FreeSlots(main->PreviewImage()), static_cast<int>(kSimplePreviewSlots));
}

TEST_F(ToolboxTest, StyleTitlesLoseKindWordsUnderscoresAndDoubleBlanks) {
  EXPECT_EQ(wcDispObjToolbox::StyleTitle("Track Map - Night_Course.qvo"), "Night Course");
  EXPECT_EQ(wcDispObjToolbox::StyleTitle(" Classic - Tach .qvo"), "Classic");
  EXPECT_EQ(wcDispObjToolbox::StyleTitle("G-Force - Ring__Big.qvo"), "Ring Big");
  EXPECT_EQ(wcDispObjToolbox::StyleTitle("Level Graph - Fuel - Gauge.QVO"), "Fuel");
}

TEST_F(ToolboxTest, OneMatchingStyleFinishesTheObjectWithoutAPage) {
  const QString folder = ClearStyleFolder();
  const uint32_t source = DispObjAdd(kDispBar, kNoInput);
  ASSERT_EQ(DispObjExportStyle(source, NSStringToWStr(folder + "/Only.qvo").c_str()), 0);
  wcDispObjToolbox* t = Toolbox();
  t->SetData(kNoInput);
  t->showWindow();
  t->AddObject(kDispBar, kNoInput);
  t->LoadPreviews(false);
  EXPECT_EQ(t->PreviewCount(), 0);
  EXPECT_TRUE(t->StyleSelected());
  EXPECT_EQ(QString::fromUtf16(DispObjGet(t->NewIndex())->Style), "");
}
