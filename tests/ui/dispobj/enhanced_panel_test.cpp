// The scripted-object panel with the real engine: where it sits in the
// property window, what its labels say, which rows it shows and where the
// Script button goes, each change written whole with its own checkpoint,
// and an object without a record refused instead of read past its block.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ui/controls/real_stepper.h"

#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/enhanced_fixture.h"

namespace {

// The lowest bottom edge of the widgets, in the panel's coordinates.
int LowestBottom(const QWidget* panel, std::initializer_list<const QWidget*> widgets) {
  int bottom = 0;
  for (const QWidget* w : widgets) bottom = std::max(bottom, w->mapTo(panel, QPoint(0, w->height())).y());
  return bottom;
}

int Top(const QWidget* panel, const QWidget* w) { return w->mapTo(panel, QPoint(0, 0)).y(); }

} // namespace

TEST_F(EnhancedTest, PanelShowsTheRecordAndWritesEachChangeWhole) {
  const uint32_t input = AddRampLog();
  const QStringList channels = DispObjPanel::dataFieldNames(input);
  ASSERT_FALSE(channels.isEmpty());
  auto record = Sample();
  record->Min = 99999999.0; // automatic, though not the exact marker
  record->Max = 2.5;
  record->ColorCount = 3;
  const QString longName(23, QChar(u'\u00E9'));
  FieldCopy(record->ColorName[1], kEnhNameUnits, longName.toStdU16String());
  FieldCopy(record->Field, kNameLength, channels.front().toStdU16String());
  const uint32_t object = AddScripted(*record, input);
  auto* panel = Open<vcDispObjEnhanced>(object, kPanelEnhanced);

  // Between the general panel and the picture panel.
  auto* general = Editor()->Panel(kPanelGeneral);
  auto* picture = Editor()->Panel(kPanelPicture);
  ASSERT_FALSE(picture->isHidden());
  EXPECT_LT(general->y(), panel->y());
  EXPECT_LT(panel->y(), picture->y());

  EXPECT_EQ(panel->ColorLabel[0]->text(), "Needle:");
  EXPECT_EQ(panel->ColorLabel[1]->text(), longName + ":");
  EXPECT_EQ(panel->ColorLabel[2]->text(), "Color C:");
  for (int i = 0; i < kEnhColors; ++i) {
    EXPECT_EQ(panel->ColorLabel[i]->isHidden(), i >= 3) << i;
    EXPECT_EQ(panel->Color[i]->isHidden(), i >= 3) << i;
  }
  EXPECT_EQ(panel->ColorLabel[7]->text(), "Color H:");
  EXPECT_EQ(panel->Color[1]->color(), QColor(0x20, 0x20, 0x20));
  EXPECT_FALSE(panel->Range->MinManualCheck->isChecked());
  EXPECT_FALSE(panel->Range->MinText->isEnabled());
  EXPECT_EQ(panel->Range->MinText->text(), "0.0");
  EXPECT_TRUE(panel->Range->MaxManualCheck->isChecked());
  EXPECT_EQ(panel->Range->MaxText->text(), "2.5");
  EXPECT_TRUE(panel->TriggerText->isHidden());
  EXPECT_EQ(panel->Range->FieldSelection->currentText(), channels.front());
  EXPECT_FALSE(IsRed(panel->Range->FieldLabel));
  // The Script button 8 points below the last colour shown.
  EXPECT_EQ(Top(panel, panel->ScriptButton) - LowestBottom(panel, {panel->ColorLabel[2], panel->Color[2]}), 8);

  // A colour picked: that entry alone changes, with its own checkpoint; the
  // untouched automatic Min is written back as it was stored.
  main->setProjectModified(false);
  const std::string checkpoint = UndoSnapshotState();
  PickColour(panel->Color[1], QColor(0x10, 0x20, 0x30));
  record->Color[1] = 0x00102030;
  EXPECT_TRUE(SameBytes(*Stored(object), *record));
  EXPECT_NE(UndoSnapshotState(), checkpoint);
  EXPECT_TRUE(main->ProjectModified());

  // The range ends: on takes the stepper's value, off the exact marker.
  panel->Range->MinManualCheck->click();
  EXPECT_EQ(Stored(object)->Min, 0.0);
  EXPECT_TRUE(panel->Range->MinText->isEnabled());
  Type(panel->Range->MinText, "-1.25");
  EXPECT_EQ(Stored(object)->Min, -1.25);
  panel->Range->MinManualCheck->click();
  EXPECT_EQ(Stored(object)->Min, kRangeAutoMin);
  panel->Range->MaxManualCheck->click();
  EXPECT_EQ(Stored(object)->Max, kRangeAutoMax);

  // "(Automatic)" names no channel: the label turns red and the list shows
  // "(None)" once the panel is filled again.
  Type(static_cast<TextField*>(panel->Range->FieldSelection->lineEdit()), "(Automatic)");
  EXPECT_EQ(Stored(object)->Field[0], 0);
  EXPECT_TRUE(IsRed(panel->Range->FieldLabel));
  ASSERT_TRUE(panel->SetData(object));
  EXPECT_EQ(panel->Range->FieldSelection->currentText(), "(None)");

  // The trigger row shows while the trigger is on, and takes what is typed.
  EditParam<EnhParam>(object, [](EnhParam& p) { p.Options |= kEnhTrigger; });
  ASSERT_TRUE(panel->SetData(object));
  EXPECT_FALSE(panel->TriggerText->isHidden());
  EXPECT_EQ(panel->TriggerText->text(), "1.5");
  Type(panel->TriggerText, "7.125");
  EXPECT_EQ(Stored(object)->TriggerValue, 7.125);

  // No colours: the button moves up to 8 points below the trigger row,
  // which keeps its place even while it is hidden.
  EditParam<EnhParam>(object, [](EnhParam& p) {
    p.ColorCount = 0;
    p.Options &= static_cast<uint8_t>(~kEnhTrigger);
  });
  Editor()->UpdateControls();
  EXPECT_TRUE(panel->TriggerText->isHidden());
  for (int i = 0; i < kEnhColors; ++i) EXPECT_TRUE(panel->Color[i]->isHidden()) << i;
  Editor()->SetLayout();
  Settle();
  EXPECT_EQ(Top(panel, panel->ScriptButton) -
                LowestBottom(panel, {panel->TriggerLabel, panel->TriggerText, panel->TriggerStepper}),
            8);
  // More than eight: all eight rows.
  EditParam<EnhParam>(object, [](EnhParam& p) { p.ColorCount = 12; });
  Editor()->UpdateControls();
  for (int i = 0; i < kEnhColors; ++i) EXPECT_FALSE(panel->Color[i]->isHidden()) << i;
  Editor()->close();
}

// A scripted object made here has no record, and one from a damaged file
// may have a short one: the panel and the editor say so instead of copying
// a whole record out of a block that is not there.
TEST_F(EnhancedTest, AnObjectWithoutARecordIsRefusedWithAMessage) {
  const uint32_t bare = DispObjAdd(kDispEnhanced, kNoInput);
  ASSERT_EQ(DispObjGet(bare)->ParamSize, 0u);
  messages.clear();
  Editor()->showWindow();
  ASSERT_TRUE(Editor()->SetDisplayObject(static_cast<int>(bare)));
  EXPECT_TRUE(Editor()->Panel(kPanelEnhanced)->isHidden());
  EXPECT_FALSE(Editor()->Panel(kPanelPicture)->isHidden());
  EXPECT_EQ(CountMessages(L"holds no settings or scripts"), 1);
  EXPECT_EQ(LastFlags(), 48);
  // Refreshing the shown panels does not ask again.
  Editor()->UpdateControls();
  EXPECT_EQ(CountMessages(L"holds no settings or scripts"), 1);

  EXPECT_FALSE(ScriptEditor()->SetData(bare));
  EXPECT_EQ(CountMessages(L"holds no settings or scripts"), 2);
  // A block that ends before the scripts is refused the same way.
  const uint32_t cut = DispObjAdd(kDispEnhanced, kNoInput);
  {
    WriteAccess access("test");
    DispTableEntry(cut)->Param.assign(offsetof(EnhParam, BackScript), 0x41);
    DispTableSync(cut);
  }
  ASSERT_EQ(DispObjGet(cut)->ParamSize, offsetof(EnhParam, BackScript));
  EXPECT_FALSE(ScriptEditor()->SetData(cut));
  EXPECT_EQ(CountMessages(L"holds no settings or scripts"), 3);
  // Neither a missing object nor none at all is a scripted object without
  // a record: the engine's error, or nothing.
  EXPECT_FALSE(ScriptEditor()->SetData(kNoDispObj));
  EXPECT_FALSE(ScriptEditor()->SetData(200));
  EXPECT_EQ(CountMessages(L"holds no settings or scripts"), 3);
  EXPECT_EQ(DispObjGet(bare)->ParamSize, 0u);
  Editor()->close();
}
