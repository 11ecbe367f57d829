// Window placement relative to the main window, folders and file types.
#include <QDir>
#include <QWidget>
#include <algorithm>

#include "platform/system/folders.h"
#include "ui/seams/desktop.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/WindowController.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/wcSplash.h"
#include "ui/shell/wcTemplateMenu.h"
#include "ui/util/ui_utils.h"
#include "ui/util/window_fit.h"

namespace {

// A window placed by its reference may stand partly off the screen (beside
// a main window that fills it, or larger than a small screen): it is moved
// back inside the visible area, its top left corner kept visible first, so
// its title bar can always be reached.
QPoint keptOnScreen(QPoint origin, QSize size, const QRect& visible) {
  if (visible.isEmpty()) return origin;
  const int x = std::max(std::min(origin.x(), visible.right() + 1 - size.width()), visible.left());
  const int y = std::max(std::min(origin.y(), visible.bottom() + 1 - size.height()), visible.top());
  return QPoint(x, y);
}

} // namespace

bool AppDelegate::IsWindowVisible(WindowController* controller) {
  return controller != nullptr && controller->isWindowLoaded() && controller->windowIfLoaded()->isVisible();
}

QString AppDelegate::GetDocFolder(const QString& subFolder) {
  QString documents = WStrToNSString(GetDocumentsFolder());
  QString path = documents.isEmpty() ? QString("Quelvatron") : documents + "/Quelvatron";
  if (!subFolder.isEmpty()) path += "/" + subFolder;
  // Made on demand, so that a first export into it does not fail.
  if (!documents.isEmpty()) QDir().mkpath(path);
  return path;
}

QStringList AppDelegate::GetMediaFileTypes(int mask) {
  static const QStringList video = {"wmv", "asf", "avi", "mp4", "mov", "qt", "dv", "m4v", "3gp", "3gpp",
                                    "3g2", "3gp2", "mjpg", "mts", "m2ts", "mpg", "mpeg", "m2v", "ap4h", "apcn"};
  static const QStringList audio = {"wma", "asf", "mp3", "wav", "m4a", "m4b", "m4r", "aac", "adts"};
  static const QStringList image = {"bmp", "dib", "jpg", "jpeg", "gif", "png", "tif", "tiff", "tga", "pic", "pict"};
  static const QStringList data = {"csv", "txt", "gpx", "nmea", "tcx", "fit", "gtr",
                                   "log", "dat", "msl", "sa", "prr", "moff"};
  QStringList types;
  if (mask & 1) types << video;
  if (mask & 2) types << audio;
  if (mask & 4) types << image;
  if (mask & 8) types << data;
  return types;
}

void AppDelegate::CenterWindow(WindowController* controller) { AlignWindow(controller, 0); }

void AppDelegate::AlignWindow(WindowController* controller, int code) {
  if (controller == nullptr) return;
  WindowController* main = windows_.wndMain();
  bool ownScreen = controller == splash() || controller == main || controller == windows_.wndTemplateMenu();
  AlignWindow(controller, code, ownScreen ? nullptr : main);
}

// Codes as the windows name them, in top-left screen coordinates (y down):
// 0 centred on the reference; 1 right edge 40 beyond its right edge, bottom
// 40 below its bottom; 2 right edge 40 beyond, top 40 above its top; 3
// centred across, bottom 40 below; 4 centred across, top at its bottom;
// 5 to its right with a 4-point gap, tops level.
void AppDelegate::AlignWindow(WindowController* controller, int code, WindowController* reference) {
  if (controller == nullptr || !controller->isWindowLoaded()) return;
  QWidget* window = controller->windowIfLoaded();
  QRect ref = reference != nullptr && reference->isWindowLoaded() ? reference->windowIfLoaded()->frameGeometry()
                                                                  : ScreenFrame(window);
  // Not yet on the screen, a window has no frame of its own to measure.
  const QRect frame(window->pos(), window->size().grownBy(WindowFrameMargins(window)));
  const float rx = static_cast<float>(ref.x()), ry = static_cast<float>(ref.y());
  const float rw = static_cast<float>(ref.width()), rh = static_cast<float>(ref.height());
  const float w = static_cast<float>(frame.width()), h = static_cast<float>(frame.height());
  float x = 0, y = 0;
  switch (code) {
  case 0: x = rx + rw * 0.5f - w * 0.5f; y = ry + rh * 0.5f - h * 0.5f; break;
  case 1: x = rx + rw + 40 - w; y = ry + rh + 40 - h; break;
  case 2: x = rx + rw + 40 - w; y = ry - 40; break;
  case 3: x = rx + rw * 0.5f - w * 0.5f; y = ry + rh + 40 - h; break;
  case 4: x = rx + rw * 0.5f - w * 0.5f; y = ry + rh; break;
  case 5: x = rx + rw + 4; y = ry; break;
  default: return;
  }
  MoveWindowFrameTo(window, keptOnScreen(QPoint(static_cast<int>(x), static_cast<int>(y)), frame.size(),
                                         ScreenVisibleFrame(window)));
}
