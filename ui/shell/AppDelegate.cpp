#include "ui/shell/AppDelegate.h"

#include <QCoreApplication>
#include <QPainter>

#include "ui/shell/WindowController.h"
#include "ui/shell/wcAbout.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcRecovery.h"
#include "ui/shell/wcSplash.h"
#include "ui/shell/wcTip.h"

namespace {

AppDelegate* sharedDelegate = nullptr;

// The artwork of a list icon: a coloured tile, so every list row is marked
// even where no picture file is installed beside the program.
QImage drawnIcon(const QString& name) {
  QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  uint hue = qHash(name) % 360;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor::fromHsv(static_cast<int>(hue), 150, 210));
  painter.setPen(QColor::fromHsv(static_cast<int>(hue), 200, 120));
  painter.drawRoundedRect(QRectF(2.5, 2.5, 19, 19), 4, 4);
  return image;
}

QImage loadIcon(const QString& name) {
  const QString dir = QCoreApplication::applicationDirPath();
  for (const QString& folder : {dir + "/icons/", dir + "/../share/quelvatron/icons/"}) {
    QImage image(folder + name + ".png");
    if (!image.isNull()) return image;
  }
  return drawnIcon(name);
}

} // namespace

AppDelegate::AppDelegate() { sharedDelegate = this; }

AppDelegate::~AppDelegate() {
  waitForLaunchThread();
  for (WindowController* controller : Registry()) delete controller;
  delete wndSplash;
  if (sharedDelegate == this) sharedDelegate = nullptr;
}

AppDelegate* AppDelegate::shared() { return sharedDelegate; }

void AppDelegate::waitForLaunchThread() {
  if (launchThread_.joinable()) launchThread_.join();
}

std::vector<WindowController*> AppDelegate::Registry() const {
  return {wndMain,          wndCreateVideo,   wndCreateStatus,       wndUpload,         wndAbout,
          wndPreview,       wndProject,       wndRecovery,           wndInputEdit,      wndInputCrop,
          wndInputSetLap,   wndInputSync,     wndInputTrim,          wndLapList,        wndDispObjEdit,
          wndDispObjBackground, wndDispObjToolbox, wndDispObjGaugeDesign, wndTemplateMenu, wndTemplateLoad,
          wndTemplateConfig, wndTemplateCreate, wndTimeline,         wndTimelineEdit,   wndTip,
          wndTransfer,      wndProjectWiz,    wndInputSync2,         wndDispObjEnhEdit};
}

WindowController* AppDelegate::RegistryFind(const QString& name) const {
  if (!name.startsWith("wnd")) return nullptr;
  QString nib = "wc" + name.mid(3);
  for (WindowController* controller : Registry()) {
    if (controller != nullptr && controller->nibName() == nib) return controller;
  }
  return nullptr;
}

const QStringList& AppDelegate::ListIconNames() {
  static const QStringList names = {
      "Config",        "Video - 24",    "Audio - 24",      "Image - 24",  "Data - 24",     "Join - 24",
      "Filler - 24",   "Group - 24",    "Video - 24D",     "Audio - 24D", "Shapes - 24",   "Text - 24",
      "Gauge - 24",    "Bar - 24",      "TrackMap - 24",   "GForce - 24", "Lap - 24",      "Gear - 24",
      "TextData - 24", "Time Graph - 24", "EImage - 24",   "Enhanced - 24"};
  return names;
}

QImage AppDelegate::ListIcon(const QString& name) const {
  qsizetype index = ListIconNames().indexOf(name);
  if (index < 0 || static_cast<size_t>(index) >= listIcons_.size()) return QImage();
  return listIcons_[static_cast<size_t>(index)];
}

void AppDelegate::loadListIcons() {
  listIcons_.clear();
  bool inputMissing = false;
  for (qsizetype i = 0; i < ListIconNames().size(); ++i) {
    QImage icon = loadIcon(ListIconNames()[i]);
    // Rows 1-6 are the input icons; a missing object icon goes unreported.
    if (icon.isNull() && i >= 1 && i <= 6) inputMissing = true;
    listIcons_.push_back(icon);
  }
  if (inputMissing) qWarning("Input Image Load Fail!");
}
