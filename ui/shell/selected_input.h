#pragma once
// The input a command on "the selected input" works on.
#include <QStringList>
#include <cstdint>

// The input named first among the selected names. Without a selection the
// user is shown the prompt, with a name the engine no longer knows its
// error; kNoInput then.
uint32_t FirstSelectedInputOrWarn(const QStringList& names, const wchar_t* prompt);
