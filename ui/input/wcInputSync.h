#pragma once
// Quick sync: shifts one input against the project while the user watches
// the main preview. It edits the input's trim start and its start time in
// the project and writes every change into the input at once; OK keeps the
// values with one undo checkpoint, Cancel and closing put back what the
// input had when it was loaded. A normal (not modal) window.
#include <QString>
#include <cstdint>

#include "ui/shell/WindowController.h"

class QComboBox;
class QLabel;
class RealSlider;
class TextField;

class wcInputSync : public WindowController {
  Q_OBJECT
private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcInputSync();

public:
  // Loads the input (a join member stands for its join); an edit of the
  // previous input is settled first (Yes/No). 255 or an image: no input.
  void SetInput(int input);
  // Another command is about to change the project's inputs: the edit is
  // kept or dropped as the user answers, and the window closes, so that
  // its revert can never undo that command's change.
  void InputsWillChange();

  // Clamps, shows and applies the edited values (quick: the main preview
  // repaints at its fastest quality).
  void UpdatePreview(bool quick = false);
  void Save();
  void Revert();
  // Asks to keep an edit; false when the user cancelled.
  bool InputChangedPrompt(bool cancellable);

  uint32_t OurIndex() const { return edit_.OurIndex; }

public slots:
  void InputSelection_Changed();
  void StartTimeText_Changed();
  void StartTimeSlider_Changed();
  void OffsetTimeText_Changed();
  void PlayRateText_Changed();
  void BackButton4_Pressed() { step(-5.0); }
  void BackButton3_Pressed() { step(-1.0); }
  void BackButton2_Pressed() { step(-0.15); }
  void BackButton1_Pressed() { step(-0.03); }
  void ForwardButton1_Pressed() { step(0.03); }
  void ForwardButton2_Pressed() { step(0.15); }
  void ForwardButton3_Pressed() { step(1.0); }
  void ForwardButton4_Pressed() { step(5.0); }
  void OkButton_Pressed();
  void CancelButton_Pressed();

protected:
  QWidget* makeWindow() override;
  void windowWillClose() override;

private:
  struct Values {
    double StartTime = 0;  // trim start
    double OffsetTime = 0; // start time in the project
    double PlayRate = 1.0;
    bool operator==(const Values&) const = default;
  };
  struct Edit {
    uint32_t OurIndex = 255;
    QString OurInputName;
    uint32_t OurInputType = 0;
    double EndTime = 0; // the trim start's upper limit
    Values now;
    Values revert;
    // What the record held after our last write (or the load): a record
    // that holds anything else was changed by someone else since.
    float writtenTrimStart = 0, writtenStart = 0, writtenRate = 1;
  };

  void step(double seconds);
  // Runs one change of the edited values and applies them.
  template <typename Change> void editValues(Change change);
  bool recordStillOurs() const;
  void followOutsideChange();
  void store(const Values& values);
  void fillInputList();
  void refreshMain(bool quick);

  Edit edit_;
  bool Scrolling = false;

  QComboBox* InputSelection = nullptr;
  TextField* StartTimeText = nullptr;
  RealSlider* StartTimeSlider = nullptr;
  TextField* OffsetTimeText = nullptr;
  QLabel* PlayRateLabel = nullptr;
  TextField* PlayRateText = nullptr;
};
