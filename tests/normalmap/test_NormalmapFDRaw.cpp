#include "../platform/HeadlessDevice.h"
#include "FakeHeightmap.h"
#include "settings/TypeIds.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFDTex.h"
#include "normalmap/cNormalmapFFT.h"

namespace normalmap::testing {
namespace {

// The differences written out from their definition, indices taken modulo N.
D3DXVECTOR3 ReferenceNormal(FakeHeightmap& h, int method, float a, int i, int j) {
  const int n = h.GetResolution();
  auto H = [&](int row, int column) { return static_cast<double>(a * h.At((row + n) % n, (column + n) % n)); };
  if (method == 0) return NormalOfSlopes(H(i, j + 1) - H(i, j), H(i + 1, j) - H(i, j));
  const double sx = 0.25 * ((2 * H(i, j + 1) + H(i - 1, j + 1) + H(i + 1, j + 1)) -
                            (2 * H(i, j - 1) + H(i - 1, j - 1) + H(i + 1, j - 1)));
  const double sz = 0.25 * ((2 * H(i + 1, j) + H(i + 1, j + 1) + H(i + 1, j - 1)) -
                            (2 * H(i - 1, j) + H(i - 1, j + 1) + H(i - 1, j - 1)));
  return NormalOfSlopes(sx, sz);
}

class NormalmapFDRaw : public platform::testing::HeadlessDevice {
 protected:
  // Computes the normals of `heightmap` into `normalmap`.
  void Compute(FakeHeightmap& heightmap, int method, float amplitude) {
    ASSERT_TRUE(normalmap.SetSource(&heightmap));
    normalmap.SetMethod(method);
    normalmap.SetAmplitude(amplitude);
    ASSERT_TRUE(normalmap.Compute());
  }
  const D3DXVECTOR3& Normal(int i, int j) { return normalmap.GetNormals()[i * normalmap.GetResolution() + j]; }
  cNormalmapFDRaw normalmap;
};

// Sizes below, at and between multiples of four, where blocks and wrap-around meet.
TEST_F(NormalmapFDRaw, BothMethodsMatchTheDefinitionWithWrapAround) {
  for (int n : {1, 2, 3, 4, 5, 7, 8, 13}) {
    FakeHeightmap heightmap(n);
    heightmap.Randomize(3 + n, 0.0f, 1.0f);
    for (int method : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << "N " << n << " method " << method);
      Compute(heightmap, method, 1.7f);
      for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) ExpectNear(Normal(i, j), ReferenceNormal(heightmap, method, 1.7f, i, j), 1e-5f);
    }
  }
}

TEST_F(NormalmapFDRaw, EveryTexelHoldsItsTruncatedNormalAndFlatIsExact) {
  for (int n : {2, 7, 13, 16}) {  // 13: eight-wide blocks, a block of four and a tail
    SCOPED_TRACE(n);
    FakeHeightmap heightmap(n);
    heightmap.Randomize(11, -1.0f, 1.0f);
    Compute(heightmap, 0, 3.0f);
    ASSERT_TRUE(normalmap.WriteTexture(d3d, device));
    D3DSURFACE_DESC desc;
    ASSERT_EQ(normalmap.GetTexture()->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(std::tuple(desc.Format, desc.Pool, desc.Usage, desc.Width),
              std::tuple(D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, DWORD{D3DUSAGE_AUTOGENMIPMAP}, static_cast<UINT>(n)));
    const std::vector<Texel> texels = ReadTexels(normalmap.GetTexture(), n);
    for (int k = 0; k < n * n; ++k) EXPECT_EQ(texels[k], Encode(normalmap.GetNormals()[k])) << k;
  }
  // A constant field and a zero amplitude are both flat.
  FakeHeightmap constant(5), rough(5);
  for (float& h : constant.heights) h = 0.73f;
  rough.Randomize(8, 0.0f, 1.0f);
  for (auto [heightmap, amplitude] : {std::pair{&constant, 5.0f}, std::pair{&rough, 0.0f}}) {
    for (int method : {0, 1}) {
      Compute(*heightmap, method, amplitude);
      ASSERT_TRUE(normalmap.WriteTexture(d3d, device));
      for (const Texel& texel : ReadTexels(normalmap.GetTexture(), 5)) EXPECT_EQ(texel, kFlat);
    }
  }
}

TEST_F(NormalmapFDRaw, RefusesMissingSourcesDevicesAndFormats) {
  EXPECT_FALSE(normalmap.Compute());
  EXPECT_FALSE(normalmap.WriteTexture(d3d, device));
  EXPECT_FALSE(normalmap.SetSource(nullptr));
  FakeHeightmap heightmap(-1);
  EXPECT_FALSE(normalmap.SetSource(&heightmap));
  EXPECT_FALSE(normalmap.Compute());
  heightmap.Resize(4);
  ASSERT_TRUE(normalmap.SetSource(&heightmap));
  EXPECT_TRUE(normalmap.Compute());
  EXPECT_FALSE(normalmap.WriteTexture(nullptr, device));
  EXPECT_FALSE(normalmap.WriteTexture(d3d, nullptr));
  EXPECT_TRUE(normalmap.IsSupported(d3d, device));
  // Initialised again at another size behind the normal map's back.
  heightmap.Resize(8);
  EXPECT_FALSE(normalmap.Compute());
  platform::HeadlessProfile profile = platform::HeadlessProfile::ShaderModel3();
  profile.unsupportedFormats = {D3DFMT_A8R8G8B8};
  Start(profile);
  EXPECT_FALSE(normalmap.IsSupported(d3d, device));
  EXPECT_FALSE(normalmap.WriteTexture(d3d, device));
}

// Only the finite-difference maps record amplitude and method (out of range: 0).
TEST(Normalmaps, FillSettingsRecordsTheTypeAndItsOwnFields) {
  auto expectFiniteDifference = [](auto&& normalmap, int type) {
    cEngineSettings settings{};
    normalmap.SetAmplitude(2.5f);
    normalmap.SetMethod(1);
    EXPECT_EQ(normalmap.FillSettings(&settings), &settings);
    EXPECT_EQ(std::tuple(settings.normalmapType, settings.fdNormalmapAmplitude, settings.fdNormalmapMethod),
              std::tuple(type, 2.5f, 1));
    for (int method : {7, -3}) {
      normalmap.SetMethod(method);
      EXPECT_EQ(normalmap.FillSettings(&settings)->fdNormalmapMethod, 0);
    }
    EXPECT_EQ(normalmap.FillSettings(nullptr), nullptr);
  };
  expectFiniteDifference(cNormalmapFDRaw(), NORMALMAP_FD_RAW);
  expectFiniteDifference(cNormalmapFDTex(), NORMALMAP_FD_TEX);
  cNormalmapFFT fft;
  cEngineSettings settings{};
  settings.fdNormalmapAmplitude = 9.0f;
  fft.SetAmplitude(3.0f);
  fft.FillSettings(&settings);
  EXPECT_EQ(std::tuple(settings.normalmapType, settings.fdNormalmapAmplitude), std::tuple(NORMALMAP_FFT, 9.0f));
}

}  // namespace
}  // namespace normalmap::testing
