#include "media/logs/channel_blocks.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "media/logs/delimited_cells.h"
#include "media/logs/text_scan.h"

namespace {

struct KeyLine {
  size_t line;
  std::string key; // lower case, "Channel 3" as "channel"
  std::string value;
};

// "Channel : RPM" or "Name = RPM"; false for any other line.
bool keyLine(std::string_view text, size_t line, KeyLine& out) {
  text = TrimBlanks(text);
  size_t sep = text.find_first_of(":=");
  if (sep == std::string_view::npos)
    return false;
  std::string key = LowerAscii(TrimBlanks(text.substr(0, sep)));
  while (!key.empty() && ((key.back() >= '0' && key.back() <= '9') || key.back() == ' '))
    key.pop_back(); // "Channel 3 :"
  bool usable = !key.empty() && key.size() <= 16 && std::all_of(key.begin(), key.end(), [](char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == ' ';
  });
  std::string value = usable ? Unquote(text.substr(sep + 1)) : std::string();
  if (value.empty())
    return false;
  out = {line, key, value};
  return true;
}

// The key that starts every block: of the keys written `count` times, the
// one that comes first. A single column takes only a key that names
// channels ("Date : ..." names none).
std::string blockKey(const std::vector<KeyLine>& keys, size_t count) {
  std::map<std::string, size_t> seen;
  for (const KeyLine& k : keys)
    ++seen[k.key];
  for (const KeyLine& k : keys)
    if (seen[k.key] == count && (count > 1 || k.key == "channel" || k.key == "name"))
      return k.key;
  return {};
}

struct TypeUnit {
  const char* type; // lower case, without blanks or underscores
  const char* unit;
  double realMax; // the largest real value; 0 = a fixed factor
  double factor;
};

// Types engine loggers give their channels, with the unit of the value
// and how far it reaches.
const TypeUnit kTypes[] = {
    {"enginespeed", "rpm", 30000, 1},  {"rpm", "rpm", 30000, 1},
    {"speed", "km/h", 500, 1},         {"vehiclespeed", "km/h", 500, 1},
    {"wheelspeed", "km/h", 500, 1},    {"groundspeed", "km/h", 500, 1},
    {"pressure", "kPa", 1000, 1},      {"percentage", "%", 100, 1},
    {"percent", "%", 100, 1},          {"throttle", "%", 100, 1},
    {"throttleposition", "%", 100, 1}, {"angle", "deg", 360, 1},
    {"time", "ms", 0, 0.001},          {"timeus", "ms", 0, 0.001},
    {"microseconds", "ms", 0, 0.001},  {"pulsewidth", "ms", 0, 0.001},
};

std::string squashed(std::string_view text) {
  std::string out;
  for (char c : text)
    if (std::isalnum(static_cast<unsigned char>(c)))
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

} // namespace

std::vector<ChannelBlock> FindChannelBlocks(const std::vector<std::string_view>& lines, size_t end,
                                            size_t count) {
  std::vector<KeyLine> keys;
  KeyLine k;
  for (size_t i = 0; i < end && i < lines.size(); ++i)
    if (keyLine(lines[i], i, k))
      keys.push_back(k);
  std::string start = count > 0 ? blockKey(keys, count) : std::string();
  std::vector<ChannelBlock> blocks;
  if (start.empty())
    return blocks;
  size_t lastLine = 0;
  for (const KeyLine& key : keys) {
    if (key.key == start) {
      blocks.push_back({key.value, {}, 0});
    } else if (!blocks.empty() && key.line == lastLine + 1) { // the block's own lines
      if (key.key == "type")
        blocks.back().type = key.value;
      else if (key.key == "displaymaxmin" || key.key == "display max min" || key.key == "range")
        ParseNumber(SplitCells(key.value, ',', 2).front(), blocks.back().displayMax);
    } else {
      continue;
    }
    lastLine = key.line;
  }
  return blocks;
}

ChannelScale ChannelBlockScale(const ChannelBlock& block) {
  std::string type = squashed(block.type);
  for (const TypeUnit& t : kTypes) {
    if (type != t.type)
      continue;
    ChannelScale scale{true, t.unit, t.factor};
    // A display range well beyond the real one: values in tenths,
    // hundredths...
    for (int k = 0; t.realMax > 0 && k < 6 && block.displayMax * scale.factor > t.realMax * 1.5; ++k)
      scale.factor /= 10;
    return scale;
  }
  return {};
}

void ApplyChannelBlocks(const std::vector<ChannelBlock>& blocks, DataloggerRecord& record,
                        LogReadStatus& status) {
  std::string unknown;
  for (size_t c = 0; c < blocks.size() && c < record.columns.size(); ++c) {
    if (blocks[c].type.empty())
      continue;
    record.fieldTypes.resize(record.fieldNames.size());
    record.fieldTypes[c] = blocks[c].type;
    ChannelScale scale = ChannelBlockScale(blocks[c]);
    if (!scale.known)
      unknown += (unknown.empty() ? "" : ", ") + record.fieldNames[c] + " (" + blocks[c].type + ")";
    else if (scale.factor != 1)
      for (double& v : record.columns[c])
        v *= scale.factor;
  }
  if (!unknown.empty())
    status.warn("channels of a type without a known scale kept as written: " + unknown);
}
