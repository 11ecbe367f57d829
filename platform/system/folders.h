#pragma once
#include <cstdint>

// The engine's private temporary folder ($TMPDIR or /tmp, plus
// "quelvatron-<uid>", mode 0700, created on demand and refused when it is a
// link or owned by another user). Copies at most length characters, the last
// one always the terminator; returns the text length + 1, 0 for a null buffer
// or length 0, or when no safe folder can be had.
uint32_t GetTempFolder(uint32_t length, wchar_t* buffer);
// The user's documents folder (XDG_DOCUMENTS_DIR, else ~/Documents) in one
// static buffer that the next call overwrites; empty text, never null.
const wchar_t* GetDocumentsFolder();
