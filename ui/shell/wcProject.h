#pragma once
// The project settings window: the project's user text (notes kept with
// it), the speed unit of its data channels and its length, automatic or
// set by hand. Runs modally; OK writes into the project, Cancel changes
// nothing.
#include <QString>

#include "ui/shell/WindowController.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class wcProject : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcProject();

public:
  // The project keeps at most this many UTF-16 units of user text.
  static constexpr int kUserTextUnits = 1023;

  QString OriginalLengthText;
  QPlainTextEdit* UserText = nullptr;
  QCheckBox* ManualLengthCheck = nullptr;
  QLineEdit* ProjectLengthText = nullptr;
  QComboBox* SpeedUnitSelection = nullptr;
  QCheckBox* LengthMatchCheck = nullptr;
  QComboBox* LengthMatchSelection = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // The speed-unit code of a combo text: "Km/h" 2, "Knots" 3, "m/s" 4 (any
  // case), anything else 1.
  static int SpeedUnitFromText(const QString& text);
  // The text cut to what the project keeps, never inside a surrogate pair.
  static QString CutUserText(const QString& text);

public slots:
  void OkButton_Pressed();
  void CancelButton_Pressed();
  void ManualLengthCheck_Changed();
  void ProjectLengthText_Changed();
  void LengthMatchCheck_Changed();
  void LengthMatchSelection_Changed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;

private:
  void fill();
  void store();
};
