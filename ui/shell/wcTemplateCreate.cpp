#include "ui/shell/wcTemplateCreate.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/templates.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "ui/controls/dialog_buttons.h"
#include "ui/controls/list_icons.h"
#include "ui/seams/file_dialogs.h"
#include "ui/shell/AppDelegate.h"
#include "ui/util/ui_utils.h"

namespace {

enum Column { kSelectCol, kIconCol, kNameCol, kTypeCol, kProjNameCol, kColumns };

bool hasTypeIcon(uint8_t type) {
  switch (type) {
  case kDispGroup: case kDispVideo: case kDispAudio: case kDispShape: case kDispText: case kDispEImage:
  case kDispGauge: case kDispBar: case kDispTextData: case kDispTimeGraph: case kDispEnhanced:
  case kDispTrackMap: case kDispGForce: case kDispGear: case kDispLapCount: case kDispLapTimer: return true;
  default: return false;
  }
}

QTableWidget* makeTable(QWidget* parent, const QString& name) {
  auto* table = new QTableWidget(0, kColumns, parent);
  table->setObjectName(name);
  table->setHorizontalHeaderLabels({"", "", "Template Name", "Type", "Project Name"});
  table->verticalHeader()->hide();
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setIconSize(QSize(kListIconWidth, 24));
  table->horizontalHeader()->setSectionResizeMode(kSelectCol, QHeaderView::ResizeToContents);
  table->horizontalHeader()->setSectionResizeMode(kIconCol, QHeaderView::ResizeToContents);
  table->horizontalHeader()->setSectionResizeMode(kNameCol, QHeaderView::Stretch);
  table->horizontalHeader()->setSectionResizeMode(kTypeCol, QHeaderView::ResizeToContents);
  table->horizontalHeader()->setSectionResizeMode(kProjNameCol, QHeaderView::Stretch);
  return table;
}

QTableWidgetItem* fixedItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled);
  return item;
}

void fillRow(QTableWidget* table, int row, bool select, bool checkable, const QIcon& icon, const QString& name,
             const QString& typeName, const QString& projName) {
  auto* check = new QTableWidgetItem();
  check->setFlags(checkable ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemIsEnabled);
  check->setCheckState(select ? Qt::Checked : Qt::Unchecked);
  table->setItem(row, kSelectCol, check);
  auto* iconItem = fixedItem("");
  iconItem->setIcon(icon);
  table->setItem(row, kIconCol, iconItem);
  auto* nameItem = new QTableWidgetItem(name);
  nameItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsEditable);
  table->setItem(row, kNameCol, nameItem);
  table->setItem(row, kTypeCol, fixedItem(typeName));
  table->setItem(row, kProjNameCol, fixedItem(projName));
}

} // namespace

wcTemplateCreate::wcTemplateCreate() : WindowController("wcTemplateCreate", kOpenCentred) {}

QWidget* wcTemplateCreate::makeWindow() {
  QDialog* dialog = makeDialog("Create Template");
  dialog->resize(640, 560);
  auto* layout = new QVBoxLayout(dialog);
  auto* intro = new QLabel("Check the display objects that go into the template. The inputs they show come with "
                           "them. Names can be changed for the template.",
                           dialog);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  layout->addWidget(new QLabel("Display Objects", dialog));
  objectTable_ = makeTable(dialog, "DispObjTable");
  layout->addWidget(objectTable_, 3);
  layout->addWidget(new QLabel("Inputs", dialog));
  inputTable_ = makeTable(dialog, "InputTable");
  layout->addWidget(inputTable_, 2);
  const DialogButtons buttons = AddOkCancelRow(layout, dialog);
  connect(buttons.ok, &QPushButton::clicked, this, &wcTemplateCreate::OkButton_Pressed);
  connect(buttons.cancel, &QPushButton::clicked, this, &wcTemplateCreate::CancelButton_Pressed);
  connect(objectTable_, &QTableWidget::itemChanged, this, &wcTemplateCreate::objectItemChanged);
  connect(inputTable_, &QTableWidget::itemChanged, this, &wcTemplateCreate::inputItemChanged);
  return dialog;
}

void wcTemplateCreate::windowDidOpen() {
  DispObjPopulate();
  InputPopulate();
}

QString wcTemplateCreate::TemplateObjectName(const QString& projectName) {
  QString name = projectName;
  const qsizetype open = name.indexOf('(');
  const qsizetype close = name.lastIndexOf(')');
  if (open >= 0 && close > open) name = name.mid(open, close - open + 1);
  return name.trimmed();
}

void wcTemplateCreate::DispObjPopulate() {
  window();
  objects_.clear();
  const uint32_t n = DispObjCount();
  for (uint32_t i = n; i-- > 0;) {
    const DispStruct* record = DispObjGet(i);
    if (record == nullptr || record->ParentObject < n) continue;
    const bool groupActive = record->Active != 0;
    AddDisplayListItem(record, groupActive);
    for (uint32_t j = n; j-- > 0;) {
      const DispStruct* member = DispObjGet(j);
      if (member == nullptr || member->ParentObject != i) continue;
      AddDisplayListItem(member, groupActive && member->Active != 0);
    }
  }
  reloadObjectTable();
}

void wcTemplateCreate::AddDisplayListItem(const DispStruct* record, bool checked) {
  ObjectRow row;
  row.select = checked;
  row.member = record->ParentObject != kNoDispObj;
  row.type = record->Type;
  row.projName = W16ToNSString(record->Name);
  row.name = TemplateObjectName(row.projName);
  const QString style = W16ToNSString(record->Style);
  if (record->Type == kDispVideo && !style.isEmpty()) row.name += QString(" [%1]").arg(style);
  row.typeName = hasTypeIcon(record->Type) ? DispObjTypeName(record->Type) : QString();
  objects_ << row;
}

void wcTemplateCreate::InputPopulate() {
  window();
  inputs_.clear();
  int numbers[5] = {};
  const uint32_t count = InputCount();
  for (uint32_t i = 0; i < count; ++i) {
    const MainStruct* record = InputGetMain(i);
    if (record == nullptr) {
      ErrorShowLast();
      break;
    }
    if (record->ParentJoin != kNoInput || record->Type == kInputFiller) continue;
    static const char* const kKinds[] = {"", "Video", "Audio", "Image", "Data"};
    int kind = 0;
    switch (record->Type) {
    case kInputVideo: case kInputJoinVideo: kind = 1; break;
    case kInputAudio: case kInputJoinAudio: kind = 2; break;
    case kInputImage: kind = 3; break;
    case kInputData: case kInputJoinData: kind = 4; break;
    default: continue;
    }
    InputRow row;
    row.type = static_cast<uint8_t>(kind);
    row.typeName = kKinds[kind];
    row.name = QString("%1 %2").arg(kKinds[kind]).arg(++numbers[kind]);
    row.projName = W16ToNSString(record->Name);
    inputs_ << row;
  }
  InputRefresh();
}

void wcTemplateCreate::DispObjSelectChanged(int row) {
  if (row >= 0 && row < objects_.size()) {
    if (objects_[row].member) {
      if (objects_[row].select) {
        int group = row - 1;
        while (group >= 0 && objects_[group].member) --group;
        if (group >= 0) objects_[group].select = true;
      }
    } else {
      for (int next = row + 1; next < objects_.size() && objects_[next].member; ++next)
        objects_[next].select = objects_[row].select;
    }
  }
  reloadObjectTable();
  InputRefresh();
}

void wcTemplateCreate::InputRefresh() {
  for (InputRow& input : inputs_) {
    const uint32_t index = InputFind(input.projName.toStdU16String().c_str());
    input.select = false;
    for (const ObjectRow& object : objects_) {
      if (!object.select) continue;
      const DispStruct* record = DispObjGet(DispObjFind(object.projName.toStdU16String().c_str()));
      if (record != nullptr && index != kNoInput && record->InputID == index) input.select = true;
    }
  }
  reloadInputTable();
}

void wcTemplateCreate::SetObjectChecked(int row, bool checked) {
  if (row < 0 || row >= objects_.size()) return;
  objects_[row].select = checked;
  DispObjSelectChanged(row);
}

void wcTemplateCreate::SetObjectName(int row, const QString& name) {
  if (row >= 0 && row < objects_.size()) objects_[row].name = name;
}

void wcTemplateCreate::SetInputName(int row, const QString& name) {
  if (row >= 0 && row < inputs_.size()) inputs_[row].name = name;
}

void wcTemplateCreate::reloadObjectTable() {
  ++reloading_;
  objectTable_->setRowCount(static_cast<int>(objects_.size()));
  for (int r = 0; r < objects_.size(); ++r) {
    const ObjectRow& row = objects_[r];
    const QIcon icon = ListRowIcon(hasTypeIcon(row.type) ? DispObjTypeIcon(row.type) : QImage(), row.member);
    fillRow(objectTable_, r, row.select, true, icon, row.name, row.typeName, row.projName);
  }
  --reloading_;
}

void wcTemplateCreate::reloadInputTable() {
  ++reloading_;
  static const uint32_t kIconTypes[] = {0, kInputVideo, kInputAudio, kInputImage, kInputData};
  inputTable_->setRowCount(static_cast<int>(inputs_.size()));
  for (int r = 0; r < inputs_.size(); ++r) {
    const InputRow& row = inputs_[r];
    fillRow(inputTable_, r, row.select, false, ListRowIcon(InputTypeIcon(kIconTypes[row.type]), false), row.name,
            row.typeName, row.projName);
  }
  --reloading_;
}

void wcTemplateCreate::objectItemChanged(QTableWidgetItem* item) {
  if (reloading_ > 0 || item == nullptr) return;
  const int row = item->row();
  if (item->column() == kSelectCol) {
    // Later, so that the table is not rebuilt inside its own signal.
    const bool checked = item->checkState() == Qt::Checked;
    QMetaObject::invokeMethod(this, [this, row, checked]() { SetObjectChecked(row, checked); }, Qt::QueuedConnection);
  } else if (item->column() == kNameCol) {
    SetObjectName(row, item->text());
  }
}

void wcTemplateCreate::inputItemChanged(QTableWidgetItem* item) {
  if (reloading_ > 0 || item == nullptr || item->column() != kNameCol) return;
  SetInputName(item->row(), item->text());
}

void wcTemplateCreate::OkButton_Pressed() {
  InputRefresh();
  bool any = false;
  for (const ObjectRow& row : objects_) any = any || row.select;
  if (!any) {
    AppMessageBox(L"You must check at least one Display Object to include in the template", 48);
    return;
  }
  const QString path =
      FileDialogSave(window(), "Save Template As...", AppDelegate::GetDocFolder("Templates"), QString(), {"qvt"});
  if (path.isEmpty()) return;
  if (TemplateExportOpen(NSStringToWStr(path).c_str()) < 0) {
    ErrorShowLast();
    return;
  }
  if (writeTemplate()) close();
}

bool wcTemplateCreate::writeTemplate() {
  // A record that cannot be written ends the export: the file is dropped
  // rather than left holding part of the template.
  auto failed = [](int code) {
    if (code >= 0) return false;
    ErrorShowLast();
    TemplateExportAbort();
    return true;
  };
  for (const InputRow& row : inputs_) {
    if (!row.select) continue;
    const uint32_t input = InputFind(row.projName.toStdU16String().c_str());
    if (failed(TemplateExportAddInput(input, row.name.left(63).toStdU16String().c_str()))) return false;
  }
  for (const ObjectRow& row : objects_) {
    if (!row.select) continue;
    const uint32_t object = DispObjFind(row.projName.toStdU16String().c_str());
    if (failed(TemplateExportAddDispObj(object, row.name.left(63).toStdU16String().c_str()))) return false;
  }
  if (TemplateExportClose() < 0) {
    ErrorShowLast();
    return false;
  }
  return true;
}

void wcTemplateCreate::CancelButton_Pressed() { close(); }
