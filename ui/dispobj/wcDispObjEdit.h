#pragma once
// The display-object property window: one object at a time, edited through
// a column of panels. The general panel heads every column; below it come
// the panels the object's kind needs (its own kind's panel, position and
// look, sound). Non-modal, made once at launch and kept by the application
// (wndDispObjEdit); the main window loads an object into it whenever its
// selection or the project changes.
//
// How a panel plugs in:
//  1. Write the panel as one class in its own files (ui/dispobj/vcDispObjX.{h,cpp})
//     deriving from DispObjPanel, its controls built in code with layouts,
//     at most kPanelWidth wide.
//  2. SetData(index): store OurIndex, copy the record with readParam /
//     readCommon (they check the object's kind and block size), fill the
//     controls with LoadingData set, return true (false hides the panel).
//     Connect only signals of user actions (clicked, activated,
//     editingFinished, the controls' own changed-by-the-user signals), so
//     that filling never writes.
//  3. Each user change edits the panel's copy and calls writeParam (or
//     writeCommon): one undo checkpoint, the project marked modified, one
//     whole-record write and a preview repaint. A panel whose changes show
//     in other panels then calls updateOtherPanels().
//  4. Register it: one line in dispobj_panels.cpp maps its DispPanel bit
//     to its class; the type table (model/disp_types.cpp) already
//     says which kinds of object get that bit.
// The window sizes the column from each panel's IntendedHeight() (its
// layout's height for the controls it shows).
#include <cstdint>
#include <vector>

#include "model/disp_records.h"
#include "model/disp_types.h"
#include "ui/shell/WindowController.h"

class DispObjPanel;
class QScrollArea;
class QVBoxLayout;
class vcDispObjGeneral;

class wcDispObjEdit : public WindowController {
  Q_OBJECT
public:
  static constexpr int kPanelWidth = 320;

private:
  // Made by the window registry alone: one controller for the process.
  friend class WindowRegistry;
  wcDispObjEdit();

public:
  ~wcDispObjEdit() override;

  // Loads the object (0xFFFFFFFF: none) and lays the column out for it;
  // the same object again only refreshes the panels, unless its kind or
  // name changed meanwhile. False only when nothing can be shown.
  bool SetDisplayObject(int index);
  // Refills every shown panel from the engine.
  void UpdateControls();
  // Decides which panels the object gets and rebuilds the column.
  bool SetLayout();
  // A panel found another object at OurIndex: load what is there now.
  void ReloadAfterChange();

  // The panels a kind of object gets (DispPanel bits, the general panel included).
  static uint32_t PanelsForType(uint8_t type);

  uint32_t OurIndex() const { return ourIndex_; }
  bool ValidDispObj() const { return valid_; }
  uint8_t ShownType() const { return record_.Type; }
  // The panels in column order (top first), registered or not shown.
  const std::vector<DispObjPanel*>& Panels() const { return panels_; }
  DispObjPanel* Panel(DispPanel bit) const;
  vcDispObjGeneral* General() const;

protected:
  QWidget* makeWindow() override;
  void windowDidOpen() override;
  void windowDidBecomeMain() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void resizeForColumn(int columnHeight);
  void keepOnScreen();

  uint32_t ourIndex_ = kNoDispObj;
  bool valid_ = false;
  DispStruct record_{};
  std::vector<DispObjPanel*> panels_;
  QScrollArea* scrollView_ = nullptr;
  QWidget* column_ = nullptr;
  QVBoxLayout* columnLayout_ = nullptr;
};
