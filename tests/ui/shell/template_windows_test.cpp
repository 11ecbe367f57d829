// The three template dialogs on a real project: the input mapping offers
// only inputs that fit and questions a missing data input; the data
// template options start from what the log holds (160 or 250 by speed
// unit) and remember the user's choice; the export window names objects
// and inputs as the template will, follows groups, and leaves no file
// behind when writing fails.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <fstream>

#include "base/message_box.h"
#include "io/files/templates.h"
#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "ui/controls/real_stepper.h"
#include "ui/controls/text_field.h"
#include "ui/shell/wcTemplateConfig.h"
#include "ui/shell/wcTemplateCreate.h"
#include "ui/shell/wcTemplateLoad.h"
#include "ui/support/input_files.h"
#include "ui/support/lists_fixture.h"
#include "ui/support/template_files.h"
#include "ui/support/window_shots.h"
#include "ui/util/ui_utils.h"

namespace {

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

const wchar_t kWrongType[] = L"Input file selection is the wrong type for this input.";
const wchar_t kNoData[] = L"You have not made a selection for the Data input.";

} // namespace

class TemplateWindowsTest : public ListsTest {
protected:
  uint32_t Add(const std::string& path) {
    const uint32_t input = InputAdd(QString::fromStdString(path).toStdU16String().c_str());
    EXPECT_NE(input, kNoInput) << path;
    return input;
  }
  // A data log with time, position and speed only.
  std::string SpeedAndPositionLog() {
    const std::string path = File("gps.csv");
    std::ofstream out(path);
    out << "Time (s),Latitude,Longitude,Speed (km/h)\n";
    for (int i = 0; i < 200; ++i)
      out << i * 0.1 << "," << 52.0 + 0.0001 * std::sin(i * 0.05) << "," << -1.0 + 0.0001 * std::cos(i * 0.05) << ","
          << 60 + i * 0.1 << "\n";
    return path;
  }
  std::string LapSession() { return WriteLapSession(tempDir); }
};

TEST_F(TemplateWindowsTest, MappingOffersWhatFitsAndQuestionsAMissingDataInput) {
  const uint32_t video = Add(MakeTestVideo(File("onboard.mp4")));
  const uint32_t audio = Add(MakeTestWav(File("commentary.wav")));
  const uint32_t image = Add(MakeTestPng(File("logo.png")));
  const uint32_t data = Add(LapSession());
  // A template of ten inputs, one of each kind in turn.
  const QString path = QPath("ten.qvt");
  ASSERT_EQ(TemplateExportOpen(NSStringToWStr(path).c_str()), 0);
  const uint32_t kinds[] = {video, audio, image, data, video, audio, image, data, video, audio};
  for (int k = 0; k < 10; ++k)
    ASSERT_EQ(TemplateExportAddInput(kinds[k], QString("Input %1").arg(k + 1).toStdU16String().c_str()), 0);
  ASSERT_EQ(TemplateExportClose(), 0);
  ASSERT_EQ(TemplateImportLoad(NSStringToWStr(path).c_str(), kNoInput, 0), 0);

  auto* mapping = app->windows().wndTemplateLoad();
  mapping->SetData();
  mapping->showWindow();
  const QString v = InputName(video), a = InputName(audio), i = InputName(image), d = InputName(data);
  EXPECT_EQ(mapping->InputName(0)->text(), "Input 1");
  EXPECT_EQ(mapping->InputType(0)->text(), "Type: Video");
  EXPECT_EQ(Items(mapping->InputSelection(0)), QStringList({"(None)", v}));
  EXPECT_EQ(Items(mapping->InputSelection(1)), QStringList({"(None)", v, a})); // a video gives sound
  EXPECT_EQ(Items(mapping->InputSelection(2)), QStringList({"(None)", i}));
  EXPECT_EQ(Items(mapping->InputSelection(3)), QStringList({"(None)", d}));
  // The loader's first guess: the k-th input of the kind, else input 0
  // (shown only where it fits).
  EXPECT_EQ(mapping->InputSelection(0)->currentText(), v);
  EXPECT_EQ(mapping->InputSelection(3)->currentText(), d);
  EXPECT_EQ(mapping->InputSelection(5)->currentText(), v);
  EXPECT_EQ(mapping->InputSelection(6)->currentText(), "(None)");
  EXPECT_EQ(mapping->InputSelection(7)->currentText(), "(None)");
  EXPECT_TRUE(mapping->InputSelection(7)->isEnabled());
  SaveWindowShot(mapping->window(), "template-mapping");

  // A choice of the wrong kind is refused, unless silently.
  mapping->InputSet(2, audio);
  EXPECT_EQ(CountMessages(kWrongType), 1);
  EXPECT_EQ(mapping->InputSelection(2)->currentText(), i);
  // "Add New" on the audio row: a video is taken, a picture refused.
  panelAnswers = {{QString::fromStdString(MakeTestVideo(File("second.mp4")))}};
  mapping->InputAdd_Pressed(1);
  EXPECT_EQ(InputCount(), 5u);
  EXPECT_EQ(mapping->InputSelection(1)->currentText(), InputName(4));
  panelAnswers = {{QString::fromStdString(MakeTestPng(File("badge.png")))}};
  mapping->InputAdd_Pressed(1);
  EXPECT_EQ(CountMessages(kWrongType), 2);
  EXPECT_EQ(mapping->InputSelection(1)->currentText(), InputName(4));

  // No data input chosen: asked, and No keeps the dialog open.
  mapping->InputSelection(3)->setCurrentText("(None)");
  mapping->InputSelection(7)->setCurrentText("no such input"); // no warning, just none
  answers = {kMbNo};
  mapping->OkButton_Pressed();
  EXPECT_EQ(CountMessages(kNoData), 1);
  EXPECT_FALSE(mapping->Success());
  EXPECT_TRUE(AppDelegate::IsWindowVisible(mapping));
  answers = {kMbYes};
  mapping->OkButton_Pressed();
  EXPECT_TRUE(mapping->Success());
  EXPECT_FALSE(AppDelegate::IsWindowVisible(mapping));
  EXPECT_EQ(TemplateImportGetInputID(0), video);
  EXPECT_EQ(TemplateImportGetInputID(1), 4u);
  EXPECT_EQ(TemplateImportGetInputID(3), kNoInput);
  EXPECT_EQ(TemplateImportGetInputID(7), kNoInput);
  // Inputs past the eighth keep the loader's guess.
  EXPECT_EQ(TemplateImportGetInputID(8), video);
  EXPECT_EQ(TemplateImportGetInputID(9), 0u);
  TemplateImportClear();

  // A template without inputs: every row off, OK closes at once.
  ASSERT_TRUE(WriteTextTemplate(QPath("plain.qvt")));
  ASSERT_EQ(TemplateImportLoad(NSStringToWStr(QPath("plain.qvt")).c_str(), kNoInput, 0), 0);
  mapping->SetData();
  EXPECT_FALSE(mapping->InputSelection(0)->isEnabled());
  mapping->OkButton_Pressed();
  EXPECT_TRUE(mapping->Success());
  TemplateImportClear();
}

TEST_F(TemplateWindowsTest, OptionsStartFromTheLogAndKeepTheUsersChoice) {
  auto* options = app->windows().wndTemplateConfig();
  const uint32_t gps = Add(SpeedAndPositionLog());
  // First use in a km/h project: what the log holds, a range of 250.
  ASSERT_EQ(ProjectSetSpeedUnit(kSpeedKmh), 0);
  options->SetData(gps);
  options->showWindow();
  EXPECT_TRUE(options->Box(kOptSpeed)->isChecked());
  EXPECT_TRUE(options->Box(kOptMap)->isChecked());
  EXPECT_TRUE(options->Box(kOptLimitClutter)->isChecked());
  EXPECT_FALSE(options->Box(kOptTach)->isChecked());
  EXPECT_FALSE(options->Box(kOptLapTime)->isChecked());
  EXPECT_TRUE(options->Note(kOptSpeed)->isHidden());
  EXPECT_TRUE(options->Note(kOptMap)->isHidden());
  EXPECT_FALSE(options->Note(kOptTach)->isHidden());
  EXPECT_FALSE(options->Note(kOptGear)->isHidden());
  EXPECT_TRUE(options->Box(kOptShiftLight)->isHidden());
  EXPECT_FALSE(options->CancelButton()->isHidden());
  EXPECT_EQ(options->SpeedMax()->text(), "250");
  EXPECT_EQ(options->TachMax()->text(), "8000");
  EXPECT_EQ(options->TachRed()->text(), "6500");
  // In any other unit the range starts at 160.
  ASSERT_EQ(ProjectSetSpeedUnit(kSpeedMph), 0);
  options->SetData(gps);
  EXPECT_EQ(options->SpeedMax()->text(), "160");

  // The best lap: one or the other, or neither.
  options->Box(kOptLapBest)->click();
  options->Box(kOptLapBestSoFar)->click();
  EXPECT_FALSE(options->Box(kOptLapBest)->isChecked());
  options->Box(kOptLapBest)->click();
  EXPECT_FALSE(options->Box(kOptLapBestSoFar)->isChecked());
  options->Box(kOptLapBest)->click();
  EXPECT_FALSE(options->Box(kOptLapBest)->isChecked());
  // A typed maximum past the stepper's is held at it and turns the dial on.
  options->TachMax()->setText("99999");
  options->TachMax_Changed();
  EXPECT_TRUE(options->Box(kOptTach)->isChecked());
  EXPECT_EQ(options->TachMax()->text(), QString::number(options->TachMaxStepper()->maximum()));
  EXPECT_EQ(options->TachMaxStepper()->value(), options->TachMaxStepper()->maximum());
  // The speed stepper writes its field and turns the speedometer on.
  options->Box(kOptSpeed)->click();
  options->SpeedMaxStepper()->upArrow()->click();
  EXPECT_EQ(options->SpeedMax()->text(), "170");
  EXPECT_TRUE(options->Box(kOptSpeed)->isChecked());
  // Reset: the boxes from the log again, the values kept.
  options->OkButton()->window()->findChild<QPushButton*>("ResetButton")->click();
  EXPECT_FALSE(options->Box(kOptTach)->isChecked());
  EXPECT_EQ(options->SpeedMax()->text(), "170");
  options->OkButton()->click();
  uint32_t mask = 0;
  float speed = 0, tach = 0, red = 0;
  ASSERT_EQ(ProjectWizGetOpts(&mask, &speed, &tach, &red), 0);
  EXPECT_EQ(mask, ProjectWizScanInput(gps));
  EXPECT_EQ(speed, 170.0f);

  // The second use starts from what was stored, not from the log.
  options->SetData(gps);
  options->Box(kOptMap)->click();
  options->OkButton_Pressed();
  options->SetData(gps);
  EXPECT_FALSE(options->Box(kOptMap)->isChecked());
  EXPECT_EQ(options->SpeedMax()->text(), "170");
  // All off counts as nothing stored: the log decides again.
  for (uint32_t bit = 1; bit <= kOptShiftLight; bit <<= 1) options->Box(bit)->setChecked(false);
  options->OkButton_Pressed();
  options->SetData(gps);
  EXPECT_TRUE(options->Box(kOptMap)->isChecked());
  // Without Cancel, any close stores the options.
  options->SetData(gps, true);
  options->showWindow();
  EXPECT_TRUE(options->CancelButton()->isHidden());
  options->Box(kOptSpeed)->click();
  options->close();
  ASSERT_EQ(ProjectWizGetOpts(&mask, &speed, &tach, &red), 0);
  EXPECT_EQ(mask & kOptSpeed, 0u);

  // The picture: a lap session offers every display.
  ProjectWizSetOpts(0, 160, 8000, 6500);
  const uint32_t laps = Add(LapSession());
  options->SetData(laps);
  options->showWindow();
  EXPECT_TRUE(options->Note(kOptLapTime)->isHidden());
  EXPECT_TRUE(options->Box(kOptGear)->isChecked());
  SaveWindowShot(options->window(), "template-options");
  options->close();
}

TEST_F(TemplateWindowsTest, ExportNamesFollowGroupsAndInputs) {
  const uint32_t first = Add(MakeTestVideo(File("front.mp4")));
  const uint32_t second = Add(MakeTestVideo(File("rear.mp4")));
  const uint32_t data = Add(LapSession());
  auto place = [](uint32_t type, uint32_t input, const char16_t* name) {
    const uint32_t object = DispObjAdd(type, input);
    DispObjRename(object, name);
    return object;
  };
  const uint32_t front = place(kDispVideo, first, u"Front Camera");
  DispStruct record = *DispObjGet(front);
  std::u16string style = u"Full Frame - Video";
  std::copy(style.begin(), style.end(), record.Style);
  DispObjSet(front, &record);
  place(kDispVideo, second, u"Rear Camera");
  place(kDispSpeedo, data, u"Big Speedo (Speedometer)");
  const uint32_t group = place(kDispGroup, kNoInput, u"Lap Panel");
  const uint32_t lapTime = place(kDispLapTimer, data, u"Lap Time");
  const uint32_t panel = place(kDispShape, kNoInput, u"Lap Background");
  SetParentObject(lapTime, group);
  SetParentObject(panel, group);
  record = *DispObjGet(group);
  record.Active = 0; // an inactive group: listed with its members unchecked
  DispObjSet(group, &record);

  auto* create = app->windows().wndTemplateCreate();
  onModal = [this, create](WindowController* window) {
    if (window != create) return 0;
    create->showWindow();
    SpinUntil([create]() { return create->ObjectRows().size() == 6; });
    const auto& objects = create->ObjectRows();
    QStringList names, checked;
    for (const auto& row : objects) {
      names << row.name;
      checked << (row.select ? "x" : "-");
    }
    EXPECT_EQ(names, QStringList({"Lap Panel", "Lap Background", "Lap Time", "(Speedometer)", "Rear Camera",
                                  "Front Camera [Full Frame - Video]"}));
    EXPECT_EQ(checked.join(""), "---xxx");
    EXPECT_TRUE(objects[1].member && objects[2].member && !objects[0].member);
    QStringList inputs;
    for (const auto& row : create->InputRows()) inputs << row.name + (row.select ? "+" : "");
    EXPECT_EQ(inputs, QStringList({"Video 1+", "Video 2+", "Data 1+"}));
    // Checking a member checks its group only; the group passes its state on.
    create->SetObjectChecked(2, true);
    EXPECT_TRUE(create->ObjectRows()[0].select);
    EXPECT_FALSE(create->ObjectRows()[1].select);
    create->SetObjectChecked(0, false);
    EXPECT_FALSE(create->ObjectRows()[2].select);
    // The only object of an input unchecked: the input leaves at once.
    create->SetObjectChecked(4, false);
    EXPECT_FALSE(create->InputRows()[1].select);
    create->SetObjectChecked(0, true);
    create->SetInputName(2, "Logger");
    SaveWindowShot(create->window(), "template-export");
    // Writing fails: shown, the dialog stays, no file is left.
    panelAnswers = {{QPath("missing/folder/set.qvt")}};
    create->OkButton_Pressed();
    EXPECT_TRUE(AppDelegate::IsWindowVisible(create));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(QFile::exists(QPath("missing/folder/set.qvt")));
    panelAnswers = {{QPath("set.qvt")}};
    create->OkButton_Pressed();
    EXPECT_FALSE(AppDelegate::IsWindowVisible(create));
    return 0;
  };
  main->ExportTemplate();
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcTemplateCreate"}));
  ASSERT_EQ(TemplateImportLoad(NSStringToWStr(QPath("set.qvt")).c_str(), kNoInput, 0), 0);
  ASSERT_EQ(TemplateImportGetInputCount(), 2u);
  EXPECT_EQ(W16ToNSString(TemplateImportGetInputName(0)), "Video 1");
  EXPECT_EQ(W16ToNSString(TemplateImportGetInputName(1)), "Logger");
  EXPECT_EQ(TemplateImportGetInputType(1), kInputData);
  TemplateImportClear();

  // With nothing checked: the message, no file dialog.
  onModal = [this, create](WindowController*) {
    create->showWindow();
    SpinUntil([create]() { return create->ObjectRows().size() == 6; });
    for (int row : {0, 3, 4, 5}) create->SetObjectChecked(row, false);
    create->OkButton_Pressed();
    EXPECT_EQ(CountMessages(L"You must check at least one Display Object to include in the template"), 1);
    create->CancelButton_Pressed();
    return 0;
  };
  main->ExportTemplate();
  // Without display objects the window does not open.
  main->NewProject();
  modalRuns.clear();
  main->ExportTemplate();
  EXPECT_TRUE(modalRuns.empty());
  EXPECT_EQ(CountMessages(L"This project has no display objects to export as a template. Please create some."), 1);
}
