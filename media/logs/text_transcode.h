#pragma once
// Track files in the character set their XML declaration names, for the
// sets expat does not read by itself (Windows-1252 and the other code
// pages of lap-timer and mapping apps): converted to UTF-8 through iconv,
// a piece at a time, so a large file is never held twice.
#include <cstddef>
#include <string>
#include <string_view>

// The encoding an XML declaration at the start of `head` names; empty
// when there is no declaration or it names none.
std::string XmlDeclaredEncoding(std::string_view head);
// Whether expat reads text in this encoding without help.
bool ExpatKnowsEncoding(std::string_view name);
// Whether the name is one of UTF-16's (text the log layer has already
// turned into UTF-8 before the XML parser sees it).
bool IsUtf16EncodingName(std::string_view name);

class TextTranscoder {
public:
  TextTranscoder(const std::string& charset, std::string_view input);
  ~TextTranscoder();
  TextTranscoder(const TextTranscoder&) = delete;
  TextTranscoder& operator=(const TextTranscoder&) = delete;

  // False when no converter knows the character set.
  bool known() const { return handle_ != nullptr; }
  // The next piece of UTF-8 (about `limit` bytes at most) into `out`;
  // false once the input is used up. Bytes that are no character of the
  // set become U+FFFD.
  bool next(std::string& out, size_t limit);
  size_t replaced() const { return replaced_; }

private:
  void* handle_ = nullptr;
  const char* in_;
  size_t left_;
  size_t replaced_ = 0;
};
