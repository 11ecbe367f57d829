// The shape and bar graph panels with the real engine: a new object's
// defaults, element switches that keep their colours, the line rule of
// shapes, and the bar's automatic range ends, its checks that pull each
// other along, the derived shading colour and the channel label.
#include <QCheckBox>
#include <QLabel>

#include "ui/controls/real_stepper.h"
#include "ui/dispobj/kind_panel_fixture.h"
#include "ui/dispobj/vcDispObjBar.h"
#include "ui/dispobj/vcDispObjShape.h"

class ShapeBarPanelTest : public KindPanelTest {
protected:
  vcDispObjShape* OpenShape(uint32_t object) { return Open<vcDispObjShape>(object, kPanelShape); }
  vcDispObjBar* OpenBar(uint32_t object) { return Open<vcDispObjBar>(object, kPanelBar); }
  static ShapeStruct Shape(uint32_t object) { return Param<ShapeStruct>(object); }
  static BarParam Bar(uint32_t object) { return Param<BarParam>(object); }
};

TEST_F(ShapeBarPanelTest, ShapeDefaultsSwitchesAndTheLineRule) {
  const uint32_t object = DispObjAdd(kDispShape, kNoInput);
  vcDispObjShape* panel = OpenShape(object);
  EXPECT_EQ(Items(panel->ShapeSelection), QStringList({"Circle", "Rectangle", "Rounded Rectangle", "Rounder Rectangle"}));
  EXPECT_EQ(panel->ShapeSelection->currentText(), "Rectangle");
  EXPECT_TRUE(panel->DoFillCheck->isChecked());
  EXPECT_TRUE(panel->DoLineCheck->isChecked());
  EXPECT_TRUE(panel->HighResCheck->isChecked());
  EXPECT_EQ(panel->LineSizeText->text(), "2");
  EXPECT_TRUE(panel->FillColor->color() == QColor(0, 0, 0xF0));

  // Off keeps the colour, on brings it back.
  panel->DoFillCheck->click();
  EXPECT_EQ(Shape(object).FillColor, 0xFF0000F0u);
  panel->DoFillCheck->click();
  EXPECT_EQ(Shape(object).FillColor, 0x000000F0u);
  // A colour picked while the fill is off turns it on.
  panel->DoFillCheck->click();
  PickColour(panel->FillColor, QColor(200, 30, 40));
  EXPECT_TRUE(panel->DoFillCheck->isChecked());
  EXPECT_EQ(Shape(object).FillColor, 0x00C81E28u);

  Pick(panel->ShapeSelection, "Circle");
  EXPECT_EQ(Shape(object).Shape, kShapeCircle);
  Pick(panel->ShapeSelection, "Rounder Rectangle");
  EXPECT_EQ(Shape(object).Shape, kShapeRounder);
  EXPECT_EQ(vcDispObjShape::ShapeCodeOf("Hexagon"), kShapeRectangle);
  Type(panel->LineSizeText, "7");
  EXPECT_EQ(Shape(object).LineSize, 7);
  EditParam<ShapeStruct>(object, [](ShapeStruct& s) { s.Options |= 0x01; });
  panel = OpenShape(object);
  panel->HighResCheck->click();
  EXPECT_EQ(Shape(object).Options, 0x01); // other bits kept

  // A line from a style: no entry in the list, and never without outline.
  EditParam<ShapeStruct>(object, [](ShapeStruct& s) { s.Shape = kShapeLineNeSw; });
  panel = OpenShape(object);
  EXPECT_EQ(panel->ShapeSelection->currentIndex(), -1);
  panel->DoLineCheck->click();
  EXPECT_TRUE(panel->DoLineCheck->isChecked());
  EXPECT_EQ(Shape(object).LineColor, 0x00FFFFFFu);
  EXPECT_EQ(Shape(object).Shape, kShapeLineNeSw);
}

TEST_F(ShapeBarPanelTest, BarRangeEndsAndTheChecksThatPullEachOtherAlong) {
  const uint32_t object = DispObjAdd(kDispBar, kNoInput);
  vcDispObjBar* panel = OpenBar(object);
  EXPECT_FALSE(panel->MinManualCheck->isChecked());
  EXPECT_FALSE(panel->MaxManualCheck->isChecked());
  EXPECT_EQ(panel->MinText->text(), "0.0");
  EXPECT_EQ(panel->MaxText->text(), "100.0");
  EXPECT_FALSE(panel->MinText->isEnabled());
  EXPECT_TRUE(panel->RoundedCheck->isChecked());
  EXPECT_TRUE(panel->DoBackCheck->isChecked());
  EXPECT_TRUE(panel->HighResCheck->isChecked());
  EXPECT_FALSE(panel->DoFillColor2Check->isChecked());
  EXPECT_FALSE(panel->ModeSelection->isVisibleTo(panel));
  EXPECT_TRUE(panel->BarLabel->isVisibleTo(panel));
  EXPECT_TRUE(IsRed(panel->FieldLabel)); // no input

  panel->MinManualCheck->click();
  EXPECT_EQ(Bar(object).Min, 0.0);
  Type(panel->MinText, "-20.5");
  EXPECT_EQ(Bar(object).Min, -20.5);
  panel->MinManualCheck->click();
  EXPECT_EQ(Bar(object).Min, kRangeAutoMin);
  panel->MaxManualCheck->click();
  Type(panel->MaxText, "180");
  EXPECT_EQ(Bar(object).Max, 180.0);
  panel->MaxManualCheck->click();
  EXPECT_EQ(Bar(object).Max, kRangeAutoMax);

  // No background, no rounded corners; rounded corners bring it back.
  panel->DoBackCheck->click();
  EXPECT_FALSE(panel->RoundedCheck->isChecked());
  EXPECT_EQ(Bar(object).Options & kBarRounded, 0);
  EXPECT_EQ(Bar(object).BackColor, 0xFFF7F7F7u);
  panel->RoundedCheck->click();
  EXPECT_TRUE(panel->DoBackCheck->isChecked());
  EXPECT_NE(Bar(object).Options & kBarRounded, 0);
  EXPECT_EQ(Bar(object).BackColor, 0x00F7F7F7u);

  // Sizes and decimals show the element they belong to.
  EditParam<BarParam>(object, [](BarParam& b) {
    b.NumberColor |= kColorOff;
    b.TrimColor |= kColorOff;
    b.LabelColor |= kColorOff;
  });
  panel = OpenBar(object);
  EXPECT_FALSE(panel->DoNumberCheck->isChecked());
  Type(panel->NumberSizeText, "40");
  EXPECT_TRUE(panel->DoNumberCheck->isChecked());
  EXPECT_FALSE(ColorIsOff(Bar(object).NumberColor));
  EXPECT_FLOAT_EQ(Bar(object).NumberSize, 40);
  panel->DoNumberCheck->click();
  panel->NumberDecimalCheck->click();
  EXPECT_FALSE(ColorIsOff(Bar(object).NumberColor));
  EXPECT_NE(Bar(object).Options & kBarTwoDecimals, 0);
  Type(panel->TrimSizeText, "5");
  EXPECT_EQ(Bar(object).TrimSize, 5);
  EXPECT_FALSE(ColorIsOff(Bar(object).TrimColor));
  Type(panel->LabelText, "SPEED");
  EXPECT_EQ(QString::fromUtf16(Bar(object).Label), "SPEED");
  EXPECT_FALSE(ColorIsOff(Bar(object).LabelColor));
  panel->HorizontalCheck->click();
  panel->FlipCheck->click();
  Type(panel->ThicknessText, "70");
  const BarParam b = Bar(object);
  EXPECT_EQ(b.Options, kBarFlip | kBarTwoDecimals | kBarRounded | kBarHorizontal | kBarHighRes);
  EXPECT_EQ(b.Thickness, 70);
  // A reload shows the decimals as stored.
  panel = OpenBar(object);
  EXPECT_TRUE(panel->NumberDecimalCheck->isChecked());
  EXPECT_TRUE(panel->HorizontalCheck->isChecked());
  EXPECT_EQ(panel->ThicknessText->text(), "70");
}

TEST_F(ShapeBarPanelTest, BarShadingFollowsTheFillUntilChosenAndTheChannelLabelWarns) {
  const uint32_t data = AddRampLog();
  const uint32_t object = DispObjAdd(kDispBar, data);
  vcDispObjBar* panel = OpenBar(object);
  EXPECT_EQ(panel->FieldSelection->itemText(0), "(None)");
  EXPECT_TRUE(Items(panel->FieldSelection).contains("RPM"));
  EXPECT_TRUE(IsRed(panel->FieldLabel)); // no channel yet
  Pick(panel->FieldSelection, "RPM");
  EXPECT_EQ(QString::fromUtf16(Bar(object).Field), "RPM");
  EXPECT_FALSE(IsRed(panel->FieldLabel));
  // A name the log does not have is kept, and shown in red.
  Type(static_cast<TextField*>(panel->FieldSelection->lineEdit()), "Oil temperature");
  EXPECT_EQ(QString::fromUtf16(Bar(object).Field), "Oil temperature");
  EXPECT_TRUE(IsRed(panel->FieldLabel));
  Pick(panel->FieldSelection, "(None)");
  EXPECT_EQ(Bar(object).Field[0], 0);

  // The shading colour follows the fill: 0,0,208 gives 0,0,152, marked off.
  PickColour(panel->FillColor, QColor(0, 0, 208));
  EXPECT_EQ(Bar(object).FillColor, 0x000000D0u);
  EXPECT_EQ(Bar(object).FillColor2, 0xFF000098u);
  EXPECT_TRUE(panel->FillColor2->color() == QColor(0, 0, 152));
  PickColour(panel->FillColor, QColor(200, 100, 0));
  EXPECT_EQ(Bar(object).FillColor2, 0xFF8C2400u);
  // One of the user's own stays when the fill changes.
  PickColour(panel->FillColor2, QColor(10, 20, 30));
  EXPECT_TRUE(panel->DoFillColor2Check->isChecked());
  EXPECT_EQ(Bar(object).FillColor2, 0x000A141Eu);
  PickColour(panel->FillColor, QColor(0, 0, 208));
  EXPECT_EQ(Bar(object).FillColor2, 0x000A141Eu);
  EXPECT_TRUE(panel->FillColor2->color() == QColor(10, 20, 30));
  panel->DoFillColor2Check->click();
  EXPECT_EQ(Bar(object).FillColor2, 0xFF0A141Eu);

  PickColour(panel->BackColor, QColor(20, 20, 20));
  PickColour(panel->TrimColor, QColor(250, 250, 250));
  EXPECT_EQ(Bar(object).BackColor, 0x00141414u);
  EXPECT_EQ(Bar(object).TrimColor, 0x00FAFAFAu);
}
