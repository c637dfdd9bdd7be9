#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "../ScratchFolder.h"
#include "EditorSession.h"
#include "engine/cWaterEngineSM2.h"
#include "geometry/iWaterGeometry.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/iNormalmap.h"
#include "scene/D3DTexture.h"
#include "scene/cResourceCache.h"

namespace {

using namespace EditorId;

class CommandTest : public EditorSession {};

TEST_F(CommandTest, ToolbarClicksOpenTheirMenuAndHoversExplainThem) {
  StartWith(ENGINE_SM2);
  struct Row {
    int click, hover, menu;
    const wchar_t* tooltip;
  };
  const Row rows[] = {
      {kEventNewClick, kEventNewHover, kMenuNewState, L"Select a new water rendering engine."},
      {kEventHeightmapMenuClick, kEventHeightmapMenuHover, kMenuHeightmap, L"Open the heightmap generation menu"},
      {kEventNormalmapMenuClick, kEventNormalmapMenuHover, kMenuNormalmap, L"Open the normalmap generation menu"},
      {kEventGeometryMenuClick, kEventGeometryMenuHover, kMenuGeometry, L"Open the geometry generation menu"},
      {kEventEngineMenuClick, kEventEngineMenuHover, kMenuSM2Engine, L"Open the water rendering setting menu"},
      {kEventExitClick, kEventExitHover, kMenuExit, L"Exit the editor and return to OS"},
      {kEventSettingsClick, kEventSettingsHover, kMenuSettings, L"Open the settings menu."},
      {kEventSaveClick, kEventSaveHover, kMenuSave, L"Export current engine state to file"},
      {kEventLoadClick, kEventLoadHover, kMenuLoad, L"Import engine state from file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.click);
    ASSERT_EQ(TopId(), kMenuToolbar);
    Command(row.hover);
    EXPECT_EQ(InfoLine(), row.tooltip);
    EXPECT_TRUE(editor->infoLine.IsVisible());
    Command(row.click);
    EXPECT_EQ(TopId(), row.menu);
    Command(kEventClose);
  }
}

TEST_F(CommandTest, ClosingAndExitOnlyFromTheToolbarButtonAndIgnoredEventsChangeNothing) {
  StartWith(ENGINE_FFP);
  for (int id : {1016, 1017, 1020, 1024, 1036, 1053, 1000, 1061, -1, 0}) {
    Command(id);
    EXPECT_EQ(TopId(), kMenuToolbar) << id;
  }
  for (int close : {kEventClose, kEventNewStateCancel, kEventExitCancel}) {
    Open(editor->menus.settings);
    Command(close);
    EXPECT_EQ(TopId(), kMenuToolbar) << close;
  }
  Open(editor->menus.exit);  // without the toolbar button as caller
  Command(kEventExitOk);
  EXPECT_FALSE(editor->IsQuitRequested());
  EXPECT_EQ(TopId(), kMenuExit);
  Command(kEventExitCancel);
  Command(kEventExitClick);
  Command(kEventExitOk);
  EXPECT_TRUE(editor->IsQuitRequested());
}

TEST_F(CommandTest, CheckboxesShowTheirPanels) {
  StartWith(ENGINE_SM3);
  struct Row {
    cMenu* checkboxMenu;
    int checkbox, event;
    cMenu* panelMenu;
    int group;
  };
  cMenu* engine = editor->menus.sm3Engine;
  const Row rows[] = {
      {editor->menus.heightmap, kShowHeightmap, kEventShowHeightmap, editor->menus.toolbar, kGroupHeightmapStats},
      {editor->menus.normalmap, kShowNormalmap, kEventShowNormalmap, editor->menus.toolbar, kGroupNormalmapStats},
      {editor->menus.geometry, kShowGeometryInfo, kEventShowGeometryInfo, editor->menus.toolbar, kGroupGeometryStats},
      {engine, kShowEngineInfo, kEventShowEngineInfo, editor->menus.toolbar, kGroupEngineStats},
      {engine, kEnableReflection, kEventReflection, engine, kGroupReflection},
      {engine, kEnableRefraction, kEventRefraction, engine, kGroupRefraction},
      {engine, kEnableExtrusion, kEventExtrusion, engine, kGroupExtrusion},
      {engine, kEnableFoam, kEventFoam, engine, kGroupFoam},
      {engine, kEnableSunlight, kEventSunlight, engine, kGroupSunlight},
      {engine, kEnableDepth, kEventDepthEffects, engine, kGroupDepth},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.event);
    EXPECT_FALSE(GroupShown(row.panelMenu, row.group));
    for (bool checked : {true, false}) {
      Check(row.checkboxMenu, row.checkbox, checked);
      Command(row.event);
      EXPECT_EQ(GroupShown(row.panelMenu, row.group), checked);
    }
  }
}

TEST_F(CommandTest, ReflectionOffTakesRefractionAlongAndDepthMovesTheCreateButton) {
  StartWith(ENGINE_SM2);
  cMenu* menu = editor->menus.sm2Engine;
  for (auto [box, event] : {std::pair{kEnableReflection, kEventReflection}, {kEnableRefraction, kEventRefraction}}) {
    Check(menu, box, true);
    Command(event);
  }
  Check(menu, kEnableReflection, false);
  Command(kEventReflection);
  EXPECT_FALSE(IsChecked(menu, kEnableRefraction));
  EXPECT_FALSE(GroupShown(menu, kGroupRefraction));

  // Placed from the checkbox: repeated events and a reset never make it drift.
  const auto x = [&] { return menu->FindKind<cButton>(kCreateSM2EngineButton)->GetPosition()[0]; };
  Check(menu, kEnableDepth, true);
  Command(kEventDepthEffects);
  Command(kEventDepthEffects);
  EXPECT_FLOAT_EQ(x(), 0.12f - 0.35f);
  Check(menu, kEnableDepth, false);
  Command(kEventDepthEffects);
  EXPECT_FLOAT_EQ(x(), 0.12f);
  Check(menu, kEnableDepth, true);
  Command(kEventDepthEffects);
  editor->ResetMenus();
  EXPECT_FLOAT_EQ(x(), 0.12f);
}

TEST_F(CommandTest, PicksShowTheMatchingPanels) {
  StartWith(ENGINE_SM2);
  cMenu* heightmap = editor->menus.heightmap;
  Pick(heightmap, kHeightmapModelList, 1, kEventHeightmapModelPicked);
  EXPECT_TRUE(GroupShown(heightmap, kGroupPerlin) && GroupShown(heightmap, kGroupHeightmapCommon));
  EXPECT_FALSE(GroupShown(heightmap, kGroupFFT));
  Pick(heightmap, kHeightmapModelList, 2, kEventHeightmapModelPicked);
  EXPECT_TRUE(GroupShown(heightmap, kGroupFFT) && GroupShown(heightmap, kGroupHeightmapCommon));
  EXPECT_FALSE(GroupShown(heightmap, kGroupPerlin));

  cMenu* geometry = editor->menus.geometry;
  struct Row {
    int item, shown;
  };
  for (const Row& row : {Row{1, kGroupSimpleGrid}, Row{2, kGroupGeomipmap}, Row{3, kGroupRadialGrid}}) {
    Pick(geometry, kGeometryTypeList, row.item, kEventGeometryTypePicked);
    for (int group : {kGroupSimpleGrid, kGroupGeomipmap, kGroupRadialGrid}) {
      EXPECT_EQ(GroupShown(geometry, group), group == row.shown) << row.item << " " << group;
    }
    EXPECT_TRUE(GroupShown(geometry, kGroupGeometryCommon));
  }

  CreateFFTHeightmap();
  cMenu* normalmap = editor->menus.normalmap;
  Pick(normalmap, kNormalmapMethodList, 2, kEventNormalmapMethodPicked);
  EXPECT_TRUE(GroupShown(normalmap, kGroupFiltering));
  EXPECT_FALSE(GroupShown(normalmap, kGroupNormalmapCommon));
  Pick(normalmap, kFilteringList, 1, kEventFilteringPicked);
  EXPECT_TRUE(GroupShown(normalmap, kGroupNormalmapCommon) && GroupShown(normalmap, kGroupNormalsAmplitude));
  Pick(normalmap, kNormalmapMethodList, 3, kEventNormalmapMethodPicked);
  EXPECT_TRUE(GroupShown(normalmap, kGroupFFTNormalsNote) && GroupShown(normalmap, kGroupNormalmapCommon));
  EXPECT_FALSE(GroupShown(normalmap, kGroupFiltering) || GroupShown(normalmap, kGroupNormalsAmplitude));
}

TEST_F(CommandTest, GeometryListOfShaderModel3OffersOnlyTheRadialGrid) {
  StartWith(ENGINE_SM3);
  for (int item : {1, 2}) {
    Pick(editor->menus.geometry, kGeometryTypeList, item, kEventGeometryTypePicked);
    EXPECT_FALSE(GroupShown(editor->menus.geometry, kGroupGeometryCommon)) << item;
  }
}

TEST_F(CommandTest, HeightmapOfAnotherKindTakesItsDependantsSameKindKeepsThem) {
  StartWith(ENGINE_SM2);
  cWaterScene& scene = editor->waterScene;
  CreateFFTHeightmap();
  CreateNormalmap(2);  // on the GPU, from the heightmap texture
  CreateGeometry(1);
  Command(kEventCreateSM2Engine);
  ASSERT_NE(scene.engine, nullptr);
  driver->Frames(3);

  const iNormalmap* oldNormalmap = scene.normalmap;
  Command(kEventCreateFFT);  // same kind: everything stays, the normal map follows
  EXPECT_NE(scene.engine, nullptr);
  EXPECT_NE(scene.geometry, nullptr);
  ASSERT_NE(scene.normalmap, nullptr);
  EXPECT_NE(scene.normalmap, oldNormalmap);
  EXPECT_EQ(scene.normalmap->GetTypeId(), NORMALMAP_FD_TEX);
  driver->Frames(3);

  Command(kEventCreatePerlin);
  EXPECT_EQ(scene.normalmap, nullptr);
  EXPECT_EQ(scene.engine, nullptr);
  EXPECT_EQ(scene.geometry, nullptr);
  ASSERT_NE(scene.heightmap, nullptr);
  EXPECT_EQ(scene.heightmap->GetTypeId(), HEIGHTMAP_PERLIN);
  cCombobox* methods = FindCombobox(editor->menus.normalmap, kNormalmapMethodList);
  methods->Select(3);
  EXPECT_STREQ(methods->GetSelectedText(), L"n/a");  // no FFT normal map for a Perlin heightmap
  driver->Frames(2);
}

// Under shader model 1 an unticked extrusion leaves the geomipmap grid reading
// the heightmap it was last extruded with; a new heightmap takes its place.
TEST_F(CommandTest, GeometryFollowsAReplacedHeightmap) {
  StartWith(ENGINE_SM1);
  cWaterScene& scene = editor->waterScene;
  CreateFFTHeightmap();
  CreateNormalmap(1);
  CreateGeometry(2);
  Command(kEventCreateSM1Engine);
  for (bool extrude : {true, false}) {
    Check(editor->menus.sm1Engine, kEnableExtrusion, extrude);
    driver->Frames(2);
  }
  Command(kEventCreateFFT);
  cEngineSettings state{};
  scene.geometry->FillSettings(&state);
  EXPECT_TRUE(state.extrudeGeometry);
  driver->Frames(3);  // AddressSanitizer: nothing reads the deleted heightmap
}

TEST_F(CommandTest, NormalmapWithoutAMethodLeavesTheEngineWithout) {
  StartWith(ENGINE_SM2);
  CreateFFTHeightmap();
  CreateNormalmap(1);
  CreateGeometry(1);
  Command(kEventCreateSM2Engine);
  auto* engine = dynamic_cast<cWaterEngineSM2*>(editor->waterScene.engine);
  ASSERT_NE(engine, nullptr);
  driver->Frames(2);
  Pick(editor->menus.normalmap, kNormalmapMethodList, -1, 0);
  Command(kEventCreateNormalmap);
  EXPECT_EQ(editor->waterScene.normalmap, nullptr);
  driver->Frames(2);  // the engine must not draw with the deleted normal map
}

TEST_F(CommandTest, EngineCreateMakesTheTickedTargetsAndNewStateReleasesAll) {
  StartWith(ENGINE_SM2);
  cWaterScene& scene = editor->waterScene;
  CreateFFTHeightmap();
  CreateNormalmap(1);
  CreateGeometry(3);
  cMenu* menu = editor->menus.sm2Engine;
  for (auto [box, event] : {std::pair{kEnableReflection, kEventReflection}, {kEnableRefraction, kEventRefraction},
                            {kEnableDepth, kEventDepthEffects}}) {
    Check(menu, box, true);
    Command(event);
  }
  Write(menu, kReflectionResolution, L"256");
  Command(kEventCreateSM2Engine);
  EXPECT_EQ(scene.reflectionTarget.GetSize(), 256);
  EXPECT_EQ(scene.refractionTarget.GetSize(), 512);
  EXPECT_EQ(scene.depthTarget.GetSize(), 512);
  driver->Frames(2);

  Check(menu, kEnableRefraction, false);
  Command(kEventCreateSM2Engine);  // a re-created engine keeps only what is ticked now
  EXPECT_EQ(scene.refractionTarget.GetTexture(), nullptr);
  EXPECT_NE(scene.reflectionTarget.GetTexture(), nullptr);

  Open(editor->menus.newState);
  Command(kEventNewStateOk);
  EXPECT_EQ(TopId(), kMenuEngineSelection);
  EXPECT_EQ(scene.engine, nullptr);
  EXPECT_EQ(scene.geometry, nullptr);
  EXPECT_EQ(scene.normalmap, nullptr);
  EXPECT_EQ(scene.heightmap, nullptr);
  EXPECT_EQ(scene.reflectionTarget.GetTexture(), nullptr);
  EXPECT_EQ(scene.depthTarget.GetTexture(), nullptr);
  EXPECT_FALSE(IsChecked(menu, kEnableReflection));
  EXPECT_FALSE(GroupShown(menu, kGroupReflection));
  EXPECT_EQ(BoxText(menu, kReflectionResolution), L"512");
  driver->Frames(2);
}

// Sky sets 1 and 2 made of one small image, in a working directory of their
// own for the time of the test.
class SkySetsDirectory {
 public:
  SkySetsDirectory() {
    const std::filesystem::path image = std::filesystem::current_path() / "data/gui/warning.tga";
    for (int set : {1, 2}) {
      const std::filesystem::path faces = folder_.Path() / ("data/sky/" + std::to_string(set));
      std::filesystem::create_directories(faces);
      for (int k = 1; k <= 6; ++k) std::filesystem::copy_file(image, faces / (std::to_string(k) + ".tga"));
    }
    inside_.emplace(folder_.Path());
  }

 private:
  ScratchFolder folder_;
  std::optional<WorkingDirectory> inside_;  // left before the folder goes
};

TEST_F(CommandTest, SettingsApplyChangesOnlyWhatDiffers) {
  StartWith(ENGINE_FFP);
  cMenu* menu = editor->menus.settings;
  Open(menu);
  const D3DDISPLAYMODE before = editor->displayMode;
  const auto faces = [&](int set) {
    int loaded = 0;
    for (int k = 1; k <= 6; ++k) {
      const std::wstring name = L"data/sky/" + std::to_wstring(set) + L"/" + std::to_wstring(k) + L".tga";
      const auto* face = dynamic_cast<const D3DTexture*>(editor->resourceCache->Find(name.c_str()));
      loaded += face != nullptr && face->texture != nullptr;
    }
    return loaded;
  };
  {
    SkySetsDirectory sky;
    Pick(menu, kSkyList, 1, 0);  // the current set
    Command(kEventApplySettings);
    EXPECT_EQ(editor->currentSkySet, 0);
    EXPECT_FALSE(editor->modeChangePending);

    Pick(menu, kSkyList, 2, 0);
    Pick(menu, kResolutionList, 1, 0);  // 640x480: the desktop is 1024x768
    Command(kEventApplySettings);
    EXPECT_EQ(editor->currentSkySet, 1);
    EXPECT_EQ(faces(2), 6);
    EXPECT_TRUE(editor->modeChangePending);
    EXPECT_EQ(editor->pendingMode.Width, editor->displayModes[0].Width);

    // A set that cannot be read keeps every face of the current one.
    FindCombobox(menu, kSkyList)->AddItem(L"9");
    Pick(menu, kSkyList, 4, 0);
    Pick(menu, kResolutionList, -1, 0);
    Command(kEventApplySettings);
    EXPECT_EQ(editor->currentSkySet, 1);
    EXPECT_EQ(faces(2), 6);
    editor->UpdateComponentStatus();
    EXPECT_EQ(InfoLine(), L"The selected skybox could not be loaded; the current one stays.");
  }
  driver->Frames(1);
  EXPECT_NE(editor->displayMode.Width, before.Width);
}

}  // namespace
