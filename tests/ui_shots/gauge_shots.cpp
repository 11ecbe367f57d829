// The gauge panel and every page of the gauge designer.
#include <QPushButton>
#include <QTabWidget>

#include "ui/dispobj/gauge_fixture.h"
#include "ui/support/window_shots.h"

TEST_F(GaugeTest, ThePanelAndEveryDesignerPage) {
  AddRampLog();
  main->setPreviewTime(7.0);
  AddFromToolbox(kDispTacho);
  auto* panel = static_cast<vcDispObjGauge*>(Editor()->Panel(kPanelGauge));
  SaveWindowShot(Editor()->window(), "gauge_panel");
  onModal = [](WindowController* w) {
    auto* d = static_cast<wcDispObjGaugeDesign*>(w);
    EXPECT_TRUE(DesignerUp(d));
    const char* names[] = {"scale", "marks", "text", "needle", "face"};
    for (int page = 0; page < d->Pages->count() && page < 5; ++page) {
      d->Pages->setCurrentIndex(page);
      Spin(30);
      SaveWindowShot(d->window(), QString("gauge_designer_") + names[page]);
    }
    d->CancelButton->click();
    return 0;
  };
  panel->GaugeDesignerButton->click();
  onModal = nullptr;
}
