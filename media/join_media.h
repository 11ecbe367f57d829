#pragma once
// Pictures and sound of joined video and audio inputs: each time is served
// by the member that plays then, at that member's own time (its offset,
// trim and play rate composed through the join). Between and past the
// members there is no picture and silence, and no error. Callers hold the
// access lock; the InputHandler routines send joins here.
#include <cstdint>

#include "media/input_handler.h"

// Joined video or joined audio: served here.
bool JoinHasMedia(uint32_t input);
int JoinGetFrame(uint32_t join, double time, InputFrame* frame);
void JoinPrepareFrame(uint32_t join, double time);
void JoinSeek(uint32_t join, double time);
void JoinSetPlaybackRate(uint32_t join, double fps);
// Sound in the join's format (its first member with sound), each member's
// part converted to it; the bytes stay in a buffer of the calling thread
// until its next request.
int JoinGetAudio(uint32_t join, double start, double length, const uint8_t** data);
const AudioFormat* JoinGetAudioFormat(uint32_t join);
