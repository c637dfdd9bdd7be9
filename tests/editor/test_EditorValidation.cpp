#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorSession.h"

namespace {

using namespace EditorId;

constexpr const wchar_t* kHeightmapWarning = L"Not all heightmap options are valid. Please check the constrainsts.";
constexpr const wchar_t* kGeometryWarning = L"Not all geometry options are valid. Please check the constraints.";
constexpr const wchar_t* kNormalmapWarning =
    L"Not all normalmap options are valid or the heightmap is not created. Please check the constraints.";
constexpr const wchar_t* kEngineWarning =
    L"Not all engine options are valid or one of the following components is not initalized:heightmap, normalmap, "
    L"geometry. Please check the constraints.";

// One field on both sides of its bound: typed with the keys into the real box,
// after `list` got `item` (with its event) and `checkbox` was ticked (with its event).
struct Boundary {
  int list, item, pickEvent;
  int checkbox, checkEvent;
  int field;
  const char* passes;
  const char* fails;
};

class ValidationTest : public EditorSession {
 protected:
  // Types each boundary into `menu` (on top) and checks `button` and the warning.
  void CheckBoundaries(cMenu* menu, int button, const wchar_t* warning, const std::vector<Boundary>& cases) {
    Open(menu);
    for (const Boundary& c : cases) {
      SCOPED_TRACE("field " + std::to_string(c.field) + " passes " + c.passes + ", fails " + c.fails);
      if (c.list != 0) Pick(menu, c.list, c.item, c.pickEvent);
      if (c.checkbox != 0) {
        Check(menu, c.checkbox, true);
        Command(c.checkEvent);
      }
      const int createButton = button != 0 ? button : (c.item == 1 ? kCreatePerlinButton : kCreateFFTButton);
      driver->Type(menu, c.field, c.fails);
      editor->UpdateComponentStatus();
      EXPECT_FALSE(ButtonEnabled(menu, createButton));
      EXPECT_EQ(InfoLine(), warning);
      driver->Type(menu, c.field, c.passes);
      editor->UpdateComponentStatus();
      EXPECT_TRUE(ButtonEnabled(menu, createButton));
      if (c.checkbox != 0) {
        Check(menu, c.checkbox, false);
        Command(c.checkEvent);
      }
    }
  }

  void CreateEngineComponents(int geometryItem) {
    CreateFFTHeightmap();
    CreateNormalmap(1);
    CreateGeometry(geometryItem);
    ASSERT_NE(editor->waterScene.geometry, nullptr);
  }
};

TEST_F(ValidationTest, HeightmapFieldsOfTheChosenModelOnly) {
  StartWith(ENGINE_SM2);
  cMenu* menu = editor->menus.heightmap;
  Pick(menu, kHeightmapResolutionList, 3, 0);
  CheckBoundaries(menu, 0, kHeightmapWarning,
                  {{kHeightmapModelList, 1, kEventHeightmapModelPicked, 0, 0, kPersistence, "0", "-0.5"},
                   {kHeightmapModelList, 1, kEventHeightmapModelPicked, 0, 0, kOctaveCount, ".", "-1"},
                   {kHeightmapModelList, 1, kEventHeightmapModelPicked, 0, 0, kPerlinGridSize, "0", "-1"},
                   {kHeightmapModelList, 1, kEventHeightmapModelPicked, 0, 0, kSimulationSpeed, "0", "-0.1"},
                   {kHeightmapModelList, 2, kEventHeightmapModelPicked, 0, 0, kAmplitude, "0", "-1"},
                   {kHeightmapModelList, 2, kEventHeightmapModelPicked, 0, 0, kNormalization, "0.01", "0"},
                   {kHeightmapModelList, 2, kEventHeightmapModelPicked, 0, 0, kFFTGridSize, "0", "-2"}});

  // The FFT fields do not count for the Perlin model, nor the other way round.
  Write(menu, kNormalization, L"0");
  Pick(menu, kHeightmapModelList, 1, kEventHeightmapModelPicked);
  editor->UpdateComponentStatus();
  EXPECT_TRUE(ButtonEnabled(menu, kCreatePerlinButton));
  // An emptied box reads 1.0.
  Pick(menu, kHeightmapModelList, 2, kEventHeightmapModelPicked);
  driver->Type(menu, kNormalization, "");
  editor->UpdateComponentStatus();
  EXPECT_TRUE(ButtonEnabled(menu, kCreateFFTButton));
  // Without a resolution nothing passes.
  Pick(menu, kHeightmapResolutionList, -1, 0);
  editor->UpdateComponentStatus();
  EXPECT_FALSE(ButtonEnabled(menu, kCreateFFTButton));
}

TEST_F(ValidationTest, GeometryFieldsAndSixteenBitLimits) {
  StartWith(ENGINE_SM2);
  const int pick = kEventGeometryTypePicked;
  CheckBoundaries(editor->menus.geometry, kCreateGeometryButton, kGeometryWarning,
                  {{kGeometryTypeList, 1, pick, 0, 0, kSimpleWidthX, "0.5", "0"},
                   {kGeometryTypeList, 1, pick, 0, 0, kSimpleWidthZ, "0.5", "-1"},
                   {kGeometryTypeList, 1, pick, 0, 0, kSimpleTesselationX, "507", "508"},
                   {kGeometryTypeList, 1, pick, 0, 0, kSimpleTesselationZ, "1", "0.5"},
                   {kGeometryTypeList, 1, pick, 0, 0, kSimpleUVScaleX, "0.1", "0"},
                   {kGeometryTypeList, 1, pick, 0, 0, kSimpleUVScaleY, "0.1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapWidthX, "1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapWidthZ, "1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapMaxTesselation, "255", "256"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapMaxTesselation, "1", "0.9"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapUVScaleX, "1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapUVScaleY, "1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapPatchesX, "1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapPatchesZ, "1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapLodFalloff, "1", "0"},
                   {kGeometryTypeList, 2, pick, 0, 0, kGeomipmapHeightFalloff, "1", "-1"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialMaxRadius, "1", "0"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialCircleResolution, "3", "2"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialCircleResolution, "192", "100000"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialFirstRadius, "1", "0"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialLevelScale, "1.01", "0"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialFirstLevelScale, "1", "0"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialUVScaleX, "1", "0"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialUVScaleY, "1", "0"},
                   {kGeometryTypeList, 3, pick, 0, 0, kRadialHeightFalloff, "1", "0"}});
}

TEST_F(ValidationTest, EngineFieldsAndOptionsOnlyWhileTicked) {
  StartWith(ENGINE_SM2);
  CreateEngineComponents(1);
  cMenu* menu = editor->menus.sm2Engine;
  CheckBoundaries(menu, kCreateSM2EngineButton, kEngineWarning,
                  {{0, 0, 0, 0, 0, kReflectionStrength, "0", "-1"},
                   {0, 0, 0, 0, 0, kFullReflectionDistance, "0.5", "0"},
                   {0, 0, 0, 0, 0, kGlobalTransparency, "0", "-0.1"},
                   {0, 0, 0, 0, 0, kReflectionColorR, "255", "255.5"},
                   {0, 0, 0, 0, 0, kReflectionColorG, "0", "-1"},
                   {0, 0, 0, 0, 0, kReflectionColorB, "0", "256"},
                   {0, 0, 0, kEnableReflection, kEventReflection, kReflectionResolution, "512", "500"},
                   {0, 0, 0, kEnableReflection, kEventReflection, kReflectionResolution, "1", "0"},
                   {0, 0, 0, kEnableReflection, kEventReflection, kReflectionResolution, "4096", "8192"},
                   {0, 0, 0, kEnableRefraction, kEventRefraction, kRefractionResolution, "2", "3"},
                   {0, 0, 0, kEnableRefraction, kEventRefraction, kRefractionFillR, "255", "300"},
                   {0, 0, 0, kEnableExtrusion, kEventExtrusion, kExtrusionStrength, "0", "-1"},
                   {0, 0, 0, kEnableExtrusion, kEventExtrusion, kExtrusionUVScaleX, "0.1", "0"},
                   {0, 0, 0, kEnableFoam, kEventFoam, kFoamStart, "1", "1.5"},
                   {0, 0, 0, kEnableFoam, kEventFoam, kFoamTransparency, "0", "-1"},
                   {0, 0, 0, kEnableFoam, kEventFoam, kFoamTiling, "0.1", "0"},
                   {0, 0, 0, kEnableFoam, kEventFoam, kFoamDistortion, "0", "-1"},
                   {0, 0, 0, kEnableFoam, kEventFoam, kFoamVisibility, "0", "-1"},
                   {0, 0, 0, kEnableSunlight, kEventSunlight, kSunColorB, "0", "-1"},
                   {0, 0, 0, kEnableSunlight, kEventSunlight, kSunArea, "1", "0"},
                   {0, 0, 0, kEnableSunlight, kEventSunlight, kSunPower, "1", "0"},
                   {0, 0, 0, kEnableDepth, kEventDepthEffects, kShoreTransparency, "0", "-1"},
                   {0, 0, 0, kEnableDepth, kEventDepthEffects, kDepthLimit, "0", "-1"},
                   {0, 0, 0, kEnableDepth, kEventDepthEffects, kDepthResolution, "512", "300"}});

  // An option's fields do not count while it is off.
  Write(menu, kReflectionResolution, L"500");
  editor->UpdateComponentStatus();
  EXPECT_TRUE(ButtonEnabled(menu, kCreateSM2EngineButton));
}

TEST_F(ValidationTest, NormalmapNeedsAHeightmapAndAnOfferedMethod) {
  StartWith(ENGINE_SM1);
  cMenu* menu = editor->menus.normalmap;
  Open(menu);
  const auto enabled = [&] {
    editor->UpdateComponentStatus();
    return ButtonEnabled(menu, kCreateNormalmapButton);
  };
  Pick(menu, kNormalmapMethodList, 1, kEventNormalmapMethodPicked);
  Pick(menu, kFilteringList, 1, kEventFilteringPicked);
  EXPECT_FALSE(enabled());
  EXPECT_EQ(InfoLine(), kNormalmapWarning);

  CreatePerlinHeightmap();  // the list now offers CPU, then "n/a" twice
  Open(menu);
  Pick(menu, kNormalmapMethodList, 1, kEventNormalmapMethodPicked);
  EXPECT_FALSE(enabled());  // the filtering was reset by the pick
  Pick(menu, kFilteringList, 2, kEventFilteringPicked);
  EXPECT_TRUE(enabled());
  driver->Type(menu, kNormalsAmplitude, "-1");
  EXPECT_FALSE(enabled());
  Write(menu, kNormalsAmplitude, L"0");
  EXPECT_TRUE(enabled());
  for (int item : {2, 3}) {
    Pick(menu, kNormalmapMethodList, item, 0);
    EXPECT_FALSE(enabled()) << item;
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
  CreateGeometry(1);  // "n/a" here: nothing is made
  EXPECT_EQ(editor->waterScene.geometry, nullptr);
  EXPECT_FALSE(enabled());
  CreateGeometry(3);
  EXPECT_TRUE(enabled());
}

TEST_F(ValidationTest, MarkersLegendAndStatistics) {
  StartWith(ENGINE_FFP);
  cMenu* toolbar = editor->menus.toolbar;
  editor->UpdateComponentStatus();
  for (int marker : {kWarningHeightmap, kWarningNormalmap, kWarningGeometry, kWarningEngine}) {
    EXPECT_TRUE(Shown(toolbar, marker)) << marker;
  }
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
