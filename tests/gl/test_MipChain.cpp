// The CPU mip chain gives the bytes the driver's glGenerateMipmap gives, level by level, for every format it covers:
// the picture must not change when a chain is made on the CPU instead.
#include <epoxy/gl.h>

#include <cstring>
#include <random>
#include <vector>

#include "GLTest.h"
#include "platform/device/Backend.h"
#include "platform/gl/MipChain.h"
#include "platform/gl/TextureFormat.h"

namespace {

using platform::gl::TextureFormatOf;

// Level 0 of a square texture: random bytes, or random floats of a heightmap's range.
std::vector<uint8_t> RandomLevel(D3DFORMAT format, UINT size, std::mt19937& random) {
  std::vector<uint8_t> bytes(static_cast<size_t>(size) * size * platform::FormatBytes(format));
  if (format == D3DFMT_R32F || format == D3DFMT_A32B32G32R32F) {
    std::uniform_real_distribution<float> height(-4.0f, 4.0f);
    for (size_t i = 0; i < bytes.size(); i += sizeof(float)) {
      const float value = height(random);
      std::memcpy(&bytes[i], &value, sizeof(float));
    }
  } else {
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
  }
  return bytes;
}

// The backend keeps pack and unpack alignment at 1, which tight levels need.
using MipChainTest = gltest::GLTest;

// Square powers of two of the float and byte formats are covered; others are left to the driver.
TEST_F(MipChainTest, CoveredFormatsMatchTheDriversChainLevelByLevel) {
  if (NotStarted()) return;
  const struct { D3DFORMAT format; UINT width, height; bool covered; } rows[] = {
      {D3DFMT_A8R8G8B8, 64, 64, true},        {D3DFMT_X8R8G8B8, 32, 32, true},   {D3DFMT_A8B8G8R8, 16, 16, true},
      {D3DFMT_R32F, 512, 512, true},          {D3DFMT_A32B32G32R32F, 16, 16, true}, {D3DFMT_A8R8G8B8, 1, 1, true},
      {D3DFMT_A8R8G8B8, 256, 128, false},     {D3DFMT_A8R8G8B8, 96, 96, false},  {D3DFMT_L8, 64, 64, false},
      {D3DFMT_A8R8G8B8, 0, 0, false}};
  std::mt19937 random(2024);
  // The backend's state cache must find its binding as it left it.
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "format " << row.format << ", " << row.width << " x " << row.height);
    ASSERT_EQ(platform::gl::BuildsMipChain(row.format, row.width, row.height), row.covered);
    if (!row.covered) continue;
    const auto format = TextureFormatOf(row.format);
    std::vector<uint8_t> level = RandomLevel(row.format, row.width, random);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, format.internalFormat, row.width, row.width, 0, format.format, format.type,
                 level.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    for (UINT size = row.width, index = 1; size > 1; size /= 2, ++index) {
      std::vector<uint8_t> cpu(level.size() / 4), driver(level.size() / 4);
      platform::gl::HalveLevel(row.format, level.data(), size, cpu.data());
      glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(index), format.format, format.type, driver.data());
      EXPECT_EQ(cpu, driver) << "level " << index;
      level = cpu;
    }
    glDeleteTextures(1, &texture);
  }
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
}

}  // namespace
