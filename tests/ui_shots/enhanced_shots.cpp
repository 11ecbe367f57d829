// The scripted-object panel and both pages of its script editor.
#include <QPushButton>
#include <cstring>

#include "ui/dispobj/enhanced_fixture.h"
#include "ui/support/window_shots.h"

TEST_F(EnhancedTest, ThePanelAndTheEditor) {
  const uint32_t input = AddRampLog();
  auto record = Sample();
  record->ColorCount = 4;
  record->Options |= kEnhTrigger;
  FieldCopy(record->ColorName[1], kEnhNameUnits, u"Warning");
  FieldCopy(record->Field, kNameLength, u"RPM");
  std::strcpy(record->ForeScript, "-- needle from the channel's value\nlocal v = value()\nneedle(v, colour('A'))\n");
  const uint32_t object = AddScripted(*record, input);
  auto* panel = Open<vcDispObjEnhanced>(object, kPanelEnhanced);
  Spin(50);
  SaveWindowShot(Editor()->window(), "dispobj_enhanced_panel");
  EditScripts(panel, [&](wcDispObjEnhEdit* e) {
    Spin(50);
    SaveWindowShot(e->window(), "dispobj_enhanced_editor_parameters");
    e->ViewForeScriptButton->click();
    Spin(50);
    SaveWindowShot(e->window(), "dispobj_enhanced_editor_script");
    e->ViewParamButton->click();
    e->CancelButton_Pressed();
  });
  Editor()->close();
}
