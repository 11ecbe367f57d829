#pragma once
// Shutting the computer down when a long job ends, through the desktop's
// session manager (logind, over the system D-Bus). Tests install a hook
// that records the request: no test ever powers the machine off.
#include <QString>
#include <functional>

// The hook answers whether the request was taken and, when it was not,
// puts the reason into why; an empty hook returns to the real request.
// Returns the hook it replaces.
using ShutdownHook = std::function<bool(QString* why)>;
ShutdownHook SystemShutdownInstall(ShutdownHook hook);
// Asks logind to power off, letting it ask the user for permission where
// its policy wants that. False when the request was refused or nobody
// answered, with the system's reason in why (when given).
[[nodiscard]] bool SystemShutdown(QString* why = nullptr);
