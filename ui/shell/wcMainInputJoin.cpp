// Join and un-join: the selected inputs are taken out of their join, added
// to a selected join, or joined end to end in a new one; selected joins
// alone are dissolved. Everything is checked before anything changes, so a
// refused join leaves no input half-moved and no empty join behind.
#include <vector>

#include "base/error.h"
#include "base/message_box.h"
#include "io/files/undo.h"
#include "model/dispobjs.h"
#include "model/inputs.h"
#include "media/datalog/datalog_queries.h"
#include "ui/shell/wcMain.h"
#include "ui/shell/window_calls.h"

namespace {

constexpr int kWarning = 48;
const wchar_t kNotSameKind[] =
    L"Selected input files must all be video, all be audio, or all be matching data, to create a joined input.";
const wchar_t kNotSameData[] =
    L"Selected input files must all be of the same data format and layout to create a joined input.";

bool isJoin(uint32_t type) { return type >= kInputJoinVideo && type <= kInputJoinData; }

uint32_t findInput(const QString& name) { return InputFind(name.toStdU16String().c_str()); }

// The join kind of an input (InputAddSpecial's codes), 0 for none.
uint32_t kindOf(uint32_t type) {
  switch (type) {
  case kInputVideo:
  case kInputJoinVideo: return kSpecialJoinVideo;
  case kInputAudio:
  case kInputJoinAudio: return kSpecialJoinAudio;
  case kInputData:
  case kInputJoinData: return kSpecialJoinData;
  default: return 0;
  }
}

struct JoinSurvey {
  QStringList plain;          // selected inputs that are not joins, row order
  QStringList joins;          // selected joins, row order
  uint32_t parent = kNoInput; // parent join of the first plain input
  int sameParent = 0;         // plain inputs with that parent
  uint32_t firstJoin = kNoInput;
};

JoinSurvey survey(const QStringList& names) {
  JoinSurvey s;
  for (const QString& name : names) {
    const uint32_t input = findInput(name);
    const MainStruct* record = InputGetMain(input);
    if (record == nullptr) continue;
    if (isJoin(record->Type)) {
      if (s.firstJoin == kNoInput) s.firstJoin = input;
      s.joins << name;
      continue;
    }
    if (s.plain.isEmpty()) s.parent = record->ParentJoin;
    if (record->ParentJoin == s.parent) ++s.sameParent;
    s.plain << name;
  }
  return s;
}

// The kind of a new join of the selection, or 0 after saying why there is
// none. Time fillers go along with any kind.
uint32_t newJoinKind(const QStringList& names, uint32_t reference) {
  uint32_t kind = 0;
  for (const QString& name : names) {
    const uint32_t input = findInput(name);
    const uint32_t type = InputGetType(input);
    if (input == kNoInput || type == kInputFiller) continue;
    if (reference == kNoInput) reference = input;
    const uint32_t k = kindOf(type);
    if (k == 0 || (kind != 0 && k != kind)) {
      AppMessageBox(kNotSameKind, kWarning);
      return 0;
    }
    if (k == kSpecialJoinData && InputHandlerCheckJoin(reference, input) == 0) {
      AppMessageBox(kNotSameData, kWarning);
      return 0;
    }
    kind = k;
  }
  return kind == 0 ? kSpecialJoinVideo : kind;
}

// Whether every plain input may go into the existing join; says why not.
bool fitsJoin(const QStringList& plain, uint32_t join) {
  const uint32_t joinKind = kindOf(InputGetType(join));
  for (const QString& name : plain) {
    const uint32_t input = findInput(name);
    const uint32_t type = InputGetType(input);
    if (type == kInputFiller) continue;
    // A still picture may join a video join (a title between parts): it
    // shows there for its span, as a time filler lasts for its own.
    if (type == kInputImage && joinKind == kSpecialJoinVideo) continue;
    const uint32_t k = kindOf(type);
    if (k == 0 || k != joinKind) {
      AppMessageBox(kNotSameKind, kWarning);
      return false;
    }
    if (k == kSpecialJoinData && InputHandlerCheckJoin(join, input) == 0) {
      AppMessageBox(kNotSameData, kWarning);
      return false;
    }
  }
  return true;
}

int membersOf(uint32_t join) {
  int count = 0;
  for (uint32_t i = 0; i < InputCount(); ++i) {
    const MainStruct* record = InputGetMain(i);
    if (record != nullptr && record->ParentJoin == join) ++count;
  }
  return count;
}

void dissolve(const QStringList& joins) {
  for (const QString& name : joins) {
    // Looked up afresh: each removal renumbers the inputs after it.
    if (InputRemoveJoin(findInput(name)) != 0) {
      ErrorShowLast();
      return;
    }
  }
}

// Gives each plain input the target as parent (255: free, at the project's
// start); false after showing the engine's refusal.
bool moveInto(const QStringList& plain, uint32_t target) {
  for (const QString& name : plain) {
    const uint32_t input = findInput(name);
    const MainStruct* found = InputGetMain(input);
    if (found == nullptr) continue;
    MainStruct record = *found;
    record.ParentJoin = static_cast<uint8_t>(target);
    if (target == kNoInput) record.StartTime = 0;
    if (InputSetMain(input, &record) != 0) {
      ErrorShowLast();
      return false;
    }
  }
  return true;
}

} // namespace

void wcMain::InputJoin_Pressed() {
  const QStringList names = SelectedInputNames();
  if (names.isEmpty()) {
    AppMessageBox(L"Please select the inputs that you want to join or un-join.", kWarning);
    return;
  }
  const JoinSurvey s = survey(names);
  const uint32_t reference = s.parent != kNoInput ? s.parent : s.firstJoin;
  enum class Plan { kDissolve, kTakeOut, kAddToJoin, kNewJoin } plan = Plan::kNewJoin;
  if (s.plain.isEmpty()) {
    plan = Plan::kDissolve;
  } else if (s.sameParent == s.plain.size() && reference != kNoInput) {
    plan = s.parent != kNoInput ? Plan::kTakeOut : Plan::kAddToJoin;
  }
  uint32_t newKind = 0;
  if (plan == Plan::kAddToJoin && !fitsJoin(s.plain, s.firstJoin)) return;
  if (plan == Plan::kNewJoin && (newKind = newJoinKind(names, reference)) == 0) return;

  QuickSyncSettle();
  UndoSave();
  uint32_t target = kNoInput;
  switch (plan) {
  case Plan::kDissolve: dissolve(s.joins); break;
  case Plan::kTakeOut: {
    // Every member selected: the join goes as well.
    const bool wholeJoin = membersOf(s.parent) == s.plain.size() && isJoin(InputGetType(s.parent));
    const QString joinName = QString::fromStdU16String(InputGetName(s.parent));
    if (moveInto(s.plain, kNoInput) && wholeJoin) dissolve({joinName});
    break;
  }
  case Plan::kAddToJoin:
    target = s.firstJoin;
    moveInto(s.plain, target);
    break;
  case Plan::kNewJoin:
    target = InputAddSpecial(newKind);
    if (target == kNoInput) {
      ErrorShowLast();
      break;
    }
    moveInto(s.plain, target);
    break;
  }
  InputUpdateJoin(target);
  InputRefresh(kNoInput);
  DispObjRefresh(kNoDispObj);
  setProjectModified(true);
  PreviewRefresh();
}
