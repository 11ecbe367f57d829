// The upload run of the upload window: the button, the thread that logs in
// and uploads, the status tick and cancelling.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <thread>

#include "base/message_box.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/YouTubeUpload.h"
#include "ui/shell/wcCreateVideo.h"
#include "ui/shell/wcUpload.h"
#include "ui/shell/window_calls.h"

namespace {

constexpr int kTickMs = 1000;
constexpr int kCategoryAutos = 1;

wcCreateVideo* outputWindow() {
  return AppWindows().wndCreateVideo();
}

// The output settings window's request to shut the computer down once the
// whole job (render and upload) is done.
bool shutdownRequested() {
  const wcCreateVideo* output = outputWindow();
  return output != nullptr && output->RenderCompleteShutdown();
}

void clearShutdownRequest() {
  wcCreateVideo* output = outputWindow();
  if (output != nullptr) output->setRenderCompleteShutdown(false);
}

} // namespace

// One upload run, shared with its thread: a thread that outlives its
// window's interest (cancelled, or the window reopened) writes only here.
struct wcUpload::Run {
  std::shared_ptr<YouTubeUpload> client = std::make_shared<YouTubeUpload>();
  std::string user, pass, title, desc, file;
  bool isPrivate = false;
  std::atomic<int> state{kPreparing};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> finished{false};
  mutable std::mutex mutex;
  QString status;

  void setStatus(const QString& text) {
    std::lock_guard<std::mutex> lock(mutex);
    status = text;
  }
  QString statusText() const {
    std::lock_guard<std::mutex> lock(mutex);
    return status;
  }
};

wcUpload::~wcUpload() {
  if (run_) run_->client->Abort();
}

int wcUpload::UploadThreadState() const { return run_ ? run_->state.load() : kPreparing; }

QString wcUpload::UploadThreadStatus() const { return run_ ? run_->statusText() : QString(); }

bool wcUpload::UploadThreadRunning() const { return run_ && !run_->finished; }

void wcUpload::UploadButton_Pressed() {
  window();
  ui_.StatusLabel->clear();
  if (!opening_.preRender && opening_.videoFile.isEmpty()) {
    AppMessageBox(L"Please select a video file to upload.", 16);
    return;
  }
  if (ui_.TitleText->text().trimmed().isEmpty()) {
    AppMessageBox(L"Please enter a title for this video.", 16);
    return;
  }
  SaveUserPassword();
  if (opening_.preRender) {
    details_ = {ui_.UserText->text(), ui_.PasswordText->text(), ui_.TitleText->text(), DescriptionText(),
                ui_.PrivateCheck->isChecked()};
    opening_.success = true;
    closeWindow();
    return;
  }
  startUpload();
}

void wcUpload::startUpload() {
  SetUploadControlState(true);
  auto run = std::make_shared<Run>();
  run->user = ui_.UserText->text().toStdString();
  run->pass = ui_.PasswordText->text().toStdString();
  run->title = ui_.TitleText->text().toStdString();
  run->desc = DescriptionText().toStdString();
  run->file = opening_.videoFile.toStdString();
  run->isPrivate = ui_.PrivateCheck->isChecked();
  run->setStatus("Preparing...");
  run_ = run;
  ui_.StatusLabel->setText("Preparing...");
  ui_.StatusLabel->show();
  if (uploadTimer_ == nullptr) {
    uploadTimer_ = new QTimer(this);
    connect(uploadTimer_, &QTimer::timeout, this, &wcUpload::UploadTimer_Tick);
  }
  uploadTimer_->start(kTickMs);
  // Not joined: a thread held in a message box must never wait for the
  // main thread that shows it. It ends when the client returns.
  std::thread(UploadThreadTask, run).detach();
}

void wcUpload::UploadThreadTask(std::shared_ptr<Run> run) {
  int preparing = kPreparing;
  if (!run->state.compare_exchange_strong(preparing, kRunning)) {
    run->finished = true; // cancelled before it began
    return;
  }
  run->setStatus("Logging in...");
  YouTubeUpload& client = *run->client;
  if (!client.Login(run->user, run->pass)) {
    if (!run->cancelled) {
      run->state = kFailed;
      run->setStatus("Failed to log in!");
      AppMessageBox(L"Failed to log into YouTube. Please check your user name and password. If this problem persists, "
                    L"you should try entering the e-mail address that is associated with your YouTube account.",
                    16);
    }
  } else if (!run->cancelled) {
    // A cancel that came during the login stops here, before any upload.
    run->setStatus("Uploading... (this could take a while)");
    if (client.Upload(run->title, run->desc, kCategoryAutos, run->file, run->isPrivate)) {
      run->state = kDone;
      run->setStatus("Upload complete!");
    } else if (!run->cancelled) {
      run->state = kFailed;
      run->setStatus("Upload failed!");
      AppMessageBox(L"Failed to upload to YouTube!", 16);
    }
  }
  run->finished = true;
}

void wcUpload::UploadTimer_Tick() {
  if (!run_) return;
  ui_.StatusLabel->setText(run_->statusText());
  const int state = run_->state.load();
  QString title = "Upload to YouTube";
  if (state == kRunning) {
    const double progress = run_->client->UploadProgress();
    ui_.StatusProgress->show();
    ui_.StatusProgress->setValue(static_cast<int>(progress * 10));
    if (progress > 0.01) title += QString(" (%1%)").arg(progress, 0, 'f', 2);
    // Blinks once a second while the upload runs.
    ui_.StatusLabel->setVisible(!ui_.StatusLabel->isVisible());
  } else {
    ui_.StatusProgress->hide();
    ui_.StatusLabel->show();
  }
  window()->setWindowTitle(title);
  if (state == kDone) {
    stopTimer();
    if (!shutdownRequested()) AppMessageBox(L"Upload complete!", 64);
    closeWindow();
  } else if (state == kFailed) {
    SetUploadControlState(false);
  }
}

void wcUpload::CancelButton_Pressed() {
  cancelRun();
  closeWindow();
}

// Stops the upload where it is (a login under way included) without a
// failure message, and drops the shut-down request of the render.
void wcUpload::cancelRun() {
  opening_.didCancel = true;
  clearShutdownRequest();
  stopTimer();
  if (run_) {
    run_->cancelled = true;
    run_->client->Abort();
    run_->state = kFailed;
    run_->setStatus("Cancelled");
  }
  ui_.StatusLabel->setText("Cancelled");
  ui_.StatusLabel->show();
  SetUploadControlState(false);
}

void wcUpload::stopTimer() {
  if (uploadTimer_ != nullptr) uploadTimer_->stop();
}
