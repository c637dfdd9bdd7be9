// The text of a save file, apart from what it means: lines, the key and value
// of a line, and numbers written and read with a point whatever the locale.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

// Longest line the reader keeps; the rest of a longer line is skipped.
constexpr size_t kMaxSaveLineLength = 256;

// Calls `onLine` for every line of `file`. A line feed ends a line; one CR
// before it is dropped, so CR LF and bare LF files read alike. A longer line
// keeps its first kMaxSaveLineLength characters and the rest, up to its line
// feed, is skipped (never read as a line of its own). A last line without a
// line feed counts. NUL is an ordinary byte. False on a read error.
bool ReadSaveLines(std::FILE* file, const std::function<void(std::string_view)>& onLine);

// The key between '[' and ']' and the value after '=' (to the end, possibly
// empty). The last '[', ']' and '=' seen before all three have appeared count;
// the line is used only when '[' comes before ']', the key has at least one
// character and at least one character follows ']'. False for other lines.
bool ScanSaveLine(std::string_view line, std::string_view* key, std::string_view* value);

// The leading decimal integer after white space, with an optional sign,
// saturated to the int range; 0 when there is none.
int ParseSaveInt(std::string_view value);
// The leading decimal number after white space (digits with an optional point
// and exponent; no hexadecimal, "inf" or "nan"), clamped to the largest float
// either way; 0 when there is none.
float ParseSaveFloat(std::string_view value);

// "%i" and "%.3f", always with a point. A value beyond the float range is
// written as the largest float of its sign and NaN as 0, so the file reads back.
void AppendSaveInt(std::string* text, int value);
void AppendSaveFloat(std::string* text, float value);
