#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "../platform/HeadlessDevice.h"
#include "FakeHeightmap.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cPerlinNoiseHeightmap.h"
#include "normalmap/cNormalmapFFT.h"

namespace normalmap::testing {
namespace {

const D3DXVECTOR2 kWind(1.0f, 1.0f);

// One slope field from its definition: the heights are -Re of the transform of the spectrum, whose element (i, j) has
// the wave vector (i - N/2, j - N/2) times pi / L here; the slope multiplies each term by i k.
std::vector<double> ReferenceSlopes(const cFFTHeightmap& heightmap, bool alongRows) {
  const int n = heightmap.GetResolution();
  const double step = 3.1415927 / heightmap.GetGridSize();
  const std::complex<float>* spectrum = heightmap.GetSpectrum();
  std::vector<double> slopes(static_cast<size_t>(n) * n);
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      double sum = 0.0;
      for (int k1 = 0; k1 < n; ++k1) {
        for (int k2 = 0; k2 < n; ++k2) {
          const double k = step * ((alongRows ? k1 : k2) - n * 0.5);
          const std::complex<double> x = std::complex<double>(0.0, k) * std::complex<double>(spectrum[k1 * n + k2]);
          const double angle = 2.0 * M_PI * ((r * (k1 - n / 2) + c * (k2 - n / 2)) % n) / n;
          sum += x.real() * std::cos(angle) - x.imag() * std::sin(angle);
        }
      }
      slopes[r * n + c] = -sum;
    }
  }
  return slopes;
}

// The spectrum's centre holds its neighbour's mirror term, yet its wave vector is
// zero: it must not feed the slopes. 4 is summed directly, 16 goes through the FFT.
TEST(NormalmapFFT, NormalsAreTheSlopesOfTheCurrentSpectrum) {
  for (int n : {4, 16}) {
    SCOPED_TRACE(n);
    cFFTHeightmap heightmap;
    ASSERT_TRUE(heightmap.Initialize(n, 4, &kWind, 4.0f, 1234));
    ASSERT_TRUE(heightmap.Update(1.5f));
    ASSERT_NE(heightmap.GetSpectrum()[n / 2 * n + n / 2], std::complex<float>(0.0f, 0.0f));
    cNormalmapFFT normalmap;
    ASSERT_TRUE(normalmap.SetSource(&heightmap));
    ASSERT_TRUE(normalmap.Compute());
    const std::vector<double> alongRows = ReferenceSlopes(heightmap, true);
    const std::vector<double> alongColumns = ReferenceSlopes(heightmap, false);
    double largest = 0.0;
    for (double s : alongRows) largest = std::max(largest, std::fabs(s));
    ASSERT_GT(largest, 0.01);
    for (int k = 0; k < n * n; ++k) {
      const D3DXVECTOR3& normal = normalmap.GetNormals()[k];
      EXPECT_NEAR(D3DXVec3Length(&normal), 1.0, 1e-6) << k;
      EXPECT_NEAR(-normal.x / normal.z, alongColumns[k], 1e-4 * largest) << k;
      EXPECT_NEAR(-normal.y / normal.z, alongRows[k], 1e-4 * largest) << k;
    }
  }
}

class NormalmapFFTTexture : public platform::testing::HeadlessDevice {};

TEST_F(NormalmapFFTTexture, ZeroAmplitudeGivesFlatNormals) {
  cFFTHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(16, 4, &kWind, 0.0f, 7));
  cNormalmapFFT normalmap;
  ASSERT_TRUE(normalmap.SetSource(&heightmap));
  ASSERT_TRUE(normalmap.Compute());
  for (int k = 0; k < 256; ++k) EXPECT_EQ(normalmap.GetNormals()[k], D3DXVECTOR3(0, 0, 1)) << k;
  ASSERT_TRUE(normalmap.WriteTexture(d3d, device));
  for (const Texel& texel : ReadTexels(normalmap.GetTexture(), 16)) EXPECT_EQ(texel, kFlat);
  EXPECT_FALSE(normalmap.WriteTexture(nullptr, device));
}

TEST(NormalmapFFT, OnlyAnInitialisedFFTHeightmapOfUnchangedSizeIsAccepted) {
  cNormalmapFFT normalmap;
  cPerlinNoiseHeightmap perlin;
  ASSERT_TRUE(perlin.Initialize(16, 0.5f, 4, 4, false));
  FakeHeightmap impostor(16);  // reports the FFT type id
  cFFTHeightmap uninitialised;
  for (iHeightmap* source : std::vector<iHeightmap*>{&perlin, &impostor, &uninitialised, nullptr})
    EXPECT_FALSE(normalmap.SetSource(source));
  EXPECT_FALSE(normalmap.Compute());
  cFFTHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(16, 4, &kWind, 4.0f, 5));
  ASSERT_TRUE(normalmap.SetSource(&heightmap));
  EXPECT_TRUE(normalmap.Compute());
  ASSERT_TRUE(heightmap.Initialize(32, 4, &kWind, 4.0f, 5));
  EXPECT_FALSE(normalmap.Compute());
  // An uninitialised FFT heightmap is still bound: nothing is computed from the old one.
  ASSERT_TRUE(heightmap.Initialize(16, 4, &kWind, 4.0f, 5));
  EXPECT_TRUE(normalmap.Compute());
  EXPECT_FALSE(normalmap.SetSource(&uninitialised));
  EXPECT_FALSE(normalmap.Compute());
}

}  // namespace
}  // namespace normalmap::testing
