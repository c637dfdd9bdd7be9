#include <gtest/gtest.h>

#include <functional>

#include "../batch/BatchTesting.h"
#include "config/SettingsValidation.h"

namespace {

struct ValidationCase {
  const char* name;
  std::function<void(cEngineSettings&)> change;
  const char* key;  // null: valid
  friend void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }
};

class LoadedValues : public ::testing::TestWithParam<ValidationCase> {};

// Each rule on both sides of its boundary; the problem names the file's key.
TEST_P(LoadedValues, FollowTheCreateButtonsRules) {
  cEngineSettings s = batch::testing::TinyFFTState();
  GetParam().change(s);
  const auto problem = CheckComponentSettings(s, ValueCheck::All);
  if (!GetParam().key) {
    EXPECT_FALSE(problem) << problem->key << ": " << problem->reason;
  } else {
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->key, GetParam().key) << problem->reason;
    EXPECT_FALSE(problem->reason.empty());
  }
}

void Perlin(cEngineSettings& s) {
  s.heightmapType = HEIGHTMAP_PERLIN;
  s.normalmapType = NORMALMAP_FD_RAW;
  s.perlinPersistence = 0.5f;
  s.perlinOctaveCount = 4;
}

void Radial(cEngineSettings& s) {
  s.geometryType = GEOMETRY_RADIAL;
  s.radialMaxRadius = 100.0f;
  s.radialResolution = 3;
  s.radialFirstRadius = 1.0f;
  s.radialRadiusOffsetScale = 1.1f;
  s.radialFirstLevelOffset = 1.0f;
  s.radialHeightFalloffDistance = 50.0f;
}

void Geomipmap(cEngineSettings& s) {
  s.geometryType = GEOMETRY_GEOMIPMAP;
  s.geomipmapSizeX = s.geomipmapSizeZ = 100.0f;
  s.geomipmapPatchCountX = s.geomipmapPatchCountZ = 4;
  s.geomipmapLevel0Tessellation = 16;
  s.geomipmapLastLevelFalloffDistance = 80.0f;
  s.geomipmapHeightFalloffDistance = 60.0f;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LoadedValues,
    ::testing::Values(
        ValidationCase{"TinyStateIsValid", [](cEngineSettings&) {}, nullptr},
        ValidationCase{"NothingToBuildIsValid", [](cEngineSettings& s) { s = cEngineSettings{}; }, nullptr},
        ValidationCase{"Resolution8", [](cEngineSettings& s) { s.heightmapResolution = 8; }, nullptr},
        ValidationCase{"Resolution4", [](cEngineSettings& s) { s.heightmapResolution = 4; }, "heightmap resolution"},
        ValidationCase{"Resolution4096", [](cEngineSettings& s) { s.heightmapResolution = 4096; }, nullptr},
        ValidationCase{"Resolution8192", [](cEngineSettings& s) { s.heightmapResolution = 8192; },
                       "heightmap resolution"},
        ValidationCase{"Resolution500", [](cEngineSettings& s) { s.heightmapResolution = 500; },
                       "heightmap resolution"},
        ValidationCase{"AmplitudeZero", [](cEngineSettings& s) { s.fftAmplitude = 0.0f; }, nullptr},
        ValidationCase{"AmplitudeNegative", [](cEngineSettings& s) { s.fftAmplitude = -0.001f; },
                       "fft heightmap amplitude"},
        ValidationCase{"FixedNormalization", [](cEngineSettings& s) { s.fftNormalizationFactor = 2.0f; }, nullptr},
        ValidationCase{"NegativeNormalization", [](cEngineSettings& s) { s.fftNormalizationFactor = -2.0f; },
                       "fft heightmap normalization factor"},
        ValidationCase{"GridSizeNegative", [](cEngineSettings& s) { s.heightmapGridSize = -1; },
                       "heightmap grid size"},
        ValidationCase{"SpeedNegative", [](cEngineSettings& s) { s.heightmapUpdateCoef = -0.5f; },
                       "heightmap update coef"},
        ValidationCase{"PerlinValid", Perlin, nullptr},
        ValidationCase{"PerlinIgnoresFFTFields",
                       [](cEngineSettings& s) {
                         Perlin(s);
                         s.fftAmplitude = -1.0f;
                       },
                       nullptr},
        ValidationCase{"PerlinPersistenceNegative",
                       [](cEngineSettings& s) {
                         Perlin(s);
                         s.perlinPersistence = -0.1f;
                       },
                       "perlin heightmap persistence"},
        ValidationCase{"FFTNormalsNeedFFTHeightmap",
                       [](cEngineSettings& s) {
                         Perlin(s);
                         s.normalmapType = NORMALMAP_FFT;
                       },
                       "normalmap type"},
        ValidationCase{"NormalsNeedAHeightmap", [](cEngineSettings& s) { s.heightmapType = 0; }, "normalmap type"},
        ValidationCase{"MethodTwo", [](cEngineSettings& s) { s.fdNormalmapMethod = 2; },
                       "fd normalmap generation method"},
        ValidationCase{"NormalAmplitudeNegative", [](cEngineSettings& s) { s.fdNormalmapAmplitude = -1.0f; },
                       "fd normalmap amplitude"},
        ValidationCase{"TessellationZero", [](cEngineSettings& s) { s.simpleGridTessellationX = 0; },
                       "simple grid tesselation .x"},
        ValidationCase{"TessellationBeyond16BitIndices", [](cEngineSettings& s) { s.simpleGridTessellationZ = 10000; },
                       "simple grid tesselation .x"},
        ValidationCase{"SizeZero", [](cEngineSettings& s) { s.simpleGridSizeZ = 0.0f; }, "simple grid size .z"},
        ValidationCase{"UVZero", [](cEngineSettings& s) { s.geometryDefaultUVScaleY = 0.0f; },
                       "geometry default uv scale .y"},
        ValidationCase{"RadialValid", Radial, nullptr},
        ValidationCase{"RadialTwoPerRing",
                       [](cEngineSettings& s) {
                         Radial(s);
                         s.radialResolution = 2;
                       },
                       "radial grid resolution"},
        ValidationCase{"GeomipmapValid", Geomipmap, nullptr},
        ValidationCase{"GeomipmapNoFalloff",
                       [](cEngineSettings& s) {
                         Geomipmap(s);
                         s.geomipmapHeightFalloffDistance = 0.0f;
                       },
                       "geomipmap grid height fallof distance"},
        ValidationCase{"GeomipmapPatchTooFine",
                       [](cEngineSettings& s) {
                         Geomipmap(s);
                         s.geomipmapLevel0Tessellation = 4096;
                       },
                       "geomipmap grid level 0 tesselation"}),
    [](const auto& info) { return info.param.name; });

// A loaded state skips the rules on values handed over every frame, as the
// editor's load does, and still checks those fixed at creation.
TEST(LoadedState, SkipsOnlyTheValuesHandedOverEveryFrame) {
  const std::pair<const char*, std::function<void(cEngineSettings&)>> live[] = {
      {"heightmap update coef", [](cEngineSettings& s) { s.heightmapUpdateCoef = -1.0f; }},
      {"fft heightmap normalization factor", [](cEngineSettings& s) { s.fftNormalizationFactor = -2.0f; }},
      {"fd normalmap amplitude", [](cEngineSettings& s) { s.fdNormalmapAmplitude = -1.0f; }},
      {"geomipmap grid height fallof distance",
       [](cEngineSettings& s) {
         Geomipmap(s);
         s.geomipmapHeightFalloffDistance = -5.0f;
       }},
      {"radial grid height fallof distance",
       [](cEngineSettings& s) {
         Radial(s);
         s.radialHeightFalloffDistance = 0.0f;
       }},
  };
  for (const auto& [key, change] : live) {
    cEngineSettings s = batch::testing::TinyFFTState();
    change(s);
    const auto created = CheckComponentSettings(s, ValueCheck::All);
    ASSERT_TRUE(created) << key;
    EXPECT_EQ(created->key, key);
    const auto loaded = CheckComponentSettings(s, ValueCheck::FixedAtCreation);
    EXPECT_FALSE(loaded) << key << ": " << loaded->key;
  }
  cEngineSettings fixed = batch::testing::TinyFFTState();
  fixed.heightmapUpdateCoef = -1.0f;
  fixed.fftAmplitude = -1.0f;
  const auto problem = CheckComponentSettings(fixed, ValueCheck::FixedAtCreation);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->key, "fft heightmap amplitude");
}

}  // namespace
