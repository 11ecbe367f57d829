#pragma once
// The one table of user texts for the engine's error and notice codes.

// The code's text, or null when the table has none.
const wchar_t* ErrorTableLookup(int code);
// Number of entries and the code of entry i (for checks over the table).
int ErrorTableSize();
int ErrorTableCode(int index);
