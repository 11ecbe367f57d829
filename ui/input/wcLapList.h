#pragma once
// The lap list: the laps of one data input of the project, one row per
// completed lap with its time, the best lap marked and a last row for the
// lap in progress. Choosing a row moves the main preview to the start of
// that lap. It reads everything from the engine each time it rebuilds and
// changes nothing in the project. Not modal: the main window hands it an
// input and tells it when the inputs or their laps change.
#include <QStringList>
#include <cstdint>
#include <vector>

#include "ui/shell/WindowController.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class wcLapList : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcLapList();

public:
  // Lists the input, or when it is no data log the project's first one.
  void SetInput(int input);
  // Refills the input box from the project (renamed, removed, undone).
  void ReloadInputs();
  // Rebuilds the rows from the engine's laps of the input.
  void UpdateLapList();
  int OurInputID() const { return static_cast<int>(state_.OurInputID); }
  void SetInputColor();
  const QStringList& LapLabels() const { return state_.LapLabels; }

public slots:
  void InputSelection_Changed();
  void SetupButton_Pressed();
  void tableViewSelectionDidChange();

protected:
  QWidget* makeWindow() override;

private:
  struct State {
    uint32_t OurInputID = 255;
    QStringList LapLabels;
  };
  State state_;
  QLabel* InputLabel = nullptr;
  QComboBox* InputSelection = nullptr;
  QTableWidget* LapsTable = nullptr;
  QPushButton* SetupButton = nullptr;
};
