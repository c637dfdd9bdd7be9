// The program's only exception: thrown at start-up when Direct3D cannot be used.
#pragma once

class cException {
 public:
  // Longer messages are cut to fit the buffer; null gives a generic message.
  explicit cException(const wchar_t* message);
  const wchar_t* GetMessage() const { return message; }

 private:
  wchar_t message[255];
};
