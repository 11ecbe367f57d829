#pragma once
// The two modal prompts. Flags: low four bits buttons (0 OK, 1 OK/Cancel,
// 3 Yes/No/Cancel, 4 Yes/No, other OK), next four the icon (16 error,
// 48 warning, other information). Results: 1 OK, 2 Cancel, 6 Yes, 7 No.
#include <functional>
#include <string>

enum MessageBoxResult : int { kMbOk = 1, kMbCancel = 2, kMbYes = 6, kMbNo = 7 };

// Installed by the user interface (or a test standing in for the user).
// The hooks run on the main thread; AppMessageBox and AppInputBox hand
// themselves over from any other thread and wait.
using MessageBoxHook = std::function<int(const std::wstring& text, int flags)>;
// Returns false for Cancel.
using InputBoxHook = std::function<bool(const std::wstring& prompt, const std::wstring& defaultText,
                                        std::wstring& answer)>;
void AppMessageBoxInstall(MessageBoxHook hook);
void AppInputBoxInstall(InputBoxHook hook);

// Without a hook: logs the text and answers the default (the first button).
int AppMessageBox(const wchar_t* text, int flags);
// The accepted text in one static buffer of 1024 characters, or null.
const wchar_t* AppInputBox(const wchar_t* prompt, const wchar_t* defaultText);
