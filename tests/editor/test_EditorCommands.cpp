#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>

#include "../ScratchFolder.h"
#include "EditorTest.h"
#include "Golden.h"
#include "geometry/iWaterGeometry.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/iNormalmap.h"

namespace {

using namespace EditorId;

class CommandTest : public EditorTest {
 protected:
  // Whether a visible widget made after the button (so drawn over it) hides part
  // of it; labels are drawn after every sprite anyway and do not count.
  static bool Covered(const cMenu* menu, int buttonId) {
    const auto& controls = menu->Components();
    auto it = std::find_if(controls.begin(), controls.end(),
                           [&](const auto& c) { return c->GetId() == buttonId && dynamic_cast<cButton*>(c.get()); });
    if (it == controls.end()) return true;
    const float x = (*it)->GetPosition()[0], y = (*it)->GetPosition()[1];
    for (++it; it != controls.end(); ++it) {
      if (!(*it)->IsVisible() || dynamic_cast<cTextarea*>(it->get())) continue;
      for (int u = 0; u <= 4; ++u)
        for (int v = 0; v <= 4; ++v) if ((*it)->HitTest(x + 0.075f * u / 4, y - 0.0375f * v / 4)) return true;
    }
    return false;
  }
};

// See the golden file: button, info line, menu opened.
TEST_F(CommandTest, ToolbarClicksOpenTheirMenuAndHoversExplainThem) {
  StartWith(ENGINE_SM2);
  std::wstring text;
  for (const auto& component : editor->menus.toolbar->Components()) {
    auto* button = dynamic_cast<cButton*>(component.get());
    if (!button) continue;
    ASSERT_EQ(TopId(), kMenuToolbar);
    Command(button->OnHover(0, 0));
    text += L"#" + std::to_wstring(button->GetId()) + (editor->infoLine.IsVisible() ? L" " : L" hidden ") + InfoLine();
    Command(button->OnClick(0, 0));
    text += L" -> menu " + std::to_wstring(TopId()) + L"\n";
    Command(kEventClose);
  }
  ExpectGolden("toolbar-commands.txt", text);
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
  EXPECT_EQ(std::tuple(editor->IsQuitRequested(), TopId()), std::tuple(false, kMenuExit));
  Command(kEventExitCancel);
  Command(kEventExitClick);
  Command(kEventExitOk);
  EXPECT_TRUE(editor->IsQuitRequested());
}

// Ticking each checkbox of the component and engine menus shows the panels
// named in the golden file, on the toolbar or in its own menu; unticking hides them.
TEST_F(CommandTest, CheckboxesShowTheirPanels) {
  StartWith(ENGINE_SM3);
  const cEditor::Menus& m = editor->menus;
  const auto shownGroups = [&](const cMenu* menu) {
    std::wstring groups;
    for (const cMenu* panels : {static_cast<const cMenu*>(m.toolbar), menu}) {
      for (int group = 1; group < 100; ++group) {
        if (!GroupShown(panels, group)) continue;
        groups += L" " + std::to_wstring(panels->GetId()) + L"/" + std::to_wstring(group);
      }
    }
    return groups;
  };
  std::wstring text;
  for (cMenu* menu : {m.heightmap, m.normalmap, m.geometry, m.sm3Engine}) {
    for (const auto& component : menu->Components()) {
      auto* box = dynamic_cast<cCheckbox*>(component.get());
      if (!box) continue;
      const std::wstring before = shownGroups(menu);
      Tick(menu, box->GetId(), box->OnClick(0, 0));
      text += L"x" + std::to_wstring(box->GetId()) + L":" + shownGroups(menu) + L"\n";
      Tick(menu, box->GetId(), box->OnClick(0, 0), false);
      EXPECT_EQ(shownGroups(menu), before) << box->GetId();
    }
  }
  ExpectGolden("panel-switches.txt", text);
}

TEST_F(CommandTest, ReflectionOffTakesRefractionAlongAndDepthMovesTheCreateButton) {
  StartWith(ENGINE_SM2);
  cMenu* menu = editor->menus.sm2Engine;
  Tick(menu, kEnableReflection, kEventReflection);
  Tick(menu, kEnableRefraction, kEventRefraction);
  Tick(menu, kEnableReflection, kEventReflection, false);
  EXPECT_FALSE(IsChecked(menu, kEnableRefraction));
  EXPECT_FALSE(GroupShown(menu, kGroupRefraction));
  // With every panel shown, nothing drawn after the create button covers it;
  // placed from the checkbox, repeated events and a reset never make it drift.
  auto* button = menu->FindKind<cButton>(kCreateSM2EngineButton);
  const float x = button->GetPosition()[0], y = button->GetPosition()[1];
  for (auto [box, event] : {std::pair{kEnableReflection, kEventReflection}, {kEnableRefraction, kEventRefraction},
                            {kEnableExtrusion, kEventExtrusion}, {kEnableFoam, kEventFoam},
                            {kEnableSunlight, kEventSunlight}, {kEnableDepth, kEventDepthEffects}})
    Tick(menu, box, event);
  Command(kEventDepthEffects);
  EXPECT_FALSE(Covered(menu, kCreateSM2EngineButton));
  EXPECT_GT(button->GetPosition()[1], y);  // above the depth panel
  Tick(menu, kEnableDepth, kEventDepthEffects, false);
  EXPECT_FALSE(Covered(menu, kCreateSM2EngineButton));
  EXPECT_FLOAT_EQ(button->GetPosition()[0], x);
  Tick(menu, kEnableDepth, kEventDepthEffects);
  editor->ResetMenus();
  EXPECT_FLOAT_EQ(button->GetPosition()[0], x);
  EXPECT_FLOAT_EQ(button->GetPosition()[1], y);
}

TEST_F(CommandTest, PicksShowTheMatchingPanels) {
  StartWith(ENGINE_SM2);
  cMenu* heightmap = editor->menus.heightmap;
  for (int item : {1, 2}) {
    Pick(heightmap, kHeightmapModelList, item, kEventHeightmapModelPicked);
    EXPECT_EQ(std::tuple(GroupShown(heightmap, kGroupPerlin), GroupShown(heightmap, kGroupFFT)),
              std::tuple(item == 1, item == 2));
    EXPECT_TRUE(GroupShown(heightmap, kGroupHeightmapCommon));
  }
  cMenu* geometry = editor->menus.geometry;
  struct Row { int item, shown; };
  for (const Row& row : {Row{1, kGroupSimpleGrid}, Row{2, kGroupGeomipmap}, Row{3, kGroupRadialGrid}}) {
    Pick(geometry, kGeometryTypeList, row.item, kEventGeometryTypePicked);
    for (int group : {kGroupSimpleGrid, kGroupGeomipmap, kGroupRadialGrid})
      EXPECT_EQ(GroupShown(geometry, group), group == row.shown) << row.item << " " << group;
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

// A normal map made without a method leaves the engine without one.
TEST_F(CommandTest, HeightmapOfAnotherKindTakesItsDependantsSameKindKeepsThem) {
  StartWith(ENGINE_SM2);
  cWaterScene& scene = editor->waterScene;
  CreateAll(2, 1);  // the normal map on the GPU, from the heightmap texture
  driver->Frames(3);
  // A mark only the old normal map carries: the allocator may give the new one its address.
  scene.normalmap->SetAmplitude(123.0f);
  Command(kEventCreateFFT);  // same kind: everything stays, the normal map follows
  EXPECT_TRUE(scene.engine && scene.geometry);
  ASSERT_NE(scene.normalmap, nullptr);
  cEngineSettings record{};
  scene.normalmap->FillSettings(&record);
  EXPECT_NE(record.fdNormalmapAmplitude, 123.0f);
  EXPECT_EQ(scene.normalmap->GetTypeId(), NORMALMAP_FD_TEX);
  driver->Frames(3);
  Pick(editor->menus.normalmap, kNormalmapMethodList, -1, 0);
  Command(kEventCreateNormalmap);
  EXPECT_EQ(scene.normalmap, nullptr);
  driver->Frames(2);  // the engine must not draw with the deleted normal map
  Command(kEventCreatePerlin);
  EXPECT_TRUE(!scene.normalmap && !scene.engine && !scene.geometry);
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
  CreateAll(1, 2);
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

TEST_F(CommandTest, EngineCreateMakesTheTickedTargetsAndNewStateReleasesAll) {
  StartWith(ENGINE_SM2);
  cWaterScene& scene = editor->waterScene;
  CreateFFTHeightmap();
  CreateNormalmap(1);
  CreateGeometry(3);
  cMenu* menu = editor->menus.sm2Engine;
  for (auto [box, event] : {std::pair{kEnableReflection, kEventReflection}, {kEnableRefraction, kEventRefraction},
                            {kEnableDepth, kEventDepthEffects}})
    Tick(menu, box, event);
  Write(menu, kReflectionResolution, L"256");
  Command(kEventCreateSM2Engine);
  EXPECT_EQ(std::tuple(scene.reflectionTarget.GetSize(), scene.refractionTarget.GetSize(), scene.depthTarget.GetSize()),
            std::tuple(256, 512, 512));
  driver->Frames(2);
  Check(menu, kEnableRefraction, false);
  Command(kEventCreateSM2Engine);  // a re-created engine keeps only what is ticked now
  EXPECT_TRUE(!scene.refractionTarget.GetTexture() && scene.reflectionTarget.GetTexture());
  Open(editor->menus.newState);
  Command(kEventNewStateOk);
  EXPECT_EQ(TopId(), kMenuEngineSelection);
  EXPECT_TRUE(!scene.engine && !scene.geometry && !scene.normalmap && !scene.heightmap);
  EXPECT_TRUE(!scene.reflectionTarget.GetTexture() && !scene.depthTarget.GetTexture());
  EXPECT_FALSE(IsChecked(menu, kEnableReflection));
  EXPECT_FALSE(GroupShown(menu, kGroupReflection));
  EXPECT_EQ(BoxText(menu, kReflectionResolution), L"512");
  driver->Frames(2);
}

// A pass ticked after the engine was made gets its target in the next frame, at
// the menu's resolution once that is one the create button would take.
TEST_F(CommandTest, APassTickedAfterTheEngineWasMadeGetsItsTargetInTheNextFrame) {
  StartWith(ENGINE_SM1);
  cWaterScene& scene = editor->waterScene;
  CreateAll(1, 1);
  cMenu* menu = editor->menus.sm1Engine;
  Write(menu, kReflectionResolution, L"128");
  Write(menu, kRefractionResolution, L"500");
  Tick(menu, kEnableReflection, kEventReflection);
  Tick(menu, kEnableRefraction, kEventRefraction);
  driver->Frames(1);
  EXPECT_TRUE(scene.reflectionTarget.GetSize() == 128 && !scene.refractionTarget.GetTexture());
  Write(menu, kRefractionResolution, L"64");
  driver->Frames(1);
  EXPECT_EQ(scene.refractionTarget.GetSize(), 64);
}

TEST_F(CommandTest, SettingsApplyChangesOnlyWhatDiffers) {
  StartWith(ENGINE_FFP);
  cMenu* menu = editor->menus.settings;
  Open(menu);
  const D3DDISPLAYMODE before = editor->displayMode;
  const auto loadedFaces = [&](int set) {
    int loaded = 0;
    for (int k = 1; k <= 6; ++k) {
      const std::wstring name = L"data/sky/" + std::to_wstring(set) + L"/" + std::to_wstring(k) + L".tga";
      const D3DTexture* face = Image(name.c_str());
      loaded += face != nullptr && face->texture != nullptr;
    }
    return loaded;
  };
  {
    // Sky sets 1 and 2 made of one small image, in a working directory of their own.
    ScratchFolder folder;
    const std::filesystem::path image = "data/gui/warning.tga";
    for (int set : {1, 2}) {
      const std::filesystem::path faces = folder.Path() / ("data/sky/" + std::to_string(set));
      std::filesystem::create_directories(faces);
      for (int k = 1; k <= 6; ++k) std::filesystem::copy_file(image, faces / (std::to_string(k) + ".tga"));
    }
    WorkingDirectory inside(folder.Path());
    Pick(menu, kSkyList, 1, 0);  // the current set
    Command(kEventApplySettings);
    EXPECT_EQ(std::tuple(editor->currentSkySet, editor->modeChangePending), std::tuple(0, false));
    Pick(menu, kSkyList, 2, 0);
    Pick(menu, kResolutionList, 1, 0);  // 640x480: the desktop is 1024x768
    Command(kEventApplySettings);
    EXPECT_EQ(std::tuple(editor->currentSkySet, loadedFaces(2), editor->modeChangePending, editor->pendingMode.Width),
              std::tuple(1, 6, true, editor->displayModes[0].Width));
    // A set that cannot be read keeps every face of the current one.
    FindCombobox(menu, kSkyList)->AddItem(L"9");
    Pick(menu, kSkyList, 4, 0);
    Pick(menu, kResolutionList, -1, 0);
    Command(kEventApplySettings);
    EXPECT_EQ(std::tuple(editor->currentSkySet, loadedFaces(2)), std::tuple(1, 6));
    editor->UpdateComponentStatus();
    EXPECT_EQ(InfoLine(), L"The selected skybox could not be loaded; the current one stays.");
  }
  driver->Frames(1);
  EXPECT_NE(editor->displayMode.Width, before.Width);
}

}  // namespace
