// The preview and editing settings read at start-up: built-in defaults,
// stored values, the migration of old releases' values and the clamps.
#include <QAction>
#include <cstdlib>

#include "base/identity.h"
#include "engine/model/project.h"
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
  PreviewX = screenWidth < 1152 ? 640 : 720;
  PreviewY = 480;
  PreviewQuality = 1;
  PreviewFrameRate = 29.97;
  PreviewAudioType = 3;
  PreviewAudioRate = 22050;
  PreviewVolume = 100;
  PreviewFastSeek = true;
  SnapToGrid = true;
  Gestures = true;
  ShowMenuAtStart = true;
  if (UserDefaults() != nullptr) {
    int unit = localeSpeedUnit();
    readStoredSettings(unit);
    ProjectSetDefaultSpeedUnit(unit);
    ProjectSetSpeedUnit(static_cast<uint32_t>(unit));
    migrateSettings();
  }
  AppDelegate* app = AppDelegate::shared();
  if (app != nullptr && app->mnuEditSnapToGrid != nullptr) app->mnuEditSnapToGrid->setChecked(SnapToGrid);
  if (app != nullptr && app->mnuEditGestures != nullptr) app->mnuEditGestures->setChecked(Gestures);
  clampSettings(screenWidth, screenHeight);
}

void wcMain::readStoredSettings(int& unit) {
  UserDefaultsReadInt("PreviewX", PreviewX);
  UserDefaultsReadInt("PreviewY", PreviewY);
  UserDefaultsReadInt("PreviewQuality", PreviewQuality);
  UserDefaultsReadDouble("PreviewFrameRate", PreviewFrameRate);
  UserDefaultsReadInt("PreviewAudioType", PreviewAudioType);
  UserDefaultsReadInt("PreviewAudioRate", PreviewAudioRate);
  UserDefaultsReadInt("PreviewVolume", PreviewVolume);
  UserDefaultsReadBool("PreviewFastSeek", PreviewFastSeek);
  UserDefaultsReadBool("SnapToGrid", SnapToGrid);
  UserDefaultsReadBool("Gestures", Gestures);
  UserDefaultsReadBool("ShowMenuAtStart", ShowMenuAtStart);
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
    if (static_cast<unsigned>(PreviewQuality) >= 4 && PreviewQuality != 5) {
      PreviewQuality = 3;
      UserDefaultsWrite("PreviewQuality", PreviewQuality);
    }
    int videoQuality = 0;
    if (UserDefaultsReadInt("VideoQuality", videoQuality) && static_cast<unsigned>(videoQuality) >= 4 &&
        videoQuality != 5) {
      UserDefaultsWrite("VideoQuality", 3);
    }
  }
  if (lastRun < kLastAudioTypeRelease) PreviewAudioType = 3;
  UserDefaultsWrite("LastRunRelease", static_cast<int>(GetAppBuildNumber()));
}

void wcMain::clampSettings(int screenWidth, int screenHeight) {
  if (static_cast<unsigned>(PreviewQuality) >= 6) PreviewQuality = 1;
  if (!(PreviewFrameRate >= 1.0 && PreviewFrameRate <= 60.0)) PreviewFrameRate = 29.97;
  // A size stored on a larger screen would push the window (and its
  // transport) off this one.
  if (PreviewX <= 159 || PreviewY < 90 || std::abs(PreviewX) > screenWidth || std::abs(PreviewY) > screenHeight ||
      !PreviewAreaFits(PreviewX, PreviewY)) {
    PreviewX = 600;
    PreviewY = 400;
  }
  if (static_cast<unsigned>(PreviewAudioType) >= 4) PreviewAudioType = 3;
  if (!knownAudioRate(PreviewAudioRate)) PreviewAudioRate = 22050;
  SetPreviewVolume(static_cast<unsigned>(PreviewVolume) > 100 ? 100 : PreviewVolume, false);
}
