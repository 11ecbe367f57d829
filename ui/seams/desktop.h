#pragma once
// What the shell asks of the desktop: opening web pages in the browser, the
// locale's identifier and the usable area of a window's screen. Tests
// replace each with a fixed answer.
#include <QRect>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// A hook answers whether the desktop took the address.
using OpenUrlHook = std::function<bool(const QUrl&)>;
void OpenUrlInstall(OpenUrlHook hook);
// Opens a web address in the default browser, or a file (a file URL) in
// the desktop's program for its type, through xdg-open. When that cannot
// be done the user is told what (`what`: "the documentation page") could
// not be opened and why; a failure found only after xdg-open has started
// is told when it ends. Main thread.
void OpenUrl(const QUrl& url, const QString& what);

using LocaleHook = std::function<QString()>;
void LocaleInstall(LocaleHook hook);
// The system locale's identifier such as "en_GB"; may be empty.
QString LocaleIdentifier();

using ScreenHook = std::function<QRect(QWidget*)>;
void ScreenInstall(ScreenHook hook);
// The available (visible) area of the screen that holds the widget, or of
// the primary screen; an empty rectangle when there is no screen.
QRect ScreenVisibleFrame(QWidget* widget);
// The whole area of that screen.
QRect ScreenFrame(QWidget* widget);
