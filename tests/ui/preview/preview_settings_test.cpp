// The preview settings window run from the main window: what it shows for
// stored values (with its fall-back cells), what it stores on OK, and that
// the preview is rebuilt at the chosen size with the main window fitted
// round it.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSlider>

#include "render/preview/main_preview.h"
#include "ui/preview/preview_fixture.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcPreview.h"
#include "ui/support/window_shots.h"

namespace {

class PreviewSettingsTest : public PreviewTest {
protected:
  // Opens the window from the main window; act plays the user's part once
  // the window has filled its controls.
  void Run(const std::function<void(wcPreview*)>& act) {
    onModal = [act](WindowController* controller) {
      auto* settings = qobject_cast<wcPreview*>(controller);
      EXPECT_NE(settings, nullptr);
      if (settings == nullptr) return 0;
      controller->showWindow();
      EXPECT_TRUE(SpinUntil([settings]() { return !settings->FreshWindow(); }));
      act(settings);
      if (controller->window()->isVisible()) controller->close();
      return 0;
    };
    // The transport's button, as the user would.
    auto* button = main->PreviewGroup()->findChild<QPushButton*>("PreviewSettingsButton");
    ASSERT_NE(button, nullptr);
    button->click();
  }

  static void choose(QButtonGroup* group, const QString& title) {
    for (QAbstractButton* button : group->buttons()) {
      if (button->text() == title) button->click();
    }
  }
};

} // namespace

TEST_F(PreviewSettingsTest, StoredValuesShowTheirCellsAndComeBackUnchanged) {
  LaunchMain();
  main->SetPreviewOptions({5, 23.976, 2, 44100, false});
  Run([](wcPreview* settings) {
    EXPECT_EQ(wcPreview::SelectedTitle(settings->FrameRateGroup), "24 FPS");
    EXPECT_EQ(wcPreview::SelectedTitle(settings->PictureSizeGroup), "720 x 480");
    EXPECT_EQ(wcPreview::SelectedTitle(settings->AudioRateGroup), "44 kHz");
    EXPECT_EQ(wcPreview::SelectedTitle(settings->AudioTypeGroup), "16-Bit Mono");
    EXPECT_EQ(settings->QualitySlider->value(), 0);
    EXPECT_FALSE(settings->FastSeekCheck->isChecked());
    SaveWindowShot(settings->window(), "preview-settings");
    settings->OkButton_Pressed();
  });
  EXPECT_DOUBLE_EQ(main->previewOptions().frameRate, 23.976);
  EXPECT_DOUBLE_EQ(Setting("PreviewFrameRate").toDouble(), 23.976);
  EXPECT_EQ(Setting("PreviewAudioRate").toInt(), 44100);
  EXPECT_EQ(Setting("PreviewAudioType").toInt(), 2);
  EXPECT_EQ(Setting("PreviewQuality").toInt(), 5);
  EXPECT_EQ(Setting("PreviewFastSeek").toInt(), 0);
  EXPECT_EQ(Setting("PreviewX").toInt(), 720);
  EXPECT_EQ(modalRuns.back(), "wcPreview");
}

TEST_F(PreviewSettingsTest, UnknownValuesFallBackAndAreStoredAsTheFallBack) {
  LaunchMain();
  main->SetPreviewOptions({7, 29.97, 3, 32000, true});
  main->SetPreviewArea(false, 600, 400);
  Run([](wcPreview* settings) {
    EXPECT_EQ(wcPreview::SelectedTitle(settings->FrameRateGroup), "30 FPS");
    EXPECT_EQ(wcPreview::SelectedTitle(settings->PictureSizeGroup), "640 x 480");
    EXPECT_EQ(wcPreview::SelectedTitle(settings->AudioRateGroup), "22 kHz");
    EXPECT_EQ(wcPreview::SelectedTitle(settings->AudioTypeGroup), "16-Bit Stereo");
    EXPECT_EQ(settings->QualitySlider->value(), 2); // quality reset to 1
    settings->OkButton_Pressed();
  });
  EXPECT_EQ(main->previewOptions().quality, 1);
  EXPECT_DOUBLE_EQ(Setting("PreviewFrameRate").toDouble(), 29.97);
  EXPECT_EQ(Setting("PreviewAudioRate").toInt(), 22050);
  EXPECT_EQ(Setting("PreviewAudioType").toInt(), 3);
  // The preview was rebuilt at the size chosen, the fall-back cell's.
  EXPECT_EQ(main->PreviewSize().width(), 640);
  EXPECT_EQ(MainPreviewWidth(), 640u);
  EXPECT_EQ(MainPreviewHeight(), 480u);
}

TEST_F(PreviewSettingsTest, ChoicesAreStoredAndCancelKeepsEverything) {
  LaunchMain();
  Run([](wcPreview* settings) {
    choose(settings->FrameRateGroup, "25 FPS");
    choose(settings->PictureSizeGroup, "320 x 240");
    choose(settings->AudioRateGroup, "8 kHz");
    settings->QualitySlider->setValue(5); // quality 4
    settings->FastSeekCheck->setChecked(true);
    settings->OkButton_Pressed();
  });
  EXPECT_DOUBLE_EQ(main->previewOptions().frameRate, 25.0);
  EXPECT_EQ(main->previewOptions().audioRate, 8000);
  EXPECT_EQ(main->previewOptions().quality, 4);
  EXPECT_TRUE(main->previewOptions().fastSeek);
  EXPECT_EQ(MainPreviewWidth(), 320u);
  EXPECT_EQ(Setting("PreviewY").toInt(), 240);

  // A quality out of range is reset as soon as the window opens, even when
  // the user then cancels.
  PreviewOptions unknown = main->previewOptions();
  unknown.quality = -1;
  main->SetPreviewOptions(unknown);
  Run([](wcPreview* settings) {
    choose(settings->FrameRateGroup, "60 FPS");
    settings->CancelButton_Pressed();
  });
  EXPECT_EQ(main->previewOptions().quality, 1);
  EXPECT_DOUBLE_EQ(main->previewOptions().frameRate, 25.0);
  EXPECT_DOUBLE_EQ(Setting("PreviewFrameRate").toDouble(), 25.0);
}

// The user picks a preview size and presses OK: the main window grows round
// a larger picture and, for a smaller one, its minimum follows and it gives
// back what it grew by (unless the user has sized it since); up, down, up
// and down again.
TEST_F(PreviewSettingsTest, TheMainWindowFollowsEachPictureSizeUpAndDown) {
  screen = QRect(0, 0, 1920, 1080); // room for the largest picture
  LaunchMain();
  QWidget* window = main->window();
  auto pick = [this](const QString& title) {
    Run([title](wcPreview* settings) {
      choose(settings->PictureSizeGroup, title);
      EXPECT_EQ(wcPreview::SelectedTitle(settings->PictureSizeGroup), title);
      settings->window()->findChild<QPushButton*>("OkButton")->click();
    });
    EXPECT_EQ(main->PreviewSize(), QSize(title.section(" x ", 0, 0).toInt(), title.section(" x ", 1).toInt()));
  };
  const QSize smallMinimum = window->minimumSize();
  const QSize smallSize = window->size();
  EXPECT_GE(smallMinimum.width(), 720 + 380);
  EXPECT_GE(smallMinimum.height(), 480 + 165);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    pick("1280 x 720");
    const QSize large = window->minimumSize();
    EXPECT_GE(large.width(), 1280 + 380);
    EXPECT_GE(large.height(), 720 + 165);
    EXPECT_EQ(window->size(), large.expandedTo(smallSize));
    EXPECT_EQ(MainPreviewWidth(), 1280u);

    pick("720 x 480");
    EXPECT_EQ(window->minimumSize(), smallMinimum);
    EXPECT_EQ(window->size(), smallSize);
    EXPECT_EQ(MainPreviewWidth(), 720u);
  }
  // A size the user gave the window after it grew is the user's: it stays.
  pick("1280 x 720");
  const QSize own = window->size() + QSize(40, 30);
  window->resize(own);
  pick("720 x 480");
  EXPECT_EQ(window->minimumSize(), smallMinimum);
  EXPECT_EQ(window->size(), own);
}
