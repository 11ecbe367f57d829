// The project settings window run from the main window: filling, the
// check-box rules, storing into the project, and Cancel.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "io/files/undo.h"
#include "model/project.h"
#include "ui/shell/wcProject.h"
#include "ui/support/lists_fixture.h"

class ProjectSettingsTest : public ListsTest {
protected:
  // Runs the window; play changes the controls while it is open.
  void Run(const std::function<void(wcProject*)>& play) {
    onModal = [play](WindowController* controller) {
      auto* window = static_cast<wcProject*>(controller);
      window->showWindow();
      EXPECT_TRUE(SpinUntil([window]() { return !window->FreshWindow(); }));
      play(window);
      return 0;
    };
    main->ProjectSettings();
    ASSERT_FALSE(modalRuns.empty());
    EXPECT_EQ(modalRuns.back(), "wcProject");
    EXPECT_FALSE(app->windows().wndProject()->window()->isVisible());
  }
};

TEST_F(ProjectSettingsTest, SettingsGoIntoTheProjectAndComeBack) {
  QString longText;
  for (int i = 0; i < 1100; ++i) longText += QChar('a' + i % 26);
  Run([&](wcProject* w) {
    EXPECT_FALSE(w->ManualLengthCheck->isChecked());
    EXPECT_EQ(w->ProjectLengthText->text(), "00:00:00.00");
    EXPECT_FALSE(w->LengthMatchCheck->isVisible());
    EXPECT_EQ(w->SpeedUnitSelection->count(), 4);
    w->UserText->setPlainText(longText);
    w->ProjectLengthText->setText("1:30");
    w->SpeedUnitSelection->setEditText("KNOTS");
    w->OkButton->click();
  });
  EXPECT_EQ(QString::fromStdU16String(ProjectGetUserText()), longText.left(1023));
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 90.0f);
  EXPECT_EQ(ProjectGetSpeedUnit(), 3u);
  EXPECT_EQ(ProjectGetDefaultSpeedUnit(), 3u);
  EXPECT_EQ(Setting("DefaultSpeedUnit").toInt(), 3);
  EXPECT_TRUE(main->ProjectModified());

  // Open again: it shows what was stored. Cancel then changes nothing.
  main->setProjectModified(false);
  Run([&](wcProject* w) {
    EXPECT_EQ(w->UserText->toPlainText(), longText.left(1023));
    EXPECT_TRUE(w->ManualLengthCheck->isChecked());
    EXPECT_EQ(w->ProjectLengthText->text(), "00:01:30.00");
    EXPECT_EQ(w->SpeedUnitSelection->currentText(), "Knots");
    w->UserText->setPlainText("changed");
    w->SpeedUnitSelection->setCurrentIndex(0);
    w->CancelButton->click();
  });
  EXPECT_EQ(QString::fromStdU16String(ProjectGetUserText()), longText.left(1023));
  EXPECT_EQ(ProjectGetSpeedUnit(), 3u);
  EXPECT_FALSE(main->ProjectModified());
}

TEST_F(ProjectSettingsTest, TurningManualLengthOffRestoresTheLengthAndOkKeepsItAutomatic) {
  ProjectSetSpeedUnit(kSpeedMs);
  const QVariant storedUnit = Setting("DefaultSpeedUnit");
  Run([](wcProject* w) {
    const QString original = w->ProjectLengthText->text();
    w->ProjectLengthText->setText("5:00");
    emit w->ProjectLengthText->textEdited("5:00");
    EXPECT_TRUE(w->ManualLengthCheck->isChecked());
    w->ManualLengthCheck->click();
    EXPECT_EQ(w->ProjectLengthText->text(), original);
    w->SpeedUnitSelection->setEditText("");
    w->OkButton->click();
  });
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0.0f);
  // An empty unit text leaves the unit and the stored default alone.
  EXPECT_EQ(ProjectGetSpeedUnit(), static_cast<uint32_t>(kSpeedMs));
  EXPECT_EQ(Setting("DefaultSpeedUnit"), storedUnit);
  EXPECT_TRUE(main->ProjectModified());
}

TEST_F(ProjectSettingsTest, ZeroOrAnOverlongLengthIsAutomatic) {
  Run([](wcProject* w) {
    w->ProjectLengthText->setText(QString(70, '1'));
    w->OkButton->click();
  });
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0.0f);
  Run([](wcProject* w) {
    w->ProjectLengthText->setText("2:00");
    w->OkButton->click();
  });
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 120.0f);
  Run([](wcProject* w) {
    w->ProjectLengthText->setText("0");
    w->OkButton->click();
  });
  EXPECT_FLOAT_EQ(ProjectGetLength(1), 0.0f);
}

TEST(ProjectSettingsText, UnitNamesAndCutting) {
  EXPECT_EQ(wcProject::SpeedUnitFromText("km/H"), 2);
  EXPECT_EQ(wcProject::SpeedUnitFromText("Knots"), 3);
  EXPECT_EQ(wcProject::SpeedUnitFromText("M/S"), 4);
  EXPECT_EQ(wcProject::SpeedUnitFromText("furlongs"), 1);
  // A pair that would be split at the cut goes whole.
  QString text = QString(1022, 'x') + QString::fromUcs4(U"\U0001F600");
  EXPECT_EQ(wcProject::CutUserText(text), QString(1022, 'x'));
  EXPECT_EQ(wcProject::CutUserText("short"), "short");
}
