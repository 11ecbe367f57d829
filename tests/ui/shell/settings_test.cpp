#include <QAction>

#include "model/project.h"
#include "ui/support/shell_fixture.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

TEST_F(ShellTest, FirstRunTakesTheBuiltInValues) {
  ASSERT_TRUE(Launch());
  wcMain* main = app->windows().wndMain();
  EXPECT_EQ(main->PreviewSize(), QSize(720, 480));
  // Quality 1, 29.97 frames a second, stereo at 22050 Hz, fast seek.
  EXPECT_EQ(main->previewOptions(), PreviewOptions{});
  EXPECT_EQ(main->PreviewVolume(), 100);
  EXPECT_TRUE(main->SnapToGrid());
  EXPECT_TRUE(main->Gestures());
  EXPECT_TRUE(app->menuAction("mnuEditSnapToGrid")->isChecked());
  EXPECT_EQ(Setting("LastRunRelease").toInt(), 20140204);
}

TEST_F(ShellTest, ANarrowScreenStartsWithTheSmallerPreview) {
  screen = QRect(0, 0, 1024, 768);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->PreviewSize(), QSize(640, 480));
}

TEST_F(ShellTest, OutOfRangeValuesAreClamped) {
  SetSetting("LastRunRelease", 20140204);
  SetSetting("PreviewX", 100);
  SetSetting("PreviewQuality", 6);
  SetSetting("PreviewFrameRate", 0.5);
  SetSetting("PreviewAudioType", -1);
  SetSetting("PreviewAudioRate", 32000);
  SetSetting("PreviewVolume", -5);
  SetSetting("SnapToGrid", false);
  ASSERT_TRUE(Launch());
  wcMain* main = app->windows().wndMain();
  EXPECT_EQ(main->PreviewSize(), QSize(600, 400));
  EXPECT_EQ(main->previewOptions(), PreviewOptions{});
  EXPECT_EQ(main->PreviewVolume(), 100) << "a negative volume counts as a huge one";
  EXPECT_FALSE(main->SnapToGrid());
  EXPECT_FALSE(app->menuAction("mnuEditSnapToGrid")->isChecked());
  // Clamped values are not written back.
  EXPECT_EQ(Setting("PreviewX").toInt(), 100);
}

TEST_F(ShellTest, ASizeBeyondTheScreenOrTooShortIsReplaced) {
  SetSetting("PreviewX", 1600);
  SetSetting("PreviewY", 900);
  SetSetting("PreviewFrameRate", 75.0);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->PreviewSize(), QSize(600, 400));
  EXPECT_DOUBLE_EQ(app->windows().wndMain()->previewOptions().frameRate, 29.97);
}

TEST_F(ShellTest, AShortPreviewIsReplaced) {
  SetSetting("PreviewX", 640);
  SetSetting("PreviewY", 80);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->PreviewSize(), QSize(600, 400));
}

TEST_F(ShellTest, CorruptedValuesKeepTheBuiltInOnes) {
  SetSetting("PreviewX", "wide");
  SetSetting("PreviewFrameRate", "fast");
  SetSetting("Gestures", "maybe");
  SetSetting("PreviewAudioRate", "44100");
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->PreviewSize().width(), 720);
  EXPECT_DOUBLE_EQ(app->windows().wndMain()->previewOptions().frameRate, 29.97);
  EXPECT_TRUE(app->windows().wndMain()->Gestures());
  EXPECT_EQ(app->windows().wndMain()->previewOptions().audioRate, 44100);
}

TEST_F(ShellTest, OldReleasesQualityIsMigratedAndStored) {
  SetSetting("LastRunRelease", 20130519);
  SetSetting("PreviewQuality", 4);
  SetSetting("VideoQuality", 4);
  SetSetting("PreviewAudioType", 1);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->previewOptions().quality, 3);
  EXPECT_EQ(Setting("PreviewQuality").toInt(), 3);
  EXPECT_EQ(Setting("VideoQuality").toInt(), 3);
  EXPECT_EQ(app->windows().wndMain()->previewOptions().audioType, 3);
  EXPECT_EQ(Setting("PreviewAudioType").toInt(), 1) << "the audio type is not written back";
  EXPECT_EQ(Setting("LastRunRelease").toInt(), 20140204);
}

TEST_F(ShellTest, QualityFiveSurvivesTheMigration) {
  SetSetting("PreviewQuality", 5);
  SetSetting("VideoQuality", 5);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->previewOptions().quality, 5);
  EXPECT_EQ(Setting("VideoQuality").toInt(), 5);
}

TEST_F(ShellTest, MiddleReleasesOnlyResetTheAudioType) {
  SetSetting("LastRunRelease", 20130701);
  SetSetting("PreviewQuality", 4);
  SetSetting("PreviewAudioType", 2);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->previewOptions().quality, 4);
  EXPECT_EQ(app->windows().wndMain()->previewOptions().audioType, 3);
}

TEST_F(ShellTest, RecentReleasesChangeNeither) {
  SetSetting("LastRunRelease", 20130822);
  SetSetting("PreviewQuality", 4);
  SetSetting("PreviewAudioType", 2);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->previewOptions().quality, 4);
  EXPECT_EQ(app->windows().wndMain()->previewOptions().audioType, 2);
}

TEST_F(ShellTest, SpeedUnitFollowsTheLocaleUnlessStored) {
  locale = "de_DE";
  ASSERT_TRUE(Launch());
  EXPECT_EQ(ProjectGetDefaultSpeedUnit(), 2u);
  EXPECT_EQ(ProjectGetSpeedUnit(), 2u);
}

TEST_F(ShellTest, MilesLocalesGiveMph) {
  locale = "en_US";
  ASSERT_TRUE(Launch());
  EXPECT_EQ(ProjectGetSpeedUnit(), 1u);
}

TEST_F(ShellTest, AStoredSpeedUnitWins) {
  locale = "en_GB";
  SetSetting("DefaultSpeedUnit", 4);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(ProjectGetDefaultSpeedUnit(), 4u);
  EXPECT_EQ(ProjectGetSpeedUnit(), 4u);
}

TEST_F(ShellTest, AnUnknownStoredSpeedUnitIsIgnored) {
  locale = "fr_FR";
  SetSetting("DefaultSpeedUnit", 9);
  ASSERT_TRUE(Launch());
  EXPECT_EQ(ProjectGetSpeedUnit(), 2u);
}

TEST_F(ShellTest, ShowMenuAtStartOffMeansNoTemplateMenu) {
  SetSetting("ShowMenuAtStart", false);
  ASSERT_TRUE(Launch());
  EXPECT_FALSE(app->windows().wndMain()->StartupMenuPending());
  EXPECT_EQ(statuses.back(), "Approaching Start");
}

TEST_F(ShellTest, WithoutASettingsStoreTheBuiltInValuesStand) {
  SetSetting("PreviewX", 800);
  UserDefaultsDisable();
  ASSERT_TRUE(Launch());
  EXPECT_EQ(app->windows().wndMain()->PreviewSize().width(), 720);
  EXPECT_TRUE(app->windows().wndMain()->StartupMenuPending());
}
