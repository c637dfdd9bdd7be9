// Wide strings (UTF-32 wchar_t here) to UTF-8 for file paths and messages.
#pragma once

#include <string>

namespace platform {

// Invalid code points become U+FFFD.
std::string Utf8FromWide(const wchar_t* text);

// UTF-8 to wide. False (and `out` cleared) for bytes that are not well-formed
// UTF-8: overlong forms, surrogates, code points past U+10FFFF, cut sequences.
bool WideFromUtf8(const char* text, std::wstring* out);

}  // namespace platform
