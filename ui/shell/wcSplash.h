#pragma once
// The splash window of the launch, with one status line.
#include "ui/shell/WindowController.h"

class QLabel;

class wcSplash : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcSplash();

public:
  // Sets the status line and lets it paint at once, even while the GUI
  // thread is busy with the launch. GUI thread only.
  void SetStatus(const QString& text);
  QString Status() const;

protected:
  QWidget* makeWindow() override;
  void windowDidBecomeMain() override;

private:
  QLabel* StatusLabel = nullptr;
};
