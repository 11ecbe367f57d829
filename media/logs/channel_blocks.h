#pragma once
// Engine-logger exports name their columns in a preamble of "Key : value"
// lines instead of a names row: one "Channel : RPM" line per column, or a
// block of lines per column ("Channel", "ID", "Type", "DisplayMaxMin").
// The block's type says what the raw integers of its column mean.
#include <string>
#include <string_view>
#include <vector>

#include "media/datalog/datalog_record.h"
#include "media/logs/log_reader.h"

struct ChannelBlock {
  std::string name;
  std::string type;    // empty when the block has none
  double displayMax = 0; // 0 when the block has no display range
};

// The blocks among the lines before `end` whose count is `count`: a key
// that starts a block once per column, the lines after it up to the next
// such key adding to its block. Empty when no key fits.
std::vector<ChannelBlock> FindChannelBlocks(const std::vector<std::string_view>& lines, size_t end,
                                            size_t count);

// What a block's type makes of the raw integers: their unit and the
// factor into it. A speed whose display range is ten times a speed's
// real range is written in tenths, and so on.
struct ChannelScale {
  bool known = false; // false: the type is none the reader knows
  std::string unit;
  double factor = 1;
};
ChannelScale ChannelBlockScale(const ChannelBlock& block);

// Gives each column its block's type (for recognition) and turns raw
// values into the type's unit; columns of a type without a known scale
// keep their values, named once in the status.
void ApplyChannelBlocks(const std::vector<ChannelBlock>& blocks, DataloggerRecord& record,
                        LogReadStatus& status);
