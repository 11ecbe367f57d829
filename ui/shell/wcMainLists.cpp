// The inputs and display-objects lists of the main window: rebuilt whole
// from the engine's tables, rows known by name, the selection kept by name
// across a rebuild, double clicks and the selection ties to the editors.
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/error.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "ui/controls/NameListTable.h"
#include "ui/controls/list_icons.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/input/wcLapList.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"

namespace {

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

// The items of the two context menus: name (the command they run) and
// title; a null name is a separator.
struct ListMenuEntry {
  const char* name;
  const char* title;
};

constexpr ListMenuEntry kInputMenu[] = {
    {"InputMenuConfig", "Configure..."},
    {"InputMenuTrim", "Trim..."},
    {"InputMenuDuplicate", "Duplicate"},
    {"InputMenuSync", "Synchronize..."},
    {"InputMenuSync2", "Sync to Reference..."},
    {"InputMenuAddDisplay", "Add Display Object..."},
    {"InputMenuAddFiller", "Add Time Filler"},
    {"InputMenuRename", "Rename..."},
    {"InputMenuRemove", "Remove..."},
    {nullptr, nullptr},
    {"InputMenuSnapshot", "Export Snapshot..."},
    {"InputMenuExportAudio", "Export Audio Clip..."},
    {nullptr, nullptr},
    {"InputMenuAddTemplate", "Apply Data Template..."},
    {"InputMenuConfigTemplate", "Configure Data Template..."},
    {"InputMenuLapSetManual", "Set Start/Finish Here"},
};

constexpr ListMenuEntry kDispObjMenu[] = {
    {"DispObjMenuEdit", "Properties..."},
    {"DispObjMenuDuplicate", "Duplicate"},
    {"DispObjMenuRename", "Rename..."},
    {"DispObjMenuRemove", "Remove"},
    {nullptr, nullptr},
    {"DispObjMenuSnapshot", "Export Snapshot..."},
};

} // namespace

QWidget* wcMain::makeListsPanel(QWidget* parent) {
  auto* panel = new QWidget(parent);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  inputFilesTable_ = new NameListTable();
  inputFilesTable_->setObjectName("InputFilesTable");
  dispObjsTable_ = new NameListTable();
  dispObjsTable_->setObjectName("DispObjsTable");
  QGroupBox* inputs = listBox("Inputs", inputFilesTable_, panel);
  inputs->layout()->addWidget(makeInputButtons(inputs));
  layout->addWidget(inputs, 1);
  QGroupBox* objectsBox = listBox("Display Objects", dispObjsTable_, panel);
  layout->addWidget(objectsBox, 1);

  auto makeMenu = [this, panel](const QString& name, const auto& entries) {
    auto* menu = new QMenu(panel);
    menu->setObjectName(name);
    for (const ListMenuEntry& entry : entries) {
      if (entry.name == nullptr) menu->addSeparator();
      else addMenuItem(menu, entry.name, entry.title);
    }
    return menu;
  };
  inputFilesMenu_ = makeMenu("InputFilesMenu", kInputMenu);
  dispObjsMenu_ = makeMenu("DispObjsMenu", kDispObjMenu);

  installDispObjCommands(objectsBox);
  installInputCommands();
  fitButtonsToTheirWords(panel);
  wireList(inputFilesTable_, inputFilesMenu_);
  wireList(dispObjsTable_, dispObjsMenu_);
  connect(inputFilesTable_, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { InputFilesDoubleClicked(row); });
  connect(dispObjsTable_, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { DispObjsDoubleClicked(row); });
  connect(dispObjsTable_, &QTableWidget::cellClicked, this, [this](int, int) { DispObjsClicked(); });
  connect(dispObjsTable_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this]() {
    if (ignoreUpdate_ == 0) TimelineClearSelection();
    uint32_t first = kNoDispObj;
    QStringList names = SelectedDispObjNames();
    if (!names.isEmpty()) first = DispObjFind(names.front().toStdU16String().c_str());
    CallWindowIfVisible(AppWindows().wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject,
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
  for (QMenu* menu : {inputFilesMenu_, dispObjsMenu_}) {
    if (menu == nullptr) continue;
    if (auto* action = menu->findChild<QAction*>(name)) return action;
  }
  return nullptr;
}

void wcMain::AddInputListItem(const MainStruct* record, bool indent) {
  inputFileNames_ << recordName(record->Name);
  inputFileIcons_ << ListRowIcon(InputTypeIcon(record->Type), indent);
}

void wcMain::AddDisplayListItem(const DispStruct* record) {
  dispObjNames_ << recordName(record->Name);
  dispObjIcons_ << ListRowIcon(DispObjTypeIcon(record->Type), record->ParentObject != kNoDispObj);
}

void wcMain::InputRefresh(uint32_t input) {
  window();
  QStringList noted = input == kNoInput ? inputFilesTable_->selectedTexts() : QStringList();
  inputFilesTable_->clearSelection();
  inputFileNames_.clear();
  inputFileIcons_.clear();
  int selectedRow = -1;
  const uint32_t count = InputCount();
  for (uint32_t i = 0; i < count; ++i) {
    const MainStruct* record = InputGetMain(i);
    if (record == nullptr) {
      ErrorShowLast();
      break;
    }
    if (record->ParentJoin < kNoInput) continue; // listed under its join
    if (i == input) selectedRow = static_cast<int>(inputFileNames_.size());
    AddInputListItem(record, false);
    if (!isJoin(record->Type)) continue;
    for (uint32_t j = 0; j < count; ++j) {
      const MainStruct* member = InputGetMain(j);
      if (member == nullptr || member->ParentJoin != i) continue;
      if (j == input) selectedRow = static_cast<int>(inputFileNames_.size());
      AddInputListItem(member, true);
    }
  }
  QList<NameListRow> rows;
  for (qsizetype row = 0; row < inputFileNames_.size(); ++row) rows.append({inputFileNames_[row], inputFileIcons_[row]});
  inputFilesTable_->setRows(rows);
  if (selectedRow >= 0) noted << inputFileNames_[selectedRow];
  inputFilesTable_->selectTexts(noted);
  CallWindowIfVisible(AppWindows().wndLapList(), &wcLapList::ReloadInputs);
}

void wcMain::DispObjRefresh(uint32_t object) {
  window();
  QStringList noted = object == kNoDispObj ? dispObjsTable_->selectedTexts() : QStringList();
  dispObjsTable_->clearSelection();
  dispObjNames_.clear();
  dispObjIcons_.clear();
  int selectedRow = -1;
  const uint32_t count = DispObjCount();
  // Highest index first: the top of the drawing order heads the list.
  for (uint32_t i = count; i-- > 0;) {
    const DispStruct* record = DispObjGet(i);
    if (record == nullptr || record->ParentObject < count) continue;
    if (i == object) selectedRow = static_cast<int>(dispObjNames_.size());
    AddDisplayListItem(record);
    for (uint32_t j = count; j-- > 0;) {
      const DispStruct* member = DispObjGet(j);
      if (member == nullptr || member->ParentObject != i) continue;
      if (j == object) selectedRow = static_cast<int>(dispObjNames_.size());
      AddDisplayListItem(member);
    }
  }
  QList<NameListRow> rows;
  for (qsizetype row = 0; row < dispObjNames_.size(); ++row) rows.append({dispObjNames_[row], dispObjIcons_[row]});
  dispObjsTable_->setRows(rows);
  if (selectedRow >= 0) noted << dispObjNames_[selectedRow];
  dispObjsTable_->selectTexts(noted);
}

QStringList wcMain::SelectedInputNames() const {
  return inputFilesTable_ != nullptr ? inputFilesTable_->selectedTexts() : QStringList();
}

QStringList wcMain::SelectedDispObjNames() const {
  return dispObjsTable_ != nullptr ? dispObjsTable_->selectedTexts() : QStringList();
}

void wcMain::InputSelect(uint32_t input) {
  window();
  const char16_t* name = InputGetName(input);
  if (name == nullptr) {
    inputFilesTable_->clearSelection();
    return;
  }
  inputFilesTable_->selectOnly(recordName(name));
}

void wcMain::DispObjSelect(uint32_t object) {
  window();
  const DispStruct* record = DispObjGet(object);
  if (record == nullptr) return;
  const uint32_t input = record->InputID;
  ++ignoreUpdate_;
  dispObjsTable_->selectOnly(recordName(record->Name));
  if (input < kNoInput) InputSelect(input);
  CallWindowIfVisible(AppWindows().wndDispObjEdit(), &wcDispObjEdit::SetDisplayObject,
                      static_cast<int>(object));
  --ignoreUpdate_;
}

void wcMain::InputFilesDoubleClicked(int row) {
  uint32_t input = InputFind(inputFilesTable_->rowText(row).toStdU16String().c_str());
  if (input == kNoInput) return;
  InputSelect(input);
  runListCommand("InputFilesDoubleClicked");
}

void wcMain::DispObjsDoubleClicked(int row) {
  uint32_t object = DispObjFind(dispObjsTable_->rowText(row).toStdU16String().c_str());
  if (object == kNoDispObj) return;
  DispObjSelect(object);
  runListCommand("DispObjsDoubleClicked");
}

void wcMain::DispObjsClicked() {
  wcDispObjEdit* editor = AppWindows().wndDispObjEdit();
  if (!AppDelegate::IsWindowVisible(editor)) return;
  QStringList names = SelectedDispObjNames();
  uint32_t first = names.isEmpty() ? kNoDispObj : DispObjFind(names.front().toStdU16String().c_str());
  CallWindowIfVisible(editor, &wcDispObjEdit::SetDisplayObject, static_cast<int>(first));
}
