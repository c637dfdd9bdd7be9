#include "base/cException.h"

#include <cwchar>

cException::cException(const wchar_t* text) {
  if (text == nullptr) text = L"Unknown exception. Closing Application";
  std::wcsncpy(message, text, sizeof(message) / sizeof(message[0]) - 1);
  message[sizeof(message) / sizeof(message[0]) - 1] = L'\0';
}
