#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "EditorTest.h"
#include "heightmap/iHeightmap.h"

namespace {

using namespace EditorId;

constexpr const wchar_t* kHeightmapWarning = L"Not all heightmap options are valid. Please check the constrainsts.";
constexpr const wchar_t* kGeometryWarning = L"Not all geometry options are valid. Please check the constraints.";
constexpr const wchar_t* kNormalmapWarning =
    L"Not all normalmap options are valid or the heightmap is not created. Please check the constraints.";

// Fields typed with the keys into the real boxes on both sides of their bound,
// after `list` got `item` or `checkbox` was ticked (either reported by `event`).
struct Field { int id; const char* passes; const char* fails; };
struct Fields { int list, item, checkbox, event; std::vector<Field> fields; };

class ValidationTest : public EditorTest {
 protected:
  // Types each field into `menu` (on top) and checks `button` and the warning;
  // without a button, the heightmap's create button of the picked model.
  void CheckBoundaries(cMenu* menu, int button, const wchar_t* warning, const std::vector<Fields>& groups) {
    Open(menu);
    for (const Fields& group : groups) {
      if (group.list != 0) Pick(menu, group.list, group.item, group.event);
      if (group.checkbox != 0) Tick(menu, group.checkbox, group.event);
      const int create = button != 0 ? button : (group.item == 1 ? kCreatePerlinButton : kCreateFFTButton);
      for (const Field& field : group.fields) {
        SCOPED_TRACE("field " + std::to_string(field.id) + " passes " + field.passes + ", fails " + field.fails);
        driver->Type(menu, field.id, field.fails);
        EXPECT_FALSE(Enabled(menu, create));
        EXPECT_EQ(InfoLine(), warning);
        EXPECT_EQ(DrawnImage(menu->Find(create)), Image(L"data/gui/create_disabled.tga"));  // greyed, not lit
        driver->Type(menu, field.id, field.passes);
        EXPECT_TRUE(Enabled(menu, create));
        EXPECT_EQ(DrawnImage(menu->Find(create)), Image(L"data/gui/create_idle.tga"));
      }
      if (group.checkbox != 0) Tick(menu, group.checkbox, group.event, false);
    }
  }
};

TEST_F(ValidationTest, HeightmapFieldsOfTheChosenModelOnly) {
  StartWith(ENGINE_SM2);
  cMenu* menu = editor->menus.heightmap;
  Pick(menu, kHeightmapResolutionList, 3, 0);
  const int pick = kEventHeightmapModelPicked;
  CheckBoundaries(menu, 0, kHeightmapWarning,
                  {{kHeightmapModelList, 1, 0, pick,
                    {{kPersistence, "0", "-0.5"}, {kOctaveCount, ".", "-1"}, {kPerlinGridSize, "0", "-1"},
                     {kSimulationSpeed, "0", "-0.1"}}},
                   {kHeightmapModelList, 2, 0, pick, {{kAmplitude, "0", "-1"}, {kFFTGridSize, "0", "-2"}}},
                   {0, 0, kFixedNormalization, kEventFixedNormalization, {{kNormalization, "0.01", "0"}}}});
  // The FFT fields do not count for the Perlin model, nor the other way round.
  Write(menu, kNormalization, L"0");
  Pick(menu, kHeightmapModelList, 1, kEventHeightmapModelPicked);
  EXPECT_TRUE(Enabled(menu, kCreatePerlinButton));
  // An emptied box reads 1.0.
  Pick(menu, kHeightmapModelList, 2, kEventHeightmapModelPicked);
  driver->Type(menu, kNormalization, "");
  EXPECT_TRUE(Enabled(menu, kCreateFFTButton));
  // Without a resolution nothing passes.
  Pick(menu, kHeightmapResolutionList, -1, 0);
  EXPECT_FALSE(Enabled(menu, kCreateFFTButton));
}

// Unticked, the normalization box only shows the automatic factor: a flat
// ocean's 0 never blocks Create, and such an ocean builds a flat heightmap.
TEST_F(ValidationTest, AnAutomaticNormalizationOfZeroNeverBlocksCreate) {
  StartWith(ENGINE_SM2);
  cMenu* menu = editor->menus.heightmap;
  Open(menu);
  Pick(menu, kHeightmapResolutionList, 3, 0);
  Pick(menu, kHeightmapModelList, 2, kEventHeightmapModelPicked);
  Write(menu, kFFTGridSize, L"100000");  // every wave longer than the grid
  Command(kEventCreateFFT);
  driver->Frames(2);
  ASSERT_EQ(BoxText(menu, kNormalization), L"0.00");
  const float* heights = editor->waterScene.heightmap->GetHeights();
  ASSERT_NE(heights, nullptr);
  EXPECT_TRUE(std::all_of(heights, heights + 32 * 32, [&](float h) { return h == heights[0] && std::isfinite(h); }));
  Write(menu, kFFTGridSize, L"4");
  EXPECT_TRUE(Enabled(menu, kCreateFFTButton));
  Check(menu, kFixedNormalization, true);  // now the 0 is the user's
  EXPECT_FALSE(Enabled(menu, kCreateFFTButton));
}

TEST_F(ValidationTest, GeometryFieldsAndSixteenBitLimits) {
  StartWith(ENGINE_SM2);
  const int pick = kEventGeometryTypePicked;
  CheckBoundaries(
      editor->menus.geometry, kCreateGeometryButton, kGeometryWarning,
      {{kGeometryTypeList, 1, 0, pick,
        {{kSimpleWidthX, "0.5", "0"}, {kSimpleWidthZ, "0.5", "-1"}, {kSimpleTesselationX, "507", "508"},
         {kSimpleTesselationZ, "1", "0.5"}, {kSimpleUVScaleX, "0.1", "0"}, {kSimpleUVScaleY, "0.1", "0"}}},
       {kGeometryTypeList, 2, 0, pick,
        {{kGeomipmapWidthX, "1", "0"}, {kGeomipmapWidthZ, "1", "0"}, {kGeomipmapMaxTesselation, "255", "256"},
         {kGeomipmapMaxTesselation, "1", "0.9"}, {kGeomipmapUVScaleX, "1", "0"}, {kGeomipmapUVScaleY, "1", "0"},
         {kGeomipmapPatchesX, "1", "0"}, {kGeomipmapPatchesZ, "1", "0"}, {kGeomipmapLodFalloff, "1", "0"},
         {kGeomipmapHeightFalloff, "1", "-1"}}},
       {kGeometryTypeList, 3, 0, pick,
        {{kRadialMaxRadius, "1", "0"}, {kRadialCircleResolution, "3", "2"}, {kRadialCircleResolution, "192", "100000"},
         {kRadialFirstRadius, "1", "0"}, {kRadialLevelScale, "1.01", "0"}, {kRadialFirstLevelScale, "1", "0"},
         {kRadialUVScaleX, "1", "0"}, {kRadialUVScaleY, "1", "0"}, {kRadialHeightFalloff, "1", "0"}}}});
}

TEST_F(ValidationTest, EngineFieldsAndOptionsOnlyWhileTicked) {
  StartWith(ENGINE_SM2);
  CreateFFTHeightmap();
  CreateNormalmap(1);
  CreateGeometry(1);
  cMenu* menu = editor->menus.sm2Engine;
  CheckBoundaries(
      menu, kCreateSM2EngineButton, kEngineWarning,
      {{0, 0, 0, 0,
        {{kReflectionStrength, "0", "-1"}, {kFullReflectionDistance, "0.5", "0"}, {kGlobalTransparency, "0", "-0.1"},
         {kReflectionColorR, "255", "255.5"}, {kReflectionColorG, "0", "-1"}, {kReflectionColorB, "0", "256"}}},
       {0, 0, kEnableReflection, kEventReflection,
        {{kReflectionResolution, "512", "500"}, {kReflectionResolution, "1", "0"},
         {kReflectionResolution, "4096", "8192"}}},
       {0, 0, kEnableRefraction, kEventRefraction,
        {{kRefractionResolution, "2", "3"}, {kRefractionFillR, "255", "300"}}},
       {0, 0, kEnableExtrusion, kEventExtrusion, {{kExtrusionStrength, "0", "-1"}, {kExtrusionUVScaleX, "0.1", "0"}}},
       {0, 0, kEnableFoam, kEventFoam,
        {{kFoamStart, "1", "1.5"}, {kFoamTransparency, "0", "-1"}, {kFoamTiling, "0.1", "0"},
         {kFoamDistortion, "0", "-1"}, {kFoamVisibility, "0", "-1"}}},
       {0, 0, kEnableSunlight, kEventSunlight, {{kSunColorB, "0", "-1"}, {kSunArea, "1", "0"}, {kSunPower, "1", "0"}}},
       {0, 0, kEnableDepth, kEventDepthEffects,
        {{kShoreTransparency, "0", "-1"}, {kDepthLimit, "0", "-1"}, {kDepthResolution, "512", "300"}}}});
  // An option's fields do not count while it is off.
  Write(menu, kReflectionResolution, L"500");
  EXPECT_TRUE(Enabled(menu, kCreateSM2EngineButton));
}

TEST_F(ValidationTest, NormalmapNeedsAHeightmapAndAnOfferedMethod) {
  StartWith(ENGINE_SM1);
  cMenu* menu = editor->menus.normalmap;
  Open(menu);
  Pick(menu, kNormalmapMethodList, 1, kEventNormalmapMethodPicked);
  Pick(menu, kFilteringList, 1, kEventFilteringPicked);
  EXPECT_FALSE(Enabled(menu, kCreateNormalmapButton));
  EXPECT_EQ(InfoLine(), kNormalmapWarning);
  CreatePerlinHeightmap();  // the list now offers CPU, then "n/a" twice
  Open(menu);
  Pick(menu, kNormalmapMethodList, 1, kEventNormalmapMethodPicked);
  EXPECT_FALSE(Enabled(menu, kCreateNormalmapButton));  // the filtering was reset by the pick
  Pick(menu, kFilteringList, 2, kEventFilteringPicked);
  EXPECT_TRUE(Enabled(menu, kCreateNormalmapButton));
  driver->Type(menu, kNormalsAmplitude, "-1");
  EXPECT_FALSE(Enabled(menu, kCreateNormalmapButton));
  Write(menu, kNormalsAmplitude, L"0");
  EXPECT_TRUE(Enabled(menu, kCreateNormalmapButton));
  for (int item : {2, 3}) {
    Pick(menu, kNormalmapMethodList, item, 0);
    EXPECT_FALSE(Enabled(menu, kCreateNormalmapButton)) << item;
  }
}

TEST_F(ValidationTest, EngineWaitsForEveryComponentAndShaderModel3ForARadialGrid) {
  StartWith(ENGINE_SM3);
  cMenu* menu = editor->menus.sm3Engine;
  const auto enabled = [&] {
    Open(menu);
    editor->UpdateComponentStatus();
    cGUIManager::Instance()->PopMenu();
    return ButtonEnabled(menu, kCreateSM3EngineButton);
  };
  EXPECT_FALSE(enabled());
  CreateFFTHeightmap();
  CreateNormalmap(2);
  EXPECT_FALSE(enabled());
  for (int item : {1, 2}) {
    CreateGeometry(item);  // "n/a" here: nothing is made and no panel shows
    EXPECT_EQ(editor->waterScene.geometry, nullptr);
    EXPECT_FALSE(GroupShown(editor->menus.geometry, kGroupGeometryCommon));
    EXPECT_FALSE(enabled());
  }
  CreateGeometry(3);
  EXPECT_TRUE(enabled());
}

TEST_F(ValidationTest, MarkersLegendAndStatistics) {
  StartWith(ENGINE_FFP);
  cMenu* toolbar = editor->menus.toolbar;
  editor->UpdateComponentStatus();
  for (int marker : {kWarningHeightmap, kWarningNormalmap, kWarningGeometry, kWarningEngine})
    EXPECT_TRUE(Shown(toolbar, marker)) << marker;
  EXPECT_FALSE(GroupShown(toolbar, kGroupLegend));  // the toolbar is on top
  Open(editor->menus.geometry);
  Check(editor->menus.geometry, kShowGeometryInfo, true);
  editor->UpdateComponentStatus();
  EXPECT_TRUE(GroupShown(toolbar, kGroupLegend));
  CreateGeometry(1);
  editor->timings.geometryExtrusion = 0.00126f;
  editor->UpdateComponentStatus();
  EXPECT_FALSE(Shown(toolbar, kWarningGeometry));
  EXPECT_TRUE(Shown(toolbar, kWarningHeightmap));
  EXPECT_EQ(Text(toolbar, kTriangleCount), L"Triangle count:32768");
  EXPECT_EQ(Text(toolbar, kVertexCount), L"Vertex count:16641");
  EXPECT_EQ(Text(toolbar, kExtrusionTime), L"Extrusion time(s):0.0013");
  EXPECT_EQ(Text(toolbar, kDrawCallCount), L"DIP calls:1");
  Open(editor->menus.heightmap);
  Check(editor->menus.heightmap, kShowHeightmap, true);
  editor->timings.heightmapUpdate = 0.5f;
  editor->UpdateComponentStatus();
  EXPECT_EQ(Text(toolbar, kHeightmapGenerationTime), L"Generation Time(s):0.500");
  EXPECT_EQ(Text(toolbar, kHeightmapWriteTime), L"Texture Write Time(s):0.000");
  Open(editor->menus.ffpEngine);
  Check(editor->menus.ffpEngine, kShowEngineInfo, true);
  editor->UpdateComponentStatus();
  EXPECT_EQ(Text(toolbar, kRenderTime), L"Render time(s):");
}

}  // namespace
