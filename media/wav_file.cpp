#include "media/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/error.h"
#include "base/text.h"
#include "media/file_util.h"
#include "media/le_bytes.h"

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr uint32_t kMaxRate = 1000000;

// The fmt chunk: plain PCM, or the extensible form whose sub-format is PCM.
int ParseFmt(const uint8_t* p, uint32_t size, AudioFormat* f) {
  if (size < 16) return kErrUnsupported;
  uint16_t tag = Le16(p);
  if (tag == kTagExtensible) {
    if (size < 40 || Le16(p + 24) != kTagPcm) return kErrUnsupported;
    tag = kTagPcm;
  }
  f->wFormatTag = tag;
  f->nChannels = Le16(p + 2);
  f->nSamplesPerSec = Le32(p + 4);
  f->wBitsPerSample = Le16(p + 14);
  if (tag != kTagPcm || f->nChannels < 1 || f->nChannels > 2) return kErrUnsupported;
  if (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) return kErrUnsupported;
  if (f->nSamplesPerSec == 0 || f->nSamplesPerSec > kMaxRate) return kErrUnsupported;
  f->nBlockAlign = static_cast<uint16_t>(f->nChannels * f->wBitsPerSample / 8);
  f->nAvgBytesPerSec = f->nSamplesPerSec * f->nBlockAlign;
  f->cbSize = 18;
  return kOk;
}

} // namespace

int WavParse(const WavByteSource& read, uint64_t fileSize, WavInfo* info) {
  uint8_t head[12];
  if (fileSize < 12 || !read(0, head, 12)) return kErrUnsupported;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return kErrUnsupported;
  bool haveFmt = false;
  uint64_t pos = 12;
  while (pos + 8 <= fileSize) {
    uint8_t chunk[8];
    if (!read(pos, chunk, 8)) return kErrRead;
    uint32_t size = Le32(chunk + 4);
    uint64_t body = pos + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      uint8_t fmt[40] = {};
      uint32_t n = size < 40 ? size : 40;
      if (body + n > fileSize || !read(body, fmt, n)) return kErrRead;
      int rc = ParseFmt(fmt, size, &info->Format);
      if (rc != kOk) return rc;
      haveFmt = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFmt) return kErrUnsupported;
      uint64_t avail = fileSize - body;
      uint64_t bytes = size < avail ? size : avail; // a cut-off recording keeps what is there
      info->DataOffset = body;
      info->DataSize = bytes - bytes % info->Format.nBlockAlign;
      return kOk;
    }
    pos = body + size + (size & 1);
  }
  return haveFmt ? kErrRead : kErrUnsupported;
}

WavReader::~WavReader() { Close(); }

void WavReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  delivered_ = 0;
  block_.clear();
  block_.shrink_to_fit();
}

int WavReader::Open(const std::wstring& path) {
  Close();
  fd_ = ::open(WideToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return kErrOpen;
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    return kErrOpen;
  }
  int fd = fd_;
  WavByteSource source = [fd](uint64_t off, void* buf, size_t n) {
    return ::pread(fd, buf, n, static_cast<off_t>(off)) == static_cast<ssize_t>(n);
  };
  int rc = WavParse(source, static_cast<uint64_t>(st.st_size), &info_);
  if (rc != kOk) {
    Close();
    return rc;
  }
  format_ = info_.Format;
  format_.wBitsPerSample = 16;
  format_.nBlockAlign = static_cast<uint16_t>(format_.nChannels * 2);
  format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
  return kOk;
}

double WavReader::Length() const {
  if (info_.Format.nAvgBytesPerSec == 0) return 0.0;
  return static_cast<double>(info_.DataSize) / info_.Format.nAvgBytesPerSec;
}

int WavReader::GetFrame(double) { return kErrBadArg; }

int WavReader::GetAudio(double t, double length) {
  delivered_ = 0;
  const int bytes = Read(t, length);
  if (bytes < 0) return bytes;
  delivered_ = static_cast<uint32_t>(bytes);
  return kOk;
}

int WavReader::Read(double start, double length) {
  const AudioFormat& file = info_.Format;
  if (fd_ < 0 || file.nBlockAlign == 0) return kErrBadArg;
  double total = Length();
  if (!(start < total) || !(length >= 0.0)) return kErrEndOfData;
  if (start + length > total) length = total - start;
  const int64_t align = format_.nBlockAlign;
  int64_t bytes = static_cast<int64_t>(std::llround(length * format_.nAvgBytesPerSec));
  bytes = (bytes + align - 1) / align * align;
  if (bytes <= 0) return kErrEndOfData;
  if (bytes > INT32_MAX / 2) return kErrBadArg;
  const int64_t frames = bytes / align;
  // The first sample from the time in samples: a span that starts where the
  // last ended starts on the very next sample.
  const int64_t firstFrame = static_cast<int64_t>(std::llround(start * format_.nSamplesPerSec));
  block_.assign(static_cast<size_t>(bytes), 0);
  int64_t skip = firstFrame < 0 ? -firstFrame : 0; // silence before the file starts
  if (skip >= frames) return static_cast<int>(bytes);
  const int64_t from = firstFrame + skip;
  const int64_t fileFrames = static_cast<int64_t>(info_.DataSize / file.nBlockAlign);
  int64_t n = std::min(frames - skip, fileFrames - from);
  if (n < 0) n = 0;
  const size_t fileBytes = static_cast<size_t>(n) * file.nBlockAlign;
  const off_t offset = static_cast<off_t>(info_.DataOffset + static_cast<uint64_t>(from) * file.nBlockAlign);
  uint8_t* out = block_.data() + skip * align;
  if (file.wBitsPerSample == 16) {
    if (::pread(fd_, out, fileBytes, offset) != static_cast<ssize_t>(fileBytes)) return kErrRead;
  } else {
    narrow_.resize(fileBytes);
    if (::pread(fd_, narrow_.data(), fileBytes, offset) != static_cast<ssize_t>(fileBytes)) return kErrRead;
    for (size_t i = 0; i < fileBytes; ++i) {
      int16_t wide = static_cast<int16_t>((narrow_[i] - 128) * 256);
      std::memcpy(out + 2 * i, &wide, 2);
    }
  }
  return static_cast<int>((skip + n) * align);
}

WavWriter::~WavWriter() { Abort(); }

void WavWriter::Abort() { file_.Drop(); }

int WavWriter::Open(const std::wstring& path, const AudioFormat& format) {
  Abort();
  if (format.wFormatTag != kTagPcm || format.nChannels < 1 || format.nChannels > 2 ||
      (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) || format.nSamplesPerSec == 0)
    return kErrBadArg;
  format_ = format;
  format_.nBlockAlign = static_cast<uint16_t>(format.nChannels * format.wBitsPerSample / 8);
  format_.nAvgBytesPerSec = format_.nBlockAlign * format.nSamplesPerSec;
  if (file_.Create(path) != kOk) return kErrWrite;
  dataBytes_ = 0;
  uint8_t header[44] = {};
  return file_.Write(header, sizeof header);
}

int WavWriter::Append(const void* data, size_t size) {
  if (!file_.IsOpen()) return kErrWrite;
  if (dataBytes_ + size > 0xFFFFFFFFull - 44) return kErrWrite;
  if (file_.Write(data, size) != kOk) return kErrWrite;
  dataBytes_ += size;
  return kOk;
}

int WavWriter::Finish() {
  if (!file_.IsOpen()) return kErrWrite;
  uint8_t pad = 0;
  uint32_t padBytes = static_cast<uint32_t>(dataBytes_ & 1);
  if (padBytes && file_.Write(&pad, 1) != kOk) return kErrWrite;
  // A plain PCM fmt chunk is 16 bytes; cbSize belongs only to other formats.
  uint8_t h[44];
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, static_cast<uint32_t>(36 + dataBytes_ + padBytes));
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, kTagPcm);
  Put16(h + 22, format_.nChannels);
  Put32(h + 24, format_.nSamplesPerSec);
  Put32(h + 28, format_.nAvgBytesPerSec);
  Put16(h + 32, format_.nBlockAlign);
  Put16(h + 34, format_.wBitsPerSample);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, static_cast<uint32_t>(dataBytes_));
  if (file_.WriteAt(0, h, sizeof h) != kOk) return kErrWrite;
  return file_.Commit();
}

int WavWriteFile(const std::wstring& path, const AudioFormat& format, const void* data, size_t size) {
  WavWriter w;
  int rc = w.Open(path, format);
  if (rc == kOk) rc = w.Append(data, size);
  if (rc == kOk) rc = w.Finish();
  return rc;
}
