#include "ui/shell/selected_input.h"

#include "base/error.h"
#include "base/message_box.h"
#include "model/inputs.h"

uint32_t FirstSelectedInputOrWarn(const QStringList& names, const wchar_t* prompt) {
  if (names.isEmpty()) {
    AppMessageBox(prompt, 48);
    return kNoInput;
  }
  const uint32_t input = InputFind(names.front().toStdU16String().c_str());
  if (input == kNoInput) ErrorShowLast();
  return input;
}
