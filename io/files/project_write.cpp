// Project file layout (all numbers little-endian):
//
//   header, 32 bytes:
//     0  magic "QVP2"
//     4  u32 header size (32; readers skip a longer header)
//     8  u32 layout revision (1)
//    12  u32 size of the whole file
//    16  u32 number of sections
//    20  u32 CRC-32 of the whole file, computed with these four bytes zero
//    24  u32 flags (0), u32 reserved (0)
//   sections, each: u32 identifier, u32 payload length, payload:
//     "SETT" once: f32 explicit length, u32 speed unit, u16[1024] user text,
//            u32 wizard mask, f32 speed max, f32 tach max, f32 tach red,
//            u8 length-match, u8 primary, u8 data input, u8 0,
//            f32 timeline time
//     "INPT" per input, in table order: for each of MainStruct, DataStruct
//            and AdjustStruct a u32 size and the record's bytes
//     "DOBJ" per display object, in table order: the common record's first
//            328 bytes, u32 + parameter block, u32 + bitmap block, u32
//            segment count, then per segment: f32 start, u32 change mask,
//            328-byte record of the values, u32 + parameter copy, u32 +
//            bitmap copy
//     "END!" empty, last
//   Readers skip sections they do not know, so later revisions can add some.
#include "io/files/crc32.h"
#include "io/files/disp_codec.h"
#include "io/files/project_format.h"

namespace {

constexpr char kMagic[4] = {'Q', 'V', 'P', '2'};

void PutSettings(ByteWriter& out, const ProjectImage& image) {
  const ProjectSettings& s = image.Settings;
  out.f32(s.Length);
  out.u32(s.SpeedUnit);
  out.raw(s.UserText, sizeof(s.UserText));
  out.u32(s.WizMask);
  out.f32(s.WizSpeedMax);
  out.f32(s.WizTachMax);
  out.f32(s.WizTachRed);
  out.u8(s.LengthMatch);
  out.u8(s.PrimaryInput);
  out.u8(s.DataInput);
  out.u8(0);
  out.f32(image.TimelineTime);
}

void PutInput(ByteWriter& out, const ProjectInputImage& input) {
  out.u32(sizeof(input.Main));
  out.raw(&input.Main, sizeof(input.Main));
  out.u32(sizeof(input.Data));
  out.raw(&input.Data, sizeof(input.Data));
  out.u32(sizeof(input.Adjust));
  out.raw(&input.Adjust, sizeof(input.Adjust));
}

void PutObject(ByteWriter& out, const DispObjEntry& entry) {
  PutDispObject(out, entry);
  out.u32(static_cast<uint32_t>(entry.Segments.size()));
  for (const DispSegment& segment : entry.Segments) {
    out.f32(segment.Start);
    out.u32(segment.Mask);
    PutDispRecord(out, segment.Values);
    out.block(segment.Param);
    out.block(segment.Bitmap);
  }
}

// Opens a section; returns where its length goes.
size_t BeginSection(ByteWriter& out, uint32_t id, uint32_t& sections) {
  out.u32(id);
  out.u32(0);
  ++sections;
  return out.size() - 4;
}

bool EndSection(ByteWriter& out, size_t lengthAt) {
  const size_t length = out.size() - lengthAt - 4;
  if (length > UINT32_MAX) return false;
  out.patchU32(lengthAt, static_cast<uint32_t>(length));
  return true;
}

} // namespace

void ProjectSealCrc(std::vector<uint8_t>& file) {
  if (file.size() < kProjectHeaderBytes) return;
  for (int i = 0; i < 4; ++i) file[20 + i] = 0;
  const uint32_t crc = Crc32(file.data(), file.size());
  for (int i = 0; i < 4; ++i) file[20 + i] = static_cast<uint8_t>(crc >> (8 * i));
}

int ProjectEncode(const ProjectImage& image, std::vector<uint8_t>& out) {
  ByteWriter w;
  w.raw(kMagic, 4);
  w.u32(kProjectHeaderBytes);
  w.u32(kProjectRevision);
  w.u32(0); // file size
  w.u32(0); // section count
  w.u32(0); // CRC
  w.u32(0);
  w.u32(0);
  uint32_t sections = 0;
  bool fits = true;
  size_t at = BeginSection(w, kSectionSettings, sections);
  PutSettings(w, image);
  fits &= EndSection(w, at);
  for (const ProjectInputImage& input : image.Inputs) {
    at = BeginSection(w, kSectionInput, sections);
    PutInput(w, input);
    fits &= EndSection(w, at);
  }
  for (const DispObjEntry& entry : image.Objects) {
    at = BeginSection(w, kSectionObject, sections);
    PutObject(w, entry);
    fits &= EndSection(w, at);
  }
  at = BeginSection(w, kSectionEnd, sections);
  fits &= EndSection(w, at);
  if (!fits || w.size() > kMaxProjectBytes) return -82;
  w.patchU32(12, static_cast<uint32_t>(w.size()));
  w.patchU32(16, sections);
  out = std::move(w.bytes());
  ProjectSealCrc(out);
  return 0;
}
