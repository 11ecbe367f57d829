#pragma once
// A small pull tokenizer for the XML of track files (GPX, TCX): elements,
// attributes and text, comments, CDATA, processing instructions and the
// five predefined entities plus numeric ones. No DTD, no namespaces beyond
// dropping the prefix. It never reads past the view and reports the line.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class XmlEvent { kStart, kEnd, kText, kDone, kError };

class XmlScanner {
public:
  explicit XmlScanner(std::string_view data) : data_(data) {}
  // Next event; a self-closing element gives kStart then kEnd.
  XmlEvent next();
  // Local name (prefix dropped) of the element of the last kStart/kEnd.
  const std::string& name() const { return name_; }
  // Attribute by local name, empty when absent.
  std::string attribute(std::string_view localName) const;
  // Decoded text of the last kText event.
  const std::string& text() const { return text_; }
  int line() const { return line_; }
  int depth() const { return depth_; }
  const std::string& error() const { return error_; }

private:
  XmlEvent fail(const char* message);
  bool skipUntil(std::string_view terminator);
  bool readTag(bool closing);
  void advance(size_t n);

  std::string_view data_;
  size_t pos_ = 0;
  int line_ = 1;
  int depth_ = 0;
  bool pendingEnd_ = false;
  std::string name_;
  std::string text_;
  std::string error_;
  std::vector<std::pair<std::string, std::string>> attributes_;
};

// Decodes entities of a text or attribute value.
std::string XmlDecode(std::string_view raw);
