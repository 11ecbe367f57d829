#pragma once
// The XML of track files (GPX, TCX) through expat: element starts with
// their attributes and element ends with the text they held, by local name
// (namespace prefixes dropped, as files spell them every way).
#include <string>
#include <string_view>

class XmlTrackHandler {
public:
  virtual ~XmlTrackHandler() = default;
  // False stops the parse (a root element of another kind of file).
  virtual bool start(std::string_view name, const char** attributes) = 0;
  // `text`: the characters since the element's start or the last end.
  virtual void end(std::string_view name, const std::string& text) = 0;
};

struct XmlParseResult {
  bool ok = true;       // well-formed to the end
  bool stopped = false; // the handler stopped it
  std::string error;    // expat's message
  int line = 0;
  // The encoding the declaration names when no converter knows it.
  std::string unknownEncoding;
};

// Text in an encoding expat does not know by itself is converted first.
XmlParseResult XmlParseTrack(std::string_view data, XmlTrackHandler& handler);
// An attribute by local name; empty when absent.
std::string_view XmlAttribute(const char** attributes, std::string_view localName);
