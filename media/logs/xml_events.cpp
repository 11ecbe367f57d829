#include "media/logs/xml_events.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

#include <expat.h>

#include "media/logs/text_transcode.h"

namespace {

std::string_view localName(const char* name) {
  std::string_view n(name);
  size_t colon = n.rfind(':');
  return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

struct Context {
  XML_Parser parser;
  XmlTrackHandler& handler;
  std::string text;
  bool stopped = false;
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto* c = static_cast<Context*>(data);
  c->text.clear();
  if (!c->handler.start(localName(name), attributes)) {
    c->stopped = true;
    XML_StopParser(c->parser, XML_FALSE);
  }
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
  auto* c = static_cast<Context*>(data);
  c->handler.end(localName(name), c->text);
  c->text.clear();
}

void XMLCALL onText(void* data, const XML_Char* text, int length) {
  auto* c = static_cast<Context*>(data);
  if (c->text.size() < 4096) // values are short; whitespace between elements is not kept
    c->text.append(text, static_cast<size_t>(std::min(length, 4096)));
}

} // namespace

XmlParseResult XmlParseTrack(std::string_view data, XmlTrackHandler& handler) {
  XmlParseResult result;
  std::string charset = XmlDeclaredEncoding(data.substr(0, 1024));
  bool transcode = !charset.empty() && !ExpatKnowsEncoding(charset);
  std::optional<TextTranscoder> transcoder;
  if (transcode)
    transcoder.emplace(charset, data);
  if (transcode && !transcoder->known()) {
    result.ok = false;
    result.unknownEncoding = charset;
    result.error = "unknown encoding";
    result.line = 1;
    return result;
  }
  // UTF-16 text reaches here as UTF-8 already, whatever its declaration says.
  bool utf8 = transcode || IsUtf16EncodingName(charset);
  std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
      XML_ParserCreate(utf8 ? "UTF-8" : nullptr), &XML_ParserFree);
  if (!parser) {
    result.ok = false;
    result.error = "out of memory";
    return result;
  }
  Context context{parser.get(), handler, {}};
  XML_SetUserData(parser.get(), &context);
  XML_SetElementHandler(parser.get(), onStart, onEnd);
  XML_SetCharacterDataHandler(parser.get(), onText);
  auto feed = [&](const char* bytes, size_t n, bool last) {
    if (XML_Parse(parser.get(), bytes, static_cast<int>(n), last) != XML_STATUS_ERROR)
      return true;
    result.stopped = context.stopped;
    result.ok = false;
    result.error = XML_ErrorString(XML_GetErrorCode(parser.get()));
    result.line = static_cast<int>(XML_GetCurrentLineNumber(parser.get()));
    return false;
  };
  constexpr size_t kChunk = size_t(1) << 24;
  if (transcode) {
    std::string piece;
    while (transcoder->next(piece, kChunk))
      if (!feed(piece.data(), piece.size(), false))
        return result;
    feed(nullptr, 0, true);
    return result;
  }
  size_t pos = 0;
  do {
    size_t n = std::min(kChunk, data.size() - pos);
    if (!feed(data.data() + pos, n, pos + n == data.size()))
      return result;
    pos += n;
  } while (pos < data.size());
  return result;
}

std::string_view XmlAttribute(const char** attributes, std::string_view name) {
  for (size_t i = 0; attributes && attributes[i] && attributes[i + 1]; i += 2)
    if (localName(attributes[i]) == name)
      return attributes[i + 1];
  return {};
}
