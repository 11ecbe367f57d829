#pragma once
// The About window: product, version, build and the web-site button.
#include "ui/shell/WindowController.h"

class QLabel;
class QPushButton;

class wcAbout : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcAbout();

public:
  QLabel* AppLabel = nullptr;
  QLabel* VerLabel = nullptr;
  QLabel* CopyrightLabel = nullptr;
  QLabel* AboutText = nullptr;
  QPushButton* WebsiteButton = nullptr;
  QPushButton* OkButton = nullptr;

public slots:
  void OkButton_Pressed();
  void WebsiteButton_Clicked();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
};
