// Mip chains made on the CPU for textures whose level 0 comes from CPU memory.
// llvmpipe's glGenerateMipmap draws every level as a render pass of its own;
// a 2 x 2 filter over the level above costs a fraction of that. The arithmetic
// is the one glGenerateMipmap gives there (a GL test holds the two to the same
// bytes): floats in two linear steps a + 0.5 (b - a), along rows first;
// 8-bit channels as rounded halves of rounded halves.
#pragma once

#include <cstdint>

#include "platform/d3d9.h"

namespace platform::gl {

// Whether the CPU filter covers the texture: square, a power of two, a format it knows.
bool BuildsMipChain(D3DFORMAT format, UINT width, UINT height);

// Writes the level `size / 2` texels wide made from a square level `size`
// wide (size >= 2), both tightly packed.
void HalveLevel(D3DFORMAT format, const uint8_t* source, UINT size, uint8_t* target);

}  // namespace platform::gl
