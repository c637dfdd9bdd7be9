// The editor on a headless device with menus holding just the live controls a
// test types into, and components the fixture owns (it detaches them from the
// water scene before shutdown). Fakes log what the pipeline asks of them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EditorTest.h"
#include "settings/TypeIds.h"
#include "editor/EditorIds.h"
#include "editor/MenuValues.h"
#include "engine/iWaterEngine.h"
#include "geometry/iWaterGeometry.h"
#include "gui/cCheckbox.h"
#include "gui/cEditbox.h"
#include "heightmap/iHeightmap.h"
#include "normalmap/iNormalmap.h"

namespace pipeline_test {

using CallLog = std::vector<std::string>;

// Each timed call advances the clock by its own amount, so a step time shows
// which call it measured.
constexpr double kComputeSeconds = 0.125, kNormalWriteSeconds = 0.25;
constexpr double kUpdateSeconds = 0.5, kHeightWriteSeconds = 1.0;

class LoggingHeightmap : public iHeightmap {
 public:
  LoggingHeightmap(CallLog* log, int typeId = HEIGHTMAP_PERLIN) : log_(log), typeId_(typeId) {}

  bool OnLostDevice() override { return true; }
  bool OnResetDevice() override { return true; }
  bool OnDeviceEvent() override { return true; }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  const float* GetHeights() const override { return nullptr; }
  int GetResolution() const override { return -1; }
  bool WriteTexture(IDirect3DDevice9*) override {
    log_->push_back("heightmap write");
    platform::headless::AdvanceClock(kHeightWriteSeconds);
    return true;
  }
  bool Update(float time) override {
    log_->push_back("heightmap update");
    times.push_back(time);
    platform::headless::AdvanceClock(kUpdateSeconds);
    return true;
  }
  int GetTypeId() const override { return typeId_; }
  bool UseIntegerFormat(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  bool UseFloatFormat(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  D3DFORMAT GetTextureFormat() const override { return D3DFMT_A8R8G8B8; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }

  std::vector<float> times;  // every Update's argument

 private:
  CallLog* log_;
  int typeId_;
};

class LoggingNormalmap : public iNormalmap {
 public:
  LoggingNormalmap(CallLog* log, int typeId) : log_(log), typeId_(typeId) {}

  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  bool OnLostDevice(IDirect3DDevice9*) override { return true; }
  bool OnResetDevice(IDirect3DDevice9*) override { return true; }
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  bool Compute() override {
    log_->push_back("normalmap compute");
    platform::headless::AdvanceClock(kComputeSeconds);
    return true;
  }
  bool WriteTexture(IDirect3D9*, IDirect3DDevice9*) override {
    log_->push_back("normalmap write");
    platform::headless::AdvanceClock(kNormalWriteSeconds);
    return true;
  }
  const D3DXVECTOR3* GetNormals() const override { return nullptr; }
  int GetResolution() const override { return -1; }
  void SetAmplitude(float value) override { amplitudes.push_back(value); }
  bool IsSupported(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  int GetTypeId() const override { return typeId_; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }

  std::vector<float> amplitudes;  // every SetAmplitude's argument

 private:
  CallLog* log_;
  int typeId_;
};

// Every live edit box and check box of the engine menus.
inline const std::vector<int> kEngineBoxes = {229, 230, 231, 232, 233, 234, 238, 239, 242, 245, 246, 247, 248,
                                              250, 251, 261, 262, 263, 265, 266, 271, 272, 273, 274, 275, 276,
                                              277, 278, 279, 280, 282, 283, 307};
inline const std::vector<int> kEngineChecks = {235, 236, 244, 249, 259, 269, 270};

class PipelineTest : public EditorTest {
 protected:
  void SetUp() override { Start(); }

  void TearDown() override { ShutdownEditor(); }

  // Detaches the fixture's components, so the editor never frees them, and shuts down.
  void ShutdownEditor() {
    if (editor) {
      cWaterScene& scene = editor->waterScene;
      scene.heightmap = nullptr;
      scene.normalmap = nullptr;
      scene.geometry = nullptr;
      scene.engine = nullptr;
    }
    EditorTest::TearDown();
    editor = nullptr;
  }

  // A menu with edit boxes (text "0") and unchecked check boxes of these ids.
  static cMenu* MakeMenu(int menuId, const std::vector<int>& boxes, const std::vector<int>& checks) {
    auto* menu = new cMenu(menuId, nullptr);
    for (int id : boxes) {
      menu->Add(new cEditbox(id, D3DXVECTOR2(0.0f, 0.0f), D3DXVECTOR2(0.1f, 0.03f), D3DXVECTOR2(0.01f, 0.005f), L"0",
                             nullptr, nullptr));
    }
    for (int id : checks) {
      menu->Add(new cCheckbox(id, 0, nullptr, nullptr, D3DXVECTOR2(0.0f, 0.0f), 0.03f, 0.03f));
    }
    return menu;
  }

  // The editor's menus for `engineType`, holding the live controls (the editor deletes them).
  void UseMenus(int engineType) {
    const struct {
      int type, menuId;
      cMenu** menu;
    } engines[] = {{ENGINE_FFP, EditorId::kMenuFFPEngine, &editor->menus.ffpEngine},
                   {ENGINE_SM1, EditorId::kMenuSM1Engine, &editor->menus.sm1Engine},
                   {ENGINE_SM2, EditorId::kMenuSM2Engine, &editor->menus.sm2Engine},
                   {ENGINE_SM3, EditorId::kMenuSM3Engine, &editor->menus.sm3Engine}};
    for (cMenu** menu : {&editor->menus.heightmap, &editor->menus.normalmap, &editor->menus.geometry,
                         &editor->menus.settings, engines[0].menu, engines[1].menu, engines[2].menu, engines[3].menu}) {
      delete *menu;
      *menu = nullptr;
    }
    editor->engineType = engineType;
    editor->menus.heightmap = MakeMenu(EditorId::kMenuHeightmap, {138, 155}, {139, 157});
    editor->menus.normalmap = MakeMenu(EditorId::kMenuNormalmap, {172}, {173});
    editor->menus.geometry = MakeMenu(EditorId::kMenuGeometry, {206, 207, 220}, {});
    editor->menus.settings = MakeMenu(EditorId::kMenuSettings, {}, {295});
    for (const auto& engine : engines) {
      if (engine.type == engineType) *engine.menu = MakeMenu(engine.menuId, kEngineBoxes, kEngineChecks);
    }
  }

  static void Type(cMenu* menu, int id, const wchar_t* text) {
    cEditbox* box = FindEditbox(menu, id);
    ASSERT_NE(box, nullptr) << "edit box " << id;
    box->SetText(text);
  }
  static void Check(cMenu* menu, int id, bool checked) {
    cCheckbox* box = FindCheckbox(menu, id);
    ASSERT_NE(box, nullptr) << "check box " << id;
    box->SetChecked(checked ? 1 : 0);
  }

  void Frame() { ASSERT_EQ(editor->Frame(), S_OK); }

  // Hands the component to the water scene; the fixture keeps it alive.
  template <class T>
  T* Own(std::unique_ptr<T> component) {
    T* raw = component.get();
    owned_.push_back(std::shared_ptr<void>(std::move(component)));
    return raw;
  }

  // Deletes a component handed out by Own.
  void Delete(const void* component) {
    std::erase_if(owned_, [&](const std::shared_ptr<void>& owned) { return owned.get() == component; });
  }

  CallLog log;

 private:
  std::vector<std::shared_ptr<void>> owned_;
};

}  // namespace pipeline_test
