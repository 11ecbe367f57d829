#pragma once
// A group of the input properties window (wcInputEdit): the sound group,
// the picture group and the data group each live in their own class. The
// window keeps private copies of the input's three records; a group fills
// its controls from them, reads its controls back into them, and asks the
// window to write them through when the user changes something.
#include <QGroupBox>

#include "model/input_records.h"

struct InputRecords {
  MainStruct Main{};
  DataStruct Data{};
  AdjustStruct Adjust{};
};

// Which parts the input gets, from its type and has-data flag.
struct InputShows {
  bool HasAudio = false;
  bool HasVideo = false;
  bool HasData = false;
  bool HasLength = false;
};

class wcInputEdit;

class InputEditGroup {
public:
  explicit InputEditGroup(wcInputEdit& window) : window_(window) {}
  virtual ~InputEditGroup() = default;
  InputEditGroup(const InputEditGroup&) = delete;
  InputEditGroup& operator=(const InputEditGroup&) = delete;

  // The group's box, built under the parent by the first call.
  QGroupBox* Box(QWidget* parent) {
    if (box_ == nullptr) box_ = Build(parent);
    return box_;
  }
  QGroupBox* Box() const { return box_; }
  // Whether the input gets this group.
  virtual bool Shown(const InputShows& shows) const = 0;
  // A tall group stands in a column of its own at the window's right,
  // beside the others, so the window fits the screen.
  virtual bool OwnColumn() const { return false; }
  // Fills the controls; the window holds its write-through off meanwhile.
  virtual void Fill(const InputRecords& records) = 0;
  // Reads the controls into the copies (the group's part of UpdateStructs).
  virtual void Read(InputRecords& records) = 0;
  // Enables the group's controls by their state.
  virtual void SetEnabled() {}

protected:
  virtual QGroupBox* Build(QWidget* parent) = 0;
  wcInputEdit& window() { return window_; }

private:
  wcInputEdit& window_;
  QGroupBox* box_ = nullptr;
};
