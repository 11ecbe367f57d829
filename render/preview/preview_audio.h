#pragma once
// Preview sound through SDL2: the render loop queues each frame's mix and
// SDL's audio thread (the feeder) plays it. Without a sound device the
// preview stays silent and everything else works.
#include "platform/media/media_formats.h"

#include <cstdint>

// Opens the output device for the format; 0, or -23 when no device opens
// (the preview then plays without sound).
int PreviewAudioOpen(const AudioFormat& format);
void PreviewAudioClose();
// Queues PCM in the opened format; drops what would overfill the queue.
void PreviewAudioQueue(const uint8_t* pcm, uint32_t bytes);
// Drops what is queued and pauses (stop) or resumes playback.
void PreviewAudioClear();
void PreviewAudioPause(bool pause);
bool PreviewAudioIsOpen();
// Bytes waiting to be played.
uint32_t PreviewAudioQueued();
