#include "ui/seams/desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLocale>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include "base/message_box.h"
#include "ui/util/ui_utils.h"

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

void tellUnopened(const QString& what, const QString& target, const QString& why) {
  const QString text = "Unable to open " + what + ":\n" + target + "\n\n" + why;
  AppMessageBox(NSStringToWStr(text).c_str(), 16);
}

// What xdg-open's exit code says went wrong.
QString openerFailure(int code) {
  switch (code) {
  case 2: return "It is not there.";
  case 3: return "No program to open it is installed (xdg-open found none).";
  default: return QString("xdg-open could not open it (exit code %1).").arg(code);
  }
}

QScreen* screenOf(QWidget* widget) {
  QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
  return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

} // namespace

void OpenUrlInstall(OpenUrlHook hook) { urlHook() = std::move(hook); }

void OpenUrl(const QUrl& url, const QString& what) {
  const QString target = url.isLocalFile() ? url.toLocalFile() : url.toString();
  if (urlHook()) {
    if (!urlHook()(url)) tellUnopened(what, target, "The desktop did not open it.");
    return;
  }
  // xdg-open is run, not handed over detached as Qt does, so that its
  // answer is heard: it ends with an error when it finds no browser or
  // viewer to hand the address to.
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (opener.isEmpty()) {
    // Qt may still know a way ($BROWSER, a desktop portal).
    if (!QDesktopServices::openUrl(url))
      tellUnopened(what, target, "No program to open it is installed (xdg-open was not found).");
    return;
  }
  auto* process = new QProcess(QCoreApplication::instance());
  process->setProgram(opener);
  process->setArguments({target});
  // Nobody reads what it or the browser prints; left in pipes it could stall them.
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::errorOccurred, process, [=](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    tellUnopened(what, target, "xdg-open could not be started: " + process->errorString() + ".");
    process->deleteLater();
  });
  QObject::connect(process, &QProcess::finished, process, [=](int code, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit) tellUnopened(what, target, "xdg-open stopped before it had opened it.");
    else if (code != 0) tellUnopened(what, target, openerFailure(code));
    process->deleteLater();
  });
  // At the program's end a browser that xdg-open still waits for keeps
  // running; nobody is told of xdg-open's end then.
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, process,
                   [process]() { process->disconnect(); });
  process->start();
}

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
