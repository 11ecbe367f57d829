#pragma once
// The render progress window, run modally while the output render works:
// a live picture of the frames being written, the progress and rendered
// position, an estimate of the time left, the speed at which the render
// may use the machine (full speed, in the background, paused), and the
// wish to shut the computer down at the end. It closes by itself when the
// render has ended: as complete only when the render reached its end and
// the file was written without error, otherwise with the writer's error.
// Closing it early asks first and stops the render; what was rendered until
// then is still merged into the output file.
#include <QString>
#include <mutex>

#include "ui/shell/WindowController.h"

class NSImageViewCustom;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QTimer;
class wcCreateVideo;

// The time-left text of the estimate: "%d second(s)", "%d minute(s)",
// "%d hour(s)" from the seconds left, each step rounded half away from zero.
QString RenderTimeLeftText(float remainingSeconds);
// What the user is told of a render that ended with that result: the
// error's text and the writer's words (naming any files it kept).
QString RenderFailureText(int result);

class wcCreateStatus : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcCreateStatus();

public:
  ~wcCreateStatus() override;

  // Arms the window for a render over [start, end] seconds of project time
  // (the end limited to the project's length).
  void SetData(double start, double end);
  void setCompleteNotify(bool notify) { run_.CompleteNotify = notify; }
  bool Success() const { return run_.Success; }
  // The window has already told the user why the render failed.
  bool FailureShown() const { return run_.FailureShown; }
  double StartTime() const { return range_.StartTime; }
  double EndTime() const { return range_.EndTime; }
  // The output settings window that receives the shut-down wish.
  void setOutputWindow(wcCreateVideo* window) { outputWindow_ = window; }

  // The 0.05 s tick: progress, estimate, picture; the end of the render.
  void PreviewTimerTick();
  void CancelButton_Pressed();
  // "Cancel video file creation?"; true to cancel.
  bool CancelPrompt();
  void MultiTaskMatrix_Changed();

  // Outlets.
  NSImageViewCustom* PreviewImage = nullptr;
  QProgressBar* RenderProgress = nullptr;
  QLabel* RenderTime = nullptr;
  QLabel* ETA = nullptr;
  QCheckBox* Shutdown = nullptr;
  QButtonGroup* MultiTaskMatrix = nullptr;
  QRadioButton* MultiTaskMax = nullptr;
  QRadioButton* MultiTaskBackground = nullptr;
  QRadioButton* MultiTaskPaused = nullptr;

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  bool windowShouldClose() override;
  void windowWillClose() override;

private:
  struct Range {
    double StartTime = 0, EndTime = 0, Length = 0;
  };
  struct Estimate {
    int TimerCount = 0;
    double StartEtaTime = 0, LastEtaTime = 0, LastEtaProgress = 0;
  };
  struct Run {
    bool CloseOK = false;
    bool Success = false;
    bool CompleteNotify = true;
    bool FailureShown = false;
    bool Asking = false; // the cancel question is open: ticks wait
  };

  void finish();
  void updateEstimate(double progress);
  void showProgress(double progress);
  void setMultiTaskMode(int mode);
  int selectedMultiTaskMode() const;
  void stopTimer();
  void showPicture();

  Range range_;
  Estimate estimate_;
  Run run_;
  QTimer* PreviewTimer = nullptr;
  wcCreateVideo* outputWindow_ = nullptr;
  std::recursive_mutex tickLock_;
};
