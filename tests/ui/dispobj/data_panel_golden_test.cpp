// A track map, a time graph, a G-force plot and an embedded image added
// from the toolbox over a logged lap session, edited in their panels, then
// drawn by the renderer: each frame is compared with its golden image
// (tests/golden/ui), and the property window and each panel after the
// edits are written on request (window_shots.h).
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "render/objects/background_bitmap.h"
#include "ui/dispobj/data_panel_fixture.h"
#include "ui/dispobj/vcDispObjEImage.h"
#include "ui/dispobj/vcDispObjGForce.h"
#include "ui/dispobj/vcDispObjTimeGraph.h"
#include "ui/dispobj/vcDispObjTrackMap.h"
#include "ui/support/window_shots.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr float kTime = 3.0f; // in the first timed lap, at speed

} // namespace

class DataPanelGoldenTest : public DataPanelTest {
protected:
  // The window and the panel as the user sees them after the edits.
  void Shoot(QWidget* panel, const QString& name) {
    SaveWindowShot(Editor()->window(), "dispobj_properties_" + name);
    SaveWindowShot(panel, "dispobj_panel_" + name);
  }
  // An upward arrow on a clear ground, as a PNG file; its path.
  std::string WriteArrow() {
    QImage arrow(64, 64, QImage::Format_ARGB32);
    arrow.fill(Qt::transparent);
    QPainter painter(&arrow);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addPolygon(QPolygonF({{32, 4}, {58, 34}, {42, 34}, {42, 60}, {22, 60}, {22, 34}, {6, 34}}));
    painter.fillPath(path, QColor(250, 200, 20));
    painter.end();
    const std::string file = File("arrow.png");
    EXPECT_TRUE(arrow.save(QString::fromStdString(file)));
    return file;
  }
};

TEST_F(DataPanelGoldenTest, EditsInTheDataPanelsDrawAsShown) {
  AddLapSession({4.0, 3.6, 4.2});

  uint32_t map = kNoDispObj;
  auto* mapPanel = AddAndOpen<vcDispObjTrackMap>(kDispTrackMap, kPanelTrackMap, &map);
  Pick(mapPanel->LapSelection, "All");
  PickColour(mapPanel->LineColor, QColor(30, 60, 200));
  mapPanel->LowCheck->click(); // the derived darker shade for slow stretches
  Type(mapPanel->LineSizeText, "20");
  Pick(mapPanel->StartStyleSelection, "Checker 1");
  Type(mapPanel->StartSizeText, "28");
  PickColour(mapPanel->PosColor, QColor(255, 140, 0));
  Type(mapPanel->PosSizeText, "30");
  mapPanel->DoGhostCheck->click();
  PlaceWithPanel(25, 5, 50, 90);
  Shoot(mapPanel, "trackmap");
  ExpectAlone(map, "track_map_panel", kTime);

  uint32_t graph = kNoDispObj;
  auto* graphPanel = AddAndOpen<vcDispObjTimeGraph>(kDispTimeGraph, kPanelTimeGraph, &graph);
  Pick(graphPanel->FieldSelection, "Speed (km/h)");
  Type(graphPanel->TimeSpanText, "2.5");
  graphPanel->MinManualCheck->click();
  graphPanel->MaxManualCheck->click();
  Type(graphPanel->MaxText, "80");
  Type(graphPanel->LabelText, "SPEED");
  PickColour(graphPanel->LineColor, QColor(0, 150, 60));
  Type(graphPanel->ThicknessText, "4");
  graphPanel->DoAxisCheck->click();
  Type(graphPanel->AxisIntervalText, "20");
  Type(graphPanel->GraphThicknessText, "70");
  PlaceWithPanel(5, 20, 90, 60);
  Shoot(graphPanel, "timegraph");
  ExpectAlone(graph, "time_graph_panel", kTime);

  uint32_t plot = kNoDispObj;
  auto* plotPanel = AddAndOpen<vcDispObjGForce>(kDispGForce, kPanelGForce, &plot);
  plotPanel->DoCirclesCheck->click();
  PickColour(plotPanel->BackColor, QColor(20, 24, 40));
  plotPanel->DoShadowCheck->click();
  Type(plotPanel->RangeXText, "5");
  Type(plotPanel->RangeYText, "5");
  Type(plotPanel->LineSizeText, "16");
  plotPanel->DoFadeCheck->click();
  PlaceWithPanel(30, 5, 40, 90);
  Shoot(plotPanel, "gforce");
  ExpectAlone(plot, "gforce_panel", kTime);

  uint32_t image = kNoDispObj;
  auto* imagePanel = AddAndOpen<vcDispObjEImage>(kDispEImage, kPanelEImage, &image);
  ASSERT_EQ(DispObjBitmapImport(image, NSStringToWStr(QString::fromStdString(WriteArrow())).c_str()), 0);
  Pick(imagePanel->ModeSelection, "Data: Proportional");
  Pick(imagePanel->FieldSelection, "Speed (km/h)");
  Type(imagePanel->MaxInputText, "80");
  Type(imagePanel->MaxOutputText, "90");
  Pick(imagePanel->OutputTypeSelection, "Rotation");
  PlaceWithPanel(35, 10, 30, 80);
  Shoot(imagePanel, "eimage");
  ExpectAlone(image, "eimage_panel", kTime);
}
