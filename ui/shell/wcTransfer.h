#pragma once
// The Network Transfer window: while it is open the engine's transfer
// server waits for a phone (or another computer) on the network to push a
// video and a data log; the window shows the server's status and the
// progress of the file being received, and once the push is complete names
// the files and hands their paths to its opener (VideoFile, DataFile).
#include <QString>

#include "ui/shell/WindowController.h"
#include "ui/util/ui_utils.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class wcTransfer : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTransfer();

public:
  // Paths of the received files; empty until a push is complete.
  QString VideoFile() const { return received_.video; }
  QString DataFile() const { return received_.data; }
  void setVideoFile(const QString& path) { received_.video = path; }
  void setDataFile(const QString& path) { received_.data = path; }

  struct Outlets {
    QLabel* StatusLabel = nullptr;
    QProgressBar* TransferProgress = nullptr;
    QLabel* Line2Label = nullptr;
    QPushButton* CancelButton = nullptr;
  };
  const Outlets& outlets() { window(); return ui_; }

public slots:
  void UpdateTimerTick();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowWillClose() override;

private:
  struct Received {
    QString video;
    QString data;
  };
  void finish();

  Outlets ui_;
  Received received_;
  QTimer* updateTimer_ = nullptr;
  AppActivityToken activity_ = nullptr;
};
