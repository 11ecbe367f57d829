// The inputs and display-objects lists of the main window: rebuilt whole
// from the engine's tables, rows known by name, the selection kept by name
// across a rebuild, double clicks and the selection ties to the editors.
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/error.h"
#include "engine/model/dispobjs.h"
#include "engine/model/inputs.h"
#include "ui/controls/NameListTable.h"
#include "ui/controls/list_icons.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/input/wcLapList.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"

namespace {

AppDelegate* app() { return AppDelegate::shared(); }

// Record names are 64 units, zero-terminated unless full.
QString recordName(const char16_t* name) {
  qsizetype length = 0;
  while (length < kNameLength && name[length] != 0) ++length;
  return QString::fromUtf16(name, length);
}

bool isJoin(uint32_t type) { return type >= kInputJoinVideo && type <= kInputJoinData; }

QGroupBox* listBox(const QString& title, NameListTable* table, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(6, 6, 6, 6);
  table->setParent(box);
  table->setMinimumWidth(240);
  layout->addWidget(table);
  return box;
}

// The style's least push button (80 pixels in most) would make the rows of
// four wider than the panel's share of a laptop screen; the words decide.
void fitButtonsToTheirWords(QWidget* panel) {
  for (QPushButton* button : panel->findChildren<QPushButton*>()) {
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 18);
  }
}

} // namespace

QWidget* wcMain::makeListsPanel(QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  InputFilesTable = new NameListTable();
  InputFilesTable->setObjectName("InputFilesTable");
  DispObjsTable = new NameListTable();
  DispObjsTable->setObjectName("DispObjsTable");
  QGroupBox* inputs = listBox("Inputs", InputFilesTable, panel);
  inputs->layout()->addWidget(makeInputButtons(inputs));
  layout->addWidget(inputs, 1);
  QGroupBox* objectsBox = listBox("Display Objects", DispObjsTable, panel);
  layout->addWidget(objectsBox, 1);

  InputFilesMenu = new QMenu(panel);
  InputFilesMenu->setObjectName("InputFilesMenu");
  addMenuItem(InputFilesMenu, "InputMenuConfig", "Configure...");
  addMenuItem(InputFilesMenu, "InputMenuTrim", "Trim...");
  addMenuItem(InputFilesMenu, "InputMenuDuplicate", "Duplicate");
  addMenuItem(InputFilesMenu, "InputMenuSync", "Synchronize...");
  addMenuItem(InputFilesMenu, "InputMenuSync2", "Sync to Reference...");
  addMenuItem(InputFilesMenu, "InputMenuAddDisplay", "Add Display Object...");
  addMenuItem(InputFilesMenu, "InputMenuAddFiller", "Add Time Filler");
  addMenuItem(InputFilesMenu, "InputMenuRename", "Rename...");
  addMenuItem(InputFilesMenu, "InputMenuRemove", "Remove...");
  InputFilesMenu->addSeparator();
  addMenuItem(InputFilesMenu, "InputMenuSnapshot", "Export Snapshot...");
  addMenuItem(InputFilesMenu, "InputMenuExportAudio", "Export Audio Clip...");
  InputFilesMenu->addSeparator();
  addMenuItem(InputFilesMenu, "InputMenuAddTemplate", "Apply Data Template...");
  addMenuItem(InputFilesMenu, "InputMenuConfigTemplate", "Configure Data Template...");
  addMenuItem(InputFilesMenu, "InputMenuLapSetManual", "Set Start/Finish Here");

  DispObjsMenu = new QMenu(panel);
  DispObjsMenu->setObjectName("DispObjsMenu");
  addMenuItem(DispObjsMenu, "DispObjMenuEdit", "Properties...");
  addMenuItem(DispObjsMenu, "DispObjMenuDuplicate", "Duplicate");
  addMenuItem(DispObjsMenu, "DispObjMenuRename", "Rename...");
  addMenuItem(DispObjsMenu, "DispObjMenuRemove", "Remove");
  DispObjsMenu->addSeparator();
  addMenuItem(DispObjsMenu, "DispObjMenuSnapshot", "Export Snapshot...");

  installDispObjCommands(objectsBox);
  installInputCommands();
  fitButtonsToTheirWords(panel);
  wireList(InputFilesTable, InputFilesMenu);
  wireList(DispObjsTable, DispObjsMenu);
  connect(InputFilesTable, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { InputFilesDoubleClicked(row); });
  connect(DispObjsTable, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { DispObjsDoubleClicked(row); });
  connect(DispObjsTable, &QTableWidget::cellClicked, this, [this](int, int) { DispObjsClicked(); });
  connect(DispObjsTable->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this]() {
    if (IgnoreUpdate == 0) TimelineClearSelection();
    uint32_t first = kNoDispObj;
    QStringList names = SelectedDispObjNames();
    if (!names.isEmpty()) first = DispObjFind(names.front().toStdU16String().c_str());
    CallWindowIfVisible(app() != nullptr ? app()->wndDispObjEdit : nullptr, &wcDispObjEdit::SetDisplayObject,
                        static_cast<int>(first));
  });
  return panel;
}

void wcMain::wireList(NameListTable* table, QMenu* menu) {
  connect(table, &NameListTable::menuRequested, this, [this, menu](const QPoint& globalPos, int row) {
    if (menuWillOpen(menu, row)) menu->popup(globalPos);
  });
}

void wcMain::addMenuItem(QMenu* menu, const QString& name, const QString& title) {
  QAction* action = menu->addAction(title);
  action->setObjectName(name);
  action->setEnabled(false);
  connect(action, &QAction::triggered, this, [this, name]() { runListCommand(name); });
}

void wcMain::SetListCommand(const QString& name, std::function<void()> command) {
  if (command) {
    listCommands_.insert(name, std::move(command));
  } else {
    listCommands_.remove(name);
  }
}

void wcMain::runListCommand(const QString& name) {
  auto found = listCommands_.constFind(name);
  if (found != listCommands_.constEnd() && *found) (*found)();
}

QAction* wcMain::ListMenuItem(const QString& name) const {
  for (QMenu* menu : {InputFilesMenu, DispObjsMenu}) {
    if (menu == nullptr) continue;
    if (auto* action = menu->findChild<QAction*>(name)) return action;
  }
  return nullptr;
}

void wcMain::AddInputListItem(const MainStruct* record, bool indent) {
  InputFileNames << recordName(record->Name);
  InputFileIcons << ListRowIcon(InputTypeIcon(record->Type), indent);
}

void wcMain::AddDisplayListItem(const DispStruct* record) {
  DispObjNames << recordName(record->Name);
  DispObjIcons << ListRowIcon(DispObjTypeIcon(record->Type), record->ParentObject != kNoDispObj);
}

void wcMain::InputRefresh(uint32_t input) {
  window();
  QStringList noted = input == kNoInput ? InputFilesTable->selectedTexts() : QStringList();
  InputFilesTable->clearSelection();
  InputFileNames.clear();
  InputFileIcons.clear();
  int selectedRow = -1;
  const uint32_t count = InputCount();
  for (uint32_t i = 0; i < count; ++i) {
    const MainStruct* record = InputGetMain(i);
    if (record == nullptr) {
      ErrorShowLast();
      break;
    }
    if (record->ParentJoin < kNoInput) continue; // listed under its join
    if (i == input) selectedRow = static_cast<int>(InputFileNames.size());
    AddInputListItem(record, false);
    if (!isJoin(record->Type)) continue;
    for (uint32_t j = 0; j < count; ++j) {
      const MainStruct* member = InputGetMain(j);
      if (member == nullptr || member->ParentJoin != i) continue;
      if (j == input) selectedRow = static_cast<int>(InputFileNames.size());
      AddInputListItem(member, true);
    }
  }
  QList<NameListRow> rows;
  for (qsizetype row = 0; row < InputFileNames.size(); ++row) rows.append({InputFileNames[row], InputFileIcons[row]});
  InputFilesTable->setRows(rows);
  if (selectedRow >= 0) noted << InputFileNames[selectedRow];
  InputFilesTable->selectTexts(noted);
  CallWindowIfVisible(app() != nullptr ? app()->wndLapList : nullptr, &wcLapList::ReloadInputs);
}

void wcMain::DispObjRefresh(uint32_t object) {
  window();
  QStringList noted = object == kNoDispObj ? DispObjsTable->selectedTexts() : QStringList();
  DispObjsTable->clearSelection();
  DispObjNames.clear();
  DispObjIcons.clear();
  int selectedRow = -1;
  const uint32_t count = DispObjCount();
  // Highest index first: the top of the drawing order heads the list.
  for (uint32_t i = count; i-- > 0;) {
    const DispStruct* record = DispObjGet(i);
    if (record == nullptr || record->ParentObject < count) continue;
    if (i == object) selectedRow = static_cast<int>(DispObjNames.size());
    AddDisplayListItem(record);
    for (uint32_t j = count; j-- > 0;) {
      const DispStruct* member = DispObjGet(j);
      if (member == nullptr || member->ParentObject != i) continue;
      if (j == object) selectedRow = static_cast<int>(DispObjNames.size());
      AddDisplayListItem(member);
    }
  }
  QList<NameListRow> rows;
  for (qsizetype row = 0; row < DispObjNames.size(); ++row) rows.append({DispObjNames[row], DispObjIcons[row]});
  DispObjsTable->setRows(rows);
  if (selectedRow >= 0) noted << DispObjNames[selectedRow];
  DispObjsTable->selectTexts(noted);
}

QStringList wcMain::SelectedInputNames() const {
  return InputFilesTable != nullptr ? InputFilesTable->selectedTexts() : QStringList();
}

QStringList wcMain::SelectedDispObjNames() const {
  return DispObjsTable != nullptr ? DispObjsTable->selectedTexts() : QStringList();
}

void wcMain::InputSelect(uint32_t input) {
  window();
  const char16_t* name = InputGetName(input);
  if (name == nullptr) {
    InputFilesTable->clearSelection();
    return;
  }
  InputFilesTable->selectOnly(recordName(name));
}

void wcMain::DispObjSelect(uint32_t object) {
  window();
  const DispStruct* record = DispObjGet(object);
  if (record == nullptr) return;
  const uint32_t input = record->InputID;
  ++IgnoreUpdate;
  DispObjsTable->selectOnly(recordName(record->Name));
  if (input < kNoInput) InputSelect(input);
  CallWindowIfVisible(app() != nullptr ? app()->wndDispObjEdit : nullptr, &wcDispObjEdit::SetDisplayObject,
                      static_cast<int>(object));
  --IgnoreUpdate;
}

void wcMain::InputFilesDoubleClicked(int row) {
  uint32_t input = InputFind(InputFilesTable->rowText(row).toStdU16String().c_str());
  if (input == kNoInput) return;
  InputSelect(input);
  runListCommand("InputFilesDoubleClicked");
}

void wcMain::DispObjsDoubleClicked(int row) {
  uint32_t object = DispObjFind(DispObjsTable->rowText(row).toStdU16String().c_str());
  if (object == kNoDispObj) return;
  DispObjSelect(object);
  runListCommand("DispObjsDoubleClicked");
}

void wcMain::DispObjsClicked() {
  WindowController* editor = app() != nullptr ? app()->wndDispObjEdit : nullptr;
  if (!AppDelegate::IsWindowVisible(editor)) return;
  QStringList names = SelectedDispObjNames();
  uint32_t first = names.isEmpty() ? kNoDispObj : DispObjFind(names.front().toStdU16String().c_str());
  CallWindowIfVisible(editor, &wcDispObjEdit::SetDisplayObject, static_cast<int>(first));
}
