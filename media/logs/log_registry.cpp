#include "media/logs/log_registry.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "base/error.h"
#include "media/file_util.h"
#include "media/logs/log_readers.h"
#include "media/logs/log_text.h"

namespace {

const LogReader* const* allReaders(size_t& count) {
  static const LogReader* const readers[] = {&NmeaLogReader(), &GpxLogReader(),       &TcxLogReader(),
                                             &FitLogReader(),  &VboLogReader(),       &DelimitedLogReader(),
                                             &SaLogReader()};
  count = sizeof(readers) / sizeof(readers[0]);
  return readers;
}

bool loadFile(const std::string& path, std::string& data, size_t limit, LogReadStatus& status) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    status = LogRefuse(kErrOpen, "cannot open the file");
    return false;
  }
  std::streamoff size = in.tellg();
  if (size < 0) {
    status = LogRefuse(kErrRead, "cannot read the file size");
    return false;
  }
  if (static_cast<uint64_t>(size) > kMaxLogFileBytes && limit > kMaxLogFileBytes) {
    status = LogRefuse(kErrRead, "file too large for a data log");
    return false;
  }
  size_t want = std::min<size_t>(static_cast<size_t>(size), limit);
  data.resize(want);
  in.seekg(0);
  if (want > 0 && !in.read(data.data(), static_cast<std::streamsize>(want))) {
    status = LogRefuse(kErrRead, "cannot read the file");
    return false;
  }
  return true;
}

// Video and sound containers can carry GPS text (a camera's NMEA track) in
// their first bytes; such a file is the camera's video, never a data log.
bool looksLikeMediaContainer(std::string_view head) {
  auto at = [&](size_t offset, std::string_view magic) {
    return head.size() >= offset + magic.size() && head.substr(offset, magic.size()) == magic;
  };
  for (std::string_view box : {"ftyp", "moov", "mdat", "wide", "free", "skip"})
    if (at(4, box)) return true; // ISO base media (MP4, MOV, 3GP)
  if (at(0, "RIFF") || at(0, "\x1A\x45\xDF\xA3") || at(0, "FLV") || at(0, "OggS") ||
      at(0, std::string_view("\0\0\x01\xBA", 4)))
    return true; // AVI/WAV, Matroska/WebM, Flash video, Ogg, MPEG programme stream
  return head.size() > 188 && head[0] == 0x47 && head[188] == 0x47; // MPEG transport stream
}

} // namespace

LogReadStatus LogRefuse(int code, std::string message, int line) {
  LogReadStatus status;
  status.code = code;
  status.message = std::move(message);
  status.line = line;
  return status;
}

LogReadStatus LogReader::read(const std::string& path, DataloggerRecord& record) const {
  std::string data;
  LogReadStatus status;
  if (!loadFile(path, data, kMaxLogFileBytes + 1, status))
    return status;
  if (data.size() > kMaxLogFileBytes)
    return LogRefuse(kErrRead, "file too large for a data log");
  return parseFile(data, record);
}

LogReadStatus LogReader::parseFile(std::string_view bytes, DataloggerRecord& record) const {
  std::string decoded;
  LogReadStatus status = parse(LogTextOf(bytes, decoded), record);
  if (status.ok())
    LogTidyFieldNames(record);
  return status;
}

std::string LogExtension(const std::string& path) { return FileExtensionLower(path); }

const LogReader* LogRegistryFind(std::string_view bytes, std::string_view extension) {
  if (looksLikeMediaContainer(bytes))
    return nullptr;
  std::string decoded;
  std::string_view head = LogTextOf(bytes, decoded);
  size_t count = 0;
  const LogReader* const* readers = allReaders(count);
  const LogReader* best = nullptr;
  int bestScore = 0;
  for (size_t i = 0; i < count; ++i) {
    int score = readers[i]->probe(head, extension);
    if (score > bestScore) {
      best = readers[i];
      bestScore = score;
    }
  }
  return best;
}

const LogReader* LogRegistryFindForFile(const std::string& path) {
  std::string head;
  LogReadStatus status;
  if (!loadFile(path, head, kLogProbeBytes, status))
    return nullptr;
  return LogRegistryFind(head, LogExtension(path));
}

LogReadStatus LogRegistryRead(const std::string& path, DataloggerRecord& record) {
  const LogReader* reader = LogRegistryFindForFile(path);
  if (!reader)
    return LogRefuse(kErrUnsupported, "not a data log of a known format");
  return reader->read(path, record);
}
