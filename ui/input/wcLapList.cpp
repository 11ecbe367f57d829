#include "ui/input/wcLapList.h"

#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/inputs.h"
#include "model/project.h"
#include "media/datalog/datalog_queries.h"
#include "render/preview/main_preview.h"
#include "ui/controls/text_field.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

// Data queries of the log (the time argument of 8 is a lap number).
constexpr uint32_t kQueryLapCount = 7, kQueryLapStart = 8, kQueryBestLapNumber = 11;

float lapStart(uint32_t input, int lap) {
  return static_cast<float>(InputHandlerGetDataTypeValue(input, 1, kQueryLapStart, static_cast<float>(lap)));
}

bool isDataLog(uint32_t input) { return input != kNoInput && InputGetType(input) == kInputData; }

wcMain* mainWindow() { return AppWindows().wndMain(); }

} // namespace

wcLapList::wcLapList() : WindowController("wcLapList", kOpenAtMainBottom) {}

QWidget* wcLapList::makeWindow() {
  QDialog* dialog = makeDialog("Laps");
  dialog->setModal(false);
  auto* layout = new QVBoxLayout(dialog);
  auto* inputRow = new QHBoxLayout();
  InputLabel = new QLabel("Data input:", dialog);
  InputLabel->setObjectName("InputLabel");
  InputSelection = new QComboBox(dialog);
  InputSelection->setObjectName("InputSelection");
  InputSelection->setEditable(true);
  InputSelection->setInsertPolicy(QComboBox::NoInsert);
  InputSelection->setLineEdit(new TextField(InputSelection));
  inputRow->addWidget(InputLabel);
  inputRow->addWidget(InputSelection, 1);
  layout->addLayout(inputRow);

  LapsTable = new QTableWidget(0, 1, dialog);
  LapsTable->setObjectName("LapsTable");
  // The rows line their times up by spaces: one fixed-pitch font for all.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  LapsTable->setFont(fixed);
  LapsTable->horizontalHeader()->setFont(fixed);
  LapsTable->setHorizontalHeaderLabels({"Lap            Time"});
  LapsTable->horizontalHeader()->setStretchLastSection(true);
  LapsTable->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  LapsTable->verticalHeader()->hide();
  LapsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  LapsTable->setSelectionMode(QAbstractItemView::SingleSelection);
  LapsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  LapsTable->setShowGrid(false);
  LapsTable->setAlternatingRowColors(true);
  LapsTable->setMinimumSize(300, 320);
  layout->addWidget(LapsTable, 1);

  auto* buttons = new QHBoxLayout();
  SetupButton = new QPushButton("Set Up Input...", dialog);
  SetupButton->setObjectName("SetupButton");
  SetupButton->setToolTip("Channels and start/finish line of this input");
  SetupButton->setAutoDefault(false);
  buttons->addWidget(SetupButton);
  buttons->addStretch(1);
  layout->addLayout(buttons);

  connect(InputSelection, &QComboBox::activated, this, &wcLapList::InputSelection_Changed);
  connect(static_cast<TextField*>(InputSelection->lineEdit()), &TextField::changed, this,
          &wcLapList::InputSelection_Changed);
  connect(LapsTable, &QTableWidget::itemSelectionChanged, this, &wcLapList::tableViewSelectionDidChange);
  connect(SetupButton, &QPushButton::clicked, this, &wcLapList::SetupButton_Pressed);
  return dialog;
}

void wcLapList::SetInput(int input) {
  window();
  state_.OurInputID = input >= 0 && input < static_cast<int>(kNoInput) ? static_cast<uint32_t>(input) : kNoInput;
  if (!isDataLog(state_.OurInputID)) {
    for (uint32_t i = 0; i < InputCount(); ++i) {
      if (InputGetType(i) == kInputData) {
        state_.OurInputID = i;
        break;
      }
    }
  }
  ReloadInputs();
}

void wcLapList::ReloadInputs() {
  window();
  InputSelection->clear();
  int chosen = -1;
  for (uint32_t i = 0; i < InputCount(); ++i) {
    const MainStruct* main = InputGetMain(i);
    if (main == nullptr || main->Type != kInputData) continue;
    if (i == state_.OurInputID) chosen = InputSelection->count();
    InputSelection->addItem(W16ToNSString(main->Name));
  }
  InputSelection->setCurrentIndex(chosen);
  if (chosen < 0) InputSelection->setEditText("");
  SetInputColor();
  UpdateLapList();
}

void wcLapList::SetInputColor() {
  QPalette colours = InputLabel->palette();
  colours.setColor(QPalette::WindowText, state_.OurInputID != kNoInput
                                             ? InputLabel->parentWidget()->palette().color(QPalette::WindowText)
                                             : QColor(Qt::red));
  InputLabel->setPalette(colours);
}

void wcLapList::UpdateLapList() {
  window();
  QStringList labels;
  const uint32_t input = state_.OurInputID;
  if (isDataLog(input)) {
    const auto count = static_cast<int>(InputHandlerGetDataTypeValue(input, 1, kQueryLapCount, 0));
    const auto best = static_cast<int>(InputHandlerGetDataTypeValue(input, 1, kQueryBestLapNumber, 0));
    // Single precision as the engine's times are stored: row k runs from
    // the start of lap k (the log's start for lap 0) to that of lap k + 1.
    float previous = 0;
    for (int k = 0; k < count; ++k) {
      const float start = lapStart(input, k + 1);
      QString row = QString::asprintf("Lap %03d        ", k) + FormatTimeNSString(3, 1, start - previous);
      if (k == best) row += "   (Best)";
      labels << row;
      previous = start;
    }
    labels << QString::asprintf("Lap %03d        (incomplete)", std::max(count, 0));
  }
  state_.LapLabels = labels;
  const QSignalBlocker quiet(LapsTable);
  LapsTable->clearContents();
  LapsTable->setRowCount(static_cast<int>(labels.size()));
  for (int row = 0; row < labels.size(); ++row) LapsTable->setItem(row, 0, new QTableWidgetItem(labels.at(row)));
}

void wcLapList::tableViewSelectionDidChange() {
  const QList<QTableWidgetItem*> selected = LapsTable->selectedItems();
  if (selected.isEmpty()) return;
  const int row = selected.front()->row();
  const uint32_t input = state_.OurInputID;
  if (row < 0 || InputGetMain(input) == nullptr) return;
  // The lap's start in the log's own time becomes project time through the
  // log's start, trim and play rate and those of any join that holds it.
  const double time = InputGetProjectTime(input, lapStart(input, row));
  wcMain* main = mainWindow();
  if (main == nullptr) return;
  PreviewStop();
  // A log may run on past the project (a longer log than the video, a set
  // length): a lap that starts after the end shows the project's last
  // frame, as the preview slider's end does, and not a picture of nothing.
  const double end = std::max(0.0, static_cast<double>(ProjectGetLength(0)));
  main->setPreviewTime(std::clamp(time, 0.0, end));
  main->PreviewRefresh();
}

void wcLapList::InputSelection_Changed() {
  const QString name = InputSelection->currentText();
  state_.OurInputID = name.isEmpty() ? kNoInput : InputFind(name.toStdU16String().c_str());
  SetInputColor();
  UpdateLapList();
}

void wcLapList::SetupButton_Pressed() {
  if (wcMain* main = mainWindow()) main->InputEdit(state_.OurInputID);
}
