// The engine's last result (code and routine name) and the messages that show
// it to the user.
#include "base/error.h"

#include <array>
#include <atomic>
#include <cstring>
#include <string>

#include "base/error_codes.h"
#include "base/log.h"
#include "base/message_box.h"
#include "base/text.h"

namespace {

constexpr size_t kLocationChars = 63;
constexpr int kIconError = 16;
constexpr int kIconInformation = 64;

// Each thread keeps its own last result: a routine and the ErrorShowLast
// or ErrorGetLast that follows it run on one thread, and a render or
// decoding thread recording its own results must not wipe out the error
// the interface is about to show.
struct LastError {
  int code = 0;
  char location[kLocationChars + 1] = {};
  std::wstring detail;
};

LastError& Last() {
  thread_local LastError last;
  return last;
}

// Texts for codes missing from the table, kept in a small ring so that a
// caller holding one while asking for another still has its own.
const wchar_t* UnknownCodeText(int code) {
  static std::array<std::array<wchar_t, 64>, 16> ring{};
  static std::atomic<unsigned> next{0};
  wchar_t* buffer = ring[next.fetch_add(1) % ring.size()].data();
  std::wstring text = WcsFormat(L"Unknown error (%d)", code);
  text.resize(std::min(text.size(), size_t{63}));
  std::wmemcpy(buffer, text.c_str(), text.size() + 1);
  return buffer;
}

std::wstring MessageText(int code, const char* location, const std::wstring& detail) {
  std::wstring text = ErrorGetText(code);
  if (!detail.empty()) text += L"\n\n" + detail;
  if (code < 0) {
    text += WcsFormat(L"\n\nError Code: %d", code);
    if (location != nullptr && location[0] != 0) text += WcsFormat(L"\nLocation: %S", location);
  }
  return text;
}

void ShowCode(int code, const char* location, const std::wstring& detail = std::wstring()) {
  if (code == 0) return;
  std::wstring text = MessageText(code, location, detail);
  AppMessageBox(text.c_str(), code < 0 ? kIconError : kIconInformation);
}

}  // namespace

int ErrorSet(int code, const char* routineName) {
  const char* name = routineName != nullptr ? routineName : "";
  LastError& last = Last();
  last.code = code;
  std::strncpy(last.location, name, kLocationChars);
  last.location[kLocationChars] = 0;
  last.detail.clear();
  if (code != 0 && std::strcmp(name, "*NO LOG*") != 0) LogPrintf(L"[Code] %d '%S'", code, name);
  return code;
}

int ErrorGetLast() { return Last().code; }

int ErrorSetDetail(int code, const char* routineName, const std::wstring& detail) {
  ErrorSet(code, routineName);
  if (!detail.empty()) LogPrintf(L"[Detail] '%s'", detail.c_str());
  Last().detail = detail;
  return code;
}

const wchar_t* ErrorGetLastDetail() { return Last().detail.c_str(); }

void ErrorGetLastLocation(char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return;
  std::strncpy(buffer, Last().location, size - 1);
  buffer[size - 1] = 0;
}

const wchar_t* ErrorGetText(int code) {
  const wchar_t* text = ErrorTableLookup(code);
  return text != nullptr ? text : UnknownCodeText(code);
}

void ErrorShow(int code) { ShowCode(code, nullptr); }

void ErrorShowAt(int code, const char* location) { ShowCode(code, location); }

void ErrorShowLast() {
  // Copied first: showing the box may run routines that record results.
  const LastError last = Last();
  ShowCode(last.code, last.location, last.detail);
}

void MessageShow(const wchar_t* text, int flags) {
  if (text == nullptr) return;
  LogPrintf(L"[Disp] '%s'", text);
  AppMessageBox(text, flags);
}
