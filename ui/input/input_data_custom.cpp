// The data group's speed calculator, custom channels and profile files.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "base/error.h"
#include "engine/files/profile.h"
#include "engine/model/inputs.h"
#include "ui/controls/text_field.h"
#include "ui/input/data_channels.h"
#include "ui/input/input_data_group.h"
#include "ui/input/wcInputEdit.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/user_defaults.h"
#include "ui/util/ui_utils.h"

using namespace data_channels;

namespace {

struct CustomFields {
  char16_t* name;
  char16_t* source;
  uint8_t* op;
  float* number;
};

CustomFields customFields(DataStruct& data, size_t row) {
  switch (row) {
  case 0: return {data.CustomName, data.CustomInput, &data.CustomOp, &data.CustomNum};
  case 1: return {data.CustomName2, data.CustomInput2, &data.CustomOp2, &data.CustomNum2};
  case 2: return {data.CustomName3, data.CustomInput3, &data.CustomOp3, &data.CustomNum3};
  default: return {data.CustomName4, data.CustomInput4, &data.CustomOp4, &data.CustomNum4};
  }
}

QString fieldText(const char16_t* field) {
  qsizetype length = 0;
  while (length < kNameLength && field[length] != 0) ++length;
  return QString::fromUtf16(field, length);
}

// Outlets of row 1 carry no digit; rows 2 to 4 end in theirs.
QString outletName(const char* base, size_t row) {
  return row == 0 ? QString(base) : QString("%1%2").arg(base).arg(row + 1);
}

} // namespace

QWidget* InputDataGroup::makeCustomColumn(QWidget* parent) {
  auto* box = new QGroupBox("Custom Channels", parent);
  box->setObjectName("CustomGroup");
  box->setFlat(true);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 4, 0, 0);
  int column = 1;
  for (const char* title : {"Name", "From column", "Operation", "Value"})
    grid->addWidget(new QLabel(title, box), 0, column++);
  for (size_t n = 0; n < custom_.size(); ++n) {
    CustomRow& row = custom_[n];
    row.CustomLabel = new QLabel(QString("%1:").arg(n + 1), box);
    row.CustomLabel->setObjectName(outletName("CustomLabel", n));
    row.CustomName = new TextField(box);
    row.CustomName->setObjectName(outletName("CustomName", n));
    row.CustomName->setMaxLength(kNameLength - 1);
    row.CustomName->setPlaceholderText("(off)");
    row.CustomSelection = makeChooser(outletName("CustomSelection", n).toUtf8().constData(), box);
    row.CustomOp = new QComboBox(box);
    row.CustomOp->setObjectName(outletName("CustomOp", n));
    row.CustomNum = new TextField(box);
    row.CustomNum->setObjectName(outletName("CustomNum", n));
    row.CustomNum->setFixedWidth(90);
    const int line = static_cast<int>(n) + 1;
    grid->addWidget(row.CustomLabel, line, 0);
    grid->addWidget(row.CustomName, line, 1);
    grid->addWidget(row.CustomSelection, line, 2);
    grid->addWidget(row.CustomOp, line, 3);
    grid->addWidget(row.CustomNum, line, 4);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 2);
  return box;
}

void InputDataGroup::fillCustomRows(const DataStruct& data) {
  DataStruct copy = data;
  for (size_t n = 0; n < custom_.size(); ++n) {
    const CustomFields fields = customFields(copy, n);
    CustomRow& row = custom_[n];
    row.CustomName->setText(fieldText(fields.name));
    selectStored(row.CustomSelection, fields.source);
    row.CustomOp->clear();
    row.CustomOp->addItems(CustomOpNames());
    row.CustomOp->setCurrentText(CustomOpName(*fields.op));
    row.CustomNum->setText(QString::asprintf("%.05f", *fields.number));
  }
  SetCustomEnabled();
}

void InputDataGroup::readCustomRows(DataStruct& data) {
  for (size_t n = 0; n < custom_.size(); ++n) {
    const CustomFields fields = customFields(data, n);
    const CustomRow& row = custom_[n];
    StoreChannelSelection(row.CustomName->text(), fields.name);
    StoreChannelSelection(row.CustomSelection->currentText(), fields.source);
    *fields.op = CustomOpFromName(row.CustomOp->currentText());
    *fields.number = NSStringToFloat(row.CustomNum->text());
  }
}

// A row without a name is off; its values stay and are still stored.
void InputDataGroup::SetCustomEnabled() {
  for (CustomRow& row : custom_) {
    const bool on = !row.CustomName->text().isEmpty();
    for (QWidget* w : std::initializer_list<QWidget*>{row.CustomLabel, row.CustomSelection, row.CustomOp,
                                                     row.CustomNum})
      UISetControlEnabled(w, on);
  }
}

void InputDataGroup::SetSpeedConversion() {
  units_.SpeedConvText->setText(SpeedConversionText(units_.SpeedFrom->currentText(), units_.SpeedTo->currentText()));
}

void InputDataGroup::DataImport_Pressed() {
  // The engine holds everything edited so far, whatever the panel answers.
  if (!window().StoreRecords()) return;
  FileDialogRequest request;
  request.title = "Import Datalogger Profile...";
  request.types = {"qvlc"};
  request.otherTypes = true;
  request.directory = UserDefaultsReadFolder("ProjectDir");
  const QStringList chosen = FileDialogRun(Box()->window(), request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  const uint32_t input = window().OurIndex();
  const int result = InputImportDataProfile(input, NSStringToWStr(chosen.front()).c_str());
  if (result != 0) ErrorShowLast();
  if (result < 0) return;
  // The import only fills the record; storing it again has the log's
  // channels and laps follow the new mapping now, not at some later edit.
  if (const DataStruct* imported = InputGetData(input)) {
    const DataStruct copy = *imported;
    if (InputSetData(input, &copy) != 0) ErrorShowLast();
  }
  window().SetInputFile(input, window().PreviewTime());
}

void InputDataGroup::DataExport_Pressed() {
  FileDialogRequest request;
  request.save = true;
  request.title = "Export Datalogger Profile...";
  request.types = {"qvlc"};
  request.directory = UserDefaultsReadFolder("ProjectDir");
  const QStringList chosen = FileDialogRun(Box()->window(), request);
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  if (!window().StoreRecords()) return;
  if (InputExportDataProfile(window().OurIndex(), NSStringToWStr(chosen.front()).c_str()) != 0) ErrorShowLast();
}
