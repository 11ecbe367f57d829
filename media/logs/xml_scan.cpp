#include "media/logs/xml_scan.h"

#include <cstdint>

namespace {

constexpr int kMaxDepth = 256;

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == ':' || c == '-' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string localName(std::string_view qualified) {
  size_t colon = qualified.rfind(':');
  return std::string(colon == std::string_view::npos ? qualified : qualified.substr(colon + 1));
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

} // namespace

std::string XmlDecode(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    size_t semi = raw.find(';', i);
    if (semi == std::string_view::npos || semi - i > 12) {
      out += '&';
      continue;
    }
    std::string_view entity = raw.substr(i + 1, semi - i - 1);
    if (entity == "lt")
      out += '<';
    else if (entity == "gt")
      out += '>';
    else if (entity == "amp")
      out += '&';
    else if (entity == "quot")
      out += '"';
    else if (entity == "apos")
      out += '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      bool hex = entity[1] == 'x' || entity[1] == 'X';
      uint32_t cp = 0;
      for (size_t k = hex ? 2 : 1; k < entity.size(); ++k) {
        char c = entity[k];
        int digit = (c >= '0' && c <= '9')              ? c - '0'
                    : hex && (c >= 'a' && c <= 'f')     ? c - 'a' + 10
                    : hex && (c >= 'A' && c <= 'F')     ? c - 'A' + 10
                                                        : -1;
        if (digit < 0 || cp > 0x10FFFF) {
          cp = 0xFFFD;
          break;
        }
        cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
      }
      appendUtf8(out, cp);
    } else {
      out += '&';
      continue;
    }
    i = semi;
  }
  return out;
}

void XmlScanner::advance(size_t n) {
  for (size_t k = 0; k < n && pos_ < data_.size(); ++k, ++pos_)
    if (data_[pos_] == '\n')
      ++line_;
}

XmlEvent XmlScanner::fail(const char* message) {
  error_ = message;
  pos_ = data_.size();
  return XmlEvent::kError;
}

bool XmlScanner::skipUntil(std::string_view terminator) {
  size_t end = data_.find(terminator, pos_);
  if (end == std::string_view::npos)
    return false;
  advance(end + terminator.size() - pos_);
  return true;
}

std::string XmlScanner::attribute(std::string_view wanted) const {
  for (const auto& [key, value] : attributes_)
    if (key == wanted)
      return value;
  return {};
}

bool XmlScanner::readTag(bool closing) {
  size_t start = pos_;
  while (pos_ < data_.size() && isNameChar(data_[pos_]))
    ++pos_;
  if (pos_ == start)
    return false;
  name_ = localName(data_.substr(start, pos_ - start));
  attributes_.clear();
  while (pos_ < data_.size()) {
    while (pos_ < data_.size() && isSpace(data_[pos_]))
      advance(1);
    if (pos_ >= data_.size())
      return false;
    char c = data_[pos_];
    if (c == '>') {
      advance(1);
      return true;
    }
    if (c == '/' && !closing && pos_ + 1 < data_.size() && data_[pos_ + 1] == '>') {
      advance(2);
      pendingEnd_ = true;
      return true;
    }
    if (closing)
      return false;
    size_t keyStart = pos_;
    while (pos_ < data_.size() && isNameChar(data_[pos_]))
      ++pos_;
    if (pos_ == keyStart)
      return false;
    std::string key = localName(data_.substr(keyStart, pos_ - keyStart));
    while (pos_ < data_.size() && isSpace(data_[pos_]))
      advance(1);
    if (pos_ >= data_.size() || data_[pos_] != '=')
      return false;
    advance(1);
    while (pos_ < data_.size() && isSpace(data_[pos_]))
      advance(1);
    if (pos_ >= data_.size() || (data_[pos_] != '"' && data_[pos_] != '\''))
      return false;
    char quote = data_[pos_];
    size_t valueEnd = data_.find(quote, pos_ + 1);
    if (valueEnd == std::string_view::npos)
      return false;
    if (attributes_.size() < 64)
      attributes_.emplace_back(key, XmlDecode(data_.substr(pos_ + 1, valueEnd - pos_ - 1)));
    advance(valueEnd + 1 - pos_);
  }
  return false;
}

XmlEvent XmlScanner::next() {
  if (pendingEnd_) {
    pendingEnd_ = false;
    --depth_;
    return XmlEvent::kEnd;
  }
  while (pos_ < data_.size()) {
    if (data_[pos_] != '<') {
      size_t end = data_.find('<', pos_);
      if (end == std::string_view::npos)
        end = data_.size();
      std::string_view raw = data_.substr(pos_, end - pos_);
      advance(end - pos_);
      if (depth_ > 0) {
        text_ = XmlDecode(raw);
        return XmlEvent::kText;
      }
      continue;
    }
    std::string_view rest = data_.substr(pos_);
    if (rest.substr(0, 4) == "<!--") {
      if (!skipUntil("-->"))
        return fail("unterminated comment");
    } else if (rest.substr(0, 9) == "<![CDATA[") {
      advance(9);
      size_t end = data_.find("]]>", pos_);
      if (end == std::string_view::npos)
        return fail("unterminated CDATA section");
      text_ = std::string(data_.substr(pos_, end - pos_));
      advance(end + 3 - pos_);
      return XmlEvent::kText;
    } else if (rest.substr(0, 2) == "<?") {
      if (!skipUntil("?>"))
        return fail("unterminated processing instruction");
    } else if (rest.substr(0, 2) == "<!") {
      if (!skipUntil(">"))
        return fail("unterminated declaration");
    } else if (rest.substr(0, 2) == "</") {
      advance(2);
      if (!readTag(true))
        return fail("malformed end tag");
      if (depth_ <= 0)
        return fail("end tag without start tag");
      --depth_;
      return XmlEvent::kEnd;
    } else {
      advance(1);
      if (!readTag(false))
        return fail("malformed start tag");
      if (++depth_ > kMaxDepth)
        return fail("elements nested too deeply");
      return XmlEvent::kStart;
    }
  }
  return depth_ == 0 ? XmlEvent::kDone : fail("file ends inside an element");
}
