// The gauge panel with the launched program: what a new gauge of each kind
// shows, the automatic range ends and start angle, the display modes and
// what they enable, the face's derived gradient colour, one checkpoint per
// change, and the designer opened from the panel: Cancel (or the close
// box) returns the object to where it was through the undo checkpoint,
// OK keeps every change.
#include <QCheckBox>
#include <QLabel>

#include "io/files/style.h"
#include "io/files/undo.h"
#include "ui/controls/real_stepper.h"
#include "ui/dispobj/gauge_fixture.h"
#include "ui/util/ui_utils.h"

namespace {

bool SameRecord(const GaugeParam& a, const GaugeParam& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

using GaugePanelTest = GaugeTest;

TEST_F(GaugePanelTest, NewGaugesShowTheirPresetsAndAutomaticEnds) {
  const uint32_t data = AddRampLog();
  const uint32_t tacho = DispObjAdd(kDispTacho, data);
  const uint32_t generic = DispObjAdd(kDispGauge, kNoInput);

  vcDispObjGauge* panel = OpenGauge(tacho);
  EXPECT_EQ(panel->FieldSelection->currentText(), "(Automatic)");
  EXPECT_TRUE(Items(panel->FieldSelection).contains("RPM"));
  EXPECT_FALSE(IsRed(panel->FieldLabel)); // a tachometer finds its channel by itself
  EXPECT_TRUE(panel->MinManualCheck->isChecked());
  EXPECT_EQ(panel->MaxText->text(), "8000.0");
  EXPECT_EQ(panel->SweepText->text(), "235");
  EXPECT_EQ(panel->LabelText->text(), "RPM");
  EXPECT_EQ(panel->ModeSelection->currentText(), "Needle");
  EXPECT_TRUE(panel->HighResCheck->isChecked());
  // Automatic start angle: box off, stepper at 0, both disabled.
  EXPECT_FALSE(panel->StartDegManualCheck->isChecked());
  EXPECT_EQ(panel->StartDegText->text(), "0");
  EXPECT_FALSE(panel->StartDegText->isEnabled());
  // Marks change colour: the warning group is in use.
  EXPECT_TRUE(panel->ChangeColor->isEnabled());
  EXPECT_EQ(panel->ChangeValueText->text(), "6500.0");
  EXPECT_TRUE(panel->DoChangeColor2Check->isEnabled());
  EXPECT_FALSE(panel->DoChangeColor2Check->isChecked());
  EXPECT_FALSE(panel->ChangeValue2Text->isEnabled());
  EXPECT_FALSE(panel->MarkColor2->isVisibleTo(panel));

  panel = OpenGauge(generic);
  EXPECT_EQ(panel->FieldSelection->currentText(), "(None)");
  EXPECT_TRUE(IsRed(panel->FieldLabel)); // a generic gauge has no automatic channel
  EXPECT_FALSE(panel->MinManualCheck->isChecked());
  EXPECT_EQ(panel->MinText->text(), "0.0");
  EXPECT_FALSE(panel->MinText->isEnabled());
  EXPECT_FALSE(panel->MaxManualCheck->isChecked());
  EXPECT_EQ(panel->MaxText->text(), "100.0");
  EXPECT_EQ(panel->SweepText->text(), "130");
  EXPECT_TRUE(panel->DoNumberDecimalCheck->isChecked());
  // Only the face's warning bands: the group is not in use.
  EXPECT_FALSE(panel->ChangeColor->isEnabled());
  EXPECT_FALSE(panel->ChangeValueText->isEnabled());

  // Turning the boxes on writes what the steppers show; off writes the marks.
  panel->MinManualCheck->click();
  EXPECT_EQ(Param<GaugeParam>(generic).Min, 0.0);
  EXPECT_TRUE(panel->MinText->isEnabled());
  panel->StartDegManualCheck->click();
  EXPECT_EQ(Param<GaugeParam>(generic).StartDeg, 0);
  panel->StartDegManualCheck->click();
  EXPECT_EQ(Param<GaugeParam>(generic).StartDeg, kGaugeAutoStart);
  Type(panel->MaxText, "250");
  EXPECT_FALSE(panel->MaxManualCheck->isChecked());
  EXPECT_TRUE(RangeMaxIsAuto(Param<GaugeParam>(generic).Max)); // the disabled field takes nothing
}

TEST_F(GaugePanelTest, ModesEnableTheirControlsAndTheFaceDerivesItsGradient) {
  const uint32_t speedo = DispObjAdd(kDispSpeedo, kNoInput);
  vcDispObjGauge* panel = OpenGauge(speedo);
  EXPECT_TRUE(panel->SweepText->isEnabled());
  EXPECT_TRUE(panel->PinColor->isEnabled());

  Pick(panel->ModeSelection, "Dual");
  EXPECT_EQ(Param<GaugeParam>(speedo).Options & kGaugeModeMask, kGaugeDual);
  EXPECT_FALSE(panel->SweepText->isEnabled());
  EXPECT_FALSE(panel->SweepStepper->isEnabled());
  EXPECT_FALSE(panel->DoPinsCheck->isEnabled());
  Pick(panel->ModeSelection, "Graph");
  EXPECT_EQ(Param<GaugeParam>(speedo).Options & kGaugeModeMask, kGaugeGraph);
  EXPECT_TRUE(panel->SweepText->isEnabled());
  EXPECT_FALSE(panel->PinColor->isEnabled());
  Pick(panel->ModeSelection, "Needle");
  EXPECT_EQ(Param<GaugeParam>(speedo).Options & kGaugeModeMask, 0);
  EXPECT_TRUE(panel->PinColor->isEnabled());

  // Without a gradient, a face colour brings its darker second colour along, switched off.
  ASSERT_FALSE(panel->DoFaceGradientCheck->isChecked());
  PickColour(panel->FaceColor, Qt::black);
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor, 0x00000000u);
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor2, 0xFF000000u);
  PickColour(panel->FaceColor, Qt::white);
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor, 0x00FFFFFFu);
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor2, 0xFFC3BFC7u);
  EXPECT_EQ(panel->FaceColor2->color(), QColor(0xC3, 0xBF, 0xC7));
  // Each change was one checkpoint: undo returns to the black face.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor, 0x00000000u);
  ASSERT_EQ(UndoToggle(), 0);

  // The gradient switched on keeps the derived colour; its well switches both on.
  OpenGauge(speedo)->DoFaceGradientCheck->click();
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor2, 0x00C3BFC7u);
  panel->DoFaceCheck->click();
  EXPECT_TRUE(ColorIsOff(Param<GaugeParam>(speedo).FaceColor));
  PickColour(panel->FaceColor2, QColor(10, 20, 30));
  EXPECT_TRUE(panel->DoFaceCheck->isChecked());
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor, 0x00FFFFFFu);
  EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor2, 0x000A141Eu);

  // The warning group of a speedometer is off until some part changes colour.
  EXPECT_FALSE(panel->ChangeColor2->isEnabled());
  EditParam<GaugeParam>(speedo, [](GaugeParam& p) { p.ChangeColorOptions = kGaugeChangeNeedles; });
  panel = OpenGauge(speedo);
  ASSERT_TRUE(panel->ChangeColor2->isEnabled());
  PickColour(panel->ChangeColor2, QColor(255, 128, 0));
  EXPECT_TRUE(panel->DoChangeColor2Check->isChecked());
  EXPECT_TRUE(panel->ChangeValue2Text->isEnabled());
  EXPECT_EQ(Param<GaugeParam>(speedo).ChangeColor2, 0x00FF8000u);
}

TEST_F(GaugePanelTest, DesignerCancelReturnsThroughUndoAndOkKeeps) {
  const uint32_t data = AddRampLog();
  const uint32_t speedo = DispObjAdd(kDispSpeedo, data);
  vcDispObjGauge* panel = OpenGauge(speedo);
  // A change made in the panel before the designer opens is kept by Cancel.
  Type(panel->LabelText, "km/h");
  const GaugeParam before = Param<GaugeParam>(speedo);
  const std::string style = File("red.qvo");
  {
    GaugeParam red = before;
    red.FaceColor = 0x00C00000;
    ASSERT_EQ(DispObjSetParam(speedo, &red), 0);
    ASSERT_EQ(DispObjExportStyle(speedo, NSStringToWStr(QString::fromStdString(style)).c_str()), 0);
    ASSERT_EQ(DispObjSetParam(speedo, &before), 0);
  }

  RunDesigner(panel, [&](wcDispObjGaugeDesign* d) {
    EXPECT_FALSE(d->Success());
    EXPECT_EQ(d->window()->windowTitle(), "Gauge Designer");
    EXPECT_EQ(d->LabelText->text(), "km/h");
    Type(d->LabelText, "MPH");
    Pick(d->ModeSelection, "Dual");
    Type(d->NeedleSizeText, "9");
    // The engine holds each change while the designer is open.
    EXPECT_EQ(Param<GaugeParam>(speedo).NeedleSize, 9);
    panelAnswers.push_back({QString::fromStdString(style)});
    d->StyleButton->click();
    EXPECT_EQ(Param<GaugeParam>(speedo).FaceColor, 0x00C00000u);
    EXPECT_EQ(d->StyleButton->text(), "red");
    d->CancelButton->click();
  });
  EXPECT_FALSE(Designer()->window()->isVisible());
  EXPECT_FALSE(Designer()->Success());
  EXPECT_EQ(Designer()->PreviewSlot(), -1); // freed with the window
  EXPECT_TRUE(SameRecord(Param<GaugeParam>(speedo), before));
  EXPECT_EQ(W16ToNSString(DispObjGet(speedo)->Style), "");
  EXPECT_EQ(panel->LabelText->text(), "km/h");
  EXPECT_EQ(panel->ModeSelection->currentText(), "Needle");
  EXPECT_TRUE(main->ProjectModified());

  // The close box is a Cancel too.
  RunDesigner(panel, [](wcDispObjGaugeDesign* d) {
    Type(d->NeedleTipLenText, "100");
    d->window()->close();
  });
  EXPECT_TRUE(SameRecord(Param<GaugeParam>(speedo), before));

  // OK keeps every change, and undo then returns to the state before the designer.
  RunDesigner(panel, [](wcDispObjGaugeDesign* d) {
    EXPECT_FALSE(d->Success()); // a fresh opening
    Type(d->LabelText, "MPH");
    Pick(d->TypeSelection, "Generic");
    d->OkButton->click();
  });
  EXPECT_TRUE(Designer()->Success());
  EXPECT_EQ(W16ToNSString(Param<GaugeParam>(speedo).Label), "MPH");
  EXPECT_EQ(Param<GaugeParam>(speedo).Type, kGaugeGeneric);
  EXPECT_EQ(Param<GaugeParam>(speedo).Max, 160.0); // the type's presets are not applied
  EXPECT_EQ(panel->LabelText->text(), "MPH");
  EXPECT_EQ(panel->FieldSelection->currentText(), "(None)");
  EXPECT_TRUE(IsRed(panel->FieldLabel));
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_TRUE(SameRecord(Param<GaugeParam>(speedo), before));
}
