#include "platform/d3dx/Buffer.h"

#include <cstring>

namespace platform::d3dx {

Buffer* Buffer::FromString(const std::string& text) {
  auto* buffer = new Buffer(text.size() + 1);
  std::memcpy(buffer->GetBufferPointer(), text.c_str(), text.size() + 1);
  return buffer;
}

}  // namespace platform::d3dx
