#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "../platform/HeadlessDevice.h"
#include "FakeHeightmap.h"
#include "NormalmapTesting.h"
#include "heightmap/cFFTHeightmap.h"
#include "heightmap/cPerlinNoiseHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"
#include "normalmap/cNormalmapFFT.h"

namespace normalmap::testing {
namespace {

const D3DXVECTOR2 kWind(1.0f, 1.0f);

// One slope field from its definition: the heights are -Re of the transform
// of the spectrum, whose element (i, j) has the wave vector (i - N/2, j - N/2)
// times pi / L here; the slope multiplies each term by i k.
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

// x of the normal follows the column wave number, y the row wave number; the
// normal leans against the slope. The spectrum's centre holds the mirror term
// of its neighbour, yet its wave vector is zero: it must not feed the slopes.
// 4 is summed directly, 16 goes through the fast transform.
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

double AngleInDegrees(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return std::acos(std::clamp(static_cast<double>(D3DXVec3Dot(&a, &b)), -1.0, 1.0)) * 180.0 / M_PI;
}

// On waves a hundred texels long, the forward differences of the normalised
// heights, scaled to the FFT normal map's slope (N / 2L per texel of the raw
// heights), see the same surface: the spectrum keeps only |k| <= 2 steps.
TEST(NormalmapFFT, AgreesWithForwardDifferencesOnASmoothSpectrum) {
  const int n = 256, gridSize = 8, keep = 2;
  const D3DXVECTOR2 wind(6.0f, 4.0f);
  cFFTHeightmap heightmap;
  ASSERT_TRUE(heightmap.Initialize(n, gridSize, &wind, 0.05f, 99));
  // The generator has no smooth spectra of its own: its slopes spread evenly
  // over every octave up to the grid's limit.
  auto* initial = const_cast<std::complex<float>*>(heightmap.GetInitialSpectrum());
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (std::abs(i - n / 2) > keep || std::abs(j - n / 2) > keep) initial[i * n + j] = 0.0f;
    }
  }
  ASSERT_TRUE(heightmap.Update(2.0f));
  cNormalmapFFT fft;
  cNormalmapFDRaw forward;
  ASSERT_TRUE(fft.SetSource(&heightmap));
  ASSERT_TRUE(forward.SetSource(&heightmap));
  const float s = heightmap.GetPeak() + 0.000001f;  // heights are (raw + s) / 2s
  forward.SetAmplitude(s * n / gridSize);
  ASSERT_TRUE(fft.Compute());
  ASSERT_TRUE(forward.Compute());
  double sum = 0.0, largest = 0.0, tilt = 0.0;
  const D3DXVECTOR3 up(0, 0, 1);
  for (int k = 0; k < n * n; ++k) {
    const double angle = AngleInDegrees(fft.GetNormals()[k], forward.GetNormals()[k]);
    sum += angle;
    largest = std::max(largest, angle);
    tilt = std::max(tilt, AngleInDegrees(fft.GetNormals()[k], up));
  }
  EXPECT_GT(tilt, 25.0);  // steep enough that a wrong scale shows
  EXPECT_LT(sum / (n * n), 0.5);
  EXPECT_LT(largest, 1.5);
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
