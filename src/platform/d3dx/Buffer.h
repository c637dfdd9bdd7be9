// ID3DXBuffer: a block of bytes handed out by the loaders (error messages,
// materials, adjacency).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3dx9.h"

namespace platform::d3dx {

class Buffer : public ID3DXBuffer {
 public:
  explicit Buffer(size_t size) : bytes_(size) {}
  // A nul-terminated copy of `text`.
  static Buffer* FromString(const std::string& text);

  void* GetBufferPointer() override { return bytes_.data(); }
  DWORD GetBufferSize() override { return static_cast<DWORD>(bytes_.size()); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace platform::d3dx
