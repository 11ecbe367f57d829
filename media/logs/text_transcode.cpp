#include "media/logs/text_transcode.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "media/logs/text_scan.h"

namespace {

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);
constexpr char kReplacement[] = "\xEF\xBF\xBD"; // U+FFFD

} // namespace

std::string XmlDeclaredEncoding(std::string_view head) {
  if (head.substr(0, 5) != "<?xml")
    return {};
  std::string_view decl = head.substr(0, std::min(head.find("?>"), size_t(512)));
  size_t key = decl.find("encoding");
  if (key == std::string_view::npos)
    return {};
  size_t eq = decl.find('=', key + 8);
  if (eq == std::string_view::npos || !TrimBlanks(decl.substr(key + 8, eq - key - 8)).empty())
    return {};
  size_t open = decl.find_first_of("\"'", eq + 1);
  if (open == std::string_view::npos || !TrimBlanks(decl.substr(eq + 1, open - eq - 1)).empty())
    return {};
  size_t close = decl.find(decl[open], open + 1);
  if (close == std::string_view::npos)
    return {};
  return std::string(TrimBlanks(decl.substr(open + 1, close - open - 1)));
}

bool ExpatKnowsEncoding(std::string_view name) {
  std::string lower = LowerAscii(name);
  return lower == "utf-8" || lower == "iso-8859-1" || lower == "us-ascii" || IsUtf16EncodingName(name);
}

bool IsUtf16EncodingName(std::string_view name) {
  std::string lower = LowerAscii(name);
  return lower == "utf-16" || lower == "utf-16le" || lower == "utf-16be";
}

TextTranscoder::TextTranscoder(const std::string& charset, std::string_view input)
    : in_(input.data()), left_(input.size()) {
  // A name as character sets are spelt; no "//" options or paths from a file.
  bool plain = !charset.empty() && charset.size() <= 40 && std::all_of(charset.begin(), charset.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' || c == ':';
  });
  if (!plain)
    return;
  iconv_t handle = iconv_open("UTF-8", charset.c_str());
  if (handle != kNoHandle)
    handle_ = handle;
}

TextTranscoder::~TextTranscoder() {
  if (handle_)
    iconv_close(static_cast<iconv_t>(handle_));
}

bool TextTranscoder::next(std::string& out, size_t limit) {
  out.clear();
  if (!handle_ || left_ == 0)
    return false;
  limit = std::max<size_t>(limit, 64);
  out.resize(limit);
  char* to = out.data();
  size_t room = limit;
  // Stops with room for one more character; what does not fit waits for
  // the next piece.
  while (left_ > 0 && room >= 8) {
    char* from = const_cast<char*>(in_);
    size_t before = room;
    size_t done = iconv(static_cast<iconv_t>(handle_), &from, &left_, &to, &room);
    in_ = from;
    if (done != static_cast<size_t>(-1))
      break;
    if (errno == E2BIG && room < before)
      continue;
    if (errno == E2BIG)
      break;
    // A byte that is no character here (EILSEQ) or a sequence cut by the
    // end of the file (EINVAL).
    std::copy(kReplacement, kReplacement + 3, to);
    to += 3;
    room -= 3;
    size_t skip = errno == EINVAL ? left_ : 1;
    in_ += skip;
    left_ -= skip;
    ++replaced_;
  }
  out.resize(static_cast<size_t>(to - out.data()));
  return !out.empty();
}
