#pragma once
// One panel of the display-object property window (wcDispObjEdit). Each
// panel edits one concern of the object shown: a copy of its common record
// or of its parameter record, read from the engine when the panel is
// filled and written back whole, with one undo checkpoint, on each change
// the user makes. See wcDispObjEdit.h for how a panel plugs in.
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "model/disp_records.h"
#include "model/disp_types.h"
#include "ui/dispobj/dispobj_fwd.h"

class wcDispObjEdit;
class wcMain;

class DispObjPanel : public QWidget {
  Q_OBJECT
public:
  // bit: the panel's place in the column (DispPanel); the type table says
  // which kinds of object get it.
  DispObjPanel(DispPanel bit, const QString& objectName, wcDispObjEdit* owner);

  DispPanel panelBit() const { return bit_; }
  // Fills the controls from the object (index 0xFFFFFFFF: none); false
  // hides the panel. Filling never writes to the engine.
  virtual bool SetData(uint32_t index) = 0;
  // The height the column gives the panel for the controls it now shows.
  virtual int IntendedHeight() const;

  uint32_t OurIndex = kNoDispObj;

protected:
  // Whether the object's kind gets this panel.
  bool appliesTo(uint8_t type) const;
  // The object's common record, checked to be of a kind this panel edits.
  // A missing object shows the engine's error (not for index none).
  bool readCommon(uint32_t index, DispStruct& out) const;
  // The object's parameter record, copied only when the object's kind gets
  // this panel and its stored block is exactly size bytes.
  bool readParam(uint32_t index, void* out, size_t size) const;
  template <class Record> bool readParam(uint32_t index, Record& out) const {
    return readParam(index, &out, sizeof(Record));
  }
  // How SetData starts: the panel takes the object, then both its records
  // are read; false for none or for an object this panel does not edit.
  template <class Record> bool loadRecords(uint32_t index, Record& param, DispStruct& common) {
    OurIndex = index;
    return index != kNoDispObj && readParam(index, param) && readCommon(index, common);
  }

  // The write paths: return at once while LoadingData is set; otherwise
  // check that OurIndex still holds an object this panel edits (else the
  // window reloads and nothing is written), take one undo checkpoint, mark
  // the project modified, write the whole record and repaint the preview.
  // change edits a fresh copy of the common record; afterWrite runs
  // between the write and the repaint.
  bool writeCommon(const std::function<void(DispStruct&)>& change, bool quickPreview = false,
                   const std::function<void()>& afterWrite = {});
  bool writeParam(const void* record, size_t size);
  template <class Record> bool writeParam(const Record& record) { return writeParam(&record, sizeof(Record)); }
  // The same without the checkpoint, where the caller took it already
  // (around a modal editor window).
  bool writeParamNoUndo(const void* record, size_t size);
  template <class Record> bool writeParamNoUndo(const Record& record) {
    return writeParamNoUndo(&record, sizeof(Record));
  }

  // The main window, the property window.
  static wcMain* main();
  wcDispObjEdit* owner() const { return owner_; }
  // Asks the property window to refill every shown panel.
  void updateOtherPanels();

public:
  // Control helpers, shared with the editor windows of the same records.
  // Colour wells show a record colour opaque; what the user picked comes
  // back as its RGB with the top byte cleared (the element switched on).
  static void showColor(NSColorWellCustom* well, uint32_t color);
  static uint32_t wellColor(const NSColorWellCustom* well);
  // An element's switch (on unless its colour is off) and its colour.
  static void showElement(QCheckBox* check, NSColorWellCustom* well, uint32_t color);
  // While its switch is off, a second colour follows the first, a shade
  // darker (and off), so that switching it on starts from there.
  static void followSecondColor(uint32_t first, uint32_t& second, const QCheckBox* secondSwitch,
                                NSColorWellCustom* secondWell);

  // The data-channel names of an input (field numbers 0 to 127, its added
  // channels and computed fields included); none for input 255.
  static QStringList dataFieldNames(uint32_t input);
  // A channel chooser: the fixed first entry, then the names; shows the
  // stored name, or the first entry when it is empty.
  static void fillFieldCombo(QComboBox* combo, const QString& firstEntry, const QStringList& names,
                             const QString& stored);
  // The chooser's label in red when the object cannot draw the channel:
  // no name, no data input, or an input without that channel. No name is
  // fine for a kind that reads its channel automatically.
  static void showFieldState(QLabel* label, uint32_t input, const char16_t* field, bool emptyIsAutomatic = false);
  // Stores text into a fixed UTF-16 field, cut to capacity - 1 units (never
  // between the halves of a surrogate pair) and terminated.
  static void storeText(char16_t* field, size_t capacity, const QString& text);
  template <size_t N> static void storeText(char16_t (&field)[N], const QString& text) { storeText(field, N, text); }
  // The channel the user picked or typed in a chooser, stored into the
  // record's field; the entries named in noName stand for an empty name.
  // False, with nothing stored, when the field already holds that name (a
  // pick followed by Return reports it twice).
  static bool storeChosenField(const QComboBox* combo, char16_t (&field)[kNameLength],
                               std::initializer_list<const char*> noName = {"(None)", "(Automatic)"});
  // The panel's one titled box, filling it; the grid its controls go in.
  QGridLayout* titledGrid(const QString& title, const char* boxName);
  // The same box, for a panel that lays it out itself.
  QGroupBox* titledBox(const QString& title, const char* boxName);
  // A list the user may also type into (channels, fonts, laps): its action
  // is activated() for a pick and the line edit's changed() for typing.
  static QComboBox* typableList(const char* name, QWidget* parent);
  // Runs the owner's action for both: a pick from the list and Return
  // after typing.
  template <class Owner> static void onListChosen(QComboBox* list, Owner* owner, void (Owner::*action)()) {
    onListChosen(list, owner, [owner, action]() { (owner->*action)(); });
  }
  static void onListChosen(QComboBox* list, QObject* context, const std::function<void()>& action);
  // Controls named for tests and style sheets.
  static QCheckBox* checkBox(const QString& title, const char* name, QWidget* parent);
  static NSColorWellCustom* colorWell(const char* name, QWidget* parent);
  // A number field's row: its text (of the given width), its stepper, then
  // an optional unit; the controls are named <name>Text and <name>Stepper.
  static QHBoxLayout* numberField(TextField*& text, RealStepper*& stepper, const QString& name, double minimum,
                                  double maximum, double increment, QWidget* parent, int textWidth = 52,
                                  const QString& unit = QString());
  // An element's row of a grid: its switch in column 0 and its colour well
  // in column 1; with a sizeTitle ("Width:", "Size:"), a whole-number size
  // field after it in columns 2 and 3. The switch and well are named
  // Do<name>Check and <name>Color, the size field <name>Size.
  static QCheckBox* elementRow(QGridLayout* grid, int row, const QString& title, const QString& name,
                               NSColorWellCustom*& well, QWidget* parent);
  static void elementSize(QGridLayout* grid, int row, const QString& sizeTitle, const QString& name,
                          TextField*& text, RealStepper*& stepper, double minimum, double maximum, QWidget* parent);
  // The field for a label's text, as long as the record's.
  static TextField* labelTextField(QWidget* parent);

protected:
  bool LoadingData = false;

private:
  bool writeParamChecked(const void* record, size_t size, bool checkpoint);
  bool objectStillFits(DispStruct& record, size_t paramSize);

  DispPanel bit_;
  wcDispObjEdit* owner_;
};
