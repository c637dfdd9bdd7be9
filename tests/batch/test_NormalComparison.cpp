#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "batch/cNormalComparison.h"
#include "batch/cWaveSlopes.h"

namespace {

const D3DXVECTOR2 kWind(1.0f, 1.0f);

const MethodError& Find(const std::vector<MethodError>& results, const std::string& name) {
  for (const MethodError& result : results) if (result.name == name) return result;
  static const MethodError none{"none", {}, {}, 0.0};
  ADD_FAILURE() << name;
  return none;
}

std::vector<MethodError> Compare(float amplitude) {
  cFFTHeightmap heightmap;
  EXPECT_TRUE(heightmap.Initialize(64, 8, &kWind, 4.0f, 2024));
  EXPECT_TRUE(heightmap.Update(1.0f));
  cNormalComparison comparison;
  EXPECT_TRUE(comparison.Bind(&heightmap, amplitude, 0.0f));
  std::vector<MethodError> results;
  EXPECT_TRUE(comparison.Run(&results));
  // Without a device that draws, the GPU methods are not run.
  const std::vector<const char*> active = comparison.ActiveMethods();
  EXPECT_EQ(active.size(), 4u);
  EXPECT_EQ(results.size(), active.size());
  for (size_t m = 0; m < std::min(results.size(), active.size()); ++m) EXPECT_STREQ(results[m].name, active[m]);
  return results;
}

// The reference is the exact slopes in double; the 8-bit encoding costs the
// exact methods at most about half a code step.
TEST(NormalComparison, SpectralSlopesAreExactAndFiniteDifferencesWorsenWithSteepness) {
  EXPECT_FALSE(cWaveSlopes().Compute(cFFTHeightmap())) << "an uninitialised heightmap";
  const std::vector<MethodError> gentle = Compare(1.0f), steep = Compare(16.0f);
  for (const char* name : {"spectral", "fft", "cpu-forward", "cpu-centred"}) {
    SCOPED_TRACE(name);
    const MethodError& a = Find(gentle, name);
    const MethodError& b = Find(steep, name);
    for (const MethodError* m : {&a, &b}) {
      EXPECT_LE(m->exact.mean, m->exact.max);
      EXPECT_LE(m->exact.p95, m->exact.max);
      EXPECT_GE(m->milliseconds, 0.0);
      if (name[0] == 'c') continue;
      EXPECT_LT(m->exact.mean, 1e-3);
      EXPECT_LT(m->exact.max, 1e-2);
      EXPECT_LT(m->quantised.max, 1.0);
      EXPECT_GE(m->quantised.mean, m->exact.mean);
    }
    if (name[0] != 'c') continue;
    EXPECT_GT(b.exact.mean, 2.0 * a.exact.mean);
    EXPECT_GT(b.exact.max, a.exact.max);
  }
}

}  // namespace
