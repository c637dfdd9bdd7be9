#include "platform/Utf8.h"

namespace platform {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Length of the sequence a lead byte starts and the smallest code point it may
// encode (longer forms are overlong); 0 for a byte that cannot lead.
int SequenceLength(unsigned char lead, char32_t* minimum) {
  struct Form {
    unsigned char mask, value;
    int length;
    char32_t minimum;
  };
  constexpr Form kForms[] = {{0x80, 0x00, 1, 0}, {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
  for (const Form& form : kForms) {
    if ((lead & form.mask) == form.value) {
      *minimum = form.minimum;
      return form.length;
    }
  }
  return 0;
}

// The code point at `bytes`, advancing past it; false for a malformed sequence.
bool DecodeOne(const unsigned char*& bytes, char32_t* c) {
  char32_t minimum = 0;
  const int length = SequenceLength(*bytes, &minimum);
  if (length == 0) return false;
  *c = length == 1 ? *bytes : *bytes & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((bytes[i] & 0xC0) != 0x80) return false;  // also stops at the terminator
    *c = (*c << 6) | (bytes[i] & 0x3F);
  }
  bytes += length;
  return *c >= minimum && *c <= 0x10FFFF && !(*c >= 0xD800 && *c <= 0xDFFF);
}

}  // namespace

bool WideFromUtf8(const char* text, std::wstring* out) {
  if (out == nullptr) return false;
  out->clear();
  if (text == nullptr) return true;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  while (*bytes != 0) {
    char32_t c = 0;
    if (!DecodeOne(bytes, &c)) {
      out->clear();
      return false;
    }
    out->push_back(static_cast<wchar_t>(c));
  }
  return true;
}

std::string Utf8FromWide(const wchar_t* text) {
  std::string out;
  if (!text) return out;
  for (; *text; ++text) AppendUtf8(out, static_cast<char32_t>(*text));
  return out;
}

}  // namespace platform
