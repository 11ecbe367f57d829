#pragma once
// The offer at start-up to reopen the project of a session that did not end
// cleanly, with the choice of sending a crash report.
#include "ui/shell/WindowController.h"

class QCheckBox;
class QPushButton;

class wcRecovery : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcRecovery();

public:
  // Read by the opener after the modal run.
  bool DoRecovery() const { return doRecovery_; }
  bool SendReport() const { return sendReport_; }
  // False when the window closed without Yes or No (the program ended under
  // it): nothing was decided about the previous session's project.
  bool Answered() const { return answered_; }

  QCheckBox* SubmitReportCheck = nullptr;
  QPushButton* YesButton = nullptr;
  QPushButton* NoButton = nullptr;

public slots:
  void YesButton_Pressed();
  void NoButton_Pressed();
  void SubmitReportCheck_Changed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;

private:
  bool doRecovery_ = false;
  bool answered_ = false;
  bool sendReport_ = false;
};
