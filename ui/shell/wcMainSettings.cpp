// The preview and editing settings read at start-up: built-in defaults,
// stored values, the migration of old releases' values and the clamps.
#include <QAction>
#include <cstdlib>

#include "base/identity.h"
#include "model/project.h"
#include "ui/seams/desktop.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"

namespace {

constexpr int kLastQualityRelease = 20130519;
constexpr int kLastAudioTypeRelease = 20130822;

bool knownAudioRate(int rate) {
  return rate == 8000 || rate == 11025 || rate == 22050 || rate == 44100 || rate == 48000;
}

// 1 (MPH) where the locale drives in miles, 2 (Km/h) elsewhere.
int localeSpeedUnit() {
  QString id = LocaleIdentifier();
  if (id.isEmpty()) return static_cast<int>(kSpeedMph);
  for (const char* region : {"_US", "_VI", "_UM", "_AS", "_GB"}) {
    if (id.contains(region, Qt::CaseInsensitive)) return static_cast<int>(kSpeedMph);
  }
  return static_cast<int>(kSpeedKmh);
}

} // namespace

void wcMain::readSettings() {
  QRect screen = ScreenVisibleFrame(windowIfLoaded());
  const int screenWidth = screen.width();
  const int screenHeight = screen.height();
  previewX_ = screenWidth < 1152 ? 640 : 720;
  previewY_ = 480;
  previewOptions_.quality = 1;
  previewOptions_.frameRate = 29.97;
  previewOptions_.audioType = 3;
  previewOptions_.audioRate = 22050;
  previewVolume_ = 100;
  previewOptions_.fastSeek = true;
  snapToGrid_ = true;
  gestures_ = true;
  showMenuAtStart_ = true;
  if (UserDefaults() != nullptr) {
    int unit = localeSpeedUnit();
    readStoredSettings(unit);
    ProjectSetDefaultSpeedUnit(unit);
    ProjectSetSpeedUnit(static_cast<uint32_t>(unit));
    migrateSettings();
  }
  if (AppDelegate* app = AppDelegate::shared()) app->SetSettingChecks(snapToGrid_, gestures_);
  clampSettings(screenWidth, screenHeight);
}

void wcMain::readStoredSettings(int& unit) {
  UserDefaultsReadInt("PreviewX", previewX_);
  UserDefaultsReadInt("PreviewY", previewY_);
  UserDefaultsReadInt("PreviewQuality", previewOptions_.quality);
  UserDefaultsReadDouble("PreviewFrameRate", previewOptions_.frameRate);
  UserDefaultsReadInt("PreviewAudioType", previewOptions_.audioType);
  UserDefaultsReadInt("PreviewAudioRate", previewOptions_.audioRate);
  UserDefaultsReadInt("PreviewVolume", previewVolume_);
  UserDefaultsReadBool("PreviewFastSeek", previewOptions_.fastSeek);
  UserDefaultsReadBool("SnapToGrid", snapToGrid_);
  UserDefaultsReadBool("Gestures", gestures_);
  UserDefaultsReadBool("ShowMenuAtStart", showMenuAtStart_);
  int stored = 0;
  // A unit the engine does not know would leave speeds unlabelled; the
  // locale's stands instead.
  if (UserDefaultsReadInt("DefaultSpeedUnit", stored) && stored >= static_cast<int>(kSpeedMph) && stored <= static_cast<int>(kSpeedMs)) unit = stored;
}

void wcMain::migrateSettings() {
  int lastRun = 0;
  UserDefaultsReadInt("LastRunRelease", lastRun);
  if (lastRun <= kLastQualityRelease) {
    // Qualities 4 and 6+ of those releases no longer exist; 5 kept its meaning.
    if (static_cast<unsigned>(previewOptions_.quality) >= 4 && previewOptions_.quality != 5) {
      previewOptions_.quality = 3;
      UserDefaultsWrite("PreviewQuality", previewOptions_.quality);
    }
    int videoQuality = 0;
    if (UserDefaultsReadInt("VideoQuality", videoQuality) && static_cast<unsigned>(videoQuality) >= 4 &&
        videoQuality != 5) {
      UserDefaultsWrite("VideoQuality", 3);
    }
  }
  if (lastRun < kLastAudioTypeRelease) previewOptions_.audioType = 3;
  UserDefaultsWrite("LastRunRelease", static_cast<int>(GetAppBuildNumber()));
}

void wcMain::clampSettings(int screenWidth, int screenHeight) {
  if (static_cast<unsigned>(previewOptions_.quality) >= 6) previewOptions_.quality = 1;
  if (!(previewOptions_.frameRate >= 1.0 && previewOptions_.frameRate <= 60.0)) previewOptions_.frameRate = 29.97;
  // A size stored on a larger screen would push the window (and its
  // transport) off this one.
  if (previewX_ <= 159 || previewY_ < 90 || std::abs(previewX_) > screenWidth || std::abs(previewY_) > screenHeight ||
      !PreviewAreaFits(previewX_, previewY_)) {
    previewX_ = 600;
    previewY_ = 400;
  }
  if (static_cast<unsigned>(previewOptions_.audioType) >= 4) previewOptions_.audioType = 3;
  if (!knownAudioRate(previewOptions_.audioRate)) previewOptions_.audioRate = 22050;
  SetPreviewVolume(static_cast<unsigned>(previewVolume_) > 100 ? 100 : previewVolume_, false);
}
