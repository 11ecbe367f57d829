#pragma once
// The platform layer's message and input boxes shown as Qt dialogs. Tests
// install their own answers through AppMessageBoxInstall/AppInputBoxInstall
// instead.
#include <string>

// Installs the Qt dialogs below as the platform layer's prompts.
void MessageBoxesInstall();
// The dialogs themselves (main thread): the buttons and icon of the flags;
// 1 OK, 2 Cancel, 6 Yes, 7 No.
int MessageDialogRun(const std::wstring& text, int flags);
// False for Cancel.
bool InputDialogRun(const std::wstring& prompt, const std::wstring& defaultText, std::wstring& answer);
