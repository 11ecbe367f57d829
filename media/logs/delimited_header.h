#pragma once
// Where the table of a delimited text log starts and what its columns are
// called. Above the rows of values loggers write a block of their own:
// key/value lines (session, sample rate, beacon markers), the names row
// (sometimes twice), a units row, a row of sources telling same-named
// columns apart, a row numbering the columns, or, in engine-logger
// exports, a block of "Channel : <name>" lines per column.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "media/logs/channel_blocks.h"

struct DelimitedLayout {
  char delimiter = 0;
  bool decimalComma = false;
  size_t firstData = 0; // line of the first row of values
  size_t columns = 0;   // cells per row, a trailing empty one left out
  bool named = false;   // the names came from the file
  std::vector<std::string> names;
  // Key/value lines above the table: lower-case key, then its values.
  std::map<std::string, std::vector<std::string>> metadata;
  // Per column, the preamble block that named it (empty when none did).
  std::vector<ChannelBlock> blocks;
};

// False when the lines hold no rows of values.
bool FindDelimitedLayout(const std::vector<std::string_view>& lines, DelimitedLayout& layout);
