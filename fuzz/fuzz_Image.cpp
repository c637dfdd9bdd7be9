// libFuzzer target for image decoding: any bytes give either a refusal or an
// image of sane sides, and the same result every time (a decoder that read
// memory it never wrote would differ).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/d3dx/Image.h"

using platform::d3dx::Image;

namespace {

bool SameImage(const Image& a, const Image& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.Format() != b.Format()) return false;
  for (UINT y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), size_t{a.Width()} * 4) != 0) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Image first, second;
  const HRESULT hr = Image::Decode(bytes, first);
  if (hr != D3D_OK && hr != D3DXERR_INVALIDDATA) std::abort();
  if (Image::Decode(bytes, second) != hr) std::abort();
  if (hr != D3D_OK) return 0;
  if (first.Width() == 0 || first.Height() == 0 || first.Width() > Image::kMaxSide || first.Height() > Image::kMaxSide)
    std::abort();
  if (!SameImage(first, second)) std::abort();
  return 0;
}
