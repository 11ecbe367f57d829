#include "ui/shell/WindowController.h"

#include <QCloseEvent>
#include <QDialog>
#include <QWidget>

#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/window_fit.h"

WindowController::WindowController(const QString& nibName, OpenPlacement placement)
    : nibName_(nibName), placement_(placement) {}

WindowController::~WindowController() {
  if (window_) {
    window_->removeEventFilter(this);
    delete window_.data();
  }
}

QWidget* WindowController::window() {
  loadWindow();
  return window_;
}

void WindowController::loadWindow() {
  if (window_) return;
  window_ = makeWindow();
  if (!window_) return;
  window_->setObjectName(nibName_);
  window_->installEventFilter(this);
  if (auto* dialog = qobject_cast<QDialog*>(window_.data())) {
    // accept(), reject(), Escape and the close button all end here.
    connect(dialog, &QDialog::finished, this, [this]() { closed(); });
  }
  windowDidLoad();
}

void WindowController::showWindow() {
  QWidget* w = window();
  if (w == nullptr) return;
  w->show();
  w->raise();
  w->activateWindow();
}

void WindowController::close() {
  if (window_) window_->close();
}

QWidget* WindowController::makeWindow() { return makeDialog(nibName_); }

QDialog* WindowController::makeDialog(const QString& title) {
  auto* dialog = new QDialog();
  dialog->setWindowTitle(title);
  return dialog;
}

bool WindowController::eventFilter(QObject* watched, QEvent* event) {
  if (watched != window_.data()) return false;
  if (event->type() == QEvent::Show) fitOnScreen();
  if (event->type() == QEvent::Show && !becameMainQueued_) {
    // After the show has finished, as a window becomes main once it is up.
    becameMainQueued_ = true;
    QMetaObject::invokeMethod(this, &WindowController::becameMain, Qt::QueuedConnection);
  } else if (event->type() == QEvent::Close) {
    if (!windowShouldClose()) {
      event->ignore();
      return true;
    }
    if (qobject_cast<QDialog*>(window_.data()) == nullptr) closed();
  }
  return false;
}

void WindowController::becameMain() {
  becameMainQueued_ = false;
  if (window_ && window_->isVisible() && fresh_) {
    fresh_ = false;
    AppDelegate* app = AppDelegate::shared();
    if (placement_ != kOpenInPlace && app != nullptr) app->AlignWindow(this, placement_);
    windowDidOpen();
  }
  if (window_ && window_->isVisible()) windowDidBecomeMain();
  // Placed by its controller, and its frame measured by now.
  if (window_ && window_->isVisible()) fitOnScreen();
}

void WindowController::closed() {
  windowWillClose();
  fresh_ = true;
  EndWindowFit(window_);
}

// On the main window's screen; the main window itself stays on its own.
void WindowController::fitOnScreen() {
  WindowController* main = AppWindows().wndMain();
  QWidget* anchor = main != nullptr && main != this && main->isWindowLoaded() && main->windowIfLoaded()->isVisible()
                        ? main->windowIfLoaded()
                        : nullptr;
  FitWindowOnScreen(window_, anchor);
}

EmptyWindowController::EmptyWindowController(const QString& nibName, const QString& title)
    : WindowController(nibName), title_(title) {}

QWidget* EmptyWindowController::makeWindow() {
  QDialog* dialog = makeDialog(title_);
  dialog->resize(480, 320);
  return dialog;
}
