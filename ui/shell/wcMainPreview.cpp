// The main window's preview: its size and engine set-up, the repaint at the
// preview time, seeking, the time displays and the preview timer that keeps
// them in step with playback.
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMetaObject>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "model/project.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/seams/desktop.h"
#include "ui/seams/main_thread_qt.h"
#include "ui/seams/media_clock.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"
#include "ui/util/window_fit.h"

namespace {

constexpr double kPlayingInterval = 0.05;
constexpr double kIdleInterval = 0.2;
constexpr int kSliderUnitsPerSecond = 1000;

QString timeText(double seconds) { return FormatTimeNSString(0, 2, seconds); }

// What the desktop's frame adds around the window (nothing before it is
// shown, or without a window manager).
QSize frameMargins(const QWidget* window) {
  const QMargins frame = WindowFrameMargins(window);
  return QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
}

} // namespace

// A still frame still being drawn is not playback: a repaint asked meanwhile
// must not start playing.
bool wcMain::PreviewIsPlayingNow() { return PreviewIsPlayingBack() != 0; }

void wcMain::SetPreviewArea(bool force, int x, int y) {
  const bool playing = PreviewIsPlayingNow();
  if (x > 0 && y > 0 && (force || x != previewX_ || y != previewY_)) {
    previewX_ = x;
    previewY_ = y;
    if (IsGuiThread()) ResizeForm();
    else QMetaObject::invokeMethod(this, [this]() { ResizeForm(); }, Qt::BlockingQueuedConnection);
  }
  int result = MainPreviewInit(previewImage_ != nullptr ? previewImage_->viewHandle() : nullptr,
                               static_cast<uint32_t>(std::max(previewX_, 0)), static_cast<uint32_t>(std::max(previewY_, 0)),
                               0, 0, static_cast<uint32_t>(previewOptions_.audioType), static_cast<uint32_t>(previewOptions_.audioRate),
                               static_cast<float>(previewOptions_.frameRate));
  if (result < 0) ErrorShowLast();
  // The repaint also touches the time displays and the timeline window:
  // from another thread it is handed to the GUI thread.
  if (IsGuiThread()) PreviewRefresh(false, playing);
  else QMetaObject::invokeMethod(this, [this, playing]() { PreviewRefresh(false, playing); }, Qt::QueuedConnection);
}

void wcMain::ResizeForm() {
  QMainWindow* window = mainWindow();
  if (window == nullptr) return;
  positionCanvas();
  // The panes' own minimum (fonts and styles differ between desktops) wins
  // over the sum, so that nothing is ever cut off.
  QSize minimum = WindowMinimumFor(previewX_, previewY_);
  if (QLayout* layout = window->layout()) {
    // The preview box has just changed size: its panes' layout is settled
    // now rather than at the next event, so that the window's layout asks
    // them their new minimum instead of the one they had.
    QWidget* central = window->centralWidget();
    // On a screen too small for the panes they sit in a scroll area.
    if (auto* scroller = qobject_cast<QScrollArea*>(central)) central = scroller->widget();
    if (central != nullptr && central->layout() != nullptr) {
      central->layout()->invalidate();
      central->layout()->activate();
    }
    layout->invalidate();
    minimum = minimum.expandedTo(layout->totalMinimumSize());
  }
  // A window grown round a larger picture, and not resized since, gives the
  // growth back as the picture gets smaller. (A larger minimum grows the
  // window at once.)
  QSize own = window->size();
  if (windowGrowth_.to.isValid() && own == windowGrowth_.to) own = windowGrowth_.from;
  window->setMinimumSize(minimum);
  QSize size = minimum.expandedTo(own);
  // Larger than the screen only where the minimum itself is.
  const QRect visible = ScreenVisibleFrame(window);
  if (!visible.isEmpty()) size = size.boundedTo(visible.size() - frameMargins(window)).expandedTo(minimum);
  windowGrowth_ = size != own ? WindowGrowth{own, size} : WindowGrowth{};
  if (size != window->size()) window->resize(size);
  // A minimum larger than the screen (a preview chosen on a larger one)
  // makes the panes scroll inside a window that keeps to the screen.
  if (window->isVisible()) FitWindowOnScreen(window, nullptr);
  window->update();
}

QSize wcMain::WindowMinimumFor(int x, int y) { return QSize(std::max(x, 640) + 380, std::max(y, 480) + 165); }

bool wcMain::PreviewAreaFits(int x, int y) {
  QWidget* window = windowIfLoaded();
  const QRect visible = ScreenVisibleFrame(window);
  if (visible.isEmpty()) return true;
  const QSize needed = WindowMinimumFor(x, y) + (window != nullptr ? frameMargins(window) : QSize());
  return needed.width() <= visible.width() && needed.height() <= visible.height();
}

void wcMain::PreviewRefresh(bool quick, bool run) {
  const uint32_t quality = quick ? 5 : static_cast<uint32_t>(std::clamp(previewOptions_.quality, 0, 5));
  projectLength_ = ProjectGetLength(0);
  const float manualLength = ProjectGetLength(1);
  QMetaObject::invokeMethod(this, [this, manualLength]() { showPreviewTimes(manualLength); }, Qt::QueuedConnection);
  if (!scrolling_) PreviewTrackbarUpdate();
  // Stopping waits for the render thread and serves events meanwhile: the
  // preview timer must not take the old engine time over the new one.
  const float start = static_cast<float>(previewTime_);
  ++previewRefreshing_;
  PreviewStop();
  PreviewPlay(quality, start, run ? static_cast<float>(previewOptions_.frameRate) : 0.0f);
  --previewRefreshing_;
  TimelineRefreshView();
}

// Reads the controller's values when it runs, after the current event.
void wcMain::showPreviewTimes(float manualLength) {
  if (projectLengthButton_ != nullptr) {
    projectLengthButton_->setText(timeText(projectLength_));
    // Blue marks a length set by hand.
    QColor colour = manualLength > 0.01f ? QColor::fromRgbF(0, 0.4f, 1, 1)
                                         : QApplication::palette(projectLengthButton_).color(QPalette::ButtonText);
    UISetButtonTitleColor(projectLengthButton_, colour);
  }
  if (previewTimeButton_ != nullptr) previewTimeButton_->setText(timeText(previewTime_));
}

void wcMain::PreviewSeek(double seconds) {
  previewTime_ = std::clamp(previewTime_ + seconds, 0.0, std::max(projectLength_, 0.0));
  PreviewRefresh();
}

void wcMain::PreviewTrackbarUpdate() {
  QMetaObject::invokeMethod(this, [this]() {
    if (previewTimeSlider_ == nullptr) return;
    QSignalBlocker quiet(previewTimeSlider_);
    previewTimeSlider_->setMaximum(static_cast<int>(std::lround(std::max(projectLength_, 0.0) * kSliderUnitsPerSecond)));
    previewTimeSlider_->setValue(static_cast<int>(std::lround(static_cast<float>(previewTime_) * kSliderUnitsPerSecond)));
  }, Qt::QueuedConnection);
}

void wcMain::CreatePreviewTimer() {
  KillPreviewTimer();
  ticks_.interval = kPlayingInterval;
  ticks_.lastUpdate = 0;
  // Fires also while menus are open and controls dragged; acts only when
  // its interval has passed on the media clock.
  previewTimer_ = new QTimer(this);
  previewTimer_->setTimerType(Qt::PreciseTimer);
  previewTimer_->setInterval(50);
  connect(previewTimer_, &QTimer::timeout, this, &wcMain::PreviewTimerTick);
  previewTimer_->start();
}

void wcMain::KillPreviewTimer() {
  // A tick after this (a new timer's) does not wait on the last one's time.
  ticks_.lastUpdate = 0;
  if (previewTimer_ == nullptr) return;
  previewTimer_->stop();
  delete previewTimer_;
  previewTimer_ = nullptr;
}

void wcMain::PreviewTimerTick() {
  const double now = MediaClockNow();
  if (previewRefreshing_ > 0 || ticks_.lastUpdate + ticks_.interval > now) return;
  ticks_.lastUpdate = now;
  if (PreviewIsPlayingNow()) {
    // Playback repaints anyway: a pending repaint is dropped.
    ticks_.updateRequest = false;
    if (!scrolling_) {
      previewTime_ = PreviewGetTime();
      if (previewTimeButton_ != nullptr) previewTimeButton_->setText(timeText(previewTime_));
      PreviewTrackbarUpdate();
    }
    setButtonFace(playButton_, "PauseImage");
    setButtonFace(stopButton_, "StopRedImage");
    ticks_.wasPlaying = true;
    ticks_.interval = kPlayingInterval;
    return;
  }
  if (ticks_.updateRequest) {
    ticks_.updateRequest = false;
    PreviewRefresh();
  }
  if (!scrolling_ && ticks_.wasPlaying) {
    // Playback has just ended: its final time, once.
    ticks_.wasPlaying = false;
    previewTime_ = PreviewGetTime();
    if (previewTimeButton_ != nullptr) previewTimeButton_->setText(timeText(previewTime_));
    PreviewTrackbarUpdate();
  }
  setButtonFace(playButton_, "PlayImage");
  setButtonFace(stopButton_, "StopImage");
  ticks_.interval = kIdleInterval;
}

void wcMain::SetPreviewVolume(int volume, bool userAction) {
  previewVolume_ = std::clamp(volume, 0, 100);
  PreviewSetVolume(static_cast<uint32_t>(previewVolume_));
  setButtonFace(muteButton_, previewVolume_ > 0 ? "SoundImage" : "SoundMuteImage");
  if (volumeStepper_ != nullptr) {
    QSignalBlocker quiet(volumeStepper_);
    volumeStepper_->setValue(previewVolume_);
  }
  if (userAction) UserDefaultsWrite("PreviewVolume", previewVolume_);
}

