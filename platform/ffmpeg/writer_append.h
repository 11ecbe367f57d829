#pragma once
// The quick merge of the writer's temporaries: the sound temporary's samples
// are appended to the picture temporary itself, which becomes the output.
// The picture's samples are neither read nor copied, so the merge takes as
// long as the sound's bytes whatever the length of the video.
//
// Layout afterwards: the picture's media data, its old index retired as a
// free box, the sound's media data, and one index of both tracks. Tracks
// are not interleaved, as every player reading a local file takes it.
#include <atomic>
#include <string>

#include "platform/ffmpeg/writer_remux.h"

// kCompleted: videoPath now holds both tracks. kCancelled, or kFailed with
// the reason (a layout this merge does not know, a read or write failure):
// videoPath is as it was, and the copying merge may still be tried.
RemuxStatus AppendSoundInPlace(const std::string& videoPath, const std::string& audioPath,
                               const std::atomic<bool>& cancel, std::string& reason);
