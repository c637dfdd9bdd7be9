#include <gtest/gtest.h>

#include "../batch/BatchTesting.h"
#include "waterscene/SettingsValidation.h"

namespace {

using Change = void (*)(cEngineSettings&);

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

void Nothing(cEngineSettings&) {}

// The tiny FFT state, switched to another component by `base`, then `change`d.
cEngineSettings Build(Change base, Change change) {
  cEngineSettings s = batch::testing::TinyFFTState();
  base(s);
  change(s);
  return s;
}

struct ValidationCase {
  const char* name;
  Change base;
  Change change;
  const char* key;  // null: valid
  friend void PrintTo(const ValidationCase& c, std::ostream* os) { *os << c.name; }
};

class LoadedValues : public ::testing::TestWithParam<ValidationCase> {};

// Each rule on both sides of its boundary; the problem names the file's key.
TEST_P(LoadedValues, FollowTheCreateButtonsRules) {
  const auto problem = CheckComponentSettings(Build(GetParam().base, GetParam().change), ValueCheck::All);
  if (!GetParam().key) {
    EXPECT_FALSE(problem) << problem->key << ": " << problem->reason;
  } else {
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->key, GetParam().key) << problem->reason;
    EXPECT_FALSE(problem->reason.empty());
  }
}

using S = cEngineSettings;
INSTANTIATE_TEST_SUITE_P(
    Rules, LoadedValues,
    ::testing::Values(
        ValidationCase{"TinyStateIsValid", Nothing, Nothing, nullptr},
        ValidationCase{"NothingToBuildIsValid", Nothing, [](S& s) { s = S{}; }, nullptr},
        ValidationCase{"Resolution8", Nothing, [](S& s) { s.heightmapResolution = 8; }, nullptr},
        ValidationCase{"Resolution4", Nothing, [](S& s) { s.heightmapResolution = 4; }, "heightmap resolution"},
        ValidationCase{"Resolution4096", Nothing, [](S& s) { s.heightmapResolution = 4096; }, nullptr},
        ValidationCase{"Resolution8192", Nothing, [](S& s) { s.heightmapResolution = 8192; }, "heightmap resolution"},
        ValidationCase{"Resolution500", Nothing, [](S& s) { s.heightmapResolution = 500; }, "heightmap resolution"},
        ValidationCase{"AmplitudeZero", Nothing, [](S& s) { s.fftAmplitude = 0.0f; }, nullptr},
        ValidationCase{"AmplitudeNegative", Nothing, [](S& s) { s.fftAmplitude = -0.001f; }, "fft heightmap amplitude"},
        ValidationCase{"FixedNormalization", Nothing, [](S& s) { s.fftNormalizationFactor = 2.0f; }, nullptr},
        ValidationCase{"NegativeNormalization", Nothing, [](S& s) { s.fftNormalizationFactor = -2.0f; },
                       "fft heightmap normalization factor"},
        ValidationCase{"GridSizeNegative", Nothing, [](S& s) { s.heightmapGridSize = -1; }, "heightmap grid size"},
        ValidationCase{"SpeedNegative", Nothing, [](S& s) { s.heightmapUpdateCoef = -0.5f; }, "heightmap update coef"},
        ValidationCase{"PerlinValid", Perlin, Nothing, nullptr},
        ValidationCase{"PerlinIgnoresFFTFields", Perlin, [](S& s) { s.fftAmplitude = -1.0f; }, nullptr},
        ValidationCase{"PerlinPersistenceNegative", Perlin, [](S& s) { s.perlinPersistence = -0.1f; },
                       "perlin heightmap persistence"},
        ValidationCase{"FFTNormalsNeedFFTHeightmap", Perlin, [](S& s) { s.normalmapType = NORMALMAP_FFT; },
                       "normalmap type"},
        ValidationCase{"NormalsNeedAHeightmap", Nothing, [](S& s) { s.heightmapType = 0; }, "normalmap type"},
        ValidationCase{"MethodTwo", Nothing, [](S& s) { s.fdNormalmapMethod = 2; }, "fd normalmap generation method"},
        ValidationCase{"NormalAmplitudeNegative", Nothing, [](S& s) { s.fdNormalmapAmplitude = -1.0f; },
                       "fd normalmap amplitude"},
        ValidationCase{"TessellationZero", Nothing, [](S& s) { s.simpleGridTessellationX = 0; },
                       "simple grid tesselation .x"},
        ValidationCase{"TessellationBeyond16BitIndices", Nothing, [](S& s) { s.simpleGridTessellationZ = 10000; },
                       "simple grid tesselation .x"},
        ValidationCase{"SizeZero", Nothing, [](S& s) { s.simpleGridSizeZ = 0.0f; }, "simple grid size .z"},
        ValidationCase{"UVZero", Nothing, [](S& s) { s.geometryDefaultUVScaleY = 0.0f; },
                       "geometry default uv scale .y"},
        ValidationCase{"RadialValid", Radial, Nothing, nullptr},
        ValidationCase{"RadialTwoPerRing", Radial, [](S& s) { s.radialResolution = 2; }, "radial grid resolution"},
        ValidationCase{"GeomipmapValid", Geomipmap, Nothing, nullptr},
        ValidationCase{"GeomipmapNoFalloff", Geomipmap, [](S& s) { s.geomipmapHeightFalloffDistance = 0.0f; },
                       "geomipmap grid height fallof distance"},
        ValidationCase{"GeomipmapPatchTooFine", Geomipmap, [](S& s) { s.geomipmapLevel0Tessellation = 4096; },
                       "geomipmap grid level 0 tesselation"}),
    [](const auto& info) { return info.param.name; });

// A loaded state skips the rules on values handed over every frame, as the
// editor's load does, and still checks those fixed at creation.
TEST(LoadedState, SkipsOnlyTheValuesHandedOverEveryFrame) {
  const struct {
    const char* key;
    Change base;
    Change change;
  } live[] = {
      {"heightmap update coef", Nothing, [](S& s) { s.heightmapUpdateCoef = -1.0f; }},
      {"fft heightmap normalization factor", Nothing, [](S& s) { s.fftNormalizationFactor = -2.0f; }},
      {"fd normalmap amplitude", Nothing, [](S& s) { s.fdNormalmapAmplitude = -1.0f; }},
      {"geomipmap grid height fallof distance", Geomipmap, [](S& s) { s.geomipmapHeightFalloffDistance = -5.0f; }},
      {"radial grid height fallof distance", Radial, [](S& s) { s.radialHeightFalloffDistance = 0.0f; }},
  };
  for (const auto& c : live) {
    const cEngineSettings s = Build(c.base, c.change);
    const auto created = CheckComponentSettings(s, ValueCheck::All);
    ASSERT_TRUE(created) << c.key;
    EXPECT_EQ(created->key, c.key);
    const auto loaded = CheckComponentSettings(s, ValueCheck::FixedAtCreation);
    EXPECT_FALSE(loaded) << c.key << ": " << loaded->key;
  }
  const cEngineSettings fixed = Build(Nothing, [](S& s) {
    s.heightmapUpdateCoef = -1.0f;
    s.fftAmplitude = -1.0f;
  });
  const auto problem = CheckComponentSettings(fixed, ValueCheck::FixedAtCreation);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->key, "fft heightmap amplitude");
}

}  // namespace
