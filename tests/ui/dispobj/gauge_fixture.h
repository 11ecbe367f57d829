#pragma once
// The gauge panel and the gauge designer with the launched program: the
// panel opened as the property window shows it, the designer opened from
// the panel's button (its modal run played by the test) or loaded alone,
// and the user's hands on the designer's pages.
#include <QPushButton>
#include <QTabWidget>
#include <functional>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/dispobj/kind_panel_fixture.h"
#include "ui/dispobj/vcDispObjGauge.h"
#include "ui/dispobj/wcDispObjGaugeDesign.h"

class GaugeTest : public KindPanelTest {
protected:
  void TearDown() override {
    if (app != nullptr && Designer() != nullptr) Designer()->close();
    KindPanelTest::TearDown();
  }
  wcDispObjGaugeDesign* Designer() const { return app->windows().wndDispObjGaugeDesign(); }
  vcDispObjGauge* OpenGauge(uint32_t object) { return Open<vcDispObjGauge>(object, kPanelGauge); }
  static GaugeParam Gauge(uint32_t object) { return Param<GaugeParam>(object); }

  // Waits for the designer's window and its first preview.
  static bool DesignerUp(wcDispObjGaugeDesign* designer) {
    designer->showWindow();
    return SpinUntil([designer]() { return designer->PreviewImage->framesReceived() > 0; });
  }
  // Presses the panel's designer button; play runs while the designer is
  // up and must end it (OK, Cancel or the close box).
  void RunDesigner(vcDispObjGauge* panel, const std::function<void(wcDispObjGaugeDesign*)>& play) {
    onModal = [play](WindowController* w) {
      auto* designer = static_cast<wcDispObjGaugeDesign*>(w);
      EXPECT_TRUE(DesignerUp(designer));
      play(designer);
      return 0;
    };
    panel->GaugeDesignerButton->click();
    onModal = nullptr;
  }
  // The designer loaded with the object and shown, without the panel.
  wcDispObjGaugeDesign* ShowDesigner(uint32_t object) {
    EXPECT_TRUE(Designer()->SetData(static_cast<int>(object)));
    EXPECT_TRUE(DesignerUp(Designer()));
    return Designer();
  }
  // Turns to the page that holds the control, as a user must before using it.
  static void Reveal(wcDispObjGaugeDesign* designer, QWidget* control) {
    for (int page = 0; page < designer->Pages->count(); ++page)
      if (designer->Pages->widget(page)->isAncestorOf(control)) designer->Pages->setCurrentIndex(page);
  }
  static void PickOn(wcDispObjGaugeDesign* designer, NSColorWellCustom* well, const QColor& colour) {
    Reveal(designer, well);
    PickColour(well, colour);
  }
};
