// The script editor opened from the scripted-object panel, with the real
// engine: every parameter and both scripts edited the way a user does and
// kept by OK through a saved project byte for byte, Cancel taking back all
// that was written meanwhile, the length limit of a script, the one-time
// notice, and style files.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "io/files/undo.h"
#include "ui/dispobj/enh_param_edit.h"
#include "ui/dispobj/channel_range_rows.h"
#include "ui/dispobj/enhanced_fixture.h"
#include "ui/seams/user_defaults.h"

namespace {

const wchar_t* const kNoticePart = L"Enhanced display objects like this one are generated using programming code";

std::string ScriptOf(const char (&script)[kScriptBytes]) { return std::string(script, strnlen(script, kScriptBytes)); }

} // namespace

TEST_F(EnhancedTest, TheEditorEditsTheWholeRecordAndOkKeepsItThroughASavedProject) {
  const uint32_t input = AddRampLog();
  const QStringList channels = DispObjPanel::dataFieldNames(input);
  ASSERT_GE(channels.size(), 2);
  auto record = Sample();
  const uint32_t object = AddScripted(*record, input);
  auto* panel = Open<vcDispObjEnhanced>(object, kPanelEnhanced);
  messages.clear();

  EditScripts(panel, [&](wcDispObjEnhEdit* e) {
    EXPECT_EQ(e->window()->windowTitle(), "Enhanced Object Script Editor");
    EXPECT_EQ(e->ViewInfoLabel->text(),
              "Parameters: Set the rendering area, other options, and the parameters that will be presented in the "
              "Display Object Properties Box.");
    EXPECT_TRUE(e->ViewParamButton->isChecked());
    EXPECT_TRUE(e->ParamBox->isVisible());
    EXPECT_FALSE(e->ScriptText->isVisible());
    EXPECT_EQ(CountMessages(kNoticePart), 1);
    EXPECT_EQ(LastFlags(), 64);
    EXPECT_EQ(e->ColorLabel[0]->text(), "Needle");
    EXPECT_FALSE(e->ColorLabel[2]->isVisible());
    EXPECT_EQ(e->ColorVar[1]->text(), "Color B");

    // The trigger value already stored, to millionths: nothing changes.
    Type(e->TriggerText, "1.5000001");
    EXPECT_EQ(Stored(object)->Options & kEnhTrigger, 0);
    EXPECT_FALSE(e->TriggerCheck->isChecked());
    Type(e->TriggerText, "2.25");
    EXPECT_EQ(Stored(object)->TriggerValue, 2.25);
    EXPECT_NE(Stored(object)->Options & kEnhTrigger, 0);
    EXPECT_TRUE(e->TriggerCheck->isChecked());

    // The label: re-entering its text leaves it off; a new size switches it on.
    Type(e->LabelText, "Boost");
    EXPECT_FALSE(e->DoLabelCheck->isChecked());
    EXPECT_TRUE(ColorIsOff(Stored(object)->LabelColor));
    Type(e->LabelSizeText, "40");
    EXPECT_TRUE(e->DoLabelCheck->isChecked());
    EXPECT_EQ(Stored(object)->LabelSize, 40.0f);
    EXPECT_EQ(Stored(object)->LabelColor, 0x0000C000u);
    e->LabelBoldCheck->click();
    e->LabelTopLayerCheck->click();
    Type(e->LabelPosXText, "70000"); // held to the field's range
    EXPECT_EQ(e->LabelPosXText->text(), "65535");

    Pick(e->Range->FieldSelection, channels[1]);
    EXPECT_FALSE(IsRed(e->Range->FieldLabel));
    Type(e->SizeXText, "640");
    Type(e->SizeYText, "360");
    Type(e->ColorCountText, "3");
    EXPECT_TRUE(e->ColorLabel[2]->isVisible());
    EXPECT_FALSE(e->ColorLabel[3]->isVisible());
    Type(e->ColorLabel[2], QString(30, 'n')); // names hold 23 characters
    PickColour(e->Color[2], QColor(1, 2, 3));
    e->Range->MinManualCheck->click();
    Type(e->Range->MinText, "-3");

    // The background script, then the foreground script: switching stores
    // the script being left, and nothing typed for one lands in the other.
    e->ViewBackScriptButton->click();
    EXPECT_EQ(e->ViewInfoLabel->text(),
              "Background Script: This code is run only once and should be used to draw as many of this display's "
              "static elements as possible.");
    EXPECT_FALSE(e->ParamBox->isVisible());
    EXPECT_TRUE(e->ScriptText->isVisible());
    EXPECT_TRUE(e->OutputText->isVisible());
    EXPECT_EQ(e->ScriptText->toPlainText(), "old back");
    EXPECT_EQ(e->OutputText->toPlainText(), ""); // no script engine, no log
    TypeScript(e->ScriptText, "frame(\u00ABbox\u00BB);");
    e->ViewForeScriptButton->click();
    EXPECT_EQ(e->ViewInfoLabel->text(),
              "Foreground Script: This code is run every time and should be used to draw this display's moving or "
              "changing elements.");
    EXPECT_EQ(ScriptOf(Stored(object)->BackScript), "frame(\u00ABbox\u00BB);");
    EXPECT_EQ(ScriptOf(Stored(object)->ForeScript), "old fore");
    EXPECT_EQ(e->ScriptText->toPlainText(), "old fore");
    TypeScript(e->ScriptText, "needle(value);");
    QTest::mouseClick(e->window()->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    EXPECT_TRUE(e->Success());
  });
  ASSERT_EQ(modalRuns.size(), 1u);
  EXPECT_EQ(modalRuns.back(), "wcDispObjEnhEdit");

  auto expected = Sample();
  expected->TriggerValue = 2.25;
  expected->Options = 0xFC | kEnhTrigger | kEnhLabelTopLayer;
  expected->LabelSize = 40;
  expected->LabelColor = 0x0000C000;
  expected->LabelStyle = kEnhLabelBold;
  expected->LabelX = 65535;
  FieldCopy(expected->Field, kNameLength, channels[1].toStdU16String());
  expected->SizeX = 640;
  expected->SizeY = 360;
  expected->ColorCount = 3;
  FieldCopy(expected->ColorName[2], kEnhNameUnits, std::u16string(23, u'n'));
  expected->Color[2] = 0x00010203;
  expected->Min = -3;
  std::memset(expected->BackScript, 0, kScriptBytes);
  std::strcpy(expected->BackScript, "frame(\u00ABbox\u00BB);");
  std::memset(expected->ForeScript, 0, kScriptBytes);
  std::strcpy(expected->ForeScript, "needle(value);");
  EXPECT_TRUE(SameBytes(*Stored(object), *expected));
  // The panel shows what the editor left.
  EXPECT_EQ(panel->ColorLabel[2]->text(), QString(23, 'n') + ":");
  EXPECT_FALSE(panel->TriggerText->isHidden());
  EXPECT_TRUE(main->ProjectModified());

  // Again: no notice, and the editor opens in the view it was left in.
  EditScripts(panel, [&](wcDispObjEnhEdit* e) {
    EXPECT_EQ(e->ViewMode(), wcDispObjEnhEdit::kViewForeScript);
    EXPECT_TRUE(e->ScriptText->isVisible());
    EXPECT_EQ(e->ScriptText->toPlainText(), "needle(value);");
    e->OkButton_Pressed();
  });
  EXPECT_EQ(CountMessages(kNoticePart), 1);
  EXPECT_TRUE(Setting("ShowedEnhancedNotice").toBool());

  // Saved and opened again: the record byte for byte.
  const std::string path = File("scripted.qvp");
  ASSERT_TRUE(main->SaveProject(QString::fromStdString(path).toStdWString()));
  main->NewProject();
  ASSERT_EQ(DispObjCount(), 0u);
  ASSERT_TRUE(main->OpenAssociatedFile(QString::fromStdString(path)));
  const uint32_t reopened = DispObjFind(u"Enhanced Obj");
  ASSERT_NE(reopened, kNoDispObj);
  ASSERT_EQ(DispObjGet(reopened)->ParamSize, sizeof(EnhParam));
  EXPECT_TRUE(SameBytes(*Stored(reopened), *expected));
  Editor()->close();
}

// Every edit reaches the engine at once; Cancel returns the project to the
// checkpoint taken before the editor opened.
TEST_F(EnhancedTest, CancelTakesBackEverythingTheEditorWrote) {
  auto record = Sample();
  const uint32_t object = AddScripted(*record);
  auto* panel = Open<vcDispObjEnhanced>(object, kPanelEnhanced);
  EditScripts(panel, [&](wcDispObjEnhEdit* e) {
    Type(e->SizeXText, "99");
    Type(e->ColorCountText, "5");
    e->ViewBackScriptButton->click();
    TypeScript(e->ScriptText, "scrap();");
    e->ViewParamButton->click();
    EXPECT_EQ(Stored(object)->SizeX, 99);
    EXPECT_EQ(ScriptOf(Stored(object)->BackScript), "scrap();");
    QTest::mouseClick(e->window()->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    EXPECT_FALSE(e->Success());
  });
  EXPECT_TRUE(SameBytes(*Stored(object), *record));
  EXPECT_TRUE(panel->Color[1]->isVisible());
  EXPECT_FALSE(panel->Color[2]->isVisible());

  // Closing the window counts as Cancel; the undo snapshot is the restored state.
  EditScripts(panel, [&](wcDispObjEnhEdit* e) {
    Type(e->SizeYText, "1");
    e->close();
  });
  EXPECT_TRUE(SameBytes(*Stored(object), *record));
  ASSERT_EQ(UndoToggle(), 0);
  EXPECT_TRUE(SameBytes(*Stored(object), *record));
  Editor()->close();
}

// A script keeps at most 32,767 bytes of UTF-8 and is never cut inside a
// character; a script the user did not touch is kept byte for byte.
TEST_F(EnhancedTest, ScriptsKeepAtMost32767BytesAndWholeCharacters) {
  auto record = Sample();
  record->ForeScript[0] = '\xFF'; // not UTF-8
  record->ForeScript[1] = 'x';
  record->ForeScript[2] = 0;
  const uint32_t object = AddScripted(*record);
  auto* panel = Open<vcDispObjEnhanced>(object, kPanelEnhanced);
  struct Case {
    QString text;
    std::string kept;
    bool cut;
  };
  const std::string as(32767, 'a');
  const Case cases[] = {
      {QString::fromStdString(as), as, false},
      {QString::fromStdString(as) + "b", as, true},
      {QString(32766, 'a') + QChar(0x00E9), std::string(32766, 'a'), true},           // 2 bytes, 1 would fit
      {QString(32765, 'a') + QChar(0x20AC), std::string(32765, 'a'), true},           // 3 bytes, 2 would fit
      {QString(32764, 'a') + QString::fromUcs4(U"\U0001F3C1"), std::string(32764, 'a'), true}, // 4 bytes, 3 would fit
      {QString(32765, 'a') + QChar(0x00E9), std::string(32765, 'a') + "\xC3\xA9", false},     // fits exactly
  };
  EditScripts(panel, [&](wcDispObjEnhEdit* e) {
    e->ViewForeScriptButton->click();
    e->ViewBackScriptButton->click(); // the foreground script was not touched
    EXPECT_EQ(std::memcmp(Stored(object)->ForeScript, "\xFFx", 3), 0);
    for (const Case& c : cases) {
      messages.clear();
      TypeScript(e->ScriptText, c.text);
      e->RefreshPreviewButton->click();
      const auto stored = Stored(object);
      EXPECT_EQ(ScriptOf(stored->BackScript), c.kept) << c.text.size();
      EXPECT_EQ(CountMessages(L"at most 32,767 bytes"), c.cut ? 1 : 0) << c.text.size();
      // What stays in view is what was kept.
      EXPECT_EQ(e->ScriptText->toPlainText().toUtf8().toStdString(), c.kept);
      for (int i = static_cast<int>(c.kept.size()); i < kScriptBytes; ++i) ASSERT_EQ(stored->BackScript[i], 0) << i;
      EXPECT_EQ(std::memcmp(stored->ForeScript, "\xFFx", 3), 0);
    }
    e->OkButton_Pressed();
  });
}

// The style files of a scripted object: an export holds the script as the
// user sees it, an import replaces the record and the window shows it.
TEST_F(EnhancedTest, StylesCarryTheScriptsAsShown) {
  const QString styles = ClearStyleFolder();
  auto record = Sample();
  const uint32_t object = AddScripted(*record);
  const uint32_t other = AddScripted(*Sample());
  auto* panel = Open<vcDispObjEnhanced>(object, kPanelEnhanced);
  const QString file = styles + "/Scripted.qvo";
  EditScripts(panel, [&](wcDispObjEnhEdit* e) {
    e->ViewBackScriptButton->click();
    TypeScript(e->ScriptText, "typed_but_not_stored();");
    panelAnswers.push_back({file});
    e->StyleExportButton->click();
    EXPECT_EQ(e->ScriptText->toPlainText(), "typed_but_not_stored();");
    e->OkButton_Pressed();
  });
  ASSERT_TRUE(QFile::exists(file));

  Editor()->SetDisplayObject(static_cast<int>(other));
  auto* otherPanel = static_cast<vcDispObjEnhanced*>(Editor()->Panel(kPanelEnhanced));
  EditScripts(otherPanel, [&](wcDispObjEnhEdit* e) {
    EXPECT_EQ(e->ScriptText->toPlainText(), "old back");
    panelAnswers.push_back({file});
    e->StyleButton->click();
    EXPECT_EQ(e->ScriptText->toPlainText(), "typed_but_not_stored();");
    EXPECT_EQ(e->StyleButton->text(), "Scripted");
    panelAnswers.push_back({}); // Cancel: nothing
    e->StyleButton->click();
    e->OkButton_Pressed();
  });
  EXPECT_EQ(ScriptOf(Stored(other)->BackScript), "typed_but_not_stored();");
  EXPECT_TRUE(SameBytes(*Stored(other), *Stored(object)));
}

TEST(EnhParamEdit, ColourTitlesAndTriggerComparison) {
  auto p = std::make_unique<EnhParam>();
  EXPECT_EQ(EnhColorTitle(*p, 0), "Color A:");
  EXPECT_EQ(EnhColorTitle(*p, 7), "Color H:");
  FieldCopy(p->ColorName[2], kEnhNameUnits, u"Warning");
  EXPECT_EQ(EnhColorTitle(*p, 2), "Warning:");
  EXPECT_FALSE(EnhTriggerDiffers(1.0000004, 1.0));
  EXPECT_TRUE(EnhTriggerDiffers(1.000001, 1.0));
  EXPECT_FALSE(EnhTriggerDiffers(-2.5000004, -2.5));
}
