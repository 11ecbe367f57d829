// A text, a text data, a shape and a bar graph added from the toolbox and
// edited in their panels, then drawn by the renderer: each frame is
// compared with its golden image (tests/golden/ui), and the property
// window after the edits is written on request (window_shots.h).
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

#include "ui/dispobj/kind_panel_fixture.h"
#include "ui/dispobj/vcDispObjBar.h"
#include "ui/dispobj/vcDispObjShape.h"
#include "ui/dispobj/vcDispObjText.h"
#include "ui/support/window_shots.h"

namespace {

constexpr float kTime = 4.0f; // the ramp log stands at 40 km/h

} // namespace

class KindPanelGoldenTest : public KindPanelTest {
protected:
  uint32_t AddAndShow(uint32_t type) {
    const uint32_t object = AddFromToolbox(type);
    EXPECT_EQ(Editor()->OurIndex(), object); // the property window has it
    EXPECT_TRUE(Editor()->window()->isVisible());
    return object;
  }
  template <class Panel> Panel* Shown(DispPanel bit) {
    auto* panel = static_cast<Panel*>(Editor()->Panel(bit));
    EXPECT_FALSE(panel->isHidden());
    return panel;
  }
};

TEST_F(KindPanelGoldenTest, EditsInTheKindPanelsDrawAsShown) {
  const uint32_t data = AddRampLog();
  main->DispObjRefresh(kNoDispObj);

  const uint32_t text = AddAndShow(kDispText);
  auto* textPanel = Shown<vcDispObjText>(kPanelText);
  textPanel->Text->setPlainText("Pit lane\nopen");
  Pick(textPanel->FontSelection, "DejaVu Sans");
  Type(textPanel->SizeText, "40");
  textPanel->BoldCheck->click();
  textPanel->ItalicCheck->click();
  PickColour(textPanel->Color, QColor(255, 200, 0));
  textPanel->LeftButton->click();
  textPanel->AutoSizeCheck->click();
  PlaceWithPanel(8, 15, 84, 70);
  SaveWindowShot(Editor()->window(), "dispobj_properties_text");
  ExpectAlone(text, "text_panel_text", kTime);

  const uint32_t readout = AddAndShow(kDispTextData);
  ASSERT_EQ(DispObjGet(readout)->InputID, data);
  auto* dataPanel = Shown<vcDispObjText>(kPanelText);
  Pick(dataPanel->FieldSelection, "Speed (km/h)");
  Pick(dataPanel->ModeSelection, "Number & Text");
  dataPanel->Text->setPlainText(" km/h");
  Type(dataPanel->DigitsText, "3");
  Type(dataPanel->DecimalsText, "1");
  Type(dataPanel->SizeText, "44");
  PickColour(dataPanel->Color, QColor(80, 230, 120));
  PlaceWithPanel(10, 35, 80, 30);
  SaveWindowShot(Editor()->window(), "dispobj_properties_textdata");
  ExpectAlone(readout, "text_panel_data", kTime);

  const uint32_t shape = AddAndShow(kDispShape);
  auto* shapePanel = Shown<vcDispObjShape>(kPanelShape);
  Pick(shapePanel->ShapeSelection, "Rounder Rectangle");
  PickColour(shapePanel->FillColor, QColor(200, 30, 40));
  PickColour(shapePanel->LineColor, QColor(240, 240, 240));
  Type(shapePanel->LineSizeText, "8");
  PlaceWithPanel(20, 20, 60, 60);
  SaveWindowShot(Editor()->window(), "dispobj_properties_shape");
  ExpectAlone(shape, "shape_panel", kTime);

  const uint32_t bar = AddAndShow(kDispBar);
  ASSERT_EQ(DispObjGet(bar)->InputID, data);
  auto* barPanel = Shown<vcDispObjBar>(kPanelBar);
  Pick(barPanel->FieldSelection, "Speed (km/h)");
  barPanel->MinManualCheck->click();
  barPanel->MaxManualCheck->click();
  Type(barPanel->MaxText, "80");
  barPanel->HorizontalCheck->click();
  PickColour(barPanel->FillColor, QColor(0, 160, 60));
  Type(barPanel->LabelText, "SPD");
  Type(barPanel->LabelSizeText, "40");
  barPanel->NumberDecimalCheck->click();
  Type(barPanel->ThicknessText, "60");
  PlaceWithPanel(5, 30, 90, 40);
  SaveWindowShot(Editor()->window(), "dispobj_properties_bar");
  ExpectAlone(bar, "bar_panel", kTime);
}
