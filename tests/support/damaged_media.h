#pragma once
// Damaged media files for the readers' tests: a file encoded by FFmpeg
// whose packet nearest a time is overwritten on disk.
#include <string>

struct DamagedPacket {
  double Time = -1.0; // presentation time of the damaged packet, -1 none
  double Duration = 0.0;
};

// Overwrites the bytes of the picture (video) or sound packet nearest to
// the time with 0xFF, after the first `keep` bytes of the packet; a
// picture that is a key frame is not chosen. The packet damaged.
DamagedPacket DamagePacket(const std::string& path, bool video, double time, int keep = 0);
