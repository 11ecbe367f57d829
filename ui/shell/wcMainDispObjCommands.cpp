// The main window's display-object commands: add through the toolbox,
// properties, duplicate, remove, group and un-group, drawing order, still
// of one object, centring and rename. Each change takes one undo
// checkpoint first and refreshes the lists and the preview after.
#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <algorithm>
#include <vector>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/disp_types.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "model/timeline.h"
#include "render/objects/background_bitmap.h"
#include "render/preview/main_preview.h"
#include "ui/dispobj/wcDispObjEdit.h"
#include "ui/dispobj/wcDispObjToolbox.h"
#include "ui/seams/file_dialogs.h"
#include "ui/seams/modal_run.h"
#include "ui/seams/user_defaults.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/util/ui_utils.h"

namespace {

wcDispObjEdit* propertyWindow() {
  return AppWindows().wndDispObjEdit();
}

uint32_t findObject(const QString& name) { return DispObjFind(name.toStdU16String().c_str()); }

// Refusals end a command before any change.
bool refuseWhenEmpty(const QStringList& names, const wchar_t* text) {
  if (!names.isEmpty()) return false;
  AppMessageBox(text, 48);
  return true;
}

bool isGroup(uint32_t object) {
  const DispStruct* record = DispObjGet(object);
  return record != nullptr && record->Type == kDispGroup;
}

QString outputDirDefault() {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains("OutputDir")) return QString();
  return QUrl(settings->value("OutputDir").toString()).toLocalFile();
}

} // namespace

void wcMain::DispObjAdd_Pressed() { runToolbox(kNoInput); }

void wcMain::InputAddDispObj() {
  const QStringList inputs = SelectedInputNames();
  if (refuseWhenEmpty(inputs, L"Please select the input that you want to create a display object for.")) return;
  runToolbox(InputFind(inputs.front().toStdU16String().c_str()));
}

void wcMain::runToolbox(uint32_t input) {
  wcDispObjToolbox* toolbox = AppWindows().wndDispObjToolbox();
  if (toolbox == nullptr) return;
  UndoSave();
  toolbox->SetData(input);
  RunModalForWindow(toolbox);
  const uint32_t added = toolbox->NewIndex();
  DispObjRefresh(added);
  setProjectModified(true);
  PreviewRefresh();
  DispObjSelect(added);
  if (added != kNoDispObj) DispObjEdit(true);
}

void wcMain::DispObjEdit(bool force) {
  const QStringList names = SelectedDispObjNames();
  if (refuseWhenEmpty(names, L"Please select a display object to configure.")) return;
  wcDispObjEdit* editor = propertyWindow();
  if (editor == nullptr) return;
  const bool visible = AppDelegate::IsWindowVisible(editor);
  if (editor->SetDisplayObject(static_cast<int>(findObject(names.front()))) && (force || !visible))
    editor->showWindow();
}

void wcMain::refreshPropertyWindow() {
  wcDispObjEdit* editor = propertyWindow();
  if (!AppDelegate::IsWindowVisible(editor)) return;
  const QStringList names = SelectedDispObjNames();
  editor->SetDisplayObject(static_cast<int>(names.isEmpty() ? kNoDispObj : findObject(names.front())));
}

void wcMain::DispObjDuplicate_Pressed() {
  const QStringList names = SelectedDispObjNames();
  if (refuseWhenEmpty(names, L"Please select the display object(s) that you want to duplicate.")) return;
  UndoSave();
  uint32_t lastCopy = kNoDispObj;
  for (const QString& name : names) {
    const uint32_t copy = DispObjDuplicate(findObject(name));
    if (copy == kNoDispObj) {
      // The table is full (or the object went): the rest would fail alike.
      ErrorShowLast();
      break;
    }
    lastCopy = copy;
  }
  DispObjRefresh(kNoDispObj);
  setProjectModified(true);
  PreviewRefresh();
  if (lastCopy != kNoDispObj) DispObjSelect(lastCopy);
}

void wcMain::DispObjRemove_Pressed() {
  const QStringList names = SelectedDispObjNames();
  if (refuseWhenEmpty(names, L"Please select the display object(s) that you want to remove.")) return;
  const QString question = names.size() == 1
                               ? QString("Are you sure you want to remove '%1'?").arg(names.front())
                               : QString("Are you sure you want to remove the %1 selected display objects?").arg(names.size());
  if (AppMessageBox(NSStringToWStr(question).c_str(), 36) != kMbYes) return;
  TimelineClearSelection();
  const bool playing = PreviewIsPlayingNow();
  PreviewStop();
  UndoSave();
  wcDispObjEdit* editor = propertyWindow();
  if (AppDelegate::IsWindowVisible(editor)) editor->SetDisplayObject(static_cast<int>(kNoDispObj));
  int failure = 0;
  for (const QString& name : names) {
    // Found afresh: each removal renumbers the objects after it, and a
    // member goes with its group.
    const uint32_t object = findObject(name);
    if (object == kNoDispObj) continue;
    const int code = DispObjRemove(object, 1);
    if (code != 0) failure = code;
  }
  DispObjRefresh(kNoDispObj);
  setProjectModified(true);
  PreviewRefresh(false, playing);
  if (failure != 0) ErrorShow(failure);
}

namespace {

// What grouping the selection does (see DispObjGroup_Pressed).
struct GroupPlan {
  std::vector<uint32_t> selected; // in row order, found by name
  std::vector<uint32_t> groups;   // the selected groups
  uint32_t shared = kNoDispObj;   // the parent of the first non-group
  int others = 0;                 // P
  int sharing = 0;                // S
  enum Kind { kDissolve, kNewGroup, kLeaveGroup, kJoinGroup } kind = kDissolve;
};

GroupPlan planGroup(const QStringList& names) {
  GroupPlan plan;
  for (const QString& name : names) {
    const uint32_t object = findObject(name);
    const DispStruct* record = DispObjGet(object);
    if (record == nullptr) continue;
    plan.selected.push_back(object);
    if (record->Type == kDispGroup) {
      plan.groups.push_back(object);
      continue;
    }
    if (plan.others == 0) plan.shared = record->ParentObject;
    ++plan.others;
    if (record->ParentObject == plan.shared) ++plan.sharing;
  }
  const uint32_t reference = plan.shared != kNoDispObj ? plan.shared
                             : plan.groups.empty()       ? kNoDispObj
                                                         : plan.groups.front();
  if (plan.others == 0) {
    plan.kind = GroupPlan::kDissolve;
  } else if (plan.sharing != plan.others || reference == kNoDispObj) {
    plan.kind = GroupPlan::kNewGroup;
  } else if (plan.shared != kNoDispObj) {
    plan.kind = GroupPlan::kLeaveGroup;
  } else {
    plan.kind = GroupPlan::kJoinGroup;
  }
  return plan;
}

bool anySegments(const std::vector<uint32_t>& objects) {
  for (uint32_t object : objects)
    if (TimelineDispObjGetCount(object) > 0) return true;
  return false;
}

uint32_t membersOf(uint32_t group) {
  uint32_t count = 0;
  for (uint32_t i = 0; i < DispObjCount(); ++i) {
    const DispStruct* record = DispObjGet(i);
    if (record != nullptr && record->ParentObject == group) ++count;
  }
  return count;
}

// Removes the groups (named, as each removal renumbers) without members.
void dissolve(const QStringList& groupNames) {
  for (const QString& name : groupNames) {
    const uint32_t group = findObject(name);
    if (group != kNoDispObj && DispObjRemove(group, 0) != 0) ErrorShowLast();
  }
}

QString nameOf(uint32_t object) {
  const char16_t* name = DispObjGetName(object);
  return name != nullptr ? QString::fromUtf16(name) : QString();
}

} // namespace

void wcMain::DispObjGroup_Pressed() {
  const QStringList names = SelectedDispObjNames();
  if (refuseWhenEmpty(names, L"Please select the items that you want to group or un-group.")) return;
  TimelineClearSelection();
  GroupPlan plan = planGroup(names);
  const bool joining = plan.kind == GroupPlan::kNewGroup || plan.kind == GroupPlan::kJoinGroup;
  // Joining a group drops each object's timed changes: asked first.
  if (joining && anySegments(plan.selected) &&
      AppMessageBox(L"Grouping removes the timeline segments of the selected display objects. Do you want to "
                    L"group them anyway?",
                    36) != kMbYes)
    return;
  UndoSave();
  if (plan.kind == GroupPlan::kDissolve) {
    QStringList groupNames;
    for (uint32_t group : plan.groups) groupNames << nameOf(group);
    dissolve(groupNames);
  } else {
    uint32_t target = kNoDispObj;
    if (plan.kind == GroupPlan::kNewGroup) {
      target = DispObjAdd(kDispGroup, kNoInput);
      if (target == kNoDispObj) ErrorShowLast();
    } else if (plan.kind == GroupPlan::kJoinGroup) {
      target = plan.groups.front();
    }
    if (!joining || target != kNoDispObj) {
      for (uint32_t object : plan.selected) {
        if (target != kNoDispObj) TimelineDispObjZeroCount(object);
        const DispStruct* record = DispObjGet(object);
        if (record == nullptr || record->Type == kDispGroup) continue;
        DispStruct copy = *record;
        copy.ParentObject = target;
        DispObjSet(object, &copy);
      }
    }
    if (target != kNoDispObj) DispObjGroupCalcPosSize(target);
    // Every member left: the empty group goes too.
    if (plan.kind == GroupPlan::kLeaveGroup && membersOf(plan.shared) == 0 && isGroup(plan.shared))
      dissolve({nameOf(plan.shared)});
  }
  DispObjRefresh(kNoDispObj);
  setProjectModified(true);
  PreviewRefresh();
  refreshPropertyWindow();
}

void wcMain::changeDrawingOrder(int direction, bool toEnd) {
  TimelineClearSelection();
  QStringList names = SelectedDispObjNames();
  if (refuseWhenEmpty(names, L"Please select the item(s) that you want to move.")) return;
  UndoSave();
  // Rows list the top of the drawing order first.
  if (direction < 0) std::reverse(names.begin(), names.end());
  for (const QString& name : names) {
    const uint32_t object = findObject(name);
    if (object != kNoDispObj) DispObjChangeOrder(object, direction, toEnd ? 1 : 0);
  }
  DispObjRefresh(kNoDispObj);
  setProjectModified(true);
  PreviewRefresh();
  refreshPropertyWindow();
}

void wcMain::DispObjMoveUp_Pressed() { changeDrawingOrder(1, false); }
void wcMain::DispObjMoveDown_Pressed() { changeDrawingOrder(-1, false); }
void wcMain::DispObjMoveToTop_Clicked() { changeDrawingOrder(1, true); }
void wcMain::DispObjMoveToBottom_Clicked() { changeDrawingOrder(-1, true); }

void wcMain::DispObjSnapshot_Clicked() {
  if (dispObjsTable_ == nullptr) return;
  uint32_t object = kNoDispObj;
  for (const QString& name : SelectedDispObjNames()) {
    const DispStruct* record = DispObjGet(findObject(name));
    const DispTypeInfo* info = record != nullptr ? DispTypeFind(record->Type) : nullptr;
    if (info != nullptr && info->drawsPicture) {
      object = findObject(name);
      break;
    }
  }
  if (object == kNoDispObj) {
    AppMessageBox(L"Please select the visible display object that you want to snapshot.", 48);
    return;
  }
  const QString path = FileDialogSave(window(), "Export Snapshot Image...", outputDirDefault(),
                                      nameOf(object) + ".bmp", {"bmp"});
  if (path.isEmpty()) return;
  const int code = DispObjExportSnapshot(object, NSStringToWStr(path).c_str(), static_cast<float>(previewTime_));
  UserDefaultsWrite("OutputDir", QUrl::fromLocalFile(QFileInfo(path).path() + "/").toString());
  if (code != 0) ErrorShowLast();
}

void wcMain::DispObjCenter(bool horizontally, bool vertically) {
  const QStringList names = SelectedDispObjNames();
  if (refuseWhenEmpty(names, L"Please select the display object that you want to center.")) return;
  const uint32_t object = findObject(names.front());
  // A group's box is its members' box, which may have moved since.
  DispObjGroupCalcPosSize(object);
  const DispStruct* current = DispObjGet(object);
  if (current == nullptr) return;
  DispStruct record = *current;
  UndoSave();
  if (horizontally) record.X = (100 - record.Width) * 0.5f;
  if (vertically) record.Y = (100 - record.Height) * 0.5f;
  DispObjSet(object, &record);
  DispObjGroupChangePosSize(object);
  setProjectModified(true);
  PreviewRefresh();
  refreshPropertyWindow();
}

void wcMain::DispObjRename_Clicked() {
  const QStringList names = SelectedDispObjNames();
  if (refuseWhenEmpty(names, L"Please select the display object that you want to rename.")) return;
  const uint32_t object = findObject(names.front());
  const QString current = nameOf(object);
  if (current.isEmpty()) return;
  const wchar_t* answer = AppInputBox(L"Enter new name for display object", NSStringToWStr(current).c_str());
  if (answer == nullptr || answer[0] == 0) return;
  const QString wanted = WStrToNSString(answer).left(kNameLength - 1);
  const int code = DispObjRename(object, wanted.toStdU16String().c_str());
  if (code != 0) ErrorShowLast();
  if (code < 0) return;
  setProjectModified(true);
  DispObjRefresh(kNoDispObj);
  DispObjSelect(object);
  wcDispObjEdit* editor = propertyWindow();
  if (AppDelegate::IsWindowVisible(editor)) editor->SetDisplayObject(static_cast<int>(object));
}
