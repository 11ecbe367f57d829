// The general panel with the real engine: name and active state written
// with one checkpoint each, the input list by kind, the timeline segment
// list and its commands, styles saved and applied, and no write into an
// object that took the shown one's place.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

#include "io/files/undo.h"
#include "model/inputs.h"
#include "model/timeline.h"
#include "ui/dispobj/dispobj_fixture.h"
#include "ui/support/input_files.h"
#include "ui/dispobj/vcDispObjGeneral.h"
#include "ui/input/wcInputEdit.h"

namespace {

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

void TypeInto(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setModified(true);
  emit field->editingFinished();
}

} // namespace

class GeneralPanelTest : public DispObjTest {
protected:
  vcDispObjGeneral* Open(uint32_t object) {
    EXPECT_TRUE(Editor()->SetDisplayObject(static_cast<int>(object)));
    return Editor()->General();
  }
};

TEST_F(GeneralPanelTest, NameAndActiveAreWrittenWithOneCheckpointEach) {
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  const uint32_t other = DispObjAdd(kDispShape, kNoInput);
  vcDispObjGeneral* general = Open(text);
  EXPECT_EQ(general->TypeText->text(), "Text");
  EXPECT_FALSE(general->InputSelection->isVisibleTo(general));
  main->setProjectModified(false);

  TypeInto(general->LabelText, "Title");
  EXPECT_EQ(Name(text), "Title");
  EXPECT_TRUE(main->ProjectModified());
  EXPECT_EQ(main->DispObjNames().indexOf("Title") >= 0, true);

  general->ActiveCheck->click();
  EXPECT_EQ(DispObjGet(text)->Active, 0);
  EXPECT_EQ(general->ActiveCheck->palette().color(QPalette::WindowText), QColor(200, 0, 0));
  // The checkpoint of the last change holds the state just before it.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(DispObjGet(text)->Active, 1);
  EXPECT_EQ(Name(text), "Title");
  ASSERT_EQ(UndoToggle(), 0);

  // A name another object has: the engine's refusal is shown, the rest written.
  Open(text);
  messages.clear();
  TypeInto(general->LabelText, Name(other));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(L"-10"), std::wstring::npos);
  EXPECT_EQ(Name(text), "Title");
}

TEST_F(GeneralPanelTest, InputsAreListedByKindAndAnUnknownNameMeansNone) {
  const uint32_t data = InputAdd(QString::fromStdString(MakeTestNmea(File("d.nmea"))).toStdU16String().c_str());
  const uint32_t filler = InputAddSpecial(kSpecialFiller);
  ASSERT_NE(data, kNoInput);
  const uint32_t gauge = DispObjAdd(kDispSpeedo, data);
  vcDispObjGeneral* general = Open(gauge);
  EXPECT_EQ(general->TypeText->text(), "Gauge");
  EXPECT_EQ(Items(general->InputSelection), QStringList({"(None)", QString::fromUtf16(InputGetName(data))}));
  EXPECT_EQ(general->InputSelection->currentIndex(), 1);
  EXPECT_TRUE(general->InputSetupButton->isEnabled());
  (void)filler;

  general->InputSelection->setEditText("no such input");
  emit general->InputSelection->lineEdit()->editingFinished();
  EXPECT_EQ(DispObjGet(gauge)->InputID, kNoInput);
  EXPECT_EQ(general->InputLabel->palette().color(QPalette::WindowText), QColor(200, 0, 0));
  EXPECT_FALSE(general->InputSetupButton->isEnabled());
  // Picked again by name in another letter case.
  general->InputSelection->setEditText(QString::fromUtf16(InputGetName(data)).toUpper());
  emit general->InputSelection->lineEdit()->editingFinished();
  EXPECT_EQ(DispObjGet(gauge)->InputID, data);

  // An embedded image may go without input: its label stays plain.
  const uint32_t image = DispObjAdd(kDispEImage, kNoInput);
  Open(image);
  EXPECT_NE(general->InputLabel->palette().color(QPalette::WindowText), QColor(200, 0, 0));
}

TEST_F(GeneralPanelTest, SetupOpensTheInputsPropertiesWindow) {
  const uint32_t data = InputAdd(QString::fromStdString(MakeTestNmea(File("d.nmea"))).toStdU16String().c_str());
  ASSERT_NE(data, kNoInput);
  const uint32_t gauge = DispObjAdd(kDispSpeedo, data);
  // The user picks the gauge in the list and opens its properties.
  Select({gauge});
  main->mainWindow()->findChild<QPushButton*>("DispObjEdit")->click();
  ASSERT_TRUE(AppDelegate::IsWindowVisible(Editor()));
  vcDispObjGeneral* general = Editor()->General();
  ASSERT_EQ(general->OurIndex, gauge);
  ASSERT_TRUE(general->InputSetupButton->isEnabled());
  std::vector<uint32_t> shown;
  onModal = [&shown](WindowController* w) {
    auto* editor = static_cast<wcInputEdit*>(w);
    editor->showWindow();
    EXPECT_TRUE(editor->window()->isVisible());
    shown.push_back(editor->OurIndex());
    editor->close();
    return 0;
  };
  // Twice: the window opens again after it was closed.
  for (int press = 0; press < 2; ++press) general->InputSetupButton->click();
  EXPECT_EQ(modalRuns, std::vector<QString>({"wcInputEdit", "wcInputEdit"}));
  EXPECT_EQ(shown, std::vector<uint32_t>({data, data}));
  // The panel still shows the gauge afterwards.
  EXPECT_EQ(general->OurIndex, gauge);
}

TEST_F(GeneralPanelTest, SegmentsAreListedAddedAndRemovedAtThePreviewTime) {
  const uint32_t text = AddText(10, 10, 20, 10);
  vcDispObjGeneral* general = Open(text);
  EXPECT_EQ(Items(general->TimeSelection), QStringList({"00:00:00.00 - End"}));
  EXPECT_EQ(general->SegmentIndex, -1);

  messages.clear();
  general->TimeRemoveButton->click();
  EXPECT_EQ(LastMessage(), L"You cannot remove the first timeline segment.");
  EXPECT_EQ(LastFlags(), 48);

  inputAnswers = {std::wstring(L"0")};
  general->TimeNewButton->click();
  EXPECT_EQ(LastMessage(), L"You cannot place this segment before the first timeline segment.");
  EXPECT_EQ(TimelineDispObjGetCount(text), 0u);

  inputAnswers = {std::wstring(L"0:05")};
  general->TimeNewButton->click();
  EXPECT_EQ(inputPrompts.back(), L"Enter the time in the project for this display object's new timeline segment");
  ASSERT_EQ(TimelineDispObjGetCount(text), 1u);
  EXPECT_EQ(Items(general->TimeSelection), QStringList({"00:00:00.00 - 00:00:05.00", "00:00:05.00 - End"}));
  EXPECT_EQ(general->SegmentIndex, 0);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 5.0);

  // Choosing the first item moves the preview to the object's start.
  general->TimeSelection->setCurrentIndex(0);
  emit general->TimeSelection->activated(0);
  EXPECT_EQ(general->SegmentIndex, -1);
  EXPECT_DOUBLE_EQ(main->PreviewTime(), 0.0);

  // Back in the segment: removed after a Yes.
  main->setPreviewTime(6.0);
  general->SetSegment(false);
  EXPECT_EQ(general->SegmentIndex, 0);
  answers = {kMbYes};
  general->TimeRemoveButton->click();
  EXPECT_EQ(LastMessage(), L"Remove display object changes made during the current timeline segment?");
  EXPECT_EQ(LastFlags(), 36);
  EXPECT_EQ(TimelineDispObjGetCount(text), 0u);
  EXPECT_EQ(Items(general->TimeSelection), QStringList({"00:00:00.00 - End"}));
}

TEST_F(GeneralPanelTest, AStyleSavedIntoTheFolderIsListedAndApplied) {
  ClearStyleFolder();
  const uint32_t gauge = DispObjAdd(kDispGauge, kNoInput);
  vcDispObjGeneral* general = Open(gauge);
  EXPECT_EQ(Items(general->StyleSelection), QStringList({"(Browse...)"}));
  const QString folder = AppDelegate::GetDocFolder("Styles");
  panelAnswers = {{folder + "/Red Dial.qvo"}};
  general->StyleExportButton->click();
  EXPECT_EQ(Items(general->StyleSelection), QStringList({"(Browse...)", "Red Dial"}));

  // Applying it to another gauge keeps that gauge's place (mode 0).
  const uint32_t other = DispObjAdd(kDispGauge, kNoInput);
  Place(other, 60, 10, 20, 30);
  general = Open(other);
  general->StyleSelection->setCurrentIndex(1);
  emit general->StyleSelection->activated(1);
  EXPECT_EQ(QString::fromUtf16(DispObjGet(other)->Style), "Red Dial");
  EXPECT_FLOAT_EQ(DispObjGet(other)->X, 60.0f);
  EXPECT_EQ(general->StyleSelection->currentText(), "Red Dial");
}

TEST_F(GeneralPanelTest, NothingIsWrittenIntoAnObjectThatTookTheShownOnesPlace) {
  const uint32_t text = DispObjAdd(kDispText, kNoInput);
  const uint32_t gauge = DispObjAdd(kDispGauge, kNoInput);
  const QString gaugeName = Name(gauge);
  vcDispObjGeneral* general = Open(text);
  // The text goes behind the window's back; the gauge moves into place 0.
  ASSERT_EQ(DispObjRemove(text, 1), 0);
  TypeInto(general->LabelText, "Renamed");
  EXPECT_EQ(Name(0), gaugeName);
  // The window has laid itself out for what is there now.
  EXPECT_EQ(Editor()->ShownType(), kDispGauge);
  EXPECT_EQ(general->LabelText->text(), gaugeName);
}
