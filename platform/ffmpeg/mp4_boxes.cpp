#include "platform/ffmpeg/mp4_boxes.h"

#include <algorithm>
#include <limits>

namespace {

uint32_t TypeOf(const char* name) {
  uint32_t t = 0;
  for (int i = 0; i < 4; ++i) t = t << 8 | static_cast<uint8_t>(name[i]);
  return t;
}

bool Descended(uint32_t type) {
  for (const char* name : {"moov", "trak", "mdia", "minf", "stbl"})
    if (type == TypeOf(name)) return true;
  return false;
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

void Put64(uint8_t* p, uint64_t v) {
  Put32(p, static_cast<uint32_t>(v >> 32));
  Put32(p + 4, static_cast<uint32_t>(v));
}

void Append(std::vector<uint8_t>& out, const Mp4Box& box) {
  const size_t at = out.size();
  out.resize(at + 8);
  if (box.container) {
    for (const Mp4Box& child : box.children) Append(out, child);
  } else {
    out.insert(out.end(), box.body.begin(), box.body.end());
  }
  Put32(out.data() + at, static_cast<uint32_t>(out.size() - at));
  Put32(out.data() + at + 4, box.type);
}

template <class Box> Box* FindIn(Box& from, std::initializer_list<const char*> path) {
  Box* at = &from;
  for (const char* name : path) {
    const uint32_t type = TypeOf(name);
    auto it = std::find_if(at->children.begin(), at->children.end(), [type](const Mp4Box& b) { return b.type == type; });
    if (it == at->children.end()) return nullptr;
    at = &*it;
  }
  return at;
}

} // namespace

uint32_t Mp4Get32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

uint64_t Mp4Get64(const uint8_t* p) { return uint64_t(Mp4Get32(p)) << 32 | Mp4Get32(p + 4); }

bool Mp4Parse(const uint8_t* data, size_t size, std::vector<Mp4Box>& boxes) {
  for (size_t pos = 0; pos < size;) {
    if (size - pos < 8) return false;
    uint64_t boxSize = Mp4Get32(data + pos);
    size_t header = 8;
    if (boxSize == 1) {
      if (size - pos < 16) return false;
      boxSize = Mp4Get64(data + pos + 8);
      header = 16;
    } else if (boxSize == 0) {
      boxSize = size - pos;
    }
    if (boxSize < header || boxSize > size - pos) return false;
    Mp4Box box;
    box.type = Mp4Get32(data + pos + 4);
    box.container = Descended(box.type);
    const uint8_t* body = data + pos + header;
    const size_t bodySize = static_cast<size_t>(boxSize) - header;
    if (box.container) {
      if (!Mp4Parse(body, bodySize, box.children)) return false;
    } else {
      box.body.assign(body, body + bodySize);
    }
    boxes.push_back(std::move(box));
    pos += static_cast<size_t>(boxSize);
  }
  return true;
}

std::vector<uint8_t> Mp4Serialize(const Mp4Box& box) {
  std::vector<uint8_t> out;
  Append(out, box);
  return out;
}

std::vector<uint8_t> Mp4BoxHeader(uint32_t type, uint64_t bodySize) {
  std::vector<uint8_t> header(bodySize + 8 > std::numeric_limits<uint32_t>::max() ? 16 : 8);
  Put32(header.data() + 4, type);
  if (header.size() == 16) {
    Put32(header.data(), 1);
    Put64(header.data() + 8, bodySize + 16);
  } else {
    Put32(header.data(), static_cast<uint32_t>(bodySize + 8));
  }
  return header;
}

Mp4Box* Mp4Find(Mp4Box& from, std::initializer_list<const char*> path) { return FindIn(from, path); }

const Mp4Box* Mp4Find(const Mp4Box& from, std::initializer_list<const char*> path) { return FindIn(from, path); }

// mvhd: version and flags, two times, the time scale and the duration (32
// or 64 bits by version), ..., and the next track number last.
bool Mp4ReadMovieHeader(const Mp4Box& mvhd, Mp4MovieHeader& header) {
  const std::vector<uint8_t>& b = mvhd.body;
  const bool wide = !b.empty() && b[0] == 1;
  if (b.size() < (wide ? 112u : 100u)) return false;
  header.timeScale = Mp4Get32(b.data() + (wide ? 20 : 12));
  header.duration = wide ? Mp4Get64(b.data() + 24) : Mp4Get32(b.data() + 16);
  header.nextTrackId = Mp4Get32(b.data() + b.size() - 4);
  return header.timeScale > 0 && header.nextTrackId > 0;
}

void Mp4WriteMovieHeader(const Mp4MovieHeader& header, Mp4Box& mvhd) {
  std::vector<uint8_t>& b = mvhd.body;
  if (b[0] == 1) Put64(b.data() + 24, header.duration);
  else Put32(b.data() + 16, static_cast<uint32_t>(std::min<uint64_t>(header.duration, UINT32_MAX)));
  Put32(b.data() + b.size() - 4, header.nextTrackId);
}

// tkhd: version and flags, two times (32 or 64 bits each), the number.
bool Mp4SetTrackId(Mp4Box& trak, uint32_t id) {
  Mp4Box* tkhd = Mp4Find(trak, {"tkhd"});
  if (!tkhd || tkhd->body.size() < 24) return false;
  Put32(tkhd->body.data() + (tkhd->body[0] == 1 ? 20 : 12), id);
  return true;
}

bool Mp4MoveChunks(Mp4Box& trak, int64_t shift, uint64_t start, uint64_t end) {
  Mp4Box* stbl = Mp4Find(trak, {"mdia", "minf", "stbl"});
  if (!stbl) return false;
  Mp4Box* table = Mp4Find(*stbl, {"stco"});
  const bool wide = table == nullptr;
  if (wide) table = Mp4Find(*stbl, {"co64"});
  if (!table || table->body.size() < 8) return false;
  const uint32_t count = Mp4Get32(table->body.data() + 4);
  const size_t width = wide ? 8 : 4;
  if (count == 0 || table->body.size() != 8 + width * count) return false;
  std::vector<uint64_t> offsets(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* p = table->body.data() + 8 + width * i;
    const uint64_t at = wide ? Mp4Get64(p) : Mp4Get32(p);
    if (at < start || at >= end) return false;
    offsets[i] = static_cast<uint64_t>(static_cast<int64_t>(at) + shift);
  }
  const bool widen = !wide && count > 0 && *std::max_element(offsets.begin(), offsets.end()) > UINT32_MAX;
  if (widen) {
    table->type = Mp4Type("co64");
    table->body.resize(8 + 8 * static_cast<size_t>(count));
  }
  const size_t stride = wide || widen ? 8 : 4;
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t* p = table->body.data() + 8 + stride * i;
    if (stride == 8) Put64(p, offsets[i]);
    else Put32(p, static_cast<uint32_t>(offsets[i]));
  }
  return true;
}
