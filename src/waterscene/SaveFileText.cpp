#include "waterscene/SaveFileText.h"

#include <locale.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>  // strtof_l

namespace {

// The C locale's white space, whatever the process locale says.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

size_t CountDigits(std::string_view text, size_t from) {
  size_t i = from;
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i - from;
}

// Length of the decimal number at the start of `text` (sign, digits, optional
// point and digits, optional exponent); 0 when it holds no digit before the exponent.
size_t DecimalNumberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = CountDigits(text, i);
  i += digits;
  if (i < text.size() && text[i] == '.') {
    const size_t fraction = CountDigits(text, i + 1);
    digits += fraction;
    i += 1 + fraction;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const size_t exponent = CountDigits(text, j);
    if (exponent > 0) i = j + exponent;
  }
  return i;
}

locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

// The kept characters of a finished line: one CR before the line feed goes,
// then the line is cut to its longest.
std::string_view FinishLine(const char* buffer, size_t length, bool overflowed) {
  if (!overflowed && length > 0 && buffer[length - 1] == '\r') --length;
  return std::string_view(buffer, std::min(length, kMaxSaveLineLength));
}

}  // namespace

bool ReadSaveLines(std::FILE* file, const std::function<void(std::string_view)>& onLine) {
  char buffer[kMaxSaveLineLength + 1];  // one more for the CR of a line of the longest length
  size_t length = 0;
  bool overflowed = false;
  bool started = false;
  for (int c = std::getc(file); c != EOF; c = std::getc(file)) {
    if (c == '\n') {
      onLine(FinishLine(buffer, length, overflowed));
      length = 0;
      overflowed = false;
      started = false;
      continue;
    }
    started = true;
    if (length < sizeof buffer) {
      buffer[length++] = static_cast<char>(c);
    } else {
      overflowed = true;
    }
  }
  if (std::ferror(file)) return false;
  if (started) onLine(FinishLine(buffer, length, overflowed));
  return true;
}

bool ScanSaveLine(std::string_view line, std::string_view* key, std::string_view* value) {
  size_t open = std::string_view::npos, close = std::string_view::npos, equals = std::string_view::npos;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '[') open = i;
    if (line[i] == ']') close = i;
    if (line[i] == '=') equals = i;
    if (open != std::string_view::npos && close != std::string_view::npos && equals != std::string_view::npos) break;
  }
  if (open == std::string_view::npos || close == std::string_view::npos || equals == std::string_view::npos) {
    return false;
  }
  if (close <= open + 1 || close + 1 >= line.size()) return false;
  *key = line.substr(open + 1, close - open - 1);
  *value = line.substr(equals + 1);
  return true;
}

int ParseSaveInt(std::string_view value) {
  std::string_view text = SkipBlanks(value);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // Accumulate the magnitude, stopping just past what an int can hold.
  const int64_t limit = static_cast<int64_t>(INT_MAX) + 1;
  int64_t magnitude = 0;
  for (size_t i = 0; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = std::min(limit, magnitude * 10 + (text[i] - '0'));
  }
  if (negative) return static_cast<int>(-magnitude);
  return static_cast<int>(std::min<int64_t>(magnitude, INT_MAX));
}

float ParseSaveFloat(std::string_view value) {
  const std::string_view text = SkipBlanks(value);
  const size_t length = DecimalNumberLength(text);
  if (length == 0) return 0.0f;
  const std::string number(text.substr(0, length));
  const float parsed = strtof_l(number.c_str(), nullptr, CLocale());
  return std::clamp(parsed, -FLT_MAX, FLT_MAX);
}

void AppendSaveInt(std::string* text, int value) {
  char digits[16];
  const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
  text->append(digits, result.ptr);
}

void AppendSaveFloat(std::string* text, float value) {
  if (std::isnan(value)) value = 0.0f;
  value = std::clamp(value, -FLT_MAX, FLT_MAX);
  // The largest float has 39 integer digits.
  char digits[64];
  const std::to_chars_result result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3);
  text->append(digits, result.ptr);
}
