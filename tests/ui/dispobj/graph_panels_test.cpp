// The time graph, G-force and embedded image panels with the real engine
// and a logged lap session: what a new object shows, the rules of each
// control and what it stores, and the captions and enabled states that
// follow the choices.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "ui/controls/real_stepper.h"
#include "ui/dispobj/data_panel_fixture.h"
#include "ui/dispobj/vcDispObjEImage.h"
#include "ui/dispobj/vcDispObjGForce.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/dispobj/vcDispObjTimeGraph.h"

class GraphPanelsTest : public DataPanelTest {};

TEST_F(GraphPanelsTest, TimeGraphRangesSpanLabelAndKeptPresentation) {
  AddLapSession({4.0, 3.6, 4.2});
  uint32_t graph = kNoDispObj;
  auto* panel = AddAndOpen<vcDispObjTimeGraph>(kDispTimeGraph, kPanelTimeGraph, &graph);
  EXPECT_TRUE(IsRed(panel->FieldLabel)); // no channel chosen yet
  EXPECT_EQ(panel->FieldSelection->currentText(), "(None)");
  Pick(panel->FieldSelection, "Speed (km/h)");
  EXPECT_EQ(QString::fromUtf16(Param<TimeGraphParam>(graph).Field), "Speed (km/h)");
  EXPECT_FALSE(IsRed(panel->FieldLabel));

  // Automatic ends show their check off with 0 and 100 to start from.
  EXPECT_FALSE(panel->MinManualCheck->isChecked());
  EXPECT_EQ(panel->MinText->text(), "0.0");
  EXPECT_FALSE(panel->MinText->isEnabled());
  EXPECT_EQ(panel->MaxText->text(), "100.0");
  panel->MinManualCheck->click();
  EXPECT_EQ(Param<TimeGraphParam>(graph).Min, 0.0);
  EXPECT_TRUE(panel->MinText->isEnabled());
  panel->MaxManualCheck->click();
  EXPECT_EQ(Param<TimeGraphParam>(graph).Max, 100.0);
  Type(panel->MaxText, "62.125");
  EXPECT_EQ(Param<TimeGraphParam>(graph).Max, 62.125);
  EXPECT_EQ(panel->MaxText->text(), "62.125");
  panel->MaxManualCheck->click();
  EXPECT_EQ(Param<TimeGraphParam>(graph).Max, kRangeAutoMax);
  EXPECT_FALSE(panel->MaxStepper->isEnabled());

  Type(panel->TimeSpanText, "7.5");
  EXPECT_FLOAT_EQ(Param<TimeGraphParam>(graph).TimeSpan, 7.5f);
  EXPECT_EQ(panel->TimeSpanText->text(), "7.5");

  // The label: a size of 34.7 shows as 34; typing text switches it on.
  EditParam<TimeGraphParam>(graph, [](TimeGraphParam& p) {
    p.LabelSize = 34.7f;
    p.LabelColor = ColorSwitched(p.LabelColor, false);
    p.Options |= kTimeGraphFixedDot; // a presentation the panel does not offer
  });
  panel = Reload<vcDispObjTimeGraph>(graph, kPanelTimeGraph);
  EXPECT_EQ(panel->LabelSizeText->text(), "34");
  EXPECT_FALSE(panel->DoLabelCheck->isChecked());
  Type(panel->LabelText, "Speed");
  TimeGraphParam p = Param<TimeGraphParam>(graph);
  EXPECT_EQ(QString::fromUtf16(p.Label), "Speed");
  EXPECT_FALSE(ColorIsOff(p.LabelColor));
  Type(panel->LabelSizeText, "40");
  EXPECT_FLOAT_EQ(Param<TimeGraphParam>(graph).LabelSize, 40.0f);
  // The kept presentation: "Time Span" in the hidden list, the span shown,
  // the bit written back untouched.
  EXPECT_EQ(panel->ModeSelection->currentText(), "Time Span");
  EXPECT_TRUE(panel->ModeSelection->isHidden());
  EXPECT_TRUE(panel->ValueColor->isHidden());
  EXPECT_FALSE(panel->TimeSpanText->isHidden());
  panel->VerticalCheck->click();
  EXPECT_EQ(Param<TimeGraphParam>(graph).Options,
            kTimeGraphHighRes | kTimeGraphFixedDot | kTimeGraphVertical);

  PickColour(panel->AxisColor, QColor(0, 100, 200));
  EXPECT_EQ(Param<TimeGraphParam>(graph).AxisColor, 0x000064C8u); // switched on
  Type(panel->TrimSizeText, "300"); // held at the stepper's top
  EXPECT_EQ(Param<TimeGraphParam>(graph).TrimSize, panel->TrimSizeStepper->maximum());

  // Without a data input the channel's label is red.
  Pick(Editor()->General()->InputSelection, "(None)");
  EXPECT_TRUE(IsRed(panel->FieldLabel));
}

TEST_F(GraphPanelsTest, GForceChannelsRangesAndExclusiveCircles) {
  AddLapSession({4.0, 3.6, 4.2});
  uint32_t plot = kNoDispObj;
  auto* panel = AddAndOpen<vcDispObjGForce>(kDispGForce, kPanelGForce, &plot);
  EXPECT_EQ(panel->FieldXSelection->currentText(), "(Automatic)");
  EXPECT_EQ(panel->FieldYSelection->currentText(), "(Automatic)");
  EXPECT_EQ(Items(panel->FieldXSelection).mid(0, 3), (QStringList{"(Automatic)", "(None)", "Time (s)"}));
  EXPECT_EQ(panel->RangeXText->text(), "2.0");
  EXPECT_EQ(panel->RangeYText->text(), "2.0");
  EXPECT_TRUE(panel->DoBallCheck->isChecked());
  EXPECT_TRUE(panel->DoCirclesAxisCheck->isChecked());
  EXPECT_FALSE(panel->DoCirclesCheck->isChecked());
  EXPECT_FALSE(panel->DoShadowCheck->isChecked());
  EXPECT_FALSE(panel->DoBackCheck->isChecked());

  // "(None)" is stored as such: the axis is not used.
  Pick(panel->FieldYSelection, "(None)");
  EXPECT_EQ(QString::fromUtf16(Param<GForceParam>(plot).FieldY), "(None)");
  Pick(panel->FieldXSelection, "Speed (km/h)");
  EXPECT_EQ(QString::fromUtf16(Param<GForceParam>(plot).FieldX), "Speed (km/h)");
  panel = Reload<vcDispObjGForce>(plot, kPanelGForce);
  EXPECT_EQ(panel->FieldYSelection->currentText(), "(None)");
  Pick(panel->FieldXSelection, "(Automatic)");
  EXPECT_EQ(Param<GForceParam>(plot).FieldX[0], u'\0');

  // The circles exclude each other.
  panel->DoCirclesCheck->click();
  EXPECT_EQ(Param<GForceParam>(plot).Options & (kGForceCircles | kGForceCirclesAxis), kGForceCircles);
  EXPECT_FALSE(panel->DoCirclesAxisCheck->isChecked());
  panel->DoCirclesAxisCheck->click();
  EXPECT_EQ(Param<GForceParam>(plot).Options & (kGForceCircles | kGForceCirclesAxis), kGForceCirclesAxis);
  // No axis: the circle boxes are out of reach, their bit kept.
  panel->DoAxisCheck->click();
  EXPECT_TRUE(ColorIsOff(Param<GForceParam>(plot).AxisColor));
  EXPECT_FALSE(panel->DoCirclesCheck->isEnabled());
  EXPECT_FALSE(panel->DoCirclesAxisCheck->isEnabled());
  EXPECT_NE(Param<GForceParam>(plot).Options & kGForceCirclesAxis, 0);
  PickColour(panel->AxisColor, QColor(255, 255, 255));
  EXPECT_EQ(Param<GForceParam>(plot).AxisColor, 0x00FFFFFFu);
  EXPECT_TRUE(panel->DoCirclesCheck->isEnabled());

  // A range shows one decimal and stores the stepper's own value.
  Type(panel->RangeXText, "1.74");
  EXPECT_EQ(panel->RangeXText->text(), "1.7");
  EXPECT_FLOAT_EQ(Param<GForceParam>(plot).RangeX, 1.74f);
  panel->SwapXYCheck->click();
  panel->FlipYCheck->click();
  panel->DoFadeCheck->click();
  panel->DoBallCheck->click();
  EXPECT_EQ(Param<GForceParam>(plot).Options, kGForceSwapXY | kGForceFlipY | kGForceFade | kGForceCirclesAxis);
  PickColour(panel->ShadowColor, QColor(0x40, 0x40, 0x40));
  EXPECT_EQ(Param<GForceParam>(plot).ShadowColor, 0x00404040u);
  EXPECT_TRUE(panel->DoShadowCheck->isChecked());
}

TEST_F(GraphPanelsTest, EmbeddedImageCaptionsFollowTheModeAndFlashIsStoredInTenths) {
  AddLapSession({4.0, 3.6, 4.2});
  uint32_t image = kNoDispObj;
  auto* panel = AddAndOpen<vcDispObjEImage>(kDispEImage, kPanelEImage, &image);
  EXPECT_EQ(panel->ModeSelection->currentText(), "Simple Image");
  EXPECT_TRUE(panel->FieldSelection->isHidden());
  EXPECT_TRUE(panel->FieldLabel->isHidden());
  for (QWidget* range : {static_cast<QWidget*>(panel->MinInputText), static_cast<QWidget*>(panel->MaxInputText),
                         static_cast<QWidget*>(panel->MinOutputText), static_cast<QWidget*>(panel->MaxOutputStepper)})
    EXPECT_FALSE(range->isEnabled());
  EXPECT_EQ(Items(panel->OutputTypeSelection), QStringList{"Show Image"});
  EXPECT_EQ(panel->OutputTypeSelection->currentText(), "Show Image");
  EXPECT_EQ(panel->FlashRateLabel->text(), "(Solid)");
  EXPECT_TRUE(IsRed(panel->FieldLabel));

  // At or above the maximum: ">=" beside it, the minimum input out of use.
  Pick(panel->ModeSelection, "Data: Greater or Equal");
  EXPECT_EQ(Param<EImageParam>(image).Mode, kEImageAtOrAbove);
  EXPECT_FALSE(panel->FieldSelection->isHidden());
  EXPECT_EQ(panel->MaxLabel->text(), ">=");
  EXPECT_TRUE(panel->MinLabel->isHidden());
  EXPECT_FALSE(panel->MinInputStepper->isEnabled());
  EXPECT_TRUE(panel->MaxInputStepper->isEnabled());
  EXPECT_TRUE(panel->MinOutputStepper->isEnabled());
  EXPECT_EQ(Items(panel->OutputTypeSelection), (QStringList{"Rotation", "Transparency", "Brightness", "Color Hue"}));
  EXPECT_EQ(panel->OutputTypeSelection->currentIndex(), -1); // "Show Image" is not offered here
  Pick(panel->OutputTypeSelection, "Brightness");
  EXPECT_EQ(Param<EImageParam>(image).OutputType, kEImageBrightness);
  Pick(panel->ModeSelection, "Data: Less or Equal");
  EXPECT_EQ(panel->MinLabel->text(), "<=");
  EXPECT_FALSE(panel->MinLabel->isHidden());
  EXPECT_TRUE(panel->MaxLabel->isHidden());
  EXPECT_FALSE(panel->MaxInputText->isEnabled());
  EXPECT_EQ(panel->OutputTypeSelection->currentText(), "Brightness");

  Pick(panel->FieldSelection, "Speed (km/h)");
  EXPECT_FALSE(IsRed(panel->FieldLabel));
  Type(panel->MinInputText, "12.34567");
  EXPECT_EQ(Param<EImageParam>(image).MinInput, 12.34567);
  EXPECT_EQ(panel->MinInputText->text(), "12.3457");
  Type(panel->MaxOutputText, "150");
  EXPECT_EQ(Param<EImageParam>(image).MaxOutput, 150.0);

  // Flashing in tenths of a second.
  struct Flash {
    const char* typed;
    uint8_t stored;
    const char* shown;
    const char* rate;
  };
  for (const Flash& f : {Flash{"0.26", 3, "0.3", "seconds"}, Flash{"1", 10, "1.0", "second"},
                         Flash{"0", 0, "0.0", "(Solid)"}, Flash{"2.5", 25, "2.5", "seconds"}}) {
    Type(panel->FlashText, f.typed);
    EXPECT_EQ(Param<EImageParam>(image).FlashInterval, f.stored) << f.typed;
    EXPECT_EQ(panel->FlashText->text(), f.shown) << f.typed;
    EXPECT_EQ(panel->FlashRateLabel->text(), f.rate) << f.typed;
  }
  Type(panel->FlashText, "0.26");
  panel = Reload<vcDispObjEImage>(image, kPanelEImage);
  EXPECT_DOUBLE_EQ(panel->FlashStepper->value(), 0.3);
  EXPECT_EQ(panel->FlashText->text(), "0.3");

  // Back to the plain image: its one entry; the effect chosen before is
  // not in the list and selects nothing until "Show Image" is picked.
  Pick(panel->ModeSelection, "Simple Image");
  EXPECT_EQ(Items(panel->OutputTypeSelection), QStringList{"Show Image"});
  EXPECT_EQ(panel->OutputTypeSelection->currentIndex(), -1);
  Pick(panel->OutputTypeSelection, "Show Image");
  EXPECT_EQ(Param<EImageParam>(image).OutputType, kEImageAsIs);
  EXPECT_EQ(Param<EImageParam>(image).Mode, kEImagePlain);
}
