#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "../platform/HeadlessDevice.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cHeightmapTexture.h"
#include "platform/device/DeviceHooks.h"

namespace {

using platform::HeadlessProfile;

constexpr BYTE kUntouched = 0xCD;

// Texels written into rows padded by 8 bytes beyond the written part.
std::vector<BYTE> WritePadded(const std::vector<float>& heights, int size, D3DFORMAT format, int texelBytes,
                              INT* pitch) {
  *pitch = size * texelBytes + 8;
  std::vector<BYTE> memory(static_cast<size_t>(*pitch) * size, kUntouched);
  cHeightmapTexture::WriteTexels(D3DLOCKED_RECT{*pitch, memory.data()}, heights.data(), size, format);
  return memory;
}

void ExpectPaddingUntouched(const std::vector<BYTE>& memory, int size, int texelBytes, INT pitch) {
  for (int row = 0; row < size; ++row)
    for (INT byte = size * texelBytes; byte < pitch; ++byte) ASSERT_EQ(memory[row * pitch + byte], kUntouched);
}

float FloatAt(const std::vector<BYTE>& memory, size_t offset) {
  float value;
  std::memcpy(&value, memory.data() + offset, sizeof value);
  return value;
}

}  // namespace

TEST(HeightmapTexels, IntegerFormatTruncatesAndClamps) {
  // Rows of 5: four texels through the vector path, one through the tail.
  const std::vector<float> heights = {-0.5f, 0.0f,      0.999f,    1.0f,   2.0f, 0.5f, NAN,  0.25f, 1.0f / 255.0f,
                                      1e-9f, -INFINITY, INFINITY,  0.75f, 0.1f, 0.6f, 0.2f, NAN,   -0.0f, 3.0f / 255.0f,
                                      1.0f,  0.0f,      0.999f,    0.5f,   NAN,  0.01f};
  const BYTE expected[] = {0,  0,   254, 255, 255, 127, 0, 63, 1,   0, 0,   255, 191,
                           25, 153, 51,  0,   0,   3,   255, 0, 254, 127, 0, 2};
  INT pitch;
  const std::vector<BYTE> memory = WritePadded(heights, 5, D3DFMT_A8R8G8B8, 4, &pitch);
  for (int i = 0; i < 25; ++i) {
    const BYTE* t = memory.data() + (i / 5) * pitch + (i % 5) * 4;  // blue, green, red, alpha
    EXPECT_EQ(std::tuple(t[0], t[1], t[2], t[3]), std::tuple(expected[i], expected[i], expected[i], 255)) << i;
  }
  ExpectPaddingUntouched(memory, 5, 4, pitch);
}

TEST(HeightmapTexels, FloatFormatsCopyTheHeights) {
  const std::vector<float> heights = {-0.25f, 0.0f, 0.5f, 1.75f};
  INT pitch;
  std::vector<BYTE> memory = WritePadded(heights, 2, D3DFMT_R32F, 4, &pitch);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(FloatAt(memory, (i / 2) * pitch + (i % 2) * 4), heights[i]);
  ExpectPaddingUntouched(memory, 2, 4, pitch);
  memory = WritePadded(heights, 2, D3DFMT_A32B32G32R32F, 16, &pitch);
  for (int i = 0; i < 4; ++i) {
    const size_t texel = (i / 2) * pitch + (i % 2) * 16;
    for (int channel = 0; channel < 3; ++channel) EXPECT_EQ(FloatAt(memory, texel + 4 * channel), heights[i]);
    EXPECT_EQ(FloatAt(memory, texel + 12), 1.0f);
  }
  ExpectPaddingUntouched(memory, 2, 16, pitch);
}

class HeightmapTexture : public platform::testing::HeadlessDevice {
 protected:
  // A flat FFT surface: every height is 0.5.
  void InitializeFlat(cFFTHeightmap& heightmap, int size) {
    const D3DXVECTOR2 wind(1.0f, 1.0f);
    ASSERT_TRUE(heightmap.Initialize(size, 4, &wind, 0.0f));
  }
};

TEST_F(HeightmapTexture, CreatedLazilyWithAGeneratedMipChain) {
  cFFTHeightmap heightmap;
  EXPECT_FALSE(heightmap.WriteTexture(device));  // no heights yet
  InitializeFlat(heightmap, 16);
  EXPECT_EQ(heightmap.GetTexture(), nullptr);
  EXPECT_FALSE(heightmap.WriteTexture(nullptr));
  ASSERT_TRUE(heightmap.WriteTexture(device));
  IDirect3DTexture9* texture = heightmap.GetTexture();
  ASSERT_NE(texture, nullptr);
  const platform::TextureData& data = *platform::TextureDataOf(texture);
  EXPECT_EQ(std::tuple(data.format, data.width, data.height, data.pool, (data.usage & D3DUSAGE_AUTOGENMIPMAP) != 0),
            std::tuple(D3DFMT_A8R8G8B8, 16u, 16u, D3DPOOL_MANAGED, true));
  for (size_t i = 0; i < 16 * 16; ++i)
    ASSERT_EQ(std::pair(int{data.memory[0][4 * i]}, int{data.memory[0][4 * i + 3]}), std::pair(127, 255)) << i;
  ASSERT_TRUE(heightmap.WriteTexture(device));
  EXPECT_EQ(heightmap.GetTexture(), texture);  // reused, not recreated
  InitializeFlat(heightmap, 8);  // a new grid drops the old texture
  EXPECT_EQ(heightmap.GetTexture(), nullptr);
}

// Float heights prefer R32F, then four float channels, else stay integer; a
// change of format drops the texture to be made again.
TEST_F(HeightmapTexture, FloatFormatPrefersR32FThenFourChannels) {
  HeadlessProfile noFloat = HeadlessProfile::ShaderModel3();
  noFloat.unsupportedFormats = {D3DFMT_R32F, D3DFMT_A32B32G32R32F};
  const struct { HeadlessProfile profile; D3DFORMAT format; UINT texelBytes; } cases[] = {
      {HeadlessProfile::ShaderModel3(), D3DFMT_R32F, 4}, {HeadlessProfile::NoR32F(), D3DFMT_A32B32G32R32F, 16},
      {noFloat, D3DFMT_A8R8G8B8, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    Start(c.profile);
    cFFTHeightmap heightmap;
    InitializeFlat(heightmap, 8);
    ASSERT_TRUE(heightmap.WriteTexture(device));
    IDirect3DTexture9* integerTexture = heightmap.GetTexture();
    const bool isFloat = c.format != D3DFMT_A8R8G8B8;
    EXPECT_EQ(heightmap.UseFloatFormat(d3d, device), isFloat);
    EXPECT_EQ(heightmap.GetTextureFormat(), c.format);
    cEngineSettings settings{};
    EXPECT_EQ(heightmap.FillSettings(&settings)->integerHeightmapTextureFormat, !isFloat);
    EXPECT_EQ(heightmap.GetTexture(), isFloat ? nullptr : integerTexture);
    if (!isFloat) continue;
    ASSERT_TRUE(heightmap.WriteTexture(device));
    const platform::TextureData& data = *platform::TextureDataOf(heightmap.GetTexture());
    EXPECT_EQ(data.format, c.format);
    ASSERT_EQ(data.memory[0].size(), 64u * c.texelBytes);
    EXPECT_EQ(FloatAt(data.memory[0], c.texelBytes * 63), 0.5f);
    ASSERT_TRUE(heightmap.UseIntegerFormat(d3d, device));
    EXPECT_EQ(std::tuple(heightmap.GetTextureFormat(), heightmap.GetTexture()), std::tuple(D3DFMT_A8R8G8B8, nullptr));
    EXPECT_FALSE(heightmap.UseFloatFormat(nullptr, device));
    EXPECT_FALSE(heightmap.UseIntegerFormat(d3d, nullptr));
  }
}
