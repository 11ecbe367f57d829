#pragma once
// The data group's four custom channels (a name, the log column it comes
// from, an operation and a number a row), and the column chooser that they
// share with the group's channel roles. The data group (input_data_group.h)
// holds the rows and uses the chooser; nothing here knows the group.
#include <QStringList>
#include <array>

#include "model/input_records.h"

class QComboBox;
class QLabel;
class QWidget;
class TextField;

// An editable list of the log's columns, named as its outlet; text typed in
// other letter case stays as typed.
QComboBox* MakeColumnChooser(const QString& name, QWidget* parent);
// Shows the stored name: its entry, or the name as typed text when the
// list lacks it (a column of another log); the first entry when empty.
void SelectStoredColumn(QComboBox* box, const char16_t* stored);

class CustomChannelRows {
public:
  // The rows in a flat box of their own under the parent. A row's name
  // switches it on as it is typed.
  QWidget* Build(QWidget* parent);
  // "(None)" and then the log's columns in each row's source chooser.
  void SetColumns(const QStringList& columns);
  void Fill(const DataStruct& data);
  void Read(DataStruct& data) const;
  // A row without a name is off; its values stay and are still stored.
  void SetEnabled();

private:
  struct Row {
    QLabel* CustomLabel = nullptr;
    TextField* CustomName = nullptr;
    QComboBox* CustomSelection = nullptr;
    QComboBox* CustomOp = nullptr;
    TextField* CustomNum = nullptr;
  };
  std::array<Row, 4> rows_{};
};
