#pragma once
// The kind of a file told by its first bytes, else by its extension.
#include <string>

enum class MediaKind { Unknown, Wav, Image };

MediaKind MediaDetectKind(const std::wstring& path);
