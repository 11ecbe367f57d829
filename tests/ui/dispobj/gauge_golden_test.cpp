// Five gauges added from the toolbox and designed in the gauge designer
// opened from the gauge panel, the way a user builds them: a speedometer,
// a tachometer with a red zone, a two-part scale, a bar-mode gauge and a
// digital readout. Each designer preview (the real renderer through the
// simple previews) is compared with its golden image (tests/golden/ui).
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "support/golden.h"
#include "ui/dispobj/gauge_fixture.h"

namespace {

constexpr double kTime = 7.0; // the ramp log stands at 70 km/h and 6500 rpm

// The view's picture as a bottom-up frame for the golden comparison.
std::vector<uint32_t> Frame(const QImage& shown) {
  const QImage image = shown.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  std::vector<uint32_t> frame(static_cast<size_t>(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image.constScanLine(image.height() - 1 - y));
    std::copy(row, row + image.width(), frame.begin() + static_cast<ptrdiff_t>(y) * image.width());
  }
  return frame;
}

} // namespace

class GaugeGoldenTest : public GaugeTest {
protected:
  // Adds the gauge from the toolbox, opens the designer from its panel,
  // lets design run, waits for the preview of the last change, compares
  // it and presses OK.
  uint32_t Design(uint32_t type, const std::string& golden, const std::function<void(wcDispObjGaugeDesign*)>& design) {
    const uint32_t object = AddFromToolbox(type);
    auto* panel = static_cast<vcDispObjGauge*>(Editor()->Panel(kPanelGauge));
    EXPECT_FALSE(panel->isHidden());
    onModal = [&](WindowController* w) {
      auto* d = static_cast<wcDispObjGaugeDesign*>(w);
      EXPECT_TRUE(DesignerUp(d));
      design(d);
      const int before = d->PreviewImage->framesReceived();
      d->Pages->setCurrentIndex(0);
      Type(d->SweepDegText, d->SweepDegText->text()); // one more write and preview, as the last edit
      EXPECT_TRUE(SpinUntil([d, before]() { return d->PreviewImage->framesReceived() > before; }));
      const QImage picture = d->PreviewImage->image();
      EXPECT_EQ(CompareGoldenIn("ui", golden, Frame(picture), picture.width(), picture.height()), "");
      d->OkButton->click();
      return 0;
    };
    panel->GaugeDesignerButton->click();
    onModal = nullptr;
    EXPECT_TRUE(app->windows().wndDispObjGaugeDesign()->Success());
    return object;
  }
};

TEST_F(GaugeGoldenTest, FiveDesignedGaugesPreviewAsGolden) {
  AddRampLog();
  main->setPreviewTime(kTime);

  Design(kDispSpeedo, "gauge_designed_speedometer", [](wcDispObjGaugeDesign* d) {
    Type(d->MaxText, "120");
    Type(d->SweepDegText, "270");
    PickOn(d, d->FaceColor, QColor(24, 26, 30));
    d->DoFaceGradientCheck->click();
    PickOn(d, d->MarkColor, QColor(235, 235, 235));
    PickOn(d, d->LabelColor, QColor(235, 235, 235));
    Type(d->LabelText, "mph"); // the speedometer reads the project's speed unit
    PickOn(d, d->NeedleColor, QColor(255, 120, 0));
    PickOn(d, d->NumberColor, QColor(255, 120, 0));
    Type(d->NumberSizeText, "44");
    d->NumberBoldCheck->click();
  });

  const uint32_t tacho = Design(kDispTacho, "gauge_designed_tachometer_red_zone", [](wcDispObjGaugeDesign* d) {
    Type(d->ChangeValueText, "6000");
    PickOn(d, d->ChangeColor, QColor(220, 0, 0));
    PickOn(d, d->ChangeColor2, QColor(255, 170, 0));
    Type(d->ChangeValue2Text, "5000");
    d->ChangeNeedleCheck->click();
    Pick(d->MarkTypeSelection, "Square");
    Type(d->MarkSizeText, "9");
    Pick(d->MarkSmallTypeSelection, "Dot");
    Pick(d->MarkNumbersUnitsSelection, "x1000");
    d->NeedleTaperCheck->click();
  });
  EXPECT_EQ(Param<GaugeParam>(tacho).ChangeColorOptions, kGaugeChangeMarks | kGaugeChangeNeedles);

  Design(kDispGauge, "gauge_designed_two_part", [](wcDispObjGaugeDesign* d) {
    Pick(d->FieldSelection, "Speed (km/h)");
    d->MinManualCheck->click();
    d->MaxManualCheck->click();
    Type(d->MaxText, "200");
    Type(d->SweepDegText, "240");
    d->StepMidCheck->click();
    Type(d->StepMidText, "60");
    Type(d->StepMidAngleText, "150");
    d->MarkIntervalButton->click();
    Type(d->MarkIntervalText, "20");
    Type(d->MarkSmallIntervalText, "10");
    d->MarkNumbersCheck->click();
    d->MarkNumbersMinMaxCheck->click();
    Type(d->IntervalSizeText, "40");
    Type(d->LabelText, "km/h");
    Type(d->LabelSizeText, "26");
    d->DoNumberDecimalCheck->click();
    d->DoNumberCheck->click();
  });

  Design(kDispSpeedo, "gauge_designed_bar_mode", [](wcDispObjGaugeDesign* d) {
    Pick(d->ModeSelection, "Graph");
    PickOn(d, d->NeedleColor, QColor(0, 170, 90));
    PickOn(d, d->NeedleBackColor, QColor(60, 60, 60));
    Type(d->NeedleSizeText, "8");
    d->CcwCheck->click();
    d->StartDegManualCheck->click();
    Type(d->StartDegText, "45");
    Pick(d->MarkTypeSelection, "Dot");
    Pick(d->MarkSmallTypeSelection, "None");
    d->DoTrimCheck->click();
  });

  Design(kDispSpeedo, "gauge_designed_digital_readout", [](wcDispObjGaugeDesign* d) {
    Pick(d->MarkTypeSelection, "None");
    Pick(d->MarkSmallTypeSelection, "None");
    d->MarkNumbersCheck->click();
    d->DoLabelCheck->click();
    PickOn(d, d->NeedleColor, QColor(255, 255, 255));
    d->DoTrimCheck->click();
    d->NeedleTaperCheck->click();
    Type(d->NeedleTipLenText, "0"); // no needle: the readout alone
    Type(d->NeedleCenterSizeText, "0");
    PickOn(d, d->FaceColor, QColor(10, 10, 40));
    PickOn(d, d->NumberColor, QColor(80, 255, 120));
    Type(static_cast<TextField*>(d->NumberFontSelection->lineEdit()), "DejaVu Sans Mono");
    Type(d->NumberSizeText, "90");
    d->NumberPosAutoCheck->click();
    Type(d->NumberPosYText, "170");
    Type(d->ChangeValueText, "999"); // the warning band of the face beyond the scale
  });
}
