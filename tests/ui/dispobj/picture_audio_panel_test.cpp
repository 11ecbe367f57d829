// The picture and audio panels with the real engine: nudges in preview
// pixels (one write, one checkpoint), the frame bounds, sizes, labels and
// their resets, groups carrying members, and the sound controls' texts.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "io/files/undo.h"
#include "ui/controls/NSTextLabelCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/dispobj/vcDispObjAudio.h"
#include "ui/dispobj/vcDispObjPicture.h"

class PicturePanelTest : public DispObjTest {
protected:
  vcDispObjPicture* Open(uint32_t object) {
    EXPECT_TRUE(Editor()->SetDisplayObject(static_cast<int>(object)));
    return static_cast<vcDispObjPicture*>(Editor()->Panel(kPanelPicture));
  }
  vcDispObjAudio* OpenAudio(uint32_t object) {
    EXPECT_TRUE(Editor()->SetDisplayObject(static_cast<int>(object)));
    return static_cast<vcDispObjAudio*>(Editor()->Panel(kPanelAudio));
  }
  static void Enter(TextField* field, const QString& text) {
    field->setText(text);
    emit field->changed();
  }
};

TEST_F(PicturePanelTest, ANudgeMovesByPreviewPixelsWithOneCheckpoint) {
  const uint32_t text = AddText(10, 20, 20, 10);
  DispStruct record = *DispObjGet(text);
  record.Transparency = 0;
  DispObjSet(text, &record);
  // The text sizes itself: its box stays as placed for this test.
  TextStruct param{};
  std::memcpy(&param, DispObjGetParam(text), sizeof param);
  param.Options &= 0x7F;
  DispObjSetParam(text, &param);
  ASSERT_EQ(main->PreviewSize().width(), 720);
  vcDispObjPicture* picture = Open(text);
  EXPECT_NEAR(picture->PixToPctX, 100.0 / 720, 1e-9);
  EXPECT_EQ(picture->PosXText->text(), "10.000");
  EXPECT_EQ(picture->MoveAmountStepper->maximum(), (720 + 480) / 4);

  Enter(picture->MoveAmountText, "10");
  EXPECT_EQ(picture->MoveAmountLabel->text(), "pixels");
  picture->MoveRightButton->click();
  EXPECT_NEAR(ObjectX(text), 10 + 1.389, 0.001);
  EXPECT_EQ(picture->PosXText->text(), "11.389");
  // The one checkpoint holds the place before the nudge.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_FLOAT_EQ(ObjectX(text), 10.0f);
  ASSERT_EQ(UndoToggle(), 0);
  Open(text);

  Enter(picture->MoveAmountText, "1");
  EXPECT_EQ(picture->MoveAmountLabel->text(), "pixel");
  picture->MoveUpButton->click();
  EXPECT_NEAR(ObjectY(text), 20 - 100.0 / 480, 0.001) << "Y counts from the top";

  // Far left stops with 1 % of the object in frame; far right at 99.
  picture->MoveX(-500, false);
  EXPECT_NEAR(ObjectX(text), 1 - 20, 0.001);
  picture->MoveX(500, false);
  EXPECT_NEAR(ObjectX(text), 99, 0.001);
  // The X label centres.
  picture->PosXLabel_Clicked();
  EXPECT_NEAR(ObjectX(text), 40, 0.001);
}

TEST_F(PicturePanelTest, SizesTransparencyMirroringAndColoursAreWrittenWithTheirTexts) {
  const uint32_t shape = DispObjAdd(kDispShape, kNoInput);
  Place(shape, 10, 10, 20, 40);
  vcDispObjPicture* picture = Open(shape);
  EXPECT_EQ(picture->TransparencyAmountLabel->text(), "(Solid)");
  Enter(picture->SizeAmountText, "25");
  picture->LargerButton->click();
  EXPECT_NEAR(ObjectWidth(shape), 25, 0.001);
  picture->SmallerButton->click();
  EXPECT_NEAR(ObjectWidth(shape), 20, 0.001);
  EXPECT_NEAR(DispObjGet(shape)->Height, 40, 0.001);

  Enter(picture->WidthText, "12.5");
  EXPECT_NEAR(ObjectWidth(shape), 12.5, 0.001);
  EXPECT_EQ(picture->WidthText->text(), "12.500");

  Enter(picture->TransparencyText, "25");
  EXPECT_EQ(DispObjGet(shape)->Transparency, 25);
  EXPECT_EQ(picture->TransparencyAmountLabel->text(), "(75% Visible)");
  Enter(picture->TransparencyText, "150"); // held at the stepper's maximum
  EXPECT_EQ(DispObjGet(shape)->Transparency, 100);
  EXPECT_EQ(picture->TransparencyAmountLabel->text(), "(Invisible)");
  picture->TransparencyLabel_Clicked();
  EXPECT_EQ(DispObjGet(shape)->Transparency, 0);

  picture->MirroringSelection->setCurrentIndex(3);
  emit picture->MirroringSelection->activated(3);
  EXPECT_EQ(DispObjGet(shape)->Mirroring, 3);
  picture->MirroringLabel_Clicked();
  EXPECT_EQ(DispObjGet(shape)->Mirroring, 0);

  picture->ColorGCheck->click();
  EXPECT_EQ(DispObjGet(shape)->ColorChans, 1 | 4);
  picture->ColorLabel_Clicked();
  EXPECT_EQ(DispObjGet(shape)->ColorChans, 7);
  picture->KeepRatioCheck->click();
  EXPECT_EQ(DispObjGet(shape)->KeepRatio, 1);
}

TEST_F(PicturePanelTest, ControlsFollowTheKindOfObject) {
  // A self-sizing text: position only.
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  vcDispObjPicture* picture = Open(text);
  EXPECT_TRUE(picture->TextAutoSize);
  EXPECT_FALSE(picture->WidthStepper->isEnabled());
  EXPECT_FALSE(picture->LargerButton->isEnabled());
  EXPECT_TRUE(picture->PosXStepper->isEnabled());
  // An embedded image has no aspect-ratio check.
  picture = Open(DispObjAdd(kDispEImage, kNoInput));
  EXPECT_FALSE(picture->KeepRatioCheck->isVisibleTo(picture));

  // A group: position and size only, and its members move with it.
  const uint32_t left = AddText(10, 10, 10, 10);
  const uint32_t right = AddText(30, 10, 10, 10);
  const uint32_t group = MakeGroup({left, right});
  picture = Open(group);
  EXPECT_TRUE(picture->GroupObject);
  EXPECT_FALSE(picture->TransparencyStepper->isEnabled());
  EXPECT_EQ(picture->PosXText->text(), "10.000");
  EXPECT_EQ(picture->WidthText->text(), "30.000");
  Enter(picture->PosXText, "20");
  EXPECT_NEAR(ObjectX(left), 20, 0.001);
  EXPECT_NEAR(ObjectX(right), 40, 0.001);
}

TEST_F(PicturePanelTest, VolumeMuteAndBalanceShowWhatTheyWrite) {
  const uint32_t audio = DispObjAdd(kDispAudio, kNoInput);
  vcDispObjAudio* panel = OpenAudio(audio);
  EXPECT_EQ(panel->AudioVolumeText->text(), "100");
  EXPECT_EQ(panel->AudioBalanceText->text(), "Center");

  Enter(panel->AudioVolumeText, "0");
  EXPECT_EQ(DispObjGet(audio)->AudioVolume, 0);
  EXPECT_TRUE(panel->AudioMuteCheck->isChecked());
  Enter(panel->AudioVolumeText, "40");
  panel->AudioMuteCheck->click();
  EXPECT_EQ(DispObjGet(audio)->AudioVolume, 0);
  panel->AudioMuteCheck->click(); // unmuted: 100, not the 40 before
  EXPECT_EQ(DispObjGet(audio)->AudioVolume, 100);
  EXPECT_EQ(panel->AudioVolumeText->text(), "100");

  struct Case {
    double slider;
    int stored;
    const char* text;
  };
  for (const Case& c : {Case{99.5, 100, "Center"}, Case{150, 150, "50% Right"}, Case{30, 30, "70% Left"}}) {
    panel->AudioBalanceSlider->setValue(c.slider);
    panel->AudioBalanceSlider_Changed();
    EXPECT_EQ(DispObjGet(audio)->AudioBalance, c.stored);
    EXPECT_EQ(panel->AudioBalanceText->text(), c.text);
  }
  // One checkpoint per change: Undo takes the last balance back only.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(DispObjGet(audio)->AudioBalance, 150);
  ASSERT_EQ(UndoToggle(), 0);
  OpenAudio(audio);
  panel->AudioBalanceText_Clicked();
  EXPECT_EQ(DispObjGet(audio)->AudioBalance, 100);
  panel->AudioVolumeLabel_Clicked();
  EXPECT_EQ(DispObjGet(audio)->AudioVolume, 100);
}
