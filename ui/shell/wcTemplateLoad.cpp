#include "ui/shell/wcTemplateLoad.h"

#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "base/error.h"
#include "base/message_box.h"
#include "base/text.h"
#include "io/files/templates.h"
#include "model/inputs.h"
#include "media/embedded_data.h"
#include "ui/controls/NSImageViewCustom.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

const char* const kTypeWords[] = {"", "Video", "Audio", "Image", "Data"};

QString typeWord(uint32_t type) { return type >= 1 && type <= 4 ? kTypeWords[type] : ""; }

bool isNone(const QString& text) { return text.isEmpty() || text.compare("(None)", Qt::CaseInsensitive) == 0; }

QString inputDirDefault() {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains("InputDir")) return QString();
  return QUrl(settings->value("InputDir").toString()).toLocalFile();
}

int fileTypeMask(uint32_t type) {
  switch (type) {
  case kInputVideo: return 1;
  case kInputAudio: return 2;
  case kInputImage: return 4;
  case kInputData: return 8;
  default: return 255;
  }
}

} // namespace

wcTemplateLoad::wcTemplateLoad() : WindowController("wcTemplateLoad", kOpenCentred) {}

wcTemplateLoad::~wcTemplateLoad() { EndPreview(); }

QWidget* wcTemplateLoad::makeWindow() {
  QDialog* dialog = makeDialog("Template Inputs");
  auto* layout = new QVBoxLayout(dialog);
  auto* top = new QHBoxLayout();
  previewImage_ = new NSImageViewCustom(dialog);
  previewImage_->setObjectName("PreviewImage");
  previewImage_->setFixedSize(180, 120);
  auto* intro = new QLabel("This template shows the inputs below. Choose the project input that each of them "
                           "stands for, or add a new file for it.",
                           dialog);
  intro->setWordWrap(true);
  top->addWidget(previewImage_);
  top->addWidget(intro, 1);
  layout->addLayout(top);
  auto* grid = new QGridLayout();
  grid->setColumnStretch(3, 1);
  for (int r = 0; r < kRows; ++r) {
    Row& row = rows_[r];
    row.caption = new QLabel(QString("Input %1:").arg(r + 1), dialog);
    row.name = new QLabel(dialog);
    row.name->setMinimumWidth(120);
    row.type = new QLabel(dialog);
    row.type->setMinimumWidth(80);
    row.selection = new QComboBox(dialog);
    row.selection->setObjectName(QString("InputSelection%1").arg(r + 1));
    row.selection->setEditable(true);
    row.selection->setMinimumWidth(220);
    row.add = new QPushButton("Add New", dialog);
    row.add->setObjectName(QString("InputAdd%1").arg(r + 1));
    grid->addWidget(row.caption, r, 0);
    grid->addWidget(row.name, r, 1);
    grid->addWidget(row.type, r, 2);
    grid->addWidget(row.selection, r, 3);
    grid->addWidget(row.add, r, 4);
    connect(row.add, &QPushButton::clicked, this, [this, r]() { InputAdd_Pressed(r); });
  }
  layout->addLayout(grid);
  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  connect(buttons.ok, &QPushButton::clicked, this, &wcTemplateLoad::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcTemplateLoad::CancelButton_Pressed);
  return dialog;
}

void wcTemplateLoad::SetData() {
  window();
  success_ = false;
  const uint32_t count = TemplateImportGetInputCount();
  for (int r = 0; r < kRows; ++r) {
    Row& row = rows_[r];
    const bool used = static_cast<uint32_t>(r) < count;
    for (QWidget* control : {static_cast<QWidget*>(row.selection), static_cast<QWidget*>(row.name),
                             static_cast<QWidget*>(row.type), static_cast<QWidget*>(row.caption),
                             static_cast<QWidget*>(row.add)})
      control->setEnabled(used);
    row.add->setIcon(QIcon());
    row.add->setText("Add New");
    if (used) {
      row.name->setText(W16ToNSString(TemplateImportGetInputName(static_cast<uint32_t>(r))));
      row.inputType = TemplateImportGetInputType(static_cast<uint32_t>(r));
      row.type->setText(QString("Type: %1").arg(typeWord(row.inputType)));
    } else {
      row.name->setText("");
      row.type->setText("");
      row.inputType = 0;
    }
    row.selection->setCurrentText("");
  }
  InputRefresh();
  for (uint32_t r = 0; r < std::min<uint32_t>(count, kRows); ++r)
    InputSet(static_cast<int>(r), TemplateImportGetInputID(r), true);
  EndPreview();
  preview_.hold(TemplateImportCreatePreview(previewImage_->viewHandle(), static_cast<uint32_t>(previewImage_->width()),
                                            static_cast<uint32_t>(previewImage_->height())));
}

void wcTemplateLoad::InputRefresh() {
  const uint32_t count = InputCount();
  for (Row& row : rows_) {
    const QString kept = row.selection->currentText();
    row.selection->clear();
    row.selection->addItem("(None)");
    for (uint32_t i = 0; i < count; ++i) {
      const MainStruct* record = InputGetMain(i);
      if (record == nullptr || record->ParentJoin != kNoInput || !TemplateInputFits(row.inputType, record->Type)) continue;
      row.selection->addItem(W16ToNSString(record->Name));
    }
    const QString want = kept.isEmpty() ? QString("(None)") : kept;
    const int at = row.selection->findText(want);
    if (at >= 0) row.selection->setCurrentIndex(at);
    else row.selection->setCurrentText(want);
  }
}

void wcTemplateLoad::InputSet(int row, uint32_t input, bool silent) {
  const MainStruct* record = InputGetMain(input);
  if (row < 0 || row >= kRows || record == nullptr) return;
  if (TemplateInputFits(rows_[row].inputType, record->Type)) {
    rows_[row].selection->setCurrentText(W16ToNSString(record->Name));
  } else if (!silent) {
    AppMessageBox(L"Input file selection is the wrong type for this input.", 48);
  }
}

uint32_t wcTemplateLoad::InputAdd(int row) {
  if (row < 0 || row >= kRows) return kNoInput;
  const QString path = FileDialogOpen(window(), "Add Input File to Project...", inputDirDefault(),
                                      AppDelegate::GetMediaFileTypes(fileTypeMask(rows_[row].inputType)));
  if (path.isEmpty()) return kNoInput;
  const std::wstring wide = NSStringToWStr(path);
  uint32_t added = kNoInput;
  if (InputCheckMultiPart(wide.c_str()) == kMultiPartFound &&
      AppMessageBox(L"This appears to be part of a multi-file set. Do you want to add the entire set to the "
                    L"project as a joined input?",
                    36) == kMbYes) {
    added = InputAddMultiPart(wide.c_str());
  } else {
    added = ::InputAdd(WideToUtf16(wide).c_str());
  }
  UserDefaultsWrite("InputDir", QUrl::fromLocalFile(QFileInfo(path).path() + "/").toString());
  ErrorShowLast();
  if (added != kNoInput && InputHandlerHasEmbeddedData(added) &&
      AppMessageBox(L"This file appears to contain embedded GPS data. Would you like to extract that and add it "
                    L"to your project?",
                    36) == kMbYes) {
    const uint32_t extracted = InputHandlerExtractEmbeddedData(added);
    ErrorShowLast();
    if (extracted != kNoInput) {
      for (Row& dataRow : rows_) {
        if (dataRow.inputType != kInputData) continue;
        const QString name = W16ToNSString(InputGetName(extracted));
        dataRow.selection->addItem(name);
        dataRow.selection->setCurrentText(name);
        break;
      }
    }
  }
  InputRefresh();
  return added;
}

void wcTemplateLoad::InputAdd_Pressed(int row) {
  const uint32_t added = InputAdd(row);
  if (added != kNoInput) InputSet(row, added);
}

void wcTemplateLoad::OkButton_Pressed() {
  const uint32_t count = TemplateImportGetInputCount();
  bool dataLeftOpen = false;
  for (uint32_t r = 0; r < std::min<uint32_t>(count, kRows); ++r) {
    const Row& row = rows_[r];
    const QString text = row.selection->currentText();
    uint32_t choice = kNoInput;
    if (!isNone(text)) {
      choice = InputFind(text.toStdU16String().c_str());
    } else if (row.inputType == kInputData) {
      dataLeftOpen = true;
    }
    TemplateImportSetInputID(r, choice);
  }
  if (dataLeftOpen &&
      AppMessageBox(L"You have not made a selection for the Data input. This may cause inactive displays to be "
                    L"shown.\n\nAre you sure you want to proceed?",
                    36) != kMbYes)
    return;
  success_ = true;
  close();
}

void wcTemplateLoad::CancelButton_Pressed() {
  success_ = false;
  close();
}

QComboBox* wcTemplateLoad::InputSelection(int row) const { return row >= 0 && row < kRows ? rows_[row].selection : nullptr; }
QLabel* wcTemplateLoad::InputName(int row) const { return row >= 0 && row < kRows ? rows_[row].name : nullptr; }
QLabel* wcTemplateLoad::InputType(int row) const { return row >= 0 && row < kRows ? rows_[row].type : nullptr; }
QPushButton* wcTemplateLoad::InputAddButton(int row) const { return row >= 0 && row < kRows ? rows_[row].add : nullptr; }

void wcTemplateLoad::windowDidOpen() {
  RedrawPreview();
}

void wcTemplateLoad::windowWillClose() {
  EndPreview();
}
