#pragma once
// The input mapping of a template being added: for each of the template's
// first eight inputs a choice among the project's inputs that fit its kind,
// or a new input file added on the spot; OK writes the choices into the
// loaded template.
#include <QString>
#include <array>
#include <cstdint>

#include "ui/shell/WindowController.h"
#include "ui/util/preview_slot.h"

class NSImageViewCustom;
class QComboBox;
class QLabel;
class QPushButton;

class wcTemplateLoad : public WindowController {
  Q_OBJECT
public:
  static constexpr int kRows = 8;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcTemplateLoad();

public:
  ~wcTemplateLoad() override;

  // Fills the rows from the loaded template; before every modal run.
  void SetData();
  void InputRefresh();
  void InputSet(int row, uint32_t input, bool silent = false);
  // Asks for an input file fitting the row and adds it; its index or 255.
  uint32_t InputAdd(int row);
  void RedrawPreview() { preview_.redraw(); }
  void EndPreview() { preview_.close(); }

  bool Success() const { return success_; }

  QComboBox* InputSelection(int row) const;
  QLabel* InputName(int row) const;
  QLabel* InputType(int row) const;
  QPushButton* InputAddButton(int row) const;

public slots:
  void InputAdd_Pressed(int row);
  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowWillClose() override;

private:
  struct Row {
    QLabel* caption = nullptr;
    QLabel* name = nullptr;
    QLabel* type = nullptr;
    QComboBox* selection = nullptr;
    QPushButton* add = nullptr;
    uint32_t inputType = 0; // 1 video, 2 audio, 3 image, 4 data; 0 unused
  };

  bool success_ = false;
  PreviewSlot preview_;
  std::array<Row, kRows> rows_{};
  NSImageViewCustom* previewImage_ = nullptr;
};
