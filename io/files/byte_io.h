#pragma once
// Little-endian byte building and bounded reading for the engine's binary
// files. The reader never reads past its end: a short read clears ok() and
// every later read fails too, so a parser can check once per record.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class ByteWriter {
public:
  void u8(uint8_t v) { bytes_.push_back(v); }
  void u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof(bits));
    u32(bits);
  }
  void raw(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (size != 0) bytes_.insert(bytes_.end(), p, p + size);
  }
  // A u32 length followed by the bytes.
  void block(const std::vector<uint8_t>& data) {
    u32(static_cast<uint32_t>(data.size()));
    raw(data.data(), data.size());
  }
  void patchU32(size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  size_t size() const { return bytes_.size(); }
  std::vector<uint8_t>& bytes() { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
};

class ByteReader {
public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
  const uint8_t* here() const { return data_ + pos_; }

  bool raw(void* out, size_t n) {
    if (!take(n)) return false;
    if (n != 0) std::memcpy(out, data_ + pos_ - n, n);
    return true;
  }
  bool skip(size_t n) { return take(n); }
  bool u8(uint8_t& v) { return raw(&v, 1); }
  bool u32(uint32_t& v) {
    uint8_t b[4];
    if (!raw(b, 4)) return false;
    v = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
        static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    return true;
  }
  bool f32(float& v) {
    uint32_t bits;
    if (!u32(bits)) return false;
    std::memcpy(&v, &bits, sizeof(v));
    return true;
  }
  // A u32 length (at most maxSize, and no more than what is left) and the bytes.
  bool block(std::vector<uint8_t>& out, size_t maxSize) {
    uint32_t n;
    if (!u32(n)) return false;
    if (n > maxSize || n > remaining()) return fail();
    out.assign(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return true;
  }
  bool fail() {
    ok_ = false;
    return false;
  }

private:
  bool take(size_t n) {
    if (!ok_ || n > size_ - pos_) return fail();
    pos_ += n;
    return true;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};
