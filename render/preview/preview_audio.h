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
// The device plays once a tenth of a second is queued, so that the frames'
// sound, handed over on the frames' beat, reaches it without a gap.
void PreviewAudioQueue(const uint8_t* pcm, uint32_t bytes);
// Drops what is queued and pauses (stop) or resumes playback (from the
// next tenth of a second queued).
void PreviewAudioClear();
void PreviewAudioPause(bool pause);
bool PreviewAudioIsOpen();
// Bytes waiting to be played.
uint32_t PreviewAudioQueued();
