#pragma once
// The merge of the writer's two temporary files into one MPEG-4 file by
// copying their packets (no re-encoding). The sound keeps its encoder delay
// as a negative start, which the muxer turns into an edit list, so pictures
// and sound stay in step.
#include <atomic>
#include <string>

enum class RemuxStatus {
  kCompleted,
  kNoVideoFile,   // the video temporary cannot be opened
  kNoVideoLength, // it holds no video track or a track of no length
  kNoAudioFile,
  kNoAudioLength,
  kNoOutput,      // the output container cannot be made
  kFailed,        // reading or writing failed part way; reason says why
  kCancelled,
};

// Writes the first video track of videoPath and the first sound track of
// audioPath into outputPath. Checks cancel between packets and inside file
// operations; on any status but kCompleted the output is incomplete.
RemuxStatus RemuxVideoAndAudio(const std::string& videoPath, const std::string& audioPath,
                               const std::string& outputPath, const std::atomic<bool>& cancel,
                               std::string& reason);
