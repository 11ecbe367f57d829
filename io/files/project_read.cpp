// Decoding of the project file (layout in project_write.cpp). The header,
// the size and the CRC are checked before any section is looked at, and
// every count and length is checked against what is left of the file.
#include <cstring>

#include "io/files/crc32.h"
#include "io/files/disp_codec.h"
#include "io/files/project_format.h"

namespace {

// 0 for a readable magic, -85 for a newer release's, -84 otherwise.
int CheckMagic(const uint8_t* m) {
  if (std::memcmp(m, "QVQP", 4) == 0) return 0;
  if (std::memcmp(m, "QVP", 3) != 0) return -84;
  if (m[3] == '2' || m[3] == 'X') return 0;
  if (m[3] == '3') return -85;
  return -84; // version-1 projects have no import here
}

bool GetSettings(ByteReader& in, ProjectImage& image) {
  ProjectSettings& s = image.Settings;
  uint8_t pad;
  return in.f32(s.Length) && in.u32(s.SpeedUnit) && in.raw(s.UserText, sizeof(s.UserText)) &&
         in.u32(s.WizMask) && in.f32(s.WizSpeedMax) && in.f32(s.WizTachMax) &&
         in.f32(s.WizTachRed) && in.u8(s.LengthMatch) && in.u8(s.PrimaryInput) &&
         in.u8(s.DataInput) && in.u8(pad) && in.f32(image.TimelineTime);
}

template <typename T> bool GetSizedRecord(ByteReader& in, T& record) {
  uint32_t size;
  if (!in.u32(size)) return false;
  if (size != sizeof(T)) return in.fail();
  return in.raw(&record, sizeof(T));
}

bool GetInput(ByteReader& in, ProjectImage& image) {
  if (image.Inputs.size() >= kMaxInputs) return in.fail();
  ProjectInputImage input;
  if (!GetSizedRecord(in, input.Main) || !GetSizedRecord(in, input.Data) ||
      !GetSizedRecord(in, input.Adjust))
    return false;
  image.Inputs.push_back(input);
  return true;
}

bool GetSegment(ByteReader& in, DispSegment& segment) {
  return in.f32(segment.Start) && in.u32(segment.Mask) && GetDispRecord(in, segment.Values) &&
         in.block(segment.Param, sizeof(EnhParam)) && in.block(segment.Bitmap, in.remaining());
}

bool GetObject(ByteReader& in, ProjectImage& image) {
  if (image.Objects.size() >= kMaxDispObjs) return in.fail();
  DispObjEntry entry;
  uint32_t segments;
  if (!GetDispObject(in, entry) || !in.u32(segments)) return false;
  if (segments > kMaxSegments) return in.fail();
  entry.Segments.resize(segments);
  for (DispSegment& segment : entry.Segments)
    if (!GetSegment(in, segment)) return false;
  image.Objects.push_back(std::move(entry));
  return true;
}

// One section's payload; unknown sections are passed over.
bool GetSection(uint32_t id, ByteReader& in, ProjectImage& image, int& settingsSeen) {
  if (id == kSectionSettings) {
    ++settingsSeen;
    return GetSettings(in, image);
  }
  if (id == kSectionInput) return GetInput(in, image);
  if (id == kSectionObject) return GetObject(in, image);
  return true;
}

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int CheckHeader(const uint8_t* data, size_t size) {
  if (size < 4) return -81;
  const int magic = CheckMagic(data);
  if (magic != 0) return magic;
  if (size < kProjectHeaderBytes) return -81;
  const uint32_t headerSize = ReadU32(data + 4);
  if (ReadU32(data + 8) > kProjectRevision) return -85;
  if (headerSize < kProjectHeaderBytes || headerSize > size || ReadU32(data + 12) != size) return -81;
  uint32_t crc = Crc32(data, 20);
  const uint8_t zero[4] = {0, 0, 0, 0};
  crc = Crc32(zero, 4, crc);
  crc = Crc32(data + 24, size - 24, crc);
  return crc == ReadU32(data + 20) ? 0 : -83;
}

} // namespace

int ProjectDecode(const uint8_t* data, size_t size, ProjectImage& image) {
  image = ProjectImage{};
  if (data == nullptr) return -81;
  const int header = CheckHeader(data, size);
  if (header != 0) return header;
  const uint32_t sections = ReadU32(data + 16);
  ByteReader file(data, size);
  file.skip(ReadU32(data + 4));
  int settingsSeen = 0;
  bool ended = false;
  for (uint32_t n = 0; n < sections; ++n) {
    uint32_t id, length;
    if (!file.u32(id) || !file.u32(length) || length > file.remaining()) return -81;
    ByteReader payload(file.here(), length);
    file.skip(length);
    if (ended || !GetSection(id, payload, image, settingsSeen)) return -81;
    ended = id == kSectionEnd;
  }
  // Everything the header announced, and nothing after it.
  if (!ended || settingsSeen != 1 || file.remaining() != 0) return -81;
  return 0;
}
