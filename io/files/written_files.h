#pragma once
// Tells whoever lists files of a kind (the interface's style and template
// lists) that the engine has just written one, so a list never misses a
// file saved by another window. Without a listener nothing happens.
#include <functional>
#include <string>

enum class WrittenFileKind { kStyle, kTemplate, kProfile };

// Called on the writing thread after the file is complete on disk.
using WrittenFileListener = std::function<void(WrittenFileKind kind, const std::wstring& path)>;
// An empty listener removes the one installed.
void WrittenFileInstall(WrittenFileListener listener);
// Tells the listener; the caller's last engine result stays as it was.
void WrittenFileNotify(WrittenFileKind kind, const std::wstring& path);
