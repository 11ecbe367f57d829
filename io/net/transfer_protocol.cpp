#include "io/net/transfer_protocol.h"

#include <algorithm>
#include <cstring>

namespace {

uint64_t bigEndian(const std::string& bytes) {
  uint64_t value = 0;
  for (unsigned char c : bytes) value = (value << 8) | c;
  return value;
}

} // namespace

// Collects the bytes of a fixed-size field; true once it is whole.
bool PushParser::gather(const uint8_t*& data, size_t& size, size_t need) {
  size_t take = std::min(size, need - field_.size());
  field_.append(reinterpret_cast<const char*>(data), take);
  data += take;
  size -= take;
  return field_.size() == need;
}

bool PushParser::stop(const char* why) {
  fail(why);
  return false;
}

PushParser::State PushParser::fail(const char* why) {
  state_ = State::kFailed;
  if (error_.empty()) error_ = why;
  return state_;
}

PushParser::State PushParser::feed(const uint8_t* data, size_t size, PushSink& sink) {
  while (state_ == State::kRunning && size > 0) {
    if (step_ == Step::kDone) return fail("bytes after the end of the push");
    if (step_ == Step::kContent) {
      size_t take = static_cast<size_t>(std::min<uint64_t>(size, file_.size - fileReceived_));
      if (!sink.fileData(data, take)) return fail("the file could not be stored");
      fileReceived_ += take;
      data += take;
      size -= take;
      if (fileReceived_ == file_.size && !step(sink)) return state_;
      continue;
    }
    static constexpr size_t kFieldBytes[] = {kTransferMagicBytes, 1, 8, 1, 2, 0, 8};
    size_t need = step_ == Step::kName ? nameLength_ : kFieldBytes[static_cast<int>(step_)];
    if (gather(data, size, need) && !step(sink)) return state_;
  }
  return state_;
}

// Acts on a whole field (or the end of a file's content) and moves on.
bool PushParser::step(PushSink& sink) {
  std::string field;
  field.swap(field_);
  switch (step_) {
  case Step::kMagic:
    if (std::memcmp(field.data(), kPushMagic, kTransferMagicBytes) != 0) return stop("not a transfer");
    step_ = Step::kCount;
    return true;
  case Step::kCount:
    fileCount_ = static_cast<unsigned char>(field[0]);
    if (fileCount_ < 1 || fileCount_ > kPushMaxFiles) return stop("bad file count");
    step_ = Step::kTotal;
    return true;
  case Step::kTotal:
    totalLeft_ = bigEndian(field);
    if (!sink.pushBegin(fileCount_, totalLeft_)) return stop("refused");
    step_ = Step::kKind;
    return true;
  case Step::kKind: {
    char kind = field[0];
    bool video = kind == static_cast<char>(PushKind::kVideo);
    bool data = kind == static_cast<char>(PushKind::kData);
    if ((!video && !data) || (video && seenVideo_) || (data && seenData_)) return stop("bad file kind");
    (video ? seenVideo_ : seenData_) = true;
    file_ = PushFileHeader{};
    file_.kind = static_cast<PushKind>(kind);
    step_ = Step::kNameLength;
    return true;
  }
  case Step::kNameLength:
    nameLength_ = static_cast<size_t>(bigEndian(field));
    if (nameLength_ < 1 || nameLength_ > kPushNameMaxBytes) return stop("bad name length");
    step_ = Step::kName;
    return true;
  case Step::kName:
    file_.name = field;
    step_ = Step::kSize;
    return true;
  case Step::kSize:
    file_.size = bigEndian(field);
    if (file_.size > totalLeft_) return stop("file larger than the announced total");
    totalLeft_ -= file_.size;
    fileReceived_ = 0;
    if (!sink.fileBegin(file_)) return stop("the file could not be created");
    step_ = Step::kContent;
    if (file_.size > 0) return true;
    [[fallthrough]];
  case Step::kContent:
    if (!sink.fileEnd()) return stop("the file could not be stored");
    if (++filesDone_ < fileCount_) {
      step_ = Step::kKind;
      return true;
    }
    if (totalLeft_ != 0) return stop("files smaller than the announced total");
    step_ = Step::kDone;
    if (!sink.pushEnd()) return stop("the files could not be stored");
    state_ = State::kComplete;
    return true;
  case Step::kDone:
    break;
  }
  return stop("bytes after the end of the push");
}
