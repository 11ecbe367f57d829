#include "ui/shell/wcCreateStatus.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "base/message_box.h"
#include "model/project.h"
#include "media/output_handler.h"
#include "render/loop/output_render.h"
#include "render/loop/render.h"
#include "render/preview/main_preview.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/seams/media_clock.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/util/ui_utils.h"

namespace {

constexpr int kTickMs = 50;
constexpr int kEstimateEveryTicks = 50; // every 2.5 s
constexpr double kUnknownRate = 999.9;  // wall-clock seconds per rendered second
constexpr int kModeBackground = 2;
constexpr int kPictureWidth = 480, kPictureHeight = 270;
const QString kTitle = "Quelvatron Video Output";

// Escape closes as the close button does: with the question first.
class StatusDialog : public QDialog {
protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) {
      close();
      return;
    }
    QDialog::keyPressEvent(event);
  }
};

} // namespace

QString RenderTimeLeftText(float remainingSeconds) {
  int n = RoundFloat(remainingSeconds);
  const char* unit = "second";
  if (n > 99) {
    n = RoundFloat(static_cast<float>(n) / 60.0f);
    unit = "minute";
    if (n > 99) {
      n = RoundFloat(static_cast<float>(n) / 60.0f);
      unit = "hour";
    }
  }
  return QString("%1 %2%3").arg(n).arg(unit).arg(n != 1 ? "s" : "");
}

QString RenderFailureText(int result) {
  QString text = QString("Video file creation failed: %1").arg(WStrToNSString(ErrorGetText(result)));
  const QString detail = WStrToNSString(OutputHandlerGetResultText().c_str());
  if (!detail.isEmpty()) text += "\n\n" + detail;
  return text;
}

wcCreateStatus::wcCreateStatus() : WindowController("wcCreateStatus", kOpenCentred) {}

wcCreateStatus::~wcCreateStatus() { stopTimer(); }

QWidget* wcCreateStatus::makeWindow() {
  auto* dialog = new StatusDialog();
  dialog->setWindowTitle(kTitle);
  auto* layout = new QVBoxLayout(dialog);
  PreviewImage = new NSImageViewCustom(dialog);
  PreviewImage->setObjectName("PreviewImage");
  PreviewImage->setFixedSize(kPictureWidth, kPictureHeight);
  layout->addWidget(PreviewImage, 0, Qt::AlignHCenter);
  RenderProgress = new QProgressBar(dialog);
  RenderProgress->setObjectName("RenderProgress");
  RenderProgress->setRange(0, 100);
  layout->addWidget(RenderProgress);
  auto* times = new QHBoxLayout();
  RenderTime = new QLabel(dialog);
  RenderTime->setObjectName("RenderTime");
  ETA = new QLabel(dialog);
  ETA->setObjectName("ETA");
  times->addWidget(RenderTime, 1);
  times->addWidget(ETA, 0, Qt::AlignRight);
  layout->addLayout(times);
  auto* modes = new QHBoxLayout();
  MultiTaskMatrix = new QButtonGroup(dialog);
  MultiTaskMax = new QRadioButton("Full speed", dialog);
  MultiTaskBackground = new QRadioButton("In the background", dialog);
  MultiTaskPaused = new QRadioButton("Paused", dialog);
  for (QRadioButton* cell : {MultiTaskMax, MultiTaskBackground, MultiTaskPaused}) {
    MultiTaskMatrix->addButton(cell);
    modes->addWidget(cell);
  }
  MultiTaskMax->setObjectName("MultiTaskMax");
  MultiTaskBackground->setObjectName("MultiTaskBackground");
  MultiTaskPaused->setObjectName("MultiTaskPaused");
  modes->addStretch(1);
  layout->addLayout(modes);
  auto* bottom = new QHBoxLayout();
  Shutdown = new QCheckBox("Shut down the computer when complete", dialog);
  Shutdown->setObjectName("Shutdown");
  auto* cancel = new QPushButton("Cancel", dialog);
  cancel->setObjectName("CancelButton");
  bottom->addWidget(Shutdown, 1);
  bottom->addWidget(cancel);
  layout->addLayout(bottom);
  connect(cancel, &QPushButton::clicked, this, &wcCreateStatus::CancelButton_Pressed);
  connect(MultiTaskMatrix, &QButtonGroup::idClicked, this, &wcCreateStatus::MultiTaskMatrix_Changed);
  return dialog;
}

void wcCreateStatus::SetData(double start, double end) {
  run_ = Run();
  range_.StartTime = start;
  range_.EndTime = std::min<double>(end, ProjectGetLength(0));
  range_.Length = range_.EndTime - range_.StartTime;
  estimate_ = Estimate();
  if (Shutdown != nullptr) Shutdown->setChecked(false);
}

void wcCreateStatus::windowDidOpen() {
  stopTimer();
  window()->setWindowTitle(kTitle);
  RenderProgress->setValue(0);
  RenderTime->clear();
  ETA->clear();
  MultiTaskMax->setChecked(true);
  setMultiTaskMode(kOutputModeFullSpeed);
  estimate_.TimerCount = 0;
  // Runs inside the modal run, and only as long as this window is open.
  PreviewTimer = new QTimer(this);
  PreviewTimer->setInterval(kTickMs);
  connect(PreviewTimer, &QTimer::timeout, this, &wcCreateStatus::PreviewTimerTick);
  PreviewTimer->start();
  showPicture();
}

// The output's frames, scaled into the view at the output's own ratio.
void wcCreateStatus::showPicture() {
  double width = PreviewImage->width(), height = PreviewImage->height();
  const double outWidth = RenderGetWidth(), outHeight = RenderGetHeight();
  if (outWidth > 0 && outHeight > 0) {
    const double scale = std::min(width / outWidth, height / outHeight);
    width = std::floor(outWidth * scale);
    height = std::floor(outHeight * scale);
  }
  MainPreviewInitNoRender(PreviewImage->viewHandle(), static_cast<uint32_t>(width),
                          static_cast<uint32_t>(height));
}

void wcCreateStatus::PreviewTimerTick() {
  std::lock_guard lock(tickLock_);
  // The question runs an event loop of its own: the window must not end
  // under it.
  if (run_.Asking) return;
  const double progress = OutputHandlerGetTime() - range_.StartTime;
  // The render loop writes its result before it stops being busy.
  if (OutputHandlerIsBusy() == 0) {
    finish();
    return;
  }
  ++estimate_.TimerCount;
  if (estimate_.TimerCount == 1) {
    ETA->setText("ETA: (calculating...)");
    estimate_.StartEtaTime = estimate_.LastEtaTime = MediaClockNow();
    estimate_.LastEtaProgress = progress;
  }
  if (estimate_.TimerCount % kEstimateEveryTicks == 0) updateEstimate(progress);
  showProgress(progress);
}

// Complete only when the render reached its end and the writer finished
// without error; any other end shows why and closes without success.
void wcCreateStatus::finish() {
  stopTimer();
  const int result = OutputHandlerGetResult();
  const bool shutdown = Shutdown->isChecked();
  if (result == 0) {
    if (outputWindow_ != nullptr) outputWindow_->setRenderCompleteShutdown(shutdown);
    if (run_.CompleteNotify && !shutdown) AppMessageBox(L"Video file creation complete!", 64);
    run_.Success = true;
  } else {
    run_.FailureShown = true;
    AppMessageBox(NSStringToWStr(RenderFailureText(result)).c_str(), 16);
  }
  run_.CloseOK = true;
  close();
}

void wcCreateStatus::updateEstimate(double progress) {
  const double now = MediaClockNow();
  const double recent = (now - estimate_.LastEtaTime) / (progress - estimate_.LastEtaProgress);
  const double overall = (now - estimate_.StartEtaTime) / progress;
  const double rate = 0.65 * recent + 0.35 * overall;
  // Not a number, or far too slow, when nothing was rendered in the period.
  const QString left = rate < kUnknownRate
                           ? RenderTimeLeftText(static_cast<float>(rate * (range_.Length - progress)))
                           : QString("Unknown");
  ETA->setText("ETA: " + left);
  estimate_.LastEtaTime = now;
  estimate_.LastEtaProgress = progress;
}

void wcCreateStatus::showProgress(double progress) {
  const double percent =
      range_.Length > 0 ? std::clamp(100.0 * progress / range_.Length, 0.0, 100.0) : 100.0;
  if (percent >= 100.0) {
    ETA->clear();
    RenderTime->setText("Finalizing...");
    window()->setWindowTitle(kTitle + " (Finalizing...)");
    setMultiTaskMode(kOutputModeFullSpeed);
  } else {
    RenderTime->setText(QString("%1 of %2")
                            .arg(FormatTimeNSString(2, 0, progress), FormatTimeNSString(2, 0, range_.Length)));
    window()->setWindowTitle(kTitle + QString::asprintf(" (%0.1f%%)", percent));
    if (const int mode = selectedMultiTaskMode(); mode >= 0) setMultiTaskMode(mode);
  }
  RenderProgress->setValue(static_cast<int>(percent));
}

int wcCreateStatus::selectedMultiTaskMode() const {
  QAbstractButton* cell = MultiTaskMatrix->checkedButton();
  if (cell == MultiTaskMax) return kOutputModeFullSpeed;
  if (cell == MultiTaskBackground) return kModeBackground;
  if (cell == MultiTaskPaused) return kOutputModePaused;
  return -1;
}

void wcCreateStatus::setMultiTaskMode(int mode) { OutputHandlerSetMultiTaskMode(mode); }

void wcCreateStatus::MultiTaskMatrix_Changed() {
  if (const int mode = selectedMultiTaskMode(); mode >= 0) setMultiTaskMode(mode);
}

void wcCreateStatus::CancelButton_Pressed() {
  run_.CloseOK = true;
  close();
}

bool wcCreateStatus::CancelPrompt() { return AppMessageBox(L"Cancel video file creation?", 36) == kMbYes; }

bool wcCreateStatus::windowShouldClose() {
  if (run_.CloseOK) return true;
  run_.Asking = true;
  const bool cancel = CancelPrompt();
  run_.Asking = false;
  // A render that ended while the user was asked ends as it ended: the
  // next tick reports it.
  if (!cancel || OutputHandlerIsBusy() == 0) return false;
  run_.CloseOK = true;
  return true;
}

void wcCreateStatus::windowWillClose() {
  stopTimer();
  MultiTaskMax->setChecked(true);
  setMultiTaskMode(kOutputModeFullSpeed);
  if (!run_.Success) {
    // The render loop finishes the file with what was written so far.
    OutputHandlerStop();
    if (outputWindow_ != nullptr) outputWindow_->setRenderCompleteShutdown(false);
  }
}

void wcCreateStatus::stopTimer() {
  if (PreviewTimer == nullptr) return;
  PreviewTimer->stop();
  PreviewTimer->deleteLater();
  PreviewTimer = nullptr;
}
