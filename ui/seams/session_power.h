#pragma once
// Shutting the computer down when a long job ends, through the desktop's
// session manager (logind, over the system D-Bus). Tests install a hook
// that records the request: no test ever powers the machine off.
#include <functional>

// The hook answers whether the request was taken; an empty hook returns to
// the real request. Returns the hook it replaces.
using ShutdownHook = std::function<bool()>;
ShutdownHook SystemShutdownInstall(ShutdownHook hook);
// Asks logind to power off, letting it ask the user for permission where
// its policy wants that. False when the request was refused or nobody
// answered; the caller goes on either way.
bool SystemShutdown();
