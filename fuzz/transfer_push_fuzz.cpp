// The transfer push framing on arbitrary bytes, fed in pieces whose sizes
// the input also chooses: it refuses or completes, never crashes, and never
// hands the sink more content than the sender announced.
#include <cstdint>
#include <cstdlib>

#include "io/net/transfer_protocol.h"

namespace {

class CheckingSink : public PushSink {
public:
  bool pushBegin(int fileCount, uint64_t totalBytes) override {
    if (fileCount < 1 || fileCount > kPushMaxFiles) std::abort();
    total_ = totalBytes;
    return true;
  }
  bool fileBegin(const PushFileHeader& file) override {
    if (file.name.empty() || file.name.size() > kPushNameMaxBytes || open_) std::abort();
    size_ = file.size;
    got_ = 0;
    open_ = true;
    return true;
  }
  bool fileData(const uint8_t*, size_t size) override {
    if (!open_) std::abort();
    got_ += size;
    all_ += size;
    if (got_ > size_ || all_ > total_) std::abort();
    return true;
  }
  bool fileEnd() override {
    if (!open_ || got_ != size_) std::abort();
    open_ = false;
    return true;
  }
  bool pushEnd() override {
    if (open_ || all_ != total_) std::abort();
    return true;
  }

private:
  uint64_t total_ = 0;
  uint64_t size_ = 0;
  uint64_t got_ = 0;
  uint64_t all_ = 0;
  bool open_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 17;
  ++data;
  --size;
  CheckingSink sink;
  PushParser parser;
  while (size > 0 && parser.state() == PushParser::State::kRunning) {
    size_t take = piece < size ? piece : size;
    parser.feed(data, take, sink);
    data += take;
    size -= take;
  }
  return 0;
}
