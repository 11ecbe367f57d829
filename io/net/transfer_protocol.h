#pragma once
// The local-network transfer as a phone (or another computer) speaks it.
// All numbers are big-endian.
//
// Discovery, UDP: the sender sends the 6 bytes "QVTA1Q" (usually as a
// broadcast); the receiver answers to the sender's address with "QVTA1R",
// then the TCP port it listens on (2 bytes), then this computer's name
// (UTF-8, at most 64 bytes, no terminator). Senders that only look at the
// first 6 bytes still find us.
//
// Push, TCP, one transfer per connection:
//   sender    "QVTA1P"          6 bytes
//             file count        1 byte, 1 or 2
//             total size        8 bytes, the sum of the file sizes
//   receiver  'A'               accepted; or 'R' and a reason byte (kPushRefuse...),
//                               then it closes
//   sender, once per file:
//             kind              1 byte, 'V' video or 'D' data log, each at most once
//             name length       2 bytes, 1 to 255
//             name              UTF-8; only a cleaned last path component is used
//             size              8 bytes; all sizes together are the announced total
//             content           size bytes
//   receiver  'K'               every file is stored; then it closes
// A connection that ends before 'K' leaves nothing behind.
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr char kDiscoveryQuery[] = "QVTA1Q";
inline constexpr char kDiscoveryReply[] = "QVTA1R";
inline constexpr char kPushMagic[] = "QVTA1P";
inline constexpr size_t kTransferMagicBytes = 6;
inline constexpr size_t kDiscoveryNameMaxBytes = 64;
inline constexpr size_t kPushNameMaxBytes = 255;
inline constexpr int kPushMaxFiles = 2;

inline constexpr char kPushAccept = 'A';
inline constexpr char kPushRefuse = 'R';
inline constexpr char kPushStored = 'K';
inline constexpr uint8_t kPushRefuseNoSpace = 1;
inline constexpr uint8_t kPushRefuseBadRequest = 2;

enum class PushKind : uint8_t { kVideo = 'V', kData = 'D' };

struct PushFileHeader {
  PushKind kind = PushKind::kVideo;
  std::string name; // as sent: not yet safe to use as a file name
  uint64_t size = 0;
};

// What the receiver does with a push; each returns false to stop it.
class PushSink {
public:
  virtual ~PushSink() = default;
  virtual bool pushBegin(int fileCount, uint64_t totalBytes) = 0;
  virtual bool fileBegin(const PushFileHeader& file) = 0;
  virtual bool fileData(const uint8_t* data, size_t size) = 0;
  virtual bool fileEnd() = 0;
  virtual bool pushEnd() = 0;
};

// Takes the sender's bytes in whatever pieces they arrive and calls the
// sink in order. Every field is checked before use: a sender can neither
// announce more than its total nor make us hold more than one name.
class PushParser {
public:
  enum class State { kRunning, kComplete, kFailed };

  State feed(const uint8_t* data, size_t size, PushSink& sink);
  State state() const { return state_; }
  // Why the push failed (framing or the sink's refusal); empty otherwise.
  const std::string& error() const { return error_; }
  // Bytes of the current file's content received so far, and its size.
  uint64_t fileReceived() const { return fileReceived_; }
  uint64_t fileSize() const { return file_.size; }

private:
  enum class Step { kMagic, kCount, kTotal, kKind, kNameLength, kName, kSize, kContent, kDone };

  bool gather(const uint8_t*& data, size_t& size, size_t need);
  bool step(PushSink& sink);
  State fail(const char* why);
  bool stop(const char* why); // fail, as a step's result

  State state_ = State::kRunning;
  Step step_ = Step::kMagic;
  std::string field_;
  std::string error_;
  int fileCount_ = 0;
  int filesDone_ = 0;
  bool seenVideo_ = false;
  bool seenData_ = false;
  uint64_t totalLeft_ = 0;
  uint64_t fileReceived_ = 0;
  size_t nameLength_ = 0;
  PushFileHeader file_;
};
