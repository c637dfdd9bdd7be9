// Text helpers shared by the widgets: owned copies of texts that may be null,
// and reading a text as a number.
#pragma once

#include <cwchar>
#include <optional>
#include <string>

using GUIText = std::optional<std::wstring>;  // no value: null text

inline GUIText CopyText(const wchar_t* text) { return text ? GUIText(text) : std::nullopt; }

inline const wchar_t* TextOf(const GUIText& text) { return text ? text->c_str() : nullptr; }

// The leading part that forms a decimal number, 0 when there is none.
inline float TextToNumber(const std::wstring& text) { return static_cast<float>(std::wcstod(text.c_str(), nullptr)); }
