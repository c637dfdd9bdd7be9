// Replacing a file the user keeps without ever leaving it half-written.
#pragma once

#include <string>
#include <string_view>

// Where WriteFileSafely puts the text first: `path` with ".txt" replaced by
// ".tmp" (or ".tmp" added), in the same folder, so the rename stays on one file
// system and the "*.txt" list of saves never shows it.
std::string TemporaryFileName(std::string_view path);

// Creates `temporary` afresh for writing and returns its descriptor, or -1. A
// leftover of that name (or a link planted there) is removed first, so the
// exclusive create never writes through someone else's file.
int CreateTemporaryFile(const std::string& temporary);

// Writes `text` to the temporary name, checking every write, the sync and the
// close, then renames it over `path`. On any failure the temporary file is
// removed, the file at `path` is left byte for byte as it was, and the result is false.
bool WriteFileSafely(const char* path, std::string_view text);
