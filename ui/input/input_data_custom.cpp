#include "ui/input/input_data_custom.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include "ui/controls/text_field.h"
#include "ui/input/data_channels.h"
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

QComboBox* MakeColumnChooser(const QString& name, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setLineEdit(new TextField(box));
  // A name typed in other letter case is kept as typed, not replaced by
  // the column it resembles (the engine still finds that column).
  if (QCompleter* completer = box->completer()) completer->setCaseSensitivity(Qt::CaseSensitive);
  box->setMaxVisibleItems(20);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(16);
  return box;
}

void SelectStoredColumn(QComboBox* box, const char16_t* stored) {
  const QString name = stored != nullptr ? fieldText(stored) : QString();
  if (name.isEmpty()) {
    box->setCurrentIndex(0);
    return;
  }
  const int row = box->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (row >= 0) box->setCurrentIndex(row);
  else box->setEditText(name); // a column of another log, or typed text
}

QWidget* CustomChannelRows::Build(QWidget* parent) {
  auto* box = new QGroupBox("Custom Channels", parent);
  box->setObjectName("CustomGroup");
  box->setFlat(true);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 4, 0, 0);
  int column = 1;
  for (const char* title : {"Name", "From column", "Operation", "Value"})
    grid->addWidget(new QLabel(title, box), 0, column++);
  for (size_t n = 0; n < rows_.size(); ++n) {
    Row& row = rows_[n];
    row.CustomLabel = new QLabel(QString("%1:").arg(n + 1), box);
    row.CustomLabel->setObjectName(outletName("CustomLabel", n));
    row.CustomName = new TextField(box);
    row.CustomName->setObjectName(outletName("CustomName", n));
    row.CustomName->setMaxLength(kNameLength - 1);
    row.CustomName->setPlaceholderText("(off)");
    row.CustomSelection = MakeColumnChooser(outletName("CustomSelection", n), box);
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
    QObject::connect(row.CustomName, &QLineEdit::textEdited, box, [this]() { SetEnabled(); });
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 2);
  return box;
}

void CustomChannelRows::SetColumns(const QStringList& columns) {
  for (Row& row : rows_) {
    row.CustomSelection->clear();
    row.CustomSelection->setEditText("");
    row.CustomSelection->addItem(kNone);
    row.CustomSelection->addItems(columns);
  }
}

void CustomChannelRows::Fill(const DataStruct& data) {
  DataStruct copy = data;
  for (size_t n = 0; n < rows_.size(); ++n) {
    const CustomFields fields = customFields(copy, n);
    Row& row = rows_[n];
    row.CustomName->setText(fieldText(fields.name));
    SelectStoredColumn(row.CustomSelection, fields.source);
    row.CustomOp->clear();
    row.CustomOp->addItems(CustomOpNames());
    row.CustomOp->setCurrentText(CustomOpName(*fields.op));
    row.CustomNum->setText(QString::asprintf("%.05f", *fields.number));
  }
  SetEnabled();
}

void CustomChannelRows::Read(DataStruct& data) const {
  for (size_t n = 0; n < rows_.size(); ++n) {
    const CustomFields fields = customFields(data, n);
    const Row& row = rows_[n];
    StoreChannelSelection(row.CustomName->text(), fields.name);
    StoreChannelSelection(row.CustomSelection->currentText(), fields.source);
    *fields.op = CustomOpFromName(row.CustomOp->currentText());
    *fields.number = NSStringToFloat(row.CustomNum->text());
  }
}

void CustomChannelRows::SetEnabled() {
  for (Row& row : rows_) {
    const bool on = !row.CustomName->text().isEmpty();
    for (QWidget* w : std::initializer_list<QWidget*>{row.CustomLabel, row.CustomSelection, row.CustomOp,
                                                     row.CustomNum})
      UISetControlEnabled(w, on);
  }
}
