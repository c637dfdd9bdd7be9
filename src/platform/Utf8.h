// Wide strings (UTF-32 wchar_t here) to UTF-8 for file paths and messages.
#pragma once

#include <string>

namespace platform {

// Invalid code points become U+FFFD.
std::string Utf8FromWide(const wchar_t* text);

}  // namespace platform
