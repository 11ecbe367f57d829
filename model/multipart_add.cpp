// A camera recording's parts as one joined video. No file of the set may
// play twice: a part the project holds already joins the set where it
// stands (its display objects keep it), and a join of the set's parts alone
// is completed instead of a second join being made.
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "base/access_lock.h"
#include "base/error.h"
#include "base/log.h"
#include "base/text.h"
#include "model/input_internal.h"
#include "model/input_media.h"
#include "model/input_store.h"
#include "model/input_table.h"
#include "model/inputs.h"
#include "model/model_text.h"
#include "model/multipart_scan.h"

namespace {

std::filesystem::path PathOf(const std::wstring& text) { return std::filesystem::path(WideToUtf8(text)); }

// The video input that plays the file already, kNoInput when none. The
// same file may be named another way (a link, another spelling of the
// folder).
uint32_t InputPlayingFile(const std::wstring& file) {
  for (uint32_t i = 0; i < InputTableCount(); ++i) {
    const MainStruct& main = *InputTableMain(i);
    if (main.Type != kInputVideo) continue;
    const std::wstring held = Utf16ToWide(FieldString(main.FilePath, kPathLength));
    std::error_code error;
    if (held == file || std::filesystem::equivalent(PathOf(held), PathOf(file), error)) return i;
  }
  return kNoInput;
}

// The join that holds the parts found, when it holds nothing else.
uint32_t JoinOfSetAlone(const std::vector<uint32_t>& held) {
  uint32_t join = kNoInput;
  for (uint32_t input : held)
    if (input != kNoInput && InputTableMain(input)->ParentJoin != kNoInput) {
      join = InputTableMain(input)->ParentJoin;
      break;
    }
  if (join == kNoInput || InputTableMain(join)->Type != kInputJoinVideo) return kNoInput;
  for (uint32_t member : InputMembers(join))
    if (std::find(held.begin(), held.end(), member) == held.end()) return kNoInput;
  return join;
}

// A join plays its members in table order: the members (in the set's
// order) are moved into the places they hold, lowest first.
void PutInOrder(std::vector<uint32_t> members) {
  std::vector<uint32_t> places = members;
  std::sort(places.begin(), places.end());
  for (size_t k = 0; k < members.size(); ++k) {
    if (members[k] == places[k]) continue;
    InputSwapWithMedia(members[k], places[k]);
    std::replace(members.begin() + static_cast<std::ptrdiff_t>(k) + 1, members.end(), places[k], members[k]);
    members[k] = places[k];
  }
}

} // namespace

uint32_t InputAddMultiPart(const wchar_t* path) {
  ChangeAccess access("InputAddMultiPart");
  if (path == nullptr) return ErrorSet(-21, "InputAddMultiPart"), kNoInput;
  const std::vector<std::wstring> parts = MultiPartScan(path);
  if (parts.size() < 2) {
    const uint32_t single = InputAdd(WideToUtf16(path).c_str());
    ErrorSet(single == kNoInput ? ErrorGetLast() : 0, "InputAddMultiPart");
    return single;
  }
  std::vector<uint32_t> held;
  for (const std::wstring& part : parts) held.push_back(InputPlayingFile(part));
  uint32_t join = JoinOfSetAlone(held);
  const bool madeJoin = join == kNoInput;
  if (madeJoin) join = InputAddSpecial(kSpecialJoinVideo);
  if (join == kNoInput) return ErrorSet(ErrorGetLast(), "InputAddMultiPart"), kNoInput;
  std::vector<uint32_t> members, formerJoins;
  for (size_t k = 0; k < parts.size(); ++k) {
    const uint32_t input = held[k] != kNoInput ? held[k] : InputAdd(WideToUtf16(parts[k]).c_str());
    if (input == kNoInput) continue;
    uint8_t& parent = InputTableMain(input)->ParentJoin;
    if (parent != kNoInput && parent != join) formerJoins.push_back(parent);
    parent = static_cast<uint8_t>(join);
    members.push_back(input);
  }
  if (members.size() < parts.size())
    LogPrintf(L"Attempted to add set of %d files, but could only do %d", static_cast<int>(parts.size()),
              static_cast<int>(members.size()));
  if (members.empty()) {
    if (madeJoin) InputStoreErase(join);
    return ErrorSet(-80, "InputAddMultiPart"), kNoInput;
  }
  PutInOrder(members);
  InputLayJoin(join);
  for (uint32_t former : formerJoins) InputLayJoin(former);
  ErrorSet(0, "InputAddMultiPart");
  return join;
}
