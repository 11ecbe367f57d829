#pragma once
// Keeping the media layer's per-input slots in step with the input table
// (internal to the model; callers hold the write access).
#include <cstdint>

// The media layer's routines for one input's slot: open its file (0 or a
// negative code), close it, re-read what depends on its records. The media
// layer installs them as the program loads (media/input_handler.cpp);
// until then no file opens (-141) and closing does nothing.
struct InputMediaSlots {
  int (*open)(uint32_t input) = nullptr;
  void (*close)(uint32_t input) = nullptr;
  int (*reprocess)(uint32_t input) = nullptr;
};
void InputMediaInstall(const InputMediaSlots& slots);
int InputMediaOpen(uint32_t input);
void InputMediaClose(uint32_t input);
void InputMediaReprocess(uint32_t input);

// True for inputs backed by a file the media layer opens (types 1 to 4).
bool InputHasMedia(uint32_t input);
// Closes the slots from index first to the end of the table, and reopens
// them after the table was reordered or shortened.
void InputMediaCloseFrom(uint32_t first);
void InputMediaReopenFrom(uint32_t first);
// Swaps two entries of the table (input_internal.h) with their slots.
void InputSwapWithMedia(uint32_t a, uint32_t b);
