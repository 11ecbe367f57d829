#include "ui/seams/desktop.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QWidget>

namespace {

OpenUrlHook& urlHook() {
  static OpenUrlHook installed;
  return installed;
}

LocaleHook& localeHook() {
  static LocaleHook installed;
  return installed;
}

ScreenHook& screenHook() {
  static ScreenHook installed;
  return installed;
}

QScreen* screenOf(QWidget* widget) {
  QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
  return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

} // namespace

void OpenUrlInstall(OpenUrlHook hook) { urlHook() = std::move(hook); }

bool OpenUrl(const QUrl& url) { return urlHook() ? urlHook()(url) : QDesktopServices::openUrl(url); }

void LocaleInstall(LocaleHook hook) { localeHook() = std::move(hook); }

QString LocaleIdentifier() {
  if (localeHook()) return localeHook()();
  QString name = QLocale::system().name();
  return name.isEmpty() ? QLocale().name() : name;
}

void ScreenInstall(ScreenHook hook) { screenHook() = std::move(hook); }

QRect ScreenVisibleFrame(QWidget* widget) {
  if (screenHook()) return screenHook()(widget);
  QScreen* screen = screenOf(widget);
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

QRect ScreenFrame(QWidget* widget) {
  if (screenHook()) return screenHook()(widget);
  QScreen* screen = screenOf(widget);
  return screen != nullptr ? screen->geometry() : QRect();
}
