// Text helpers shared by the widgets: owned copies of texts that may be null,
// and reading a text as a number.
#pragma once

#include <cwchar>
#include <optional>
#include <string>

using GUIText = std::optional<std::wstring>;  // no value: null text

inline GUIText CopyText(const wchar_t* text) { return text ? GUIText(text) : std::nullopt; }

inline const wchar_t* TextOf(const GUIText& text) { return text ? text->c_str() : nullptr; }

// The leading part that forms a decimal number, 0 when there is none. Only
// decimal characters reach wcstod, which would also read hexadecimal, "inf"
// and "nan" (letters can be typed into a name box).
inline float TextToNumber(const std::wstring& text) {
  const std::wstring decimal = text.substr(0, text.find_first_not_of(L"0123456789.+-eE"));
  return static_cast<float>(std::wcstod(decimal.c_str(), nullptr));
}
