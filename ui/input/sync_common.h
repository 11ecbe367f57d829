#pragma once
// What the two sync windows share: time texts, input names in combo
// boxes, the save question, the main window, and rows of step buttons.
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/input_records.h"

class QComboBox;
class QLineEdit;
class QWidget;
class QHBoxLayout;
class wcMain;

namespace sync_ui {

// "hh:mm:ss.ss"; negative times show as zero.
QString TimeText(double seconds);
// The engine's reading of a typed time ("h:m:s", "m:s" or seconds).
double ReadTime(const QLineEdit* field);
// A typed play rate: empty gives 1, a negative value 0.
double ReadRate(const QLineEdit* field);
QString RateText(double rate);
// The record's name (64 units, zero-terminated unless full).
QString RecordName(const MainStruct& main);
// The input a combo box names (case-insensitive); 255 for none.
uint32_t InputOfComboText(const QComboBox* combo);
// Selects the name in the combo box; an empty name leaves it empty.
void SelectComboName(QComboBox* combo, const QString& name);
// "Do you want to save changes to '<name>'?": flags 35 when cancellable,
// else 36; the message box's answer (6 Yes, 7 No, 2 Cancel).
int AskToSaveChanges(const QString& name, bool cancellable);
// Refuses a rate the engine would not play as typed; true when usable.
bool CheckPlayRate(double rate);
// Writes the input's trim start, start in the project and play rate into
// its main record: the record as written, or nothing when the input has
// none or the engine refused it.
std::optional<MainStruct> StoreTiming(uint32_t input, double trimStart, double start, double rate);
// The main window, or null while there is none.
wcMain* MainWindow();

struct StepButton {
  QString name;  // object name, e.g. "BackButton4"
  QString title; // face, e.g. "<<<<"
  double seconds;
};
// A row of step buttons, each calling step with its seconds; the text
// field (when given) sits between the backward and forward ones.
QHBoxLayout* StepRow(QWidget* parent, const std::vector<StepButton>& buttons, QWidget* middle,
                     const std::function<void(double)>& step);

} // namespace sync_ui
