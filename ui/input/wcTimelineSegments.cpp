// The timeline window's segment commands: add a segment to the selected
// object, edit the selected one in the segment editor, shift it with every
// later one, remove it (or, for the first segment, the whole object). Each
// marks the project modified and takes the undo checkpoint right before
// its first change.
#include <QStringList>

#include "base/error.h"
#include "base/message_box.h"
#include "base/util.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/timeline.h"
#include "render/preview/main_preview.h"
#include "render/preview/timeline_view.h"
#include "ui/input/wcTimeline.h"
#include "ui/input/wcTimelineEdit.h"
#include "ui/seams/modal_run.h"
#include "ui/shell/AppDelegate.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"
#include "ui/util/ui_utils.h"

namespace {

void markChanged(wcMain* main) {
  if (main != nullptr) main->setProjectModified(true);
  UndoSave();
}

// The answer of an input box; empty for Cancel.
std::wstring ask(const wchar_t* prompt, const wchar_t* proposed) {
  const wchar_t* answer = AppInputBox(prompt, proposed);
  return answer != nullptr ? std::wstring(answer) : std::wstring();
}

QString nameOf(uint32_t object) {
  const char16_t* name = DispObjGetName(object);
  return name != nullptr ? W16ToNSString(name) : QString();
}

// Every object of the group, members of member groups included.
void collectMembers(uint32_t group, QStringList& names) {
  const uint32_t count = DispObjCount();
  for (uint32_t i = 0; i < count; ++i) {
    const DispStruct* record = DispObjGet(i);
    if (record == nullptr || i == group || record->ParentObject != group) continue;
    names << "'" + nameOf(i) + "'";
    collectMembers(i, names);
  }
}

} // namespace

bool wcTimeline::refuseWithoutObject(const wchar_t* message) {
  if (state_.SelectedDispObjID != kNone) return false;
  AppMessageBox(message, 48);
  return true;
}

void wcTimeline::SegmentAdd_Pressed() {
  if (refuseWithoutObject(L"Please first select a display object in the timeline view.")) return;
  PreviewStop();
  const uint32_t object = state_.SelectedDispObjID;
  const double now = main() != nullptr ? main()->PreviewTime() : 0;
  const std::wstring answer = ask(L"Enter the time in the project for this display object's new timeline segment",
                                  SecondsToTimeText(static_cast<float>(now)));
  if (answer.empty()) return;
  const float time = TimeTextToSeconds(answer.c_str());
  if (TimelineDispObjGetStart(object, kNone) >= time) {
    AppMessageBox(L"You cannot place this segment before the first timeline segment.", 48);
    return;
  }
  markChanged(main());
  const uint32_t segment = TimelineDispObjAdd(object, time);
  ErrorShowLast();
  if (segment == kNone) return;
  state_.SelectedSegmentID = segment;
  showSelection();
  if (main() == nullptr) return;
  main()->setPreviewTime(TimelineDispObjGetStart(object, segment));
  main()->PreviewRefresh();
  main()->DispObjSelect(object);
  main()->DispObjEdit(true);
}

void wcTimeline::SegmentEdit_Pressed() {
  if (refuseWithoutObject(L"Please first select a display object segment in the timeline view.")) return;
  PreviewStop();
  auto* editor = NeededWindow(AppWindows().wndTimelineEdit());
  if (editor == nullptr) return;
  markChanged(main());
  if (!editor->SetData(static_cast<int>(state_.SelectedDispObjID), static_cast<int>(state_.SelectedSegmentID)))
    return;
  RunModalForWindow(editor);
  if (!editor->Success()) return;
  if (editor->TimeChanged()) {
    if (editor->ChangedOrder()) {
      state_.SelectedDispObjID = state_.SelectedSegmentID = kNone;
      showSelection();
    } else {
      TimelineViewRefresh(1);
      if (main() != nullptr)
        main()->setPreviewTime(TimelineDispObjGetStart(state_.SelectedDispObjID, state_.SelectedSegmentID));
    }
  }
  if (main() == nullptr) return;
  main()->PreviewRefresh();
  main()->DispObjSelect(state_.SelectedDispObjID);
}

void wcTimeline::SegmentShift_Pressed() {
  if (refuseWithoutObject(L"Please first select a display object in the timeline view.")) return;
  PreviewStop();
  const uint32_t object = state_.SelectedDispObjID, segment = state_.SelectedSegmentID;
  const std::wstring answer =
      ask(L"Enter amount of time to shift this timeline segment and all following segments. Use a positive number "
          L"to shift them to start later, or negative number to shift them sooner.",
          L"0.0");
  if (answer.empty()) return;
  const float delta = TimeTextToSeconds(answer.c_str());
  if (delta < 0) {
    const float start = TimelineDispObjGetStart(object, segment) + delta;
    if (start < 0) {
      AppMessageBox(L"Cannot shift segment to start before the start of the project", 48);
      return;
    }
    // segment - 1 of segment 0 is the first segment: the object's start.
    if (segment != kNone && TimelineDispObjGetStart(object, segment - 1) >= start) {
      AppMessageBox(L"Cannot shift segment to start before the start of the previous segment", 48);
      return;
    }
  }
  markChanged(main());
  if (TimelineDispObjShift(object, segment, delta) != 0) ErrorShowLast();
  if (main() == nullptr) return;
  main()->setPreviewTime(TimelineDispObjGetStart(object, segment));
  main()->PreviewRefresh();
  main()->DispObjSelect(object);
}

std::wstring wcTimeline::removeObjectQuestion(uint32_t object) const {
  QString question = QString("You cannot remove the first timeline segment. Do you want to remove the entire '%1' "
                             "display object instead?")
                         .arg(nameOf(object));
  QStringList members;
  collectMembers(object, members);
  if (!members.isEmpty())
    question += "\n\nThe objects of its group go with it: " + members.join(", ") + ".";
  return NSStringToWStr(question);
}

void wcTimeline::SegmentRemove_Pressed() {
  if (refuseWithoutObject(L"Please first select a display object segment in the timeline view.")) return;
  PreviewStop();
  const uint32_t object = state_.SelectedDispObjID;
  if (state_.SelectedSegmentID != kNone) {
    const QString question =
        QString("Remove '%1' display object changes made during the selected timeline segment?").arg(nameOf(object));
    if (AppMessageBox(NSStringToWStr(question).c_str(), 36) != kMbYes) return;
    markChanged(main());
    if (TimelineDispObjRemove(object, state_.SelectedSegmentID) != 0) ErrorShowLast();
    // The segment before it; segment 0 gives the first segment.
    state_.SelectedSegmentID -= 1;
  } else {
    if (AppMessageBox(removeObjectQuestion(object).c_str(), 36) != kMbYes) return;
    markChanged(main());
    if (DispObjRemove(object, 1) != 0) ErrorShowLast();
    if (main() != nullptr) main()->DispObjRefresh(kNone);
    state_.SelectedDispObjID = state_.SelectedSegmentID = kNone;
  }
  showSelection();
  if (main() == nullptr) return;
  main()->PreviewRefresh();
  main()->DispObjSelect(state_.SelectedDispObjID);
}
