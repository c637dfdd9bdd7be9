#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "../ScratchFolder.h"
#include "SceneTest.h"
#include "scene/D3DTexture.h"
#include "scene/cSkybox.h"

namespace {

constexpr float S = 2000.0f;

class SkyboxTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    for (auto& face : faces) {
      face = new D3DTexture(manager);
      ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &face->texture, nullptr), D3D_OK);
    }
    sky = new cSkybox(manager, device);
    ASSERT_TRUE(sky->Create(S, D3DXVECTOR3(0, 0, 0), device));
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 5000.0f);
  }

  // The faces drawn, by their first vertex, each checked against its texture
  // (stage 0 for fixed function, "defaultTexture" for the effect).
  std::set<int> DrawnFaces() const {
    std::vector<IDirect3DBaseTexture9*> effectTextures;
    for (const auto& parameter : platform::Recorded().parameters) {
      if (parameter.name == "defaultTexture") effectTextures.push_back(parameter.texture);
    }
    std::set<int> drawn;
    size_t i = 0;
    for (const auto& draw : platform::Recorded().draws) {
      EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
      EXPECT_EQ(draw.primitiveCount, 2u);
      EXPECT_EQ(draw.start % 4, 0u);
      const int face = static_cast<int>(draw.start / 4);
      if (draw.effect.empty()) {
        EXPECT_EQ(draw.textures[0], faces[face]->texture) << face;
      } else {
        EXPECT_EQ(i < effectTextures.size() ? effectTextures[i] : nullptr, faces[face]->texture) << face;
        ++i;
      }
      drawn.insert(face);
    }
    return drawn;
  }

  D3DXMATRIX LookFromOrigin(const D3DXVECTOR3& direction) const {
    const D3DXVECTOR3 eye(0, 0, 0);
    const D3DXVECTOR3 up = direction.y != 0 ? D3DXVECTOR3(0, 0, 1) : D3DXVECTOR3(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &direction, &up);
    return view;
  }

  std::array<D3DTexture*, 6> faces{};
  cSkybox* sky = nullptr;
  D3DXMATRIX projection;
};

TEST_F(SkyboxTest, VertexBufferHoldsTheFaceTable) {
  const SkyboxVertex table[24] = {
      {-S, -S, S, 0, 1},  {-S, S, S, 0, 0},  {S, -S, S, 1, 1},  {S, S, S, 1, 0},    // z = +s
      {S, -S, S, 0, 1},   {S, S, S, 0, 0},   {S, -S, -S, 1, 1}, {S, S, -S, 1, 0},   // x = +s
      {S, -S, -S, 0, 1},  {S, S, -S, 0, 0},  {-S, -S, -S, 1, 1}, {-S, S, -S, 1, 0}, // z = -s
      {-S, -S, -S, 0, 1}, {-S, S, -S, 0, 0}, {-S, -S, S, 1, 1}, {-S, S, S, 1, 0},   // x = -s
      {S, S, -S, 1, 0},   {S, S, S, 1, 1},   {-S, S, -S, 0, 0}, {-S, S, S, 0, 1},   // y = +s
      {-S, -S, -S, 0, 1}, {-S, -S, S, 0, 0}, {S, -S, -S, 1, 1}, {S, -S, S, 1, 0},   // y = -s
  };
  const D3DXVECTOR3 centre(10, -20, 30);
  ASSERT_TRUE(sky->Create(S, centre, device));
  D3DVERTEXBUFFER_DESC desc{};
  ASSERT_EQ(sky->GetVertexBuffer()->GetDesc(&desc), D3D_OK);
  EXPECT_EQ(std::tuple(desc.Size, desc.FVF, desc.Pool), std::tuple(480u, DWORD{SKYBOX_FVF}, D3DPOOL_MANAGED));
  void* data = nullptr;
  ASSERT_EQ(sky->GetVertexBuffer()->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
  const auto* vertices = static_cast<const SkyboxVertex*>(data);
  for (int i = 0; i < 24; ++i) {
    const SkyboxVertex& v = vertices[i];
    EXPECT_EQ(std::tuple(v.x, v.y, v.z, v.u, v.v),
              std::tuple(table[i].x + centre.x, table[i].y + centre.y, table[i].z + centre.z, table[i].u, table[i].v))
        << i;
  }
  sky->GetVertexBuffer()->Unlock();
  EXPECT_EQ(sky->GetBoxCorner(4, 0), D3DXVECTOR3(S + 10, S - 20, S + 30));
  EXPECT_EQ(sky->GetBoxCorner(4, 1), D3DXVECTOR3(-S + 10, S - 20, -S + 30));
}

// Looking along an axis from the origin draws the face ahead and never the one
// behind; the faces beside it touch the view only at their edges.
TEST_F(SkyboxTest, DrawsTheFacesAheadWithTheirTexturesInBothPaths) {
  struct Case {
    D3DXVECTOR3 direction;
    int ahead;
    int behind;
  };
  for (bool effect : {false, true}) {
    for (const Case& c : {Case{{0, 0, 1}, 0, 2}, Case{{1, 0, 0}, 1, 3}, Case{{0, 0, -1}, 2, 0},
                          Case{{-1, 0, 0}, 3, 1}, Case{{0, 1, 0}, 4, 5}, Case{{0, -1, 0}, 5, 4}}) {
      SCOPED_TRACE(testing::Message() << effect << " face " << c.ahead);
      platform::Recorded().Clear();
      ASSERT_EQ(device->BeginScene(), D3D_OK);
      const D3DXMATRIX view = LookFromOrigin(c.direction);
      EXPECT_TRUE(effect ? sky->RenderEffect(faces.data(), device, view, projection)
                         : sky->RenderFixed(faces.data(), device, view, projection));
      ASSERT_EQ(device->EndScene(), D3D_OK);
      const std::set<int> drawn = DrawnFaces();
      EXPECT_TRUE(drawn.count(c.ahead));
      EXPECT_FALSE(drawn.count(c.behind));
    }
  }
}

TEST_F(SkyboxTest, EffectTechniquesAndTheirDepthStates) {
  struct Case {
    const char* technique;
    const char* expected;
    DWORD zEnable;
  };
  const D3DXMATRIX view = LookFromOrigin({0, 0, 1});
  for (const Case& c : {Case{nullptr, "simple", TRUE}, Case{"simple", "simple", TRUE},
                        Case{"simple_zenable_false", "simple_zenable_false", FALSE}}) {
    SCOPED_TRACE(c.expected);
    platform::Recorded().Clear();
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_TRUE(sky->RenderEffect(faces.data(), device, view, projection, c.technique));
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_FALSE(platform::Recorded().draws.empty());
    for (const auto& draw : platform::Recorded().draws) {
      EXPECT_EQ(draw.effect, "shaders/skybox.fx");
      EXPECT_EQ(draw.technique, c.expected);
      EXPECT_EQ(draw.zEnable, c.zEnable);
    }
    DWORD zWrite = 0, zEnable = 0;
    device->GetRenderState(D3DRS_ZWRITEENABLE, &zWrite);
    device->GetRenderState(D3DRS_ZENABLE, &zEnable);
    EXPECT_EQ(std::tuple(zWrite, zEnable), std::tuple(DWORD{TRUE}, DWORD{D3DZB_TRUE}));  // the effect put them back
  }
  EXPECT_FALSE(sky->RenderEffect(faces.data(), device, view, projection, "unknown"));
}

// A draw refused outside BeginScene fails that frame only: the effect was ended.
TEST_F(SkyboxTest, AFailedDrawLeavesTheEffectEnded) {
  const D3DXMATRIX view = LookFromOrigin({0, 0, 1});
  EXPECT_FALSE(sky->RenderEffect(faces.data(), device, view, projection));
  platform::Recorded().Clear();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_TRUE(sky->RenderEffect(faces.data(), device, view, projection));
  ASSERT_EQ(device->EndScene(), D3D_OK);
  EXPECT_FALSE(platform::Recorded().draws.empty());
}

TEST_F(SkyboxTest, FaceTextureIsNullForAnythingMissing) {
  D3DTexture empty(nullptr);
  std::array<D3DTexture*, 6> set = {faces[0], nullptr, &empty, faces[3], faces[4], faces[5]};
  for (auto [face, expected] : {std::pair{0, faces[0]->texture}, {4, faces[4]->texture}, {1, nullptr}, {2, nullptr},
                                {-1, nullptr}, {6, nullptr}}) {
    EXPECT_EQ(cSkybox::GetFaceTexture(set.data(), face), expected) << face;
  }
  EXPECT_EQ(cSkybox::GetFaceTexture(nullptr, 0), nullptr);
  // Missing faces are left off, the others draw as usual: looking between two
  // faces shows both.
  struct Case {
    D3DXVECTOR3 direction;
    int present, missing;
  };
  for (bool effect : {false, true}) {
    for (const Case& c : {Case{{1, 0, 1}, 0, 1}, Case{{-1, 0, -1}, 3, 2}}) {
      SCOPED_TRACE(testing::Message() << effect << " face " << c.missing);
      platform::Recorded().Clear();
      ASSERT_EQ(device->BeginScene(), D3D_OK);
      const D3DXMATRIX view = LookFromOrigin(c.direction);
      EXPECT_TRUE(effect ? sky->RenderEffect(set.data(), device, view, projection)
                         : sky->RenderFixed(set.data(), device, view, projection));
      ASSERT_EQ(device->EndScene(), D3D_OK);
      std::set<int> drawn;
      for (const auto& draw : platform::Recorded().draws) drawn.insert(static_cast<int>(draw.start / 4));
      EXPECT_TRUE(drawn.count(c.present));
      EXPECT_FALSE(drawn.count(c.missing));
    }
  }
}

TEST_F(SkyboxTest, WithoutItsEffectFileOnlyTheFixedPathDraws) {
  cSkybox* bare = nullptr;
  {
    const EmptyWorkingDirectory empty;
    bare = new cSkybox(manager, device);
  }
  EXPECT_EQ(bare->GetEffect(), nullptr);
  ASSERT_TRUE(bare->Create(S, D3DXVECTOR3(0, 0, 0), device));
  const D3DXMATRIX view = LookFromOrigin({0, 0, 1});
  platform::Recorded().Clear();
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_FALSE(bare->RenderEffect(faces.data(), device, view, projection));
  EXPECT_TRUE(platform::Recorded().draws.empty());
  EXPECT_TRUE(bare->RenderFixed(faces.data(), device, view, projection));
  EXPECT_FALSE(platform::Recorded().draws.empty());
  ASSERT_EQ(device->EndScene(), D3D_OK);
  bare->OnLostDevice();
  bare->OnResetDevice(device);
  bare->Destroy();
  EXPECT_FALSE(bare->RenderFixed(faces.data(), device, view, projection));
}

// The sets the editor offers: every face present, 256x256 and opaque (the sky
// is drawn with blending on).
TEST_F(SkyboxTest, SkySetsAreCompleteAndOpaque) {
  for (int set = 1; set <= 3; ++set) {
    for (int file = 1; file <= 6; ++file) {
      const std::wstring path = L"data/sky/" + std::to_wstring(set) + L"/" + std::to_wstring(file) + L".tga";
      SCOPED_TRACE(std::string(path.begin(), path.end()));
      D3DTexture face(nullptr);
      ASSERT_EQ(face.Load(path.c_str(), device), D3D_OK);
      D3DSURFACE_DESC desc{};
      ASSERT_EQ(face.texture->GetLevelDesc(0, &desc), D3D_OK);
      EXPECT_EQ(desc.Width, 256u);
      EXPECT_EQ(desc.Height, 256u);
      D3DLOCKED_RECT locked{};
      ASSERT_EQ(face.texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
      bool opaque = true;
      for (UINT y = 0; y < desc.Height; ++y) {
        const auto* bytes = static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch;
        const auto* row = reinterpret_cast<const D3DCOLOR*>(bytes);
        for (UINT x = 0; x < desc.Width; ++x) opaque = opaque && (row[x] >> 24) == 0xFF;
      }
      face.texture->UnlockRect(0);
      EXPECT_TRUE(opaque);
    }
  }
}

}  // namespace
