// The gauge designer's pages with the launched program, each driven the
// way a user does: the two-part scale and its midpoint rule, mark shapes
// and their codes, counts shown plus one and the spacing cells, automatic
// text positions, the scale-number options, the display modes' enabling,
// the second needle's turn, taper, the warning colours, and styles
// exported and imported through the window.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "io/files/style.h"
#include "ui/controls/real_stepper.h"
#include "ui/dispobj/gauge_fixture.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/util/ui_utils.h"

using GaugeDesignerTest = GaugeTest;

TEST_F(GaugeDesignerTest, NothingToDesignIsRefused) {
  wcDispObjGaugeDesign* designer = Designer();
  EXPECT_FALSE(designer->SetData(static_cast<int>(kNoDispObj)));
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(designer->SetData(7)); // an empty slot
  EXPECT_FALSE(designer->SetData(300)); // past the table: the engine's error is shown
  EXPECT_EQ(messages.size(), 1u);
  const uint32_t bar = DispObjAdd(kDispBar, kNoInput);
  EXPECT_FALSE(designer->SetData(static_cast<int>(bar))); // never a bar graph's block read as a gauge's
}

TEST_F(GaugeDesignerTest, TwoPartScaleTakesTheMidpointWhenTheJointIsOutside) {
  const uint32_t generic = DispObjAdd(kDispGauge, kNoInput);
  wcDispObjGaugeDesign* d = ShowDesigner(generic);
  // Both ends automatic: the midpoint is 0 and the scale can never be two-part.
  EXPECT_FALSE(d->StepMidCheck->isChecked());
  EXPECT_EQ(d->StepMidText->text(), "0.0");
  d->StepMidCheck->click();
  EXPECT_EQ(Gauge(generic).StepMidValue, 0.0);
  EXPECT_FALSE(d->StepMidCheck->isChecked());

  d->MinManualCheck->click();
  d->MaxManualCheck->click();
  Type(d->MaxText, "200");
  EXPECT_EQ(Gauge(generic).Min, 0.0);
  EXPECT_EQ(Gauge(generic).Max, 200.0);
  Type(d->StepMidText, "250"); // stored as typed; outside the range the box goes off
  EXPECT_EQ(Gauge(generic).StepMidValue, 250.0);
  EXPECT_FALSE(d->StepMidCheck->isChecked());
  d->StepMidCheck->click(); // on: a joint outside the range becomes the midpoint
  EXPECT_EQ(Gauge(generic).StepMidValue, 100.0);
  EXPECT_EQ(d->StepMidText->text(), "100.0");
  EXPECT_TRUE(d->StepMidCheck->isChecked());
  Type(d->StepMidAngleText, "150");
  EXPECT_EQ(Gauge(generic).StepMidAngle, 150);
  EXPECT_TRUE(d->StepMidCheck->isChecked());
  d->StepMidCheck->click(); // off: the mark, and the stepper back at the midpoint
  EXPECT_EQ(Gauge(generic).StepMidValue, kGaugeNoStepMid);
  EXPECT_EQ(d->StepMidText->text(), "100.0");

  // A joint inside the range loads as it is.
  EditParam<GaugeParam>(generic, [](GaugeParam& p) { p.StepMidValue = 40; });
  d = ShowDesigner(generic);
  EXPECT_TRUE(d->StepMidCheck->isChecked());
  EXPECT_EQ(d->StepMidText->text(), "40.0");
  // Start angle: automatic loads as 0 with the box off; on stores 0.
  EXPECT_FALSE(d->StartDegManualCheck->isChecked());
  EXPECT_EQ(d->StartDegText->text(), "0");
  d->StartDegManualCheck->click();
  EXPECT_EQ(Gauge(generic).StartDeg, 0);
}

TEST_F(GaugeDesignerTest, MarkShapesCountsAndSpacing) {
  const uint32_t speedo = DispObjAdd(kDispSpeedo, kNoInput);
  EditParam<GaugeParam>(speedo, [](GaugeParam& p) {
    p.MarkType = GaugeMarkTypeOf(kGaugeMarkDrop, kGaugeMarkSquare2, true);
    p.MarkCount = 3;
  });
  wcDispObjGaugeDesign* d = ShowDesigner(speedo);
  EXPECT_EQ(Items(d->MarkTypeSelection), QStringList({"None", "Dot", "Diamond", "Square", "Dash"}));
  EXPECT_EQ(d->MarkTypeSelection->currentText(), "Diamond"); // code 2 shows as 3
  EXPECT_EQ(d->MarkSmallTypeSelection->currentText(), "Square"); // code 4 shows as 5
  Pick(d->MarkTypeSelection, "Diamond");
  EXPECT_EQ(GaugeMajorShape(Gauge(speedo).MarkType), kGaugeMarkDiamond);
  Type(static_cast<TextField*>(d->MarkSmallTypeSelection->lineEdit()), "Dash 2");
  EXPECT_EQ(Gauge(speedo).MarkType & kGaugeMarkMinorMask, 48);
  Type(static_cast<TextField*>(d->MarkSmallTypeSelection->lineEdit()), "Spiral");
  EXPECT_EQ(GaugeMinorShape(Gauge(speedo).MarkType), kGaugeMarkNone);

  // Counts show the number of sections, one more than stored.
  EXPECT_EQ(d->MarkCountText->text(), "4");
  EXPECT_TRUE(d->MarkIntervalButton->isChecked());
  EXPECT_TRUE(d->MarkSmallIntervalButton->isChecked());
  Type(d->MarkCountText, "6");
  EXPECT_EQ(Gauge(speedo).MarkCount, 5);
  EXPECT_EQ(Gauge(speedo).MarkType & kGaugeMarkByInterval, 0); // editing a count spaces by count
  EXPECT_TRUE(d->MarkCountButton->isChecked());
  EXPECT_TRUE(d->MarkSmallCountButton->isChecked());
  Type(d->MarkCountText, "0"); // the stepper holds one section at least
  EXPECT_EQ(Gauge(speedo).MarkCount, 0);
  d->MarkSmallIntervalButton->click(); // either cell switches both
  EXPECT_TRUE(d->MarkIntervalButton->isChecked());
  EXPECT_NE(Gauge(speedo).MarkType & kGaugeMarkByInterval, 0);
  Type(d->MarkSmallIntervalText, "2.5");
  EXPECT_EQ(Gauge(speedo).MarkSmallInterval, 2.5);
  EXPECT_EQ(d->MarkSmallIntervalText->text(), "2.5");

  // Pins: the size switches them on; the second mark colour is not offered.
  EXPECT_FALSE(d->DoMarkColor2Check->isVisibleTo(d->window()));
  EXPECT_FALSE(d->DoPinsCheck->isChecked());
  Type(d->PinSizeText, "8");
  EXPECT_EQ(Gauge(speedo).MarkPinSize, 8);
  EXPECT_FALSE(ColorIsOff(Gauge(speedo).MarkPinColor));
}

TEST_F(GaugeDesignerTest, TextPositionsAndScaleNumbers) {
  const uint32_t tacho = DispObjAdd(kDispTacho, kNoInput);
  EditParam<GaugeParam>(tacho, [](GaugeParam& p) {
    p.LabelX = 1000;
    p.LabelY = 40;
    p.NumberX = 100;
    p.NumberY = 90;
    p.MarkNumberType = 0;
    p.LabelColor |= kColorOff;
  });
  wcDispObjGaugeDesign* d = ShowDesigner(tacho);
  // Either coordinate at the mark makes the place automatic.
  EXPECT_TRUE(d->LabelPosAutoCheck->isChecked());
  EXPECT_EQ(d->LabelPosXText->text(), "156");
  EXPECT_EQ(d->LabelPosYText->text(), "220");
  EXPECT_FALSE(d->LabelPosXText->isEnabled());
  EXPECT_FALSE(d->NumberPosAutoCheck->isChecked());
  EXPECT_EQ(d->NumberPosYText->text(), "90");
  Type(d->NeedleSizeText, "6"); // another change leaves the place as stored
  EXPECT_EQ(Gauge(tacho).LabelY, 40);
  d->LabelPosAutoCheck->click();
  EXPECT_EQ(Gauge(tacho).LabelX, 156);
  EXPECT_EQ(Gauge(tacho).LabelY, 220);
  EXPECT_FALSE(ColorIsOff(Gauge(tacho).LabelColor)); // the label is drawn again
  d->NumberPosAutoCheck->click();
  EXPECT_EQ(Gauge(tacho).NumberX, kGaugeAutoPos);

  const QString seventy(70, QChar('W'));
  Type(d->LabelText, seventy);
  EXPECT_EQ(W16ToNSString(Gauge(tacho).Label), seventy.left(63));
  EXPECT_EQ(d->LabelText->text(), seventy.left(63));

  // A sub-option switches the numbers on but leaves the others' enabling.
  EXPECT_FALSE(d->MarkNumbersUnitsSelection->isEnabled());
  d->MarkNumbersLimitClutterCheck->click();
  EXPECT_EQ(Gauge(tacho).MarkNumberType, kGaugeNumbersOn | kGaugeNumbersLimitClutter);
  EXPECT_TRUE(d->MarkNumbersCheck->isChecked());
  EXPECT_FALSE(d->MarkNumbersUnitsSelection->isEnabled());
  d->MarkNumbersCheck->click();
  d->MarkNumbersCheck->click();
  ASSERT_TRUE(d->MarkNumbersUnitsSelection->isEnabled());
  EditParam<GaugeParam>(tacho, [](GaugeParam& p) { p.MarkNumberType |= kGaugeNumbersX10; });
  d = ShowDesigner(tacho);
  EXPECT_EQ(d->MarkNumbersUnitsSelection->currentText(), "x10");
  Pick(d->MarkNumbersUnitsSelection, "x100");
  EXPECT_EQ(Gauge(tacho).MarkNumberType & kGaugeNumbersUnitMask, kGaugeNumbersX100);
  Pick(d->MarkNumbersUnitsSelection, "Normal");
  EXPECT_EQ(Gauge(tacho).MarkNumberType & kGaugeNumbersUnitMask, 0);
  d->LabelItalicCheck->click();
  EXPECT_EQ(Gauge(tacho).LabelStyle, 3);
}

TEST_F(GaugeDesignerTest, ModesNeedlesAndWarningColours) {
  const uint32_t speedo = DispObjAdd(kDispSpeedo, kNoInput);
  wcDispObjGaugeDesign* d = ShowDesigner(speedo);
  EXPECT_FALSE(d->DualNeedleColor->isEnabled());
  EXPECT_TRUE(d->SweepDegText->isEnabled());
  Pick(d->ModeSelection, "Dual");
  EXPECT_TRUE(d->DualNeedleColor->isEnabled());
  EXPECT_TRUE(d->DualIntervalText->isEnabled());
  EXPECT_FALSE(d->SweepDegText->isEnabled());
  EXPECT_FALSE(d->PinSizeText->isEnabled());
  EXPECT_TRUE(d->NeedleCenterSizeText->isEnabled());
  Pick(d->ModeSelection, "Graph");
  EXPECT_FALSE(d->DualNeedleColor->isEnabled());
  EXPECT_TRUE(d->SweepDegText->isEnabled());
  EXPECT_FALSE(d->NeedleCenterSizeLabel->isEnabled());
  EXPECT_EQ(Gauge(speedo).Options & kGaugeModeMask, kGaugeGraph);

  // No span of its own: the box off and the major step offered.
  Pick(d->ModeSelection, "Dual");
  EXPECT_FALSE(d->DualIntervalCheck->isChecked());
  EXPECT_EQ(d->DualIntervalText->text(), "10.0");
  d->DualIntervalCheck->click();
  EXPECT_EQ(Gauge(speedo).DualInterval, 10.0);

  EXPECT_EQ(d->NeedleTailLenText->text(), "-20");
  Type(d->NeedleTailLenText, "-35");
  EXPECT_EQ(Gauge(speedo).NeedleTailLen, -35);
  d->NeedleTaperCheck->click();
  EXPECT_NE(Gauge(speedo).Options & kGaugeUntapered, 0);
  Type(d->NeedleTaperShapeText, "2"); // editing the shape tapers again
  EXPECT_EQ(Gauge(speedo).Options & kGaugeUntapered, 0);
  EXPECT_EQ(Gauge(speedo).TaperShape, 2);
  EXPECT_TRUE(d->NeedleTaperCheck->isChecked());
  d->SmoothMovementCheck->click();
  EXPECT_EQ(Gauge(speedo).Options & kGaugeSmooth, 0);

  // The designer offers the warning colours whatever changes colour.
  EXPECT_TRUE(d->ChangeColor->isEnabled());
  EXPECT_FALSE(d->ChangeNeedleCheck->isChecked());
  d->ChangeNeedleGradientCheck->click();
  EXPECT_EQ(Gauge(speedo).ChangeColorOptions & kGaugeChangeNeedlesAny, kGaugeChangeNeedlesAny);
  EXPECT_TRUE(d->ChangeNeedleCheck->isChecked());
  EXPECT_FALSE(d->ChangeValue2Text->isEnabled());
  PickOn(d, d->ChangeColor2, QColor(255, 160, 0));
  EXPECT_TRUE(d->DoChangeColor2Check->isChecked());
  EXPECT_TRUE(d->ChangeValue2Text->isEnabled());
  EXPECT_EQ(Gauge(speedo).ChangeColor2, 0x00FFA000u);
  // The face-change settings are carried through unseen.
  EXPECT_FALSE(d->ChangeFaceColorCheck->isVisibleTo(d->window()));
  EXPECT_EQ(Gauge(speedo).ChangeColorOptions & kGaugeChangeFaceBand, kGaugeChangeFaceBand);
  EXPECT_EQ(Gauge(speedo).ChangeFaceShade, 40);
  PickOn(d, d->FaceColor, Qt::black);
  EXPECT_EQ(Gauge(speedo).FaceColor2, 0xFF000000u);
}

TEST_F(GaugeDesignerTest, StylesLeaveAndEnterThroughTheDesigner) {
  const uint32_t speedo = DispObjAdd(kDispSpeedo, kNoInput);
  const uint32_t generic = DispObjAdd(kDispGauge, kNoInput);
  wcDispObjGaugeDesign* d = ShowDesigner(speedo);
  Type(d->LabelText, "knots");
  PickOn(d, d->FaceColor, QColor(0, 40, 80));
  d->StyleExportButton->click(); // the save panel cancelled: nothing written
  const std::string night = File("night.qvo");
  EXPECT_FALSE(std::filesystem::exists(night));
  panelAnswers.push_back({QString::fromStdString(night)});
  d->StyleExportButton->click();
  ASSERT_TRUE(messages.empty());
  ASSERT_TRUE(std::filesystem::exists(night));
  panelAnswers.push_back({QString::fromStdString(File("nowhere/night.qvo"))});
  d->StyleExportButton->click();
  EXPECT_EQ(messages.size(), 1u); // an unwritable place is told, not passed over
  EXPECT_EQ(W16ToNSString(Gauge(speedo).Label), "knots");

  d = ShowDesigner(generic);
  panelAnswers.push_back({QString::fromStdString(night)});
  d->StyleButton->click();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(W16ToNSString(Gauge(generic).Label), "knots");
  EXPECT_EQ(Gauge(generic).FaceColor, 0x00002850u);
  EXPECT_EQ(d->LabelText->text(), "knots"); // the window shows what the gauge took
  EXPECT_EQ(d->FaceColor->color(), QColor(0, 40, 80));
  EXPECT_EQ(d->StyleButton->text(), "night");

  // A damaged style and a style of another kind: told, and the gauge kept as it was.
  const GaugeParam before = Gauge(generic);
  std::ifstream in(night, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream(File("cut.qvo"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
  const uint32_t bar = DispObjAdd(kDispBar, kNoInput);
  ASSERT_EQ(DispObjExportStyle(bar, NSStringToWStr(QString::fromStdString(File("bar.qvo"))).c_str()), 0);
  for (const char* name : {"cut.qvo", "bar.qvo"}) {
    const size_t shown = messages.size();
    panelAnswers.push_back({QString::fromStdString(File(name))});
    d->StyleButton->click();
    EXPECT_EQ(messages.size(), shown + 1) << name;
    EXPECT_EQ(std::memcmp(&before, DispObjGetParam(generic), sizeof before), 0) << name;
    EXPECT_EQ(d->LabelText->text(), "knots");
  }
}

TEST_F(GaugeDesignerTest, AStyleExportedFromTheDesignerIsListedByTheGeneralPanelAtOnce) {
  const QString folder = ClearStyleFolder();
  const uint32_t gauge = DispObjAdd(kDispGauge, kNoInput);
  vcDispObjGauge* panel = OpenGauge(gauge);
  QComboBox* styles = Editor()->General()->StyleSelection;
  EXPECT_EQ(Items(styles), QStringList({"(Browse...)"}));
  RunDesigner(panel, [&](wcDispObjGaugeDesign* d) {
    for (const char* name : {"Blue Night", "Amber"}) {
      panelAnswers.push_back({folder + "/" + name + ".qvo"});
      d->StyleExportButton->click();
    }
    // Listed while the designer is still open, without another selection.
    EXPECT_EQ(Items(styles), QStringList({"(Browse...)", "Amber", "Blue Night"}));
    d->CancelButton->click();
  });
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Items(styles), QStringList({"(Browse...)", "Amber", "Blue Night"}));
}
