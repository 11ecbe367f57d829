#pragma once
// Base of every window controller. A controller is made once (during the
// launch, possibly off the GUI thread) and kept for the life of the
// process; its window is built on the GUI thread when first needed
// (loadWindow) and reused for every opening. The window's events come back
// as the familiar hooks: windowDidLoad once, windowDidOpen at the first
// becoming main after each opening, windowDidBecomeMain after each show,
// windowShouldClose before a close, windowWillClose when it closes (for a
// dialog also when it ends through accept/reject). Each show puts the
// window on the main window's screen, scrolling what does not fit.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QDialog;
class QWidget;

// Where a window goes at each opening, beside the main window (the codes
// of AppDelegate::AlignWindow); kOpenInPlace leaves it to the window.
enum OpenPlacement : int {
  kOpenInPlace = -1,
  kOpenCentred = 0,
  kOpenAtMainBottom = 3, // centred across, its bottom 40 below the main window's
  kOpenBelowMain = 4,    // centred across, its top at the main window's bottom
  kOpenRightOfMain = 5,  // to its right, tops level
};

class WindowController : public QObject {
  Q_OBJECT
public:
  // nibName names the controller's class and its window's layout.
  explicit WindowController(const QString& nibName, OpenPlacement placement = kOpenInPlace);
  ~WindowController() override;

  const QString& nibName() const { return nibName_; }
  // The window, built on first use (GUI thread only).
  QWidget* window();
  QWidget* windowIfLoaded() const { return window_; }
  bool isWindowLoaded() const { return !window_.isNull(); }
  void loadWindow();
  // Loads, shows and raises the window.
  virtual void showWindow();
  // Closes the window as its close button would.
  void close();
  // True from each opening until the window has first become main.
  bool FreshWindow() const { return fresh_; }

protected:
  // Builds the window's widgets; the default is an empty dialog.
  virtual QWidget* makeWindow();
  virtual void windowDidLoad() {}
  // Sets the window up for this opening, once it is placed; runs before
  // windowDidBecomeMain.
  virtual void windowDidOpen() {}
  virtual void windowDidBecomeMain() {}
  virtual bool windowShouldClose() { return true; }
  virtual void windowWillClose() {}
  // An empty dialog titled as given, for makeWindow implementations.
  QDialog* makeDialog(const QString& title);
  // The next becoming main sets the window up again, as after a close.
  void markFresh() { fresh_ = true; }

  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void becameMain();
  void closed();
  void fitOnScreen();

  QString nibName_;
  OpenPlacement placement_;
  QPointer<QWidget> window_;
  bool becameMainQueued_ = false;
  bool fresh_ = true;
};

// An empty dialog with its title, a window of no registry's: what the
// tests of placement move about.
class EmptyWindowController : public WindowController {
  Q_OBJECT
public:
  EmptyWindowController(const QString& nibName, const QString& title);

protected:
  QWidget* makeWindow() override;

private:
  QString title_;
};
