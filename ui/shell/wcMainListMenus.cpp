// The context menus of the two lists: the row under the pointer joins the
// selection rules, and each item is shown and enabled by what the first
// selected input or object is (and by whether its command is installed).
#include <QAction>
#include <QMenu>

#include "model/disp_types.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "ui/controls/NameListTable.h"
#include "ui/shell/wcMain.h"

namespace {

struct InputMenuRules {
  bool config = false, trim = false, duplicate = false, sync = true;
  bool snapshot = false, exportAudio = false;
  bool dataItems = false, addDisplay = false, addFiller = false;
};

InputMenuRules inputMenuRules(uint32_t type, uint32_t parent) {
  InputMenuRules r;
  const bool join = type >= kInputJoinVideo && type <= kInputJoinData;
  r.config = r.trim = r.duplicate = !join;
  if (type == kInputVideo) {
    r.snapshot = r.exportAudio = true;
  } else if (type == kInputAudio) {
    r.exportAudio = true;
  } else if (type == kInputImage) {
    r.sync = r.trim = false;
    r.snapshot = true;
  } else if ((type == kInputData && parent == kNoInput) || type == kInputJoinData) {
    r.dataItems = true;
  }
  r.addDisplay = parent == kNoInput;
  if (parent != kNoInput) r.exportAudio = false;
  r.addFiller = join || parent != kNoInput;
  return r;
}

} // namespace

bool wcMain::menuWillOpen(QMenu* menu, int row) {
  NameListTable* table = menu == inputFilesMenu_ ? inputFilesTable_ : (menu == dispObjsMenu_ ? dispObjsTable_ : nullptr);
  if (table == nullptr) return false;
  // A click on a selected row keeps a multiple selection.
  if (row >= 0 && row < table->rowCount() && !table->isRowSelected(row)) table->selectRowAlone(row);
  if (table->selectedRowNumbers().isEmpty()) return false;
  if (menu == inputFilesMenu_) {
    inputMenuWillOpen();
    // A first name that is no input leaves the menu closed.
    return InputFind(SelectedInputNames().front().toStdU16String().c_str()) != kNoInput;
  }
  dispObjsMenuWillOpen();
  return true;
}

void wcMain::inputMenuWillOpen() {
  for (const char* name : {"InputMenuAddTemplate", "InputMenuConfigTemplate", "InputMenuLapSetManual"})
    ListMenuItem(name)->setVisible(false);
  QStringList names = SelectedInputNames();
  uint32_t input = names.isEmpty() ? kNoInput : InputFind(names.front().toStdU16String().c_str());
  const MainStruct* record = InputGetMain(input);
  if (record == nullptr) return;
  InputMenuRules r = inputMenuRules(record->Type, record->ParentJoin);
  auto set = [this](const char* name, bool enabled) {
    ListMenuItem(name)->setEnabled(enabled && listCommands_.contains(name));
  };
  set("InputMenuConfig", r.config);
  set("InputMenuTrim", r.trim);
  set("InputMenuDuplicate", r.duplicate);
  set("InputMenuSync", r.sync);
  set("InputMenuSync2", r.sync);
  set("InputMenuAddDisplay", r.addDisplay);
  set("InputMenuSnapshot", r.snapshot);
  set("InputMenuExportAudio", r.exportAudio);
  set("InputMenuAddFiller", true);
  set("InputMenuRename", true);
  set("InputMenuRemove", true);
  ListMenuItem("InputMenuAddFiller")->setVisible(r.addFiller);
  for (const char* name : {"InputMenuAddTemplate", "InputMenuConfigTemplate", "InputMenuLapSetManual"}) {
    ListMenuItem(name)->setVisible(r.dataItems);
    set(name, true);
  }
}

void wcMain::dispObjsMenuWillOpen() {
  QStringList names = SelectedDispObjNames();
  const DispStruct* record = names.isEmpty() ? nullptr : DispObjGet(DispObjFind(names.front().toStdU16String().c_str()));
  const DispTypeInfo* info = record != nullptr ? DispTypeFind(record->Type) : nullptr;
  const bool snapshot = info != nullptr && info->drawsPicture;
  for (QAction* item : dispObjsMenu_->actions())
    if (!item->isSeparator()) item->setEnabled(listCommands_.contains(item->objectName()));
  ListMenuItem("DispObjMenuSnapshot")->setEnabled(snapshot && listCommands_.contains("DispObjMenuSnapshot"));
}
