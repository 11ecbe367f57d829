// The text panel with the real engine: what each kind of text object
// shows, the lap timer's hold time, the data modes and the value range,
// the text taken with any other change, the font list, and automatic size
// turned off under one undo checkpoint.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "io/files/undo.h"
#include "platform/graphics/text_raster.h"
#include "ui/controls/real_stepper.h"
#include "ui/dispobj/kind_panel_fixture.h"
#include "ui/dispobj/vcDispObjPicture.h"
#include "ui/dispobj/vcDispObjText.h"

class TextPanelTest : public KindPanelTest {
protected:
  vcDispObjText* Open(uint32_t object) { return KindPanelTest::Open<vcDispObjText>(object, kPanelText); }
  static TextStruct Text(uint32_t object) { return Param<TextStruct>(object); }
};

TEST_F(TextPanelTest, EachKindShowsItsControlsAndTheLapTimerHoldsInTenths) {
  const uint32_t data = AddRampLog();
  // Plain text: the text box alone.
  const uint32_t plain = DispObjAdd(kDispText, kNoInput);
  vcDispObjText* panel = Open(plain);
  EXPECT_TRUE(panel->DataBox->isHidden());
  EXPECT_TRUE(panel->Text->isEnabled());
  EXPECT_EQ(panel->Text->toPlainText(), "Text");
  EXPECT_TRUE(panel->CenterButton->isChecked());
  EXPECT_TRUE(panel->AutoSizeCheck->isChecked());
  EXPECT_EQ(panel->SizeText->text(), "32");
  EXPECT_FALSE(panel->OutlineCheck->isVisibleTo(panel));
  const int plainHeight = panel->IntendedHeight();

  // A lap counter: the chooser is automatic and off; the total is offered.
  const uint32_t counter = DispObjAdd(kDispLapCount, data);
  panel = Open(counter);
  EXPECT_FALSE(panel->DataBox->isHidden());
  EXPECT_GT(panel->IntendedHeight(), plainHeight + 100);
  EXPECT_FALSE(panel->FieldSelection->isEnabled());
  EXPECT_EQ(panel->FieldSelection->currentText(), "(Automatic)");
  EXPECT_TRUE(panel->TotalLapsCheck->isVisibleTo(panel));
  EXPECT_TRUE(panel->TotalLapsCheck->isChecked());
  EXPECT_FALSE(panel->LapHoldText->isVisibleTo(panel));
  EXPECT_FALSE(panel->LapHoldUnit->isVisibleTo(panel));
  EXPECT_EQ(panel->ModeSelection->currentText(), "Text & Number");
  panel->TotalLapsCheck->click();
  EXPECT_EQ(Text(counter).DataOptions & kTextTotalLaps, 0);

  // A lap timer: its own first entry, the channels after it, the hold time.
  const uint32_t timer = DispObjAdd(kDispLapTimer, data);
  panel = Open(timer);
  EXPECT_TRUE(panel->FieldSelection->isEnabled());
  EXPECT_FALSE(panel->TotalLapsCheck->isVisibleTo(panel));
  const QStringList items = Items(panel->FieldSelection);
  ASSERT_GE(items.size(), 3);
  EXPECT_EQ(items[0], "(Lap Time)");
  EXPECT_TRUE(items.contains("Speed (km/h)"));
  EXPECT_EQ(panel->FieldSelection->currentText(), "(Lap Time)");
  EXPECT_TRUE(panel->LapHoldText->isVisibleTo(panel));
  EXPECT_EQ(panel->LapHoldText->text(), "10.0");
  Type(panel->LapHoldText, "2.46");
  EXPECT_EQ(panel->LapHoldText->text(), "2.5");
  EXPECT_EQ(Text(timer).DataParam, 25);
  // Past what a byte of tenths holds, the stepper stops at 25.5 s.
  Type(panel->LapHoldText, "40");
  EXPECT_EQ(panel->LapHoldText->text(), "25.5");
  EXPECT_EQ(Text(timer).DataParam, 255);
  // The first entry means the lap time itself; a channel is stored by name.
  Pick(panel->FieldSelection, "RPM");
  EXPECT_EQ(QString::fromUtf16(Text(timer).Field), "RPM");
  Pick(panel->FieldSelection, "(Lap Time)");
  EXPECT_EQ(Text(timer).Field[0], 0);
}

TEST_F(TextPanelTest, ModesAndRangesStoreTheirValuesAndSentinels) {
  const uint32_t data = AddRampLog();
  const uint32_t object = DispObjAdd(kDispTextData, data);
  vcDispObjText* panel = Open(object);
  EXPECT_EQ(Items(panel->ModeSelection), vcDispObjText::ModeTitles());
  EXPECT_EQ(panel->FieldSelection->itemText(0), "(None)");
  EXPECT_FALSE(panel->Text->isEnabled()); // number only

  Pick(panel->ModeSelection, "Text & Number");
  EXPECT_EQ(Text(object).DataMode, kTextDataTextNumber);
  EXPECT_TRUE(panel->Text->isEnabled());
  Pick(panel->ModeSelection, "Number Only - Flash");
  EXPECT_EQ(Text(object).DataMode, 129);
  EXPECT_FALSE(panel->Text->isEnabled());
  panel = Open(object);
  EXPECT_EQ(panel->ModeSelection->currentText(), "Number Only - Flash");
  EXPECT_FALSE(panel->Text->isEnabled());
  // A value no title has shows as number only.
  EditParam<TextStruct>(object, [](TextStruct& t) { t.DataMode = 77; });
  panel = Open(object);
  EXPECT_EQ(panel->ModeSelection->currentText(), "Number Only");
  EXPECT_EQ(vcDispObjText::ModeValueOf("no such mode"), kTextDataNumberOnly);

  // No limits: both checks off, neutral values greyed.
  EXPECT_FALSE(panel->MinManualCheck->isChecked());
  EXPECT_EQ(panel->MinText->text(), "0.0");
  EXPECT_FALSE(panel->MinText->isEnabled());
  EXPECT_FALSE(panel->MinStepper->isEnabled());
  EXPECT_EQ(panel->MaxText->text(), "100.0");
  panel->MinManualCheck->click();
  EXPECT_EQ(Text(object).MinRange, 0.0);
  EXPECT_TRUE(panel->MinText->isEnabled());
  Type(panel->MinText, "12.34567");
  EXPECT_EQ(panel->MinText->text(), "12.3457");
  EXPECT_DOUBLE_EQ(Text(object).MinRange, 12.34567);
  panel->MaxManualCheck->click();
  Type(panel->MaxText, "250");
  EXPECT_EQ(panel->MaxText->text(), "250.0");
  EXPECT_EQ(Text(object).MaxRange, 250.0);
  panel->MinManualCheck->click();
  EXPECT_EQ(Text(object).MinRange, kTextNoMinRange);
  EXPECT_FALSE(panel->MinText->isEnabled());
  panel = Open(object);
  EXPECT_FALSE(panel->MinManualCheck->isChecked());
  EXPECT_EQ(panel->MinText->text(), "0.0");
  EXPECT_TRUE(panel->MaxManualCheck->isChecked());
  EXPECT_EQ(panel->MaxText->text(), "250.0");

  Type(panel->DigitsText, "3");
  Type(panel->DecimalsText, "9"); // held at the stepper's end
  EXPECT_EQ(panel->DecimalsText->text(), "6");
  const TextStruct t = Text(object);
  EXPECT_EQ(t.Digits, 3);
  EXPECT_EQ(t.DecimalPlaces, 6);
  // Reloading put neutral values in the greyed fields; none reached the record.
  EXPECT_EQ(t.MinRange, kTextNoMinRange);
  EXPECT_EQ(t.MaxRange, 250.0);
}

TEST_F(TextPanelTest, TypedTextTravelsWithTheNextChangeAndFontsComeFromTheInstalledList) {
  const uint32_t object = DispObjAdd(kDispText, kNoInput);
  vcDispObjText* panel = Open(object);
  // The list holds the installed families the font lookup accepts.
  ASSERT_FALSE(AppDelegate::SystemFonts().isEmpty());
  EXPECT_EQ(Items(panel->FontSelection), AppDelegate::SystemFonts());
  // A stored name of another system stays as it is, drawn with its stand-in.
  EXPECT_EQ(panel->FontSelection->currentText(), "Microsoft Sans Serif");
  EXPECT_TRUE(panel->FontSelection->toolTip().startsWith("Drawn with "));

  panel->Text->setPlainText("Pole position");
  PickColour(panel->Color, QColor(255, 200, 0));
  TextStruct t = Text(object);
  EXPECT_EQ(QString::fromUtf16(t.Text), "Pole position");
  EXPECT_EQ(t.Color, 0xFFFFC800u); // as the well gives it
  EXPECT_TRUE(panel->Color->color() == QColor(255, 200, 0));

  const QString family = AppDelegate::SystemFonts().contains("Liberation Serif") ? "Liberation Serif" : AppDelegate::SystemFonts().first();
  Pick(panel->FontSelection, family);
  EXPECT_EQ(QString::fromUtf16(Text(object).Font), family);
  // A typed name is taken as typed.
  auto* fontField = static_cast<TextField*>(panel->FontSelection->lineEdit());
  Type(fontField, "Arial Black");
  EXPECT_EQ(QString::fromUtf16(Text(object).Font), "Arial Black");

  panel->BoldCheck->click();
  panel->StrikeCheck->click();
  EXPECT_EQ(Text(object).Style, kTextBold | kTextStrike);
  panel->RightButton->click();
  EXPECT_EQ(Text(object).Options, kTextAutoSize | kTextAlignRight);
  Type(panel->SizeText, "48");
  EXPECT_FLOAT_EQ(Text(object).Size, 48);

  // Longer text than the record holds is cut; Apply alone writes it.
  panel->Text->setPlainText(QString(300, QChar('x')));
  panel->ApplyButton->click();
  t = Text(object);
  EXPECT_EQ(std::u16string(t.Text).size(), 255u);
  // A checkpoint per change: Undo gives back the text before Apply.
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_EQ(QString::fromUtf16(Text(object).Text), "Pole position");
}

TEST_F(TextPanelTest, AutomaticSizeOffGrowsTheBoxUnderTheSameCheckpoint) {
  const uint32_t object = DispObjAdd(kDispText, kNoInput);
  Place(object, 99, 97, 10, 8);
  vcDispObjText* panel = Open(object);
  auto* picture = static_cast<vcDispObjPicture*>(Editor()->Panel(kPanelPicture));
  EXPECT_FALSE(picture->WidthStepper->isEnabled()); // the box follows the text

  panel->AutoSizeCheck->click();
  const DispStruct* box = DispObjGet(object);
  EXPECT_FLOAT_EQ(box->Width, 11.5f);
  EXPECT_FLOAT_EQ(box->X, 88.5f);
  EXPECT_FLOAT_EQ(box->Height, 11.5f);
  EXPECT_FLOAT_EQ(box->Y, 88.5f);
  EXPECT_EQ(Text(object).Options & kTextAutoSize, 0);
  // The other panels follow: the size can now be typed.
  EXPECT_TRUE(picture->WidthStepper->isEnabled());
  EXPECT_EQ(picture->WidthText->text(), "11.500");

  // One Undo gives back both the box and the automatic size.
  ASSERT_EQ(UndoToggle(), 0);
  box = DispObjGet(object);
  EXPECT_FLOAT_EQ(box->X, 99);
  EXPECT_FLOAT_EQ(box->Width, 10);
  EXPECT_NE(Text(object).Options & kTextAutoSize, 0);
  ASSERT_EQ(UndoToggle(), 0);

  // Turning it on again leaves the box alone.
  panel = Open(object);
  panel->AutoSizeCheck->click();
  EXPECT_FLOAT_EQ(DispObjGet(object)->Width, 11.5f);
  EXPECT_NE(Text(object).Options & kTextAutoSize, 0);
}
