#include <random>

#include "FakeHeightmap.h"
#include "NormalmapTesting.h"
#include "config/TypeIds.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "../platform/HeadlessDevice.h"

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

// Sizes below, at and between multiples of four, where blocks and wrap-around meet.
TEST(NormalmapFDRaw, BothMethodsMatchTheDefinitionWithWrapAround) {
  std::mt19937 generator(3);
  std::uniform_real_distribution<float> height(0.0f, 1.0f);
  for (int n : {1, 2, 3, 4, 5, 7, 8, 13}) {
    FakeHeightmap heightmap(n);
    for (float& h : heightmap.heights) h = height(generator);
    for (int method : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << "N " << n << " method " << method);
      cNormalmapFDRaw normalmap;
      ASSERT_TRUE(normalmap.SetSource(&heightmap));
      normalmap.SetMethod(method);
      normalmap.SetAmplitude(1.7f);
      ASSERT_TRUE(normalmap.Compute());
      for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
          ExpectNear(normalmap.GetNormals()[i * n + j], ReferenceNormal(heightmap, method, 1.7f, i, j), 1e-5f);
        }
      }
    }
  }
}

// Only column 0 (or row 0) is raised: the last column (row) differences
// against it, so it is the one that tilts.
TEST(NormalmapFDRaw, ForwardDifferencesWrapAtTheLastColumnAndRow) {
  const int n = 6;
  const float a = 0.5f;
  const D3DXVECTOR3 flat(0, 0, 1);
  FakeHeightmap columns(n), rows(n);
  for (int k = 0; k < n; ++k) columns.At(k, 0) = rows.At(0, k) = 1.0f;
  cNormalmapFDRaw byColumn, byRow;
  ASSERT_TRUE(byColumn.SetSource(&columns));
  ASSERT_TRUE(byRow.SetSource(&rows));
  byColumn.SetAmplitude(a);
  byRow.SetAmplitude(a);
  ASSERT_TRUE(byColumn.Compute());
  ASSERT_TRUE(byRow.Compute());
  for (int k = 0; k < n; ++k) {
    ExpectNear(byColumn.GetNormals()[k * n + n - 1], NormalOfSlopes(a, 0), 1e-6f);
    ExpectNear(byColumn.GetNormals()[k * n + 0], NormalOfSlopes(-a, 0), 1e-6f);
    ExpectNear(byColumn.GetNormals()[k * n + 2], flat, 1e-6f);
    ExpectNear(byRow.GetNormals()[(n - 1) * n + k], NormalOfSlopes(0, a), 1e-6f);
    ExpectNear(byRow.GetNormals()[0 * n + k], NormalOfSlopes(0, -a), 1e-6f);
    ExpectNear(byRow.GetNormals()[2 * n + k], flat, 1e-6f);
  }
}

// One raised texel in the corner: its neighbours across both seams tilt away
// from it, the edge ones by twice the slope of the corner ones.
TEST(NormalmapFDRaw, CentredDifferencesUseSobelWeightsAcrossTheSeams) {
  const int n = 8;
  FakeHeightmap heightmap(n);
  heightmap.At(0, 0) = 1.0f;
  cNormalmapFDRaw normalmap;
  ASSERT_TRUE(normalmap.SetSource(&heightmap));
  normalmap.SetMethod(1);
  normalmap.SetAmplitude(2.0f);
  ASSERT_TRUE(normalmap.Compute());
  auto expectSlopes = [&](int i, int j, double sx, double sz) {
    SCOPED_TRACE(::testing::Message() << "row " << i << " column " << j);
    ExpectNear(normalmap.GetNormals()[i * n + j], NormalOfSlopes(sx, sz), 1e-6f);
  };
  expectSlopes(0, 1, -1.0, 0.0);  // 0.25 * 2 * (2 * 1)
  expectSlopes(0, n - 1, 1.0, 0.0);
  expectSlopes(1, 0, 0.0, -1.0);
  expectSlopes(n - 1, 0, 0.0, 1.0);
  expectSlopes(1, 1, -0.5, -0.5);  // 0.25 * 1 * (2 * 1)
  expectSlopes(n - 1, n - 1, 0.5, 0.5);
  expectSlopes(1, n - 1, 0.5, -0.5);
  expectSlopes(n - 1, 1, -0.5, 0.5);
  expectSlopes(0, 0, 0.0, 0.0);
  expectSlopes(3, 4, 0.0, 0.0);
}

class NormalmapFDRawTexture : public platform::testing::HeadlessDevice {};

// A constant field and a zero amplitude are both flat: (0, 0, 1) is stored as
// B, G, R, A = 255, 128, 128, 255.
TEST_F(NormalmapFDRawTexture, ConstantFieldAndZeroAmplitudeAreFlat) {
  const int n = 5;
  FakeHeightmap constant(n), rough(n);
  std::mt19937 generator(8);
  std::uniform_real_distribution<float> height(0.0f, 1.0f);
  for (float& h : constant.heights) h = 0.73f;
  for (float& h : rough.heights) h = height(generator);
  for (auto [heightmap, amplitude] : {std::pair{&constant, 5.0f}, std::pair{&rough, 0.0f}}) {
    for (int method : {0, 1}) {
      cNormalmapFDRaw normalmap;
      ASSERT_TRUE(normalmap.SetSource(heightmap));
      normalmap.SetMethod(method);
      normalmap.SetAmplitude(amplitude);
      ASSERT_TRUE(normalmap.Compute());
      ASSERT_TRUE(normalmap.WriteTexture(d3d, device));
      for (const Texel& texel : ReadTexels(normalmap.GetTexture(), n)) EXPECT_EQ(texel, (Texel{255, 128, 128, 255}));
    }
  }
}

TEST_F(NormalmapFDRawTexture, EveryTexelHoldsItsTruncatedNormal) {
  std::mt19937 generator(11);
  std::uniform_real_distribution<float> height(-1.0f, 1.0f);
  for (int n : {2, 7, 16}) {
    SCOPED_TRACE(n);
    FakeHeightmap heightmap(n);
    for (float& h : heightmap.heights) h = height(generator);
    cNormalmapFDRaw normalmap;
    ASSERT_TRUE(normalmap.SetSource(&heightmap));
    normalmap.SetAmplitude(3.0f);
    ASSERT_TRUE(normalmap.Compute());
    ASSERT_TRUE(normalmap.WriteTexture(d3d, device));
    D3DSURFACE_DESC desc;
    ASSERT_EQ(normalmap.GetTexture()->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(desc.Width, static_cast<UINT>(n));
    const std::vector<Texel> texels = ReadTexels(normalmap.GetTexture(), n);
    for (int k = 0; k < n * n; ++k) EXPECT_EQ(texels[k], Encode(normalmap.GetNormals()[k])) << k;
  }
}

TEST_F(NormalmapFDRawTexture, WriteNeedsDeviceNormalsAndTheFormat) {
  FakeHeightmap heightmap(4);
  cNormalmapFDRaw normalmap;
  EXPECT_FALSE(normalmap.WriteTexture(d3d, device));
  ASSERT_TRUE(normalmap.SetSource(&heightmap));
  EXPECT_FALSE(normalmap.WriteTexture(nullptr, device));
  EXPECT_FALSE(normalmap.WriteTexture(d3d, nullptr));
  EXPECT_TRUE(normalmap.IsSupported(d3d, device));
  EXPECT_FALSE(normalmap.IsSupported(nullptr, device));

  platform::HeadlessProfile profile = platform::HeadlessProfile::ShaderModel3();
  profile.unsupportedFormats = {D3DFMT_A8R8G8B8};
  Start(profile);
  EXPECT_FALSE(normalmap.IsSupported(d3d, device));
  EXPECT_FALSE(normalmap.WriteTexture(d3d, device));
  EXPECT_EQ(normalmap.GetTexture(), nullptr);
}

TEST(NormalmapFDRaw, SourceMustBeInitialisedAndKeepItsSize) {
  cNormalmapFDRaw normalmap;
  EXPECT_FALSE(normalmap.Compute());
  EXPECT_FALSE(normalmap.SetSource(nullptr));
  FakeHeightmap heightmap(-1);
  EXPECT_FALSE(normalmap.SetSource(&heightmap));
  EXPECT_EQ(normalmap.GetNormals(), nullptr);
  EXPECT_FALSE(normalmap.Compute());

  heightmap.Resize(4);
  ASSERT_TRUE(normalmap.SetSource(&heightmap));
  EXPECT_EQ(normalmap.GetResolution(), 4);
  EXPECT_TRUE(normalmap.Compute());
  // Initialised again at another size behind the normal map's back.
  heightmap.Resize(8);
  EXPECT_FALSE(normalmap.Compute());
}

TEST(NormalmapFDRaw, FillSettingsRecordsTypeAmplitudeAndMethod) {
  cNormalmapFDRaw normalmap;
  EXPECT_EQ(normalmap.GetTypeId(), NORMALMAP_FD_RAW);
  cEngineSettings settings{};
  normalmap.SetAmplitude(2.5f);
  normalmap.SetMethod(1);
  EXPECT_EQ(normalmap.FillSettings(&settings), &settings);
  EXPECT_EQ(settings.normalmapType, NORMALMAP_FD_RAW);
  EXPECT_EQ(settings.fdNormalmapAmplitude, 2.5f);
  EXPECT_EQ(settings.fdNormalmapMethod, 1);
  normalmap.SetMethod(7);
  normalmap.FillSettings(&settings);
  EXPECT_EQ(settings.fdNormalmapMethod, 0);
  EXPECT_EQ(normalmap.FillSettings(nullptr), nullptr);
}

}  // namespace
}  // namespace normalmap::testing
