// The data group of the input properties window, opened from the main
// window on a generated lap session: what a new log shows and how each
// choice is stored, the speed calculator and every custom operation as the
// engine then computes them, and a profile exported from one input and
// imported into another.
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <cstring>

#include "io/files/profile.h"
#include "ui/controls/real_stepper.h"
#include "ui/input/data_fixture.h"
#include "ui/util/ui_utils.h"

namespace {

const QStringList kColumns = {"Time (s)", "Latitude", "Longitude", "Speed (kn)", "Lap", "Water Temp"};
const QStringList kRoleBoxes = {"TimeSelection",    "PosXSelection",    "PosYSelection",   "PosZSelection",
                                "GpsAccSelection",  "LapSelection",     "SpeedSelection",  "HeadingSelection",
                                "RpmSelection",     "GearSelection",    "GForceXSelection", "GForceYSelection",
                                "ThrottleSelection"};
constexpr uint32_t kQuerySpeed = 15;

QString Outlet(const char* base, int row) { return row == 0 ? QString(base) : QString("%1%2").arg(base).arg(row + 1); }

} // namespace

class DataGroupTest : public DataWindowTest {
protected:
  static QComboBox* Box(WindowController* w, const QString& name) {
    return Child<QComboBox>(w, name.toUtf8().constData());
  }
  static TextField* Field(WindowController* w, const QString& name) {
    return Child<TextField>(w, name.toUtf8().constData());
  }
  static bool Enabled(WindowController* w, const char* name) { return Child<QWidget>(w, name)->isEnabled(); }
  // Opens the input's properties from the main window, plays the part and
  // presses OK (when the part left the window open).
  void Edit(uint32_t input, const std::function<void(WindowController*)>& part) {
    Play({{"wcInputEdit", [part](WindowController* w) {
             part(w);
             if (w->window()->isVisible()) Click(Child<QPushButton>(w, "OkButton"));
           }}});
    main->InputEdit(input);
  }
  static void SetCustom(WindowController* w, int row, const QString& name, const QString& source, const QString& op,
                        const QString& value) {
    Type(Field(w, Outlet("CustomName", row)), name);
    Pick(Box(w, Outlet("CustomSelection", row)), source);
    Pick(Box(w, Outlet("CustomOp", row)), op);
    Type(Field(w, Outlet("CustomNum", row)), value);
  }
};

TEST_F(DataGroupTest, ANewLogShowsTheDefaultsAndEveryChoiceIsStoredByItsRule) {
  const uint32_t log = AddSession();
  Edit(log, [](WindowController* w) {
    EXPECT_TRUE(Child<QGroupBox>(w, "DataGroup")->isVisible());
    for (const QString& name : kRoleBoxes) EXPECT_EQ(Box(w, name)->currentText(), "(Automatic)") << name.toStdString();
    EXPECT_EQ(Items(Box(w, "TimeSelection")), QStringList{"(Automatic)"} + kColumns);
    EXPECT_EQ(Items(Box(w, "LapSelection")), (QStringList{"(Automatic)", "(Manual)"} + kColumns));
    EXPECT_EQ(Items(Box(w, "SpeedSelection")), (QStringList{"(Automatic)", "(Calculate MPH)"} + kColumns));
    for (const char* name : {"HeadingSelection", "GearSelection", "GForceXSelection", "GForceYSelection"})
      EXPECT_EQ(Items(Box(w, name)), (QStringList{"(Automatic)", "(Calculate)"} + kColumns)) << name;
    for (int row = 0; row < 4; ++row) {
      EXPECT_EQ(Items(Box(w, Outlet("CustomSelection", row))), QStringList{"(None)"} + kColumns);
      EXPECT_EQ(Box(w, Outlet("CustomSelection", row))->currentText(), "(None)");
      EXPECT_EQ(Box(w, Outlet("CustomOp", row))->currentText(), "Add");
      EXPECT_EQ(Field(w, Outlet("CustomNum", row))->text(), "0.00000");
    }
    EXPECT_EQ(Field(w, "CustomName")->text(), "Custom");
    EXPECT_EQ(Field(w, "CustomName4")->text(), "Custom 4");
    for (const char* name : {"TimeUnitsText", "GpsAccConvText", "SpeedConvText"}) {
      EXPECT_EQ(Field(w, name)->text(), "1.00000") << name;
      EXPECT_FALSE(Field(w, name)->isEnabled()) << name << ": automatic roles take no factor";
    }
    EXPECT_EQ(Box(w, "SpeedFrom")->currentText(), "");
    for (const char* name : {"BoostSampleRateCheck", "BoostSampleRateGpsCheck", "BoostSampleRateCurveCheck"})
      EXPECT_TRUE(Child<QCheckBox>(w, name)->isChecked()) << name;
  });
  const DataStruct stored = *InputGetData(log);
  for (const char16_t* role : {stored.Time, stored.PosX, stored.Lap, stored.Speed, stored.Heading, stored.Throttle})
    EXPECT_EQ(Text(role), "");
  for (const char16_t* source : {stored.CustomInput, stored.CustomInput2, stored.CustomInput3, stored.CustomInput4})
    EXPECT_EQ(Text(source), "(None)");
  EXPECT_EQ(stored.BoostSampleRate, 7);
  EXPECT_TRUE(main->ProjectModified());

  // A time column of its own with its own unit: the window reloads and
  // every time of the input follows the new base.
  const QString longName(70, QChar('T'));
  Edit(log, [&](WindowController* w) {
    Pick(Box(w, "TimeSelection"), "Time (s)");
    EXPECT_TRUE(Field(w, "TimeUnitsText")->isEnabled());
    Type(Field(w, "TimeUnitsText"), "0.5");
    EXPECT_EQ(Field(w, "TimeUnitsText")->text(), "0.50000");
    EXPECT_TRUE(Child<QLabel>(w, "FileInfoLabel")->text().contains("Length: 00:01:25.50"))
        << Child<QLabel>(w, "FileInfoLabel")->text().toStdString();

    Pick(Box(w, "LapSelection"), "(Manual)");
    Pick(Box(w, "HeadingSelection"), "(Calculate)");
    for (const char* name : {"HeadingAdjustText", "HeadingAdjustStepper", "HeadingAdjustLabel", "HeadingFlipCheck"})
      EXPECT_FALSE(Enabled(w, name)) << name;
    TypeChoice(Box(w, "SpeedSelection"), "speed (KN)");
    EXPECT_TRUE(Enabled(w, "SpeedConvText")) << "a chosen speed takes a factor";
    TypeChoice(Box(w, "ThrottleSelection"), longName);
    Type(Field(w, "GearAdjustText"), "2.5");
    EXPECT_EQ(Field(w, "GearAdjustText")->text(), "2");
    Type(Field(w, "LapIgnoreTriggersText"), "300");
    EXPECT_EQ(Field(w, "LapIgnoreTriggersText")->text(), "255") << "held in the stepper's range";
    Click(Child<QCheckBox>(w, "BoostSampleRateCheck"));
    EXPECT_FALSE(Enabled(w, "BoostSampleRateGpsCheck"));
    EXPECT_FALSE(Enabled(w, "BoostSampleRateCurveCheck"));
  });
  const DataStruct chosen = *InputGetData(log);
  EXPECT_EQ(Text(chosen.Time), "Time (s)");
  EXPECT_FLOAT_EQ(chosen.TimeUnits, 0.5f);
  EXPECT_EQ(Text(chosen.Lap), "");
  EXPECT_EQ(chosen.LapManual, 0x03) << "set by hand, the GPS-enhanced bit kept";
  EXPECT_EQ(Text(chosen.Heading), "(Calculate)");
  EXPECT_EQ(Text(chosen.Speed), "speed (KN)") << "stored as typed";
  EXPECT_EQ(Text(chosen.Throttle), longName.left(63));
  EXPECT_EQ(chosen.GearAdjust, 2);
  EXPECT_EQ(chosen.IgnoreFirstLaps, 255);
  EXPECT_EQ(chosen.BoostSampleRate, 6) << "the disabled switches keep their states";
  // The typed name in other letter case still finds the column.
  EXPECT_NEAR(Value(log, kQuerySpeed, 6.0), LapSession::KnotsAt(12.0), 1e-3);

  // Back to automatic laps: only the hand-set bit goes.
  DataStruct typed = chosen;
  typed.LapManual = 0x83;
  ASSERT_EQ(InputSetData(log, &typed), 0);
  Edit(log, [](WindowController* w) {
    EXPECT_EQ(Box(w, "LapSelection")->currentText(), "(Manual)");
    EXPECT_EQ(Box(w, "ThrottleSelection")->currentText(), QString(63, QChar('T')))
        << "a name no column has still shows";
    Pick(Box(w, "LapSelection"), "(Automatic)");
  });
  EXPECT_EQ(InputGetData(log)->LapManual, 0x82);

  // A video that carries data (as projects of cameras with a GPS track
  // hold them) gets every group, and the window still fits a common screen.
  const uint32_t camera = Add(MakeTestVideo(File("camera.mp4")));
  MainStruct withData = *InputGetMain(camera);
  withData.HasData = 1;
  ASSERT_EQ(InputSetMain(camera, &withData), 0);
  Play({{"wcInputEdit", [](WindowController* w) {
           for (const char* group : {"AudioGroup", "PictureGroup", "DataGroup"})
             EXPECT_TRUE(Child<QGroupBox>(w, group)->isVisible()) << group;
           EXPECT_LE(w->window()->width(), 1600);
           EXPECT_LE(w->window()->height(), 1000);
           Shot(w, "input-edit-gps-video");
         }}});
  main->InputEdit(camera);
}

TEST_F(DataGroupTest, TheSpeedCalculatorAndEveryCustomOperationReachTheEngine) {
  const uint32_t log = AddSession();
  double plain = 0;
  Edit(log, [&](WindowController* w) {
    Pick(Box(w, "SpeedSelection"), "Speed (kn)");
    ASSERT_TRUE(Enabled(w, "SpeedFrom") && Enabled(w, "SpeedTo"));
    Pick(Box(w, "SpeedTo"), "m/s");
    EXPECT_EQ(Field(w, "SpeedConvText")->text(), "0.44704") << "an empty side counts as MPH";
    Pick(Box(w, "SpeedFrom"), "MPH");
    Pick(Box(w, "SpeedTo"), "MPH");
    EXPECT_EQ(Field(w, "SpeedConvText")->text(), "1.00000");
    Pick(Box(w, "SpeedFrom"), "km/h");
    EXPECT_EQ(Field(w, "SpeedConvText")->text(), "0.62137");
    Type(Field(w, "SpeedConvText"), "1");
    SetCustom(w, 0, "Plus Ten", "Water Temp", "Add", "10");
    SetCustom(w, 1, "Minus Five", "Water Temp", "Subtract", "5");
    SetCustom(w, 2, "Doubled", "Water Temp", "Multiply", "2");
    SetCustom(w, 3, "Quarter", "Water Temp", "Divide", "4");
  });
  plain = Value(log, kQuerySpeed, 12.0);
  EXPECT_NEAR(plain, LapSession::KnotsAt(12.0), 1e-3);
  const double celsius = DataWindowTest::Field(log, u"Water Temp", 12.0);
  EXPECT_NEAR(celsius, LapSession::CelsiusAt(12.0), 1e-3);
  EXPECT_NEAR(DataWindowTest::Field(log, u"Plus Ten", 12.0), celsius + 10, 1e-6);
  EXPECT_NEAR(DataWindowTest::Field(log, u"Minus Five", 12.0), celsius - 5, 1e-6);
  EXPECT_NEAR(DataWindowTest::Field(log, u"Doubled", 12.0), celsius * 2, 1e-6);
  EXPECT_NEAR(DataWindowTest::Field(log, u"Quarter", 12.0), celsius / 4, 1e-6);

  Edit(log, [](WindowController* w) {
    EXPECT_EQ(Box(w, "SpeedFrom")->currentText(), "") << "the calculator is not stored";
    Pick(Box(w, "SpeedFrom"), "Knots");
    Pick(Box(w, "SpeedTo"), "m/s");
    EXPECT_EQ(Field(w, "SpeedConvText")->text(), "0.51444");
    Pick(Box(w, "CustomOp"), "C --> F");
    Pick(Box(w, "CustomOp2"), "F --> C");
    // A row without a name is off at once; its values stay.
    TextField* name = Field(w, "CustomName4");
    name->setFocus();
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    for (const char* part : {"CustomSelection4", "CustomOp4", "CustomNum4", "CustomLabel4"})
      EXPECT_FALSE(Enabled(w, part)) << part;
    EXPECT_TRUE(Enabled(w, "CustomName4"));
  });
  EXPECT_NEAR(Value(log, kQuerySpeed, 12.0) / plain, 0.51444, 1e-5) << "knots to m/s";
  EXPECT_NEAR(DataWindowTest::Field(log, u"Plus Ten", 12.0), celsius * 9 / 5 + 32, 1e-4);
  EXPECT_NEAR(DataWindowTest::Field(log, u"Minus Five", 12.0), (celsius - 32) * 5 / 9, 1e-4);
  EXPECT_EQ(InputHandlerGetDataFieldIndex(log, u"Quarter"), -1) << "a row without a name gives no channel";
  const DataStruct stored = *InputGetData(log);
  EXPECT_EQ(Text(stored.CustomName4), "");
  EXPECT_EQ(Text(stored.CustomInput4), "Water Temp");
  EXPECT_EQ(stored.CustomOp4, 3);
  EXPECT_FLOAT_EQ(stored.CustomNum4, 4.0f);

  // An operation the table does not know shows as "Add" and is stored as such.
  DataStruct odd = stored;
  odd.CustomOp3 = 9;
  ASSERT_EQ(InputSetData(log, &odd), 0);
  Edit(log, [](WindowController* w) { EXPECT_EQ(Box(w, "CustomOp3")->currentText(), "Add"); });
  EXPECT_EQ(InputGetData(log)->CustomOp3, 0);
}

TEST_F(DataGroupTest, AProfileExportedFromOneInputMapsAnotherThroughTheWindow) {
  const uint32_t first = AddSession("first.csv");
  const uint32_t second = AddSession("second.csv");
  const QString profile = QPath("mapping.qvlc");
  Edit(first, [&](WindowController* w) {
    Pick(Box(w, "SpeedSelection"), "Speed (kn)");
    Pick(Box(w, "SpeedFrom"), "Knots");
    Pick(Box(w, "SpeedTo"), "m/s");
    Pick(Box(w, "HeadingSelection"), "(Calculate)");
    Pick(Box(w, "PosZSelection"), "Water Temp");
    Type(Field(w, "GearAdjustText"), "-1");
    SetCustom(w, 0, "Plus Ten", "Water Temp", "Add", "10");
    // Cancelling the panel writes nothing.
    Click(Child<QPushButton>(w, "DataExport"));
    EXPECT_FALSE(QFile::exists(profile));
    panelAnswers = {{profile}};
    Click(Child<QPushButton>(w, "DataExport"));
  });
  QFile file(profile);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readLine().trimmed(), "QVLC2");
  file.close();
  const DataStruct exported = *InputGetData(first);

  Edit(second, [&](WindowController* w) {
    // Cancelling the import panel still leaves the edits so far in the engine.
    Type(Field(w, "HeadingAdjustText"), "12");
    Click(Child<QPushButton>(w, "DataImport"));
    EXPECT_FLOAT_EQ(InputGetData(second)->HeadingAdjust, 12.0f);
    // A file that is no profile is refused with its reason; nothing changes.
    panelAnswers = {{QPath("second.csv")}};
    Click(Child<QPushButton>(w, "DataImport"));
    EXPECT_EQ(CountMessages(L"Unable to read file"), 1);
    EXPECT_EQ(CountMessages(L"-81"), 1);
    EXPECT_EQ(Field(w, "HeadingAdjustText")->text(), "12.00");
    EXPECT_FLOAT_EQ(InputGetData(second)->HeadingAdjust, 12.0f);
    panelAnswers = {{profile}};
    Click(Child<QPushButton>(w, "DataImport"));
    EXPECT_EQ(Box(w, "SpeedSelection")->currentText(), "Speed (kn)");
    EXPECT_EQ(Field(w, "SpeedConvText")->text(), "0.51444");
    EXPECT_EQ(Box(w, "HeadingSelection")->currentText(), "(Calculate)");
    EXPECT_EQ(Box(w, "PosZSelection")->currentText(), "Water Temp");
    EXPECT_EQ(Field(w, "HeadingAdjustText")->text(), "0.00");
    EXPECT_EQ(Field(w, "GearAdjustText")->text(), "-1");
    EXPECT_EQ(Field(w, "CustomName")->text(), "Plus Ten");
    EXPECT_EQ(Box(w, "CustomSelection")->currentText(), "Water Temp");
    // The log follows the imported mapping before OK.
    EXPECT_NEAR(DataWindowTest::Field(second, u"Plus Ten", 12.0), LapSession::CelsiusAt(12.0) + 10, 1e-3);
    Shot(w, "input-edit-data-mapping");
  });
  const DataStruct imported = *InputGetData(second);
  EXPECT_EQ(std::memcmp(&imported, &exported, sizeof imported), 0) << "the whole mapping made the round trip";
  EXPECT_NEAR(Value(second, 3, 12.0), LapSession::CelsiusAt(12.0), 1e-3) << "altitude from the chosen column";
}

TEST_F(DataGroupTest, AProfileWithAnImpossibleNumberIsRefusedByName) {
  const uint32_t log = AddSession();
  ASSERT_EQ(InputExportDataProfile(log, NSStringToWStr(QPath("saved.qvlc")).c_str()), 0);
  QFile saved(QPath("saved.qvlc"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  QString text = QString::fromUtf8(saved.readAll());
  saved.close();
  text.replace(QRegularExpression("\nTimeUnits = [^\n]*"), "\nTimeUnits = nan");
  QFile bad(QPath("bad.qvlc"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write(text.toUtf8());
  bad.close();
  const DataStruct before = *InputGetData(log);
  Edit(log, [&](WindowController* w) {
    for (int round = 1; round <= 2; ++round) {
      panelAnswers = {{QPath("bad.qvlc")}};
      Click(Child<QPushButton>(w, "DataImport"));
      EXPECT_EQ(CountMessages(L"TimeUnits = nan (allowed: 0 or more)"), round);
      EXPECT_EQ(Field(w, "TimeUnitsText")->text(), "1.00000");
    }
    Shot(w, "input-edit-profile-refused");
  });
  EXPECT_EQ(InputGetData(log)->TimeUnits, before.TimeUnits);
  EXPECT_EQ(std::u16string(InputGetData(log)->Time), std::u16string(before.Time));
}
