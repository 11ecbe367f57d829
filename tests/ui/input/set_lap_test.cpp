// The start/finish line window, opened from the data group of the input
// properties window on a generated lap session: where the slider opens,
// the tolerances, stepping, OK cutting the laps at the new point, the
// typed mode storing at once, Cancel putting everything back and Undo
// handing the laps back to the log.
#include <QCheckBox>
#include <QRadioButton>

#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/real_slider.h"
#include "ui/input/data_fixture.h"
#include "ui/input/wcInputSetLap.h"

namespace {

constexpr uint32_t kQueryLapCount = 7, kQueryLapStart = 8, kQuerySpanX = 22, kQuerySpanY = 23;

QString Seven(double value) { return QString::asprintf("%.07f", value); }

// The bounding box of the pixels of one hue that stands well clear of the
// others: the map's marks are the only coloured pixels of its preview.
QRect MarkBox(const QImage& image, int channel) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
      if (c[channel] > c[(channel + 1) % 3] + 80 && c[channel] > c[(channel + 2) % 3] + 80)
        box |= QRect(x, y, 1, 1);
    }
  return box;
}

} // namespace

class SetLapTest : public DataWindowTest {
protected:
  // From the main window: the input's properties, the data group's
  // start/finish button, the part in the start/finish window; then OK on
  // the properties.
  void SetUpLine(uint32_t input, const std::function<void(wcInputSetLap*)>& part,
                 const std::function<void(WindowController*)>& after = {}) {
    Play({{"wcInputEdit",
           [after](WindowController* w) {
             Click(Child<QPushButton>(w, "LapManual"));
             if (after) after(w);
             Click(Child<QPushButton>(w, "OkButton"));
           }},
          {"wcInputSetLap", [part](WindowController* w) { part(static_cast<wcInputSetLap*>(w)); }}});
    main->InputEdit(input);
  }
  void StorePoint(uint32_t input, double t) {
    DataStruct data = *InputGetData(input);
    data.LapX = session.longitudeAt(t);
    data.LapY = session.latitudeAt(t);
    data.LapTolX = data.LapTolY = 0;
    data.LapHeadTol = 0;
    ASSERT_EQ(InputSetData(input, &data), 0);
  }
};

TEST_F(SetLapTest, TheSliderOpensAtTheNearestLapAndOkCutsTheLapsThere) {
  const uint32_t log = AddSession();
  // The course takes 84 s a round: the second lap starts nearest this point.
  ASSERT_NO_FATAL_FAILURE(StorePoint(log, session.lapStart(2)));
  const double spanX = Value(log, kQuerySpanX, 0), spanY = Value(log, kQuerySpanY, 0);
  ASSERT_GT(spanX, 0.005);
  double taken = 0;
  SetUpLine(
      log,
      [&](wcInputSetLap* w) {
        EXPECT_TRUE(Child<QRadioButton>(w, "SliderModeButton")->isChecked());
        EXPECT_NEAR(w->PreviewTime(), session.lapStart(2), 1e-3);
        EXPECT_NEAR(Child<RealSlider>(w, "TimeSlider")->value(), session.lapStart(2), 1e-3);
        EXPECT_FALSE(Child<TextField>(w, "PosXText")->isEnabled()) << "the slider gives the point";
        EXPECT_EQ(Child<TextField>(w, "HeadTolText")->text(), "30.0") << "a tolerance below 0.1 becomes 30";
        EXPECT_EQ(Child<TextField>(w, "PosXTolText")->text(), Seven(spanX / 40)) << "not yet set: a fortieth";
        EXPECT_EQ(Child<TextField>(w, "PosYTolText")->text(), Seven(spanY / 40));
        Type(Child<TextField>(w, "PosXTolText"), "0.0003");
        EXPECT_EQ(Child<TextField>(w, "PosXTolText")->text(), "0.0003000");
        Type(Child<TextField>(w, "PosYTolText"), "5");
        EXPECT_EQ(Child<TextField>(w, "PosYTolText")->text(), Seven(spanY / 4)) << "held to a quarter of the span";
        Click(Child<QPushButton>(w, "PosYTolReset"));
        EXPECT_EQ(Child<TextField>(w, "PosYTolText")->text(), Seven(spanY / 40));
        Click(Child<QPushButton>(w, "StepForward"));
        Click(Child<QPushButton>(w, "StepForward"));
        Click(Child<QPushButton>(w, "StepBackward"));
        taken = w->PreviewTime();
        EXPECT_NEAR(taken, session.lapStart(2) + 0.1, 1e-6);
        EXPECT_EQ(Child<TextField>(w, "PosXText")->text(), Seven(Value(log, 1, taken)));
        EXPECT_EQ(InputGetData(log)->LapManual, 0x02) << "the slider stores nothing before OK";
        Shot(w, "set-lap-slider");
        // The start/finish line (green) and the position dot (red) read at
        // a glance on the small map.
        const QImage& preview = Child<NSImageViewCustom>(w, "PreviewImage")->image();
        ASSERT_FALSE(preview.isNull());
        const QRect dot = MarkBox(preview, 0), line = MarkBox(preview, 1);
        EXPECT_GE(std::min(dot.width(), dot.height()), 9) << "dot " << dot.width() << "x" << dot.height();
        EXPECT_GE(std::max(line.width(), line.height()), 14) << "line " << line.width() << "x" << line.height();
        EXPECT_GE(std::min(line.width(), line.height()), 3) << "line " << line.width() << "x" << line.height();
        EXPECT_LE((dot.center() - line.center()).manhattanLength(), 12) << "both mark the same point";
        Click(Child<QPushButton>(w, "OkButton"));
      },
      [](WindowController* w) {
        EXPECT_EQ(Child<QComboBox>(w, "LapSelection")->currentText(), "(Manual)")
            << "the properties show the hand-set line";
      });
  const DataStruct set = *InputGetData(log);
  EXPECT_EQ(set.LapManual, 0x03);
  EXPECT_DOUBLE_EQ(set.LapX, Value(log, 1, taken));
  EXPECT_DOUBLE_EQ(set.LapTolX, 0.0003);
  EXPECT_DOUBLE_EQ(set.LapTolY, Seven(spanY / 40).toDouble()) << "OK takes the tolerances as shown";
  EXPECT_FLOAT_EQ(set.LapHeadTol, 30.0f);
  // Laps are now cut where the course passes the new point, once a round.
  EXPECT_EQ(Value(log, kQueryLapCount, 0), 3.0);
  EXPECT_NEAR(Value(log, kQueryLapStart, 2), taken, 0.15);
  EXPECT_NEAR(Value(log, kQueryLapStart, 3), taken + session.roundSeconds, 0.15);
}

TEST_F(SetLapTest, TypedPointsAreStoredAtOnceCancelRestoresAndUndoGivesTheLogItsLaps) {
  const uint32_t log = AddSession();
  ASSERT_NO_FATAL_FAILURE(StorePoint(log, 40.0));
  DataStruct opened = *InputGetData(log);
  opened.LapManual = 0x86; // typed by hand, GPS-enhanced and a bit of another setting
  opened.LapHeading = 123.46f;
  ASSERT_EQ(InputSetData(log, &opened), 0);

  SetUpLine(log, [&](wcInputSetLap* w) {
    EXPECT_TRUE(Child<QRadioButton>(w, "ManualModeButton")->isChecked());
    EXPECT_FALSE(w->UseSlider());
    EXPECT_TRUE(Child<TextField>(w, "PosXText")->isEnabled());
    EXPECT_FALSE(Child<RealSlider>(w, "TimeSlider")->isEnabled());
    EXPECT_EQ(Child<TextField>(w, "PosXText")->text(), Seven(opened.LapX));
    EXPECT_EQ(Child<TextField>(w, "HeadingText")->text(), "123.5");
    // The point as the fields show it is stored at once, set by hand.
    EXPECT_EQ(InputGetData(log)->LapManual, 0x87);
    EXPECT_DOUBLE_EQ(InputGetData(log)->LapX, Child<TextField>(w, "PosXText")->text().toDouble());
    EXPECT_FLOAT_EQ(InputGetData(log)->LapHeading, 123.5f);
    Type(Child<TextField>(w, "PosXText"), Seven(session.longitudeAt(10.0)));
    EXPECT_NEAR(InputGetData(log)->LapX, session.longitudeAt(10.0), 1e-7);
    Click(Child<QCheckBox>(w, "HeadingAutoCheck"));
    EXPECT_FLOAT_EQ(InputGetData(log)->LapHeading, -1.0f);
    Click(Child<QCheckBox>(w, "GpsEnhancedCheck"));
    EXPECT_EQ(InputGetData(log)->LapManual, 0x85);
    Shot(w, "set-lap-typed");
    Click(Child<QPushButton>(w, "CancelButton"));
  });
  const DataStruct afterCancel = *InputGetData(log);
  EXPECT_EQ(afterCancel.LapManual, 0x86);
  EXPECT_DOUBLE_EQ(afterCancel.LapX, opened.LapX);
  EXPECT_FLOAT_EQ(afterCancel.LapHeading, 123.46f);

  // Undo drops the hand-set line and every other change, keeps the rest.
  SetUpLine(log, [&](wcInputSetLap* w) {
    Click(Child<QRadioButton>(w, "SliderModeButton"));
    EXPECT_TRUE(w->UseSlider());
    Click(Child<QRadioButton>(w, "ManualModeButton"));
    Type(Child<TextField>(w, "HeadingText"), "90");
    Click(Child<QPushButton>(w, "UndoStartFinishButton"));
  });
  const DataStruct undone = *InputGetData(log);
  EXPECT_EQ(undone.LapManual, 0x06);
  EXPECT_FLOAT_EQ(undone.LapHeading, 123.46f) << "every other change of the window is dropped";
  EXPECT_EQ(Value(log, kQueryLapCount, 0), 3.0);
  EXPECT_NEAR(Value(log, kQueryLapStart, 2), session.lapStart(2), 1e-6) << "laps from the log's lap column";
}
