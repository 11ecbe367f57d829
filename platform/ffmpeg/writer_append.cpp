#include "platform/ffmpeg/writer_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/ffmpeg/mp4_boxes.h"

namespace {

constexpr size_t kCopyStep = 4 << 20;

class Fd {
public:
  Fd(const std::string& path, int flags) : fd_(open(path.c_str(), flags | O_CLOEXEC)) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

bool ReadAll(int fd, uint64_t at, void* into, size_t bytes) {
  auto* p = static_cast<uint8_t*>(into);
  while (bytes > 0) {
    const ssize_t n = pread(fd, p, bytes, static_cast<off_t>(at));
    if (n <= 0) return false;
    p += n, at += static_cast<uint64_t>(n), bytes -= static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, uint64_t at, const void* from, size_t bytes) {
  const auto* p = static_cast<const uint8_t*>(from);
  while (bytes > 0) {
    const ssize_t n = pwrite(fd, p, bytes, static_cast<off_t>(at));
    if (n <= 0) return false;
    p += n, at += static_cast<uint64_t>(n), bytes -= static_cast<size_t>(n);
  }
  return true;
}

// A top-level box of a file: where it starts, its header and whole size.
struct FileBox {
  uint32_t type = 0;
  uint64_t pos = 0, header = 0, size = 0;
  uint64_t payload() const { return pos + header; }
  uint64_t end() const { return pos + size; }
};

bool ScanFile(int fd, std::vector<FileBox>& boxes, uint64_t& fileSize) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  fileSize = static_cast<uint64_t>(st.st_size);
  for (uint64_t pos = 0; pos < fileSize;) {
    uint8_t head[16];
    if (fileSize - pos < 8 || !ReadAll(fd, pos, head, 8)) return false;
    FileBox box{Mp4Get32(head + 4), pos, 8, Mp4Get32(head)};
    if (box.size == 1) {
      if (fileSize - pos < 16 || !ReadAll(fd, pos + 8, head + 8, 8)) return false;
      box.header = 16;
      box.size = Mp4Get64(head + 8);
    } else if (box.size == 0) {
      box.size = fileSize - pos;
    }
    if (box.size < box.header || box.size > fileSize - pos) return false;
    boxes.push_back(box);
    pos += box.size;
  }
  return true;
}

const FileBox* FindFileBox(const std::vector<FileBox>& boxes, uint32_t type) {
  for (const FileBox& b : boxes)
    if (b.type == type) return &b;
  return nullptr;
}

bool ReadMovie(int fd, const FileBox& moov, Mp4Box& movie) {
  if (moov.size > (64u << 20)) return false; // an index that size is no writer's of ours
  std::vector<uint8_t> body(moov.size - moov.header);
  if (!ReadAll(fd, moov.payload(), body.data(), body.size())) return false;
  movie.type = Mp4Type("moov");
  movie.container = true;
  return Mp4Parse(body.data(), body.size(), movie.children);
}

// The sound track renumbered after the picture's, its chunks moved by shift
// bytes, and the movie's length and next number taken from both.
bool JoinTracks(Mp4Box& movie, const Mp4Box& soundMovie, int64_t shift, uint64_t oldStart, uint64_t oldEnd,
                std::string& reason) {
  Mp4Box* header = Mp4Find(movie, {"mvhd"});
  const Mp4Box* soundHeader = Mp4Find(soundMovie, {"mvhd"});
  const Mp4Box* soundTrack = Mp4Find(soundMovie, {"trak"});
  if (!header || !soundHeader || !soundTrack) return reason = "an index without its movie or track", false;
  Mp4MovieHeader picture, sound;
  if (!Mp4ReadMovieHeader(*header, picture) || !Mp4ReadMovieHeader(*soundHeader, sound) ||
      picture.timeScale != sound.timeScale)
    return reason = "indexes of different time scales", false;
  if (picture.duration == 0 || sound.duration == 0) return reason = "a temporary of no length", false;
  Mp4Box track = *soundTrack;
  const uint32_t id = picture.nextTrackId;
  if (!Mp4SetTrackId(track, id)) return reason = "a track without its header", false;
  if (!Mp4MoveChunks(track, shift, oldStart, oldEnd)) return reason = "sound chunks outside its media", false;
  picture.duration = std::max(picture.duration, sound.duration);
  picture.nextTrackId = id + 1;
  Mp4WriteMovieHeader(picture, *header);
  // The object descriptor names the tracks' profiles; it is optional, and
  // would name none for the sound.
  auto& kids = movie.children;
  kids.erase(std::remove_if(kids.begin(), kids.end(), [](const Mp4Box& b) { return b.type == Mp4Type("iods"); }),
             kids.end());
  auto lastTrack = std::find_if(kids.rbegin(), kids.rend(), [](const Mp4Box& b) { return b.type == Mp4Type("trak"); });
  kids.insert(lastTrack.base(), std::move(track));
  return true;
}

struct Plan {
  FileBox pictureIndex;       // the picture temporary's moov, its last box
  FileBox soundMedia;         // the sound temporary's mdat
  uint64_t pictureSize = 0;   // bytes of the picture temporary as written
  std::vector<uint8_t> mediaHeader, index;
};

bool MakePlan(int videoFd, int audioFd, Plan& plan, std::string& reason) {
  std::vector<FileBox> picture, sound;
  uint64_t soundSize = 0;
  if (!ScanFile(videoFd, picture, plan.pictureSize) || !ScanFile(audioFd, sound, soundSize))
    return reason = "a temporary of unknown layout", false;
  const FileBox* pictureIndex = FindFileBox(picture, Mp4Type("moov"));
  const FileBox* soundIndex = FindFileBox(sound, Mp4Type("moov"));
  const FileBox* soundMedia = FindFileBox(sound, Mp4Type("mdat"));
  if (!pictureIndex || pictureIndex->end() != plan.pictureSize || !soundIndex || !soundMedia)
    return reason = "a temporary without its index at the end", false;
  plan.pictureIndex = *pictureIndex;
  plan.soundMedia = *soundMedia;
  Mp4Box movie, soundMovie;
  if (!ReadMovie(videoFd, *pictureIndex, movie) || !ReadMovie(audioFd, *soundIndex, soundMovie))
    return reason = "an index that cannot be read", false;
  const uint64_t bytes = soundMedia->size - soundMedia->header;
  plan.mediaHeader = Mp4BoxHeader(Mp4Type("mdat"), bytes);
  const uint64_t newStart = plan.pictureSize + plan.mediaHeader.size();
  const int64_t shift = static_cast<int64_t>(newStart) - static_cast<int64_t>(soundMedia->payload());
  if (!JoinTracks(movie, soundMovie, shift, soundMedia->payload(), soundMedia->end(), reason)) return false;
  plan.index = Mp4Serialize(movie);
  return true;
}

bool CopySound(int audioFd, int videoFd, const Plan& plan, const std::atomic<bool>& cancel) {
  uint64_t at = plan.pictureSize;
  if (!WriteAll(videoFd, at, plan.mediaHeader.data(), plan.mediaHeader.size())) return false;
  at += plan.mediaHeader.size();
  std::vector<uint8_t> step(kCopyStep);
  for (uint64_t from = plan.soundMedia.payload(); from < plan.soundMedia.end();) {
    if (cancel.load()) return false;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kCopyStep, plan.soundMedia.end() - from));
    if (!ReadAll(audioFd, from, step.data(), n) || !WriteAll(videoFd, at, step.data(), n)) return false;
    from += n, at += n;
  }
  return WriteAll(videoFd, at, plan.index.data(), plan.index.size());
}

} // namespace

RemuxStatus AppendSoundInPlace(const std::string& videoPath, const std::string& audioPath,
                               const std::atomic<bool>& cancel, std::string& reason) {
  Fd video(videoPath, O_RDWR), audio(audioPath, O_RDONLY);
  if (video.get() < 0 || audio.get() < 0) return reason = std::strerror(errno), RemuxStatus::kFailed;
  Plan plan;
  if (!MakePlan(video.get(), audio.get(), plan, reason)) return RemuxStatus::kFailed;
  if (cancel.load()) return RemuxStatus::kCancelled;
  const uint64_t typeAt = plan.pictureIndex.pos + 4;
  bool done = CopySound(audio.get(), video.get(), plan, cancel);
  const int copyError = errno;
  // Retiring the old index last leaves the file as it was until then.
  done = done && WriteAll(video.get(), typeAt, "free", 4);
  if (done && !cancel.load()) return RemuxStatus::kCompleted;
  const int error = done ? 0 : copyError;
  if (!WriteAll(video.get(), typeAt, "moov", 4) || ftruncate(video.get(), static_cast<off_t>(plan.pictureSize)) != 0)
    reason = "the picture temporary could not be restored";
  else
    reason = cancel.load() ? "cancelled" : error != 0 ? std::strerror(error) : "a short write";
  return cancel.load() ? RemuxStatus::kCancelled : RemuxStatus::kFailed;
}
