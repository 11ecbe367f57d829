#pragma once
// The tip shown before a data-log template is used, with the choice of
// seeing it again.
#include "ui/shell/WindowController.h"

class QCheckBox;
class QPushButton;

class wcTip : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTip();

public:
  QCheckBox* DoTip = nullptr;
  QPushButton* OkButton = nullptr;

public slots:
  void DoTip_Changed();
  void OkButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
};
