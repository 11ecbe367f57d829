#pragma once
// A small editor of MPEG-4 index boxes (moov and what it holds): parsed
// into a tree where the track structure is descended, every other box kept
// as its bytes, and written back with the sizes recomputed.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

struct Mp4Box {
  uint32_t type = 0;
  bool container = false;
  std::vector<uint8_t> body;     // a leaf's bytes after its header
  std::vector<Mp4Box> children;  // a container's boxes
};

constexpr uint32_t Mp4Type(const char (&name)[5]) {
  return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
         uint8_t(name[3]);
}

uint32_t Mp4Get32(const uint8_t* p);
uint64_t Mp4Get64(const uint8_t* p);

// The boxes of a container's body; false when a size runs past its end.
bool Mp4Parse(const uint8_t* data, size_t size, std::vector<Mp4Box>& boxes);
std::vector<uint8_t> Mp4Serialize(const Mp4Box& box);
// An 8-byte header, or a 16-byte one when the body needs a 64-bit size.
std::vector<uint8_t> Mp4BoxHeader(uint32_t type, uint64_t bodySize);
// The first box down the path of types from the box's children.
Mp4Box* Mp4Find(Mp4Box& from, std::initializer_list<const char*> path);
const Mp4Box* Mp4Find(const Mp4Box& from, std::initializer_list<const char*> path);

struct Mp4MovieHeader {
  uint32_t timeScale = 0;
  uint64_t duration = 0;
  uint32_t nextTrackId = 0;
};
bool Mp4ReadMovieHeader(const Mp4Box& mvhd, Mp4MovieHeader& header);
// Writes duration and next track number back (the time scale stays).
void Mp4WriteMovieHeader(const Mp4MovieHeader& header, Mp4Box& mvhd);
// The track's number in its tkhd.
bool Mp4SetTrackId(Mp4Box& trak, uint32_t id);
// Moves every chunk offset of the track by shift, when each lay in
// [start, end); 32-bit offsets that no longer fit become 64-bit ones.
bool Mp4MoveChunks(Mp4Box& trak, int64_t shift, uint64_t start, uint64_t end);
