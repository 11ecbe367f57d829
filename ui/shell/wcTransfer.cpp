#include "ui/shell/wcTransfer.h"

#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/message_box.h"
#include "io/net/transfer.h"

namespace {

constexpr int kTickMs = 100;
constexpr float kCompleteProgress = 999.0f;

// "Transfer Complete!", then what arrived and where, so the user knows
// which files the new project is about to take in.
QString completionText(const QString& video, const QString& data) {
  QString text = "Transfer Complete!";
  if (video.isEmpty() && data.isEmpty()) return text;
  const QString folder = QFileInfo(video.isEmpty() ? data : video).absolutePath();
  text += "\n\nReceived into " + folder + ":";
  if (!video.isEmpty()) text += "\nVideo: " + QFileInfo(video).fileName();
  if (!data.isEmpty()) text += "\nData log: " + QFileInfo(data).fileName();
  return text + "\n\nThey are now added to the new project.";
}

} // namespace

wcTransfer::wcTransfer() : WindowController("wcTransfer", kOpenCentred) {}

QWidget* wcTransfer::makeWindow() {
  QDialog* dialog = makeDialog("Network Transfer");
  dialog->setMinimumWidth(480);
  auto* layout = new QVBoxLayout(dialog);
  ui_.StatusLabel = new QLabel(dialog);
  ui_.StatusLabel->setWordWrap(true);
  ui_.StatusLabel->setMinimumHeight(36);
  QFont bold = ui_.StatusLabel->font();
  bold.setBold(true);
  ui_.StatusLabel->setFont(bold);
  layout->addWidget(ui_.StatusLabel);
  ui_.TransferProgress = new QProgressBar(dialog);
  ui_.TransferProgress->setRange(0, 1000);
  ui_.TransferProgress->setTextVisible(false);
  layout->addWidget(ui_.TransferProgress);
  ui_.Line2Label = new QLabel(dialog);
  ui_.Line2Label->setWordWrap(true);
  layout->addSpacing(4);
  layout->addWidget(ui_.Line2Label);
  layout->addSpacing(8);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  ui_.CancelButton = new QPushButton("Cancel", dialog);
  buttons->addWidget(ui_.CancelButton);
  layout->addLayout(buttons);
  connect(ui_.CancelButton, &QPushButton::clicked, this, &wcTransfer::CancelButton_Pressed);
  updateTimer_ = new QTimer(this);
  connect(updateTimer_, &QTimer::timeout, this, &wcTransfer::UpdateTimerTick);
  return dialog;
}

void wcTransfer::windowDidOpen() {
  activity_ = AppActivityBegin("Network Transfer");
  received_ = {};
  ui_.StatusLabel->clear();
  ui_.TransferProgress->setValue(0);
  ui_.TransferProgress->hide();
  ui_.Line2Label->setText("Files will be placed into the Quelvatron folder under your Documents folder.");
  TransferStart();
  updateTimer_->start(kTickMs);
}

void wcTransfer::UpdateTimerTick() {
  const float progress = TransferGetProgress();
  ui_.TransferProgress->setValue(static_cast<int>(std::min(progress, 100.0f) * 10));
  if (progress > 0.01f && ui_.TransferProgress->isHidden()) ui_.TransferProgress->show();
  ui_.StatusLabel->setText(WStrToNSString(TransferGetStatusText()));
  if (progress >= kCompleteProgress) finish();
}

void wcTransfer::finish() {
  updateTimer_->stop();
  received_.data = WStrToNSString(TransferGetLogFile());
  received_.video = WStrToNSString(TransferGetVideoFile());
  TransferEnd();
  AppMessageBox(NSStringToWStr(completionText(received_.video, received_.data)).c_str(), 64);
  close();
}

void wcTransfer::CancelButton_Pressed() { close(); }

void wcTransfer::windowWillClose() {
  updateTimer_->stop();
  TransferEnd();
  AppActivityEnd(activity_);
  activity_ = nullptr;
}
