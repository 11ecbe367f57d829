#pragma once
// The project file: encoding of a ProjectImage and its decoding with every
// count and length checked against the file. Undo snapshots use it too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/files/project_image.h"
#include "model/record_check.h"

constexpr size_t kProjectHeaderBytes = 32;
constexpr uint32_t kProjectRevision = 1;
// Larger files are refused on reading and never written.
constexpr size_t kMaxProjectBytes = size_t{1} << 31;

// Section identifiers: four characters read as a little-endian u32.
constexpr uint32_t SectionId(const char (&id)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}
constexpr uint32_t kSectionSettings = SectionId("SETT");
constexpr uint32_t kSectionInput = SectionId("INPT");
constexpr uint32_t kSectionObject = SectionId("DOBJ");
constexpr uint32_t kSectionEnd = SectionId("END!");

// 0, or -82 when the project is too large to be stored.
int ProjectEncode(const ProjectImage& image, std::vector<uint8_t>& out);
// 0; -81 short file or a count or length out of range; -83 integrity check
// failed; -84 not a project file; -85 made by a newer release. The image
// still needs ProjectValidate.
int ProjectDecode(const uint8_t* data, size_t size, ProjectImage& image);
// Cross-references and values a decoded image must hold before it may
// replace the open project; terminates text fields in place. 0, -81, or
// -86 with the number out of range named in fault.
int ProjectValidate(ProjectImage& image, RecordFault* fault = nullptr);
// Writes the CRC of a whole encoded file into its header (tests and fuzzing
// use it to reach the section parser with altered files).
void ProjectSealCrc(std::vector<uint8_t>& file);
