// Shared pieces of the engine tests: a normal map whose normals a test sets, a headless device inside a scene, small
// textures to hand the engines, and readers for what the effects recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../geometry/GeometryTestSupport.h"
#include "settings/TypeIds.h"
#include "engine/iWaterEngine.h"
#include "normalmap/iNormalmap.h"

class FakeNormalmap : public iNormalmap {
 public:
  FakeNormalmap(int size, int typeId = NORMALMAP_FD_RAW) : typeId_(typeId), size_(size) {
    normals.assign(size > 0 ? static_cast<size_t>(size) * size : 0, D3DXVECTOR3(0.0f, 0.0f, 1.0f));
  }
  IDirect3DTexture9* GetTexture() const override { return nullptr; }
  bool OnLostDevice(IDirect3DDevice9*) override { return true; }
  bool OnResetDevice(IDirect3DDevice9*) override { return true; }
  bool OnDeviceEvent(IDirect3DDevice9*) override { return true; }
  bool Compute() override { return true; }
  bool WriteTexture(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  const D3DXVECTOR3* GetNormals() const override {
    return typeId_ == NORMALMAP_FD_TEX || normals.empty() ? nullptr : normals.data();
  }
  int GetResolution() const override { return size_; }
  void SetAmplitude(float) override {}
  bool IsSupported(IDirect3D9*, IDirect3DDevice9*) override { return true; }
  int GetTypeId() const override { return typeId_; }
  cEngineSettings* FillSettings(cEngineSettings* settings) override { return settings; }
  std::vector<D3DXVECTOR3> normals;

 private:
  int typeId_;
  int size_;
};

class EngineTest : public GeometryTest {
 protected:
  void TearDown() override {
    for (IDirect3DTexture9* texture : textures_) texture->Release();
    textures_.clear();
    GeometryTest::TearDown();
  }
  // A managed 4x4 texture the test owns.
  IDirect3DTexture9* MakeTexture() {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    if (texture) textures_.push_back(texture);
    return texture;
  }
  // Names of the parameters set since the record was last cleared, in order.
  static std::vector<std::string> ParameterNames() {
    std::vector<std::string> names;
    for (const platform::ParameterRecord& record : platform::Recorded().parameters) names.push_back(record.name);
    return names;
  }
  // The last value set for `name`; empty when it was not set.
  static platform::ParameterRecord Last(const std::string& name) {
    const auto& records = platform::Recorded().parameters;
    for (auto record = records.rbegin(); record != records.rend(); ++record) if (record->name == name) return *record;
    return {};
  }
  DWORD RenderState(D3DRENDERSTATETYPE state) {
    DWORD value = 99;
    EXPECT_EQ(device->GetRenderState(state, &value), D3D_OK);
    return value;
  }
  IDirect3DBaseTexture9* BoundTexture(DWORD stage) {
    IDirect3DBaseTexture9* texture = nullptr;
    EXPECT_EQ(device->GetTexture(stage, &texture), D3D_OK);
    return texture;
  }
  static std::string LastTechnique() {
    const auto& techniques = platform::Recorded().techniques;
    return techniques.empty() ? std::string() : techniques.back();
  }
  std::vector<IDirect3DTexture9*> textures_;
};

// Identity view, a simple perspective projection and an eye above the origin.
struct Camera {
  D3DXMATRIX view, projection;
  D3DXVECTOR3 eye;
  static Camera LookingAt(const D3DXVECTOR3& eye, const D3DXVECTOR3& at) {
    Camera camera;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    camera.eye = eye;
    D3DXMatrixLookAtLH(&camera.view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&camera.projection, D3DX_PI / 3.0f, 4.0f / 3.0f, 1.0f, 5000.0f);
    return camera;
  }
};
